#include "audio/ym2612/ym2612.h"

#include "audio/ym2612/channel.h"
#include "audio/ym2612/channel_step.h"
#include "audio/ym2612/envelope.h"
#include "audio/ym2612/lfo.h"
#include "audio/ym2612/operator.h"
#include "audio/ym2612/phase.h"
#include "audio/ym2612/registers.h"
#include "audio/ym2612/timers.h"

namespace audio {

using namespace ym2612;

namespace {

// The output stage's discontinuity: each of the six slots adds its 9-bit
// value shifted away from zero (+4 for zero and up, -3 below), so a muted or
// silent channel still contributes and the step from 0 to -1 is seven units
// wide. Kept on purpose: it is the chip's audible crossover distortion.
inline std::int32_t ladder(std::int32_t v) {
  return v >= 0 ? v + 4 : v - 3;
}

// The DAC's value on channel 6's 9-bit scale: 2 * (data - 128) plus the extra
// low bit.
inline std::int32_t dacValue(const ChipState& s) {
  return 2 * (static_cast<std::int32_t>(s.dacData) - 128) + s.dacLowBit;
}

// The envelope clock: one tick every third sample. True on a tick.
inline bool clockEnvelope(ChipState& s) {
  if (++s.egDivider != 3) return false;
  s.egDivider = 0;
  ++s.egCounter;
  return true;
}

// A sample while every operator rests: all FM channels are silent, so the
// output is the ladder's offset of the six slots, with the DAC in place of
// channel 6 while it is on. O1's feedback memory still moves along.
inline void restingSample(ChipState& s, std::int32_t& left, std::int32_t& right) {
  for (Channel& ch : s.channels) {
    ch.feedback[1] = ch.feedback[0];
    ch.feedback[0] = ch.feedbackIn;
  }
  left = right = 6 * ladder(0);
  if (s.dacEnabled) {
    const Channel& ch = s.channels[5];
    const std::int32_t v = dacValue(s);
    if (ch.left) left += ladder(v) - ladder(0);
    if (ch.right) right += ladder(v) - ladder(0);
  }
}

// A sample with some operator awake: every channel stepped and mixed.
inline void activeSample(const Tables& t, ChipState& s, bool tick, std::int32_t& left, std::int32_t& right) {
  const LfoOutput lfo = lfoOutput(s);
  left = 0;
  right = 0;
  for (int i = 0; i < 6; ++i) {
    Channel& ch = s.channels[i];
    ch.feedback[1] = ch.feedback[0];
    ch.feedback[0] = ch.feedbackIn;
    if (ch.awake) {
      stepChannel(ch, tick, s.egCounter, lfo.pm);
      if (ch.awake == 0) s.awakeChannels = static_cast<std::uint8_t>(s.awakeChannels & ~(1u << i));
    }

    std::int32_t v = 0;
    if (i == 5 && s.dacEnabled) {
      // the DAC replaces channel 6's output; channel 6 keeps running
      v = dacValue(s);
    } else if (ch.audible) {
      // only a channel with an operator still sounding is computed; the
      // others give 0 and leave their feedback memory alone
      v = computeChannel(t, ch, lfo.am);
    }
    left += ladder(ch.left ? v : 0);
    right += ladder(ch.right ? v : 0);
  }
}

}  // namespace

Ym2612::Ym2612() : tables_(&tables()) {
  reset();
}

void Ym2612::reset() {
  resetRegisters(state_);
}

void Ym2612::write(std::uint32_t offset, std::uint8_t data) {
  writePort(state_, offset, data);
}

std::uint8_t Ym2612::read(std::uint32_t) const {
  return state_.status;
}

void Ym2612::generate(std::int32_t* output, std::size_t count) {
  const Tables& t = *tables_;
  ChipState& s = state_;
  for (std::size_t n = 0; n < count; ++n) {
    if (s.dirty) refreshFromRegisters(s);
    const bool tick = clockEnvelope(s);
    advanceLfo(s);
    std::int32_t left, right;
    if (s.awakeChannels == 0) {
      restingSample(s, left, right);
    } else {
      activeSample(t, s, tick, left, right);
    }
    clockTimers(s);

    // six slots averaged and scaled to 16 bits, truncating toward zero
    output[2 * n] = left * 8192 / 390;
    output[2 * n + 1] = right * 8192 / 390;
  }
}

ym2612::OperatorView Ym2612::inspect(int channel, int op) const {
  if (channel < 0 || channel > 5 || op < 0 || op > 3) return {0x3FF, EnvelopeState::Release, 0, 0, 0, false};
  const auto& o = state_.channels[static_cast<std::size_t>(channel)].op[static_cast<std::size_t>(op)];
  return {o.attenuation, o.state, o.phase, o.step, o.keyCode, o.inverted};
}

}  // namespace audio
