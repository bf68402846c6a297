#pragma once
// Envelope generator: effective rates with key scaling, key on/off, the
// SSG-EG step and the per-tick attenuation update.

#include <algorithm>
#include <cstdint>

#include "audio/ym2612/state.h"
#include "audio/ym2612/tables.h"

namespace audio::ym2612 {

// Recomputes the envelope parameters of an operator from its registers:
// reg50 (KS/AR), reg60 (AM/D1R), reg70 (D2R), reg80 (SL/RR), reg40 (TL),
// reg90 (SSG-EG). keyCode must be current.
void refreshEnvelope(Operator& op, std::uint8_t reg40, std::uint8_t reg50, std::uint8_t reg60, std::uint8_t reg70,
                     std::uint8_t reg80, std::uint8_t reg90);

// A fully released operator: it stays exactly so until a key-on, which also
// restarts its phase, so it can rest without being stepped.
inline bool resting(const Operator& op) {
  return op.state == EnvelopeState::Release && op.attenuation == 0x3FF;
}

// Whether the operator keeps its channel's output computed: anything but a
// release that has fallen past 0x380.
inline bool sounding(const Operator& op) {
  return op.state != EnvelopeState::Release || op.attenuation < 0x380;
}

// Key edge handling, applied at the start of the sample that sees the edge.
void keyOn(Operator& op);
void keyOff(Operator& op);

// SSG-EG: runs every sample before the envelope tick while enabled. (With
// SSG-EG off the inversion is cleared once, when the register changes.)
inline void ssgStep(Operator& op) {
  if (op.attenuation < 0x200) return;
  const std::uint8_t m = op.ssgMode;
  if (m & 1) {
    // hold modes: settle on silence or, inverted, on full level
    op.inverted = (((m >> 2) ^ (m >> 1)) & 1) != 0;
    if (op.state != EnvelopeState::Attack) op.attenuation = op.inverted ? 0x200 : 0x3FF;
  } else {
    // repeat modes: alternate (2 and 6) and restart the attack
    if (m & 2) op.inverted = !op.inverted;
    if (op.state == EnvelopeState::Decay || op.state == EnvelopeState::Sustain) {
      op.state = EnvelopeState::Attack;
      if (op.rate[0] >= 62) op.attenuation = 0;
    }
    if ((m & 2) == 0) op.phase = 0;
  }
  if (op.state == EnvelopeState::Release) op.attenuation = 0x3FF;
}

// One envelope tick with counter value c. Returns false when the rate does
// not update on this tick (the attenuation is then unchanged).
inline bool envelopeTick(Operator& op, std::uint32_t c) {
  if (op.state == EnvelopeState::Attack && op.attenuation == 0) op.state = EnvelopeState::Decay;
  if (op.state == EnvelopeState::Decay && op.attenuation >= op.sustainLevel) op.state = EnvelopeState::Sustain;

  const std::uint32_t r = op.rate[static_cast<int>(op.state)];
  const std::uint32_t shift = r >= 44 ? 0 : 11 - (r >> 2);
  if (c & ((1u << shift) - 1)) return false;
  const std::int32_t inc = kEnvelopeIncrement[r][(c >> shift) & 7];

  if (op.state == EnvelopeState::Attack) {
    // exponential approach towards 0; rates 62 and 63 only act at key-on
    if (r < 62) op.attenuation += (~op.attenuation * inc) >> 4;
    return true;
  }
  if (!op.ssgOn) {
    op.attenuation += inc;
  } else if (op.attenuation < 0x200) {
    op.attenuation += 4 * inc;
  }
  if (op.attenuation >= 0x400) op.attenuation = 0x3FF;
  return true;
}

}  // namespace audio::ym2612
