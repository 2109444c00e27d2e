// The found record on standard output: as stored, or as a hex dump.
#include "tovrek.h"

void WriteRawRecord(int32_t length, const unsigned char *record)
{
    printf("%d,", length);
    for (int32_t i = 0; i < length; ++i) {
        putchar_unlocked(record[i]);
    }
}
