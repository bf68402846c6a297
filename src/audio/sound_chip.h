#pragma once
// One emulated YM2612 as the sound engine drives it: reset, register writes through the address and
// data ports, and one stereo sample at a time. Timers, busy time and interrupts are not modelled.
//
// Until the full FM model is wired in, the chip keeps the register file and sounds only its DAC
// (registers 0x2A/0x2B), which is enough for the engine's timing, routing and mixing to run.

#include <array>
#include <cstdint>

namespace audio {

class FmChip {
 public:
  FmChip() { reset(); }

  void reset();
  // offset 0/2: address port of the low/high half; 1/3: its data port.
  void write(int offset, std::uint8_t data);
  // One output sample at the chip rate.
  void generate(std::int32_t& left, std::int32_t& right);

  // The register file as last written (index = half * 256 + register); for inspection.
  std::uint8_t reg(int half, int r) const { return regs_[(half & 1) * 256 + (r & 0xFF)]; }
  std::uint64_t writeCount() const { return writes_; }

 private:
  std::array<std::uint8_t, 512> regs_{};
  std::array<std::uint8_t, 2> address_{};
  std::uint64_t writes_ = 0;
};

}  // namespace audio
