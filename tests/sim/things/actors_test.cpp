// Actors on a small fixture: the step over the records, and each family's moves, touches and frames.
#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "sim/core/context.h"
#include "sim/core/records.h"
#include "sim/rom_view.h"
#include "sim/sim_fixture.h"
#include "sim/things/actor.h"
#include "sim/things/things.h"
#include "world/world.h"

namespace {

using sim::things::actor::Actor;
using sim_test::putLong;
using sim_test::putWords;
namespace actor = sim::things::actor;

constexpr std::uint16_t kEnd = 0xFFFF;
constexpr std::uint32_t kFree = 0x020000;  // where the fixture's own sequences and lists lie

class ActorTest : public ::testing::Test {
 protected:
  world::World world;
  sim::RomView rom;
  sim::Context c{world, rom};
  sim::GameState& s = c.state;
  std::size_t count = 0;

  ActorTest() {
    endList();
    s.x = 3000 << 16;  // far from every actor until a test puts him near one
    s.y = 0;
    for (int k = 0; k < 15; ++k) sim::be::setWord(s.frame_bases, 2 * static_cast<std::size_t>(k), 100 + 10 * k);
    putTables();
  }

  void putTables() {
    for (std::uint32_t at : {0x00BDB6u, 0x00BDC4u, 0x00BDD2u, 0x00BDE4u, 0x00BDEEu, 0x00BDF8u})
      putWords(rom, at, {0, 0, 0, kEnd});
    for (std::uint32_t i = 0; i < 4; ++i) putLong(rom, 0x00AFB0 + 4 * i, 0x8000 + 0x4000 * i);
    putWords(rom, 0x00B172, {1, 2, 1, 3});
    std::vector<std::uint16_t> wobble(32);
    for (std::size_t i = 0; i < wobble.size(); ++i) wobble[i] = static_cast<std::uint16_t>(i);
    putWords(rom, 0x00C634, wobble);
    putWords(rom, 0x00C674, wobble);
    // Walkers and patrollers.
    putLong(rom, 0x00B266, kFree);
    putWords(rom, kFree, {0, 0, 66, 65, 64, 63, kEnd});
    putLong(rom, 0x00B39A, kFree + 0x20);
    putLong(rom, 0x00BD28, kFree + 0x20);
    putWords(rom, kFree + 0x20, {3, 0, 0, kEnd});
    // The eight-direction flier: unit steps, and a list for each wall met alone or in a corner.
    const int vectors[8][2] = {{1, 0}, {1, 1}, {0, 1}, {-1, 1}, {-1, 0}, {-1, -1}, {0, -1}, {1, -1}};
    for (std::uint32_t d = 0; d < 8; ++d) {
      putLong(rom, 0x00B662 + 8 * d, static_cast<std::uint32_t>(vectors[d][0] * 0x10000));
      putLong(rom, 0x00B666 + 8 * d, static_cast<std::uint32_t>(vectors[d][1] * 0x10000));
    }
    for (std::uint32_t bits = 0; bits < 16; ++bits) putLong(rom, 0x00B59C + 4 * bits, 0);
    const std::uint16_t away[16] = {0, 0, 4, 0, 2, 1, 3, 0, 6, 7, 5, 0, 0, 0, 0, 0};
    for (std::uint32_t bits : {1u, 2u, 4u, 5u, 6u, 8u, 9u, 10u}) {
      putLong(rom, 0x00B59C + 4 * bits, kFree + 0x100 + 4 * bits);
      putWords(rom, kFree + 0x100 + 4 * bits, {1, away[bits]});
    }
    // The swimmer: swimming right, left (mirrored frames), turning to the left and to the right.
    const std::uint16_t swims[4][7] = {
        {1, 0, 0, 1, kEnd}, {1, 0, 64, 65, kEnd}, {1, 0, 2, 3, 4, 5, kEnd}, {1, 0, 1, 2, 3, kEnd}};
    for (std::uint32_t k = 0; k < 4; ++k) {
      putLong(rom, 0x00B740 + 4 * k, kFree + 0x200 + 0x10 * k);
      putWords(rom, kFree + 0x200 + 0x10 * k, std::vector<std::uint16_t>(swims[k], swims[k] + 7));
    }
    // The creeper: idle, stopping, stepping left and right.
    const std::uint16_t creeps[4][7] = {
        {5, 0, 0, kEnd}, {0, 0, 2, 1, kEnd}, {0, 0, 7, 8, 9, 10, kEnd}, {0, 0, 7, 8, 9, 10, kEnd}};
    for (std::uint32_t k = 0; k < 4; ++k) {
      putLong(rom, 0x00B898 + 4 * k, kFree + 0x300 + 0x10 * k);
      putWords(rom, kFree + 0x300 + 0x10 * k, std::vector<std::uint16_t>(creeps[k], creeps[k] + 7));
    }
    rom.put(0x00B90E, std::vector<std::uint8_t>{0, 0, 0, 1, 0, 1, 0, 0});
    putWords(rom, 0x00BEE6, {0, 1, 5, 6, kEnd});   // leaping: frame 5 once, then 6
    putWords(rom, 0x00BEFA, {0, 0, 10, 7, kEnd});  // landed: hidden, then shown
    putWords(rom, 0x00BB82, {0, 1, 2, kEnd});
    putWords(rom, 0x00BC78, {1, 0, 4, 0, 0, 3, 0xFFFF, 0, 2, 0xFFFE, 0, 1, 0xFFF6, 0, 0});
  }

