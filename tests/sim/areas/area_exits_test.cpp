// Leaving an area: the exit pairs at the top and bottom, the trapdoor pair
// of area 29, the side edges of the caves, and exits that go nowhere.
#include <gtest/gtest.h>

#include "sim/areas/area_fixture.h"
#include "sim/areas/areas.h"

namespace {

using area_test::Fixture;

struct Place {
  std::int64_t area, x, y;
};

std::int64_t fixed(std::int64_t integer, std::int64_t fraction = 0) {
  return integer * 65536 + fraction;
}

struct ExitCase {
  const char* what;
  Place from;
  Place to;       // area, integer x, integer y after the check
  Place restart;  // the restart point written
};

TEST(VerticalExits, PickTheExitOfThePairAndCarryTheWorldPosition) {
  const ExitCase cases[] = {
      // area 30 (origin 400): bottom pair {100 -> 31 at (50, 60)}, {2000 -> 29, x -1}
      {"bottom, left exit", {30, 100, 168}, {31, 100 - 400, 1}, {31, 50, 60}},
      {"bottom, right exit without a restart x", {30, 2000, 190}, {29, 2000 - 400 + 1000, 1}, {29, 2600, 1}},
      {"bottom, between the thresholds", {30, 101, 168}, {30, 101, 168}, {21, 160, 152}},
      {"still on the map", {30, 100, 167}, {30, 100, 167}, {21, 160, 152}},
      // top pair {500 -> 2 (origin -200) at (70, 80)}, {600 -> 30 itself}
      {"top, left exit", {30, 500, -1}, {2, 500 - 400 - 200, 168}, {2, 70, 80}},
      {"top into the same area", {30, 600, -5}, {30, 600, -5}, {21, 160, 152}},
      // area 10 has no way up before x 1400
      {"area 10 top before 1400", {10, 1399, -1}, {10, 1399, -1}, {21, 160, 152}},
      {"area 10 top from 1400", {10, 1400, -1}, {30, 1400 + 400, 168}, {30, 5, 6}},
      // area 29 (origin 1000) over its trapdoor takes the cartridge's pair
      {"trapdoor, first exit", {29, 1169, 170}, {2, 1169 - 1000 - 200, 1}, {2, 90, 100}},
      {"trapdoor, second exit without restart x", {29, 1243, 170}, {30, 1243 - 1000 + 400, 1}, {30, 643, 1}},
      {"past the trapdoor: its own pair, between", {29, 1244, 170}, {29, 1244, 170}, {21, 160, 152}},
      {"before the trapdoor: its own pair, between", {29, 1168, 170}, {29, 1168, 170}, {21, 160, 152}},
      {"own pair, right exit", {29, 1300, 170}, {2, 1300 - 1000 - 200, 1}, {2, 30, 40}},
  };
  for (const ExitCase& c : cases) {
    SCOPED_TRACE(c.what);
    Fixture f;
    f.at(c.from.area, 0, 0);
    auto& s = f.state();
    s.restart_x = 160, s.restart_y = 152, s.restart_area = 21;
    s.x = fixed(c.from.x, 0x4000);
    s.y = fixed(c.from.y, 0x8000);
    sim::areas::exitCheck(f.sim->context());
    EXPECT_EQ(s.area, c.to.area);
    EXPECT_EQ(s.x >> 16, c.to.x);
    EXPECT_EQ(s.y >> 16, c.to.y);
    EXPECT_EQ(s.x & 0xFFFF, 0x4000);  // fractions kept
    EXPECT_EQ(s.y & 0xFFFF, 0x8000);
    EXPECT_EQ(s.restart_area, c.restart.area);
    EXPECT_EQ(s.restart_x, c.restart.x);
    EXPECT_EQ(s.restart_y, c.restart.y);
    EXPECT_EQ(f.sim->areaCache().area->id, s.area);
  }
}

TEST(VerticalExits, EnterTheNewAreaWithItsSoundAndCamera) {
  Fixture f;
  f.at(30, 0, 0);
  auto& s = f.state();
  s.x = fixed(2000);
  s.y = fixed(170);
  s.vy = 0x20000;
  sim::areas::exitCheck(f.sim->context());
  EXPECT_EQ(s.area, 29);
  EXPECT_EQ(s.vy, 0x20000);  // a vertical exit does not reset the hero
  EXPECT_EQ(s.camera_x, 2600 - 150);
  EXPECT_EQ(s.sprite_x, 150);
  ASSERT_FALSE(f.sim->soundRequests().empty());
  EXPECT_EQ(f.sim->soundRequests().front(), (audio::SoundRequest{sim::kSoundEffect, 23}));
}

TEST(SideEdges, LeaveStrictlyPastTheThresholdsAndResetTheHero) {
  struct Case {
    std::int64_t area, x;
    Place to;
  };
  // area 34: left {8 -> 35 at (560, 152)}, right {600 -> 30 at (16, 144)}; area 33's record is not used.
  const Case cases[] = {
      {34, 7, {35, 560, 152}},   {34, 8, {34, 8, 100}},    {34, -40, {35, 560, 152}},
      {34, 600, {34, 600, 100}}, {34, 601, {30, 16, 144}}, {33, 0, {33, 0, 100}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "area " << c.area << " x " << c.x);
    Fixture f;
    f.at(c.area, 0, 0);
    auto& s = f.state();
    s.x = fixed(c.x, 0x1234);
    s.y = fixed(100, 0x10);
    s.vy = 0x30000;
    s.jump = 3;
    sim::areas::exitCheck(f.sim->context());
    EXPECT_EQ(s.area, c.to.area);
    if (c.to.area == c.area) {
      EXPECT_EQ(s.x, fixed(c.x, 0x1234));
      EXPECT_EQ(s.vy, 0x30000);
      continue;
    }
    EXPECT_EQ(s.x, fixed(c.to.x));
    EXPECT_EQ(s.y, fixed(c.to.y));
    EXPECT_EQ(s.vy, 0);
    EXPECT_EQ(s.jump, 0);
    EXPECT_EQ(s.restart_area, c.to.area);
    EXPECT_EQ(s.restart_x, c.to.x);
    EXPECT_EQ(s.restart_y, c.to.y);
  }
}

TEST(VerticalExits, IntoAnAreaWithoutAMapStopTheGame) {
  Fixture f;
  f.at(33, 0, 0);
  f.state().x = fixed(10);
  f.state().y = fixed(180);
  f.sim->step(0, 1);
  EXPECT_EQ(f.sim->stopMessage(), "an area without a map");
}

}  // namespace
