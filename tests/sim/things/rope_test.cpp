// The rope: taking it at a rope place, the points of its swing, letting it down, the throw at the release
// phase in the rope's direction, and drawing it up again.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "sim/core/big_endian.h"
#include "sim/core/context.h"
#include "sim/rom_view.h"
#include "sim/sim_fixture.h"
#include "sim/things/things.h"
#include "world/world.h"

namespace {

using sim_test::putWords;

constexpr std::int64_t kPivotX = 400, kPivotY = 40, kLength = 96, kCount = 12;

class RopeTest : public ::testing::Test {
 protected:
  world::World world;
  sim::RomView rom;
  sim::Context c{world, rom};
  sim::GameState& s = c.state;

  RopeTest() {
    std::vector<std::uint16_t> swing(512);
    for (std::size_t i = 0; i < swing.size(); ++i)
      swing[i] = static_cast<std::uint16_t>(std::lround(8192 * std::cos(2 * std::acos(-1.0) * i / 512.0)));
    putWords(rom, 0x014C20, swing);
    // Record 0: thrown right at phase 960; record 1: a single segment hanging from the same hook.
    putRecord(0, {kPivotX, kPivotY, 768, 960, kCount, kLength, 850, 6, 1, 16});
    putRecord(1, {kPivotX, kPivotY, 256, 448, 0, kLength, 850, 6, 0, 0});
    std::vector<std::uint16_t> places(50, 0xFFFF);
    putWords(rom, 0x0052C0, places);
    putWords(rom, 0x0052C0, {3, 398, 132, 4, 8});       // place 0: area 3, under the hook
    putWords(rom, 0x0052C0 + 10, {5, 398, 132, 4, 8});  // place 1: the same spot in area 5
    s.area = 3;
    s.camera_x = 300;
    heroAt(390, 131);
  }

