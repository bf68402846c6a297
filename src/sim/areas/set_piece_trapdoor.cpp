// Heron Jetty (area 29): the board laid over the boathouse rafters, and the trapdoor in the jetty's floor
// that the rusty lever springs, dropping the hero to Gull Point.
#include "sim/areas/set_pieces.h"
#include "sim/core/animation.h"

namespace sim::areas {

namespace {

constexpr std::uint32_t kTrapdoorShut = 0x008B04, kTrapdoorSprung = 0x008B0C;
constexpr std::int64_t kOpenFrame = 4;
constexpr std::int64_t kTrapdoorFrame = 10, kBoardFrame = 15, kPostFrame = 16;

// The posts and lamps along the jetty.
constexpr std::int64_t kPosts[8][2] = {{960, 136},  {1040, 136}, {1120, 136}, {1280, 136},
                                       {1360, 136}, {1440, 136}, {1296, 96},  {1184, 96}};

}  // namespace

void jettyFloors(Context& c) {
  const GameState& s = c.state;
  if (s.flag_82d7 != 0) setColumns(c, 445, 12, 0x10);
  if (s.flag_82d9 == 0)
    setCells(c, {{452, 0x20}, {455, 0x20}, {458, 0x20}});
  else
    clearCells(c, {{452, 0x20}, {455, 0x20}, {458, 0x20}});
}

void jettyTrapdoor(Context& c) {
  GameState& s = c.state;
  if (s.flag_82d7 != 0) scenery(c, 1184, 96, kBoardFrame, 0, 0);
  const std::int64_t frame = stepAnimation(c, s.a29_anim, 0, s.flag_82d8 != 0 ? kTrapdoorSprung : kTrapdoorShut);
  if (frame == kOpenFrame && s.flag_82d9 == 0) {
    s.flag_82d9 = 255;
    if (s.jump == 0) {
      s.settled = 0;
      s.y &= ~std::int64_t{0xFFFF};
      s.vy = 0;
    }
  }
  jettyFloors(c);
  scenery(c, 1200, 168, kTrapdoorFrame + frame, 0, 0);
  for (const auto& p : kPosts) scenery(c, p[0], p[1], kPostFrame, 0, 0);
}

}  // namespace sim::areas
