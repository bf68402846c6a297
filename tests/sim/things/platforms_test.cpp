// Platforms: a record offered in one frame holds the hero up in the next frame's motion, a platform that
// moves carries him, and the list of eight ignores a ninth.
#include <gtest/gtest.h>

#include <cstdint>

#include "sim/core/big_endian.h"
#include "sim/hero/hero_fixture.h"
#include "sim/things/things.h"

namespace {

using hero_test::ix;
using sim_test::putWords;

constexpr std::uint32_t kRomPlatform = 0x00A9E4;  // id 4, top 120, 32 wide from x 100
constexpr std::uint32_t kRamPlatform = 0xFF9F18;  // the second record of platform_recs
constexpr std::int64_t kTop = 120;

class PlatformTest : public hero_test::HeroTest {
 protected:
  PlatformTest() { putWords(*f.rom, kRomPlatform, {4, 100, kTop, 32, 8, 0}); }

  sim::Context& ctx() { return sim().context(); }
  // What an area handler does every frame after the hero's motion: offer the platform for the next one.
  void frame(std::uint32_t record, std::uint8_t pad = 0) {
    run(pad);
    sim::things::offerPlatform(ctx(), record);
  }
  void setRamPlatform(std::int64_t id, std::int64_t top) {
    for (std::size_t k = 0; k < 6; ++k) {
      const std::int64_t w[6] = {id, 0, top, 32, 8, 100};
      sim::be::setWord(s().platform_recs, 12 + 2 * k, w[k]);
    }
  }
};

TEST_F(PlatformTest, AFallingHeroLandsOnAnOfferedPlatformAndStaysOnItsTop) {
  start(104, 60);
  s().platforms.assign(32, 0);
  sim::things::offerPlatform(ctx(), kRomPlatform);
  for (int i = 0; i < 40; ++i) frame(kRomPlatform);
  EXPECT_EQ(s().on_object, 4);
  EXPECT_EQ(s().vy, 0);
  EXPECT_EQ(s().air, 0);
  const std::int64_t feet = ix(s().y) + 23;
  EXPECT_GT(feet, kTop);
  EXPECT_LT(feet, kTop + 8);
  // He walks off its end and falls to the floor.
  for (int i = 0; i < 60; ++i) frame(kRomPlatform, hero_test::kRight);
  run(0, 40);
  EXPECT_EQ(s().on_object, 0);
  EXPECT_EQ(ix(s().y), hero_test::kRestY);
}

TEST_F(PlatformTest, AnOfferHoldsHimOnlyInTheNextFrame) {
  start(104, kTop - 22);
  // Offered before the step that zeroes the list: the motion of that step reads it.
  sim::things::offerPlatform(ctx(), kRomPlatform);
  run(0);
  EXPECT_EQ(s().on_object, 4);
  // Not offered again: the next motion finds nothing and he falls.
  run(0);
  EXPECT_EQ(s().on_object, 0);
  run(0, 5);
  EXPECT_GT(ix(s().y), kTop - 22);
}

TEST_F(PlatformTest, ARisingPlatformCarriesTheHeroStandingOnIt) {
  start(104, kTop - 22);
  std::int64_t top = kTop;
  setRamPlatform(2, top);
  sim::things::offerPlatform(ctx(), kRamPlatform);
  for (int i = 0; i < 30; ++i) {
    run(0);
    top -= 1;
    setRamPlatform(2, top);
    sim::things::offerPlatform(ctx(), kRamPlatform);
    sim::things::carryOnPlatform(ctx(), 2, top);
    ASSERT_EQ(s().on_object, 2) << i;
    EXPECT_EQ(ix(s().y), top - 22) << i;
  }
  // Another platform's id carries nobody.
  const std::int64_t y = s().y;
  sim::things::carryOnPlatform(ctx(), 3, top - 10);
  EXPECT_EQ(s().y, y);
}

TEST_F(PlatformTest, EightOffersFillTheListAndARecordOutsideTheRamOnesStops) {
  start(40, hero_test::kRestY);
  s().platforms.assign(32, 0);
  for (std::uint32_t k = 1; k <= 9; ++k) sim::things::offerPlatform(ctx(), 0x00A000 + k);
  EXPECT_EQ(sim::be::longWord(s().platforms, 28), 0x00A008u);  // the ninth was left out
  s().platforms.assign(32, 0);
  sim::things::offerPlatform(ctx(), 0xFF9F0C + 48);
  sim().step(0, 1000);
  EXPECT_EQ(sim().stopMessage(), "a platform record outside FF9F0C");
}

}  // namespace
