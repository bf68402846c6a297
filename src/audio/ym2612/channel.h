#pragma once
// Channel output: the eight algorithms connecting O1..O4, O1's
// self-feedback, and the sum of the carriers clipped to the 9-bit range.

#include <cstdint>

#include "audio/ym2612/state.h"
#include "audio/ym2612/tables.h"

namespace audio::ym2612 {

// Computes the channel's clipped output into ch.output and records O1's
// output for feedback. amValue is the LFO's AM value (0-63).
void computeChannel(const Tables& t, Channel& ch, std::int32_t amValue);

}  // namespace audio::ym2612
