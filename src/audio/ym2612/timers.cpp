#include "audio/ym2612/timers.h"

namespace audio::ym2612 {

namespace {

std::uint32_t timerAPeriod(const ChipState& s) {
  return 1024 - ((static_cast<std::uint32_t>(s.regs[0x24]) << 2) | (s.regs[0x25] & 3));
}

std::uint32_t timerBPeriod(const ChipState& s) {
  return 16 * (256 - static_cast<std::uint32_t>(s.regs[0x26]));
}

}  // namespace

void writeTimerControl(ChipState& s, std::uint8_t old, std::uint8_t value) {
  // a load bit going from 0 to 1 starts its timer with a fresh count
  if ((value & 1) && !(old & 1)) s.timerACount = timerAPeriod(s);
  if ((value & 2) && !(old & 2)) s.timerBCount = timerBPeriod(s);
  if (value & 0x10) s.status &= static_cast<std::uint8_t>(~1);
  if (value & 0x20) s.status &= static_cast<std::uint8_t>(~2);
}

void clockTimers(ChipState& s) {
  const std::uint8_t ctrl = s.regs[0x27];
  if ((ctrl & 1) && --s.timerACount == 0) {
    s.timerACount = timerAPeriod(s);
    if (ctrl & 4) s.status |= 1;
  }
  if ((ctrl & 2) && --s.timerBCount == 0) {
    s.timerBCount = timerBPeriod(s);
    if (ctrl & 8) s.status |= 2;
  }
}

}  // namespace audio::ym2612
