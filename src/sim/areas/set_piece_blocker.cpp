// Hazel Crossing (area 20): the big bird on the path's far end. It will not let the hero by until a pine
// cone thrown at it drives it off for good.
#include "sim/areas/set_pieces.h"
#include "sim/core/animation.h"

namespace sim::areas {

namespace {

constexpr std::int64_t kBirdX = 2821, kBirdY = 120, kHeld = 2815;
constexpr std::int64_t kBirdFrame = 20;

std::int64_t longAt(const GameState& s, std::size_t at) {
  return static_cast<std::int32_t>(be::longWord(s.scripted_obj, at));
}

}  // namespace

void crossingBlocker(Context& c) {
  static const std::vector<std::uint16_t> kStanding = {8, 0, 0, 1, 2};
  static const std::vector<std::uint16_t> kFlying = {8, 0, 3, 4, 3, 5};
  GameState& s = c.state;
  if (s.flag_82f1 != 0) return;
  if (s.flag_82f0 == 0) {
    scenery(c, kBirdX, kBirdY, kBirdFrame + stepProgramSequence(c, s.anim_8180, 0, kStanding), 0, 0);
    if (heroX(s) > kHeld) {
      s.x = withWhole(s.x, kHeld);
      knockBack(c, false);
    }
  }
  if (s.flag_82d5 != 0 && flyArc(c, s.w8242)) {
    s.flag_82d5 = 0;
    be::setLongWord(s.scripted_obj, 0, 2840u << 16);
    be::setLongWord(s.scripted_obj, 4, 38u << 16);
    s.flag_82f0 = 255;
    restartRecord(s.anim_8180);
  }
  if (s.flag_82f0 == 0) return;
  const std::int64_t x = longAt(s, 0) + 0x18000, y = longAt(s, 4) - 0xC000;
  be::setLongWord(s.scripted_obj, 0, static_cast<std::uint32_t>(x));
  be::setLongWord(s.scripted_obj, 4, static_cast<std::uint32_t>(y));
  const std::int64_t frame = stepProgramSequence(c, s.anim_8180, 0, kFlying);
  scenery(c, static_cast<std::int16_t>(x >> 16), static_cast<std::int16_t>(y >> 16), kBirdFrame + frame, 0, 0);
  if (static_cast<std::int16_t>(y >> 16) < -34) {
    s.flag_82bf = 0;
    s.flag_82f1 = 255;
  }
}

}  // namespace sim::areas