  void putRecord(std::uint32_t k, std::vector<std::int64_t> words) {
    std::vector<std::uint16_t> w;
    for (std::int64_t v : words) w.push_back(static_cast<std::uint16_t>(v));
    putWords(rom, 0x0051F8 + 20 * k, w);
  }
  void heroAt(std::int64_t x, std::int64_t y) {
    s.x = x << 16;
    s.y = y << 16;
  }
  std::int64_t rope(std::size_t at) const { return sim::be::word(s.rope, at); }
  std::int64_t pointX(std::size_t i) const { return sim::be::word(s.rope_pts, 4 * i); }
  std::int64_t pointY(std::size_t i) const { return sim::be::word(s.rope_pts, 4 * i + 2); }
};

TEST_F(RopeTest, TakenOnlyAtAPlaceOfTheAreaWhileNoRopeIsOut) {
  struct Case {
    const char* name;
    std::int64_t area, x, y, ropeOut;
    bool taken;
  } cases[] = {
      {"under the hook", 3, 390, 131, 0, true},   {"at the place's left reach", 3, 379, 131, 0, true},
      {"just past it", 3, 378, 131, 0, false},    {"high above it", 3, 390, 100, 0, false},
      {"in another area", 4, 390, 131, 0, false}, {"a rope still out", 3, 390, 131, 255, false},
  };
  for (const Case& k : cases) {
    s = sim::GameState();
    s.area = k.area;
    s.flag_82e3 = k.ropeOut;
    heroAt(k.x, k.y);
    EXPECT_EQ(sim::things::takeRopeHere(c), k.taken) << k.name;
    EXPECT_EQ(s.flag_82bf != 0, k.taken) << k.name;
  }
}

TEST_F(RopeTest, TakingCopiesTheRecordAndHoldsTheHero) {
  s.settled = 1;
  s.flag_82e5 = s.flag_82e6 = 255;
  ASSERT_TRUE(sim::things::takeRopeHere(c));
  // Phase, length, factor, count, shown, speed, release, pivot, direction, decrease.
  const std::int64_t expected[12][2] = {{2, 768},  {4, kLength},  {6, 850},      {8, kCount}, {10, 0},  {12, 6},
                                        {14, 960}, {16, kPivotX}, {18, kPivotY}, {20, 1},     {22, 16}, {0, 0}};
  for (const auto& [at, value] : expected) EXPECT_EQ(rope(static_cast<std::size_t>(at)), value) << "byte " << at;
  EXPECT_EQ(s.flag_82e3, 255);
  EXPECT_EQ(s.flag_82e4, 255);
  EXPECT_EQ(s.settled, 0);
  EXPECT_EQ(s.flag_82e5, 0);
  EXPECT_EQ(s.flag_82e6, 0);
}

TEST_F(RopeTest, ThePointsHangFromTheHookAndSwingOut) {
  ASSERT_TRUE(sim::things::takeRopeHere(c));
  struct Case {
    std::int64_t phase, factor, x0, y0;
  } cases[] = {
      {768, 850, kPivotX, kPivotY + kLength},   // straight down
      {256, 850, kPivotX, kPivotY + kLength},   // straight down, the other way
      {0, 1024, kPivotX + kLength, kPivotY},    // level with the hook, to the right
      {512, 1024, kPivotX - kLength, kPivotY},  // and to the left
  };
  for (const Case& k : cases) {
    sim::be::setWord(s.rope, 2, k.phase);
    sim::be::setWord(s.rope, 6, k.factor);
    sim::be::setWord(s.rope, 22, 0);
    sim::things::ropeStep(c);
    EXPECT_EQ(pointX(0), k.x0) << k.phase;
    EXPECT_EQ(pointY(0), k.y0) << k.phase;
    // Each point lies a twelfth of the length nearer the hook; the last is the hook.
    EXPECT_EQ(pointX(kCount), kPivotX) << k.phase;
    EXPECT_EQ(pointY(kCount), kPivotY) << k.phase;
    if (k.phase == 768) {
      EXPECT_EQ(pointY(1), kPivotY + kLength - kLength / kCount);
    }
    sim::be::setWord(s.rope, 2, k.phase);  // ropeStep may have moved it on
  }
}

TEST_F(RopeTest, LetDownSwungThrownAndDrawnUp) {
  heroAt(390, 131);
  ASSERT_TRUE(sim::things::takeRopeHere(c));
  // Let down one segment a frame from the hook; the hero hangs from the end meanwhile.
  for (std::int64_t frame = 1; frame <= kCount; ++frame) {
    c.frameSprites.clear();
    sim::things::ropeStep(c);
    EXPECT_EQ(rope(10), frame);
    EXPECT_EQ(static_cast<std::int64_t>(c.frameSprites.size()), frame);
    EXPECT_EQ(std::int64_t{c.frameSprites.front().y}, kPivotY + 128);  // the knot at the hook comes first
    EXPECT_EQ(s.x >> 16, kPivotX - 10);
    EXPECT_EQ(s.y >> 16, kPivotY + kLength - 5);
    EXPECT_EQ(s.sprite_frame, 2);
  }
  EXPECT_EQ(s.flag_82e5, 255);
  // Swinging right and up until the release phase throws him into a side jump to the right.
  int frames = 0;
  std::int64_t lastY = s.y >> 16;
  while (s.flag_82e4 != 0 && frames < 100) {
    sim::things::ropeStep(c);
    if (s.flag_82e4 != 0) {
      EXPECT_LE(s.y >> 16, lastY);
      lastY = s.y >> 16;
    }
    ++frames;
  }
  EXPECT_EQ(frames, (960 - 768) / 6 - 1);  // the frame the last segment came down swung too
  EXPECT_GT(s.x >> 16, kPivotX);
  EXPECT_EQ(s.flag_82bf, 0);
  EXPECT_EQ(s.flag_82e6, 255);
  EXPECT_EQ(s.jump, 3);
  EXPECT_EQ(s.speed_r, 1);
  EXPECT_EQ(s.vy, -0x3F000);
  EXPECT_EQ(s.anim, 0x001852);
  EXPECT_EQ(s.x & 0xFFFF, 0);
  // The rope is drawn up, one segment a frame from the throw on, and is gone after that.
  EXPECT_EQ(rope(10), kCount - 1);
  for (std::int64_t i = 0; i < kCount; ++i) sim::things::ropeStep(c);
  EXPECT_EQ(s.flag_82e3, 0);
  EXPECT_EQ(s.flag_82e6, 0);
}

TEST_F(RopeTest, ALeftRopeThrowsToTheLeftAndAnEmptyCountIsOnePoint) {
  s.area = 5;
  ASSERT_TRUE(sim::things::takeRopeHere(c));
  EXPECT_EQ(rope(8), 0);
  // No segments: the rope is let down at once and its one point hangs at the full length.
  sim::things::ropeStep(c);
  EXPECT_EQ(s.flag_82e5, 255);
  EXPECT_EQ(pointY(0), kPivotY + kLength);
  for (int i = 0; i < 100 && s.flag_82e4 != 0; ++i) sim::things::ropeStep(c);
  EXPECT_EQ(s.jump, 2);
  EXPECT_EQ(s.speed_l, 1);
  EXPECT_EQ(s.anim, 0x00183E);
  EXPECT_LT(s.x >> 16, kPivotX - 10);
  EXPECT_EQ(s.sprite_frame, 130);  // he hung facing left
}

}  // namespace
