// SPDX-License-Identifier: MIT
// libFuzzer target over whole runs: RunTovrek with an argument vector taken
// from the input, and the rest of the input as a file at a private path.
// Without a model of the file it checks what holds for every run: the
// status, the usage text, the acknowledgements in argument order, the search
// line first on stdout, the open failure, and a standard error made of
// whole spinner steps, well-framed /D trace lines and at most one closing
// message, which a status of 1 always has.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

#include <fuzzer/FuzzedDataProvider.h>

#include "capture.h"
#include "tovrek.h"

namespace {

std::string directory;
std::string filePath;

// How many spinner steps this process has seen: the tool's spinner goes on
// from run to run.
size_t spinnerSteps = 0;

const char kUsage[] = "\nUsage: TOVREK <Sourcefile> <RecNumber> [/H]\n\n"
                      "    This utility reads the UNF SourceFile and displays the record\n"
                      "    found at the specified line number.\n"
                      "    <Sourcefile> is the UNF file to read.\n"
                      "    <RecNumber> is the Record Number to Display.\n"
                      "            Use /H to display the record in HEX.\n";

void RemoveFiles()
{
    unlink(filePath.c_str());
    rmdir(directory.c_str());
}

// An argument as the process would see it: up to its first NUL.
std::string AsArgument(const std::string &bytes)
{
    return bytes.substr(0, bytes.find('\0'));
}

std::string PickPath(FuzzedDataProvider *input)
{
    std::string path = filePath;
    const int kind = input->ConsumeIntegralInRange(0, 7);
    if (kind == 6) {
        path = directory;
    } else if (kind == 7) {
        // A missing file; no slash, so it stays inside the directory.
        std::string name = AsArgument(input->ConsumeRandomLengthString(12));
        std::replace(name.begin(), name.end(), '/', '_');
        path = directory + "/missing" + name;
    }
    return path;
}

std::string PickArgument(FuzzedDataProvider *input, size_t place)
{
    static const char *const kSpellings[] = {"/D",  "/d",   "-D", "-d", "/H", "/h", "-H", "-h",
                                             "/HD", "/hex", "-x", "/",  "-",  "H",  "D",  ""};
    std::string argument;
    if (place == 1) {
        argument = PickPath(input);
    } else if (place == 2 && input->ConsumeBool()) {
        argument = std::to_string(input->ConsumeIntegralInRange<int64_t>(-3, 12));
    } else if (place > 2 && input->ConsumeBool()) {
        argument = input->PickValueInArray(kSpellings);
    } else {
        argument = AsArgument(input->ConsumeRandomLengthString(24));
    }
    return argument;
}

// "/x" or "-x" with the letter in either case, and nothing more.
bool IsOption(const std::string &argument, char lower)
{
    return argument.size() == 2 && (argument[0] == '/' || argument[0] == '-') &&
           (argument[1] == lower || argument[1] == lower - 'a' + 'A');
}

long ExpectedRecordNumber(const std::string &text)
{
    const long long value = strtoll(text.c_str(), nullptr, 10);
    return static_cast<long>(value > INT32_MAX ? INT32_MAX : value < INT32_MIN ? INT32_MIN : value);
}

bool StartsWith(const std::string &text, const std::string &head)
{
    return text.compare(0, head.size(), head) == 0;
}

bool IsDigits(const std::string &text)
{
    return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

// Passes the /D trace of one length field at err[*at]: up to eight
// "Read <c>.\r\n" lines and, after a comma, the conversion of the bytes
// before it. False when the frame is broken. Leaves the bytes read in field.
bool SkipTrace(const std::string &err, size_t *at, std::string *field)
{
    bool comma = false;
    while (!comma && field->size() < 8 && err.size() >= *at + 11 &&
           err.compare(*at, 6, "Read <") == 0 && err.compare(*at + 7, 4, ">.\r\n") == 0) {
        comma = err[*at + 6] == ',';
        *field += err[*at + 6];
        *at += 11;
    }
    bool framed = true;
    if (comma) {
        const std::string text = AsArgument(field->substr(0, field->size() - 1));
        const std::string line = "Converted <" + text + "> to " +
                                 std::to_string(strtol(text.c_str(), nullptr, 10)) + ".\r\n";
        framed = err.compare(*at, line.size(), line) == 0;
        *at += line.size();
    }
    return framed;
}

// The one message that may close a failed scan; with the trace, the format
// error must quote the bytes just traced.
bool IsClosingMessage(const std::string &rest, bool traced, const std::string &field)
{
    const std::string tooLarge = "Record too large to display (";
    const std::string tooLargeEnd = " bytes, limit 57000).\r\n";
    const std::string format = "Incorrect data format <";
    bool closing = rest == "Error reading data file.\r\n";
    if (StartsWith(rest, tooLarge) && rest.size() > tooLarge.size() + tooLargeEnd.size()) {
        closing =
            IsDigits(
                rest.substr(tooLarge.size(), rest.size() - tooLarge.size() - tooLargeEnd.size())) &&
            rest.compare(rest.size() - tooLargeEnd.size(), std::string::npos, tooLargeEnd) == 0;
    } else if (StartsWith(rest, format)) {
        closing = traced ? rest == format + AsArgument(field) + ">\r\n"
                         : rest.size() >= format.size() + 3 &&
                               rest.compare(rest.size() - 3, 3, ">\r\n") == 0;
    }
    return closing;
}

// Standard error after the acknowledgements of a scan that ran.
bool ScanErrorIsWellFormed(const std::string &err, size_t at, bool traced, int status)
{
    static const char kSpinner[] = "-\\|/";
    bool wellFormed = err.size() >= at + 2;  // every scan makes a pass
    bool closed = false;
    std::string field;
    while (wellFormed && !closed && at < err.size()) {
        if (err[at] == kSpinner[spinnerSteps % 4] && err.compare(at + 1, 1, "\b") == 0) {
            at += 2;
            ++spinnerSteps;
            field.clear();
            wellFormed = !traced || SkipTrace(err, &at, &field);
        } else {
            closed = true;
            wellFormed = IsClosingMessage(err.substr(at), traced, field);
        }
    }
    return wellFormed && closed == (status == 1);
}

// Standard output after the search line: nothing, or one record as its
// writer frames it.
bool RecordIsWellFormed(const std::string &record, bool hex)
{
    const size_t comma = record.find(',');
    bool wellFormed = record.empty();
    if (hex) {
        wellFormed = wellFormed || StartsWith(record, "Buffer Size: ");
    } else if (comma != std::string::npos && IsDigits(record.substr(0, comma))) {
        wellFormed = std::stoul(record.substr(0, comma)) == record.size() - comma - 1;
    }
    return wellFormed;
}

bool RunIsWellFormed(const std::vector<std::string> &args, const std::string &out,
                     const std::string &err, int status)
{
    if (args.size() < 3) {
        return out.empty() && err == kUsage && status == 1;
    }
    std::string acks;
    bool hex = false;
    bool traced = false;
    for (size_t i = 3; i < args.size(); ++i) {
        if (IsOption(args[i], 'd')) {
            acks += "[Full Debugger Enabled]\n";
            traced = true;
        }
        if (IsOption(args[i], 'h')) {
            acks += "[Hex Output Enabled]\n";
            hex = true;
        }
    }
    const std::string search =
        "Searching for Record #" + std::to_string(ExpectedRecordNumber(args[2])) + ".\r\n";
    bool wellFormed = StartsWith(err, acks) && StartsWith(out, search);
    if (wellFormed && args[1] != filePath) {
        wellFormed = err == acks + "Unable to open source file <" + args[1] + ">.\r\n" &&
                     out == search && status == 1;
    } else if (wellFormed) {
        wellFormed =
            ScanErrorIsWellFormed(err, acks.size(), traced, status) &&
            (status == 0 ? RecordIsWellFormed(out.substr(search.size()), hex) : out == search);
    }
    return wellFormed;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int * /*argc*/, char *** /*argv*/)
{
    char pattern[] = "/tmp/tovrek-fuzz-XXXXXX";
    if (mkdtemp(pattern) == nullptr) {
        abort();
    }
    directory = pattern;
    filePath = directory + "/file.unf";
    atexit(RemoveFiles);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider input(data, size);
    std::vector<std::string> args{"tovrek"};
    const auto count = input.ConsumeIntegralInRange<size_t>(0, 8);
    for (size_t place = 1; place <= count; ++place) {
        args.push_back(PickArgument(&input, place));
    }
    const std::string file = input.ConsumeRemainingBytesAsString();
    FILE *written = fopen(filePath.c_str(), "wb");
    fwrite(file.data(), 1, file.size(), written);
    fclose(written);

    std::vector<char *> argv(args.size() + 1, nullptr);
    std::transform(args.begin(), args.end(), argv.begin(),
                   [](std::string &arg) { return arg.data(); });
    Capture capture{};
    std::string out;
    std::string err;
    StartCapture(&capture);
    const int status = RunTovrek(static_cast<int>(args.size()), argv.data());
    StopCapture(&capture, &out, &err);

    if (!RunIsWellFormed(args, out, err, status)) {
        fprintf(stderr, "status %d, %zu bytes on stdout, %zu on stderr\n", status, out.size(),
                err.size());
        __builtin_trap();
    }
    return 0;
}
