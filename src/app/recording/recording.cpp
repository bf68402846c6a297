#include "app/recording/recording.h"

#include <cerrno>
#include <cinttypes>
#include <cstdlib>
#include <ctime>
#include <span>
#include <system_error>

#include "base/asset_store.h"
#include "base/log.h"

namespace app {
namespace fs = std::filesystem;
namespace {

constexpr const char* kCommentLines =
    "# Grovanta input recording (D-034): the pad of each tick of a game (S a game step, W a waiting\n"
    "# screen's frame, G a subgame's frame), a line where it changes. On the original:\n"
    "#   python tools/re/port_input.py THIS_FILE --record NAME\n";

std::string headerText(std::int64_t language, std::int64_t lives, std::int64_t frameCount) {
  char text[160];
  std::snprintf(text, sizeof text, "version 1\nlanguage %lld\nlives %lld\nframe_count %lld\n",
                static_cast<long long>(language), static_cast<long long>(lives), static_cast<long long>(frameCount));
  return std::string(kCommentLines) + text;
}

std::string tickLine(std::int64_t tick, char kind, std::uint8_t pad) {
  char text[48];
  std::snprintf(text, sizeof text, "%lld %c %02X\n", static_cast<long long>(tick), kind, pad);
  return text;
}

std::string endLine(std::int64_t tick, const std::string& reason) {
  return "end " + std::to_string(tick) + " " + reason + "\n";
}

std::optional<std::int64_t> integer(std::string_view word, int base) {
  if (word.empty() || word.size() > 40) return std::nullopt;
  std::string text(word);
  errno = 0;
  char* end = nullptr;
  const long long value = std::strtoll(text.c_str(), &end, base);
  if (errno != 0 || end == text.c_str() || *end != '\0') return std::nullopt;
  return value;
}

struct TickLine {
  std::int64_t tick = 0;
  RecordedTick value;
};

bool startsLikeTick(std::string_view line) {
  const std::size_t first = line.find_first_not_of(" \t");
  if (first == std::string_view::npos) return false;
  const char c = line[first];
  return (c >= '0' && c <= '9') || c == '-' || c == '+';
}

std::optional<TickLine> readTickLine(std::string_view line) {
  const std::vector<std::string_view> w = splitWords(line);
  if (w.size() < 3 || w[1].size() != 1) return std::nullopt;
  const std::optional<std::int64_t> tick = integer(w[0], 10);
  const std::optional<std::int64_t> pad = integer(w[2], 16);
  if (!tick || !pad) return std::nullopt;
  return TickLine{*tick, {static_cast<std::uint8_t>(w[1][0]), static_cast<std::uint8_t>(*pad & 0xFF)}};
}

InputRecording refuse(const char* format, const std::string& name, long long a = 0, long long b = 0) {
  char text[512];
  std::snprintf(text, sizeof text, format, name.c_str(), a, b);
  logMessage(kError, "%s", text);
  return {};
}

}  // namespace

std::vector<std::string_view> splitWords(std::string_view line) {
  std::vector<std::string_view> out;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    const std::size_t start = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
    if (i > start) out.push_back(line.substr(start, i - start));
  }
  return out;
}