  void endList() {
    if (count < sim::rec::kActorSlots)
      for (std::size_t i = 0; i < 4; ++i) s.actors[count * sim::rec::kActorSize + i] = 0xFF;
  }

  // A new record of the type at (x, y), its other bytes 0.
  Actor add(std::int64_t type, std::int64_t x, std::int64_t y) {
    Actor a{c, count * sim::rec::kActorSize};
    std::fill_n(s.actors.begin() + static_cast<std::ptrdiff_t>(a.base), sim::rec::kActorSize, 0);
    a.setLong(actor::kType, type);
    a.setWord(actor::kX, x);
    a.setWord(actor::kY, y);
    ++count;
    endList();
    return a;
  }

  void step(int frames = 1) {
    for (int i = 0; i < frames; ++i) {
      c.frameSprites.clear();
      sim::things::actors(c);
    }
  }
  void heroAt(std::int64_t x, std::int64_t y) {
    s.x = x << 16;
    s.y = y << 16;
  }
  std::size_t spritesOfFrame(std::uint32_t frame) const {
    std::size_t n = 0;
    for (const sim::SpriteCall& call : c.frameSprites) n += call.frame == frame ? 1 : 0;
    return n;
  }
  bool heard(std::uint32_t effect) const {
    for (const auto& r : c.soundRequests)
      if (r.kind == sim::kSoundEffect && r.value == effect) return true;
    return false;
  }
};

TEST_F(ActorTest, TheStepVisitsRecordsUpToTheEndMarkOrTheBlocksEnd) {
  // Thrown things that wait count their wait down: each visited one shows it.
  for (int i = 0; i < 3; ++i) add(13, 100, 50).setWord(actor::kWord46, 10);
  s.actors[2 * sim::rec::kActorSize] = 0x80;  // the third record's negative first byte ends the visit
  step();
  EXPECT_EQ(Actor(c, 0).word(actor::kWord46), 9);
  EXPECT_EQ(Actor(c, sim::rec::kActorSize).word(actor::kWord46), 9);

  count = 0;
  for (int i = 0; i < 40; ++i) add(13, 100, 50).setWord(actor::kWord46, 10);
  step();
  for (std::size_t i = 0; i < 40; ++i) EXPECT_EQ(Actor(c, i * sim::rec::kActorSize).word(actor::kWord46), 9) << i;
}

TEST_F(ActorTest, ATypeAbove14Stops) {
  add(13, 100, 50);
  add(15, 100, 50);
  EXPECT_THROW(step(), sim::Stop);
  EXPECT_EQ(c.stopMessage, "an actor type above 14 ($009B7C)");
}

TEST_F(ActorTest, AnActorOffScreenStandsStill) {
  struct Case {
    std::int64_t type, x, camera;
    bool runs;
  } cases[] = {
      {0, 100, 124, true},  {0, 100, 125, false}, {0, 419, 100, true},  {0, 420, 100, false}, {2, 100, 140, true},
      {2, 100, 141, false}, {9, 100, 164, true},  {9, 100, 165, false}, {13, 100, 124, true}, {13, 100, 125, false},
  };
  for (const Case& k : cases) {
    count = 0;
    Actor a = add(k.type, k.x, 50);
    s.camera_x = k.camera;
    step();
    EXPECT_EQ(a.word(actor::kAnim + 2) != 0 || a.word(actor::kWord46) != 0 || !c.frameSprites.empty(), k.runs)
        << "type " << k.type << " camera " << k.camera;
  }
}

TEST_F(ActorTest, DanglerWaitsDropsHoldsAndClimbsBack) {
  Actor a = add(0, 100, 40);
  a.setWord(actor::kLeft, 100);    // the wait's base
  a.setWord(actor::kRight, 10);    // the hold's base
  a.setWord(actor::kLow, 0);       // top of the drop
  a.setWord(actor::kHigh, 20);     // bottom of the drop
  a.setWord(actor::kWord46, 2);    // the wait
  a.setWord(actor::kWord48, 500);  // holding still
  step(2);
  EXPECT_EQ(a.word(actor::kWord54), 0);
  step();  // the wait ran out: it drops
  EXPECT_EQ(a.word(actor::kWord52), 1);
  EXPECT_GE(a.word(actor::kWord46), 100);
  EXPECT_EQ(a.word(actor::kWord54), 1);
  step(19);
  EXPECT_EQ(a.word(actor::kWord54), 20);
  EXPECT_EQ(a.word(actor::kWord52), 0);
  const std::int64_t hold = a.word(actor::kWord48);
  EXPECT_GE(hold, 10);
  EXPECT_LE(hold, 41);
  EXPECT_EQ(spritesOfFrame(71), 3u);  // (20 >> 3) + 1 pieces of thread
  step(static_cast<int>(hold));
  EXPECT_EQ(a.word(actor::kWord52), -1);
  step(20);
  EXPECT_EQ(a.word(actor::kWord54), 0);
  EXPECT_EQ(a.word(actor::kWord52), 0);
}

TEST_F(ActorTest, DanglersThreadHasAPieceForEveryEightPixelsAndNoneAtRest) {
  struct Case {
    std::int64_t offset;
    std::size_t pieces;
  } cases[] = {{0, 0}, {1, 1}, {7, 1}, {8, 2}, {20, 3}};
  for (const Case& k : cases) {
    count = 0;
    Actor a = add(0, 100, 40);
    a.setWord(actor::kWord46, 1000);
    a.setWord(actor::kWord48, 1000);
    a.setWord(actor::kHigh, 50);
    a.setWord(actor::kWord54, k.offset);
    step();
    EXPECT_EQ(spritesOfFrame(71), k.pieces) << k.offset;
    ASSERT_FALSE(c.frameSprites.empty());
    EXPECT_EQ(c.frameSprites[0].y, static_cast<std::uint32_t>(40 + k.offset + 128)) << k.offset;
    EXPECT_EQ(c.frameSprites[0].frame, 100u) << k.offset;  // frame base 0 + the body's frame
  }
}

TEST_F(ActorTest, TouchingCostsTheTypesAmountOrStartsADrain) {
  struct Case {
    std::int64_t type, heroX, heroY;
    std::int64_t damage, ramp;
  } cases[] = {
      {0, 100 - 15, 40, 0x10000, 0},  // the dangler's body at the box's left edge
      {0, 100 - 16, 40, 0, 0},        // just clear of it
      {0, 100, 40 + 13, 0, 0},        // below it
      {1, 100, 40, 0x8000, 0},        // bobber
      {5, 100, 30, 0x8000, 0},        // biting flier
      {6, 100, 40, 0, 0x8006},        // step walker
      {8, 100, 40, 0, 0x8002},        // eight-direction flier
      {13, 100, 40, 0x8000, 0},       // thrown thing
      {14, 100, 40, 0x8000, 0},       // patroller
  };
  for (const Case& k : cases) {
    count = 0;
    s.damage = s.energy_ramp = s.damage_show = 0;
    Actor a = add(k.type, 100, 40);
    a.setWord(actor::kWord46, k.type == 13 ? 0 : 1000);  // the thrown thing flies at once
    a.setWord(actor::kWord48, 40);                       // a flier's target: where it is
    a.setWord(actor::kRight, 1000);
    a.setWord(actor::kHigh, 1000);
    heroAt(k.heroX, k.heroY);
    step();
    EXPECT_EQ(s.damage, k.damage) << "type " << k.type << " at " << k.heroX << "," << k.heroY;
    EXPECT_EQ(s.energy_ramp, k.ramp) << "type " << k.type;
    if (k.ramp != 0) {
      EXPECT_EQ(s.damage_show, 120) << "type " << k.type;
    }
  }
  // A dying hero takes no damage.
  count = 0;
  s.damage = 0;
  s.dying = 1;
  add(0, 100, 40).setWord(actor::kWord46, 1000);
  heroAt(100, 40);
  step();
  EXPECT_EQ(s.damage, 0);
}

TEST_F(ActorTest, PatrollerTurnsAtItsLimits) {
  struct Case {
    std::int64_t type, x, direction, speed;
    std::int64_t x2, direction2;
    std::uint32_t attributes;
  } cases[] = {
      {14, 150, 1, 0x20000, 152, 1, 1},   // going right, mirrored
      {14, 199, 1, 0x20000, 200, -1, 0},  // passes the right limit: stops there and turns
      {14, 200, 1, 0, 200, 1, 1},         // on the limit without passing it
      {14, 51, -1, 0x20000, 50, 1, 1},    // passes the left limit
      {7, 102, -1, 0x18000, 100, -1, 0},  // a fraction left
      {7, 50, -1, 0x10000, 50, 1, 1},     // at the left limit going left
  };
  for (const Case& k : cases) {
    count = 0;
    Actor a = add(k.type, k.x, 60);
    a.setWord(actor::kLeft, 50);
    a.setWord(actor::kRight, 200);
    a.setWord(actor::kWord52, k.direction);
    a.setLong(actor::kSpeedX, k.speed);
    step();
    EXPECT_EQ(a.x(), k.x2) << k.x << " " << k.direction;
    EXPECT_EQ(a.word(actor::kWord52), k.direction2) << k.x << " " << k.direction;
    ASSERT_EQ(c.frameSprites.size(), 1u);
    EXPECT_EQ(c.frameSprites[0].attributes, k.attributes) << k.x << " " << k.direction;
  }
}

TEST_F(ActorTest, PatrollerSevenTakesItsFrameBaseByWord38) {
  for (std::int64_t look : {0, 1, 2, 3, -1}) {
    count = 0;
    Actor a = add(7, 100, 60);
    a.setWord(actor::kRight, 200);
    a.setWord(38, look);
    step();
    const std::int64_t word = look >= 0 && look <= 2 ? 4 + look : 7;
    ASSERT_EQ(c.frameSprites.size(), 1u);
    EXPECT_EQ(c.frameSprites[0].frame, static_cast<std::uint32_t>(100 + 10 * word)) << look;
  }
}

TEST_F(ActorTest, StepWalkerMovesOnlyWhenItsFrameComesDownFrom65Or66) {
  Actor a = add(6, 100, 60);
  a.setWord(actor::kLeft, 50);
  a.setWord(actor::kRight, 104);
  a.setWord(actor::kWord52, 1);
  // Frames 65, 64, 63, 66, 65, 64, ...: it moves on 66 -> 65 and 65 -> 64.
  const std::int64_t expected[] = {100, 102, 102, 102, 104, 102, 102, 102};
  for (std::int64_t x : expected) {
    step();
    EXPECT_EQ(a.x(), x);
  }
  EXPECT_EQ(a.word(actor::kWord52), -1);  // turned at x 104
}

TEST_F(ActorTest, FlierSeeksANewHeightInItsRangeAndWobbles) {
  Actor a = add(5, 100, 50);
  a.setWord(actor::kRight, 1000);
  a.setWord(actor::kLow, 60);
  a.setWord(actor::kHigh, 90);
  a.setWord(actor::kWord46, 1000);
  a.setWord(actor::kWord48, 50);  // on its target: a new one is drawn
  step();
  const std::int64_t target = a.word(actor::kWord48);
  EXPECT_GE(target, 60);
  EXPECT_LT(target, 90);
  EXPECT_EQ(a.longAt(actor::kY), (50 << 16) + 0x8000);
  // The wobble's phase moved on by 2: the table's word 1 lies under the sprite.
  ASSERT_EQ(c.frameSprites.size(), 1u);
  EXPECT_EQ(c.frameSprites[0].y, static_cast<std::uint32_t>(50 + 1 + 128));
  std::int64_t before = a.y();
  for (int i = 0; i < 200 && a.word(actor::kWord48) == target; ++i) {
    before = a.y();
    step();
  }
  EXPECT_NE(a.word(actor::kWord48), target);
  EXPECT_EQ(before, target);  // it reached the target before it took another
  // The wobble table wraps every 32 words.
  a.setWord(actor::kWord50, 0x3E);
  step();
  EXPECT_EQ(a.word(actor::kWord50), 0x40);
  EXPECT_EQ(c.frameSprites[0].y, static_cast<std::uint32_t>(a.y() + 0 + 128));
}

TEST_F(ActorTest, FlierPatrolsWithTurnsAtItsLimitsAndWhenItsTimerRunsOut) {
  struct Case {
    std::int64_t type, x, speed, timer;
    std::int64_t x2;
    bool turned;
    std::int64_t timerLow, timerHigh;
  } cases[] = {
      {5, 150, 0x20000, 10, 152, false, 9, 9},   // flying right, 2 pixels a frame
      {5, 150, 0x2FFFF, 10, 152, false, 9, 9},   // whole pixels only
      {5, 199, 0x20000, 10, 200, true, 29, 44},  // clamped at the right limit, turned
      {5, 150, 0x20000, 0, 152, true, 87, 87},   // the timer ran out
      {4, 51, -0x20000, 10, 50, true, 39, 70},   // 16.16 steps: clamped at the left limit
  };
  for (const Case& k : cases) {
    count = 0;
    Actor a = add(k.type, k.x, 50);
    a.setWord(actor::kLeft, 50);
    a.setWord(actor::kRight, 200);
    a.setWord(actor::kWord48, 50);
    a.setWord(actor::kLow, 50);
    a.setWord(actor::kHigh, 51);
    a.setWord(actor::kTurnTimer, k.timer);
    a.setLong(actor::kFlyX, k.speed);
    step();
    EXPECT_EQ(a.x(), k.x2) << k.type << " " << k.x;
    EXPECT_EQ(a.longAt(actor::kFlyX) * k.speed < 0, k.turned) << k.type << " " << k.x;
    EXPECT_GE(a.word(actor::kTurnTimer), k.timerLow) << k.type << " " << k.x;
    EXPECT_LE(a.word(actor::kTurnTimer), k.timerHigh) << k.type << " " << k.x;
  }
}

TEST_F(ActorTest, KnockingFlierThrowsAFreeHeroTheWayItFlies) {
  struct Case {
    std::int64_t speed, lock, fallMax, area;
    std::int64_t jump;
  } cases[] = {
      {-0x10000, 0, 0, 3, 2}, {0x10000, 0, 0, 3, 3},  {0x10000, 1, 0, 3, 0},
      {0x10000, 0, 42, 3, 0}, {0x10000, 0, 0, 50, 0},
  };
  for (const Case& k : cases) {
    count = 0;
    s.jump = 0;
    s.vy = 0;
    s.lock = k.lock;
    s.fall_max = k.fallMax;
    s.area = k.area;
    c.soundRequests.clear();
    Actor a = add(4, 100, 50);
    a.setWord(actor::kLeft, 0);
    a.setWord(actor::kRight, 1000);
    a.setWord(actor::kWord46, 1000);
    a.setWord(actor::kWord48, 50);
    a.setLong(actor::kFlyX, k.speed);
    heroAt(100, 45);
    step();
    EXPECT_EQ(s.jump, k.jump) << k.speed << " " << k.lock << " " << k.fallMax << " " << k.area;
    if (k.jump == 0) continue;
    EXPECT_EQ(s.vy, -0x3F000);
    EXPECT_EQ(s.fall_max, 42);
    EXPECT_EQ(s.anim, k.jump == 2 ? 0x00183E : 0x001852);
    EXPECT_TRUE(heard(15));
  }
}

TEST_F(ActorTest, EightWayFlierBouncesOffItsBoxAndStopsOnAnImpossibleWall) {
  Actor a = add(8, 51, 60);
  a.setWord(actor::kLeft, 50);
  a.setWord(actor::kRight, 200);
  a.setWord(actor::kLow, 40);
  a.setWord(actor::kWord46, 4);  // left
  a.setWord(actor::kWord48, 100);
  step();
  EXPECT_EQ(a.x(), 50);
  step();
  EXPECT_EQ(a.x(), 49 + 1);  // clamped and sent right by the left wall's list
  EXPECT_EQ(a.word(actor::kWord46), 0);
  // A corner at the top left.
  a.setWord(actor::kWord46, 5);
  a.setLong(actor::kY, 40 << 16);
  step();
  EXPECT_EQ(a.word(actor::kWord46), 1);
  EXPECT_EQ(a.y(), 40);
  // Its frame follows the area's frames: direction + 3, + 11 with the wings open.
  c.areaCache.firstSelectionFrames = 200;
  step();
  const std::uint32_t frame = c.frameSprites[0].frame;
  EXPECT_TRUE(frame == 200 + 1 + 3 || frame == 200 + 1 + 11) << frame;
  // Left and right at once has no list.
  a.setLong(actor::kX, 30 << 16);
  a.setWord(actor::kRight, 49);
  EXPECT_THROW(step(), sim::Stop);
  EXPECT_EQ(c.stopMessage, "type 8 hit an impossible wall combination ($00B5DC: the error screen)");
}

TEST_F(ActorTest, EightWayFlierFlapsItsWingsAndTurnsWhenItsTimerRunsOut) {
  Actor a = add(8, 100, 60);
  a.setWord(actor::kLeft, 0);
  a.setWord(actor::kRight, 1000);
  a.setWord(actor::kWord48, 2);
  std::vector<bool> open;
  for (int i = 0; i < 14; ++i) {
    step();
    open.push_back(c.frameSprites[0].frame >= 11);
  }
  EXPECT_EQ(open, (std::vector<bool>{true, true, true, false, false, false, false, true, true, true, false, false,
                                     false, false}));
  EXPECT_GE(a.word(actor::kWord48), 24 - 12);  // the timer ran out once and was drawn again
}

TEST_F(ActorTest, LeaperWaitsLeapsOnFrameSixAndLands) {
  Actor a = add(11, 100, 0);
  a.setWord(actor::kLow, 40);
  a.setWord(actor::kHigh, 50);
  a.setLong(actor::kFlyX, 0x20000);  // the leap's top speed
  a.setLong(actor::kAccelY, 0x4000);
  a.setWord(actor::kWord46, 2);    // the wait
  a.setWord(actor::kWord48, 2);    // inactive
  a.setWord(actor::kWord52, 100);  // the wait after a leap starts
  s.camera_x = 0;
  step(2);
  EXPECT_TRUE(c.frameSprites.empty());  // inactive: unseen
  EXPECT_EQ(a.y(), 0);
  step();  // the wait ran out: it stands at its top, leaping, first on frame 5
  EXPECT_EQ(a.word(actor::kWord48), 0);
  EXPECT_EQ(a.y(), 40);
  EXPECT_EQ(a.word(actor::kWord46), 100);
  ASSERT_EQ(c.frameSprites.size(), 1u);
  EXPECT_EQ(c.frameSprites[0].frame, 100u + 110u + 5u);
  step();  // frame 6: it moves and is drawn 4 pixels right
  EXPECT_EQ(a.longAt(actor::kY), (40 << 16) + 0x8000 + 0x4000);
  EXPECT_EQ(c.frameSprites[0].x, 100u + 4u + 128u);
  int frames = 0;
  while (a.word(actor::kWord48) == 0 && frames++ < 100) step();
  EXPECT_EQ(a.word(actor::kWord48), 1);
  EXPECT_EQ(a.longAt(actor::kY), 50 << 16);
  EXPECT_TRUE(heard(13));
  // Landed: frame 10 is not shown, frame 7 is.
  step();
  EXPECT_TRUE(c.frameSprites.empty());
  step();
  EXPECT_EQ(c.frameSprites.size(), 1u);
}

TEST_F(ActorTest, LeaperDrainsUnlessObject24IsCarried) {
  for (std::uint8_t carried : {0, 255}) {
    count = 0;
    s.energy_ramp = 0;
    s.item_flags[4] = carried;
    Actor a = add(11, 100, 50);
    a.setWord(actor::kWord46, 100);
    a.setWord(actor::kWord48, 1);
    heroAt(90, 40);
    step();
    EXPECT_EQ(s.energy_ramp, carried != 0 ? 0 : 0x8004);
  }
}

TEST_F(ActorTest, PeriodicHazardDrainsOnlyWhileActive) {
  Actor a = add(12, 100, 50);
  a.setWord(actor::kWord46, 2);
  a.setWord(actor::kWord50, 30);
  heroAt(95, 45);
  std::vector<int> drained, shown;
  for (int i = 0; i < 60; ++i) {
    s.energy_ramp = 0;
    step();
    drained.push_back(s.energy_ramp == 0x8006 ? 1 : 0);
    shown.push_back(c.frameSprites.empty() ? -1 : static_cast<int>(c.frameSprites[0].frame) - 200);
  }
  // Idle 2 frames, active 24 (frames 0, 1, 2 for 8 each), the end on the next; then idle 30 again.
  for (int i = 0; i < 60; ++i) {
    const bool active = (i >= 2 && i < 26) || i >= 57;
    EXPECT_EQ(drained[static_cast<std::size_t>(i)], active ? 1 : 0) << i;
    EXPECT_EQ(shown[static_cast<std::size_t>(i)], active ? ((i >= 57 ? i - 57 : i - 2) >> 3) : -1) << i;
  }
}

TEST_F(ActorTest, ThrownThingFliesAnArcAndStartsOverAfterItsWait) {
  Actor a = add(13, 100, 100);
  a.setWord(actor::kLeft, 100);
  a.setWord(actor::kLow, 100);
  a.setWord(actor::kHigh, 120);
  a.setLong(actor::kSpeedX, -0x10000);
  a.setLong(actor::kSpeedY, -0x30000);
  a.setLong(actor::kFlyX, -0x30000);  // the throw's speed
  a.setLong(actor::kAccelY, 0x4000);
  a.setLong(actor::kLimit, 0x28000);  // the fastest fall
  a.setWord(actor::kWord48, 5);       // the wait after each throw
  std::int64_t highest = 100, frames = 0;
  std::vector<std::uint32_t> seen;
  while (a.word(actor::kWord46) == 0 && frames++ < 500) {
    step();
    highest = std::min(highest, a.y());
    EXPECT_LE(a.longAt(actor::kSpeedY), 0x28000);
    if (seen.empty() || seen.back() != c.frameSprites[0].frame) seen.push_back(c.frameSprites[0].frame);
  }
  EXPECT_EQ(highest, 83);  // 2.75 + 2.5 + ... + 0.25 = 16.5 pixels up
  // Its frame went through the table by speed: rising fast (0) to falling (4); mirrored as it flies left.
  ASSERT_GE(seen.size(), 5u);
  EXPECT_EQ(std::vector<std::uint32_t>(seen.begin(), seen.begin() + 5),
            (std::vector<std::uint32_t>{220 + 0, 220 + 1, 220 + 2, 220 + 3, 220 + 4}));
  EXPECT_EQ(c.frameSprites[0].attributes, 1u);
  // It started over at its start point and waits unseen.
  EXPECT_EQ(a.x(), 100);
  EXPECT_EQ(a.y(), 100);
  EXPECT_EQ(a.longAt(actor::kSpeedY), -0x30000);
  step(5);
  EXPECT_TRUE(c.frameSprites.empty());
  step();
  EXPECT_FALSE(c.frameSprites.empty());
}

TEST_F(ActorTest, SwimmerSpeedsUpBrakesTurnsAndSwimsBack) {
  Actor a = add(9, 100, 60);
  a.setLong(actor::kFlyX, 0x4000);   // acceleration
  a.setLong(actor::kLeft, 0x10000);  // top speed (the long at 28)
  a.setLong(actor::kLow, 0x10000);   // the bob's limit
  std::vector<std::int64_t> states;
  std::int64_t furthest = 100;
  for (int i = 0; i < 60; ++i) {
    step();
    if (states.empty() || states.back() != a.word(actor::kWord52)) states.push_back(a.word(actor::kWord52));
    furthest = std::max(furthest, a.x());
  }
  // Right, turning to the left, left, turning to the right, right.
  ASSERT_GE(states.size(), 5u);
  EXPECT_EQ(std::vector<std::int64_t>(states.begin(), states.begin() + 5), (std::vector<std::int64_t>{0, 2, 1, 3, 0}));
  EXPECT_EQ(furthest, 100 + 5);  // 0.25 up to 1.0 and braking down again: 5 pixels
  // Swimming left it shows the mirrored frames.
  a.setWord(actor::kWord52, 1);
  a.setWord(actor::kWord54, 0);
  a.setLong(actor::kSpeedX, 0);
  step();
  EXPECT_EQ(a.longAt(actor::kSpeedX), -0x4000);
  EXPECT_EQ(c.frameSprites[0].attributes, 1u);
  EXPECT_LT(c.frameSprites[0].frame, 180u + 64u);
}

TEST_F(ActorTest, ThreadDanglerDrainsOnlyWhileItDrops) {
  Actor a = add(3, 100, 20);
  a.setWord(actor::kLow, 4);
  a.setWord(actor::kHigh, 40);
  a.setWord(actor::kWord48, 10);
  a.setWord(actor::kWord50, 10);
  a.setWord(actor::kWord52, 1);  // a pause ending now: it turns to drop
  a.setWord(actor::kWord46, 1);
  step();
  EXPECT_EQ(a.word(actor::kWord46), 0);
  EXPECT_EQ(a.longAt(actor::kSpeedY), 0x2000);
  int frames = 0;
  while (a.word(actor::kWord52) == 0 && frames++ < 200) {
    const std::int64_t before = a.longAt(actor::kWord54);
    step();
    if (a.word(actor::kWord52) == 0) {
      EXPECT_GT(a.longAt(actor::kWord54) - before, 0x2000 - 1);
    }
  }
  EXPECT_EQ(a.word(actor::kWord54), 40);  // held at the bottom
  EXPECT_GE(a.word(actor::kWord52), 10);
  // Touching it while it pauses or climbs drains nothing; while it drops it drains 20 points.
  heroAt(100, 20 + 40);
  s.energy_ramp = 0;
  step();
  EXPECT_EQ(s.energy_ramp, 0);
  a.setWord(actor::kWord52, 0);
  a.setLong(actor::kWord54, 30 << 16);
  step();
  EXPECT_EQ(s.energy_ramp, 0x8014);
  // Drawn: the marker, the thread and the body.
  EXPECT_EQ(spritesOfFrame(100), 1u);
  EXPECT_GE(spritesOfFrame(102), 4u);
  EXPECT_EQ(spritesOfFrame(101), 1u);
}

TEST_F(ActorTest, CreeperStepsLeftAtOnceAndRightAtTheEndOfItsStep) {
  Actor a = add(10, 100, 60);
  a.setWord(actor::kLeft, 96);
  a.setWord(actor::kRight, 200);
  a.setWord(actor::kWord54, 2);  // idles 3 frames
  step(2);
  EXPECT_EQ(a.word(actor::kLimit), 0);
  step();
  EXPECT_EQ(a.word(actor::kLimit), 2);
  EXPECT_EQ(a.x(), 96);
  EXPECT_NE(a.word(actor::kWord56), 0);                               // at the left limit it faces right
  for (int i = 0; i < 50 && a.word(actor::kLimit) == 2; ++i) step();  // on to its frame 10: the step ends
  EXPECT_TRUE(a.word(actor::kLimit) == 0 || a.word(actor::kLimit) == 1);
  EXPECT_EQ(a.x(), 96);
  EXPECT_EQ(a.word(actor::kAnim), 1);
  EXPECT_EQ(c.frameSprites[0].attributes, 16u);
  // The next step goes right, and lands only on its last frame.
  a.setWord(actor::kLimit, 3);
  step(3);
  EXPECT_EQ(a.x(), 96);
  step();
  EXPECT_EQ(a.x(), 100);
}

TEST_F(ActorTest, BobbersReverseAtTheirLimitAndTheRestingOneRests) {
  Actor a = add(1, 100, 60);
  a.setLong(actor::kLimit, 0x10000);
  a.setLong(actor::kAccelY, 0x4000);
  std::int64_t low = 60, high = 60;
  for (int i = 0; i < 100; ++i) {
    step();
    low = std::min(low, a.y());
    high = std::max(high, a.y());
    EXPECT_LE(std::abs(a.longAt(actor::kSpeedY)), 0x10000);
  }
  EXPECT_LT(low, high);
  EXPECT_LE(high - low, 10);
  a.setWord(actor::kWord46, 1);
  step();
  EXPECT_EQ(c.frameSprites[0].frame - (c.frameSprites[0].frame % 10 == 0 ? 0 : 1), 120u);

  count = 0;
  Actor r = add(2, 100, 60);
  r.setLong(actor::kFlyX, 0x10000);
  r.setLong(actor::kAccelY, -0x4000);
  r.setWord(actor::kWord54, 5);
  step(5);
  EXPECT_EQ(r.longAt(actor::kSpeedY), 0);  // resting
  EXPECT_EQ(r.word(actor::kWord52), 5);
  step();
  EXPECT_EQ(r.longAt(actor::kSpeedY), -0x4000);
  EXPECT_EQ(r.word(actor::kWord52), 0);
}

}  // namespace
