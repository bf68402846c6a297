// Old Mine Gate (area 42): the winch hauls the gate up and door 31 opens behind it.
#include "sim/areas/set_pieces.h"

namespace sim::areas {

namespace {

constexpr std::int64_t kGateFrame = 0, kEffectOpen = 23, kGateDoor = 31;

}  // namespace

// a42_gate: the longs position, jerk and speed (16.16).
void mineGate(Context& c) {
  GameState& s = c.state;
  auto& g = s.a42_gate;
  if (s.flag_82f7 != 0) {
    const std::int64_t jerk = static_cast<std::int32_t>(be::longWord(g, 4) - 128u);
    const std::int64_t speed = static_cast<std::int32_t>(be::longWord(g, 8) + static_cast<std::uint32_t>(jerk));
    be::setLongWord(g, 4, static_cast<std::uint32_t>(jerk));
    be::setLongWord(g, 8, static_cast<std::uint32_t>(speed));
    be::setLongWord(g, 0, be::longWord(g, 0) - static_cast<std::uint32_t>(speed));
    if (speed <= 0) {
      s.door_locks &= ~(std::int64_t{1} << (31 - kGateDoor));
      if (s.flag_8306 == 0) {
        s.flag_8306 = 255;
        requestEffect(c, kEffectOpen);
      }
      be::setLongWord(g, 4, 0);
      be::setLongWord(g, 8, 0);
    }
  }
  scenery(c, 111, static_cast<std::int16_t>(be::longWord(g, 0) >> 16), kGateFrame, 0, 0);
}

}  // namespace sim::areas
