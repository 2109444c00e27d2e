// SPDX-License-Identifier: MIT
// Micro-benchmarks for the conversions and the writers, so that changes to
// them can be compared run against run.
#include <cstdio>
#include <vector>

#include <benchmark/benchmark.h>

#include "tovrek.h"

namespace {

// The conversion on texts of one kind: record numbers as users type them,
// or the short length fields a scan meets.
void BM_Convert(benchmark::State &state, const std::vector<const char *> &texts)
{
    for (auto _ : state) {
        for (const char *text : texts) {
            benchmark::DoNotOptimize(ConvertDecimal(text));
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(texts.size()));
}
BENCHMARK_CAPTURE(BM_Convert, RecordNumbers,
                  {"1", "  4711", "-2147483648", "99999999999999999999", "12abc"});
BENCHMARK_CAPTURE(BM_Convert, LengthFields, {"3", "57000", "0", "0000012", "\r\n5"});

// Points stdout at a memory stream for the duration of one benchmark.
// Assigning stdout is a glibc allowance, used here only, never in the tool.
template <void (*Writer)(int32_t, const unsigned char *)>
void BM_Write57000(benchmark::State &state)
{
    static char sink[1 << 20];
    for (int32_t i = 0; i < kRecordBufferSize; ++i) {
        RecordBuffer[i] = static_cast<unsigned char>(i * 7);
    }
    FILE *memory = fmemopen(sink, sizeof sink, "w");
    FILE *saved = stdout;
    stdout = memory;
    for (auto _ : state) {
        rewind(memory);
        Writer(kRecordBufferSize, RecordBuffer);
    }
    stdout = saved;
    fclose(memory);
    state.SetBytesProcessed(state.iterations() * kRecordBufferSize);
}
BENCHMARK_TEMPLATE(BM_Write57000, WriteHexDump);
BENCHMARK_TEMPLATE(BM_Write57000, WriteRawRecord);

}  // namespace

BENCHMARK_MAIN();
