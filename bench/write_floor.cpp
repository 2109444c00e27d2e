// SPDX-License-Identifier: MIT
// The output floor of a scan: N passes that each write the two spinner
// bytes to standard error, and nothing else.
//
//   write_floor N            one write(2) per pass: the system's floor
//   write_floor N fprintf    one fprintf(stderr, "%c%c") per pass: the floor
//                            of the formatted write the tool must make
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

int main(int argc, char **argv)
{
    const long long passes = argc > 1 ? strtoll(argv[1], nullptr, 10) : 0;
    const bool formatted = argc > 2 && strcmp(argv[2], "fprintf") == 0;
    for (long long i = 0; i < passes; ++i) {
        if (formatted) {
            fprintf(stderr, "%c%c", '-', '\b');
        } else {
            const ssize_t ignored = write(2, "-\b", 2);  // as the tool, never checked
            static_cast<void>(ignored);
        }
    }
    return 0;
}
