// Items act when the hero touches them: hazards hurt and stay, food and fruit heal, stars count down.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

#include "sim/things/things_fixture.h"

namespace {

using things_test::ThingsTest;
namespace th = sim::things;

constexpr std::int64_t kX = 100;

// The dot font and the counter's places as the data set lays them out, and the sine tables.
void putStarCounterTables(sim::RomView& rom) {
  std::vector<std::uint16_t> places;
  for (int row = 0; row < 5; ++row)
    for (int p = 0; p < 12; ++p) {
      places.push_back(static_cast<std::uint16_t>(16 * p - 80));
      places.push_back(static_cast<std::uint16_t>(16 * row - 32));
    }
  sim_test::putWords(rom, 0x003D5E, places);
  const char* font[10] = {"111101101101111", "010110010010111", "111001111100111", "111001011001111",
                          "101101111001001", "111100111001111", "111100111101111", "111001001010010",
                          "111101111101111", "111101111001111"};
  std::vector<std::uint8_t> bytes;
  for (const char* d : font)
    for (int i = 0; i < 15; ++i) bytes.push_back(d[i] == '1' ? 1 : 0);
  rom.put(0x003E4E, bytes);
  std::vector<std::uint16_t> sine;
  for (int i = 0; i < 320; ++i)
    sine.push_back(
        static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(32767 * std::sin(i * M_PI / 128)))));
  sim_test::putWords(rom, 0x014820, sine);
}

class ItemTest : public ThingsTest {
 protected:
  ItemTest() { putStarCounterTables(*f.rom); }

  void withItem(std::int16_t type, std::int16_t frame, std::int16_t flag = 3, std::int16_t x = kX) {
    // It lies out of reach while the hero comes to rest, then where the test wants it.
    HeroTest::area(21).items = {{flag, type, 1000, 160, frame}};
    startWithObjects(kX);
    HeroTest::area(21).items[0].x = x;
    sim().soundRequests().clear();
  }
  bool taken(std::int16_t flag = 3) { return (s().flags[flag >> 3] >> (flag & 7)) & 1; }
  std::vector<sim::SpriteCall> itemSprites() {
    std::vector<sim::SpriteCall> out;
    for (const sim::SpriteCall& call : ctx().frameSprites)
      if (call.caller == 0x00375C) out.push_back(call);
    return out;
  }
};

