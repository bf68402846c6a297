#pragma once
// Timers A and B: down-counters clocked once per sample (timer B through a
// divide-by-16), raising status flags on overflow when enabled by 0x27. They
// only feed the status byte; nothing in the sound output depends on them.

#include <cstdint>

#include "audio/ym2612/state.h"

namespace audio::ym2612 {

// Handles a write to the timer control register 0x27 (old = previous value).
void writeTimerControl(ChipState& s, std::uint8_t old, std::uint8_t value);

// Advances both timers by one sample.
void clockTimers(ChipState& s);

}  // namespace audio::ym2612
