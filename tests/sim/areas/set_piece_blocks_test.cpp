// The area handlers' building blocks on a small fixture: the hero in a rectangle, deaths at a place, the
// deadly beds, changes to the collision bytes, the knock-back, thrown objects, giving an object, platforms
// and the handler's stop.
#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <string>

#include "sim/areas/areas.h"
#include "sim/areas/set_pieces.h"
#include "sim/core/big_endian.h"
#include "sim/core/context.h"
#include "sim/hero/hero.h"
#include "sim/rom_view.h"
#include "sim/sim_fixture.h"
#include "sim/things/things.h"
#include "world/world.h"

namespace {

namespace ar = sim::areas;
namespace be = sim::be;

class BlocksTest : public ::testing::Test {
 protected:
  world::World world;
  sim::RomView rom;
  sim::Context c{world, rom};
  sim::GameState& s = c.state;

  BlocksTest() {
    sim_test::putHeroSequences(rom);
    // Four columns of an area 32 pixels wide: 12 collision bytes.
    c.areaCache.collision.assign(12, 0);
    c.areaCache.widthPixels = 32;
    c.areaCache.firstSelectionFrames = 85;
    c.areaRules = true;
  }
  void heroAt(std::int64_t x, std::int64_t y) {
    s.x = x << 16;
    s.y = y << 16;
  }
  bool heard(std::int64_t effect) const {
    for (const auto& r : c.soundRequests)
      if (r.kind == sim::kSoundEffect && r.value == static_cast<std::uint32_t>(effect)) return true;
    return false;
  }
};

TEST_F(BlocksTest, TheHeroIsInsideARectangleUpToItsEdges) {
  // The hero's 20 x 20 box against (100, 50, 30, 10).
  const struct {
    std::int64_t x, y;
    bool inside;
  } kCases[] = {
      {80, 50, false},  {81, 50, true},  {129, 50, true}, {130, 50, false},  // left and right edges
      {100, 30, false}, {100, 31, true}, {100, 59, true}, {100, 60, false},  // top and bottom edges
      {-20, 50, false},                                                      // far to the left
  };
  for (const auto& k : kCases) {
    heroAt(k.x, k.y);
    EXPECT_EQ(ar::heroInside(s, {100, 50, 30, 10}), k.inside) << "hero at " << k.x << ", " << k.y;
  }
  // A hero at a negative x reads as a signed word.
  s.x = static_cast<std::int64_t>(static_cast<std::int32_t>(0xFFF00000u));
  EXPECT_EQ(ar::heroX(s), -16);
}

TEST_F(BlocksTest, ADeathAtAPlaceSetsTheRestartPointAndWaitsForTheCheat) {
  const struct {
    std::uint32_t cheats;
    std::int64_t dyingBefore;
    std::int64_t dying, restartX, damage;
  } kCases[] = {
      {0, 0, 1, 1275, 0x10000},                 // an ordinary death
      {sim::kCheatNoDamage, 0, 0, 1275, 0},     // the cheat keeps him alive, the restart point moves
      {0, 2, 2, 5, 0},                          // a death under way is left alone
      {sim::kCheatLives, 0, 1, 1275, 0x10000},  // another cheat changes nothing
  };
  for (const auto& k : kCases) {
    s.dying = k.dyingBefore;
    s.damage = 0;
    s.restart_x = 5;
    c.cheats = k.cheats;
    ar::deathAt(c, 1275, 144, 0, 0x10000);
    EXPECT_EQ(s.dying, k.dying) << "cheats " << k.cheats << " dying " << k.dyingBefore;
    EXPECT_EQ(s.restart_x, k.restartX);
    EXPECT_EQ(s.damage, k.damage);
  }
}

TEST_F(BlocksTest, ADeadlyBedTakesItsRestartPointOnlyWhenItNamesAnArea) {
  sim_test::putWords(rom, 0x003636, {1156, 166, 24, 10, 18, 1100, 152});
  sim_test::putWords(rom, 0x003644, {868, 166, 24, 10, 0xFFFF, 0, 170});
  const struct {
    std::uint32_t record;
    std::int64_t x;
    std::uint32_t cheats;
    bool hit;
    std::int64_t dying, restartArea, restartX;
  } kCases[] = {
      {0x003636, 1150, 0, true, 1, 18, 1100},                    // on the bed
      {0x003636, 1136, 0, false, 0, 3, 300},                     // just before it
      {0x003644, 860, 0, true, 1, 3, 300},                       // no restart area: the point is kept
      {0x003636, 1150, sim::kCheatNoDamage, true, 0, 18, 1100},  // the cheat: struck, but no death
  };
  for (const auto& k : kCases) {
    s.dying = s.hazard_hit = 0;
    s.restart_area = 3;
    s.restart_x = 300;
    c.cheats = k.cheats;
    heroAt(k.x, 152);
    EXPECT_EQ(ar::hazardRecord(c, k.record), k.hit) << k.record << " at " << k.x;
    EXPECT_EQ(s.hazard_hit, k.hit ? 255 : 0);
    EXPECT_EQ(s.dying, k.dying);
    EXPECT_EQ(s.restart_area, k.restartArea);
    EXPECT_EQ(s.restart_x, k.restartX);
  }
  // A death under way is not struck again.
  s.dying = 2;
  s.hazard_hit = 0;
  heroAt(1150, 152);
  EXPECT_FALSE(ar::hazardRecord(c, 0x003636));
  EXPECT_EQ(s.hazard_hit, 0);
}

TEST_F(BlocksTest, CollisionChangesOpenAndCloseAWall) {
  // Bit 2 of the first band of columns 1 to 3 is y 16..23 at x 8..31.
  ar::setColumns(c, 3, 3, 0x04);
  for (std::int64_t x : {8, 20, 31}) EXPECT_TRUE(sim::hero::solid(c, x, 16)) << x;
  EXPECT_FALSE(sim::hero::solid(c, 7, 16));
  EXPECT_FALSE(sim::hero::solid(c, 8, 24));
  // Set again: nothing changes; other bits are kept when some are taken away.
  ar::setColumns(c, 3, 3, 0x04);
  ar::setColumns(c, 3, 3, 0x01);
  ar::clearColumns(c, 3, 3, 0x04);
  for (std::int64_t x : {8, 20, 31}) {
    EXPECT_FALSE(sim::hero::solid(c, x, 16)) << x;
    EXPECT_TRUE(sim::hero::solid(c, x, 0)) << x;
  }
  // Single cells.
  ar::setCells(c, {{1, 0x80}, {2, 0x01}});
  EXPECT_TRUE(sim::hero::solid(c, 0, 120));
  EXPECT_TRUE(sim::hero::solid(c, 0, 128));
  ar::clearCells(c, {{1, 0x80}});
  EXPECT_FALSE(sim::hero::solid(c, 0, 120));
  EXPECT_TRUE(sim::hero::solid(c, 0, 128));
}

TEST_F(BlocksTest, CollisionChangesPastANarrowAreaAreSkipped) {
  ar::setColumns(c, 9, 5, 0xFF);  // bytes 9 to 21 of a copy of 12
  EXPECT_EQ(c.areaCache.collision.size(), 12u);
  EXPECT_EQ(c.areaCache.collision[9], 0xFF);
  ar::clearCells(c, {{400, 0xFF}});
  EXPECT_EQ(c.areaCache.collision.size(), 12u);
}

TEST_F(BlocksTest, AKnockBackThrowsTheHeroUnlessAnActionHoldsHim) {
  const struct {
    std::int64_t lock;
    bool right;
    std::int64_t vy;
    std::int64_t jump;
  } kCases[] = {
      {0, true, ar::kKnockBackSpeed, 3},
      {0, false, -0x28000, 2},
      {1, true, ar::kKnockBackSpeed, 0},
  };
  for (const auto& k : kCases) {
    s.lock = k.lock;
    s.jump = 0;
    s.vy = 0;
    s.settled = 1;
    s.fall_max = 0;
    c.soundRequests.clear();
    ar::knockBack(c, k.right, k.vy);
    EXPECT_EQ(s.jump, k.jump) << "lock " << k.lock;
    if (k.lock != 0) {
      EXPECT_EQ(s.vy, 0);
      EXPECT_EQ(s.settled, 1);
      EXPECT_FALSE(heard(4));
      continue;
    }
    EXPECT_EQ(s.vy, k.vy);
    EXPECT_EQ(s.settled, 0);
    EXPECT_EQ(s.fall_max, 42);
    EXPECT_EQ(s.anim, k.right ? 0x001852 : 0x00183E);
    EXPECT_TRUE(heard(4));
  }
}

TEST_F(BlocksTest, AThrownObjectFliesToItsTargetAndArrivesOnce) {
  sim::things::buildArc(c, 100, 150, 160, 150, -0x30000, 0x1800);
  const std::int64_t steps = be::word(s.arc, 28);
  ASSERT_GT(steps, 0);
  int frames = 0;
  std::int64_t highest = 150;
  while (!ar::flyArc(c, 7)) {
    ASSERT_LT(++frames, 1000);
    highest = std::min<std::int64_t>(highest, c.frameSprites.back().y - 128);
  }
  EXPECT_EQ(frames, steps);  // the step counter runs 0 to n: n + 1 frames, the last one there
  EXPECT_LT(highest, 120);
  EXPECT_EQ(c.frameSprites.back().x, 160u + 128u);
  EXPECT_EQ(c.frameSprites.back().frame, 7u);
  // Straight across with no steps: there at once.
  sim::things::buildArc(c, 50, 100, 50, 100, 0, 0x1800);
  EXPECT_TRUE(ar::flyArc(c, 7));
}

TEST_F(BlocksTest, AGivenObjectGoesToTheLowestEmptyInventoryWord) {
  s.objects.assign(62 * 16, 0);
  s.inventory.assign(10, 0xFF);
  be::setWord(s.inventory, 8, 12);  // the bottom word holds an object
  s.flag_82bf = 255;
  ar::giveObject(c, 47);
  EXPECT_EQ(be::word(s.inventory, 6), 47);
  EXPECT_EQ(be::word(s.objects, 47 * 16), -1);
  EXPECT_EQ(s.flag_82bf, 0);
}

TEST_F(BlocksTest, AGivenObjectWithNoEmptyWordLiesAtTheHerosFeet) {
  s.objects.assign(62 * 16, 0);
  s.inventory.assign(10, 0);
  for (std::size_t w = 0; w < 5; ++w) be::setWord(s.inventory, 2 * w, 10 + static_cast<std::int64_t>(w));
  s.area = 26;
  heroAt(200, 152);
  ar::giveObject(c, 47);
  EXPECT_EQ(be::word(s.objects, 47 * 16), 26);
  EXPECT_EQ(be::word(s.objects, 47 * 16 + 2), 202);
  EXPECT_EQ(be::word(s.objects, 47 * 16 + 4), 160);
  for (std::size_t w = 0; w < 5; ++w) EXPECT_NE(be::word(s.inventory, 2 * w), 47);
}

TEST_F(BlocksTest, PlatformsTakeTheFirstFreeEntryAndAFullListLeavesThemOut) {
  for (int i = 0; i < 8; ++i) ar::offerPlatform(c, 0x00A9C0 + 12 * static_cast<std::uint32_t>(i));
  ar::offerPlatform(c, ar::kPlatformSpring);
  for (std::size_t i = 0; i < 8; ++i) EXPECT_EQ(be::longWord(s.platforms, 4 * i), 0x00A9C0 + 12 * i);
  std::fill(s.platforms.begin(), s.platforms.end(), 0);
  ar::offerPlatform(c, ar::kPlatformSpring);
  EXPECT_EQ(be::longWord(s.platforms, 0), 0xFFFF9F30u);
  EXPECT_EQ(ar::platformRecord(ar::kPlatformSpring), 36u);
}

TEST_F(BlocksTest, ASubgameEntranceLeavesOneOnItsWayAlone) {
  ar::enterSubgame(c, 8);
  EXPECT_EQ(s.mode, 8);
  ar::enterSubgame(c, 9);
  EXPECT_EQ(s.mode, 8);
}

TEST_F(BlocksTest, TheTunnelLightSinksAsTheHeroWalksEast) {
  s.area = 35;
  s.tunnel_light.assign(6, 0);
  be::setWord(s.tunnel_light, 4, -1);
  heroAt(4, 152);
  ar::tunnelLight(c);
  heroAt(4 + 17 * 10, 152);
  ar::tunnelLight(c);
  ASSERT_EQ(c.frameSprites.size(), 2u);
  EXPECT_EQ(c.frameSprites[0].x, 206u + 128u);
  EXPECT_EQ(c.frameSprites[0].y, 43u + 128u);
  EXPECT_EQ(c.frameSprites[1].y, 43u + 128u - 10u);
  EXPECT_EQ(c.frameSprites[0].attributes, 16u);
  // West of x 4 the division is on the unsigned word: the light leaves the screen upwards.
  heroAt(0, 152);
  ar::tunnelLight(c);
  EXPECT_GT(static_cast<std::int64_t>(c.frameSprites[2].y & 0xFFFF), 1000);
}

TEST_F(BlocksTest, AnAreaPastTheLastStopsTheGame) {
  s.area = 50;
  EXPECT_THROW(ar::runAreaHandler(c), sim::Stop);
  EXPECT_EQ(c.stopMessage, "the handler of area 50 ($005BA6)");
}

}  // namespace
