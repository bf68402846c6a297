#pragma once
// One sample's advance of a channel's operators: the envelopes (which only
// move on envelope ticks, or every sample under SSG-EG) and the phases (every
// sample, with the LFO's pitch modulation). Resting operators are skipped; an
// operator that comes to rest during this sample still has its phase
// advanced once more, as it was awake when the sample began.

#include <cstdint>

#include "audio/ym2612/envelope.h"
#include "audio/ym2612/operator.h"
#include "audio/ym2612/phase.h"
#include "audio/ym2612/state.h"

namespace audio::ym2612 {

// The envelope part: SSG-EG step, envelope tick, the attenuation level the
// output stage reads, and the channel's resting and audible bookkeeping.
inline void stepEnvelopes(Channel& ch, bool tick, std::uint32_t counter) {
  std::uint8_t awake = ch.awake;
  bool audible = false;
  for (int k = 0; k < 4; ++k) {
    if ((awake & (1u << k)) == 0) continue;
    Operator& op = ch.op[k];
    if (op.ssgOn) {
      ssgStep(op);
      if (tick) envelopeTick(op, counter);
      op.envelope = envelopeLevel(op);
    } else if (tick && envelopeTick(op, counter)) {
      op.envelope = envelopeLevel(op);
    }
    if (resting(op)) awake = static_cast<std::uint8_t>(awake & ~(1u << k));
    audible = audible || sounding(op);
  }
  ch.awake = awake;
  ch.audible = audible;
}

// The phase part for the operators in `awake`; `pm` is the LFO's pitch value
// (-7..7).
inline void stepPhases(Channel& ch, std::uint8_t awake, std::int32_t pm) {
  if (ch.pms != 0 && pm != 0) {
    for (int k = 0; k < 4; ++k) {
      if ((awake & (1u << k)) == 0) continue;
      Operator& op = ch.op[k];
      // the modulated step only changes when the LFO value does
      if (op.pmValue != pm) {
        op.pmValue = pm;
        op.pmStep = phaseStep(op.blockFnum, pitchAdjust(op.blockFnum, ch.pms, pm), op.detune, op.multiple);
      }
      op.phase = (op.phase + op.pmStep) & 0xFFFFF;
    }
  } else {
    for (int k = 0; k < 4; ++k) {
      if ((awake & (1u << k)) == 0) continue;
      Operator& op = ch.op[k];
      op.phase = (op.phase + op.step) & 0xFFFFF;
    }
  }
}

// Both parts for one sample; envelope ticks come every third sample.
inline void stepChannel(Channel& ch, bool tick, std::uint32_t counter, std::int32_t pm) {
  const std::uint8_t awake = ch.awake;
  if (awake == 0) return;
  if (tick || (ch.ssg & awake) != 0) stepEnvelopes(ch, tick, counter);
  stepPhases(ch, awake, pm);
}

}  // namespace audio::ym2612
