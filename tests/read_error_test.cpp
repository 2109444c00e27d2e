// SPDX-License-Identifier: MIT
// A read error anywhere in the file ends the scan with the data error and
// status 1; it never loops and never passes for the end of the file.
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <unistd.h>

#include <gtest/gtest.h>

#include "run_tool.h"
#include "tovrek.h"

namespace {

// A stream over bytes that hands out one byte per read and fails once with
// EIO when failAt bytes have been delivered. Later reads succeed again, so
// a scan that overlooks the error would read on and end with status 0.
struct FailingSource {
    std::string bytes;
    size_t failAt;
    size_t position;
};

ssize_t ReadFailing(void *cookie, char *buffer, size_t size)
{
    auto *source = static_cast<FailingSource *>(cookie);
    ssize_t delivered = -1;
    if (source->position == source->failAt) {
        source->failAt = std::string::npos;
        errno = EIO;
    } else if (source->position == source->bytes.size() || size == 0) {
        delivered = 0;
    } else {
        buffer[0] = source->bytes[source->position++];
        delivered = 1;
    }
    return delivered;
}

// Runs the scan with stderr captured into a file; returns what it wrote.
std::string ScanCapturingStderr(FailingSource *source, int32_t recNumber, int *status)
{
    cookie_io_functions_t functions{};
    functions.read = ReadFailing;
    FILE *stream = fopencookie(source, "rb", functions);
    RunOptions options;
    options.recNumber = recNumber;

    FILE *capture = tmpfile();
    const int savedStderr = dup(2);
    dup2(fileno(capture), 2);
    *status = ScanForRecord(stream, options);
    dup2(savedStderr, 2);
    close(savedStderr);

    std::string written(static_cast<size_t>(ftell(capture)), '\0');
    rewind(capture);
    written.resize(fread(written.data(), 1, written.size(), capture));
    fclose(capture);
    return written;
}

bool EndsWith(const std::string &text, const std::string &tail)
{
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

constexpr const char *kInProcess = "tests this build's library in-process, not the tool under test";

TEST(ReadError, AtEveryByteEndsTheScanWithTheDataError)
{
    if (ToolIsExternal()) {
        GTEST_SKIP() << kInProcess;
    }
    // Length fields, data, and line ends of every shape are all hit.
    const std::string file = "5,hello\r\n0,\r\n3,abc\n12,abcdefghijkl\r\r\n";
    for (size_t failAt = 0; failAt < file.size(); ++failAt) {
        SCOPED_TRACE(failAt);
        FailingSource source{file, failAt, 0};
        int status = -1;
        const std::string err = ScanCapturingStderr(&source, 0, &status);
        EXPECT_EQ(status, 1);
        EXPECT_TRUE(EndsWith(err, "Error reading data file.\r\n")) << err;
    }
}

TEST(ReadError, BeyondTheFileLeavesTheScanUntouched)
{
    if (ToolIsExternal()) {
        GTEST_SKIP() << kInProcess;
    }
    FailingSource source{"5,hello\r\n", 100, 0};
    int status = -1;
    EXPECT_EQ(ScanCapturingStderr(&source, 0, &status).find("Error"), std::string::npos);
    EXPECT_EQ(status, 0);
}

}  // namespace
