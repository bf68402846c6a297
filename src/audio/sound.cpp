#include "audio/sound.h"

#include <algorithm>
#include <limits>

namespace audio {
namespace {

constexpr std::uint64_t kZ80CyclesPerFrame = 71364;   // one PAL sound frame
constexpr std::uint64_t kMasterPerChipSample = 1008;  // 144 chip clocks of 7 master cycles
constexpr std::uint64_t kMasterPerZ80Cycle = 15;
constexpr int kChipPrescale = 6;
constexpr int kChipRateBase = 7600489;
constexpr double kDcPole = 0.999;
// What an idle chip puts out on each side: every channel slot's ladder offset. The DC filters and the
// interpolation start from it, as if the chips had been sitting idle all along; starting them from 0
// turned the chips' first samples into a 70 ms thump at the start of every render.
constexpr double kIdleChipLevel = 504.0;

// Round half away from zero, as lround does, without the library call: the whole part truncated
// toward zero, then the fraction (exact for any double) decides. Sums far beyond 16 bits saturate,
// NaN goes to the negative end as lround's does.
inline long roundAway(double v) {
  if (!(v > -2147483648.0)) return -2147483648L;
  if (v > 2147483647.0) return 2147483647L;
  const long whole = static_cast<long>(v);
  const double fraction = v - static_cast<double>(whole);
  return whole + (fraction >= 0.5 ? 1 : 0) - (fraction <= -0.5 ? 1 : 0);
}

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
      case 4:
      case 5:
        return 2;
      case 3:
      case 7:
        return 3;
      default:
        return 1;
    }
  }
  if (r == 0x2A || r == 0x2B) return 1;
  return 3;
}

Sound::Sound(int rate)
    : driver_([this](std::uint16_t address, std::uint8_t value) { z80_.poke(address, value); },
              [this]() { resetHardware(); }),
      z80_([this](int port, std::uint8_t value, std::int64_t) {
        pending_.push_back({z80_.clock(), port, value});
      }),
      chips_(std::make_unique<Chips>()),
      outputRate_(static_cast<std::uint64_t>(rate > 0 ? rate : 1)),
      chipRateUnits_(kChipRateBase / (24 * kChipPrescale)),
      chipRate_(static_cast<double>(chipRateUnits_)) {
  for (auto& chip : chips_->chip) chip.reset();
  for (auto& side : chips_->lastIn) side.fill(kIdleChipLevel);
  for (auto* frame : {&previous_, &current_})
    for (auto& side : *frame) side.fill(static_cast<std::int32_t>(kIdleChipLevel));
  pending_.reserve(4096);
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
  // The Z80 ran ahead of the chips; its clock goes back to where it stood after the last chip
  // sample, found by replaying from the last sound frame without the hook. The held-back writes of
  // instructions that had not begun by then are dropped: for the chips they never happened.
  if (hasCheckpoint_) {
    Z80 replay = checkpoint_;
    replay.setYmHook({});
    replay.runUntil(static_cast<std::int64_t>(lastNow_));
    z80_.setClock(replay.clock());
  }
  pending_.clear();
  pendingNext_ = 0;
  driver_.clearMemory();
  z80_.clear();
  for (auto& chip : chips_->chip) chip.reset();
  queue_.clear();
  driver_.loadProgram();
  runZ80Ahead();
}

void Sound::runZ80Ahead() {
  checkpoint_ = z80_;
  hasCheckpoint_ = true;
  z80_.runUntil(static_cast<std::int64_t>(nextFrameTime_));
}

