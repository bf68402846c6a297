#include "audio/sound_chip.h"

namespace audio {

void FmChip::reset() {
  regs_.fill(0);
  regs_[0xB4] = regs_[0xB5] = regs_[0xB6] = 0xC0;  // both outputs on after reset
  regs_[256 + 0xB4] = regs_[256 + 0xB5] = regs_[256 + 0xB6] = 0xC0;
  address_.fill(0);
  writes_ = 0;
}

void FmChip::write(int offset, std::uint8_t data) {
  const int half = (offset >> 1) & 1;
  if ((offset & 1) == 0) {
    address_[half] = data;
    return;
  }
  regs_[half * 256 + address_[half]] = data;
  ++writes_;
}

void FmChip::generate(std::int32_t& left, std::int32_t& right) {
  left = right = 0;
  if ((regs_[0x2B] & 0x80) == 0) return;
  // The DAC replaces channel 6; its 8-bit value is centred on 0x80 and panned by register 0xB6 of the
  // high half.
  const std::int32_t value = (static_cast<std::int32_t>(regs_[0x2A]) - 0x80) << 6;
  const std::uint8_t pan = regs_[256 + 0xB6];
  if (pan & 0x80) left = value;
  if (pan & 0x40) right = value;
}

}  // namespace audio
