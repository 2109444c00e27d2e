// SPDX-License-Identifier: MIT
#include <cstdint>

#include <gtest/gtest.h>

#include "run_tool.h"
#include "tovrek.h"

namespace {

TEST(ConvertDecimal, ReadsDecimalTextAndSaturates)
{
    if (ToolIsExternal()) {
        GTEST_SKIP() << "tests this build's library in-process, not the tool under test";
    }
    struct Case {
        const char *text;
        int32_t value;
    };
    const Case cases[] = {
        {"5", 5},
        {"  7", 7},
        {"\t\n\v\f\r 9", 9},
        {"+3", 3},
        {"-2", -2},
        {"12abc", 12},
        {"0000057", 57},
        {"5 7", 5},
        {"abc", 0},
        {"", 0},
        {"-", 0},
        {"+", 0},
        {"+-1", 0},
        {"- 5", 0},
        {"0x10", 0},
        {"9999999", 9999999},
        {"2147483647", INT32_MAX},
        {"2147483648", INT32_MAX},
        {"18446744073709551616", INT32_MAX},
        {"-2147483648", INT32_MIN},
        {"-2147483649", INT32_MIN},
        {"-000000000000000000002147483648", INT32_MIN},
        {"-18446744073709551617", INT32_MIN},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(ConvertDecimal(c.text), c.value) << '"' << c.text << '"';
    }
}

}  // namespace
