#pragma once
// The sound engine's view of the Z80 that feeds the FM chip: 8 KB of memory, a running flag and a
// T-state clock. This is a behavioural model of the driver's Z80 program (list playback and sample
// streaming at the program's costs) used until the instruction-level interpreter is wired in.

#include <array>
#include <cstdint>
#include <functional>

namespace audio {

class SoundZ80 {
 public:
  using YmHook = std::function<void(int port, std::uint8_t value, std::uint64_t time)>;

  std::array<std::uint8_t, 8192> memory{};
  bool running = false;
  std::uint64_t clock = 0;
  YmHook ym;

  // Runs from address 0 again; memory and clock unchanged.
  void reset();
  // Clears memory and state; the clock keeps its value.
  void clear();
  void write(std::uint16_t address, std::uint8_t value);
  void runUntil(std::uint64_t t);

 private:
  bool started_ = false;
  void playList(std::uint16_t at);
  std::uint16_t word(std::uint16_t at) const {
    return static_cast<std::uint16_t>(memory[at & 0x1FFF] | (memory[(at + 1) & 0x1FFF] << 8));
  }
};

}  // namespace audio
