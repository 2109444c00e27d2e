// SPDX-License-Identifier: MIT
// End-to-end: UNF files through the real binary, both streams and the
// exit status compared byte for byte.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "run_tool.h"

namespace {

using namespace std::string_literals;

struct ScanCase {
    const char *name;
    std::string file;
    std::vector<std::string> args;  // after the file path
    std::string out;                // standard output after the search line
    std::string err;                // standard error
    int status;
};

void ExpectScan(const ScanCase &c)
{
    SCOPED_TRACE(c.name);
    std::vector<std::string> args{WriteFixture(c.file)};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const ToolRun run = RunTool(args);
    EXPECT_EQ(run.out, SearchLine(std::stol(c.args[0])) + c.out);
    EXPECT_EQ(run.err, c.err);
    EXPECT_EQ(run.status, c.status);
}

const std::string kThree = "5,hello\r\n0,\r\n3,abc\r\n";
const std::string kDataError = "Error reading data file.\r\n";

TEST(Scan, FindsRecordsAndEndsQuietlyWhenAbsent)
{
    // clang-format off
    const ScanCase cases[] = {
        {"empty file", "", {"1"}, "", SpinnerSteps(1), 0},
        {"first record", "5,hello\r\n", {"1"}, "5,hello", SpinnerSteps(1), 0},
        {"past the last line end", "5,hello\r\n", {"2"}, "", SpinnerSteps(2), 0},
        {"past a last record without line end", "5,hello", {"2"}, "", SpinnerSteps(1), 0},
        {"middle record of length 0", kThree, {"2"}, "0,", SpinnerSteps(2), 0},
        {"last record", kThree, {"3"}, "3,abc", SpinnerSteps(3), 0},
        {"record 0 reads the whole file", kThree, {"0"}, "", SpinnerSteps(4), 0},
        {"negative record", kThree, {"-1"}, "", SpinnerSteps(4), 0},
        {"beyond the last record", kThree, {"4"}, "", SpinnerSteps(4), 0},
        {"record that is only a comma", ",\r\n", {"1"}, "0,", SpinnerSteps(1), 0},
        {"file ending in 0 and a comma", "0,", {"1"}, "0,", SpinnerSteps(1), 0},
        {"line end never read after the found record", "2,ab", {"1"}, "2,ab",
         SpinnerSteps(1), 0},
        {"seven trailing digits without comma", "5,hello\r\n1234567", {"2"}, "",
         SpinnerSteps(2), 0},
        {"Ctrl-Z after the last line end", "3,abc\r\n\x1a", {"2"}, "", SpinnerSteps(2), 0},
    };
    // clang-format on
    for (const ScanCase &c : cases) {
        ExpectScan(c);
    }
}

TEST(Scan, ReadsLengthFieldsLikeDecimalText)
{
    // clang-format off
    const ScanCase cases[] = {
        {"leading zeros to seven digits", "0000005,hello\r\n", {"1"}, "5,hello",
         SpinnerSteps(1), 0},
        {"leading space", " 5,hello\r\n", {"1"}, "5,hello", SpinnerSteps(1), 0},
        {"leading plus", "+5,hello\r\n", {"1"}, "5,hello", SpinnerSteps(1), 0},
        {"trailing space", "5 ,hello\r\n", {"1"}, "5,hello", SpinnerSteps(1), 0},
        {"trailing letter", "5x,hello\r\n", {"1"}, "5,hello", SpinnerSteps(1), 0},
        {"space between digits", "5 7,hello\r\n", {"1"}, "5,hello", SpinnerSteps(1), 0},
        {"leading letter gives 0", "x5,hello\r\n", {"1"}, "0,", SpinnerSteps(1), 0},
        {"lone minus gives 0", "-,\r\n", {"1"}, "0,", SpinnerSteps(1), 0},
        {"NUL ends the text", "1\0"s "2,X\r\n", {"1"}, "1,X", SpinnerSteps(1), 0},
        // Bytes above 0x7F are neither blanks nor digits, whether char is
        // signed (x86-64) or unsigned (arm64).
        {"high byte before the digits gives 0", "\xb5\x35,hello\r\n", {"1"}, "0,",
         SpinnerSteps(1), 0},
        {"no-break space 0xA0 is no blank", "\xa0\x35,hello\r\n", {"1"}, "0,", SpinnerSteps(1), 0},
        {"high byte ends the digits", "5\xb9,hello\r\n", {"1"}, "5,hello", SpinnerSteps(1), 0},
    };
    // clang-format on
    for (const ScanCase &c : cases) {
        ExpectScan(c);
    }
}

TEST(Scan, LineEndsAreSkippedUpToTheFirstLineFeedAtMostFourBytes)
{
    // clang-format off
    const ScanCase cases[] = {
        {"LF alone", "3,abc\n3,def\n", {"2"}, "3,def", SpinnerSteps(2), 0},
        {"CR CR LF", "3,abc\r\r\n3,def\r\r\n", {"2"}, "3,def", SpinnerSteps(2), 0},
        {"blank line becomes white space of the next length",
         "5,hello\r\n\r\n3,abc\r\n", {"2"}, "3,abc", SpinnerSteps(2), 0},
        // The skip takes CR, 3, the comma and d; e, f and CR then end the file
        // inside a length field.
        {"CR alone swallows the next record's start", "3,abc\r3,def\r", {"2"}, "",
         SpinnerSteps(2), 0},
        {"no line end: the skip takes four bytes regardless", "3,abcXXXX5,hello\r\n", {"2"},
         "5,hello", SpinnerSteps(2), 0},
    };
    // clang-format on
    for (const ScanCase &c : cases) {
        ExpectScan(c);
    }
}

TEST(Scan, RecordBytesComeOutUnchanged)
{
    // Ctrl-Z means nothing, in the file or on the way out.
    const std::string data = "a\0b\rc\nd\xff\x80\x1a"s;
    ExpectScan({"NUL, CR, LF, Ctrl-Z and high bytes",
                "10,"s + data + "\r\n",
                {"1"},
                "10,"s + data,
                SpinnerSteps(1),
                0});
}

TEST(Scan, ReportsMalformedAndTruncatedRecords)
{
    // clang-format off
    const ScanCase cases[] = {
        {"no comma in eight bytes", "12345678,x\r\n", {"1"}, "",
         SpinnerSteps(1) + "Incorrect data format <12345678>\r\n", 1},
        {"eight bytes without comma end the file", "12345678", {"1"}, "",
         SpinnerSteps(1) + "Incorrect data format <12345678>\r\n", 1},
        {"high bytes quoted in the format message", "\xff\xfe\xb9\xb0\x80\xa0\xc1\xe4", {"1"}, "",
         SpinnerSteps(1) + "Incorrect data format <\xff\xfe\xb9\xb0\x80\xa0\xc1\xe4>\r\n", 1},
        {"NUL cuts the format message", "ab\0defgh"s, {"1"}, "",
         SpinnerSteps(1) + "Incorrect data format <ab>\r\n", 1},
        {"malformed record after a good one", "1,a\r\nxxxxxxxx", {"0"}, "",
         SpinnerSteps(2) + "Incorrect data format <xxxxxxxx>\r\n", 1},
        {"file ends right after the comma", "5,", {"1"}, "", SpinnerSteps(1) + kDataError, 1},
        {"file ends inside the data", "5,ab", {"1"}, "", SpinnerSteps(1) + kDataError, 1},
        {"negative length", "-1,abc\r\n", {"1"}, "", SpinnerSteps(1) + kDataError, 1},
        {"negative length before the requested record", "-1,abc\r\n3,abc\r\n", {"2"}, "",
         SpinnerSteps(1) + kDataError, 1},
        {"faults after the requested record go unread", "1,a\r\nxxxxxxxx", {"1"}, "1,a",
         SpinnerSteps(1), 0},
    };
    // clang-format on
    for (const ScanCase &c : cases) {
        ExpectScan(c);
    }
}

TEST(Scan, TracesEachLengthFieldWithD)
{
    // clang-format off
    const ScanCase cases[] = {
        {"bytes then conversion", "12,abcdefghijkl\r\n", {"1", "/D"}, "12,abcdefghijkl",
         "[Full Debugger Enabled]\n" + SpinnerSteps(1) +
             "Read <1>.\r\nRead <2>.\r\nRead <,>.\r\nConverted <12> to 12.\r\n",
         0},
        {"NUL byte traced raw, conversion stops at it", "1\0"s "2,X\r\n", {"1", "/D"}, "1,X",
         "[Full Debugger Enabled]\n" + SpinnerSteps(1) +
             "Read <1>.\r\nRead <\0>.\r\nRead <2>.\r\nRead <,>.\r\nConverted <1> to 1.\r\n"s,
         0},
        {"eight bytes without comma: no conversion line", "12345678", {"1", "-d"}, "",
         "[Full Debugger Enabled]\n" + SpinnerSteps(1) +
             "Read <1>.\r\nRead <2>.\r\nRead <3>.\r\nRead <4>.\r\n"
             "Read <5>.\r\nRead <6>.\r\nRead <7>.\r\nRead <8>.\r\n"
             "Incorrect data format <12345678>\r\n",
         1},
        {"high bytes traced as they are", "\xe9\x31,X\r\n", {"1", "/D"}, "0,",
         "[Full Debugger Enabled]\n" + SpinnerSteps(1) +
             "Read <\xe9>.\r\nRead <1>.\r\nRead <,>.\r\nConverted <\xe9\x31> to 0.\r\n",
         0},
        {"end of file writes no trace line", "1,a\r\n", {"2", "/d"}, "",
         "[Full Debugger Enabled]\n" + SpinnerSteps(1) +
             "Read <1>.\r\nRead <,>.\r\nConverted <1> to 1.\r\n\\\b",
         0},
    };
    // clang-format on
    for (const ScanCase &c : cases) {
        ExpectScan(c);
    }
}

TEST(Scan, SpinnerTurnsThroughItsFourCharactersOnePassAtATime)
{
    std::string file;
    for (int i = 0; i < 9; ++i) {
        file += "1,x\r\n";
    }
    const std::string steps = SpinnerSteps(10);
    EXPECT_EQ(steps.substr(0, 18),
              "\x2d\x08\x5c\x08\x7c\x08\x2f\x08\x2d\x08\x5c\x08\x7c\x08\x2f\x08\x2d\x08");
    EXPECT_EQ(steps.substr(18), "\x5c\x08");
    ExpectScan({"nine records, ten passes", file, {"0"}, "", steps, 0});
}

TEST(Scan, HandlesRecordsAtAndAboveTheBufferSize)
{
    std::string largest(57000, 'a');
    largest[0] = '\0';
    largest[56999] = 'z';
    const std::string tooLarge(57001, 'b');
    const std::string huge(200000, 'c');
    // clang-format off
    const ScanCase cases[] = {
        {"57000 bytes shown whole", "57000," + largest + "\r\n", {"1"}, "57000," + largest,
         SpinnerSteps(1), 0},
        {"too large to show", "57001," + tooLarge + "\r\n", {"1"}, "",
         SpinnerSteps(1) + "Record too large to display (57001 bytes, limit 57000).\r\n", 1},
        {"too large, refused before its data is read", "57001,", {"1"}, "",
         SpinnerSteps(1) + "Record too large to display (57001 bytes, limit 57000).\r\n", 1},
        {"too large records are skipped on the way",
         "57001," + tooLarge + "\r\n200000," + huge + "\r\n3,abc\r\n", {"3"}, "3,abc",
         SpinnerSteps(3), 0},
        {"a too large record cut short", "200000," + huge.substr(0, 100000), {"2"}, "",
         SpinnerSteps(1) + kDataError, 1},
    };
    // clang-format on
    for (const ScanCase &c : cases) {
        ExpectScan(c);
    }
}

}  // namespace
