// The places with water played with the areas' rules on: a hero walks and hops the bottom of the Lamp
// Room, the Wax Chamber and the Old Well Shaft to the places the puzzles need, sinking slowly after every
// hop; he crosses Fernhollow's pond both ways, and the Cooper Workshop on its floors over the pools
// without getting wet. The air shell keeps the water out; without it the water wears him down.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>

#include "sim/hero/hero.h"
#include "sim/real_world.h"
#include "sim/sim_types.h"
#include "sim/things/object_records.h"

namespace {

namespace th = sim::things;
using real_world::loadRealWorld;

constexpr std::uint8_t kLeft = 0x04, kRight = 0x08, kJump = 0x20;
constexpr std::int64_t kAirShell = 20;
constexpr std::int64_t kTopSinkSpeed = 0x18000;

class WaterPlaces : public ::testing::Test {
 protected:
  std::unique_ptr<real_world::RealWorld> r = loadRealWorld();
  sim::Simulation& sim() { return *r->sim; }
  sim::GameState& s() { return r->sim->mutableState(); }

  void SetUp() override {
    ASSERT_TRUE(r) << "the data set in the source tree does not load";
    sim().context().areaRules = true;
  }
  void carryShell() {
    th::setInv(s(), th::kBottom, kAirShell);
    th::setObjectWord(s(), kAirShell, th::kObjArea, th::kCarried);
  }
  std::int64_t X() { return static_cast<std::int16_t>(s().x >> 16); }
};

// Walks one way from where the hero is put, hopping whatever stops him and every edge he comes to, until
// he gets past the goal. The creatures' bites are switched off: a hero who walks blindly into them is
// not what this is about.
TEST_F(WaterPlaces, TheHeroWalksAndHopsToThePuzzlesPlaces) {
  struct Walk {
    const char* what;
    std::int64_t area, x, y, goalX;
    int direction;
    std::int64_t water;  // variant_ad all the way
  };
  const Walk walks[] = {
      {"the Lamp Room, from its door to its east wall", 12, 132, 152, 260, 1, 255},
      {"the Wax Chamber, from its door to the ember's place on the wax plug", 13, 196, 152, 1511, 1, 255},
      {"the Old Well Shaft, from the drain under the wax to its door", 14, 1536, 152, 230, -1, 255},
      {"the Cooper Workshop, from its door to the foot of the crate's ramp", 11, 196, 136, 2848, 1, 0},
      {"Fernhollow's pond, from its bed to the east bank", 15, 1130, 160, 1340, 1, 255},
      {"Fernhollow's pond, from the drop out of Mossgate Thicket to the west bank", 15, 1280, 160, 1115, -1, 255},
  };
  for (const Walk& w : walks) {
    SCOPED_TRACE(w.what);
    sim().newGame(0);
    sim().context().cheats = sim::kCheatNoDamage;
    ASSERT_TRUE(sim().teleport(w.area, w.x, w.y)) << sim().stopMessage();
    const std::uint8_t way = w.direction > 0 ? kRight : kLeft;
    std::int64_t lastX = X(), stuck = 0, fastestSink = 0;
    bool arrived = false;
    for (int frame = 0; frame < 3000 && !arrived; ++frame) {
      const std::int64_t ahead = X() + (w.direction > 0 ? 20 : 4), feet = (s().y >> 16) + 24;
      const bool edge = s().air == 0 && !sim::hero::solid(sim().context(), ahead, feet);
      sim().step(stuck >= 4 || edge ? static_cast<std::uint8_t>(way | kJump) : way, frame);
      ASSERT_EQ(sim().stopMessage(), "");
      ASSERT_EQ(s().area, w.area);
      ASSERT_EQ(s().variant_ad, w.water) << "at x " << X();
      ASSERT_EQ(s().dying, 0) << "at x " << X();
      fastestSink = std::max(fastestSink, s().vy);
      stuck = X() == lastX ? stuck + 1 : 0;
      lastX = X();
      arrived = w.direction > 0 ? X() >= w.goalX : X() <= w.goalX;
    }
    EXPECT_TRUE(arrived) << "stopped at x " << X();
    if (w.water != 0) EXPECT_LE(fastestSink, kTopSinkSpeed);
  }
}

// Standing at the Lamp Room's door past the 300 frames of grace a restart gives.
TEST_F(WaterPlaces, TheAirShellKeepsTheWaterOut) {
  for (const bool shell : {true, false}) {
    SCOPED_TRACE(shell ? "carrying the air shell" : "without it");
    sim().newGame(0);
    if (shell) carryShell();
    ASSERT_TRUE(sim().teleport(12, 132, 152)) << sim().stopMessage();
    for (int frame = 0; frame < 400; ++frame) sim().step(0, frame);
    EXPECT_EQ(s().damage >> 16 != 0, !shell);
    EXPECT_EQ(s().expression, shell ? 0 : 2);
  }
}

}  // namespace
