// SPDX-License-Identifier: MIT
// The found record on standard output: as stored, or as a hex dump.
#include "tovrek.h"

namespace {

constexpr int kDumpLineBytes = 16;

// The character shown for a byte in the dump's character column.
char DisplayChar(unsigned char byte)
{
    // Only the low seven bits count, so a byte above 0x7F shows as the
    // character of those bits, and no control character or line end of the
    // record can reach the column.
    const int low = byte & 0x7F;
    return low >= 0x20 && low <= 0x7E ? static_cast<char>(low) : '.';
}

}  // namespace

void WriteRawRecord(int32_t length, const unsigned char *record)
{
    printf("%d,", length);
    for (int32_t i = 0; i < length; ++i) {
        WriteByte(record[i]);
    }
}

void WriteHexDump(int32_t length, const unsigned char *record)
{
    printf("Buffer Size: %d\n\n00000000: ", length);
    char charColumn[kDumpLineBytes + 1] = "";
    int columnCount = 0;
    int32_t lineOffset = 0;
    for (int32_t i = 0; i < length; ++i) {
        printf("%.2X ", record[i]);
        charColumn[columnCount] = DisplayChar(record[i]);
        charColumn[++columnCount] = '\0';
        if (columnCount == kDumpLineBytes) {
            lineOffset += kDumpLineBytes;
            columnCount = 0;
            printf("  %s\n%8.8X: ", charColumn, static_cast<unsigned>(lineOffset));
        }
    }
    if (columnCount > 0) {
        for (int place = columnCount; place < kDumpLineBytes; ++place) {
            printf("   ");
        }
        printf("  %s\n", charColumn);
    }
}