TEST_F(ItemTest, TouchingAnItemActsByItsType) {
  struct Case {
    const char* name;
    std::int16_t type, frame;
    std::function<void(sim::GameState&)> setUp;
    bool taken;
    std::int64_t damage, ramp, score, starsLeft;
    int effect;
    std::int64_t drawnFrame;  // -1: not drawn
  };
  auto hurt = [](sim::GameState& s) { s.damage = 2 << 16; };
  auto none = [](sim::GameState&) {};
  const Case cases[] = {
      {"a hazard hurts and stays", 0, 2, none, false, 0x8000, 0, 0, 250, 4, 42},
      {"food heals", 1, 77, hurt, true, 2 << 16, 30, 0, 250, 9, 77},
      {"a star counts", 2, 0, none, true, 0, 0, 20, 249, 10, 52},
      {"a tower star counts", 4, 0, none, true, 0, 0, 20, 249, 10, 52},
      {"fruit heals more", 5, 1, hurt, true, 2 << 16, 63, 0, 250, 18, 53 + 30 - 52},
      {"scenery is never touched", 3, 1, none, false, 0, 0, 0, 250, 0, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    withItem(c.type, c.frame);
    sim::GameState& st = s();
    c.setUp(st);
    sim::be::setWord(st.frame_bases, 26, 30);
    st.hazard_phase_timer = st.star_phase_timer = 3;  // no rotation this frame
    for (std::size_t w = 0; w < 6; ++w) {
      if (w < 4) sim::be::setWord(st.hazard_phases, 2 * w, static_cast<std::int64_t>(w));
      sim::be::setWord(st.star_phases, 2 * w, 52 + static_cast<std::int64_t>(w));
    }
    ctx().frameSprites.clear();
    th::itemsAndHazards(ctx());
    EXPECT_EQ(taken(), c.taken);
    EXPECT_EQ(st.damage, c.damage);
    EXPECT_EQ(st.energy_ramp, c.ramp);
    EXPECT_EQ(st.score, c.score);
    EXPECT_EQ(st.stars_left, c.starsLeft);
    if (c.effect != 0) EXPECT_TRUE(effectRequested(static_cast<std::uint32_t>(c.effect)));
    const auto drawn = itemSprites();
    if (c.drawnFrame < 0) {
      EXPECT_TRUE(drawn.empty());
    } else {
      ASSERT_EQ(drawn.size(), 1u);
      EXPECT_EQ(drawn[0].frame, c.drawnFrame);
    }
    if (c.type == 1 || c.type == 5) {
      EXPECT_EQ(st.damage_show, 120);
      EXPECT_NE(sim::be::word(st.effects, 0), 0) << "a twinkle where it lay";
    }
  }
}

TEST_F(ItemTest, ATakenItemIsGoneAndAHazardSparesTheDying) {
  withItem(2, 0);
  s().flags[0] = 1 << 3;
  ctx().frameSprites.clear();
  th::itemsAndHazards(ctx());
  EXPECT_TRUE(itemSprites().empty());
  EXPECT_EQ(s().score, 0);

  withItem(0, 0);
  s().dying = 1;
  th::itemsAndHazards(ctx());
  EXPECT_EQ(s().damage, 0);
}

// Departure: a flag beyond the 1024 bits of `flags` would read and write past the block; such an item is
// left out.
TEST_F(ItemTest, AnItemWithAFlagBeyondTheBlockIsLeftOut) {
  withItem(2, 0, 5000);
  ctx().frameSprites.clear();
  th::itemsAndHazards(ctx());
  EXPECT_TRUE(itemSprites().empty());
  EXPECT_EQ(s().score, 0);
  EXPECT_EQ(s().stars_left, 250);
}

TEST_F(ItemTest, BadItemsStopTheGame) {
  struct Case {
    std::int16_t type, frame;
    const char* message;
  };
  const Case cases[] = {
      {6, 0, "an item type above 5 ($00375C)"},
      {0, 4, "a hazard phase outside FFA06C"},
      {3, 4, "a hazard phase outside FFA06C"},
      {5, 6, "a fruit phase outside FFA074"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    HeroTest::area(21).items = {{3, c.type, 200, 160, c.frame}};
    f.started();
    EXPECT_FALSE(sim().teleport(21, kX, things_test::kRestY));
    EXPECT_EQ(sim().stopMessage(), c.message);
  }
}

TEST_F(ItemTest, ThePhasesRotateEverySixthFrame) {
  withItem(0, 0, 3, 250);
  sim::GameState& st = s();
  st.hazard_phase_timer = 0;
  const auto phases = st.hazard_phases;
  th::itemsAndHazards(ctx());
  EXPECT_EQ(st.hazard_phase_timer, 5);
  EXPECT_EQ(sim::be::word(st.hazard_phases, 0), sim::be::word(phases, 6));
  EXPECT_EQ(sim::be::word(st.hazard_phases, 2), sim::be::word(phases, 0));
  for (int i = 0; i < 5; ++i) th::itemsAndHazards(ctx());
  EXPECT_EQ(sim::be::word(st.hazard_phases, 0), sim::be::word(phases, 6));
  th::itemsAndHazards(ctx());
  EXPECT_EQ(sim::be::word(st.hazard_phases, 0), sim::be::word(phases, 4));
}

// The counter spells the stars left in dots, centred on the middle point of each row.
TEST_F(ItemTest, TheStarCounterSpellsTheStarsLeft) {
  struct Case {
    std::int64_t before, after;
    std::int64_t points;
    std::int64_t firstX;  // the first dot's place (row 0)
  };
  const Case cases[] = {
      {251, 250, 11 + 11 + 12, -80},  // three digits
      {11, 10, 8 + 12, -32},          // two: the first dot is the 1's middle column
      {1, 0, 12, -16},                // one
      {0, 0, 12, -16},                // none left: still 20 points, the counter shows 0
      {1001, 0, 12, -16},             // the count is shown modulo 1000
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.before);
    withItem(2, 0);
    sim::GameState& st = s();
    st.stars_left = c.before;
    th::itemsAndHazards(ctx());
    EXPECT_EQ(st.stars_left, c.before == 1001 ? 1000 : c.after);
    EXPECT_EQ(st.score, 20);
    EXPECT_EQ(st.star_points_n, c.points);
    EXPECT_EQ(sim::be::word(st.star_points, 0), c.firstX);
    EXPECT_EQ(sim::be::word(st.star_points, 2), -32);
    const auto end = static_cast<std::size_t>(4 * c.points);
    EXPECT_EQ(std::string(st.star_points.begin() + end, st.star_points.begin() + end + 4), "DEL!");
    EXPECT_EQ(st.star_show, 200);
    EXPECT_EQ(st.star_angle, 180);
    EXPECT_EQ(st.star_scale, 0x7FFF);
  }
}

TEST_F(ItemTest, TheLastStarRaisesTheAllStarsEventOnce) {
  withItem(2, 0);
  s().stars_left = 1;
  run(0);
  EXPECT_EQ(s().stars_left, 0);
  EXPECT_EQ(s().flag_82fa, 255);
  EXPECT_EQ(s().screen_kind, sim::kEventScreen);
}

TEST_F(ItemTest, TheCounterTurnsShrinksAndGrowsBack) {
  struct Case {
    std::int64_t show, angle, scale;
    std::int64_t angleAfter, scaleAfter;
  };
  const Case cases[] = {
      {200, 180, 0x7FFF, 176, 0x7FFF - 528},
      {100, 0, 9300, 0, 9216},     // still and as small as it gets
      {41, 0, 9216, 0x1F8, 9744},  // the turn back: two steps from 0
      {41, 4, 9216, 0, 9744},      // one step when the first reaches 0
      {10, 8, 0x7F00, 4, 0x7FFF},  // grown to full size
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.show);
    withItem(2, 0, 3, 250);
    sim::GameState& st = s();
    st.star_points_n = 0;
    st.star_show = c.show;
    st.star_angle = c.angle;
    st.star_scale = c.scale;
    th::starCountDisplay(ctx());
    EXPECT_EQ(st.star_show, c.show - 1);
    EXPECT_EQ(st.star_angle, c.angleAfter);
    EXPECT_EQ(st.star_scale, c.scaleAfter);
  }
}

