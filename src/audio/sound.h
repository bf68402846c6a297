#pragma once
// The audio engine: the game's sound requests in, a stereo 16-bit stream at the output rate out.
// It models the console's sound hardware as the game used it: the ported sequencer building FM
// register lists once per sound frame, the Z80 handing them to the chip and streaming drum samples
// into its DAC, and two YM2612s (music on chip 0, effects on chip 1), all timed by the console's
// master clock and resampled to the output rate.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <vector>

#include "audio/sound_chip.h"
#include "audio/sound_driver_link.h"
#include "audio/sound_z80.h"

namespace audio {

class Sound {
 public:
  struct Chips {
    using Chip = FmChip;
    std::array<Chip, 2> chip;
    // DC filter state per chip and side: last input and last output.
    std::array<std::array<double, 2>, 2> lastIn{};
    std::array<std::array<double, 2>, 2> lastOut{};
  };

  // Which chips a write on an odd port reaches: bit 0 chip 0, bit 1 chip 1. Even ports only latch
  // the register number and reach no chip (0).
  static int routeYmWrite(std::array<std::uint8_t, 2>& latches, int port, std::uint8_t value);

  explicit Sound(int rate);
  ~Sound();
  Sound(const Sound&) = delete;
  Sound& operator=(const Sound&) = delete;

  bool loadDriver(std::span<const std::uint8_t> bytes);
  void restart();

  void queueMusic(std::uint32_t n) { queue_.push_back({0, n}); }
  void queueEffect(std::uint32_t n) { queue_.push_back({1, n}); }
  void queuePause() { queue_.push_back({2, 0}); }
  void queueResume() { queue_.push_back({3, 0}); }

  // Adds `frames` stereo frames (left, right interleaved) into the buffer, clamped to 16 bits.
  void render(std::int16_t* buffer, int frames, float musicVolume, float soundVolume);

  bool ready() const { return ready_; }
  double chipRate() const { return chipRate_; }
  std::uint64_t masterClock() const { return masterClock_; }
  std::uint64_t soundFrames() const { return soundFrames_; }
  const std::array<std::uint8_t, kDriverMemorySize>& driverMemory() const { return memory_; }
  const SoundZ80& z80() const { return z80_; }
  const Chips& chips() const { return *chips_; }

 private:
  void ymWrite(int port, std::uint8_t value);
  void advanceChipSample();
  DriverContext context() { return DriverContext{image_, memory_, writeHook_, resetHook_}; }

  std::function<void(std::uint16_t, std::uint8_t)> writeHook_;
  std::function<void()> resetHook_;
  std::array<std::uint8_t, kDriverMemorySize> memory_{};
  SoundZ80 z80_;
  std::unique_ptr<Chips> chips_;
  std::vector<std::uint8_t> image_;
  bool ready_ = false;
  std::vector<SoundRequest> queue_;
  double outputRate_;
  std::uint64_t nextFrameTime_ = 0;
  double phase_ = 0.0;
  std::uint64_t masterClock_ = 0;
  double chipRate_;
  std::array<std::array<std::int32_t, 2>, 2> previous_{};
  std::array<std::array<std::int32_t, 2>, 2> current_{};
  std::array<std::uint8_t, 2> latches_{};
  std::uint64_t soundFrames_ = 0;
};

}  // namespace audio
