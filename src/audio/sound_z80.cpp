#include "audio/sound_z80.h"

namespace audio {

void SoundZ80::reset() {
  running = true;
  started_ = false;
}

void SoundZ80::clear() {
  memory.fill(0);
  running = false;
  started_ = false;
}

void SoundZ80::write(std::uint16_t address, std::uint8_t value) {
  if (address >= 0x4000 && address < 0x6000) {
    if (ym) ym(address & 3, value, clock);
    return;
  }
  if (address >= 0x6000) return;
  memory[address & 0x1FFF] = value;
}

void SoundZ80::playList(std::uint16_t at) {
  for (;;) {
    const std::uint8_t port0 = memory[at & 0x1FFF];
    if (port0 == 0xFF) break;
    const std::uint8_t reg = memory[(at + 1) & 0x1FFF];
    const std::uint8_t value = memory[(at + 2) & 0x1FFF];
    at = static_cast<std::uint16_t>(at + 3);
    clock += 130;
    write(static_cast<std::uint16_t>(0x4000 | port0), reg);
    write(static_cast<std::uint16_t>(0x4000 | ((port0 + 1) & 0xFF)), value);
  }
}

void SoundZ80::runUntil(std::uint64_t t) {
  if (!running) {
    if (clock < t) clock = t;
    return;
  }
  if (!started_) {
    started_ = true;
    memory[0x1D00] = 0;
    memory[0x1FFE] = 0;
    for (int i = 0xAC; i < 0xB0; ++i) memory[i] = 0;
    clock += 125;
    playList(0x00B0);
  }
  while (clock < t) {
    if (memory[0x1D00] != 0) {
      memory[0x1D00] = 0;
      playList(0x1D01);
    }
    if (memory[0x1FFE] != 0) {
      const int entry = 0x02A0 + (memory[0x1FFE] - 1) * 4;
      for (int d = 0; d < 4; ++d) memory[0xAC + d] = memory[(entry + d) & 0x1FFF];
      memory[0x1FFE] = 0;
      clock += 200;
    }
    std::uint16_t left = word(0xAE);
    if (left == 0) {
      clock += 98;
      continue;
    }
    --left;
    memory[0xAE] = left & 0xFF;
    memory[0xAF] = left >> 8;
    const std::uint16_t at = word(0xAC);
    const std::uint8_t sample = memory[at & 0x1FFF];
    const std::uint16_t next = static_cast<std::uint16_t>(at + 1);
    memory[0xAC] = next & 0xFF;
    memory[0xAD] = next >> 8;
    int delay = memory[0x1FFF];
    if (delay == 0) delay = 256;
    clock += 110;
    write(0x4000, 0x2A);
    write(0x4001, static_cast<std::uint8_t>(sample - 0x80));
    clock += 138 + 16 * static_cast<std::uint64_t>(delay);
  }
}

}  // namespace audio
