#pragma once
// Channel output: the eight algorithms connecting O1..O4, O1's
// self-feedback, and the sum of the carriers clipped to the 9-bit range.

#include <algorithm>
#include <cstdint>

#include "audio/ym2612/operator.h"
#include "audio/ym2612/state.h"
#include "audio/ym2612/tables.h"

namespace audio::ym2612 {

// Adds a carrier to the running sum; the limits -257..+256 are the chip's,
// applied after every addition.
inline std::int32_t addClipped(std::int32_t sum, std::int32_t value) {
  return std::clamp(sum + (value >> 5), -257, 256);
}

// The channel's clipped 9-bit output for this sample.
inline std::int32_t computeChannel(const Tables& t, Channel& ch, std::int32_t amValue) {
  const std::int32_t am = (2 * amValue) >> ch.amShift;
  auto& op = ch.op;

  const std::int32_t fbMod = ch.feedbackShift ? (ch.feedback[0] + ch.feedback[1]) >> ch.feedbackShift : 0;
  const std::int32_t o1 = operatorOutput(t, op[0], fbMod, am);
  ch.feedbackIn = o1;

  std::int32_t o2 = 0, o3 = 0, o4 = 0, sum = 0;
  switch (ch.algorithm) {
    case 0:  // O1 -> O2 -> O3 -> O4
      o2 = operatorOutput(t, op[1], o1 >> 1, am);
      o3 = operatorOutput(t, op[2], o2 >> 1, am);
      o4 = operatorOutput(t, op[3], o3 >> 1, am);
      sum = o4 >> 5;
      break;
    case 1:  // (O1 + O2) -> O3 -> O4
      o2 = operatorOutput(t, op[1], 0, am);
      o3 = operatorOutput(t, op[2], (o1 + o2) >> 1, am);
      o4 = operatorOutput(t, op[3], o3 >> 1, am);
      sum = o4 >> 5;
      break;
    case 2:  // O2 -> O3; (O1 + O3) -> O4
      o2 = operatorOutput(t, op[1], 0, am);
      o3 = operatorOutput(t, op[2], o2 >> 1, am);
      o4 = operatorOutput(t, op[3], (o1 + o3) >> 1, am);
      sum = o4 >> 5;
      break;
    case 3:  // O1 -> O2; (O2 + O3) -> O4
      o2 = operatorOutput(t, op[1], o1 >> 1, am);
      o3 = operatorOutput(t, op[2], 0, am);
      o4 = operatorOutput(t, op[3], (o2 + o3) >> 1, am);
      sum = o4 >> 5;
      break;
    case 4:  // O1 -> O2, O3 -> O4; carriers O2, O4
      o2 = operatorOutput(t, op[1], o1 >> 1, am);
      o3 = operatorOutput(t, op[2], 0, am);
      o4 = operatorOutput(t, op[3], o3 >> 1, am);
      sum = addClipped(o4 >> 5, o2);
      break;
    case 5:  // O1 -> each of O2, O3, O4
      o2 = operatorOutput(t, op[1], o1 >> 1, am);
      o3 = operatorOutput(t, op[2], o1 >> 1, am);
      o4 = operatorOutput(t, op[3], o1 >> 1, am);
      sum = addClipped(addClipped(o4 >> 5, o2), o3);
      break;
    case 6:  // O1 -> O2; carriers O2, O3, O4
      o2 = operatorOutput(t, op[1], o1 >> 1, am);
      o3 = operatorOutput(t, op[2], 0, am);
      o4 = operatorOutput(t, op[3], 0, am);
      sum = addClipped(addClipped(o4 >> 5, o2), o3);
      break;
    default:  // four carriers
      o2 = operatorOutput(t, op[1], 0, am);
      o3 = operatorOutput(t, op[2], 0, am);
      o4 = operatorOutput(t, op[3], 0, am);
      sum = addClipped(addClipped(addClipped(o4 >> 5, o1), o2), o3);
      break;
  }
  return sum;
}

}  // namespace audio::ym2612
