#include "audio/sound.h"

#include <algorithm>
#include <cmath>

namespace audio {
namespace {

constexpr std::uint64_t kZ80CyclesPerFrame = 71364;     // one PAL sound frame
constexpr std::uint64_t kMasterPerChipSample = 1008;    // 144 chip clocks of 7 master cycles
constexpr std::uint64_t kMasterPerZ80Cycle = 15;
constexpr int kChipPrescale = 6;
constexpr int kChipRateBase = 7600489;
constexpr double kDcPole = 0.999;

// Round half away from zero.
long roundAway(double v) { return std::lround(v); }

}  // namespace

int Sound::routeYmWrite(std::array<std::uint8_t, 2>& latches, int port, std::uint8_t value) {
  port &= 3;
  const int half = port >> 1;
  if ((port & 1) == 0) {
    latches[half] = value;
    return 0;
  }
  const std::uint8_t r = latches[half];
  if (r >= 0x30) {
    if ((r & 3) == 3) return 3;
    if (half == 0) return 1;
    return (r & 3) == 2 ? 1 : 2;
  }
  if (half == 1) return 3;
  if (r == 0x28) {
    switch (value & 7) {
      case 4: case 5: return 2;
      case 3: case 7: return 3;
      default: return 1;
    }
  }
  if (r == 0x2A || r == 0x2B) return 1;
  return 3;
}

Sound::Sound(int rate)
    : chips_(std::make_unique<Chips>()),
      outputRate_(static_cast<double>(rate)),
      chipRate_(static_cast<double>(kChipRateBase / (24 * kChipPrescale))) {
  writeHook_ = [this](std::uint16_t address, std::uint8_t value) { z80_.memory[address & 0x1FFF] = value; };
  resetHook_ = [this]() {
    z80_.reset();
    for (auto& chip : chips_->chip) chip.reset();
    latches_.fill(0);
  };
  z80_.ym = [this](int port, std::uint8_t value, std::uint64_t) { ymWrite(port, value); };
  for (auto& chip : chips_->chip) chip.reset();
}

Sound::~Sound() = default;

bool Sound::loadDriver(std::span<const std::uint8_t> bytes) {
  if (!acceptDriverImage(bytes)) return false;
  image_.assign(bytes.begin(), bytes.end());
  ready_ = true;
  restart();
  return true;
}

void Sound::restart() {
  if (image_.empty()) return;
  memory_.fill(0);
  z80_.clear();
  for (auto& chip : chips_->chip) chip.reset();
  queue_.clear();
  loadDriverProgram(context());
}

void Sound::ymWrite(int port, std::uint8_t value) {
  const int targets = routeYmWrite(latches_, port, value);
  if (targets == 0) return;
  const std::uint8_t r = latches_[(port & 3) >> 1];
  for (int c = 0; c < 2; ++c) {
    if ((targets & (1 << c)) == 0) continue;
    chips_->chip[c].write((port & 3) - 1, r);
    chips_->chip[c].write(port & 3, value);
  }
}

void Sound::advanceChipSample() {
  const std::uint64_t now = masterClock_ / kMasterPerZ80Cycle;
  while (nextFrameTime_ <= now) {
    z80_.runUntil(nextFrameTime_);
    const DriverContext c = context();
    for (const SoundRequest& request : queue_) applyDriverRequest(c, request);
    queue_.clear();
    runDriverFrame(c);
    nextFrameTime_ += kZ80CyclesPerFrame;
    ++soundFrames_;
  }
  z80_.runUntil(now);
  for (int c = 0; c < 2; ++c) {
    std::int32_t left = 0, right = 0;
    chips_->chip[c].generate(left, right);
    previous_[c] = current_[c];
    current_[c] = {left, right};
  }
  masterClock_ += kMasterPerChipSample;
}

void Sound::render(std::int16_t* buffer, int frames, float musicVolume, float soundVolume) {
  if (!ready_ || frames <= 0 || buffer == nullptr) return;
  const double step = outputRate_ / chipRate_;
  const double volume[2] = {musicVolume, soundVolume};
  Chips& chips = *chips_;
  for (int i = 0; i < frames; ++i) {
    phase_ += 1.0;
    while (phase_ >= step) {
      phase_ -= step;
      advanceChipSample();
    }
    const double w = phase_ / step;
    for (int side = 0; side < 2; ++side) {
      double mix = 0.0;
      for (int c = 0; c < 2; ++c) {
        const double x = previous_[c][side] + w * (current_[c][side] - previous_[c][side]);
        const double y = x - chips.lastIn[c][side] + kDcPole * chips.lastOut[c][side];
        chips.lastIn[c][side] = x;
        chips.lastOut[c][side] = y;
        mix += volume[c] * y;
      }
      const long sum = roundAway(mix) + buffer[2 * i + side];
      buffer[2 * i + side] = static_cast<std::int16_t>(std::clamp<long>(sum, -32768, 32767));
    }
  }
}

}  // namespace audio
