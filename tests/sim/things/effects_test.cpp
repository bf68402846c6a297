// The small effects: showers started by the weather table and their drops, bubbles that burst at the
// surface or under a ceiling, the hero breathing them out, the fairy dust's sparkles, and falling effects.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "sim/core/big_endian.h"
#include "sim/core/context.h"
#include "sim/rom_view.h"
#include "sim/sim_fixture.h"
#include "sim/things/object_records.h"
#include "sim/things/things.h"
#include "world/world.h"

namespace {

using sim_test::putLong;
using sim_test::putWords;
namespace be = sim::be;

class EffectsTest : public ::testing::Test {
 protected:
  world::World world;
  sim::RomView rom;
  sim::Context c{world, rom};
  sim::GameState& s = c.state;

  EffectsTest() {
    putWords(rom, 0x004A22, {400, 560, 720, 900});
    putWords(rom, 0x004A2A, {3000, 4200, 5400, 7200});
    for (std::uint32_t k = 0; k < 16; ++k) {
      putLong(rom, 0x001BD2 + 8 * k, static_cast<std::uint32_t>(-0x8000));
      putLong(rom, 0x001BD2 + 8 * k + 4, static_cast<std::uint32_t>(-0x400));
    }
    putWords(rom, 0x001C52, {0, 0xFFFF, 1, 0xFFFF, 0xFFFF, 0xFFFF, 1, 0, 0xFFFF, 0, 1, 1, 0xFFFF, 1});
    s.camera_x = 100;
    s.rng = 0x12345678;
    c.areaCache.widthPixels = 640;
    c.areaCache.collision.assign(80 * 3, 0);
    for (std::size_t k = 0; k < 12; ++k) be::setWord(s.bubbles, 18 * k, -1);
  }