InputRecording parseRecording(std::string_view text, const std::string& name) {
  InputRecording recording;
  std::vector<TickLine> lines;
  std::optional<std::int64_t> endTick;
  std::size_t lineNumber = 0;
  std::size_t position = 0;
  while (position < text.size()) {
    std::size_t stop = text.find('\n', position);
    if (stop == std::string_view::npos) stop = text.size();
    std::string_view line = text.substr(position, stop - position);
    position = stop + 1;
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty() || line.front() == '#') continue;
    if (startsLikeTick(line)) {
      // Departure: the console tools skipped a tick line they could not read and took tick numbers as they
      // came, so a damaged file played a different game (or asked for billions of entries). A line that begins
      // like a tick line must be one, and the ticks must count up from 1.
      const std::optional<TickLine> tick = readTickLine(line);
      if (!tick) return refuse("%s:%lld: not a tick line", name, static_cast<long long>(lineNumber));
      if (tick->tick < 1 || (!lines.empty() && tick->tick <= lines.back().tick))
        return refuse("%s:%lld: tick %lld does not follow the one before", name, static_cast<long long>(lineNumber),
                      static_cast<long long>(tick->tick));
      if (tick->tick > kMaxRecordingTicks)
        return refuse("%s: more than %lld ticks", name, static_cast<long long>(kMaxRecordingTicks));
      lines.push_back(*tick);
      continue;
    }
    const std::vector<std::string_view> w = splitWords(line);
    if (w.size() < 2 || w[0].size() > 31) continue;
    const std::optional<std::int64_t> value = integer(w[1], 10);
    if (!value) continue;
    if (w[0] == "language") {
      recording.language = *value;
    } else if (w[0] == "lives") {
      recording.lives = *value;
    } else if (w[0] == "frame_count") {
      recording.frame_count = *value;
    } else if (w[0] == "version" && *value != 1) {
      // Departure: the version line used to be ignored; a recording of another version is refused rather than
      // played as if it were ours.
      return refuse("%s: version %lld is not one this program reads", name, static_cast<long long>(*value));
    } else if (w[0] == "end") {
      endTick = *value;
      const std::size_t firstSpace = line.find(' ');
      const std::size_t secondSpace = line.find(' ', firstSpace + 1);
      recording.endReason = secondSpace == std::string_view::npos ? "?" : std::string(line.substr(secondSpace + 1));
    }
  }
  if (lines.empty()) return refuse("%s: no ticks", name);
  const std::int64_t last = endTick.value_or(lines.back().tick);
  if (last < lines.back().tick)
    return refuse("%s: the end line names tick %lld, before the last tick line", name, static_cast<long long>(last));
  if (last > kMaxRecordingTicks)
    return refuse("%s: more than %lld ticks", name, static_cast<long long>(kMaxRecordingTicks));
  const std::int64_t count = last - lines.front().tick + 1;
  recording.ticks.reserve(static_cast<std::size_t>(count));
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::int64_t until = i + 1 < lines.size() ? lines[i + 1].tick - 1 : last;
    recording.ticks.insert(recording.ticks.end(), static_cast<std::size_t>(until - lines[i].tick + 1), lines[i].value);
  }
  recording.valid = true;
  return recording;
}

InputRecording loadRecording(const fs::path& path) {
  const std::string name = path.string();
  std::error_code ec;
  if (!name.starts_with(kEmbeddedMarker)) {
    if (!fs::exists(path, ec)) {
      logMessage(kError, "no recording %s", name.c_str());
      return {};
    }
    if (fs::is_directory(path, ec)) return refuse("%s: a folder, not a recording", name);
    const std::uintmax_t size = fs::file_size(path, ec);
    if (!ec && size > kMaxRecordingBytes)
      return refuse("%s: %lld bytes is too large for a recording", name, static_cast<long long>(size));
  }
  const std::optional<std::string> text = readTextFile(path);
  if (!text) {
    logMessage(kError, "no recording %s", name.c_str());
    return {};
  }
  return parseRecording(*text, name);
}

std::string recordingText(std::int64_t language, std::int64_t lives, std::int64_t frameCount,
                          const std::vector<RecordedTick>& ticks, const std::vector<std::string>& endReasons) {
  std::string text = headerText(language, lives, frameCount);
  for (std::size_t i = 0; i < ticks.size(); ++i)
    if (i == 0 || !(ticks[i] == ticks[i - 1]))
      text += tickLine(static_cast<std::int64_t>(i + 1), static_cast<char>(ticks[i].kind), ticks[i].pad);
  for (const std::string& reason : endReasons) text += endLine(static_cast<std::int64_t>(ticks.size()), reason);
  return text;
}

