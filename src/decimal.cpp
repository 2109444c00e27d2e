// SPDX-License-Identifier: MIT
// Decimal text to a 32-bit integer: the record number of the command line
// and every record's length text read the same way.
#include "tovrek.h"

namespace {

bool IsBlank(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

}  // namespace

int32_t ConvertDecimal(const char *text)
{
    constexpr int64_t kMagnitudeCap = int64_t{INT32_MAX} + 1;
    while (IsBlank(*text)) {
        ++text;
    }
    const bool negative = *text == '-';
    if (negative || *text == '+') {
        ++text;
    }
    // Saturate while accumulating so that any number of digits is safe.
    int64_t magnitude = 0;
    for (; IsDigit(*text); ++text) {
        magnitude = magnitude * 10 + (*text - '0');
        if (magnitude > kMagnitudeCap) {
            magnitude = kMagnitudeCap;
        }
    }
    const int64_t value = negative ? -magnitude : magnitude;
    return static_cast<int32_t>(value > INT32_MAX ? INT32_MAX : value);
}
