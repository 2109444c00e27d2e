// SPDX-License-Identifier: MIT
// Writes a UNF file for the benchmarks and prints how many records it holds.
//
//   make_unf large|tiny|mixed BYTES PATH
//
// large: 57,000-byte records; tiny: "3,abc"; mixed: lengths 0 to 1,000.
// Every record ends in CR LF; the file stops at the last record that fits.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// A fixed-seed generator, so every run of the benchmark sees the same file.
uint32_t NextRandom(uint32_t *state)
{
    *state = *state * 1664525U + 1013904223U;
    return *state >> 8U;
}

int32_t NextLength(const char *kind, uint32_t *state)
{
    int32_t length = 3;
    if (strcmp(kind, "large") == 0) {
        length = 57000;
    } else if (strcmp(kind, "mixed") == 0) {
        length = static_cast<int32_t>(NextRandom(state) % 1001U);
    }
    return length;
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc != 4) {
        fprintf(stderr, "usage: make_unf large|tiny|mixed BYTES PATH\n");
        return 2;
    }
    const char *kind = argv[1];
    const auto limit = static_cast<uint64_t>(strtoull(argv[2], nullptr, 10));
    FILE *out = fopen(argv[3], "wb");
    if (out == nullptr) {
        perror(argv[3]);
        return 1;
    }
    std::vector<char> data(57000);
    for (size_t i = 0; i < data.size(); ++i) {
        data[i] = static_cast<char>('a' + i % 26);
    }
    uint32_t state = 1;
    uint64_t written = 0;
    uint64_t records = 0;
    for (;;) {
        const int32_t length = NextLength(kind, &state);
        char field[16];
        const int fieldLength = snprintf(field, sizeof field, "%d,", length);
        const uint64_t size =
            static_cast<uint64_t>(fieldLength) + static_cast<uint64_t>(length) + 2;
        if (written + size > limit) {
            break;
        }
        fwrite(field, 1, static_cast<size_t>(fieldLength), out);
        fwrite(data.data(), 1, static_cast<size_t>(length), out);
        fwrite("\r\n", 1, 2, out);
        written += size;
        ++records;
    }
    fclose(out);
    printf("%llu\n", static_cast<unsigned long long>(records));
    return 0;
}
