// SPDX-License-Identifier: MIT
// The UNF scanner: walks the file record by record, turns the spinner,
// traces length fields with /D and hands the requested record over.
#include "tovrek.h"

#include <cstdlib>

unsigned char RecordBuffer[kRecordBufferSize];

namespace {

// Index of the spinner character that the next step writes.
int spinnerPosition = 0;

constexpr char kSpinnerChars[4] = {'-', '\\', '|', '/'};

// A length field is at most 7 bytes; the comma must come within 8.
constexpr int kLengthFieldLimit = 8;

// The UNF stream's buffer. stdio's default (the file system's block size,
// often 4 KiB) costs a read call per few small records; 64 KiB reads faster
// in measurement and keeps peak memory small and fixed. Fuzz builds make it
// tiny, so that every input crosses many refills.
#ifndef TOVREK_STREAM_BUFFER_SIZE
#define TOVREK_STREAM_BUFFER_SIZE 65536
#endif
constexpr size_t kStreamBufferSize = TOVREK_STREAM_BUFFER_SIZE;

// Longest line end dropped after a record that is not the requested one.
constexpr int kLineEndLimit = 4;

constexpr int kStatusOk = 0;
constexpr int kStatusFailed = 1;
constexpr int kStatusNextPass = -1;

enum class FieldEnd { kComma, kNoComma, kEndOfFile, kReadError };

// Reads a length field one byte at a time up to its comma and leaves it in
// text as a NUL-terminated string without the comma.
FieldEnd ReadLengthField(FILE *unfFile, bool trace, char *text)
{
    int count = 0;
    int byte = 0;
    do {
        byte = ReadByte(unfFile);
        if (byte != EOF) {
            if (trace) {
                fprintf(stderr, "Read <%c>.\r\n", byte);
            }
            text[count++] = static_cast<char>(byte);
        }
    } while (byte != EOF && byte != ',' && count < kLengthFieldLimit);

    FieldEnd end = FieldEnd::kNoComma;
    if (byte == EOF) {
        end = ferror(unfFile) != 0 ? FieldEnd::kReadError : FieldEnd::kEndOfFile;
    } else if (byte == ',') {
        end = FieldEnd::kComma;
        --count;
    }
    text[count] = '\0';
    return end;
}

// Reads length bytes through RecordBuffer, in buffer-sized pieces when
// the record is larger than the buffer. True when every byte arrived.
bool ReadRecordData(FILE *unfFile, int32_t length)
{
    auto remaining = static_cast<size_t>(length);
    bool complete = true;
    while (complete && remaining > 0) {
        const size_t piece = remaining < sizeof RecordBuffer ? remaining : sizeof RecordBuffer;
        complete = fread(RecordBuffer, 1, piece, unfFile) == piece;
        remaining -= piece;
    }
    return complete;
}

// Drops the bytes up to and including the first LF, at most four, so CR LF,
// LF and CR CR LF all end a record. False on a read error.
bool SkipLineEnd(FILE *unfFile)
{
    int byte = 0;
    for (int i = 0; i < kLineEndLimit && byte != '\n' && byte != EOF; ++i) {
        byte = ReadByte(unfFile);
    }
    return ferror(unfFile) == 0;
}

int ReportReadError()
{
    fprintf(stderr, "Error reading data file.\r\n");
    return kStatusFailed;
}

// Reads one record's data and either hands it over, when it is the
// requested one, or skips its line end.
int ReadRecord(FILE *unfFile, const RunOptions &options, int32_t length, int64_t *recordCount)
{
    const bool requested = *recordCount + 1 == options.recNumber;
    int status = kStatusNextPass;
    if (requested && length > kRecordBufferSize) {
        // Refused before its data is read; larger records that are not
        // requested are read through the buffer and dropped.
        fprintf(stderr, "Record too large to display (%d bytes, limit %d).\r\n", length,
                kRecordBufferSize);
        status = kStatusFailed;
    } else if (length < 0 || !ReadRecordData(unfFile, length)) {
        status = ReportReadError();
    } else if (requested) {
        if (options.hexOutput) {
            WriteHexDump(length, RecordBuffer);
        } else {
            WriteRawRecord(length, RecordBuffer);
        }
        status = kStatusOk;
    } else {
        ++*recordCount;
        if (!SkipLineEnd(unfFile)) {
            status = ReportReadError();
        }
    }
    return status;
}

// One pass: a spinner step, a length field and its record.
int ScanPass(FILE *unfFile, const RunOptions &options, int64_t *recordCount)
{
    AdvanceSpinner();
    char lengthText[kLengthFieldLimit + 1];
    const FieldEnd end = ReadLengthField(unfFile, options.fullDebugger, lengthText);
    int status = kStatusNextPass;
    if (end == FieldEnd::kReadError) {
        status = ReportReadError();
    } else if (end == FieldEnd::kNoComma) {
        fprintf(stderr, "Incorrect data format <%s>\r\n", lengthText);
        status = kStatusFailed;
    } else if (end == FieldEnd::kComma) {
        const int32_t length = ConvertDecimal(lengthText);
        if (options.fullDebugger) {
            fprintf(stderr, "Converted <%s> to %d.\r\n", lengthText, length);
        }
        status = ReadRecord(unfFile, options, length, recordCount);
    }
    return status;
}

}  // namespace

void AdvanceSpinner()
{
    const char spinnerChar = kSpinnerChars[spinnerPosition];
    ++spinnerPosition;
    fprintf(stderr, "%c%c", spinnerChar, '\b');
    if (spinnerPosition > 3) {
        spinnerPosition = 0;
    }
}

int ScanForRecord(FILE *unfFile, const RunOptions &options)
{
    // On the heap, since it would fill a small stack, and freed only after
    // the stream is closed. If it can't be had, stdio's own buffer serves.
    auto *streamBuffer = static_cast<char *>(malloc(kStreamBufferSize));
    if (streamBuffer != nullptr) {
        setvbuf(unfFile, streamBuffer, _IOFBF, kStreamBufferSize);
    }
    // 64 bits: a file can hold more records than a 32-bit count reaches.
    int64_t recordCount = 0;
    int status = kStatusNextPass;
    while (status == kStatusNextPass && feof(unfFile) == 0) {
        status = ScanPass(unfFile, options, &recordCount);
    }
    fclose(unfFile);
    free(streamBuffer);
    return status == kStatusNextPass ? kStatusOk : status;
}
