// SPDX-License-Identifier: MIT
// libFuzzer target: the real scan and both writers on arbitrary files,
// record numbers and options, plus the decimal conversion checked against
// strtoll.
//
// Input layout: byte 0 holds the options (bit 0 /H, bit 1 /D), byte 1 the
// record number as a signed byte, the rest is the UNF file.
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tovrek.h"

namespace {

// What the record-number conversion must return: strtoll's value, clamped.
int32_t ReferenceConversion(const std::string &text)
{
    const long long value = strtoll(text.c_str(), nullptr, 10);
    const long long clamped = value > INT32_MAX ? INT32_MAX : value < INT32_MIN ? INT32_MIN : value;
    return static_cast<int32_t>(clamped);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int * /*argc*/, char *** /*argv*/)
{
    // The tool's console text goes to a fully buffered sink, so the run
    // stays fast; libFuzzer keeps its own handle on the real stderr.
    FILE *sink = fopen("/dev/null", "w");
    stdout = sink;
    stderr = sink;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2) {
        return 0;
    }
    RunOptions options;
    options.hexOutput = (data[0] & 1) != 0;
    options.fullDebugger = (data[0] & 2) != 0;
    options.recNumber = data[1] < 128 ? data[1] : data[1] - 256;

    // fmemopen refuses an empty buffer; an empty file is /dev/null.
    const std::string file(reinterpret_cast<const char *>(data) + 2, size - 2);
    FILE *unfFile = file.empty() ? fopen("/dev/null", "rb")
                                 : fmemopen(const_cast<char *>(file.data()), file.size(), "rb");
    const int status = ScanForRecord(unfFile, options);
    if (status != 0 && status != 1) {
        __builtin_trap();
    }

    const std::string text = file.substr(0, file.find('\0'));
    if (ConvertDecimal(text.c_str()) != ReferenceConversion(text)) {
        __builtin_trap();
    }
    return 0;
}
