#include "app/recording/playback.h"

#include "base/log.h"
#include "sim/pad.h"

namespace app {

std::uint8_t Playback::frontEndPad(std::int64_t front) {
  if (front != lastFront_) {
    lastFront_ = front;
    counter_ = 0;
  }
  const std::int64_t b = counter_++;
  if (front == 0) return 0;
  if (front == 1) {  // the language menu: down `language` times, then Start
    const std::int64_t e = recording_.language * 30 + 40;
    if (b >= e) return (b - e) % 60 < 3 ? sim::kPadStart : 0;
    if (b < 40) return 0;
    return (b - 40) % 30 < 3 ? sim::kPadDown : 0;
  }
  if (front == 2 && recording_.lives > 2) return b < 40 ? 0 : sim::kPadBonusLife;
  const std::int64_t m = b % 60;
  return m >= 40 && m <= 42 ? sim::kPadStart : 0;
}

void Playback::synchronise(std::int64_t lives, std::int64_t& tickCounter) {
  synced_ = true;
  tickCounter = recording_.frame_count;
  if (lives != recording_.lives)
    logMessage(kError, "--playback: the new game has %lld lives, the recording %lld", static_cast<long long>(lives),
               static_cast<long long>(recording_.lives));
}

std::uint8_t Playback::nextPad(char kind) {
  if (position_ >= recording_.ticks.size()) {
    if (quitCountdown_ == -1) quitCountdown_ = kTailFrames;
    return 0;
  }
  const RecordedTick tick = recording_.ticks[position_++];
  if (tick.kind != static_cast<std::uint8_t>(kind))
    logMessage(kError, "--playback: tick %zu is a %c in the recording, the game runs a %c", position_,
               static_cast<char>(tick.kind), kind == 0 ? '-' : kind);
  return tick.pad;
}

}  // namespace app
