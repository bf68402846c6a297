// Lifts: landing in the basket, riding it with the controls frozen, the idle lift coming to the hero, the B
// press and the lift key.
#include <gtest/gtest.h>

#include <cstdint>

#include "sim/core/big_endian.h"
#include "sim/core/context.h"
#include "sim/rom_view.h"
#include "sim/things/things.h"
#include "world/world.h"

namespace {

constexpr std::int64_t kLiftX = 500, kLiftY = 0, kRopeMin = 78, kRopeMax = 142;
constexpr std::size_t kActive = 0, kRope = 10, kSpeed = 12, kCentred = 14, kStanding = 16;

class LiftTest : public ::testing::Test {
 protected:
  world::World world;
  sim::RomView rom;
  sim::Context c{world, rom};
  sim::GameState& s = c.state;

  LiftTest() {
    s.lifts.assign(162, 0);
    s.camera_x = 400;
    setLift(2, {1, kLiftX, kLiftY, kRopeMin, kRopeMax, kRopeMax, 0, 0, 0});
  }

  void setLift(int k, std::initializer_list<std::int64_t> words) {
    std::size_t at = static_cast<std::size_t>(k) * 18;
    for (std::int64_t w : words) {
      sim::be::setWord(s.lifts, at, w);
      at += 2;
    }
  }
  std::int64_t word(std::size_t at, int k = 2) const {
    return sim::be::word(s.lifts, static_cast<std::size_t>(k) * 18 + at);
  }

