#pragma once
// Register file and ports: the address/data protocol, the DAC registers, key
// on/off, the shared frequency high-byte latches, and the refresh of every
// operator's derived parameters from the registers.

#include <cstdint>

#include "audio/ym2612/state.h"

namespace audio::ym2612 {

// Power-on state of everything reset() clears.
void resetRegisters(ChipState& s);

// A byte written to port 0-3.
void writePort(ChipState& s, std::uint32_t port, std::uint8_t data);

// Recomputes key codes, steps, rates and levels from the registers and
// applies key edges; run at the start of a sample after any write.
void refreshFromRegisters(ChipState& s);

}  // namespace audio::ym2612
