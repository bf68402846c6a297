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

#include "audio/driver/sound_driver.h"
#include "audio/sound_request.h"
#include "audio/ym2612/ym2612.h"
#include "audio/z80/z80.h"

namespace audio {

class Sound {
 public:
  struct Chips {
    // One emulated YM2612: ports 0-3, one stereo sample at a time; timers and interrupts unused.
    class Chip {
     public:
      void reset() { model_.reset(); }
      void write(int offset, std::uint8_t data) { model_.write(static_cast<std::uint32_t>(offset), data); }
      // One sample into out: left, right.
      void generate(std::array<std::int32_t, 2>& out) { model_.generate(out.data(), 1); }

     private:
      Ym2612 model_;
    };
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
  bool definesEffect(std::uint32_t n) const { return driver_.definesEffect(n); }
  double chipRate() const { return chipRate_; }
  std::uint64_t masterClock() const { return masterClock_; }
  std::uint64_t soundFrames() const { return soundFrames_; }
  const std::array<std::uint8_t, SoundDriver::kMemorySize>& driverMemory() const { return driver_.memory(); }
  // The Z80 as it stands: ahead of the chips, at the start of the next sound frame.
  const Z80& z80() const { return z80_; }
  const Chips& chips() const { return *chips_; }

 private:
  // One chip sample of both chips: [chip][side].
  using ChipFrame = std::array<std::array<std::int32_t, 2>, 2>;

  void ymWrite(int port, std::uint8_t value);
  // Runs the Z80 up to the next sound frame, its YM writes held back in `pending_`, after noting
  // where it started from.
  void runZ80Ahead();
  // Hands the held-back writes of instructions that began before Z80 time `before` to the chips.
  void applyZ80Writes(std::int64_t before);
  void advanceChipSample(ChipFrame& out);
  void runSoundFrames(std::uint64_t now);
  void resetHardware();

  // The driver's memory, its image and the two hooks live in the ported sequencer.
  SoundDriver driver_;
  // The Z80 runs ahead, a sound frame at a time (nothing reaches it between frames but its own
  // program), which keeps it out of the per-sample path; its YM writes wait in `pending_` with the
  // time their instruction began and reach the chips at the chip sample that would have seen them.
  // `checkpoint_` is the Z80 as it stood at the last frame, for putting its clock back on a restart.
  Z80 z80_;
  struct PendingWrite {
    std::int64_t start;
    int port;
    std::uint8_t value;
  };
  std::vector<PendingWrite> pending_;
  std::size_t pendingNext_ = 0;
  Z80 checkpoint_;
  bool hasCheckpoint_ = false;
  std::uint64_t lastNow_ = 0;  // Z80 time of the last chip sample
  std::unique_ptr<Chips> chips_;
  bool ready_ = false;
  std::vector<SoundRequest> queue_;
  std::uint64_t outputRate_;
  std::uint64_t nextFrameTime_ = 0;
  // The resampler's phase, kept exactly: in units of 1/chip rate of an output sample, so that one
  // chip sample is `outputRate_` units and one output sample `chipRate_` units.
  std::uint64_t phase_ = 0;
  std::uint64_t masterClock_ = 0;
  std::uint64_t chipRateUnits_;
  double chipRate_;
  ChipFrame previous_{};
  ChipFrame current_{};
  std::array<std::uint8_t, 2> latches_{};
  std::uint64_t soundFrames_ = 0;
};

}  // namespace audio
