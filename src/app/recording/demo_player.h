#pragma once
// The built-in demo: a recorded game played by itself at a chosen speed, which the player can take over at any
// moment. This class keeps the demo's recording and its progress; the play loop moves the game in and out of
// it (startDemo, takeOverDemo, leaveDemo).

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "app/recording/recording.h"

namespace app {

inline constexpr const char* kDemoFile = "assets/demo/playthrough.txt";
inline constexpr double kDemoSpeeds[5] = {0.5, 1.0, 2.0, 4.0, 8.0};
inline constexpr int kDemoNormalSpeed = 1;
// Ticks of pad 0 after the recording's last tick before the demo is left.
inline constexpr std::int32_t kDemoEndTicks = 400;

// "0.5X", "1X", "2X", ... for a speed index (clamped to the table).
std::string demoSpeedLabel(int speed);

class DemoPlayer {
 public:
  enum class Control { kNone, kTakeOver, kSpeedChanged };

  // Reads the demo from the data directory the first time; false (logged) when it has no ticks.
  bool load(const std::filesystem::path& dataDirectory);
  const InputRecording& recording() const { return recording_; }
  // Uses a recording already loaded instead of the data set's (the self-checks and the tests).
  void use(InputRecording recording) {
    recording_ = std::move(recording);
    tried_ = true;
  }

  // Watching from the first tick at normal speed; buttons held now do not count as presses.
  void begin();
  // The pad of the next tick while watching; `kind` is the tick the simulation is about to run.
  std::uint8_t nextPad(char kind);
  // Once per presented frame while watching: presses of the pad byte take over or change the speed.
  Control controls(std::uint8_t pad);
  void setSpeed(int speed);
  // No longer watching (taken over or left).
  void stop();

  bool watching() const { return watching_; }
  bool finished() const { return finished_; }
  void clearFinished() { finished_ = false; }
  std::size_t position() const { return position_; }
  int speed() const { return speed_; }
  double speedFactor() const { return watching_ ? kDemoSpeeds[speed_] : 1.0; }
  // The player's language while the demo's game runs in English; -1 when none is kept.
  std::int64_t savedLanguage = -1;

 private:
  InputRecording recording_;
  bool tried_ = false;
  bool watching_ = false;
  bool finished_ = false;
  std::size_t position_ = 0;
  std::int32_t endCountdown_ = -1;
  int speed_ = kDemoNormalSpeed;
  std::uint8_t previousPad_ = 0xFF;
};

}  // namespace app
