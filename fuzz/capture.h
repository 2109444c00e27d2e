// SPDX-License-Identifier: MIT
// Captures what the tool writes to standard output and standard error in
// memory, for the fuzz targets that check it. Assigning stdout and stderr
// is a glibc allowance, used by these harnesses only, never by the tool;
// libFuzzer keeps its own handle on the real stderr.
#ifndef TOVREK_FUZZ_CAPTURE_H
#define TOVREK_FUZZ_CAPTURE_H

#include <cstdio>
#include <cstdlib>
#include <string>

struct Capture {
    FILE *savedOut;
    FILE *savedErr;
    char *outBytes;
    size_t outSize;
    char *errBytes;
    size_t errSize;
};

inline void StartCapture(Capture *capture)
{
    capture->savedOut = stdout;
    capture->savedErr = stderr;
    stdout = open_memstream(&capture->outBytes, &capture->outSize);
    stderr = open_memstream(&capture->errBytes, &capture->errSize);
}

// Restores the real streams and hands over the captured bytes.
inline void StopCapture(Capture *capture, std::string *out, std::string *err)
{
    fclose(stdout);
    fclose(stderr);
    stdout = capture->savedOut;
    stderr = capture->savedErr;
    out->assign(capture->outBytes, capture->outSize);
    err->assign(capture->errBytes, capture->errSize);
    free(capture->outBytes);
    free(capture->errBytes);
}

#endif
