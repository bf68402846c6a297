// The hero walks out of an area and through a door of our world, the way a
// player does it: pads into game steps, nothing set by hand on the way.
#include <gtest/gtest.h>

#include <memory>

#include "sim/real_world.h"

namespace {

constexpr std::uint8_t kUp = 0x01, kLeft = 0x04;

struct Game {
  std::unique_ptr<real_world::RealWorld> data;
  sim::Simulation* sim = nullptr;
  std::int64_t tick = 0;

  // Steps with the pad until the area changes or the steps run out; false on a stop.
  bool stepUntilAreaChanges(std::uint8_t pad, int steps) {
    const std::int64_t from = sim->state().area;
    for (int i = 0; i < steps && sim->state().area == from; ++i) {
      sim->step(pad, ++tick);
      if (!sim->stopMessage().empty()) return false;
    }
    return true;
  }
  bool idle(int steps) {
    for (int i = 0; i < steps; ++i) {
      sim->step(0, ++tick);
      if (!sim->stopMessage().empty()) return false;
    }
    return true;
  }
};

// Our data set with the hero at (x, y) in the area.
std::unique_ptr<Game> start(std::int64_t area, std::int64_t x, std::int64_t y) {
  auto g = std::make_unique<Game>();
  g->data = real_world::loadRealWorld();
  if (!g->data) return nullptr;
  g->sim = g->data->sim.get();
  if (!g->sim->teleport(area, x, y)) return nullptr;
  g->sim->mutableState().stars_left = 250;  // no all-stars event on the way
  g->sim->mutableState().lives = 2;
  return g;
}

TEST(WalkingThroughTheWorld, OffTheWestEndOfTheGreenIntoTheMeadow) {
  auto g = start(21, 160, 152);
  ASSERT_TRUE(g) << "the data set in the source tree does not load, or the hero cannot be put there";
  ASSERT_TRUE(g->idle(10)) << g->sim->stopMessage();
  ASSERT_TRUE(g->stepUntilAreaChanges(kLeft, 600)) << g->sim->stopMessage();
  const auto& s = g->sim->state();
  ASSERT_EQ(s.area, 0);
  EXPECT_EQ(s.y >> 16, 1);
  ASSERT_TRUE(g->idle(120)) << g->sim->stopMessage();
  EXPECT_EQ(s.area, 0);
  EXPECT_NE(s.settled, 0);
  EXPECT_EQ(s.y >> 16, 152);   // on the meadow's floor near its east end, having drifted on west in the fall
  EXPECT_GE(s.x >> 16, 1440);  // past the bridge's pit
  EXPECT_LT(s.x >> 16, 52 * 32 - 24);
  EXPECT_EQ(s.stun, 0);
}

TEST(WalkingThroughTheWorld, UpInFrontOfTheGreensDoorLeadsIntoTheLane) {
  auto g = start(21, 160, 152);
  ASSERT_TRUE(g) << "the data set in the source tree does not load, or the hero cannot be put there";
  const world::Door& door = g->data->world.doors[0];
  ASSERT_EQ(door.area, 21);
  ASSERT_TRUE(g->sim->teleport(21, door.rect[0] - 2, 152));
  ASSERT_TRUE(g->idle(10)) << g->sim->stopMessage();
  ASSERT_TRUE(g->stepUntilAreaChanges(kUp, 60)) << g->sim->stopMessage();
  const auto& s = g->sim->state();
  EXPECT_EQ(s.area, door.target);
  EXPECT_EQ(s.x >> 16, door.x);
  EXPECT_EQ(s.y >> 16, door.y);
  EXPECT_EQ(s.restart_area, door.target);
  ASSERT_TRUE(g->idle(30)) << g->sim->stopMessage();
  EXPECT_EQ(s.area, door.target);
  EXPECT_EQ(s.y >> 16, door.y);  // he stands where he came in
  EXPECT_EQ(s.lock, 0);
}

}  // namespace
