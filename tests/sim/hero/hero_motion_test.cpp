// The hero's walking, jumping, falling, landing and swimming on the small test world.
#include "hero_fixture.h"

#include "sim/hero/hero.h"
#include "sim/hero/hero_motion.h"

namespace {

using namespace hero_test;

TEST_F(HeroTest, RunningRightRampsUpToTwoPixelsOnTheNinthFrame) {
  startStanding(160);
  struct Row {
    std::int64_t x;
    std::int64_t dx;
    std::int64_t fast;
  };
  // x after each frame of holding RIGHT from rest: steps of 1, 1.125, 1.25 ... 2.
  const Row rows[] = {
      {0x00A10000, 1, 0}, {0x00A22000, 1, 0}, {0x00A36000, 1, 0}, {0x00A4C000, 1, 0}, {0x00A64000, 2, 1},
      {0x00A7E000, 1, 0}, {0x00A9A000, 2, 1}, {0x00AB8000, 2, 1}, {0x00AD8000, 2, 1}, {0x00AF8000, 2, 1},
  };
  for (const Row& r : rows) {
    run(kRight);
    EXPECT_EQ(s().x, r.x) << "frame " << s().speed_r;
    EXPECT_EQ(s().dx, r.dx) << "frame " << s().speed_r;
    EXPECT_EQ(s().fast, r.fast) << "frame " << s().speed_r;
  }
  EXPECT_EQ(s().speed_r, 9);
  EXPECT_EQ(s().speed_l, 0);
  EXPECT_EQ(s().facing, 1);
  EXPECT_EQ(ix(s().y), kRestY);  // the little bounces of walking keep him on the floor
  EXPECT_EQ(s().anim, 0x0017F6);
}

TEST_F(HeroTest, ReleasingTheDirectionOnTheGroundDropsTheFraction) {
  startStanding(160);
  run(kRight, 3);
  ASSERT_EQ(s().air, 0);  // back on the ground after a walking bounce
  ASSERT_EQ(s().x, 0x00A36000);
  run(0);
  EXPECT_EQ(s().x, fx(163));
  EXPECT_EQ(s().dx, 0);
  EXPECT_EQ(s().speed_r, 0);
  EXPECT_EQ(s().anim, 0x00180C);
}

TEST_F(HeroTest, InTheAirTheWalkKeepsItsDirectionWhateverIsHeld) {
  start(100, 40);  // high above the floor
  s().dx = -1;
  run(kRight, 5);
  EXPECT_LT(ix(s().x), 100);
  EXPECT_EQ(s().speed_r, 0);
  EXPECT_EQ(s().speed_l, 5);
}

TEST_F(HeroTest, WallsStopTheWalkAtTheProbeColumn) {
  fill(21, 200, 0, 208, 176);  // a wall right of the start
  fill(21, 96, 0, 104, 176);   // and one left of it
  struct Case {
    std::uint8_t pad;
    std::int64_t stop;
  };
  // The right probe is x + 18, the left one x + 6: they stop next to the wall's cells.
  for (const Case c : {Case{kRight, 200 - 19}, Case{kLeft, 104 - 6}}) {
    startStanding(150);
    run(c.pad, 60);  // fast enough to come in at two pixels a frame
    EXPECT_EQ(ix(s().x), c.stop) << int(c.pad);
    EXPECT_EQ(ix(s().y), kRestY);
  }
}

// dx is a word: a loaded state holding a wider value (here the word -2 with
// higher bits set) walks two pixels left instead of probing for ages.
TEST_F(HeroTest, AStepWiderThanAWordIsTakenAsItsWord) {
  startStanding(150);
  s().dx = (std::int64_t{1} << 40) | 0xFFFE;
  s().x_next = fx(148);
  sim::hero::Motion motion(sim().context(), 0);
  motion.horizontalMove();
  EXPECT_EQ(s().x, fx(148));
}

TEST_F(HeroTest, JumpsStartWithTheirSpeedByAreaSpringAndSinkingGround) {
  struct Case {
    int area;
    std::int64_t spring, sinking;
    std::uint8_t pad;
    std::int64_t jump, vy0;
  };
  const Case cases[] = {
      {8, 255, 0, kLeft | kC, 2, -0x47000},  // the spring only lifts jumps to the left
      {8, 255, 0, kRight | kC, 3, -0x3F000}, {8, 255, 0, kC, 1, -0x3F000},
      {8, 0, 0, kLeft | kC, 2, -0x3F000},    {21, 255, 0, kLeft | kC, 2, -0x3F000},  // and only in area 8
      {21, 0, 255, kC, 1, -0x43000},  // sinking ground gives a little more
  };
  fill(8, 0, kFloorTop, 320, 192);
  for (const Case& c : cases) {
    startStanding(160, c.area);
    s().spring = c.spring;
    s().sinking = c.sinking;
    run(c.pad);
    EXPECT_EQ(s().jump, c.jump) << c.area << " " << int(c.pad);
    EXPECT_EQ(s().vy, c.vy0 + 0x3B00) << c.area << " " << int(c.pad);  // gravity of the first frame
    EXPECT_EQ(s().anim_index, 0);                                      // the jump's sequence started this frame
  }
}

TEST_F(HeroTest, StraightJumpRisesFallsAndEndsOnItsLandingFrame) {
  startStanding(160);
  run(kC);
  ASSERT_EQ(s().jump, 1);
  EXPECT_EQ(s().anim, 0x001866);
  std::int64_t top = kRestY;
  int frames = 1;
  while (s().jump != 0 && frames < 100) {
    run(kC);  // holding C does not start another jump
    top = std::min(top, ix(s().y));
    ++frames;
  }
  EXPECT_LE(ix(s().y), kRestY + 4);  // landing at speed, his feet dig in
  EXPECT_EQ(s().sprite_frame, 23);
  EXPECT_EQ(kRestY - top, 32);  // the height of a jump
  EXPECT_GT(frames, 30);
  run(0, 4);  // he climbs out of the ground
  EXPECT_EQ(ix(s().y), kRestY);
  run(kC);  // free again: C jumps at once
  EXPECT_EQ(s().jump, 1);
}

TEST_F(HeroTest, AJumpLandingEarlyWaitsForItsLastFrame) {
  fill(21, 260, 0, 268, 176);  // a wall to run against meanwhile
  startStanding(160);
  // A slow somersault: its last frame comes long after the landing.
  sim_test::putWords(*f.rom, 0x001852, {20, 6, 11, 12, 13, 14, 15, 16, 16, 0xFFFF});
  run(kRight | kC);
  ASSERT_EQ(s().jump, 3);
  int landed = -1, ended = -1;
  for (int i = 1; i < 200 && ended < 0; ++i) {
    run(kC);
    if (landed < 0 && s().settled != 0) landed = i;
    if (s().jump == 0) ended = i;
  }
  EXPECT_GT(landed, 0);
  EXPECT_GT(ended, landed);
  EXPECT_GE(ended, 5 * 21);  // five frames of 21 steps come before frame 16
  EXPECT_EQ(s().sprite_frame, 16);
  EXPECT_EQ(ix(s().y), kRestY);
}

TEST_F(HeroTest, AJumpIntoACeilingStopsUnderItStillRising) {
  fill(21, 0, 120, 320, 128);  // a ceiling whose lowest row is y 127
  startStanding(160);
  run(kC);
  bool stopped = false;
  for (int i = 0; i < 40 && s().jump != 0; ++i) {
    EXPECT_GE(ix(s().y), 128);
    if (ix(s().y) == 128 && !stopped) {
      stopped = true;
      EXPECT_LT(s().vy, 0);  // still moving up: gravity turns him in its own time
    }
    run(0);
  }
  EXPECT_TRUE(stopped);
}

TEST_F(HeroTest, MinimumYOfTheAreaClampsInsteadOfTheCeilingProbe) {
  area(21).min_y = 140;
  start(160, kRestY);
  run(0, 4);
  run(kC, 10);
  EXPECT_EQ(ix(s().y), 140);
}

TEST_F(HeroTest, FallsOfMoreThanFortyFramesAtTopSpeedStunTheHero) {
  struct Case {
    std::int64_t framesBefore;
    bool stunned;
  };
  for (const Case c : {Case{39, false}, Case{40, true}}) {
    start(160, kRestY - 3);  // the next top-speed frame lands
    s().vy = 0x40000;
    s().fall_max = c.framesBefore;  // this frame makes one more
    run(kRight);
    EXPECT_EQ(s().settled, 1);
    EXPECT_EQ(s().fall_max, 0);
    EXPECT_EQ(s().stun, c.stunned ? 100 : 0) << c.framesBefore;
    EXPECT_EQ(s().anim == 0x0018AA, c.stunned) << c.framesBefore;
  }
  // Stunned: a hundred frames without control, then he walks.
  const std::int64_t x = s().x;
  run(kRight, 100);
  EXPECT_EQ(s().x, x);
  run(kRight);
  EXPECT_GT(s().x, x);
}

TEST_F(HeroTest, AHeroWithHisFeetInTheGroundClimbsOutAPixelAFrame) {
  start(160, kRestY + 3);
  std::vector<std::int64_t> ys;
  for (int i = 0; i < 5; ++i) {
    run(0);
    ys.push_back(ix(s().y));
  }
  EXPECT_EQ(ys, (std::vector<std::int64_t>{kRestY + 2, kRestY + 1, kRestY, kRestY, kRestY}));
}

TEST_F(HeroTest, SwimmingStrokes) {
  struct Case {
    const char* name;
    bool onBottom;
    std::uint8_t pad;
    bool stroke;
    std::int64_t dx;
    std::uint32_t anim;
    std::int64_t strokeStand;
  };
  const Case cases[] = {
      {"standing, no direction: straight up", true, kC, true, 0, 0x00180C, 1},
      {"standing, left: the step lifts him off first", true, kLeft | kC, true, -1, 0x00189C, 0},
      {"mid-water, right", false, kRight | kC, true, 1, 0x00188E, 0},
      {"mid-water, no direction: nothing", false, kC, false, 0, 0, 0},
  };
  for (const Case& c : cases) {
    if (c.onBottom) {
      startStanding(160);
    } else {
      start(160, 60);
      run(0);
    }
    swimming();
    s().stroke_ready = 1;
    const std::int64_t vyBefore = s().vy;
    run(c.pad);
    if (c.stroke) {
      EXPECT_EQ(s().vy, -0x30000 + 0x3B00) << c.name;
      EXPECT_EQ(s().stroke_ready, 0) << c.name;
      EXPECT_EQ(s().dx, c.dx) << c.name;
      EXPECT_EQ(s().anim, c.anim) << c.name;
      EXPECT_EQ(s().stroke_stand, c.strokeStand) << c.name;
    } else {
      EXPECT_EQ(s().vy, std::min<std::int64_t>(vyBefore + 0x3B00, 0x18000)) << c.name;
      EXPECT_EQ(s().stroke_ready, 1) << c.name;
    }
    EXPECT_EQ(s().jump, 0) << c.name;  // C never jumps in this mode
  }
}

TEST_F(HeroTest, OneStrokePerPressAndWaterSlowsTheSinking) {
  start(160, 40);
  swimming();
  s().stroke_ready = 1;
  run(kRight | kC);
  EXPECT_EQ(s().stroke_ready, 0);
  run(kRight | kC, 20);        // held: no second stroke
  EXPECT_EQ(s().vy, 0x18000);  // sinking at its top speed under water
  EXPECT_EQ(s().fall_max, 0);
  run(kRight);
  EXPECT_EQ(s().stroke_ready, 1);
  run(kRight | kC);
  EXPECT_EQ(s().vy, -0x30000 + 0x3B00);
}

TEST_F(HeroTest, TheSurfaceHoldsASwimmerUnlessHePushedOffTheBottom) {
  // From mid-water the stroke ends at the surface line (surface - 8).
  start(160, 100);
  swimming(100);
  s().stroke_ready = 1;
  run(kRight | kC);
  run(0, 8);
  std::int64_t top = 1000;
  for (int i = 0; i < 20; ++i) {
    s().stroke_ready = 1;
    run(kRight | kC);
    top = std::min(top, ix(s().y));
  }
  EXPECT_EQ(top, 92);
  EXPECT_EQ(s().surfaced, 0);

  // A stroke from the bottom breaks through.
  startStanding(160);
  swimming(160);
  s().stroke_ready = 1;
  run(kC);
  for (int i = 0; i < 10; ++i) run(0);
  EXPECT_EQ(s().surfaced, 1);
  EXPECT_LT(ix(s().y), 152);
}

TEST_F(HeroTest, StandingOnAMovingLiftFreezesControl) {
  startStanding(160);
  const std::int64_t lift = 2;
  s().lift_near = 0xA278 + 18 * lift - 0x10000;  // the RAM address's low word, signed
  auto setWord = [&](int word, std::int64_t v) {
    s().lifts[18 * lift + 2 * word] = static_cast<std::uint8_t>(v >> 8);
    s().lifts[18 * lift + 2 * word + 1] = static_cast<std::uint8_t>(v);
  };
  setWord(8, 1);  // standing
  setWord(6, 3);  // moving
  const std::int64_t x = s().x;
  run(kRight, 5);
  EXPECT_EQ(s().x, x);
  setWord(6, 0);  // still: he walks, but cannot leave by a jump
  run(kRight | kC);
  EXPECT_GT(s().x, x);
  EXPECT_EQ(s().jump, 3);
  EXPECT_EQ(s().vy, 0x3B00);

  s().lift_near = 0;
  s().flag_82bf = 255;  // held by a set piece or the rope
  const std::int64_t y = s().y;
  run(kRight, 5);
  EXPECT_EQ(s().y, y);
}

TEST_F(HeroTest, PlatformsOfferedForTheFrame) {
  startStanding(160);
  auto putLong = [&](std::size_t entry, std::uint32_t v) {
    for (int b = 0; b < 4; ++b) s().platforms[4 * entry + b] = static_cast<std::uint8_t>(v >> (24 - 8 * b));
  };
  // A RAM record (second slot of platform_recs): id 7, x offset 10, top 170, width 40, height 12, x base 150.
  const std::uint8_t record[12] = {0, 7, 0, 10, 0, 170, 0, 40, 0, 12, 0, 150};
  std::copy(std::begin(record), std::end(record), s().platform_recs.begin() + 12);
  putLong(0, 0xFF9F18);
  sim::hero::Motion motion(sim().context(), 0);
  motion.platforms();
  EXPECT_EQ(s().on_object, 7);  // feet row 175 lies in 170..181, x overlaps 160..200

  s().x = fx(300);
  motion.platforms();
  EXPECT_EQ(s().on_object, 0);

  putLong(0, 0xFF9F3C);  // past the 48 bytes of platform_recs
  EXPECT_THROW(motion.platforms(), sim::Stop);
}

// The edges of a platform: his feet row (y + 23) must lie strictly inside its rows, and his probe columns
// x + 6 and x + 18 strictly inside its columns. A foot on the top row itself is not standing on it.
TEST_F(HeroTest, PlatformEdgesAreStrict) {
  startStanding(160);
  struct Case {
    const char* name;
    std::int64_t x, top, height;
    std::int64_t onObject;
  };
  // A RAM record: id 7, x offset 10, x base 150 (left edge 160), width 40 (right edge 200).
  const Case cases[] = {
      {"feet one row under the top", 160, 174, 12, 7},    {"feet on the top row", 160, 175, 12, 0},
      {"feet on the last row", 160, 164, 12, 7},          {"feet just below the bottom", 160, 163, 12, 0},
      {"right probe one column inside", 143, 170, 12, 7}, {"right probe on the left edge", 142, 170, 12, 0},
      {"left probe one column inside", 193, 170, 12, 7},  {"left probe on the right edge", 194, 170, 12, 0},
  };
  for (const Case& c : cases) {
    const std::uint8_t record[12] = {
        0, 7, 0, 10, 0, static_cast<std::uint8_t>(c.top), 0, 40, 0, static_cast<std::uint8_t>(c.height), 0, 150};
    std::copy(std::begin(record), std::end(record), s().platform_recs.begin());
    const std::uint32_t address = 0xFF9F0C;
    for (int b = 0; b < 4; ++b) s().platforms[b] = static_cast<std::uint8_t>(address >> (24 - 8 * b));
    s().x = fx(c.x);
    s().y = fx(kRestY);  // feet row 175
    sim::hero::Motion motion(sim().context(), 0);
    motion.platforms();
    EXPECT_EQ(s().on_object, c.onObject) << c.name;
  }
}

// Giving ground: a hero at rest on it drops onto the ground's top row, and from there sinks into it
// 1/8 pixel every frame without climbing back out; on firm ground he stays where he stands.
TEST_F(HeroTest, SinkingGroundLetsAStandingHeroSinkSlowly) {
  for (const std::int64_t sinking : {0, 255}) {
    startStanding(160);
    s().sinking = sinking;
    run(0, 4);  // the ground gives: he falls the pixel onto its top row
    EXPECT_EQ(ix(s().y), sinking != 0 ? kRestY + 1 : kRestY) << "sinking " << sinking;
    for (int frame = 0; frame < 8; ++frame) {
      const std::int64_t before = s().y;
      run(0);
      EXPECT_EQ(s().y - before, sinking != 0 ? 0x2000 : 0) << "sinking " << sinking << ", frame " << frame;
      EXPECT_EQ(s().settled, 1) << "sinking " << sinking << ", frame " << frame;
    }
  }
}

}  // namespace
