#pragma once
// Phase generator: the key code of a block/F-number, the phase step with
// detune and multiple, and the LFO's pitch-modulation adjustment.

#include <cstdint>

#include "audio/ym2612/tables.h"

namespace audio::ym2612 {

// Five-bit key code: block * 4, plus the F-number's top bit twice, plus a
// rounding bit taken from F-number bits 10-7 (set for 7 and 9-15).
inline std::uint32_t keyCode(std::uint32_t blockFnum) {
  const std::uint32_t block = (blockFnum >> 11) & 7;
  const std::uint32_t top4 = (blockFnum >> 7) & 15;
  const std::uint32_t f11 = top4 >> 3;
  const std::uint32_t n3 = (top4 == 7 || top4 >= 9) ? 1 : 0;
  return block * 4 + f11 * 2 + n3;
}

// Signed detune for register value DT (0-7) at key code kc.
inline std::int32_t detuneOffset(std::uint32_t dt, std::uint32_t kc) {
  const std::int32_t d = kDetune[kc][dt & 3];
  return (dt & 4) ? -d : d;
}

// Pitch-modulation adjustment in half F-number units for LFO value p (-7..7).
inline std::int32_t pitchAdjust(std::uint32_t blockFnum, std::uint32_t pms, std::int32_t p) {
  const std::uint32_t a = static_cast<std::uint32_t>(p < 0 ? -p : p);
  const std::uint32_t terms = kPitchTerms[pms][a];
  const std::int32_t g = static_cast<std::int32_t>((blockFnum >> 4) & 0x7F);
  std::int32_t sum = 0;
  if (terms & 1) sum += g >> 2;
  if (terms & 2) sum += g >> 1;
  if (terms & 4) sum += g;
  if (pms == 6) sum *= 2;
  if (pms == 7) sum *= 4;
  sum >>= 2;
  return p < 0 ? -sum : sum;
}

// The per-sample phase increment (10 fractional bits). The detuned value
// wraps at 17 bits before the multiple, so a negative detune on a tiny step
// gives a huge one; the hardware does the same.
inline std::uint32_t phaseStep(std::uint32_t blockFnum, std::int32_t pmAdjust, std::int32_t detune,
                               std::uint32_t multiple) {
  const std::uint32_t block = (blockFnum >> 11) & 7;
  std::uint32_t f = (blockFnum & 0x7FF) << 1;
  f = static_cast<std::uint32_t>(static_cast<std::int32_t>(f) + pmAdjust) & 0xFFF;
  std::uint32_t s = (f << block) >> 2;
  s = static_cast<std::uint32_t>(static_cast<std::int32_t>(s) + detune) & 0x1FFFF;
  return (s * multiple) >> 1;
}

}  // namespace audio::ym2612
