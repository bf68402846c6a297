#pragma once
// Input recordings: a game written as the pad byte of each of its ticks, one line where the tick kind or the
// pad changes. InputRecorder writes them while a game is played; loadRecording reads one back, expanded to one
// (kind, pad) pair per tick.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace app {

// The words of a line split at spaces and tabs (the recordings' and the routes' text forms).
std::vector<std::string_view> splitWords(std::string_view line);

struct RecordedTick {
  std::uint8_t kind = 'S';  // 'S' a game step, 'W' a waiting screen's frame, 'G' a subgame's frame
  std::uint8_t pad = 0;
  bool operator==(const RecordedTick&) const = default;
};

struct InputRecording {
  std::int64_t language = 0;
  std::int64_t lives = 2;
  std::int64_t frame_count = 0;
  std::vector<RecordedTick> ticks;
  std::string endReason;
  bool valid = false;
};

// The most ticks a recording may expand to (about 56 hours of play) and the largest file read.
inline constexpr std::int64_t kMaxRecordingTicks = 10'000'000;
inline constexpr std::uintmax_t kMaxRecordingBytes = 64u << 20;

// Reads a recording (LF or CR LF lines). On failure logs one line and returns one with `valid` false.
InputRecording loadRecording(const std::filesystem::path& path);
// The same from text already read; `name` is used in the messages.
InputRecording parseRecording(std::string_view text, const std::string& name);

// The file's text for a whole game at once (the autopilot and the bot): header, tick lines and one end line
// per reason, all naming the last tick.
std::string recordingText(std::int64_t language, std::int64_t lives, std::int64_t frameCount,
                          const std::vector<RecordedTick>& ticks, const std::vector<std::string>& endReasons);
// Writes recordingText to the path (its folder is created); false, logged, when it cannot be written.
bool writeRecording(const std::filesystem::path& path, std::int64_t language, std::int64_t lives,
                    std::int64_t frameCount, const std::vector<RecordedTick>& ticks,
                    const std::vector<std::string>& endReasons);

// A recording written while the game is played, for runs too long to keep every tick (the bot): the same
// text as recordingText, into "<path>.tmp" beside the path, which it replaces once finished (a failed write
// leaves an earlier recording of that name as it was).
class RecordingStream {
 public:
  RecordingStream() = default;
  ~RecordingStream();
  RecordingStream(const RecordingStream&) = delete;
  RecordingStream& operator=(const RecordingStream&) = delete;

  // False, logged, when the temporary file cannot be made.
  bool open(const std::filesystem::path& path, std::int64_t language, std::int64_t lives, std::int64_t frameCount);
  void add(RecordedTick tick);
  // The end lines, then the file in place; false, logged, when any write failed.
  bool finish(const std::vector<std::string>& endReasons);

 private:
  std::filesystem::path path_;
  std::filesystem::path temporary_;
  std::ofstream file_;
  std::int64_t ticks_ = 0;
  RecordedTick last_;
};

class InputRecorder {
 public:
  InputRecorder() = default;
  // folder: where games are recorded ("recordings" of the preference folder); empty = only given paths.
  explicit InputRecorder(std::filesystem::path folder) : folder_(std::move(folder)) {}
  ~InputRecorder();
  InputRecorder(const InputRecorder&) = delete;
  InputRecorder& operator=(const InputRecorder&) = delete;

  // Ends an open recording with "a new game began" and starts a new file: `path` when given, else a name from
  // the local time in the folder.
  void begin(std::int64_t language, std::int64_t lives, std::int64_t frameCount,
             const std::filesystem::path& path = {});
  void record(char kind, std::uint8_t pad);
  void end(const std::string& reason);

  // Where games are recorded from now on (an open recording goes on where it is).
  void setFolder(std::filesystem::path folder) { folder_ = std::move(folder); }
  bool recording() const { return file_.is_open(); }
  std::int64_t ticks() const { return ticks_; }
  const std::filesystem::path& currentPath() const { return path_; }
  const std::filesystem::path& folder() const { return folder_; }

 private:
  std::filesystem::path folder_;
  std::ofstream file_;
  std::filesystem::path path_;
  std::int64_t ticks_ = 0;
  std::uint8_t lastKind_ = 0;
  std::int32_t lastPad_ = -1;
};

// The name a new recording gets in `folder` for the local time: "game_%Y%m%d_%H%M%S.txt", or with "_2", "_3", ...
// before the extension when that file already exists.
std::filesystem::path recordingFileName(const std::filesystem::path& folder, const std::string& stamp);

}  // namespace app
