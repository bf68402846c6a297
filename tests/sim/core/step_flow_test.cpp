// The step: tick kinds, waiting screens, the resumption of the stages after a
// screen, death and lives, game over, and the missing-table stop.
#include <gtest/gtest.h>

#include "sim/core/ram.h"
#include "sim/core/step.h"
#include "sim/sim_fixture.h"

namespace {

using sim_test::SimFixture;
constexpr std::uint8_t kB = 0x10;

// Steps with an empty pad until the lives screen waits for a button, then
// presses B and steps until it ends. Returns the number of W ticks taken.
int finishLivesScreen(sim::Simulation& sim) {
  int ticks = 0;
  while (sim.state().lives_wait < 50 && ticks < 100) sim.step(0, ticks++);
  sim.step(kB, ticks++);
  while (sim.tickKind() == 'W' && ticks < 300) sim.step(0, ticks++);
  return ticks;
}

TEST(TickKind, FollowsFrontScreenAndSubgame) {
  struct Case {
    std::int64_t front, screen, subgame;
    char kind;
  };
  const Case cases[] = {
      {0, 0, 0, 'S'}, {0, 1, 0, 'W'}, {0, 4, 0, 'W'}, {0, 0, 1, 'G'}, {0, 2, 1, 'W'}, {1, 0, 0, 0}, {3, 1, 1, 0},
  };
  SimFixture f;
  for (const Case& c : cases) {
    f.sim->mutableState().front = c.front;
    f.sim->mutableState().screen_kind = c.screen;
    f.sim->mutableState().in_subgame = c.subgame;
    EXPECT_EQ(f.sim->tickKind(), c.kind) << c.front << " " << c.screen << " " << c.subgame;
  }
}

TEST(EventScreen, BeginsWithOneFrameRunsOnWTicksAndEndsOnAButton) {
  SimFixture f;
  sim::Simulation& sim = f.started();
  sim.mutableState().event = 3;
  sim.step(0, 0);
  EXPECT_EQ(sim.stopMessage(), "");
  EXPECT_EQ(sim.tickKind(), 'W');
  EXPECT_EQ(sim.state().event, 0);
  EXPECT_EQ(sim.state().step_stage, 5);
  EXPECT_EQ(sim.fadeVBlanks(), 20);
  ASSERT_EQ(sim.screens().size(), 1u);
  const sim::Screen& screen = sim.screens().back();
  EXPECT_EQ(screen.event, 3);
  EXPECT_EQ(screen.area, 21);
  ASSERT_EQ(screen.frames.size(), 1u);  // drawn in the step that began it
  // The energy bar (its two ends and the panel's four frame-51 sprites, no
  // segments with no damage), then two sprites from the event's entry,
  // frames offset by its bank's 4 frames.
  ASSERT_EQ(screen.frames[0].size(), 8u);
  EXPECT_EQ(screen.frames[0][0].frame, 73u);
  EXPECT_EQ(screen.frames[0][6], (sim::SpriteCall{200, 150, 5, 0, 0x0410C0}));
  EXPECT_FALSE(sim.isAtRest());

  sim.step(0x0F, 1);  // directions do not end it
  EXPECT_EQ(sim.tickKind(), 'W');
  EXPECT_EQ(sim.screens().back().frames.size(), 2u);
  sim.step(0x20, 2);  // C ends it
  EXPECT_EQ(sim.tickKind(), 'S');
  EXPECT_EQ(sim.state().step_stage, 0);
  EXPECT_EQ(sim.fadeVBlanks(), 20);
  EXPECT_TRUE(sim.isAtRest());
}

TEST(Resumption, ScreenBegunInStage5ResumesAtStage6AndShowsTheReminder) {
  SimFixture f;
  sim::Simulation& sim = f.started();
  sim.mutableState().event = 3;
  sim.mutableState().idle_timer = 10798;  // stage 6 of this step makes it 10799
  sim.step(0, 0);
  ASSERT_EQ(sim.state().screen_kind, 1);
  EXPECT_EQ(sim.state().idle_timer, 10798);  // the step ended in stage 5
  sim.step(kB, 1);
  // Ending the screen ran stage 6, which reached 10800 and showed event 21 at once.
  EXPECT_EQ(sim.state().idle_timer, 10799);
  sim.step(kB, 2);
  EXPECT_EQ(sim.state().idle_timer, 10800);
  EXPECT_EQ(sim.tickKind(), 'W');
  EXPECT_EQ(sim.state().screen_event, 21);
  EXPECT_EQ(sim.state().step_stage, 6);
  ASSERT_EQ(sim.screens().size(), 1u);
  EXPECT_EQ(sim.screens().back().event, 21);
}

TEST(Resumption, ScreenBegunInStage10ResumesAtStage3) {
  SimFixture f;
  sim::Simulation& sim = f.started();
  sim::GameState& s = sim.mutableState();
  s.event = 7;
  s.stars_left = 0;  // stage 3 will raise event 14
  s.flag_82fa = 255;
  sim.setSuspendMode(true);
  EXPECT_THROW(sim::runStages(sim.context(), 10, 0), sim::Suspend);
  EXPECT_EQ(sim.state().screen_event, 7);
  sim.mutableState().flag_82fa = 0;
  sim.step(kB, 1);
  EXPECT_EQ(sim.state().flag_82fa, 255);
  EXPECT_EQ(sim.state().screen_kind, 1);
  EXPECT_EQ(sim.state().screen_event, 14);  // shown before the step's stage 7
  EXPECT_EQ(sim.state().step_stage, 5);
}

TEST(Resumption, LivesScreenResumesAtStage1AndRespawns) {
  SimFixture f;
  sim::Simulation& sim = f.started();
  sim::GameState& s = sim.mutableState();
  s.restart_area = 21;
  s.restart_x = 100;
  s.restart_y = 80;
  s.x = 40 << 16;
  s.damage = 64 << 16;
  s.death_timer = 1;
  s.music = 9;
  sim.step(0, 0);
  EXPECT_EQ(sim.state().lives, 1);
  EXPECT_EQ(sim.state().respawn_pending, 1);
  EXPECT_EQ(sim.tickKind(), 'W');
  EXPECT_EQ(sim.state().screen_kind, 3);
  EXPECT_EQ(sim.state().damage, 0);  // the lives screen resets the hero
  ASSERT_EQ(sim.soundRequests().size(), 1u);
  EXPECT_EQ(sim.soundRequests()[0], (audio::SoundRequest{0, 7}));
  ASSERT_EQ(sim.screens().size(), 1u);
  const sim::Screen& screen = sim.screens().back();
  EXPECT_EQ(screen.lives_flag, 1);
  EXPECT_EQ(screen.stars, 250);
  ASSERT_NE(screen.snapshot, nullptr);
  EXPECT_EQ(screen.snapshot->lives, 1);
  ASSERT_EQ(screen.lives_frames.size(), 1u);
  EXPECT_EQ(screen.lives_frames[0].lives, 2);  // one more while the counter has not moved
  ASSERT_EQ(screen.frames[0].size(), 5u);
  EXPECT_EQ(screen.frames[0][1], (sim::SpriteCall{290, 216, 4, 0, 0x0040AC}));  // 3 frames + 1

  sim.soundRequests().clear();
  const int ticks = finishLivesScreen(sim);
  EXPECT_EQ(ticks, 50 + 1 + 69);
  EXPECT_EQ(sim.tickKind(), 'S');
  EXPECT_EQ(sim.state().respawn_pending, 0);
  EXPECT_EQ(sim.state().x, 100 << 16);
  EXPECT_EQ(sim.state().y, 80 << 16);
  EXPECT_EQ(sim.state().grace, 300);
  EXPECT_EQ(sim.state().dying, 0);
  ASSERT_FALSE(sim.soundRequests().empty());
  EXPECT_EQ(sim.soundRequests()[0], (audio::SoundRequest{0, 9}));  // the area's music again
}

TEST(Lives, CheatKeepsTheCount) {
  SimFixture f;
  sim::Simulation& sim = f.started();
  sim.setCheats(sim::kCheatLives);
  sim.mutableState().damage = 64 << 16;
  sim.mutableState().death_timer = 1;
  sim.step(0, 0);
  EXPECT_EQ(sim.state().lives, 2);
  EXPECT_EQ(sim.state().screen_kind, 3);
}

TEST(GameOver, LastLifeShowsTheSignInPlayAndEndsAtOnceForTools) {
  for (bool tools : {false, true}) {
    SimFixture f;
    sim::Simulation& sim = f.started();
    sim.mutableState().lives = 0;
    sim.mutableState().damage = 64 << 16;
    sim.mutableState().death_timer = 1;
    if (tools)
      sim.runGameStep(0, 1, 1, {});
    else
      sim.step(0, 0);
    EXPECT_EQ(sim.state().music, 5) << tools;
    if (tools) {
      EXPECT_EQ(sim.endMessage(), "game over");
      EXPECT_EQ(sim.state().screen_kind, 0);
    } else {
      EXPECT_EQ(sim.endMessage(), "");
      EXPECT_EQ(sim.state().screen_kind, 4);
      EXPECT_EQ(sim.state().go_vx, 4294754304);
      ASSERT_EQ(sim.screens().size(), 1u);
      EXPECT_EQ(sim.screens().back().over_flag, 1);
      // Once the sign has left, the screen ends with the end message.
      sim.mutableState().go_phase = 2;
      sim.step(0, 1);
      EXPECT_EQ(sim.endMessage(), "game over");
      EXPECT_EQ(sim.fadeVBlanks(), 10);
    }
  }
}

TEST(ToolsMode, ScreensRunToTheirEndInsideTheCall) {
  SimFixture f;
  sim::Simulation& sim = f.started();
  sim.mutableState().event = 4;
  sim.runGameStep(0, 30, 200, {});
  EXPECT_EQ(sim.tickKind(), 'S');
  ASSERT_EQ(sim.screens().size(), 1u);
  EXPECT_EQ(sim.screens().back().frames.size(), 30u);

  sim.mutableState().damage = 64 << 16;
  sim.mutableState().death_timer = 1;
  sim.mutableState().restart_x = 77;
  sim.runGameStep(0, 30, 200, {});
  EXPECT_EQ(sim.tickKind(), 'S');
  ASSERT_EQ(sim.screens().size(), 1u);
  const auto& frames = sim.screens().back().lives_frames;
  ASSERT_EQ(frames.size(), 201u);
  EXPECT_EQ(frames[130].lives, 2);  // the button comes 70 frames before the end
  EXPECT_EQ(frames[131].lives, 1);
  EXPECT_EQ(sim.state().x, 77 << 16);  // respawned in the same call
}

TEST(MissingTable, StepCompletesThenReportsTheFirstMissingAddress) {
  SimFixture f;
  sim::Simulation& sim = f.started();
  // An event whose screen entry was never exported.
  sim.mutableState().event = 40;
  sim.step(0, 0);
  EXPECT_EQ(sim.stopMessage(), "a ROM table that was not exported (03E510)");
  // The step went on with zeros: the screen began and drew its frame.
  EXPECT_EQ(sim.state().screen_kind, 1);
  ASSERT_EQ(sim.screens().size(), 1u);
  EXPECT_EQ(sim.screens().back().frames.size(), 1u);
}

TEST(MissingTable, NewGameWithoutTablesFails) {
  SimFixture f(false);
  EXPECT_FALSE(f.sim->newGame(0));
  EXPECT_EQ(f.sim->stopMessage(), "a ROM table that was not exported (0025E0)");
}

TEST(Stages, StageOutsideTheRangeStops) {
  SimFixture f;
  f.started();
  EXPECT_THROW(sim::runStages(f.sim->context(), 11, 0), sim::Stop);
  EXPECT_EQ(f.sim->stopMessage(), "a step stage 11");
}

TEST(Stages, PauseNeedsTheDelayForTheDisplayRate) {
  struct Case {
    std::int64_t hz, delay;
    bool paused;
  };
  const Case cases[] = {{60, 88, false}, {60, 89, true}, {50, 73, false}, {50, 74, true}};
  for (const Case& c : cases) {
    SimFixture f;
    sim::Simulation& sim = f.started();
    sim.mutableState().refresh_hz = c.hz;
    sim.mutableState().pause_delay = c.delay;
    sim.step(0x80, 0);
    EXPECT_EQ(sim.state().pause_delay == 0, c.paused) << c.hz << " " << c.delay;
    const bool queued =
        sim.soundRequests().size() == 2 && sim.soundRequests()[0].kind == 2 && sim.soundRequests()[1].kind == 3;
    EXPECT_EQ(queued, c.paused) << c.hz << " " << c.delay;
  }
}

}  // namespace

