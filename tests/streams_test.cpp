// SPDX-License-Identifier: MIT
// End-to-end: input that is not a regular file, and standard streams that
// fail or are missing. None of it may change the exit status.
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "run_tool.h"

namespace {

const std::string kFile = "5,hello\r\n3,abc\r\n";

TEST(Streams, ReadsStandardInputAndFifos)
{
    if (ToolIsWindowsExe()) {
        GTEST_SKIP() << "Windows has neither /dev/stdin nor FIFOs";
    }
    const std::string path = WriteFixture(kFile);
    ToolSetup setup;
    setup.stdinPath = path;
    const ToolRun fromStdin = RunTool({"/dev/stdin", "2"}, setup);
    EXPECT_EQ(fromStdin.out, SearchLine(2) + "3,abc");
    EXPECT_EQ(fromStdin.status, 0);

    const std::string fifo = MakeTempDir() + "/fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::thread writer([&] { std::ofstream(fifo, std::ios::binary) << kFile; });
    const ToolRun fromFifo = RunTool({fifo, "2"});
    writer.join();
    EXPECT_EQ(fromFifo.out, SearchLine(2) + "3,abc");
    EXPECT_EQ(fromFifo.err, SpinnerSteps(2));
    EXPECT_EQ(fromFifo.status, 0);
}

TEST(Streams, FailingOrMissingStandardStreamsKeepTheStatus)
{
    const std::string large = WriteFixture("57000," + std::string(57000, 'x') + "\r\n");
    const std::string broken = WriteFixture("5,ab");
    struct Case {
        const char *name;
        Sink out;
        Sink err;
        std::string file;
        int status;
    };
    const Case cases[] = {
        {"stdout full", Sink::kDevFull, Sink::kCapture, large, 0},
        {"stdout pipe closed", Sink::kClosedPipe, Sink::kCapture, large, 0},
        {"stdout closed", Sink::kClosed, Sink::kCapture, large, 0},
        {"stderr full", Sink::kCapture, Sink::kDevFull, large, 0},
        {"stderr pipe closed", Sink::kCapture, Sink::kClosedPipe, large, 0},
        {"stderr closed", Sink::kCapture, Sink::kClosed, large, 0},
        {"stderr closed, failing file", Sink::kCapture, Sink::kClosed, broken, 1},
        {"stdout closed, failing file", Sink::kClosed, Sink::kCapture, broken, 1},
    };
    for (const Case &c : cases) {
        for (const char *form : {"raw", "/H"}) {
            SCOPED_TRACE(std::string(c.name) + ", " + form);
            ToolSetup setup;
            setup.stdoutSink = c.out;
            setup.stderrSink = c.err;
            const bool hex = form[0] == '/';
            const ToolRun run = RunTool(hex ? std::vector<std::string>{c.file, "1", form}
                                            : std::vector<std::string>{c.file, "1"},
                                        setup);
            EXPECT_EQ(run.status, c.status);
            if (c.err == Sink::kCapture) {
                // Nothing but the acknowledgement, the spinner step and, for
                // the broken file, its message.
                EXPECT_EQ(run.err, (hex ? "[Hex Output Enabled]\n" : "") + SpinnerSteps(1) +
                                       (c.status == 0 ? "" : "Error reading data file.\r\n"));
            }
        }
    }
}

}  // namespace
