// SPDX-License-Identifier: MIT
// End-to-end: the tool runs on a 16 KiB stack. Nothing large may live on
// it; the stream buffer once did and crashed every run below 96 KiB.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "run_tool.h"

namespace {

TEST(SmallStack, SixteenKibibytesAreEnough)
{
#ifdef TOVREK_SANITIZED
    GTEST_SKIP() << "the sanitizers' own stack use does not fit in 16 KiB";
#endif
    if (ToolIsExternal()) {
        GTEST_SKIP() << "a stack limit set here binds the emulator or Wine, not the tool";
    }
    std::string largest;
    for (int i = 0; i < 57000; ++i) {
        largest += static_cast<char>(i * 7);
    }
    const std::string file = WriteFixture("57000," + largest + "\r\n3,abc\r\n");
    struct Case {
        const char *name;
        std::vector<std::string> args;
    };
    const Case cases[] = {
        {"raw record of 57,000 bytes", {file, "1"}},
        {"hex dump of 57,000 bytes", {file, "1", "/H"}},
        {"full scan past it", {file, "0"}},
        {"record after it", {file, "2", "/D"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        // The same run on the test's own stack gives the expected bytes,
        // which the other tests pin.
        const ToolRun expected = RunTool(c.args);
        ASSERT_EQ(expected.status, 0);
        ToolSetup setup;
        setup.stackLimitKiB = 16;
        const ToolRun run = RunTool(c.args, setup);
        EXPECT_EQ(run.status, 0);
        // Compared whole, not printed: the dump alone is 270 KB.
        EXPECT_TRUE(run.out == expected.out) << run.out.size() << " bytes on stdout";
        EXPECT_EQ(run.err, expected.err);
    }
    EXPECT_TRUE(RunTool({file, "1"}).out == SearchLine(1) + "57000," + largest);
}

}  // namespace
