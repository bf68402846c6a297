#pragma once
// The YM2612 model's internal state: the register file, the per-operator
// envelope and phase state, the per-channel feedback memory, the LFO, the
// timers and the DAC. Plain data; the functions that act on it live in the
// module files beside this one.

#include <array>
#include <cstdint>

namespace audio::ym2612 {

enum class EnvelopeState : std::uint8_t { Attack, Decay, Sustain, Release };

// Everything one operator carries from sample to sample, plus the values
// derived from its registers (refreshed whenever a register changes).
struct Operator {
  // running state
  std::uint32_t phase = 0;           // 10.10 fixed point, wraps at 2^20
  std::int32_t attenuation = 0x3FF;  // 10 bits, 0 = loudest
  EnvelopeState state = EnvelopeState::Release;
  bool inverted = false;  // SSG-EG output inversion
  bool keyed = false;     // key state seen at the last sample
  bool keyBit = false;    // key state last written through 0x28
  // this sample's envelope attenuation with inversion and total level
  // applied (before LFO AM), or -1 while the envelope mutes the operator
  std::int32_t envelope = -1;

  // derived from the registers
  std::uint32_t blockFnum = 0;    // block << 11 | F-number
  std::uint32_t step = 0;         // phase step without LFO pitch modulation
  std::uint32_t pmStep = 0;       // phase step for LFO value pmValue
  std::int32_t pmValue = 0x7FFF;  // LFO value pmStep belongs to (none yet)
  std::int32_t detune = 0;        // signed detune for the current key code
  std::uint32_t multiple = 2;     // 2 * MUL, or 1 for MUL 0
  std::uint32_t keyCode = 0;
  std::array<std::uint8_t, 4> rate{};  // effective rate per envelope state
  std::int32_t sustainLevel = 0;       // attenuation where decay turns to sustain
  std::int32_t totalLevel = 0;         // TL * 8
  bool amOn = false;
  bool ssgOn = false;
  std::uint8_t ssgMode = 0;
};

struct Channel {
  std::array<Operator, 4> op;         // O1..O4
  std::int32_t feedback[2] = {0, 0};  // O1's output one and two samples ago
  std::int32_t feedbackIn = 0;        // O1's output in the current sample
  std::uint32_t blockFnum = 0;        // committed block/F-number of the channel
  std::uint8_t algorithm = 0;
  std::uint8_t feedbackShift = 0;  // 0 = no feedback, else 10 - FB
  std::uint8_t pms = 0;
  std::uint8_t amShift = 7;  // AM depth as a right shift of 2 * AM
  bool left = true;
  bool right = true;

  // Bookkeeping that lets resting operators and channels cost nothing. An
  // operator rests once it has fully released (Release at 0x3FF): nothing
  // about it changes until a key-on. Bit k of `awake` is set while O(k+1)
  // does not rest; `ssg` marks the operators with SSG-EG on, whose envelope
  // moves every sample. `audible` is set while some operator is past its
  // key-on or still above the release's cut-off (0x380); only then is the
  // channel's output computed.
  std::uint8_t awake = 0;
  std::uint8_t ssg = 0;
  bool audible = false;
};

struct FrequencyLatch {
  std::uint8_t value = 0;
  bool pending = false;
};

// Values a read-only inspection returns.
struct OperatorView {
  std::int32_t attenuation;
  EnvelopeState state;
  std::uint32_t phase;
  std::uint32_t step;
  std::uint32_t keyCode;
  bool inverted;
};

struct ChipState {
  std::array<std::uint8_t, 512> regs{};
  std::array<Channel, 6> channels;
  // per bank: the 0xA4-0xA6 latch and the 0xAC-0xAE latch
  std::array<FrequencyLatch, 2> channelLatch;
  std::array<FrequencyLatch, 2> specialLatch;
  // channel 3's per-operator frequencies, indexed by low register 0xA8-0xAA
  // (O3, O1, O2)
  std::array<std::uint32_t, 3> specialBlockFnum{};

  std::uint32_t address = 0;       // 9 bits: bit 8 selects bank 1
  bool dirty = true;               // registers changed since the last sample
  std::uint8_t awakeChannels = 0;  // bit i: channel i has an operator not resting

  // envelope clock
  std::uint32_t egDivider = 0;
  std::uint32_t egCounter = 0;

  // LFO
  std::uint32_t lfoSub = 0;
  std::uint32_t lfoPosition = 0;

  // DAC
  std::uint8_t dacData = 0x80;
  std::uint8_t dacLowBit = 0;
  bool dacEnabled = false;

  // timers
  std::uint32_t timerACount = 0;  // samples until timer A overflows
  std::uint32_t timerBCount = 0;  // samples until timer B overflows
  std::uint8_t status = 0;
};

}  // namespace audio::ym2612
