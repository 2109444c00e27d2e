// SPDX-License-Identifier: MIT
// libFuzzer target that checks every answer. It builds a well-formed UNF
// file from the input, runs the real scan on it, and compares standard
// output, the spinner and the /D trace with what a model of the format,
// written here apart from the tool, says they must be. Any difference traps.
//
// The input is read through FuzzedDataProvider: the options and the record
// number first, then one record after another (its length, how its length
// text is dressed, its bytes and its line end).
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include <fuzzer/FuzzedDataProvider.h>

#include "capture.h"
#include "tovrek.h"

namespace {

constexpr size_t kLargestShown = 57000;
constexpr size_t kMaxRecords = 40;
// Bounds the file, so that a run stays fast; a few large records fit.
constexpr size_t kFileBudget = size_t{256} * 1024;

struct Record {
    std::string lengthText;  // the bytes before the comma
    size_t length;
    std::string data;
    std::string lineEnd;
};

// How many spinner steps this process has seen: the tool's spinner goes on
// from run to run.
size_t spinnerSteps = 0;

size_t PickLength(FuzzedDataProvider *input, size_t budget)
{
    size_t length = 0;
    switch (input->ConsumeIntegralInRange(0, 6)) {
    case 0:
    case 1:
        length = input->ConsumeIntegralInRange<size_t>(0, 40);
        break;
    case 2:
        length = input->ConsumeIntegralInRange<size_t>(0, 300);
        break;
    case 3:  // around a full dump line
        length = 16 * input->ConsumeIntegralInRange<size_t>(1, 8) - 1 +
                 input->ConsumeIntegralInRange<size_t>(0, 2);
        break;
    case 4:
        length = input->ConsumeIntegralInRange<size_t>(1000, 9000);
        break;
    default:  // the largest record that can be shown, and a few above it
        length = kLargestShown - 2 + input->ConsumeIntegralInRange<size_t>(0, 5);
        break;
    }
    return length + 16 <= budget ? length : length % 41;
}

// A length text of at most 7 bytes that reads as length: its digits, with
// the blanks, sign, leading zeros and trailing bytes the tool passes over.
std::string DressLength(FuzzedDataProvider *input, size_t length)
{
    static const char kBlanks[] = {' ', '\t', '\n', '\v', '\f', '\r'};
    const std::string digits = std::to_string(length);
    size_t room = 7 - digits.size();
    std::string text;
    for (size_t n = input->ConsumeIntegralInRange<size_t>(0, 3); n > 0 && room > 0; --n, --room) {
        text += input->PickValueInArray(kBlanks);
    }
    const char sign = input->PickValueInArray({'\0', '+', '-'});
    if (room > 0 && (sign == '+' || (sign == '-' && length == 0))) {
        text += sign;
        --room;
    }
    for (size_t n = input->ConsumeIntegralInRange<size_t>(0, 6); n > 0 && room > 0; --n, --room) {
        text += '0';
    }
    text += digits;
    for (size_t n = input->ConsumeIntegralInRange<size_t>(0, 2); n > 0 && room > 0; --n, --room) {
        const auto byte = static_cast<char>(input->ConsumeIntegral<uint8_t>());
        text += (byte >= '0' && byte <= '9') || byte == ',' ? 'x' : byte;
    }
    return text;
}

std::vector<Record> MakeRecords(FuzzedDataProvider *input)
{
    std::vector<Record> records;
    size_t budget = kFileBudget;
    while (input->remaining_bytes() > 0 && records.size() < kMaxRecords && budget > 64) {
        Record record;
        record.length = PickLength(input, budget);
        record.lengthText = DressLength(input, record.length);
        record.data = input->ConsumeBytesAsString(record.length);
        while (record.data.size() < record.length) {
            record.data += static_cast<char>(record.data.size() * 31 + 7);
        }
        record.lineEnd = input->PickValueInArray({"\r\n", "\n", "\r\r\n", ""});
        budget -= record.length + 16;
        records.push_back(record);
    }
    // Only the last record may go without a line end.
    for (size_t i = 0; i + 1 < records.size(); ++i) {
        if (records[i].lineEnd.empty()) {
            records[i].lineEnd = "\r\n";
        }
    }
    return records;
}

// The model of the output. Hexadecimal comes from a digit table and the
// character column from the table of byte ranges, not from the tool's
// formats and masks.
std::string Hex(size_t value, int digits)
{
    static const char kDigits[] = "0123456789ABCDEF";
    std::string text(static_cast<size_t>(digits), '0');
    for (int i = digits - 1; i >= 0; --i, value /= 16) {
        text[static_cast<size_t>(i)] = kDigits[value % 16];
    }
    return text;
}

char Shown(unsigned char byte)
{
    char shown = '.';
    if (byte >= 0x20 && byte <= 0x7e) {
        shown = static_cast<char>(byte);
    } else if (byte >= 0xa0 && byte <= 0xfe) {
        shown = static_cast<char>(byte - 0x80);
    }
    return shown;
}

std::string Dump(const std::string &data)
{
    std::string dump = "Buffer Size: " + std::to_string(data.size()) + "\n\n";
    for (size_t offset = 0; offset < data.size(); offset += 16) {
        const std::string line = data.substr(offset, 16);
        std::string column;
        dump += Hex(offset, 8) + ": ";
        for (const char byte : line) {
            dump += Hex(static_cast<unsigned char>(byte), 2) + " ";
            column += Shown(static_cast<unsigned char>(byte));
        }
        dump += std::string(3 * (16 - line.size()), ' ') + "  " + column + "\n";
    }
    if (data.size() % 16 == 0) {
        dump += Hex(data.size(), 8) + ": ";
    }
    return dump;
}

std::string SpinnerStep()
{
    static const char kChars[] = "-\\|/";
    return std::string{kChars[spinnerSteps++ % 4], '\b'};
}

std::string Trace(const Record &record)
{
    std::string trace;
    for (const char byte : record.lengthText + ",") {
        trace += std::string("Read <") + byte + ">.\r\n";
    }
    const std::string text = record.lengthText.substr(0, record.lengthText.find('\0'));
    return trace + "Converted <" + text + "> to " + std::to_string(record.length) + ".\r\n";
}

struct Answer {
    std::string out;
    std::string err;
    int status = 0;
};

Answer Expect(const std::vector<Record> &records, const RunOptions &options)
{
    Answer answer;
    bool found = false;
    for (size_t i = 0; i < records.size() && !found; ++i) {
        const Record &record = records[i];
        answer.err += SpinnerStep();
        if (options.fullDebugger) {
            answer.err += Trace(record);
        }
        found = static_cast<int64_t>(i) + 1 == options.recNumber;
        if (found && record.length > kLargestShown) {
            answer.err += "Record too large to display (" + std::to_string(record.length) +
                          " bytes, limit 57000).\r\n";
            answer.status = 1;
        } else if (found) {
            answer.out = options.hexOutput ? Dump(record.data)
                                           : std::to_string(record.length) + "," + record.data;
        }
    }
    // A last line end leaves the end of the file to one more pass.
    if (!found && (records.empty() || !records.back().lineEnd.empty())) {
        answer.err += SpinnerStep();
    }
    return answer;
}

void ReportDifference(const char *stream, const std::string &got, const std::string &want)
{
    size_t at = 0;
    while (at < got.size() && at < want.size() && got[at] == want[at]) {
        ++at;
    }
    fprintf(stderr, "%s differs at byte %zu of %zu (model: %zu)\n", stream, at, got.size(),
            want.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider input(data, size);
    RunOptions options;
    options.hexOutput = input.ConsumeBool();
    options.fullDebugger = input.ConsumeBool();
    options.recNumber = input.ConsumeIntegralInRange(-1, static_cast<int>(kMaxRecords) + 1);
    const std::vector<Record> records = MakeRecords(&input);

    std::string file;
    for (const Record &record : records) {
        file += record.lengthText + "," + record.data + record.lineEnd;
    }
    // fmemopen refuses an empty buffer; an empty file is /dev/null.
    FILE *unfFile =
        file.empty() ? fopen("/dev/null", "rb") : fmemopen(file.data(), file.size(), "rb");
    Capture capture{};
    Answer got;
    StartCapture(&capture);
    got.status = ScanForRecord(unfFile, options);
    StopCapture(&capture, &got.out, &got.err);

    const Answer want = Expect(records, options);
    if (got.out != want.out || got.err != want.err || got.status != want.status) {
        ReportDifference("stdout", got.out, want.out);
        ReportDifference("stderr", got.err, want.err);
        fprintf(stderr, "status %d (model: %d)\n", got.status, want.status);
        __builtin_trap();
    }
    return 0;
}
