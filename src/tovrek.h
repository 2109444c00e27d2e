// SPDX-License-Identifier: MIT
// tovrek: show one record of a UNF file.
//
// A UNF file is a plain sequence of records, each its length in decimal
// text, a comma, that many bytes and a line end. The driver parses the
// command line and opens the file, the scanner walks it record by record,
// and the writers put the found record on standard output.
#ifndef TOVREK_H
#define TOVREK_H

#include <cstdint>
#include <cstdio>

// Largest record the tool can hold and show.
constexpr int32_t kRecordBufferSize = 57000;

// The parsed command line; built once, read-only afterwards.
struct RunOptions {
    const char *sourceFile = nullptr;
    int32_t recNumber = 0;
    bool hexOutput = false;
    bool fullDebugger = false;
};

// Receives the data of every record read, from its first byte.
extern unsigned char RecordBuffer[kRecordBufferSize];

// Whole run: returns the process exit status (0 or 1).
int RunTovrek(int argc, char **argv);

// Fills options from argv, or writes the usage text and returns false.
bool ParseCommandLine(int argc, char **argv, RunOptions *options);

// Scans unfFile for options.recNumber, writes it when found and always
// closes unfFile. Returns the exit status.
int ScanForRecord(FILE *unfFile, const RunOptions &options);

// One step of the progress spinner on standard error.
void AdvanceSpinner();

// Write the found record to standard output: as stored (length, comma,
// bytes), or as a hex dump of 16 bytes a line.
void WriteRawRecord(int32_t length, const unsigned char *record);
void WriteHexDump(int32_t length, const unsigned char *record);

// Shared below the driver and the scanner.

// Base-10 text to a 32-bit signed integer, as strtol reads it, but never
// failing: no digits give 0, and values beyond the range give its ends.
// Reads the record number and every record's length text.
int32_t ConvertDecimal(const char *text);

// The platform's ways. One byte from a stream (or EOF) and one to standard
// output, without the stream lock, since the tool has one thread; inline
// here, as they run for every byte of a length field and a raw record.
inline int ReadByte(FILE *stream)
{
#ifdef _WIN32
    return _getc_nolock(stream);
#else
    return getc_unlocked(stream);
#endif
}

inline void WriteByte(unsigned char byte)
{
#ifdef _WIN32
    _putchar_nolock(byte);
#else
    putchar_unlocked(byte);
#endif
}

// The rest, in platform.cpp: writes to a closed pipe that fail instead of
// ending the run, and the UNF file opened for reading without translation,
// or nullptr when it can't be opened or is a directory.
void IgnoreBrokenPipe();
FILE *OpenForReading(const char *path);

#endif
