// SPDX-License-Identifier: MIT
// The example sessions in README.md and the man page are what the tool
// really prints: each command is run in a directory that holds the source
// tree's examples/, with the built tovrek first on PATH, and its output, as
// a terminal shows it, must match the lines the document gives.
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

#include "run_tool.h"

namespace {

struct Example {
    std::string command;
    std::string output;  // lines, each ended by "\n"
};

std::vector<std::string> SplitLines(const std::string &text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

// A line without the spaces at its end, which no one can see.
std::string Visible(std::string line)
{
    line.erase(line.find_last_not_of(' ') + 1);
    return line;
}

// Sessions are "$ command" lines, each followed by its output lines.
std::vector<Example> ParseSessions(const std::vector<std::string> &lines)
{
    std::vector<Example> examples;
    for (const std::string &line : lines) {
        if (line.rfind("$ ", 0) == 0) {
            examples.push_back({line.substr(2), ""});
        } else if (!examples.empty()) {
            examples.back().output += Visible(line) + "\n";
        }
    }
    return examples;
}

// The lines of every block between an opening and a closing line.
std::vector<Example> ExtractBlocks(const std::string &text, const std::string &open,
                                   const std::string &close,
                                   std::string (*unescape)(const std::string &))
{
    std::vector<Example> examples;
    std::vector<std::string> block;
    bool inside = false;
    for (const std::string &line : SplitLines(text)) {
        if (!inside && line == open) {
            inside = true;
            block.clear();
        } else if (inside && line == close) {
            inside = false;
            const std::vector<Example> sessions = ParseSessions(block);
            examples.insert(examples.end(), sessions.begin(), sessions.end());
        } else if (inside) {
            block.push_back(unescape(line));
        }
    }
    return examples;
}

std::string AsIs(const std::string &line)
{
    return line;
}

// The roff escapes the man page's examples use: \e for a backslash and \-
// for a minus sign.
std::string Unroff(const std::string &line)
{
    std::string plain;
    for (size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '\\' && i + 1 < line.size() && (line[i + 1] == 'e' || line[i + 1] == '-')) {
            plain += line[i + 1] == 'e' ? '\\' : '-';
            ++i;
        } else {
            plain += line[i];
        }
    }
    return plain;
}

// What a terminal shows for these bytes: CR returns to the start of the
// line, a backspace moves back one column, and later text overwrites.
std::string AsTerminalShows(const std::string &bytes)
{
    std::string shown;
    std::string line;
    size_t column = 0;
    for (const char byte : bytes) {
        if (byte == '\n') {
            shown += Visible(line) + "\n";
            line.clear();
            column = 0;
        } else if (byte == '\r') {
            column = 0;
        } else if (byte == '\b') {
            column -= column > 0 ? 1 : 0;
        } else {
            if (column < line.size()) {
                line[column] = byte;
            } else {
                line += byte;
            }
            ++column;
        }
    }
    return line.empty() ? shown : shown + Visible(line) + "\n";
}

// A fresh directory where the examples can write their files, with the
// source tree's examples/ in it.
std::string MakeWorkDir()
{
    std::string directory = MakeTempDir();
    EXPECT_EQ(symlink(TOVREK_SOURCE_DIR "/examples", (directory + "/examples").c_str()), 0);
    return directory;
}

// The directory whose tovrek is the tool under test: the build's own, or
// one with a script that runs the command of TOVREK_TEST_TOOL.
std::string MakeToolDir()
{
    std::string directory = TOVREK_BINARY_DIR;
    if (ToolIsExternal()) {
        directory = MakeTempDir();
        std::string script = "#!/bin/sh\nexec";
        for (const std::string &word : ToolCommand()) {
            script += " '" + word + "'";
        }
        std::ofstream(directory + "/tovrek") << script << " \"$@\"\n";
        chmod((directory + "/tovrek").c_str(), 0755);
    }
    return directory;
}

// Runs command with /bin/sh in a work directory; returns its stdout.
std::string RunShell(const std::string &command)
{
    static const std::string workDir = MakeWorkDir();
    static const std::string toolDir = MakeToolDir();
    const char *inherited = getenv("PATH");
    const std::string path = toolDir + ":" + (inherited != nullptr ? inherited : "/usr/bin:/bin");
    int pipeEnds[2];
    EXPECT_EQ(pipe(pipeEnds), 0);
    const pid_t child = fork();
    if (child == 0) {
        dup2(pipeEnds[1], 1);
        close(pipeEnds[0]);
        close(pipeEnds[1]);
        setenv("PATH", path.c_str(), 1);
        if (chdir(workDir.c_str()) == 0) {
            execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char *>(nullptr));
        }
        _exit(127);
    }
    close(pipeEnds[1]);
    std::string output;
    char buffer[4096];
    for (ssize_t n = read(pipeEnds[0], buffer, sizeof buffer); n > 0;
         n = read(pipeEnds[0], buffer, sizeof buffer)) {
        output.append(buffer, static_cast<size_t>(n));
    }
    close(pipeEnds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    return output;
}

void ExpectExamplesHold(const std::vector<Example> &examples, size_t atLeast)
{
    EXPECT_GE(examples.size(), atLeast);
    for (const Example &example : examples) {
        SCOPED_TRACE(example.command);
        EXPECT_EQ(AsTerminalShows(RunShell(example.command)), example.output);
    }
}

constexpr const char *kWindowsSessions =
    "the sessions count and dump the bytes of Unix text streams, and a Windows exe writes "
    "each LF as CR LF";

TEST(DocExamples, ReadmeSessionsAreTrue)
{
    if (ToolIsWindowsExe()) {
        GTEST_SKIP() << kWindowsSessions;
    }
    const std::string readme = ReadWholeFile(std::string(TOVREK_SOURCE_DIR) + "/README.md");
    ExpectExamplesHold(ExtractBlocks(readme, "```console", "```", AsIs), 5);
}

TEST(DocExamples, ManPageSessionsAreTrue)
{
    if (ToolIsWindowsExe()) {
        GTEST_SKIP() << kWindowsSessions;
    }
    const std::string page = ReadWholeFile(std::string(TOVREK_SOURCE_DIR) + "/doc/tovrek.1");
    ExpectExamplesHold(ExtractBlocks(page, ".EX", ".EE", Unroff), 5);
}

TEST(DocExamples, TerminalRenderingOverwritesTheSpinner)
{
    EXPECT_EQ(AsTerminalShows("a\r\n-\bRead\r\n\\\b00: "), "a\nRead\n00:\n");
}

}  // namespace
