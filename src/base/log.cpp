#include "base/log.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <ctime>
#include <mutex>
#include <system_error>

namespace app {
namespace {

// The log is the one piece of process-wide state the program keeps.
struct LogState {
  std::mutex mutex;
  std::FILE* file = nullptr;
  std::atomic<int> descriptor{-1};  // the file's descriptor, for writers that cannot use stdio
};

LogState& logState() {
  static LogState state;
  return state;
}

}  // namespace

const char* logLevelWord(int level) {
  switch (level) {
    case kInfo:
      return "info";
    case kWarn:
      return "warn";
    default:
      return "error";
  }
}

void logMessage(int level, const char* format, ...) {
  char message[2048];
  va_list args;
  va_start(args, format);
  std::vsnprintf(message, sizeof message, format, args);
  va_end(args);

  LogState& state = logState();
  std::lock_guard<std::mutex> lock(state.mutex);
  std::fprintf(stderr, "[%s] %s\n", logLevelWord(level), message);
  if (state.file) {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &local);
    std::fprintf(state.file, "%s [%s] %s\n", stamp, logLevelWord(level), message);
    std::fflush(state.file);
  }
}

bool openLogFile(const std::filesystem::path& path) {
  namespace fs = std::filesystem;
  std::error_code ec;
  if (path.has_parent_path()) fs::create_directories(path.parent_path(), ec);
  if (fs::exists(path, ec)) {
    fs::path previous = path.parent_path() / (path.stem().string() + ".prev" + path.extension().string());
    fs::rename(path, previous, ec);
  }
  std::FILE* file = std::fopen(path.string().c_str(), "w");
  if (!file) {
    std::fprintf(stderr, "[error] could not write the log file %s\n", path.string().c_str());
    return false;
  }
  LogState& state = logState();
  std::lock_guard<std::mutex> lock(state.mutex);
  if (state.file) std::fclose(state.file);
  state.file = file;
  state.descriptor = fileno(file);
  return true;
}

void closeLogFile() {
  LogState& state = logState();
  std::lock_guard<std::mutex> lock(state.mutex);
  state.descriptor = -1;
  if (state.file) std::fclose(state.file);
  state.file = nullptr;
}

void logRawLine(const char* text) {
  // Called from the crash report, possibly while another thread holds the mutex.
  std::FILE* file = logState().file;
  if (!file) return;
  std::fputs(text, file);
  std::fputc('\n', file);
  std::fflush(file);
}

int logFileDescriptor() {
  return logState().descriptor.load();
}

}  // namespace app
