// SPDX-License-Identifier: MIT
// Command line, run sequence and exit status.
#include "tovrek.h"

namespace {

void WriteUsage()
{
    fprintf(stderr, "\nUsage: TOVREK <Sourcefile> <RecNumber> [/H]\n\n");
    fprintf(stderr, "    This utility reads the UNF SourceFile and displays the record\n");
    fprintf(stderr, "    found at the specified line number.\n");
    fprintf(stderr, "    <Sourcefile> is the UNF file to read.\n");
    fprintf(stderr, "    <RecNumber> is the Record Number to Display.\n");
    fprintf(stderr, "            Use /H to display the record in HEX.\n");
}

// True for "/x", "-x", "/X" or "-X" exactly.
bool IsOption(const char *argument, char letter)
{
    const bool prefixed = argument[0] == '/' || argument[0] == '-';
    return prefixed && (argument[1] | 0x20) == letter && argument[2] == '\0';
}

// The second argument, read like every length of the file.
int32_t ConvertRecordNumber(const char *text)
{
    return ConvertDecimal(text);
}

}  // namespace

bool ParseCommandLine(int argc, char **argv, RunOptions *options)
{
    if (argc < 3) {
        WriteUsage();
        return false;
    }
    options->sourceFile = argv[1];
    for (int i = 3; i < argc; ++i) {
        if (IsOption(argv[i], 'd')) {
            options->fullDebugger = true;
            fprintf(stderr, "[Full Debugger Enabled]\n");
        }
        if (IsOption(argv[i], 'h')) {
            options->hexOutput = true;
            fprintf(stderr, "[Hex Output Enabled]\n");
        }
    }
    options->recNumber = ConvertRecordNumber(argv[2]);
    return true;
}

int RunTovrek(int argc, char **argv)
{
    // A reader that closes the pipe must not kill the run or change its
    // status; the failed write is simply ignored like any other.
    IgnoreBrokenPipe();

    RunOptions options;
    int status = 1;
    if (ParseCommandLine(argc, argv, &options)) {
        printf("Searching for Record #%ld.\r\n", static_cast<long>(options.recNumber));
        FILE *unfFile = OpenForReading(options.sourceFile);
        if (unfFile == nullptr) {
            fprintf(stderr, "Unable to open source file <%s>.\r\n", options.sourceFile);
        } else {
            status = ScanForRecord(unfFile, options);
        }
    }
    return status;
}
