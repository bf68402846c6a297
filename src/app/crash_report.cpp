#include "app/crash_report.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <exception>
#include <system_error>

#include "base/log.h"

namespace app {
namespace {

// The crash state. It is filled once by installCrashHandlers, before any handler can run, and only read
// afterwards, so the handlers need no lock.
struct CrashState {
  char folder[1024] = {};
  char errorsPath[1024] = {};  // empty: no errors.log line (the path did not fit)
  long utcOffset = 0;          // the local time's offset when the handlers were installed
  std::atomic<bool> reportStarted{false};
  bool installed = false;
};

CrashState& crashState() {
  static CrashState state;
  return state;
}

constexpr int kFatalSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};

// A small append-only buffer for building lines without the heap.
struct LineBuffer {
  char text[640];
  std::size_t size = 0;

  void add(const char* s) {
    while (*s && size + 1 < sizeof text) text[size++] = *s++;
    text[size] = '\0';
  }
  void addHex(std::uintptr_t value) {
    char digits[2 + sizeof value * 2 + 1];
    int n = 0;
    do {
      digits[n++] = "0123456789abcdef"[value & 15];
      value >>= 4;
    } while (value);
    add("0x");
    while (n > 0) {
      char c[2] = {digits[--n], '\0'};
      add(c);
    }
  }
};

void writeAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    ssize_t written = ::write(fd, data, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      return;
    }
    data += written;
    size -= static_cast<std::size_t>(written);
  }
}

void twoDigits(char* out, int value) {
  out[0] = static_cast<char>('0' + value / 10 % 10);
  out[1] = static_cast<char>('0' + value % 10);
}

const char* signalName(int signal) {
  switch (signal) {
    case SIGSEGV:
      return "SIGSEGV (invalid memory access)";
    case SIGBUS:
      return "SIGBUS (bus error)";
    case SIGFPE:
      return "SIGFPE (arithmetic fault)";
    case SIGILL:
      return "SIGILL (illegal instruction)";
    case SIGABRT:
      return "SIGABRT (abort)";
    default:
      return "an unexpected signal";
  }
}

// Lets the process end the way the signal would have ended it without us: the default action, re-raised.
// Returning from a hardware fault would re-run the faulting instruction, so the signal is raised here.
void dieWith(int signal) {
  struct sigaction action {};
  action.sa_handler = SIG_DFL;
  sigemptyset(&action.sa_mask);
  sigaction(signal, &action, nullptr);
  sigset_t unblock;
  sigemptyset(&unblock);
  sigaddset(&unblock, signal);
  sigprocmask(SIG_UNBLOCK, &unblock, nullptr);
  raise(signal);
}

void onFatalSignal(int signal, siginfo_t* info, void*) {
  const int savedErrno = errno;
  LineBuffer text;
  text.add("signal ");
  text.add(signalName(signal));
  text.add(" at ");
  text.addHex(reinterpret_cast<std::uintptr_t>(info ? info->si_addr : nullptr));
  reportCrash(text.text);
  errno = savedErrno;
  dieWith(signal);
}

void onTerminate() {
  // No minidump on this platform: the errors.log line is the whole report.
  char text[300];
  std::strcpy(text, "std::terminate");
  if (std::exception_ptr current = std::current_exception()) {
    try {
      std::rethrow_exception(current);
    } catch (const std::exception& error) {
      std::snprintf(text, sizeof text, "std::terminate (%s)", error.what());
    } catch (...) {
      std::snprintf(text, sizeof text, "std::terminate (an unknown exception)");
    }
  }
  reportCrash(text);
  std::abort();
}

// Stack overflows are reported too: the handler runs on its own stack.
void installAlternateStack() {
  static char stack[64 * 1024];
  stack_t alternate{};
  alternate.ss_sp = stack;
  alternate.ss_size = sizeof stack;
  sigaltstack(&alternate, nullptr);
}

}  // namespace

void formatCrashTime(long long unixSeconds, long utcOffsetSeconds, char (&out)[20]) {
  long long local = unixSeconds + utcOffsetSeconds;
  long long days = local / 86400;
  long long secondsOfDay = local % 86400;
  if (secondsOfDay < 0) {
    secondsOfDay += 86400;
    --days;
  }
  // Civil date from days since 1970-01-01 (proleptic Gregorian calendar).
  days += 719468;
  const long long era = (days >= 0 ? days : days - 146096) / 146097;
  const long long dayOfEra = days - era * 146097;
  const long long yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const long long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const long long monthIndex = (5 * dayOfYear + 2) / 153;
  const int day = static_cast<int>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
  const int month = static_cast<int>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
  const long long year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);

  const int y = static_cast<int>(year % 10000);
  out[0] = static_cast<char>('0' + y / 1000);
  out[1] = static_cast<char>('0' + y / 100 % 10);
  twoDigits(out + 2, y % 100);
  out[4] = '-';
  twoDigits(out + 5, month);
  out[7] = '-';
  twoDigits(out + 8, day);
  out[10] = ' ';
  twoDigits(out + 11, static_cast<int>(secondsOfDay / 3600));
  out[13] = ':';
  twoDigits(out + 14, static_cast<int>(secondsOfDay / 60 % 60));
  out[16] = ':';
  twoDigits(out + 17, static_cast<int>(secondsOfDay % 60));
  out[19] = '\0';
}

bool installCrashHandlers(const std::filesystem::path& folder) {
  CrashState& state = crashState();
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);

  const std::string folderText = folder.string();
  const std::string errorsText = (folder / "errors.log").string();
  std::strncpy(state.folder, folderText.c_str(), sizeof state.folder - 1);
  // A cut path would name some other file, so a path that does not fit leaves errors.log out.
  bool fits = errorsText.size() < sizeof state.errorsPath;
  state.errorsPath[0] = '\0';
  if (fits) {
    std::memcpy(state.errorsPath, errorsText.c_str(), errorsText.size() + 1);
  } else {
    logMessage(kError, "the crash report path is too long: %s", errorsText.c_str());
  }

  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  state.utcOffset = local.tm_gmtoff;

  logFileDescriptor();  // sets up the log's state now, so the signal handler only reads it

  std::set_terminate(onTerminate);
  installAlternateStack();
  for (int signal : kFatalSignals) {
    struct sigaction action {};
    action.sa_sigaction = onFatalSignal;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    sigemptyset(&action.sa_mask);
    sigaction(signal, &action, nullptr);
  }
  state.installed = true;
  return fits;
}

void reportCrash(const char* text) {
  CrashState& state = crashState();
  if (state.reportStarted.exchange(true)) return;  // the first fault wins

  struct timespec now {};
  clock_gettime(CLOCK_REALTIME, &now);
  char stamp[20];
  formatCrashTime(now.tv_sec, state.utcOffset, stamp);

  LineBuffer line;
  line.add(stamp);
  line.add("  crash: ");
  line.add(text);
  line.add("\n");

  if (state.errorsPath[0]) {
    int fd = ::open(state.errorsPath, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd >= 0) {
      writeAll(fd, line.text, line.size);
      ::close(fd);
    }
  }
  // The log file is written directly, without its mutex: the crashing thread may hold it.
  int logFd = logFileDescriptor();
  if (logFd >= 0) writeAll(logFd, line.text, line.size);
  writeAll(STDERR_FILENO, line.text, line.size);
}

void crashOnPurpose() {
  // A write through a null pointer held in a volatile, so the compiler cannot see through it.
  static int* volatile target = nullptr;
  *target = 1;
  std::abort();
}

}  // namespace app
