// The set pieces of our world, each started as its object's use starts it (the flag the use sets, the
// throw it builds) and run on our maps to its end state: the opened wall or floor, the moved creature,
// the flag, the score, the event and the subgame entered.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>

#include "sim/areas/set_pieces.h"
#include "sim/core/big_endian.h"
#include "sim/hero/hero.h"
#include "sim/real_world.h"
#include "sim/things/things.h"

namespace {

namespace be = sim::be;
using real_world::loadRealWorld;

constexpr std::uint8_t kLeft = 0x04, kRight = 0x08, kDown = 0x02;

class SetPieces : public ::testing::Test {
 protected:
  std::unique_ptr<real_world::RealWorld> r = loadRealWorld();
  sim::Simulation& sim() { return *r->sim; }
  sim::GameState& s() { return r->sim->mutableState(); }
  sim::Context& c() { return r->sim->context(); }

  void SetUp() override {
    ASSERT_TRUE(r) << "the data set in the source tree does not load";
    c().areaRules = true;
  }
  void at(std::int64_t area, std::int64_t x, std::int64_t y) {
    ASSERT_TRUE(sim().teleport(area, x, y)) << sim().stopMessage();
  }
  // Steps with the pad until the test holds or the frames run out; true when it held.
  bool run(std::uint8_t pad, int frames, const std::function<bool()>& until) {
    for (int i = 0; i < frames; ++i) {
      sim().step(pad, i);
      EXPECT_EQ(sim().stopMessage(), "");
      if (!sim().stopMessage().empty()) return false;
      if (until()) return true;
    }
    return false;
  }
  void steps(std::uint8_t pad, int frames) {
    run(pad, frames, [] { return false; });
  }
  bool solid(std::int64_t x, std::int64_t y) { return sim::hero::solid(c(), x, y); }
  std::int64_t X() { return static_cast<std::int16_t>(s().x >> 16); }
  std::int64_t Y() { return static_cast<std::int16_t>(s().y >> 16); }
  std::int64_t objectArea(int k) { return be::word(s().objects, 16 * static_cast<std::size_t>(k)); }
  // A throw from the hero's hands as the use routines build it.
  void thrown(std::int64_t tx, std::int64_t ty) {
    sim::things::buildArc(c(), X() + 7, Y() + 10, tx, ty, -0x30000, 0x1800);
  }
};

TEST_F(SetPieces, TheMeadowBridgeIsAFloorOnceThePlankIsLaid) {
  at(0, 1275, 144);
  steps(0, 1);
  EXPECT_FALSE(solid(1380, 148));
  s().flag_82b1 = 255;
  steps(0, 1);
  EXPECT_TRUE(solid(1380, 148));
}

TEST_F(SetPieces, TheLaneSpellKillsUntilTheFairyDustBreaksIt) {
  at(1, 1240, 152);
  ASSERT_TRUE(run(kRight, 200, [&] { return s().dying != 0; }));
  EXPECT_LE(X(), 1284);
  EXPECT_EQ(s().restart_x, 1218);
  at(1, 1240, 152);
  s().flag_82c8 = 255;
  EXPECT_TRUE(run(kRight, 300, [&] { return X() > 1320; }));
  EXPECT_EQ(s().dying, 0);
}

TEST_F(SetPieces, TheLaneWalkerFindsTheGroundAndWalksItsBeat) {
  at(1, 600, 152);
  be::setWord(s().a1_walker, 0, 800);
  be::setWord(s().a1_walker, 14, 1);  // walking west
  const std::int64_t x0 = be::word(s().a1_walker, 0);
  steps(0, 120);
  const std::int64_t y = be::word(s().a1_walker, 4);
  EXPECT_NE(be::word(s().a1_walker, 0), x0);
  EXPECT_LT(y, 176);
  // It walks along the lane on its feet.
  for (int i = 0; i < 30; ++i) {
    steps(0, 1);
    const std::int64_t x = be::word(s().a1_walker, 0), wy = be::word(s().a1_walker, 4);
    EXPECT_TRUE(solid(x + 6, wy + 24) || solid(x + 18, wy + 24) || solid(x + 6, wy + 25) || solid(x + 18, wy + 25))
        << "walker at " << x << ", " << wy;
  }
}

TEST_F(SetPieces, TheLoftHatchOpensAndItsFlapsComeToRest) {
  at(8, 700, 152);
  steps(0, 1);
  EXPECT_TRUE(solid(840, 90));
  s().flag_82ce = 255;
  ASSERT_TRUE(run(0, 2000, [&] { return be::word(s().chain, 0) == 5; }));
  EXPECT_FALSE(solid(840, 90));
  const std::int64_t angle = be::word(s().chain, 4);
  EXPECT_GE(angle, 500);
  EXPECT_LE(angle, 530);
}

TEST_F(SetPieces, TheGrainStoreDogChargesUntilTheBoneDrawsItOff) {
  at(9, 1150, 152);
  ASSERT_TRUE(run(0, 200, [&] { return be::word(s().area9, 28) == 2; }));
  EXPECT_EQ(s().jump, 3);
  EXPECT_EQ(s().restart_area, 9);
  // The bone thrown to the dog's west: it runs after it and is gone.
  at(9, 1150, 152);
  be::setWord(s().area9, 28, 2);
  be::setWord(s().area9, 22, 1100);
  s().flag_82c4 = s().flag_82c5 = s().flag_82bf = 255;
  thrown(900, 160);
  ASSERT_TRUE(run(0, 300, [&] { return be::word(s().area9, 28) == 3; }));
  EXPECT_EQ(s().flag_82bf, 0);
  // West of x 512 both creatures stand still until the area is loaded again.
  be::setWord(s().area9, 28, 0);
  at(9, 400, 152);
  steps(0, 1);
  EXPECT_EQ(s().flag_8300, 255);
}

TEST_F(SetPieces, TheGrainStoreRatDropsAndBecomesAStepOverTheSpikes) {
  be::setWord(s().area9, 28, 3);  // the dog gone: it would throw a hero standing here
  at(9, 560, 152);
  ASSERT_TRUE(run(0, 400, [&] { return be::word(s().area9, 12) == 3; }));
  EXPECT_EQ(static_cast<std::int16_t>(be::longWord(s().area9, 4) >> 16), 131);
  steps(0, 1);
  bool offered = false;
  for (std::size_t i = 0; i < 8; ++i) offered |= be::longWord(s().platforms, 4 * i) == 0xFFFF9F24u;
  EXPECT_TRUE(offered);
}

TEST_F(SetPieces, TheCellarGuardTurnsTheHeroBackUntilThePieKnocksHimOff) {
  // Facing east, he throws a high hero coming west back east.
  at(10, 1451, 40);
  s().guard10 = 0;
  steps(0, 1);
  EXPECT_GE(X(), 1452);
  EXPECT_EQ(s().jump, 3);
  at(10, 1480, 152);
  s().flag_82c3 = s().flag_82bf = 255;
  thrown(1420, 40);
  ASSERT_TRUE(run(0, 400, [&] { return s().guard10 == 4; }));
  EXPECT_EQ(s().flag_82c3, 0);
  EXPECT_EQ(s().flag_82bf, 0);
  // Knocked off the ledge he flies up out of sight, and bars nobody any more.
  EXPECT_LT(static_cast<std::int16_t>(be::longWord(s().a10_guard, 4) >> 16), 0);
  at(10, 1451, 40);
  steps(0, 1);
  EXPECT_EQ(X(), 1451);
}

TEST_F(SetPieces, TheBeanColumnGrowsIntoAStepAndTheStoneSinksThePlatform) {
  at(10, 1400, 152);
  s().flag_82de = s().flag_82bf = 255;
  ASSERT_TRUE(run(0, 200, [&] { return s().flag_82df != 0; }));
  EXPECT_EQ(s().w8316, 10);
  EXPECT_EQ(s().flag_82bf, 0);
  steps(0, 1);
  bool offered = false;
  for (std::size_t i = 0; i < 8; ++i) offered |= be::longWord(s().platforms, 4 * i) == 0x00A9E4u;
  EXPECT_TRUE(offered);
  at(10, 800, 152);
  s().flag_82bb = s().flag_82bf = 255;
  thrown(890, 150);
  ASSERT_TRUE(run(0, 200, [&] { return s().flag_82bc != 0; }));
  steps(0, 200);
  EXPECT_EQ(s().bob_base, 0x7F0000);
}

TEST_F(SetPieces, TheWaxChamberPlatformRisesBurstsAndFormsAgain) {
  at(13, 1400, 152);
  steps(0, 1);
  EXPECT_TRUE(solid(1540, 186));
  s().flag_82bd = 255;
  steps(0, 1);
  EXPECT_FALSE(solid(1540, 186));
  ASSERT_TRUE(run(0, 800, [&] { return s().flag_82c1 != 0; }));
  ASSERT_TRUE(run(0, 200, [&] { return s().flag_82c1 == 0; }));
  EXPECT_EQ(s().a13_y, 184 << 16);
}

TEST_F(SetPieces, TheSpiderSpitsAtAHeroComingNearAndTheCartRollsIntoTheMine) {
  at(16, 1560, 152);
  ASSERT_TRUE(run(0, 200, [&] { return be::word(s().shots, 0) != 0; }));
  EXPECT_EQ(be::word(s().a16, 4), 1);
  at(16, 160, 40);
  ASSERT_TRUE(run(kLeft, 600, [&] { return s().mode == 4 || s().in_subgame != 0; }));
  EXPECT_NE(s().flag_82f3, 0);
}

TEST_F(SetPieces, TheOwlboughMachineTakesTheCogwheelAndOpensTheWall) {
  at(17, 1300, 152);
  steps(0, 1);
  EXPECT_TRUE(solid(1450, 40));
  s().flag_82e2 = 255;
  ASSERT_TRUE(run(0, 600, [&] { return !solid(1450, 40); }));
  EXPECT_EQ(s().flag_82e1, 255);
  EXPECT_EQ(objectArea(38), 100);
}

TEST_F(SetPieces, TheBigBirdBarsTheCrossingUntilThePineConeDrivesItOff) {
  at(20, 2780, 152);
  steps(kRight, 60);
  EXPECT_LE(X(), 2815);
  s().flag_82d5 = s().flag_82bf = 255;
  thrown(2830, 150);
  ASSERT_TRUE(run(0, 600, [&] { return s().flag_82f1 != 0; }));
  EXPECT_EQ(s().flag_82bf, 0);
  EXPECT_TRUE(run(kRight, 200, [&] { return X() > 2830; }));
}

TEST_F(SetPieces, TheGreenHintsShowTheWayUntilADoorOpens) {
  at(21, 160, 152);
  s().hint_timer = 0;
  auto arrows = [&] {
    int n = 0;
    for (const auto& sp : sim().frameSprites())
      if (sp.frame == static_cast<std::uint32_t>(sim().areaCache().firstSelectionFrames + 5)) ++n;
    return n;
  };
  steps(0, 599);
  EXPECT_EQ(arrows(), 0);
  steps(0, 2);
  EXPECT_EQ(arrows(), 1);
  s().flag_82fc = 255;
  steps(0, 1);
  EXPECT_EQ(arrows(), 0);
}

TEST_F(SetPieces, TheHallsThreeThrowsBringTheCrownBack) {
  at(26, 250, 152);
  const std::int64_t score = s().score;
  for (std::size_t b : {0u, 2u, 3u}) {
    s().flags_82d1[b] = 255;
    s().flag_82bf = 255;
    thrown(370, 100);
    ASSERT_TRUE(run(0, 300, [&] { return s().flags_82d1[b] == 0; })) << "throw " << b;
  }
  EXPECT_EQ(s().w8310, 3);
  EXPECT_EQ(s().flags_82d1[1], 255);
  ASSERT_TRUE(run(0, 300, [&] { return s().w8310 == 4; }));
  EXPECT_EQ(objectArea(47), -1);
  EXPECT_EQ(s().score, score + 200);
  EXPECT_EQ(s().flag_82bf, 0);
}

TEST_F(SetPieces, TheFishersCatchRaisesEventElevenAndOpensThePillar) {
  at(28, 150, 152);
  steps(0, 1);
  EXPECT_TRUE(solid(240, 130));
  s().w825a = 1;
  s().flag_82cd = 255;
  ASSERT_TRUE(run(0, 100, [&] { return s().flag_82da != 0; }));
  EXPECT_EQ(be::word(s().objects, 16 * 23 + 2), 235);
  steps(0, 1);
  EXPECT_FALSE(solid(240, 130));
}

TEST_F(SetPieces, TheJettyTrapdoorDropsTheHeroToGullPoint) {
  at(29, 1202, 144);
  steps(0, 20);
  EXPECT_EQ(s().area, 29);
  s().flag_82d8 = 255;
  ASSERT_TRUE(run(0, 300, [&] { return s().area == 32; }));
  EXPECT_EQ(s().flag_82d9, 255);
}

TEST_F(SetPieces, TheDunesSeesawThrowsTheHeroAndStartsTheSeaSubgame) {
  at(31, 1100, 152);
  ASSERT_TRUE(run(kRight, 200, [&] { return s().flag_82f2 != 0; }));
  EXPECT_EQ(s().flag_82bf, 255);
  ASSERT_TRUE(run(0, 400, [&] { return s().mode == 2 || s().in_subgame != 0; }));
  EXPECT_EQ(s().music, 9);
}

TEST_F(SetPieces, TheTrollBarsTheTunnelUntilTheCheeseSendsItOff) {
  at(34, 200, 152);
  s().side_82c9 = 0;
  steps(kLeft, 120);
  EXPECT_GE(X(), 113 - 4);
  s().flag_82ba = s().flag_82bf = 255;
  thrown(104, 100);
  be::setWord(s().arc, 24, 2);
  ASSERT_TRUE(run(0, 200, [&] { return s().troll_state == 1; }));
  ASSERT_TRUE(run(0, 2000, [&] { return s().troll_x > 107; }));
  EXPECT_TRUE(run(kLeft, 300, [&] { return X() < 60; }));
}

TEST_F(SetPieces, TheMineGateRisesAndUnlocksDoor31) {
  at(42, 60, 152);
  s().flag_82f7 = 255;
  ASSERT_TRUE(run(0, 600, [&] { return (s().door_locks & 1) == 0; }));
  EXPECT_EQ(s().flag_8306, 255);
  const std::int64_t top = static_cast<std::int16_t>(be::longWord(s().a42_gate, 0) >> 16);
  EXPECT_LT(top, 148);
}

TEST_F(SetPieces, TheSpringboardThrowsAStandingHeroUnlessDownIsHeld) {
  at(43, 296, 144);
  ASSERT_TRUE(run(0, 30, [&] { return s().vy < -0x50000; }));
  EXPECT_EQ(s().jump, 1);
  at(43, 296, 144);
  steps(kDown, 30);
  EXPECT_EQ(s().jump, 0);
  // The sceptre changes hands at the exchange places.
  at(43, 480, 152);
  be::setWord(s().inventory, 6, 54);
  const std::int64_t score = s().score;
  steps(0, 1);
  EXPECT_EQ(be::word(s().inventory, 6), 55);
  EXPECT_EQ(objectArea(54), 100);
  EXPECT_EQ(objectArea(55), -1);
  EXPECT_EQ(s().score, score + 100);
}

TEST_F(SetPieces, TheSubgameEntrancesSetTheirMode) {
  // Past the seam's east end the archery range; the subgame, not built yet, returns him to its stand.
  at(45, 990, 136);
  ASSERT_TRUE(run(kRight, 200, [&] { return s().mode == 8 || s().area == 18; }));
  at(49, 1240, 152);
  s().flag_82fa = 255;
  ASSERT_TRUE(run(kRight, 200, [&] {
    return s().mode == 9 || s().in_subgame != 0 || s().area != 49 || !sim().endMessage().empty();
  }));
}

TEST_F(SetPieces, TheLighthouseBarrierThrowsTheHeroBackUntilEveryStarIsFound) {
  at(49, 1150, 152);
  ASSERT_TRUE(run(kRight, 200, [&] { return s().stun != 0; }));
  EXPECT_EQ(X(), 1194);
  EXPECT_EQ(s().restart_area, 48);
  EXPECT_EQ(s().area, 49);
}

TEST_F(SetPieces, TheTowerLedgeAndTheCliffFlamesKillUntilTheirObjectsAreUsed) {
  at(47, 790, 152);
  steps(kRight, 60);
  EXPECT_LE(X(), 826);
  s().flag_82f8 = 255;
  at(48, 190, 152);
  ASSERT_TRUE(run(kRight, 200, [&] { return s().dying != 0; }));
  EXPECT_EQ(s().restart_x, 195);
  at(48, 190, 152);
  s().flag_82fb = 255;
  steps(0, 1);
  EXPECT_TRUE(solid(260, 164));
}

}  // namespace

