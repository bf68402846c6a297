// Doors: the rule that turns UP into B, the passage, locks, and the doors
// that open with an animation.
#include <gtest/gtest.h>

#include "sim/areas/area_fixture.h"
#include "sim/areas/areas.h"
#include "sim/core/context.h"
#include "sim/real_world.h"

namespace {

using area_test::Fixture;

std::int64_t fixed(std::int64_t integer) {
  return integer * 65536;
}

TEST(DoorRule, OnlyUpWithoutLeftOrRightInFrontOfAnOpenDoorAddsB) {
  // Door 0 of area 21 has the rect (200, 136, 16, 32); door 1 at x 100 is locked.
  struct Case {
    std::int64_t x, y;
    std::uint8_t pad, result;
  };
  const Case cases[] = {
      {190, 152, 0x01, 0x11}, {190, 152, 0x03, 0x13},  // UP, UP with DOWN
      {190, 152, 0x05, 0x05}, {190, 152, 0x09, 0x09},  // UP with LEFT or RIGHT
      {190, 152, 0x21, 0x31}, {190, 152, 0x00, 0x00}, {190, 152, 0x02, 0x02},
      {215, 152, 0x01, 0x11}, {216, 152, 0x01, 0x01},  // the hero box [X, X + 20) against [200, 216)
      {181, 152, 0x01, 0x11}, {180, 152, 0x01, 0x01}, {190, 167, 0x01, 0x11},
      {190, 168, 0x01, 0x01},                                                  // and [Y, Y + 20) against [136, 168)
      {190, 117, 0x01, 0x11}, {190, 116, 0x01, 0x01}, {100, 152, 0x01, 0x01},  // the locked door
  };
  Fixture f;
  f.at(21, 0, 0);
  for (const Case& c : cases) {
    f.state().x = fixed(c.x);
    f.state().y = fixed(c.y);
    EXPECT_EQ(sim::areas::doorRule(f.sim->context(), c.pad), c.result)
        << "x " << c.x << " y " << c.y << " pad " << int(c.pad);
  }
  // Door 0 leads from area 21 only.
  f.at(30, 190, 152);
  EXPECT_EQ(sim::areas::doorRule(f.sim->context(), 0x01), 0x01);
}

TEST(DoorPassage, TakesTheHeroToTheArrivalAndSetsTheRestartPoint) {
  Fixture f;
  f.at(21, 190, 152);
  auto& s = f.state();
  s.lock = 2;
  s.anim = 0x001816;
  s.anim_count = 3;
  s.anim_index = 2;
  ASSERT_TRUE(sim::areas::doorPassage(f.sim->context()));
  EXPECT_EQ(s.area, 30);
  EXPECT_EQ(s.x, fixed(111));
  EXPECT_EQ(s.y, fixed(152));
  EXPECT_EQ(s.restart_area, 30);
  EXPECT_EQ(s.restart_x, 111);
  EXPECT_EQ(s.restart_y, 152);
  EXPECT_EQ(s.lock, 0);
  EXPECT_EQ(s.anim, 0x00180C);  // standing, and entering the area took its first frame
  EXPECT_EQ(s.anim_index, 0);
  EXPECT_EQ(s.camera_x, 0);
  EXPECT_EQ(s.sprite_x, 111);
  EXPECT_EQ(f.sim->areaCache().area->id, 30);
}

TEST(DoorPassage, IgnoresLockedDoorsAndDoorsPastTheLockBits) {
  Fixture f;
  f.at(21, 100, 152);
  EXPECT_FALSE(sim::areas::doorPassage(f.sim->context()));
  EXPECT_EQ(f.state().area, 21);
  f.state().door_locks = 0;  // unlocked, door 1 leads to area 29
  EXPECT_TRUE(sim::areas::doorPassage(f.sim->context()));
  EXPECT_EQ(f.state().area, 29);
  EXPECT_EQ(f.state().x, fixed(222));

  // A 33rd door has no lock bit and counts as locked.
  Fixture g;
  while (g.world.doors.size() < 32) g.world.doors.push_back({45, 21, 0, 0, {0, 0, 16, 32}});
  g.world.doors.push_back({21, 30, 160, 152, {280, 136, 16, 32}});
  g.state().door_locks = 0;
  g.at(21, 280, 152);
  EXPECT_EQ(sim::areas::doorRule(g.sim->context(), 0x01), 0x01);
  EXPECT_FALSE(sim::areas::doorPassage(g.sim->context()));
}

// On our data set: from the new game's place the hero walks right to the door of area 21 and presses
// UP. He comes out in area 1; the passage is a cut, as on the console: no step reports a fade.
TEST(DoorPassage, WalkingThroughADoorOnOurDataSetIsACut) {
  auto r = real_world::loadRealWorld();
  ASSERT_TRUE(r);
  sim::Simulation& sim = *r->sim;
  ASSERT_TRUE(sim.newGame(0)) << sim.stopMessage();
  std::int64_t tick = 0;
  std::vector<std::int32_t> fades;
  std::int64_t passedOnStep = -1;
  for (int i = 0; i < 150 && passedOnStep < 0; ++i) {
    const std::uint8_t pad = i < 20 ? 0x00 : i < 40 ? 0x08 : i < 50 ? 0x00 : 0x01;
    sim.step(pad, tick++);
    ASSERT_EQ(sim.stopMessage(), "") << "step " << i;
    fades.push_back(sim.fadeVBlanks());
    if (sim.state().area != 21) passedOnStep = i;
  }
  ASSERT_GE(passedOnStep, 0) << "the hero did not get through the door (x " << (sim.state().x >> 16) << ")";
  EXPECT_EQ(sim.state().area, 1);
  for (std::size_t i = 0; i < fades.size(); ++i) EXPECT_EQ(fades[i], 0) << "step " << i;
}

TEST(AnimatedDoor, IsDrawnWhileClosedOpensOverItsSequenceAndUnlocks) {
  Fixture f;
  f.at(2, 1800, 152);  // camera at 1650
  auto& s = f.state();
  s.door_locks = 0x10000000;  // door 3 locked
  s.score = 0xFFF0;
  const std::int64_t bank = f.sim->areaCache().firstSelectionFrames;

  sim::beginFrame(f.sim->context());
  sim::areas::animatedDoor(f.sim->context(), 1, 3, 1893, 117);
  ASSERT_EQ(f.sim->frameSprites().size(), 1u);
  EXPECT_EQ(f.sim->frameSprites()[0],
            (sim::SpriteCall{1893 - 1650 + 128, 117 + 128, static_cast<std::uint32_t>(bank), 0, 0x0099A0}));

  // Off screen a closed door is not drawn.
  f.at(2, 100, 152);
  sim::beginFrame(f.sim->context());
  sim::areas::animatedDoor(f.sim->context(), 1, 3, 1893, 117);
  EXPECT_TRUE(f.sim->frameSprites().empty());

  f.at(2, 1800, 152);
  s.door_states[9] = 1;  // record 1 starts opening
  std::int64_t steps = 0;
  std::vector<std::uint32_t> framesShown;
  while (s.door_states[9] != 2 && steps < 200) {
    sim::beginFrame(f.sim->context());
    sim::areas::animatedDoor(f.sim->context(), 1, 3, 1893, 117);
    for (const auto& call : f.sim->frameSprites()) framesShown.push_back(call.frame - static_cast<std::uint32_t>(bank));
    ++steps;
  }
  ASSERT_EQ(s.door_states[9], 2);
  EXPECT_EQ(steps, 34);  // frames 1, 2, 3 shown 11 steps each, then frame 4 ends it
  EXPECT_EQ(framesShown.front(), 1u);
  EXPECT_EQ(framesShown.back(), 3u);
  EXPECT_EQ(s.door_locks, 0);
  EXPECT_EQ(s.flag_82fc, 255);
  EXPECT_EQ(s.score, (0xFFF0 + 100) & 0xFFFF);
  ASSERT_EQ(f.sim->soundRequests().size(), 1u);
  EXPECT_EQ(f.sim->soundRequests()[0], (audio::SoundRequest{sim::kSoundEffect, 2}));

  // Once open it is not drawn, and the door rule finds it.
  sim::beginFrame(f.sim->context());
  sim::areas::animatedDoor(f.sim->context(), 1, 3, 1893, 117);
  EXPECT_TRUE(f.sim->frameSprites().empty());
}

TEST(AnimatedDoor, TheAreaHandlersRunTheDoorsOfTheirAreas) {
  Fixture f;
  f.at(21, 300, 152);  // area 21's door at (415, 136): record 0, door 1
  f.state().door_states[1] = 2;
  f.sim->step(0, 1);
  EXPECT_EQ(f.sim->stopMessage(), "");
  bool drawn = false;
  for (const auto& call : f.sim->frameSprites()) drawn = drawn || call.caller == 0x0099A0;
  EXPECT_FALSE(drawn);
  f.state().door_states[1] = 0;
  f.sim->step(0, 2);
  drawn = false;
  for (const auto& call : f.sim->frameSprites())
    drawn = drawn || (call.caller == 0x0099A0 && call.x == 415 - 150 + 128 && call.y == 136 + 128);
  EXPECT_TRUE(drawn);
}

}  // namespace
