// SPDX-License-Identifier: MIT
// End-to-end: /H writes the found record as a hex dump, 16 bytes a line.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "run_tool.h"

namespace {

using namespace std::string_literals;

// Standard output of `tovrek FILE 1 /H` for a file holding one record.
std::string DumpOf(const std::string &record)
{
    const std::string file = std::to_string(record.size()) + "," + record + "\r\n";
    const ToolRun run = RunTool({WriteFixture(file), "1", "/H"});
    EXPECT_EQ(run.err, "[Hex Output Enabled]\n" + SpinnerSteps(1));
    EXPECT_EQ(run.status, 0);
    const std::string search = SearchLine(1);
    EXPECT_EQ(run.out.substr(0, search.size()), search);
    return run.out.substr(search.size());
}

std::string Bytes(int first, int last)
{
    std::string bytes;
    for (int b = first; b <= last; ++b) {
        bytes += static_cast<char>(b);
    }
    return bytes;
}

const std::string kFiller = "   ";

std::string Fillers(int count)
{
    std::string fillers;
    for (int i = 0; i < count; ++i) {
        fillers += kFiller;
    }
    return fillers;
}

TEST(HexDump, WritesTheWorkedExamplesExactly)
{
    struct Case {
        const char *name;
        std::string record;
        std::string dump;
    };
    const Case cases[] = {
        {"empty record", "", "Buffer Size: 0\n\n00000000: "},
        {"one byte", "A", "Buffer Size: 1\n\n00000000: 41 " + Fillers(15) + "  A\n"},
        {"high bytes show their low seven bits", "\xc1\xa0\xff",
         "Buffer Size: 3\n\n00000000: C1 A0 FF " + Fillers(13) + "  A .\n"},
        {"five letters", "Hello",
         "Buffer Size: 5\n\n00000000: 48 65 6C 6C 6F " + Fillers(11) + "  Hello\n"},
        {"fifteen bytes", "ABCDEFGHIJKLMNO",
         "Buffer Size: 15\n\n00000000: 41 42 43 44 45 46 47 48 49 4A 4B 4C 4D 4E 4F " + Fillers(1) +
             "  ABCDEFGHIJKLMNO\n"},
        {"one full line ends with the next label", Bytes(0x00, 0x0f),
         "Buffer Size: 16\n\n00000000: 00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F "
         "  ................\n00000010: "},
        {"a full line and one byte", Bytes(0x41, 0x51),
         "Buffer Size: 17\n\n00000000: 41 42 43 44 45 46 47 48 49 4A 4B 4C 4D 4E 4F 50 "
         "  ABCDEFGHIJKLMNOP\n00000010: 51 " +
             Fillers(15) + "  Q\n"},
        {"two full lines", "0123456789ABCDEFGHIJKLMNOPQRSTUV",
         "Buffer Size: 32\n\n00000000: 30 31 32 33 34 35 36 37 38 39 41 42 43 44 45 46 "
         "  0123456789ABCDEF\n00000010: 47 48 49 4A 4B 4C 4D 4E 4F 50 51 52 53 54 55 56 "
         "  GHIJKLMNOPQRSTUV\n00000020: "},
        {"line ends and NUL never reach the column", "a\r\nb\0"s,
         "Buffer Size: 5\n\n00000000: 61 0D 0A 62 00 " + Fillers(11) + "  a..b.\n"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(DumpOf(c.record), c.dump);
    }
}

TEST(HexDump, HeaderShowsTheConvertedLength)
{
    const ToolRun run = RunTool({WriteFixture("007,abcdefg\r\n"), "1", "-h"});
    EXPECT_EQ(run.out, SearchLine(1) + "Buffer Size: 7\n\n00000000: 61 62 63 64 65 66 67 " +
                           Fillers(9) + "  abcdefg\n");
}

// Splits text after each "\n"; the last piece has no line end.
std::vector<std::string> Lines(const std::string &text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end = text.find('\n'); end != std::string::npos; end = text.find('\n', start)) {
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    lines.push_back(text.substr(start));
    return lines;
}

TEST(HexDump, ColumnShowsEveryByteValueByItsLowSevenBits)
{
    struct Range {
        int first;
        int last;
        int shownAs;  // a character, or -1: the byte itself, -2: the byte minus 0x80
    };
    const Range table[] = {
        {0x00, 0x1f, '.'}, {0x20, 0x7e, -1}, {0x7f, 0x7f, '.'},
        {0x80, 0x9f, '.'}, {0xa0, 0xfe, -2}, {0xff, 0xff, '.'},
    };
    std::string expected;
    for (const Range &r : table) {
        for (int b = r.first; b <= r.last; ++b) {
            expected += static_cast<char>(r.shownAs == -1   ? b
                                          : r.shownAs == -2 ? b - 0x80
                                                            : r.shownAs);
        }
    }
    const std::vector<std::string> lines = Lines(DumpOf(Bytes(0x00, 0xff)));
    ASSERT_EQ(lines.size(), 2U + 16U + 1U);
    for (int line = 0; line < 16; ++line) {
        SCOPED_TRACE(line);
        const std::string &text = lines[2 + static_cast<size_t>(line)];
        EXPECT_EQ(text.substr(60), expected.substr(static_cast<size_t>(line) * 16, 16));
        char group[8];
        snprintf(group, sizeof group, "%02X ", line * 16 + 0xa);
        EXPECT_EQ(text.substr(10 + 3 * 10, 3), group) << "uppercase digits";
    }
    EXPECT_EQ(lines.back(), "00000100: ");
}

TEST(HexDump, LargestRecordKeepsTheLineGeometry)
{
    std::string record;
    for (int i = 0; i < 57000; ++i) {
        record += static_cast<char>(i * 7);
    }
    const std::vector<std::string> lines = Lines(DumpOf(record));
    ASSERT_EQ(lines.size(), 2U + 3562U + 1U + 1U);
    EXPECT_EQ(lines[0], "Buffer Size: 57000");
    EXPECT_EQ(lines[1], "");
    for (size_t i = 0; i < 3562; ++i) {
        const std::string &line = lines[2 + i];
        char label[16];
        snprintf(label, sizeof label, "%08X: ", static_cast<unsigned>(i * 16));
        ASSERT_EQ(line.size(), 76U) << i;
        ASSERT_EQ(line.substr(0, 10), label);
        ASSERT_EQ(line.substr(58, 2), "  ");
    }
    const std::string &last = lines[2 + 3562];
    EXPECT_EQ(last.size(), 60U + 8U);
    EXPECT_EQ(last.substr(0, 10), "0000DEA0: ");
    EXPECT_EQ(last.substr(34, 24 + 2), Fillers(8) + "  ");
    EXPECT_EQ(lines.back(), "") << "the dump ends with a line end";
}

}  // namespace