// A state loaded outside the game step (a save, a searched state) meets the walls and floors its set
// pieces had changed at once, not one frame later: a hero loaded standing on the bridge does not fall.
TEST_F(SetPieces, ALoadedStateKeepsTheWallsAndFloorsItsPiecesChanged) {
  const struct {
    std::int64_t area;
    std::int64_t sim::GameState::*flag;
    std::int64_t px, py;
    bool solidAfter;
  } cases[] = {
      {0, &sim::GameState::flag_82b1, 1380, 148, true},   {8, &sim::GameState::flag_82ce, 850, 90, false},
      {11, &sim::GameState::flag_82b0, 3030, 48, true},   {13, &sim::GameState::flag_82bd, 1540, 186, false},
      {28, &sim::GameState::flag_82da, 240, 130, false},  {29, &sim::GameState::flag_82d7, 1230, 100, true},
      {32, &sim::GameState::flag_82cc, 760, 66, false},   {48, &sim::GameState::flag_82fb, 270, 164, true},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE("area " + std::to_string(k.area));
    at(k.area, 100, 40);
    EXPECT_NE(solid(k.px, k.py), k.solidAfter) << "the map before the piece acts";
    sim::GameState saved = s();
    saved.*k.flag = 255;
    ASSERT_TRUE(sim().loadState(saved));
    EXPECT_EQ(solid(k.px, k.py), k.solidAfter) << "right after the load";
  }
}
