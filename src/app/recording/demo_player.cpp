#include "app/recording/demo_player.h"

#include <algorithm>

#include "base/log.h"
#include "sim/pad.h"

namespace app {

std::string demoSpeedLabel(int speed) {
  const double factor = kDemoSpeeds[std::clamp(speed, 0, 4)];
  char text[16];
  if (factor < 1.0)
    std::snprintf(text, sizeof text, "%.1fX", factor);
  else
    std::snprintf(text, sizeof text, "%dX", static_cast<int>(factor));
  return text;
}

bool DemoPlayer::load(const std::filesystem::path& dataDirectory) {
  const std::filesystem::path file = dataDirectory / kDemoFile;
  if (!tried_) {
    tried_ = true;
    recording_ = loadRecording(file);
  }
  if (!recording_.valid || recording_.ticks.empty()) {
    logMessage(kError, "watch demo: no recording at %s", file.string().c_str());
    return false;
  }
  return true;
}

void DemoPlayer::begin() {
  watching_ = true;
  finished_ = false;
  position_ = 0;
  endCountdown_ = -1;
  speed_ = kDemoNormalSpeed;
  previousPad_ = 0xFF;
}

std::uint8_t DemoPlayer::nextPad(char kind) {
  if (position_ < recording_.ticks.size()) {
    const RecordedTick tick = recording_.ticks[position_++];
    if (tick.kind != static_cast<std::uint8_t>(kind))
      logMessage(kError, "watch demo: tick %zu is a %c in the recording, the game runs a %c", position_,
                 static_cast<char>(tick.kind), kind == 0 ? '-' : kind);
    return tick.pad;
  }
  if (endCountdown_ < 0) {
    endCountdown_ = kDemoEndTicks;
  } else if (--endCountdown_ == 0) {
    finished_ = true;
  }
  return 0;
}

DemoPlayer::Control DemoPlayer::controls(std::uint8_t pad) {
  const std::uint8_t presses = pad & static_cast<std::uint8_t>(~previousPad_);
  previousPad_ = pad;
  if (presses & sim::kPadStart) return Control::kTakeOver;
  if (presses & sim::kPadRight) {
    setSpeed(speed_ + 1);
    return Control::kSpeedChanged;
  }
  if (presses & sim::kPadLeft) {
    setSpeed(speed_ - 1);
    return Control::kSpeedChanged;
  }
  return Control::kNone;
}

void DemoPlayer::setSpeed(int speed) {
  speed_ = std::clamp(speed, 0, 4);
}

void DemoPlayer::stop() {
  watching_ = false;
  endCountdown_ = -1;
}

}  // namespace app