bool writeRecording(const fs::path& path, std::int64_t language, std::int64_t lives, std::int64_t frameCount,
                    const std::vector<RecordedTick>& ticks, const std::vector<std::string>& endReasons) {
  // Through a temporary file, so that a full disk leaves an earlier recording of that name as it was.
  const std::string text = recordingText(language, lives, frameCount, ticks, endReasons);
  if (!replaceFile(path, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()))) {
    logMessage(kError, "could not write the input recording %s", path.string().c_str());
    return false;
  }
  return true;
}

RecordingStream::~RecordingStream() {
  if (!file_.is_open()) return;
  file_.close();
  std::error_code ec;
  fs::remove(temporary_, ec);
}

bool RecordingStream::open(const fs::path& path, std::int64_t language, std::int64_t lives, std::int64_t frameCount) {
  path_ = path;
  temporary_ = path;
  temporary_ += ".tmp";
  std::error_code ec;
  if (path.has_parent_path()) fs::create_directories(path.parent_path(), ec);
  file_.open(temporary_, std::ios::binary | std::ios::trunc);
  if (!file_.is_open()) {
    logMessage(kError, "could not write the input recording %s", path.string().c_str());
    return false;
  }
  file_ << headerText(language, lives, frameCount);
  ticks_ = 0;
  return true;
}

void RecordingStream::add(RecordedTick tick) {
  ++ticks_;
  if (ticks_ > 1 && tick == last_) return;
  last_ = tick;
  file_ << tickLine(ticks_, static_cast<char>(tick.kind), tick.pad);
}

bool RecordingStream::finish(const std::vector<std::string>& endReasons) {
  if (!file_.is_open()) return false;
  for (const std::string& reason : endReasons) file_ << endLine(ticks_, reason);
  file_.close();
  std::error_code ec;
  if (!file_.fail()) fs::rename(temporary_, path_, ec);
  if (file_.fail() || ec) {
    logMessage(kError, "cannot write %s", path_.string().c_str());
    fs::remove(temporary_, ec);
    return false;
  }
  return true;
}

fs::path recordingFileName(const fs::path& folder, const std::string& stamp) {
  // Departure: names were made to the second and the file opened with truncation, so a second game begun in
  // the same second (a takeover of the demo right after a new game) replaced the first. A taken name gets a
  // number instead.
  std::error_code ec;
  fs::path candidate = folder / ("game_" + stamp + ".txt");
  for (int n = 2; fs::exists(candidate, ec) && n < 10000; ++n)
    candidate = folder / ("game_" + stamp + "_" + std::to_string(n) + ".txt");
  return candidate;
}

InputRecorder::~InputRecorder() {
  if (file_.is_open()) end("the program closed");
}

void InputRecorder::begin(std::int64_t language, std::int64_t lives, std::int64_t frameCount, const fs::path& path) {
  if (file_.is_open()) end("a new game began");
  if (folder_.empty() && path.empty()) return;
  fs::path target = path;
  if (target.empty()) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d_%H%M%S", &local);
    target = recordingFileName(folder_, stamp);
  }
  std::error_code ec;
  if (target.has_parent_path()) fs::create_directories(target.parent_path(), ec);
  file_.open(target);
  if (!file_.is_open()) {
    logMessage(kError, "could not write the input recording %s", target.string().c_str());
    return;
  }
  file_ << headerText(language, lives, frameCount);
  file_.flush();
  path_ = target;
  ticks_ = 0;
  lastKind_ = 0;
  lastPad_ = -1;
  logMessage(kInfo, "recording the game's input: %s", target.string().c_str());
}

void InputRecorder::record(char kind, std::uint8_t pad) {
  if (!file_.is_open() || kind == 0) return;
  ++ticks_;
  if (static_cast<std::uint8_t>(kind) == lastKind_ && pad == lastPad_) return;
  lastKind_ = static_cast<std::uint8_t>(kind);
  lastPad_ = pad;
  file_ << tickLine(ticks_, kind, pad);
  file_.flush();
}

void InputRecorder::end(const std::string& reason) {
  if (!file_.is_open()) return;
  file_ << endLine(ticks_, reason);
  file_.close();
  logMessage(kInfo, "input recording ended after %lld ticks: %s", static_cast<long long>(ticks_), reason.c_str());
}

}  // namespace app
