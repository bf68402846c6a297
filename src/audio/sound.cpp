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
    : driver_([this](std::uint16_t address, std::uint8_t value) { z80_.poke(address, value); },
              [this]() { resetHardware(); }),
      z80_([this](int port, std::uint8_t value, std::int64_t) { ymWrite(port, value); }),
      chips_(std::make_unique<Chips>()),
      outputRate_(static_cast<std::uint64_t>(rate > 0 ? rate : 1)),
      chipRateUnits_(kChipRateBase / (24 * kChipPrescale)),
      chipRate_(static_cast<double>(chipRateUnits_)) {
  for (auto& chip : chips_->chip) chip.reset();
}

void Sound::resetHardware() {
  z80_.reset();
  for (auto& chip : chips_->chip) chip.reset();
  latches_.fill(0);
}

Sound::~Sound() = default;

bool Sound::loadDriver(std::span<const std::uint8_t> bytes) {
  if (!driver_.setImage(bytes)) return false;
  ready_ = true;
  restart();
  return true;
}

void Sound::restart() {
  if (!driver_.hasImage()) return;
  driver_.clearMemory();
  z80_.clear();
  for (auto& chip : chips_->chip) chip.reset();
  queue_.clear();
  driver_.loadProgram();
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
    z80_.runUntil(static_cast<std::int64_t>(nextFrameTime_));
    for (const SoundRequest& request : queue_) driver_.applyRequest(request.kind, request.value);
    queue_.clear();
    driver_.runFrame();
    nextFrameTime_ += kZ80CyclesPerFrame;
    ++soundFrames_;
  }
  z80_.runUntil(static_cast<std::int64_t>(now));
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
  const double volume[2] = {musicVolume, soundVolume};
  Chips& chips = *chips_;
  for (int i = 0; i < frames; ++i) {
    // One output sample is chipRate units of phase, one chip sample outputRate units: the phase in
    // output samples is phase_ / chipRate, and the step T = outputRate / chipRate. Integers keep
    // 48000 output samples at exactly 52781 chip samples, with no drift over long runs.
    phase_ += chipRateUnits_;
    while (phase_ >= outputRate_) {
      phase_ -= outputRate_;
      advanceChipSample();
    }
    const double w = static_cast<double>(phase_) / static_cast<double>(outputRate_);
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
