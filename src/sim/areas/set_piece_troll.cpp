// Under-road West (area 34): the troll in the tunnel. It stands on the side the hero came from and bars the
// way until the smelly cheese thrown at it sends it walking off.
#include "sim/areas/set_pieces.h"
#include "sim/core/animation.h"

namespace sim::areas {

namespace {

constexpr std::uint32_t kWalking = 0x0090F8, kIdle = 0x00910A;
constexpr std::int64_t kGone = 107, kTrollY = 80, kTrollFrame = 30;  // past the bats and the drips

}  // namespace

void tunnelTroll(Context& c) {
  GameState& s = c.state;
  if (s.troll_x > kGone) return;
  const bool right = s.side_82c9 != 0;
  if (s.flag_82ba != 0 && flyArc(c, be::word(s.arc, 24))) {
    s.flag_82bf = 0;
    s.flag_82ba = 0;
    s.troll_state = 1;
  }
  std::int64_t frame = recordFrame(s.troll_anim);
  if (s.troll_state == 0) {
    frame = stepAnimation(c, s.troll_anim, 0, kIdle);
  } else if (s.troll_state == 1) {
    const std::int64_t before = frame;
    frame = stepAnimation(c, s.troll_anim, 0, kWalking);
    if (frame != before && frame != 1) {
      s.troll_x += 2;
      if (s.troll_x >= 109) s.troll_state = 2;
    }
  }
  const std::int64_t X = heroX(s);
  if (right && X > s.troll_x + 172) {
    s.x = withWhole(s.x, s.troll_x + 172);
    knockBack(c, false);
  } else if (!right && X < 113 - s.troll_x) {
    s.x = withWhole(s.x, 113 - s.troll_x);
    knockBack(c, true);
  }
  if (s.troll_x > kGone) return;
  scenery(c, right ? s.troll_x + 180 : 88 - s.troll_x, kTrollY, kTrollFrame + frame, right ? kMirrored : 0, 0);
}

}  // namespace sim::areas