TEST_F(ItemTest, TheCounterDrawsItsDotsAroundTheMiddle) {
  withItem(2, 0);
  th::itemsAndHazards(ctx());  // 249 left
  sim::GameState& st = s();
  st.star_angle = 0;
  ctx().frameSprites.clear();
  th::starCountDisplay(ctx());
  std::vector<sim::SpriteCall> dots;
  for (const sim::SpriteCall& call : ctx().frameSprites)
    if (call.caller == 0x003B8C) dots.push_back(call);
  ASSERT_EQ(dots.size(), static_cast<std::size_t>(st.star_points_n));
  // Unturned at full size: the first dot (-80, -32) lands 80 left of and 32 above the middle.
  EXPECT_EQ(dots[0].x, 288u - 80);
  EXPECT_EQ(dots[0].y, 224u - 32);
  EXPECT_EQ(dots[0].attributes, 16u);
  EXPECT_EQ(dots[0].frame, static_cast<std::uint32_t>(sim::be::word(st.star_phases, 2)));
  EXPECT_EQ(dots[1].frame, static_cast<std::uint32_t>(sim::be::word(st.star_phases, 4)));

  // Departure: a point count from a damaged save reads no more than the block's 46 points.
  st.star_points_n = 5000;
  st.star_show = 10;
  ctx().frameSprites.clear();
  th::starCountDisplay(ctx());
  EXPECT_LE(ctx().frameSprites.size(), 46u);
}

}  // namespace
