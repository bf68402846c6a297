// Head room over the floors of our maps: the hero is 24 pixels tall, but his walking probe is only
// 10 pixels under the top of his box, so a block whose bottom is 16 pixels above a floor lets him walk
// under it with his head inside. A block over a floor must leave 24 pixels or come down to 8 (then
// he is stopped and has to jump).
#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "sim/real_world.h"

namespace {

using namespace real_world;

// Known low places that stay: the beams of the hatch over the machine floor in area 8 (x 824..879,
// the hatch's own works), and the hollow of the split rock in area 32 (x 736..799), which no walk
// leads into.
const std::set<int> kStillLow = {8, 32};

// Every 8-pixel column where a floor top at y has its cell above y - 16 solid and the two cells
// between free.
std::string lowCeilings(const world::Area& a) {
  std::ostringstream out;
  for (std::int64_t x = 0; x < a.width * 32; x += 8)
    for (std::int64_t y = 24; y < 192; y += 8)
      if (solid(a, x, y) && !solid(a, x, y - 8) && !solid(a, x, y - 16) && solid(a, x, y - 24))
        out << " x " << x << " floor " << y << ";";
  return out.str();
}

TEST(HeadRoom, NoBlockHangsAtHeadHeightOverAFloor) {
  auto r = loadRealWorld();
  ASSERT_TRUE(r) << "the data set in the source tree does not load";
  for (const world::Area& a : r->world.areas) {
    if (a.collision.empty() || kStillLow.count(a.id)) continue;
    EXPECT_EQ(lowCeilings(a), "") << "area " << a.id;
  }
}

// The check itself: a hanging wall block over the floor of a small map is found, one that stands
// on the floor or hangs higher is not.
TEST(HeadRoom, FindsABlockHangingSixteenPixelsUp) {
  world::Area a;
  a.width = 1;  // four 8-pixel columns, three bytes each (bit n of byte k: row 8k + n)
  a.collision.assign(12, 0);
  const auto set = [&](int column, int row) {
    a.collision[static_cast<std::size_t>(column * 3 + row / 8)] |= static_cast<std::uint8_t>(1 << (row % 8));
  };
  for (int c = 0; c < 4; ++c) set(c, 22), set(c, 23);  // floor top at y 176
  set(0, 19);                                          // bottom at 160: head room 16
  set(1, 18);                                          // bottom at 152: head room 24
  set(2, 19), set(2, 20), set(2, 21);                  // stands on the floor
  EXPECT_EQ(lowCeilings(a), " x 0 floor 176;");
}

}  // namespace
