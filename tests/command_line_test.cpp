// SPDX-License-Identifier: MIT
// End-to-end: the command line, option acknowledgements, the search line
// and the open failure.
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "run_tool.h"

namespace {

const std::string kUsage = "\nUsage: TOVREK <Sourcefile> <RecNumber> [/H]\n\n"
                           "    This utility reads the UNF SourceFile and displays the record\n"
                           "    found at the specified line number.\n"
                           "    <Sourcefile> is the UNF file to read.\n"
                           "    <RecNumber> is the Record Number to Display.\n"
                           "            Use /H to display the record in HEX.\n";

const std::string kDebugAck = "[Full Debugger Enabled]\n";
const std::string kHexAck = "[Hex Output Enabled]\n";

TEST(CommandLine, FewerThanTwoArgumentsWriteTheUsageText)
{
    const std::vector<std::vector<std::string>> lines = {{}, {"file.unf"}, {"/H"}};
    for (const auto &args : lines) {
        SCOPED_TRACE(args.size());
        const ToolRun run = RunTool(args);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err, kUsage);
        EXPECT_EQ(run.status, 1);
    }
}

TEST(CommandLine, AcknowledgesEachRecognisedOptionInOrder)
{
    struct Case {
        std::vector<std::string> options;
        std::string acks;
    };
    const Case cases[] = {
        {{}, ""},
        {{"/D"}, kDebugAck},
        {{"/D", "/H"}, kDebugAck + kHexAck},
        {{"/H", "/D"}, kHexAck + kDebugAck},
        {{"/h"}, kHexAck},
        {{"-H"}, kHexAck},
        {{"-h"}, kHexAck},
        {{"/H", "/H"}, kHexAck + kHexAck},
        {{"/HD", "/hex", "-x", "/", "-", "H", "D", "/D/"}, ""},
        // The letters with their high bit set, and a high byte as prefix.
        {{"/\xc8", "-\xe8", "/\xc4", "-\xe4", "\xafH", "\xad\x64"}, ""},
        {{"junk", "-d", "more"}, kDebugAck},
    };
    // An empty file: no record to write, so only the streams' prefixes show.
    const std::string file = WriteFixture("");
    for (const Case &c : cases) {
        std::vector<std::string> args{file, "1"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        SCOPED_TRACE(testing::PrintToString(args));
        const ToolRun run = RunTool(args);
        EXPECT_EQ(run.err, c.acks + SpinnerSteps(1));
        EXPECT_EQ(run.out, SearchLine(1));
        EXPECT_EQ(run.status, 0);
    }
}

TEST(CommandLine, RecordNumberIsReadLeniently)
{
    struct Case {
        std::string text;
        long announced;
    };
    const Case cases[] = {
        {"5", 5},
        {"  7", 7},
        {"+3", 3},
        {"12abc", 12},
        {"abc", 0},
        {"", 0},
        {"0x10", 0},
        {"- 5", 0},
        {"-2", -2},
        {"2147483647", 2147483647},
        {"2147483648", 2147483647},
        {"99999999999999999999999", 2147483647},
        {"-2147483648", -2147483648L},
        {"-2147483649", -2147483648L},
        {"-99999999999999999999999", -2147483648L},
    };
    const std::string file = WriteFixture("1,a\r\n");
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        const ToolRun run = RunTool({file, c.text});
        EXPECT_EQ(run.out, SearchLine(c.announced) + (c.announced == 1 ? "1,a" : ""));
        EXPECT_EQ(run.status, 0);
    }
}

TEST(CommandLine, OpenFailureNamesThePathAsTyped)
{
    struct Case {
        std::vector<std::string> args;
        std::string err;
        long announced;
    };
    const std::string directory = MakeTempDir();
    const Case cases[] = {
        {{"no/such/file.unf", "1"}, "Unable to open source file <no/such/file.unf>.\r\n", 1},
        {{directory, "1"}, "Unable to open source file <" + directory + ">.\r\n", 1},
        {{"missing.unf", "2", "/H", "/D"},
         kHexAck + kDebugAck + "Unable to open source file <missing.unf>.\r\n",
         2},
        // The first two arguments are never options.
        {{"/H", "data.unf", "5"}, "Unable to open source file </H>.\r\n", 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        const ToolRun run = RunTool(c.args);
        EXPECT_EQ(run.out, SearchLine(c.announced));
        EXPECT_EQ(run.err, c.err);
        EXPECT_EQ(run.status, 1);
    }
}

TEST(CommandLine, PathsAreTakenAsGiven)
{
    // Wildcards are not expanded, whatever the platform's runtime would do,
    // and a name beyond ASCII opens and is quoted as the same bytes.
    const std::string directory = MakeTempDir();
    const std::string name = directory + u8"/über-日本.unf";
    std::ofstream(directory + "/only.unf", std::ios::binary) << "3,abc\r\n";
    std::ofstream(name, std::ios::binary) << "3,abc\r\n";
    struct Case {
        std::string path;
        std::string out;
        std::string err;
        int status;
    };
    const Case cases[] = {
        {directory + "/o*.unf", "", "Unable to open source file <" + directory + "/o*.unf>.\r\n",
         1},
        {directory + "/onl?.unf", "",
         "Unable to open source file <" + directory + "/onl?.unf>.\r\n", 1},
        {name, "3,abc", SpinnerSteps(1), 0},
        {name + ".missing", "", "Unable to open source file <" + name + ".missing>.\r\n", 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.path);
        const ToolRun run = RunTool({c.path, "1"});
        EXPECT_EQ(run.out, SearchLine(1) + c.out);
        EXPECT_EQ(run.err, c.err);
        EXPECT_EQ(run.status, c.status);
    }
}

}  // namespace
