#include "audio/ym2612/registers.h"

#include "audio/ym2612/envelope.h"
#include "audio/ym2612/operator.h"
#include "audio/ym2612/phase.h"
#include "audio/ym2612/timers.h"

namespace audio::ym2612 {

namespace {

// Slot order in the address map (bits 3-2) versus algorithm order:
// slot 0 = O1, slot 1 = O3, slot 2 = O2, slot 3 = O4.
constexpr int kRoleOfSlot[4] = {0, 2, 1, 3};
// Right shift of 2 * AM per AMS: depths 0, 1.4, 5.9 and 11.8 dB.
constexpr std::uint8_t kAmShift[4] = {7, 3, 1, 0};

void writeRegister(ChipState& s, std::uint32_t addr, std::uint8_t data) {
  const std::uint32_t bank = addr >> 8;
  const std::uint32_t low = addr & 0xFF;

  if (bank == 0) {
    switch (low) {
      case 0x2A:
        s.dacData = data;
        return;
      case 0x2B:
        s.dacEnabled = (data & 0x80) != 0;
        return;
      case 0x2C:
        s.dacLowBit = (data >> 3) & 1;
        return;
      case 0x27: {
        const std::uint8_t old = s.regs[0x27];
        s.regs[0x27] = data;
        writeTimerControl(s, old, data);
        s.dirty = true;
        return;
      }
      case 0x28: {
        const std::uint32_t c = data & 3;
        if (c == 3) return;
        Channel& ch = s.channels[c + ((data & 4) ? 3 : 0)];
        for (int i = 0; i < 4; ++i) ch.op[i].keyBit = (data >> (4 + i)) & 1;
        s.dirty = true;
        return;
      }
      default:
        break;
    }
  }

  if (low >= 0xA0 && low < 0xB0) {
    const std::uint32_t c = low & 3;
    if (c == 3) return;
    switch (low & 0xFC) {
      case 0xA0: {
        // a low byte commits the pending high byte; without one it is
        // dropped (the chip's latch, shared by the bank's three channels)
        FrequencyLatch& latch = s.channelLatch[bank];
        if (!latch.pending) return;
        s.channels[bank * 3 + c].blockFnum = (static_cast<std::uint32_t>(latch.value) << 8) | data;
        latch.pending = false;
        break;
      }
      case 0xA4:
        s.channelLatch[bank] = {static_cast<std::uint8_t>(data & 0x3F), true};
        return;
      case 0xA8: {
        FrequencyLatch& latch = s.specialLatch[bank];
        if (!latch.pending) return;
        latch.pending = false;
        if (bank == 0) s.specialBlockFnum[c] = (static_cast<std::uint32_t>(latch.value) << 8) | data;
        break;
      }
      default:  // 0xAC
        s.specialLatch[bank] = {static_cast<std::uint8_t>(data & 0x3F), true};
        return;
    }
    s.dirty = true;
    return;
  }
  if (low >= 0xB8) return;  // no registers here

  s.regs[addr] = data;
  s.dirty = true;
}

void refreshChannel(ChipState& s, int index, bool special) {
  Channel& ch = s.channels[index];
  const std::uint32_t base = (index >= 3 ? 0x100u : 0u) + static_cast<std::uint32_t>(index % 3);
  const auto& r = s.regs;

  const std::uint8_t b0 = r[base + 0xB0];
  ch.algorithm = b0 & 7;
  const std::uint8_t fb = (b0 >> 3) & 7;
  ch.feedbackShift = fb ? static_cast<std::uint8_t>(10 - fb) : 0;
  const std::uint8_t b4 = r[base + 0xB4];
  ch.left = (b4 & 0x80) != 0;
  ch.right = (b4 & 0x40) != 0;
  ch.amShift = kAmShift[(b4 >> 4) & 3];
  ch.pms = b4 & 7;

  for (std::uint32_t slot = 0; slot < 4; ++slot) {
    const int role = kRoleOfSlot[slot];
    Operator& op = ch.op[role];
    const std::uint32_t a = base + slot * 4;

    std::uint32_t bf = ch.blockFnum;
    if (special) {
      // channel 3's per-operator frequencies: O1 from A9/AD, O2 from AA/AE,
      // O3 from A8/AC, O4 from the channel's own A2/A6
      if (role == 0) bf = s.specialBlockFnum[1];
      if (role == 1) bf = s.specialBlockFnum[2];
      if (role == 2) bf = s.specialBlockFnum[0];
    }
    op.blockFnum = bf;
    op.keyCode = keyCode(bf);
    const std::uint8_t r30 = r[a + 0x30];
    const std::uint32_t mul = r30 & 15;
    op.multiple = mul ? 2 * mul : 1;
    op.detune = detuneOffset((r30 >> 4) & 7, op.keyCode);
    op.step = phaseStep(bf, 0, op.detune, op.multiple);
    op.pmValue = 0x7FFF;
    refreshEnvelope(op, r[a + 0x40], r[a + 0x50], r[a + 0x60], r[a + 0x70], r[a + 0x80], r[a + 0x90]);

    if (op.keyBit != op.keyed) {
      if (op.keyBit) {
        keyOn(op);
      } else {
        keyOff(op);
      }
      op.keyed = op.keyBit;
    }
    if (!op.ssgOn) op.inverted = false;
    op.envelope = envelopeLevel(op);
  }

  ch.awake = 0;
  ch.ssg = 0;
  ch.audible = false;
  for (int k = 0; k < 4; ++k) {
    const Operator& op = ch.op[k];
    if (!resting(op)) ch.awake |= static_cast<std::uint8_t>(1u << k);
    if (op.ssgOn) ch.ssg |= static_cast<std::uint8_t>(1u << k);
    ch.audible = ch.audible || sounding(op);
  }
}

}  // namespace

void resetRegisters(ChipState& s) {
  s.regs.fill(0);
  for (std::uint32_t i = 0; i < 3; ++i) {
    s.regs[0xB4 + i] = 0xC0;
    s.regs[0x1B4 + i] = 0xC0;
  }
  s.channelLatch = {};
  s.specialLatch = {};
  s.specialBlockFnum = {};
  for (Channel& ch : s.channels) ch = Channel{};
  s.lfoSub = 0;
  s.lfoPosition = 0;
  s.timerACount = 0;
  s.timerBCount = 0;
  s.status = 0;
  s.awakeChannels = 0;
  s.dirty = true;
}

void writePort(ChipState& s, std::uint32_t port, std::uint8_t data) {
  switch (port) {
    case 0:
      s.address = data;
      break;
    case 2:
      s.address = 0x100u | data;
      break;
    case 1:
      if ((s.address & 0x100) == 0) writeRegister(s, s.address, data);
      break;
    case 3:
      if (s.address & 0x100) writeRegister(s, s.address, data);
      break;
    default:
      break;
  }
}

void refreshFromRegisters(ChipState& s) {
  const bool special = (s.regs[0x27] & 0xC0) != 0;
  s.awakeChannels = 0;
  for (int i = 0; i < 6; ++i) {
    refreshChannel(s, i, special && i == 2);
    if (s.channels[i].awake) s.awakeChannels |= static_cast<std::uint8_t>(1u << i);
  }
  s.dirty = false;
}

}  // namespace audio::ym2612
