#pragma once
// LFO: a 7-bit position stepped by a sub-counter whose limit the rate picks,
// giving a triangle for amplitude modulation and a signed -7..7 value for
// pitch modulation. While disabled it is held at position 0, where the AM
// triangle is at its peak (63): AM-enabled operators then stay quieter, a
// quirk the chip really has.

#include <cstdint>

#include "audio/ym2612/state.h"
#include "audio/ym2612/tables.h"

namespace audio::ym2612 {

struct LfoOutput {
  std::int32_t am;  // 0..63
  std::int32_t pm;  // -7..7
};

// One sample's step of the LFO position.
inline void advanceLfo(ChipState& s) {
  const std::uint8_t reg = s.regs[0x22];
  if ((reg & 0x08) == 0) {
    s.lfoSub = 0;
    s.lfoPosition = 0;
  } else if (s.lfoSub >= kLfoLimit[reg & 7]) {
    s.lfoSub = 2;
    s.lfoPosition = (s.lfoPosition + 1) & 0x7F;
  } else {
    ++s.lfoSub;
  }
}

// The modulation values at the current position.
inline LfoOutput lfoOutput(const ChipState& s) {
  const std::int32_t q = static_cast<std::int32_t>(s.lfoPosition);
  const std::int32_t am = q < 64 ? 63 - q : q - 64;
  const std::int32_t w = q >> 2;
  std::int32_t v = w & 7;
  if (w & 8) v = 7 - v;
  return {am, (w & 16) ? -v : v};
}

}  // namespace audio::ym2612
