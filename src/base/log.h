#pragma once
// The process-wide log: every line goes to standard error and, once it is open, to the log file.

#include <filesystem>
#include <string>

namespace app {

enum LogLevel : int { kInfo = 0, kWarn = 1, kError = 2 };

// printf-style; the formatted message is cut to 2047 bytes.
void logMessage(int level, const char* format, ...) __attribute__((format(printf, 2, 3)));

// Opens (or reopens) the log file; an existing file is kept as "<stem>.prev<ext>".
bool openLogFile(const std::filesystem::path& path);

// Closes the log file (the log goes on to standard error only).
void closeLogFile();

// Writes one line to the log file as it is, without time or level and without the mutex.
void logRawLine(const char* text);

// The open log file's descriptor, or -1; for the fatal-signal report, which may only use write(2).
int logFileDescriptor();

// "info", "warn" or "error" (any other level).
const char* logLevelWord(int level);

}  // namespace app
