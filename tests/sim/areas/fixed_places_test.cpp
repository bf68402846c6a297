// The places where the logic itself puts the hero (restart points, the subgames' returns, the
// throw-back of area 49) and the things the set pieces put down, against our maps: the hero must
// land there on his feet, not drop onto the floor and lie stunned, and a thing must rest on a
// surface instead of floating.
#include <gtest/gtest.h>

#include <cstdint>

#include "sim/hero/hero.h"
#include "sim/real_world.h"

namespace {

using namespace real_world;

// A place in an area: the hero's top-left corner, or a thing's.
struct Place {
  int area;
  std::int64_t x, y;
  const char* what;
};

// The coordinates the logic holds in its code.
constexpr Place kPlaces[] = {
    {21, 160, 152, "the new game"},
    {11, 857, 104, "the sea's return"},
    {31, 1125, 56, "the sea's return after a loss"},
    {16, 148, 40, "the minecart's return, lost"},
    {16, 1475, 40, "the minecart's return, goal 0"},
    {11, 2819, 72, "the minecart's return, goal 1"},
    {10, 2021, 104, "the minecart's return, goal 2"},
    {19, 36, 72, "the restart after the minecart's goal 3"},
    {18, 1773, 120, "the archery's return"},
    {45, 992, 136, "the archery's return after a win"},
    {0, 1275, 144, "the restart by the bridge"},
    {1, 1218, 160, "the restart before the spell"},
    {9, 1300, 56, "the restart after the charging creature"},
    {10, 772, 64, "the restart west of the floating platform"},
    {10, 940, 64, "the restart east of the floating platform"},
    {10, 1435, 56, "the restart by the column"},
    {16, 1427, 136, "the restart after a shot"},
    {16, 1670, 136, "the restart after a shot, past the spider"},
    {47, 738, 136, "the restart before the deadly ledge"},
    {48, 195, 152, "the restart before the flames"},
    {49, 1194, 152, "where the barrier throws the hero back"},
    {48, 1194, 152, "the restart after the barrier's throw"},
};

// The deadly beds whose restart point is read from the data set (restart area -1 keeps the old one).
constexpr std::uint32_t kDeadlyBeds[] = {0x003636, 0x003644, 0x00364E, 0x00365C};

std::int64_t word(const sim::RomView& rom, std::uint32_t address) {
  return static_cast<std::int16_t>(rom.wordAt(address));
}

// Puts the hero at (x, y) as a restart does and lets him settle. He must stand where he was put (or
// land a few pixels lower) with control, not stunned by a fall.
void expectLandsOnHisFeet(RealWorld& r, const Place& p) {
  SCOPED_TRACE(testing::Message() << p.what << ": area " << p.area << " at (" << p.x << ", " << p.y << ")");
  EXPECT_TRUE(standsAt(area(r, p.area), p.x, p.y)) << "not open ground";
  ASSERT_TRUE(r.sim->teleport(p.area, p.x, p.y)) << r.sim->stopMessage();
  auto& s = r.sim->mutableState();
  s.stars_left = 250;
  s.lives = 2;
  s.guard10 = 4;  // the guard of area 10 would push a hero off the high places while he stands
  for (int k = 0; k < 40; ++k) r.sim->step(0, k);
  ASSERT_EQ(r.sim->stopMessage(), "");
  EXPECT_EQ(s.x >> 16, p.x);
  EXPECT_GE(s.y >> 16, p.y);
  EXPECT_LE(s.y >> 16, p.y + 4);
  EXPECT_NE(s.settled, 0);
  EXPECT_EQ(s.stun, 0);
}

TEST(FixedPlaces, TheHeroLandsOnHisFeetWhereverTheLogicPutsHim) {
  auto r = loadRealWorld();
  ASSERT_TRUE(r) << "the data set in the source tree does not load";
  for (const Place& p : kPlaces) expectLandsOnHisFeet(*r, p);
  for (std::uint32_t bed : kDeadlyBeds) {
    const std::int64_t restartArea = word(r->rom, bed + 8);
    if (restartArea < 0) continue;
    expectLandsOnHisFeet(
        *r, {static_cast<int>(restartArea), word(r->rom, bed + 10), word(r->rom, bed + 12), "a deadly bed's restart"});
  }
}

// The minecart's goal 3 throws the hero out of the cart at (2, 8) in a jump to the right; he comes
// down on the ledge of his restart point and walks on unhurt.
TEST(FixedPlaces, TheJumpOutOfTheMinecartLandsOnTheRestartLedge) {
  auto r = loadRealWorld();
  ASSERT_TRUE(r) << "the data set in the source tree does not load";
  ASSERT_TRUE(r->sim->teleport(19, 2, 8)) << r->sim->stopMessage();
  auto& s = r->sim->mutableState();
  s.stars_left = 250;
  s.lives = 2;
  s.vy = -0x3F000;
  s.jump = 3;
  sim::hero::setHeroAnimation(r->sim->context(), 0x001852);
  int frames = 0;
  for (; frames < 200 && (s.jump != 0 || s.settled == 0); ++frames) r->sim->step(0, frames);
  EXPECT_LT(frames, 200) << "still in the air";
  for (int k = 0; k < 10; ++k) r->sim->step(0, 1000 + k);  // he rises out of the plank's top row
  ASSERT_EQ(r->sim->stopMessage(), "");
  EXPECT_EQ(s.y >> 16, 72) << "landed at x " << (s.x >> 16);
  EXPECT_TRUE(standsAt(area(*r, 19), s.x >> 16, s.y >> 16));
  EXPECT_EQ(s.stun, 0);
}

// The things a set piece puts down lie on a surface, as the objects of the data set do.
TEST(FixedPlaces, TheThingsTheSetPiecesPutDownRestOnASurface) {
  auto r = loadRealWorld();
  ASSERT_TRUE(r) << "the data set in the source tree does not load";
  // The bow and the clover keep the x they wait at above the picture (the new game's object records).
  auto objectX = [&](std::uint32_t object) { return word(r->rom, 0x002B68 + 16 * object + 2); };
  const Place kThings[] = {
      {28, 235, 160, "the webbed boots the fisher brings up"},
      {26, 151, 160, "the cloak by the throne"},
      {18, 1727, 112, "the straw target set up"},
      {17, 1465, 49, "the cogwheel fitted"},
      {27, 263, 144, "the flask of soup"},
      {22, 267, 136, "the spyglass"},
      {0, objectX(26), 160, "the bow the spirit drops"},
      {0, objectX(60), 160, "the clover the spirit gives"},
  };
  for (const Place& t : kThings) {
    SCOPED_TRACE(testing::Message() << t.what << ": area " << t.area << " at (" << t.x << ", " << t.y << ")");
    const world::Area& a = area(*r, t.area);
    EXPECT_TRUE(solid(a, t.x + 8, t.y + 16)) << "floats";
    EXPECT_FALSE(solid(a, t.x + 8, t.y + 8)) << "sunk into the ground";
  }
}

}  // namespace
