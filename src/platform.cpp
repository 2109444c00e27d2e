// SPDX-License-Identifier: MIT
// What differs between POSIX and Windows, and nothing else; only the
// per-byte reads and writes live in tovrek.h, to be inlined.
#include "tovrek.h"

#include <csignal>
#include <sys/stat.h>

#ifdef _WIN32
// The MinGW runtime can expand wildcards in the command line before main
// sees it; the tool takes its arguments as given, whatever the toolchain's
// default.
extern "C" {
int _dowildcard = 0;
}
#endif

void IgnoreBrokenPipe()
{
#ifdef SIGPIPE
    signal(SIGPIPE, SIG_IGN);
#endif
}

// A directory opens on Linux but cannot be read; Windows refuses to open
// one. Either way it counts as a file that can't be opened.
FILE *OpenForReading(const char *path)
{
    FILE *stream = fopen(path, "rb");
    struct stat info {};
    if (stream != nullptr && fstat(fileno(stream), &info) == 0 && S_ISDIR(info.st_mode)) {
        fclose(stream);
        stream = nullptr;
    }
    return stream;
}
