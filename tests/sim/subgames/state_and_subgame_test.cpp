// The new game, loading a state, the rest test, teleporting and the subgame
// entry, resolution and return.
#include <gtest/gtest.h>

#include "sim/core/ram.h"
#include "sim/sim_fixture.h"
#include "sim/subgames/subgames.h"

namespace {

using sim_test::SimFixture;

TEST(NewGame, StartValuesComeFromTheTablesAndKeepTheSettings) {
  SimFixture f;
  sim::GameState& s = f.sim->mutableState();
  s.language = 3;
  s.refresh_hz = 60;
  s.music = 11;
  s.tower_edge[5] = 9;
  s.score = 1234;
  s.lives = 7;
  ASSERT_TRUE(f.sim->newGame(2));
  const sim::GameState& n = f.sim->state();
  EXPECT_EQ(n.language, 3);
  EXPECT_EQ(n.refresh_hz, 60);
  EXPECT_EQ(n.tower_edge[5], 9);
  EXPECT_EQ(n.score, 0);
  EXPECT_EQ(n.lives, 4);
  EXPECT_EQ(n.area, 21);
  EXPECT_EQ(n.x, 160 << 16);
  EXPECT_EQ(n.y, 152 << 16);
  EXPECT_EQ(n.anim, 0x00180C);
  EXPECT_EQ(n.stars_left, 250);
  EXPECT_EQ(n.door_locks, 0x12345678);
  EXPECT_EQ(n.objects[991], static_cast<std::uint8_t>(991));
  EXPECT_EQ(n.lifts[0], 0x11);
  EXPECT_EQ(n.platform_recs[36], 0xF0);
  EXPECT_EQ(n.inventory, (std::vector<std::uint8_t>{0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(n.star_phases[11], 53);
  EXPECT_EQ(n.hazard_phases[7], 3);
  EXPECT_EQ(n.particles[41], 0xFF);
  EXPECT_EQ(n.particles[50], 0xFF);
  EXPECT_EQ(n.particles[51], 0xFF);
  EXPECT_EQ(n.a1_walker[29], 0x4C);
  EXPECT_EQ(n.actors[4], 21);  // the area's actors were loaded
  EXPECT_EQ(n.actors[58], 0xFF);
  // From 0xE7190345 the dropped draw gives 42 and the second 1: entry 1 of the rain table.
  EXPECT_EQ(n.rain_wait, 600);
  ASSERT_FALSE(f.sim->soundRequests().empty());
  EXPECT_EQ(f.sim->soundRequests()[0], (audio::SoundRequest{1, 10}));  // the extra lives' effect
  EXPECT_TRUE(f.sim->isAtRest());
}

TEST(LoadState, ReplacesTheGameAndRefreshesTheArea) {
  SimFixture f;
  f.started();
  sim::GameState given;
  given.area = 16;
  given.x = 500 << 16;
  given.tower_edge.resize(10);  // another size: the current block is kept
  given.tower_edge[0] = 1;
  ASSERT_TRUE(f.sim->loadState(given));
  EXPECT_EQ(f.sim->state().area, 16);
  EXPECT_EQ(f.sim->state().x, 500 << 16);
  EXPECT_EQ(f.sim->state().tower_edge.size(), 208u);
  EXPECT_EQ(f.sim->areaCache().cameraLimit, 96 * 32 - 321);
  EXPECT_EQ(f.sim->areaCache().columns, 96);
  EXPECT_EQ(f.sim->areaCache().firstSelectionFrames, 7);
  EXPECT_TRUE(f.sim->screens().empty());
  EXPECT_TRUE(f.sim->frameSprites().empty());
}

TEST(LoadState, RefusedStateLeavesTheRunningGameUntouched) {
  SimFixture f;
  sim::Simulation& sim = f.started();
  sim.mutableState().score = 77;
  const sim::GameState before = sim.state();
  for (std::int64_t area : {44, 5}) {  // mapless, unknown
    sim::GameState given;
    given.area = area;
    EXPECT_FALSE(sim.loadState(given)) << area;
    EXPECT_EQ(sim.state(), before) << area;
    EXPECT_EQ(sim.areaCache().area->id, 21) << area;
  }
}

TEST(IsAtRest, AnyBusyFieldOrMessageMakesItFalse) {
  SimFixture f;
  sim::Simulation& sim = f.started();
  ASSERT_TRUE(sim.isAtRest());
  for (const char* field : {"front", "in_subgame", "screen_kind", "step_stage", "mode", "dying"}) {
    const sim::GameState saved = sim.state();
    sim.mutableState().set(field, 1);
    EXPECT_FALSE(sim.isAtRest()) << field;
    ASSERT_TRUE(sim.loadState(saved));
    EXPECT_TRUE(sim.isAtRest()) << field;
  }
  sim.mutableState().event = 40;  // a missing table: the stop message is set
  sim.runGameStep(0, 1, 1, {});
  ASSERT_FALSE(sim.stopMessage().empty());
  EXPECT_FALSE(sim.isAtRest());
}

TEST(Teleport, PlacesTheHeroOrRefusesAnAreaWithoutAMap) {
  SimFixture f;
  sim::Simulation& sim = f.started();
  const sim::GameState before = sim.state();
  EXPECT_FALSE(sim.teleport(44, 10, 10));
  EXPECT_EQ(sim.state(), before);
  ASSERT_TRUE(sim.teleport(11, 1000, 64));
  EXPECT_EQ(sim.state().area, 11);
  EXPECT_EQ(sim.state().x, 1000 << 16);
  EXPECT_EQ(sim.state().restart_area, 11);
  EXPECT_EQ(sim.state().camera_x, 850);
  EXPECT_EQ(sim.state().sprite_x, 150);
  EXPECT_EQ(sim.state().grace, 300);
  EXPECT_TRUE(sim.isAtRest());
}

TEST(Subgame, EntryWithoutHookSavesTheHeroAndSwitchesToGTicks) {
  SimFixture f;
  sim::Simulation& sim = f.started();
  sim.mutableState().mode = 4;
  sim.mutableState().sub_ram[3] = 1;
  sim.mutableState().palette_fading = 255;
  sim.mutableState().palette_fade_step = 3;
  sim.step(0, 0);
  EXPECT_EQ(sim.stopMessage(), "");
  EXPECT_EQ(sim.tickKind(), 'G');
  EXPECT_EQ(sim.state().in_subgame, 1);
  EXPECT_EQ(sim.state().push_x, 160 << 16);
  EXPECT_EQ(sim.state().sub_ram[3], 0);
  EXPECT_EQ(sim.state().palette_fade_step, 0);
  EXPECT_FALSE(sim.isAtRest());
}

TEST(Subgame, UnknownModeStopsAtSetUpAndAHookThatGivesNothingStops) {
  {
    SimFixture f;
    f.started();
    f.sim->mutableState().mode = 3;
    f.sim->step(0, 0);
    EXPECT_EQ(f.sim->stopMessage(), "subgame 3's set-up (S7)");
  }
  {
    SimFixture f;
    f.started();
    f.sim->mutableState().mode = 4;
    f.sim->runGameStep(0, 1, 1, [](sim::Simulation&) { return std::optional<sim::GameState>(); });
    EXPECT_EQ(f.sim->stopMessage(), "subgame 4's rules (S7)");
    EXPECT_EQ(f.sim->subgamesSkipped(), 1);
  }
}

TEST(Subgame, MinecartReturnPlacesTheHeroByTheResult) {
  struct Case {
    std::int64_t result, x, y, area, restartX, restartY, restartArea, music, lives;
  };
  const Case cases[] = {
      {-1, 148, 40, 16, 148, 40, 16, 6, 1},  // lost: a life, then the start of the run
      {0, 1475, 40, 16, 1475, 40, 16, 6, 2},
      {1, 2819, 72, 11, 2819, 72, 11, 12, 2},
      {2, 2021, 104, 10, 2021, 104, 10, 12, 2},
      {3, 2, 8, 19, 36, 72, 19, 12, 2},  // thrown out in a jump; restart further on
      {4, 148, 40, 16, 148, 40, 16, 12, 2},
  };
  for (const Case& c : cases) {
    SimFixture f;
    sim::Simulation& sim = f.started();
    sim.mutableState().mode = 4;
    sim.mutableState().flag_82f3 = 255;
    sim::GameState reached = sim.state();
    reached.sub_result = c.result;
    reached.score = 99;
    sim.runGameStep(0, 1, 200, [&](sim::Simulation&) { return std::optional<sim::GameState>(reached); });
    const sim::GameState& s = sim.state();
    EXPECT_EQ(sim.stopMessage(), "") << c.result;
    EXPECT_EQ(s.mode, 0) << c.result;
    EXPECT_EQ(s.x, c.x << 16) << c.result;
    EXPECT_EQ(s.y, c.y << 16) << c.result;
    EXPECT_EQ(s.area, c.area) << c.result;
    EXPECT_EQ(s.restart_x, c.restartX) << c.result;
    EXPECT_EQ(s.restart_y, c.restartY) << c.result;
    EXPECT_EQ(s.restart_area, c.restartArea) << c.result;
    EXPECT_EQ(s.music, c.music) << c.result;
    EXPECT_EQ(s.lives, c.lives) << c.result;
    EXPECT_EQ(s.score, 99) << c.result;
    EXPECT_EQ(s.flag_82f3, 0) << c.result;
    EXPECT_EQ(s.jump, c.result == 3 ? 3 : 0) << c.result;
    EXPECT_EQ(s.vy, c.result == 3 ? -0x3F000 : 0) << c.result;
    EXPECT_TRUE(sim.isAtRest()) << c.result;
  }
}

TEST(Subgame, LeavingRestoresTheHeroAndReturns) {
  SimFixture f;
  sim::Simulation& sim = f.started();
  sim::GameState& s = sim.mutableState();
  s.in_subgame = 1;
  s.mode = 9;
  s.push_x = 300 << 16;
  s.push_vy = 0x30000;
  s.vy = 0x1234;
  sim::setSubRamWord(sim.context(), 0xFF90FE, 1);
  sim::subgames::leaveSubgame(sim.context(), 0);
  EXPECT_EQ(sim.state().in_subgame, 0);
  EXPECT_EQ(sim.state().sub_result, 1);
  EXPECT_EQ(sim.state().x, 300 << 16);
  EXPECT_EQ(sim.state().vy, 0x31234);  // the integer part comes back, the fraction stays
  EXPECT_EQ(sim.endMessage(), "the end (Vors beaten)");
  EXPECT_EQ(sim.state().step_stage, 0);
}

TEST(Subgame, UnknownModeOnReturnStops) {
  SimFixture f;
  sim::Simulation& sim = f.started();
  sim.mutableState().mode = 3;
  EXPECT_THROW(sim::subgames::subgameReturn(sim.context()), sim::Stop);
  EXPECT_EQ(sim.stopMessage(), "subgame mode 3's return");
}

}  // namespace

namespace {

TEST(LoadArea, ActorRecordsAreCutOrCompletedToTheirSlot) {
  sim_test::SimFixture f;
  world::Area& area = f.world.areas[1];  // area 11
  area.actors = {std::vector<std::uint8_t>(10, 0xAA), std::vector<std::uint8_t>(70, 0xBB)};
  sim::Simulation& sim = f.started();
  sim.mutableState().actors.assign(2320, 0x55);
  ASSERT_TRUE(sim.teleport(11, 100, 100));
  const auto& actors = sim.state().actors;
  EXPECT_EQ(actors[9], 0xAA);
  EXPECT_EQ(actors[10], 0x00);  // the short record's slot is completed with zeros
  EXPECT_EQ(actors[57], 0x00);
  EXPECT_EQ(actors[58 + 57], 0xBB);
  EXPECT_EQ(actors[116], 0xFF);  // the long record did not run into the next slot: the end mark
  EXPECT_EQ(actors[119], 0xFF);
  EXPECT_EQ(actors[120], 0x55);  // beyond the end mark nothing is touched
}

}  // namespace

namespace {

TEST(Subgame, OtherReturnsByModeAndResult) {
  struct Case {
    std::int64_t mode, result, x, y, area, music, lives;
  };
  const Case cases[] = {
      {2, 0, 857, 104, 11, 12, 2},  {2, -1, 1125, 56, 31, 12, 1},
      {5, 0, 992, 136, 45, 3, 2},   {5, -1, 1773, 120, 18, 12, 1},  // a lost match costs a life
      {6, 1, 1773, 120, 18, 12, 2}, {7, -1, 992, 136, 45, 3, 2},    // mode 7 has no loss rule
      {8, 0, 1773, 120, 18, 12, 2},
  };
  for (const Case& c : cases) {
    sim_test::SimFixture f;
    sim::Simulation& sim = f.started();
    sim.mutableState().mode = c.mode;
    sim::GameState reached = sim.state();
    reached.sub_result = c.result;
    sim.runGameStep(0, 1, 200, [&](sim::Simulation&) { return std::optional<sim::GameState>(reached); });
    const sim::GameState& s = sim.state();
    const std::string label = std::to_string(c.mode) + "/" + std::to_string(c.result);
    EXPECT_EQ(sim.stopMessage(), "") << label;
    EXPECT_EQ(s.mode, 0) << label;
    EXPECT_EQ(s.x, c.x << 16) << label;
    EXPECT_EQ(s.y, c.y << 16) << label;
    EXPECT_EQ(s.area, c.area) << label;
    EXPECT_EQ(s.music, c.music) << label;
    EXPECT_EQ(s.lives, c.lives) << label;
    EXPECT_EQ(s.sub_lost, 0) << label;
  }
}

TEST(Subgame, SwapPuzzleReturnKeepsTheHeroWhereHeWas) {
  sim_test::SimFixture f;
  sim::Simulation& sim = f.started();
  sim.mutableState().mode = 1;
  sim.mutableState().music = 4;
  sim.mutableState().x = 200 << 16;
  sim::GameState reached = sim.state();
  reached.sub_result = -1;
  reached.stars_left = 100;
  sim.runGameStep(0, 1, 200, [&](sim::Simulation&) { return std::optional<sim::GameState>(reached); });
  EXPECT_EQ(sim.stopMessage(), "");
  EXPECT_EQ(sim.state().mode, 0);
  EXPECT_EQ(sim.state().area, 21);
  EXPECT_EQ(sim.state().x, 200 << 16);
  EXPECT_EQ(sim.state().lives, 2);  // no loss rule for mode 1
  EXPECT_EQ(sim.state().stars_left, 100);
  EXPECT_EQ(sim.state().music, 4);  // the music from before the puzzle
}

TEST(Subgame, LostWithoutLivesEndsTheGame) {
  sim_test::SimFixture f;
  sim::Simulation& sim = f.started();
  sim.mutableState().mode = 4;
  sim.mutableState().lives = 0;
  sim::GameState reached = sim.state();
  reached.sub_result = -1;
  sim.runGameStep(0, 1, 200, [&](sim::Simulation&) { return std::optional<sim::GameState>(reached); });
  EXPECT_EQ(sim.endMessage(), "game over");
  EXPECT_EQ(sim.state().mode, 0);
  EXPECT_EQ(sim.state().music, 5);
}

}  // namespace
