#pragma once
// Driving a game from a recording (--playback): the front end is walked through without a player until the new
// game begins, then each tick takes the next recorded pad. When the recording is used up the pad is 0 and a
// countdown of presented frames ends the program.

#include <cstdint>

#include "app/recording/recording.h"

namespace app {

class Playback {
 public:
  explicit Playback(InputRecording recording) : recording_(std::move(recording)) {}

  // The pad for a tick while the front end runs (before the new game), from its state `front`.
  std::uint8_t frontEndPad(std::int64_t front);
  // The pad for a game tick; `kind` is the tick kind the simulation is about to run.
  std::uint8_t nextPad(char kind);
  // The new game began: the tick counter takes the recording's frame count; `lives` is the game's.
  void synchronise(std::int64_t lives, std::int64_t& tickCounter);

  bool synced() const { return synced_; }
  std::size_t position() const { return position_; }
  // -1 while ticks remain; then the presented frames left before the program ends.
  std::int32_t& quitCountdown() { return quitCountdown_; }
  const InputRecording& recording() const { return recording_; }

  static constexpr std::int32_t kTailFrames = 100;

 private:
  InputRecording recording_;
  bool synced_ = false;
  std::size_t position_ = 0;
  std::int32_t quitCountdown_ = -1;
  std::int64_t lastFront_ = -1;
  std::int64_t counter_ = 0;
};

}  // namespace app