namespace {

TEST(MissingTable, IsReportedOnceSoTheGameCanGoOnFromASafePoint) {
  sim_test::SimFixture f;
  sim::Simulation& sim = f.started();
  const auto safe = sim.snapshot();
  sim.mutableState().event = 40;
  sim.step(0, 0);
  ASSERT_FALSE(sim.stopMessage().empty());
  ASSERT_TRUE(sim.loadState(*safe));
  sim.step(0, 1);
  EXPECT_EQ(sim.stopMessage(), "");
  EXPECT_EQ(f.rom->missingAddress(), 0u);
}

TEST(Teleport, StopHalfwayPutsTheGameBack) {
  sim_test::SimFixture f;
  sim::Simulation& sim = f.started();
  sim.mutableState().score = 5;
  const sim::GameState before = sim.state();
  sim_test::putWords(*f.rom, 0x03E844 + 4 * 10, {0x0007, 0x0000});  // area 10's bank list was not exported
  EXPECT_FALSE(sim.teleport(10, 100, 50));
  EXPECT_EQ(sim.stopMessage(), "a ROM table that was not exported (070000)");
  EXPECT_EQ(sim.state(), before);
  EXPECT_EQ(sim.areaCache().area->id, 21);
}

}  // namespace

namespace {

TEST(SubgameTick, UnknownModeStopsWithoutThrowing) {
  sim_test::SimFixture f;
  sim::Simulation& sim = f.started();
  sim.mutableState().in_subgame = 1;
  sim.mutableState().mode = 3;
  sim::setSubRamWord(sim.context(), 0xFF910C, 0x1234);
  EXPECT_NO_THROW(sim.step(0, 0));
  EXPECT_EQ(sim.stopMessage(), "subgame 3's rules (S7)");
  EXPECT_EQ(sim.state().w910c, 0x1234);
  EXPECT_EQ(sim.state().in_subgame, 1);
}

}  // namespace

namespace {

TEST(MissingTable, AMissAtAddressZeroIsReportedToo) {
  sim_test::SimFixture f;
  sim::Simulation& sim = f.started();
  sim_test::putWords(*f.rom, 0x03E844 + 4 * 10, {0, 0});  // area 10's bank list at address 0, never exported
  EXPECT_FALSE(sim.teleport(10, 100, 50));
  EXPECT_EQ(sim.stopMessage(), "a ROM table that was not exported (000000)");
}

}  // namespace