  // A solid 8 x 8 cell.
  void solidCell(std::int64_t x, std::int64_t y) {
    c.areaCache.collision[static_cast<std::size_t>(x / 8 * 3 + y / 64)] |=
        static_cast<std::uint8_t>(1 << ((y >> 3) & 7));
  }
  std::size_t spritesOf(std::uint32_t frame) const {
    std::size_t n = 0;
    for (const auto& call : c.frameSprites) n += call.frame == frame;
    return n;
  }
};

TEST_F(EffectsTest, AShowerStartsFromTheWeatherTableWhenTheDrySpellEnds) {
  struct Case {
    const char* name;
    std::int64_t wait, left;
    bool starts;
  } cases[] = {
      {"the last frame of the wait", 1, 0, true},
      {"frames still to wait", 5, 0, false},
      {"raining already", 1, 300, false},
  };
  for (const Case& k : cases) {
    s.rain_wait = k.wait;
    s.rain_left = k.left;
    s.rain_ramp = 50;
    sim::things::rainTimer(c);
    if (k.starts) {
      EXPECT_TRUE(s.rain_left == 400 || s.rain_left == 560 || s.rain_left == 720 || s.rain_left == 900) << k.name;
      EXPECT_TRUE(s.rain_wait == 3000 || s.rain_wait == 4200 || s.rain_wait == 5400 || s.rain_wait == 7200) << k.name;
      EXPECT_EQ(s.rain_ramp, 0) << k.name;
    } else {
      EXPECT_EQ(s.rain_left, k.left) << k.name;
      EXPECT_EQ(s.rain_wait, k.left != 0 ? k.wait : k.wait - 1) << k.name;
    }
  }
  // Over many showers every length and every dry spell of the table comes up.
  std::vector<bool> lengths(4), spells(4);
  for (int i = 0; i < 200; ++i) {
    s.rain_left = 0;
    s.rain_wait = 1;
    sim::things::rainTimer(c);
    for (std::size_t j = 0; j < 4; ++j) {
      lengths[j] = lengths[j] || s.rain_left == rom.wordAt(0x004A22 + 2 * static_cast<std::uint32_t>(j));
      spells[j] = spells[j] || s.rain_wait == rom.wordAt(0x004A2A + 2 * static_cast<std::uint32_t>(j));
    }
  }
  EXPECT_EQ(lengths, std::vector<bool>(4, true));
  EXPECT_EQ(spells, std::vector<bool>(4, true));
}

TEST_F(EffectsTest, DropsBuildUpThinOutAndStayOutOfDoors) {
  struct Case {
    std::int64_t ramp, left, indoors;
    std::size_t drops;
  } cases[] = {
      {0, 400, 0, 1},     // the first frame of a shower
      {47, 400, 0, 4},    // building up: ramp 48 after this frame
      {111, 400, 0, 8},   // full: as many as the rain left allows, at most 8
      {112, 49, 0, 4},    // ending: 48 left after this frame
      {112, 1, 0, 1},     // its last frame
      {50, 400, 255, 0},  // indoors: none drawn
      {0, 0, 0, 0},       // dry
  };
  for (const Case& k : cases) {
    c.frameSprites.clear();
    s.rain_ramp = k.ramp;
    s.rain_left = k.left;
    s.indoors = k.indoors;
    s.expression = 0;
    sim::things::rain(c);
    EXPECT_EQ(spritesOf(78), k.drops) << k.ramp << " " << k.left;
    EXPECT_EQ(s.rain_left, k.left == 0 ? 0 : k.left - 1);
    EXPECT_EQ(s.expression, k.drops != 0 ? 2 : 0);
  }
  // The Ore Chute's lit crystals sparkle instead, and the shower waits.
  c.frameSprites.clear();
  s.area = 43;
  s.flag_8305 = 255;
  s.rain_left = 400;
  c.areaCache.firstSelectionFrames = 85;
  sim::things::rain(c);
  EXPECT_EQ(spritesOf(95), 8u);
  EXPECT_EQ(s.rain_left, 400);
}

TEST_F(EffectsTest, ABubbleRisesAndBurstsAtTheSurfaceOrUnderACeiling) {
  struct Case {
    const char* name;
    std::int64_t surface, ceiling;  // y of a solid cell over the bubble, or -1
    std::int64_t burstAbove;        // the bubble bursts once its y is above this
  } cases[] = {
      {"at the surface", 100, -1, 100},
      {"under a ceiling", 0, 80, 84},
  };
  for (const Case& k : cases) {
    c.areaCache.collision.assign(80 * 3, 0);
    if (k.ceiling >= 0) solidCell(204, k.ceiling);
    s.water_surface = k.surface;
    be::setWord(s.bubbles, 0, 2);  // kind 2
    be::setWord(s.bubbles, 2, 0);
    be::setWord(s.bubbles, 4, 200);
    be::setLongWord(s.bubbles, 6, 160 << 16);
    be::setLongWord(s.bubbles, 10, static_cast<std::uint32_t>(-0x8000));
    be::setLongWord(s.bubbles, 14, static_cast<std::uint32_t>(-0x400));
    int frames = 0;
    while (be::word(s.bubbles, 2) == 0 && frames < 200) {
      c.frameSprites.clear();
      sim::things::bubbles(c);
      ++frames;
      if (be::word(s.bubbles, 2) == 0) EXPECT_EQ(spritesOf(36), 1u) << k.name;
    }
    const std::int64_t y = static_cast<std::int16_t>(be::longWord(s.bubbles, 6) >> 16);
    EXPECT_LT(y, k.burstAbove) << k.name;
    EXPECT_GT(y, k.burstAbove - 10) << k.name;
    EXPECT_EQ(spritesOf(39), 1u) << k.name;  // the burst shows at once
    // It shows bursting, still, for three more frames and is gone on the fourth.
    for (int i = 0; i < 3; ++i) {
      c.frameSprites.clear();
      sim::things::bubbles(c);
      EXPECT_EQ(spritesOf(39), 1u) << k.name;
    }
    EXPECT_EQ(static_cast<std::int16_t>(be::longWord(s.bubbles, 6) >> 16), y);
    c.frameSprites.clear();
    sim::things::bubbles(c);
    EXPECT_EQ(be::word(s.bubbles, 0), -1) << k.name;
    EXPECT_TRUE(c.frameSprites.empty()) << k.name;
  }
}

TEST_F(EffectsTest, TheHeroBreathesBubblesOnlyInWaterWithTheAirShell) {
  s.x = 300 << 16;
  s.y = 150 << 16;
  struct Case {
    std::int64_t inWater, shell;
    bool breathes;
  } cases[] = {{255, 255, true}, {0, 255, false}, {255, 0, false}};
  for (const Case& k : cases) {
    for (std::size_t r = 0; r < 12; ++r) be::setWord(s.bubbles, 18 * r, -1);
    s.variant_ad = k.inWater;
    s.item_flags[0] = static_cast<std::uint8_t>(k.shell);
    s.bubble_timer = 0;
    sim::things::bubbles(c);
    ASSERT_EQ(be::word(s.bubbles, 0) >= 0, k.breathes);
    if (!k.breathes) continue;
    EXPECT_GE(s.bubble_timer, 8);
    EXPECT_LE(s.bubble_timer, 23);
    EXPECT_LE(be::word(s.bubbles, 0), 2);
    const std::int64_t x = be::word(s.bubbles, 4);
    EXPECT_TRUE(x >= 302 && x <= 309) << x;
    EXPECT_EQ(be::longWord(s.bubbles, 6), static_cast<std::uint32_t>(157 << 16));
    EXPECT_EQ(be::longWord(s.bubbles, 10), static_cast<std::uint32_t>(-0x8000));
    EXPECT_EQ(be::longWord(s.bubbles, 14), static_cast<std::uint32_t>(-0x400));
  }
}

TEST_F(EffectsTest, SparklesDriftApartThinOutAndStop) {
  for (std::size_t r = 0; r < 8; ++r) {
    be::setWord(s.sparkles, 6 * r, 200);
    be::setWord(s.sparkles, 6 * r + 2, 100);
    be::setWord(s.sparkles, 6 * r + 4, static_cast<std::int64_t>(4 * r));
  }
  s.flag_82c7 = 255;
  s.sparkle_timer = 180;
  sim::things::sparkles(c);
  // Seven points (the eighth is never filled by a burst), each stepped once by its drift.
  EXPECT_EQ(c.frameSprites.size(), 7u);
  EXPECT_EQ(be::word(s.sparkles, 0), 200);
  EXPECT_EQ(be::word(s.sparkles, 2), 99);
  EXPECT_EQ(be::word(s.sparkles, 6), 201);
  EXPECT_EQ(be::word(s.sparkles, 42), 200);  // the eighth stays where it was
  EXPECT_EQ(c.frameSprites[0].frame, 81u);
  EXPECT_EQ(c.frameSprites[1].frame, 82u);
  // Three frames on the points have not moved again; the fourth steps them once more.
  for (int i = 0; i < 4; ++i) sim::things::sparkles(c);
  EXPECT_EQ(be::word(s.sparkles, 2), 98);
  // Near its end only the first shows, and then it stops.
  c.frameSprites.clear();
  s.sparkle_timer = 7;
  sim::things::sparkles(c);
  EXPECT_EQ(c.frameSprites.size(), 1u);
  for (int i = 0; i < 6; ++i) sim::things::sparkles(c);
  EXPECT_EQ(s.flag_82c7, 0);
  c.frameSprites.clear();
  sim::things::sparkles(c);
  EXPECT_TRUE(c.frameSprites.empty());
}

TEST_F(EffectsTest, AFallingEffectRisesFallsBackAndFadesThroughItsFrames) {
  sim::things::startFallingEffect(c, 250, 120);
  std::vector<std::uint32_t> frames;
  std::int64_t top = 120;
  for (int i = 0; i < 30 && be::word(s.effects, 0) != 0; ++i) {
    c.frameSprites.clear();
    sim::things::fallingEffects(c);
    if (!c.frameSprites.empty()) {
      frames.push_back(c.frameSprites[0].frame);
      EXPECT_EQ(c.frameSprites[0].x, 250u - 100 + 128);
      top = std::min<std::int64_t>(top, std::int64_t{c.frameSprites[0].y} - 128);
    }
  }
  // 24 frames shown, four of each in turn as its timer runs down (59, 58, 59, 60, 59, 58), then it ends.
  ASSERT_EQ(frames.size(), 24u);
  const std::uint32_t expected[6] = {59, 58, 59, 60, 59, 58};
  for (std::size_t i = 0; i < frames.size(); ++i) EXPECT_EQ(frames[i], expected[i / 4]) << i;
  EXPECT_EQ(be::word(s.effects, 0), 0);
  EXPECT_LT(top, 120);
  // Off screen it moves on unseen.
  s.camera_x = 400;
  sim::things::startFallingEffect(c, 250, 120);
  c.frameSprites.clear();
  sim::things::fallingEffects(c);
  EXPECT_TRUE(c.frameSprites.empty());
  EXPECT_NE(be::word(s.effects, 0), 0);
}

}  // namespace
