#pragma once
// Our model of the YM2612 FM sound chip (the variant whose DAC stage has the
// output discontinuity): six channels of four operators, LFO, channel-3
// special mode, the DAC on channel 6, panning and the 9-bit channel output.
//
// The chip is driven exactly like the hardware: bytes written to four ports
// (0 = address of bank 0, 1 = data of bank 0, 2 = address of bank 1,
// 3 = data of bank 1), and one stereo sample produced per 144 chip clocks.
// Writes take effect on the next generated sample.

#include <cstddef>
#include <cstdint>

#include "audio/ym2612/state.h"
#include "audio/ym2612/tables.h"

namespace audio {

class Ym2612 {
 public:
  // The console's FM clock and the chip's output rate: 24 operator slots of
  // 6 clocks each make one sample.
  static constexpr std::uint32_t kClock = 7600489;
  static constexpr std::uint32_t kClocksPerSample = 144;
  static constexpr std::uint32_t kSampleRate = kClock / kClocksPerSample;  // 52781

  Ym2612();

  // Returns the registers, envelopes, phases, keys and LFO to their power-on
  // state. Kept on purpose as the hardware's reset line does: the DAC data and
  // enable, the current address and the envelope clock's cadence.
  void reset();

  // offset 0-3 selects the port (see above); other offsets are ignored.
  void write(std::uint32_t offset, std::uint8_t data);

  // The status byte (any offset): bit 0 timer A overflowed, bit 1 timer B
  // overflowed. The busy flag is never set.
  std::uint8_t read(std::uint32_t offset) const;

  // Produces `count` stereo samples into `output` as left, right pairs.
  // Values span -32768..32768 (the extreme only when all six slots are at
  // full positive level); silence sits at +504 on both sides.
  void generate(std::int32_t* output, std::size_t count = 1);

  // A read-only look at one operator, for tests and tools. channel 0-5,
  // op 0-3 in algorithm order (O1..O4); out-of-range numbers give a silent,
  // released operator.
  ym2612::OperatorView inspect(int channel, int op) const;

 private:
  const ym2612::Tables* tables_;
  ym2612::ChipState state_;
};

}  // namespace audio
