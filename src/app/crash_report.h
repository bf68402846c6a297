#pragma once
// Crash reports: one line per crash in "errors.log" in the preference folder, also written to the log file
// and to standard error.

#include <filesystem>
#include <string>

namespace app {

// Creates the folder, keeps the path of its errors.log and installs the terminate handler and the
// fatal-signal handler (SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT). Returns false (logged) when the folder's
// path is too long to keep, in which case no errors.log line will be written.
bool installCrashHandlers(const std::filesystem::path& folder);

// Appends "<local time>  crash: <text>" to errors.log, the log file and standard error, once per process:
// the first report wins and later ones return at once. Uses only write(2)-level calls.
void reportCrash(const char* text);

// Causes a real access violation (for --crash-test); aborts should execution ever come back.
[[noreturn]] void crashOnPurpose();

// Builds the crash line's time stamp "YYYY-MM-DD HH:MM:SS" for a UTC time and an offset from UTC in
// seconds, without the C library's time functions (they are not safe inside a signal handler).
void formatCrashTime(long long unixSeconds, long utcOffsetSeconds, char (&out)[20]);

}  // namespace app
