#pragma once
// Operator output: the envelope's attenuation (with SSG inversion, LFO AM and
// total level) added to the log-sine of the phase, turned back into a linear
// 14-bit signed value through the exponent table.

#include <algorithm>
#include <cstdint>

#include "audio/ym2612/state.h"
#include "audio/ym2612/tables.h"

namespace audio::ym2612 {

// The envelope part of the operator's attenuation for this sample, or -1
// when it is silent: an envelope beyond 0x380 mutes the operator whatever
// inversion would make of it.
inline std::int32_t envelopeLevel(const Operator& op) {
  if (op.attenuation > 0x380) return -1;
  const std::int32_t e = op.inverted ? ((0x200 - op.attenuation) & 0x3FF) : op.attenuation;
  return e + op.totalLevel;
}

// One operator's signed output for phase-index modulation `mod`; needs
// op.envelope for this sample.
inline std::int32_t operatorOutput(const Tables& t, const Operator& op, std::int32_t mod, std::int32_t amOffset) {
  std::int32_t level = op.envelope;
  if (level < 0) return 0;
  if (op.amOn) level += amOffset;
  level = std::min(level, 0x3FF);
  const std::uint32_t p = ((op.phase >> 10) + static_cast<std::uint32_t>(mod)) & 0x3FF;
  const std::int32_t mag = t.level[t.logSinFull[p] + 4u * static_cast<std::uint32_t>(level)];
  return (p & 0x200) ? -mag : mag;
}

}  // namespace audio::ym2612
