#pragma once
// Operator output: the envelope's attenuation (with SSG inversion, LFO AM and
// total level) added to the log-sine of the phase, turned back into a linear
// 14-bit signed value through the exponent table.

#include <algorithm>
#include <cstdint>

#include "audio/ym2612/state.h"
#include "audio/ym2612/tables.h"

namespace audio::ym2612 {

// The attenuation the operator sounds at (10 bits), or -1 when it is silent:
// an envelope beyond 0x380 mutes the operator whatever inversion would make
// of it.
inline std::int32_t operatorLevel(const Operator& op, std::int32_t amOffset) {
  if (op.attenuation > 0x380) return -1;
  std::int32_t e = op.inverted ? ((0x200 - op.attenuation) & 0x3FF) : op.attenuation;
  if (op.amOn) e += amOffset;
  e += op.totalLevel;
  return std::min(e, 0x3FF);
}

// One operator's signed output for phase-index modulation `mod`.
inline std::int32_t operatorOutput(const Tables& t, const Operator& op, std::int32_t mod,
                                   std::int32_t amOffset) {
  const std::int32_t level = operatorLevel(op, amOffset);
  if (level < 0) return 0;
  const std::uint32_t p = ((op.phase >> 10) + static_cast<std::uint32_t>(mod)) & 0x3FF;
  const std::uint32_t quarter = (p & 0x100) ? (~p & 0xFF) : (p & 0xFF);
  const std::uint32_t total = t.logSin[quarter] + 4u * static_cast<std::uint32_t>(level);
  const std::uint32_t shift = total >> 8;
  const std::int32_t mag = shift >= 16 ? 0 : static_cast<std::int32_t>(t.exponent[total & 0xFF] >> shift);
  return (p & 0x200) ? -mag : mag;
}

}  // namespace audio::ym2612