  // The hero standing on the basket's floor at x (pixels).
  void heroOnBasket(std::int64_t x) {
    s.x = x << 16;
    s.y = ((kLiftY + word(kRope)) << 16) + 0xAFFFF;
    s.vy = 0;
  }
  bool heard(std::int64_t effect) const {
    for (const auto& r : c.soundRequests)
      if (r.kind == sim::kSoundEffect && r.value == static_cast<std::uint32_t>(effect)) return true;
    return false;
  }
};

TEST_F(LiftTest, DrawsBasketAndRopeAndNamesItselfNear) {
  sim::things::lift(c, 2);
  EXPECT_EQ(s.lift_near & 0xFFFF, 0xA278 + 36);
  ASSERT_EQ(c.frameSprites.size(), static_cast<std::size_t>((kRopeMax >> 3) + 2));
  EXPECT_EQ(std::int64_t{c.frameSprites[0].x}, kLiftX - 400 + 128);
  EXPECT_EQ(std::int64_t{c.frameSprites[0].y}, kLiftY + kRopeMax + 128);
  EXPECT_EQ(c.frameSprites[0].frame, 79u);
  EXPECT_EQ(std::int64_t{c.frameSprites[1].x}, kLiftX - 400 + 136);
  EXPECT_EQ(std::int64_t{c.frameSprites[1].y}, kLiftY + 121 + (kRopeMax & 7));
  EXPECT_EQ(std::int64_t{c.frameSprites.back().y}, kLiftY + 121 + (kRopeMax & 7) + 8 * (kRopeMax >> 3));

  // Off screen: nothing, and lift_near is left alone.
  c.frameSprites.clear();
  s.lift_near = 0;
  s.camera_x = kLiftX + 25;
  sim::things::lift(c, 2);
  EXPECT_TRUE(c.frameSprites.empty());
  EXPECT_EQ(s.lift_near, 0);
}

TEST_F(LiftTest, LandingAndCentring) {
  struct Case {
    const char* name;
    std::int64_t x, yOffset, vy;
    bool standing, centred;
  } cases[] = {
      {"over the middle", kLiftX, 0, 0, true, true},          {"at the left rim", kLiftX - 15, 0, 0, true, false},
      {"past the left rim", kLiftX - 16, 0, 0, false, false}, {"at the right rim", kLiftX + 13, 0, 0, true, false},
      {"rising", kLiftX, 0, -0x10000, false, false},          {"far above", kLiftX, -20, 0, false, false},
  };
  for (const Case& k : cases) {
    heroOnBasket(k.x);
    s.y += k.yOffset << 16;
    s.vy = k.vy;
    sim::things::lift(c, 2);
    EXPECT_EQ(word(kStanding) != 0, k.standing) << k.name;
    EXPECT_EQ(word(kCentred) != 0, k.centred) << k.name;
    if (k.standing) {
      EXPECT_EQ(s.settled, 1) << k.name;
    }
  }
}

TEST_F(LiftTest, CarriesTheHeroUpAndDownWithHisControlFrozen) {
  heroOnBasket(kLiftX);
  sim::things::lift(c, 2);
  ASSERT_TRUE(sim::things::liftTakesB(c));
  EXPECT_EQ(word(kSpeed), -1);  // at the bottom it goes up
  EXPECT_TRUE(heard(14));
  int frames = 0;
  while (word(kSpeed) != 0 && frames < 500) {
    const std::int64_t before = s.y;
    sim::things::lift(c, 2);
    if (word(kSpeed) != 0) {
      EXPECT_EQ(s.y - before, -0x10000);
      EXPECT_EQ(s.expression, 1);
    }
    ++frames;
  }
  EXPECT_EQ(word(kRope), kRopeMin);
  EXPECT_TRUE(heard(23));
  EXPECT_EQ(s.y >> 16, kLiftY + kRopeMin + 10);

  // At the top B sends it down again.
  sim::things::lift(c, 2);
  ASSERT_TRUE(sim::things::liftTakesB(c));
  EXPECT_EQ(word(kSpeed), 1);
  for (int i = 0; i < 10; ++i) sim::things::lift(c, 2);
  EXPECT_EQ(word(kRope), kRopeMin + 10);
  EXPECT_EQ(s.y >> 16, kLiftY + kRopeMin + 20);
  EXPECT_NE(word(kStanding), 0);
  EXPECT_NE(word(kSpeed), 0);  // the hero's control is frozen while this holds
}

TEST_F(LiftTest, BIsTakenOnlyWhenActiveCentredAndStill) {
  heroOnBasket(kLiftX - 10);  // standing, not centred
  sim::things::lift(c, 2);
  EXPECT_FALSE(sim::things::liftTakesB(c));
  setLift(2, {0, kLiftX, kLiftY, kRopeMin, kRopeMax, kRopeMax, 0, 0, 0});
  heroOnBasket(kLiftX);
  sim::things::lift(c, 2);
  EXPECT_FALSE(sim::things::liftTakesB(c));  // inactive
  s.lift_near = 0;
  EXPECT_FALSE(sim::things::liftTakesB(c));  // no lift here
}

TEST_F(LiftTest, IdleLiftFollowsOnlyBeyondSixtyBelowAndFiftyAbove) {
  struct Case {
    std::int64_t rope, heroY, speed;
  } cases[] = {
      {kRopeMin, kLiftY + kRopeMin + 60, 0},   // 60 below: stays
      {kRopeMin, kLiftY + kRopeMin + 61, 3},   // 61 below: comes down
      {kRopeMax, kLiftY + kRopeMax + 61, 0},   // already at the bottom
      {kRopeMax, kLiftY + kRopeMax - 50, 0},   // 50 above: stays
      {kRopeMax, kLiftY + kRopeMax - 51, -3},  // 51 above: comes up
      {kRopeMin, kLiftY + kRopeMin - 51, 0},   // already at the top
  };
  for (const Case& k : cases) {
    setLift(2, {1, kLiftX, kLiftY, kRopeMin, kRopeMax, k.rope, 0, 0, 0});
    s.x = (kLiftX + 200) << 16;
    s.y = k.heroY << 16;
    sim::things::lift(c, 2);
    EXPECT_EQ(word(kSpeed), k.speed) << k.rope << " " << k.heroY;
  }
}

TEST_F(LiftTest, KeyStartsTheLiftOnlyWhenCentred) {
  setLift(3, {0, kLiftX, kLiftY, kRopeMin, kRopeMax, kRopeMax, 0, 0, 0});
  EXPECT_FALSE(sim::things::activateLiftByKey(c, 3));
  EXPECT_EQ(word(kActive, 3), 0);
  setLift(3, {0, kLiftX, kLiftY, kRopeMin, kRopeMax, kRopeMax, 0, 1, 1});
  EXPECT_TRUE(sim::things::activateLiftByKey(c, 3));
  EXPECT_EQ(word(kActive, 3), 1);
  EXPECT_EQ(word(kSpeed, 3), -1);
  EXPECT_FALSE(sim::things::activateLiftByKey(c, 9));  // no such lift
}

}  // namespace
