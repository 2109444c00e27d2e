// SPDX-License-Identifier: MIT
#include "run_tool.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/personality.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {

// Makes source the descriptor fd, even when it already is.
void MoveTo(int source, int fd)
{
    if (source != fd) {
        dup2(source, fd);
        close(source);
    }
}

// Prepares fd in the child according to sink; capturePath for kCapture.
void AttachSink(int fd, Sink sink, const std::string &capturePath, int pipeWriter)
{
    int source = -1;
    switch (sink) {
    case Sink::kCapture:
        source = open(capturePath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        break;
    case Sink::kDevFull:
        source = open("/dev/full", O_WRONLY);
        break;
    case Sink::kClosedPipe:
        source = dup(pipeWriter);
        break;
    case Sink::kClosed:
        close(fd);
        return;
    }
    MoveTo(source, fd);
}

// Execs argv with the stack limit of setup, in the child; never returns.
void Exec(char **argv, const ToolSetup &setup)
{
    if (setup.stackLimitKiB == 0) {
        execvp(argv[0], argv);
    } else {
        rlimit limit{};
        getrlimit(RLIMIT_STACK, &limit);
        limit.rlim_cur = rlim_t{setup.stackLimitKiB} * 1024;
        if (setrlimit(RLIMIT_STACK, &limit) == 0 && personality(ADDR_NO_RANDOMIZE) != -1) {
            char *noEnvironment[] = {nullptr};
            execve(argv[0], argv, noEnvironment);
        }
    }
    _exit(127);
}

// The bytes a Windows exe wrote before its text stream put a CR before
// each LF; a bare LF fails the test, since the stream was not in text mode.
std::string Untranslated(const std::string &bytes, const char *stream)
{
    std::string written;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n') {
            if (written.empty() || written.back() != '\r') {
                ADD_FAILURE() << stream << ": LF without CR at byte " << i;
            } else {
                written.pop_back();
            }
        }
        written += bytes[i];
    }
    return written;
}

}  // namespace

const std::vector<std::string> &ToolCommand()
{
    static const std::vector<std::string> command = [] {
        const char *variable = getenv("TOVREK_TEST_TOOL");
        std::istringstream spec(variable != nullptr ? std::string(variable) : std::string());
        std::vector<std::string> words;
        for (std::string word; spec >> word;) {
            words.push_back(word);
        }
        return words.empty() ? std::vector<std::string>{TOVREK_BINARY} : words;
    }();
    return command;
}

bool ToolIsExternal()
{
    return ToolCommand() != std::vector<std::string>{TOVREK_BINARY};
}

bool ToolIsWindowsExe()
{
    const std::string &binary = ToolCommand().back();
    return binary.size() > 4 && binary.compare(binary.size() - 4, 4, ".exe") == 0;
}

std::string ReadWholeFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::string MakeTempDir()
{
    std::string pattern = testing::TempDir() + "tovrek-test-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) {
        ADD_FAILURE() << "mkdtemp failed";
    }
    return pattern;
}

std::string WriteFixture(const std::string &bytes)
{
    static const std::string directory = MakeTempDir();
    static int serial = 0;
    std::string path = directory + "/fixture" + std::to_string(++serial) + ".unf";
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

ToolRun RunTool(const std::vector<std::string> &args, const ToolSetup &setup)
{
    static const std::string directory = MakeTempDir();
    const std::string outPath = directory + "/out";
    const std::string errPath = directory + "/err";

    // A pipe whose read end is closed before the child runs: writes to it
    // fail with EPIPE (and raise SIGPIPE unless the child ignores it).
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) {
        ADD_FAILURE() << "pipe failed";
    }
    close(pipeEnds[0]);

    std::vector<std::string> copies(ToolCommand());
    copies.insert(copies.end(), args.begin(), args.end());
    std::vector<char *> argv(copies.size() + 1, nullptr);
    std::transform(copies.begin(), copies.end(), argv.begin(),
                   [](std::string &arg) { return arg.data(); });

    fflush(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        MoveTo(open(setup.stdinPath.c_str(), O_RDONLY), 0);
        AttachSink(1, setup.stdoutSink, outPath, pipeEnds[1]);
        AttachSink(2, setup.stderrSink, errPath, pipeEnds[1]);
        close(pipeEnds[1]);
        Exec(argv.data(), setup);
    }
    close(pipeEnds[1]);

    ToolRun run;
    int waitStatus = 0;
    waitpid(child, &waitStatus, 0);
    run.status = WIFEXITED(waitStatus) ? WEXITSTATUS(waitStatus) : 128 + WTERMSIG(waitStatus);
    if (setup.stdoutSink == Sink::kCapture) {
        run.out = ReadWholeFile(outPath);
    }
    if (setup.stderrSink == Sink::kCapture) {
        run.err = ReadWholeFile(errPath);
    }
    if (ToolIsWindowsExe()) {
        run.out = Untranslated(run.out, "stdout");
        run.err = Untranslated(run.err, "stderr");
    }
    std::remove(outPath.c_str());
    std::remove(errPath.c_str());
    return run;
}

std::string SearchLine(long record)
{
    return "Searching for Record #" + std::to_string(record) + ".\r\n";
}

std::string SpinnerSteps(int passes)
{
    static const char kChars[] = "-\\|/";
    std::string steps;
    for (int i = 0; i < passes; ++i) {
        steps += kChars[i % 4];
        steps += '\b';
    }
    return steps;
}
