// SPDX-License-Identifier: MIT
// Runs tovrek as a child process (no shell) and captures its standard
// output, standard error and exit status as bytes.
//
// The tool under test is the binary built with these tests, or the command
// in TOVREK_TEST_TOOL: words split at spaces, the last one the binary, such
// as "wine /path/tovrek.exe" or "qemu-aarch64 /path/tovrek". A Windows exe
// writes every LF of its text streams as CR LF; RunTool checks that each LF
// came so and hands back the bytes the tool wrote, so that every expected
// output holds on both platforms.
#ifndef TOVREK_TESTS_RUN_TOOL_H
#define TOVREK_TESTS_RUN_TOOL_H

#include <string>
#include <vector>

enum class Sink {
    kCapture,     // a file read back after the run
    kDevFull,     // every write fails with ENOSPC
    kClosedPipe,  // a pipe whose reader is already gone
    kClosed,      // the descriptor is not open at all
};

struct ToolSetup {
    std::string stdinPath = "/dev/null";
    Sink stdoutSink = Sink::kCapture;
    Sink stderrSink = Sink::kCapture;
    // When set, the child runs with this soft stack limit, no environment
    // and no address randomisation, so that its stack layout, and with it
    // the outcome, is the same on every run.
    unsigned stackLimitKiB = 0;
};

struct ToolRun {
    std::string out;
    std::string err;
    int status = -1;  // exit status, or 128 + signal number
};

ToolRun RunTool(const std::vector<std::string> &args, const ToolSetup &setup = {});

// The command that runs the tool under test, its binary last.
const std::vector<std::string> &ToolCommand();

// The tool under test is not the binary built with these tests, so tests
// of this build's library in-process say nothing about it.
bool ToolIsExternal();

// The tool under test is a Windows exe.
bool ToolIsWindowsExe();

// Every byte of a file; empty when it can't be read.
std::string ReadWholeFile(const std::string &path);

// A fresh file holding bytes, in a directory private to this test binary.
std::string WriteFixture(const std::string &bytes);

// A fresh, empty directory private to this test binary.
std::string MakeTempDir();

// Standard output of a run that searched for record: the search line.
std::string SearchLine(long record);

// The spinner bytes of the first passes of a run.
std::string SpinnerSteps(int passes);

#endif
