#pragma once
// Constant tables of the YM2612 model: the quarter-wave log-sine and the
// exponent table that together turn a phase and an attenuation into a linear
// level, the detune offsets per key code, the envelope increment patterns and
// the LFO step periods.

#include <array>
#include <cstdint>

namespace audio::ym2612 {

struct Tables {
  // Attenuation of sin((2i+1)pi/1024) in 1/256-octave units, i = 0..255.
  std::array<std::uint16_t, 256> logSin;
  // 4 * 2^((255-f)/256) * 1024: the linear level of the fractional part of
  // an attenuation (the integer part becomes a right shift).
  std::array<std::uint16_t, 256> exponent;

  // The same two tables unfolded for the hot path: the log-sine magnitude
  // for a full 10-bit phase index, and the linear level for any total
  // attenuation an operator can reach (log-sine 2137 + 4 * 1023 < 6656).
  std::array<std::uint16_t, 1024> logSinFull;
  std::array<std::uint16_t, 6656> level;
};

// Built once on first use.
const Tables& tables();

// Detune magnitude by key code and DT & 3 (column 0 is always zero).
extern const std::array<std::array<std::uint8_t, 4>, 32> kDetune;

// Envelope increment by effective rate (0-63) and position (c >> shift) & 7.
extern const std::array<std::array<std::uint8_t, 8>, 64> kEnvelopeIncrement;

// LFO sub-counter limit per rate: the position advances when the counter
// reaches it.
extern const std::array<std::uint8_t, 8> kLfoLimit;

// Pitch-modulation recipe per PMS and |LFO value|: a sum of g/4 (bit 0),
// g/2 (bit 1) and g (bit 2), g being the F-number's top seven bits.
extern const std::array<std::array<std::uint8_t, 8>, 8> kPitchTerms;

}  // namespace audio::ym2612