void Sound::applyZ80Writes(std::int64_t before) {
  while (pendingNext_ < pending_.size() && pending_[pendingNext_].start < before) {
    const PendingWrite& w = pending_[pendingNext_++];
    ymWrite(w.port, w.value);
  }
  if (pendingNext_ == pending_.size()) {
    pending_.clear();
    pendingNext_ = 0;
  }
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

// The sound frames due by Z80 time `now`: the Z80 runs up to each frame's start, then the queued
// requests reach the driver and the driver runs one frame.
void Sound::runSoundFrames(std::uint64_t now) {
  while (nextFrameTime_ <= now) {
    const auto frameStart = static_cast<std::int64_t>(nextFrameTime_);
    z80_.runUntil(frameStart);
    applyZ80Writes(std::numeric_limits<std::int64_t>::max());
    for (const SoundRequest& request : queue_) driver_.applyRequest(request.kind, request.value);
    queue_.clear();
    driver_.runFrame();
    nextFrameTime_ += kZ80CyclesPerFrame;
    ++soundFrames_;
    runZ80Ahead();
  }
}

void Sound::advanceChipSample(ChipFrame& out) {
  const std::uint64_t now = masterClock_ / kMasterPerZ80Cycle;
  if (nextFrameTime_ <= now) runSoundFrames(now);
  // The Z80 has run up to the next sound frame already: the writes of the instructions that began
  // before now reach the chips, as if it had run up to now.
  applyZ80Writes(static_cast<std::int64_t>(now));
  lastNow_ = now;
  for (int c = 0; c < 2; ++c) chips_->chip[c].generate(out[c]);
  masterClock_ += kMasterPerChipSample;
}

void Sound::render(std::int16_t* buffer, int frames, float musicVolume, float soundVolume) {
  if (!ready_ || frames <= 0 || buffer == nullptr) return;
  const double volume[2] = {musicVolume, soundVolume};
  // Done in chunks of two passes: first the console advances, its chip samples going into a ring
  // and each output sample noting its phase and the ring entry of its current chip sample; then
  // the interpolation, the DC filters and the mix run over the chunk in one tight loop, where the
  // samples' arithmetic can overlap. A chunk holds as many output samples as its chip samples
  // fit the ring without wrapping (at least one: at very low output rates the ring wraps within
  // that one, which only needs the last two).
  constexpr std::uint32_t kRing = 512;
  constexpr int kChunk = 256;
  const std::uint64_t perOutput = (chipRateUnits_ + outputRate_ - 1) / outputRate_;
  const int chunk = static_cast<int>(std::clamp<std::uint64_t>((kRing - 2) / perOutput, 1, kChunk));
  std::array<ChipFrame, kRing> ring;
  struct Point {
    std::uint64_t phase;
    std::uint32_t index;  // ring entry of the current chip sample; the previous one sits before it
  };
  std::array<Point, kChunk> points;
  // The DC filters' memories stay in locals for the whole call.
  auto lastIn = chips_->lastIn;
  auto lastOut = chips_->lastOut;
  const double rate = static_cast<double>(outputRate_);
  for (int done = 0; done < frames; done += chunk) {
    const int n = std::min(chunk, frames - done);
    std::uint32_t k = 1;
    ring[0] = previous_;
    ring[1] = current_;
    for (int i = 0; i < n; ++i) {
      // One output sample is chipRate units of phase, one chip sample outputRate units: the phase
      // in output samples is phase_ / chipRate, and the step T = outputRate / chipRate. Integers
      // keep 48000 output samples at exactly 52781 chip samples, with no drift over long runs.
      phase_ += chipRateUnits_;
      while (phase_ >= outputRate_) {
        phase_ -= outputRate_;
        ++k;
        advanceChipSample(ring[k & (kRing - 1)]);
      }
      points[i] = {phase_, k};
    }
    previous_ = ring[(k - 1) & (kRing - 1)];
    current_ = ring[k & (kRing - 1)];

    std::int16_t* out = buffer + 2 * done;
    for (int i = 0; i < n; ++i) {
      const double w = static_cast<double>(points[i].phase) / rate;
      const ChipFrame& cur = ring[points[i].index & (kRing - 1)];
      const ChipFrame& prev = ring[(points[i].index - 1) & (kRing - 1)];
      for (int side = 0; side < 2; ++side) {
        double mix = 0.0;
        for (int c = 0; c < 2; ++c) {
          const double x = prev[c][side] + w * (cur[c][side] - prev[c][side]);
          const double y = x - lastIn[c][side] + kDcPole * lastOut[c][side];
          lastIn[c][side] = x;
          lastOut[c][side] = y;
          mix += volume[c] * y;
        }
        const long sum = roundAway(mix) + out[2 * i + side];
        out[2 * i + side] = static_cast<std::int16_t>(std::clamp<long>(sum, -32768, 32767));
      }
    }
  }
  chips_->lastIn = lastIn;
  chips_->lastOut = lastOut;
}

}  // namespace audio
