#pragma once
// Shared helpers for the YM2612 tests: register writes through the ports and
// the plain sine voice most tests start from.

#include <cstdint>
#include <utility>
#include <vector>

#include "audio/ym2612/ym2612.h"

namespace ym2612_test {

// Writes register `reg` (0x100 and up: bank 1) through the address and data ports.
inline void poke(audio::Ym2612& chip, std::uint32_t reg, std::uint8_t value) {
  const std::uint32_t port = reg >= 0x100 ? 2 : 0;
  chip.write(port, static_cast<std::uint8_t>(reg & 0xFF));
  chip.write(port + 1, value);
}

inline std::pair<std::int32_t, std::int32_t> sample(audio::Ym2612& chip) {
  std::int32_t out[2];
  chip.generate(out, 1);
  return {out[0], out[1]};
}

// Left channel of `n` samples.
inline std::vector<std::int32_t> left(audio::Ym2612& chip, std::size_t n) {
  std::vector<std::int32_t> buf(2 * n);
  chip.generate(buf.data(), n);
  std::vector<std::int32_t> l(n);
  for (std::size_t i = 0; i < n; ++i) l[i] = buf[2 * i];
  return l;
}

// Channel 1, algorithm 7, only O4 audible, AR 31, SL 0, RR 15, block 4,
// F-number 1024 (exactly 128 samples per cycle). Not keyed on.
inline void setSineVoice(audio::Ym2612& chip) {
  poke(chip, 0xB0, 0x07);
  poke(chip, 0xB4, 0xC0);
  for (std::uint32_t s = 0; s < 16; s += 4) {
    poke(chip, 0x30 + s, 0x01);
    poke(chip, 0x40 + s, s == 12 ? 0x00 : 0x7F);
    poke(chip, 0x50 + s, 0x1F);
    poke(chip, 0x60 + s, 0x00);
    poke(chip, 0x70 + s, 0x00);
    poke(chip, 0x80 + s, 0x0F);
    poke(chip, 0x90 + s, 0x00);
  }
  poke(chip, 0xA4, 0x24);
  poke(chip, 0xA0, 0x00);
}

// Fresh chip with the sine voice, two idle samples, then O4 keyed on.
inline void startSine(audio::Ym2612& chip) {
  chip.reset();
  setSineVoice(chip);
  sample(chip);
  sample(chip);
  poke(chip, 0x28, 0x80);
}

}  // namespace ym2612_test
