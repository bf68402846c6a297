// Recordings in the play loop: a recorded game played back is the same game, and the demo starts, is taken
// over and is left without harming the game that ran before it.
#include <gtest/gtest.h>

#include <cstdlib>

#include "app/modes.h"
#include "app/pilot/conditions.h"
#include "app/pilot/pilot.h"
#include "app/play_loop.h"
#include "app/recording/recording.h"
#include "app/world_load.h"
#include "sim/rom_view.h"
#include "sim/simulation.h"
#include "temp_folder.h"
#include "ui/pause_flow.h"

namespace {

class RecordingRun : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    data.dataDirectory = GROVANTA_SOURCE_DIR;
    ASSERT_TRUE(app::loadWorldInto(data));
    ASSERT_TRUE(app::loadCartridgeTables(data));
    parameters.windowed = true;
    parameters.hiddenWindow = true;
    parameters.intro = false;
    parameters.user = (folder.path() / "user").string();
  }

  // A game of runs and jumps to the right, then back left, as the autopilot's driver plays it.
  std::vector<std::uint8_t> gamePads() const {
    std::vector<std::uint8_t> pads;
    pads.insert(pads.end(), 60, 0x08);
    pads.insert(pads.end(), 12, 0x28);
    pads.insert(pads.end(), 40, 0x08);
    pads.insert(pads.end(), 30, 0x00);
    pads.insert(pads.end(), 50, 0x24);
    pads.insert(pads.end(), 20, 0x04);
    return pads;
  }

  testing_support::TempFolder folder;
  app::Data data;
  app::PlayParameters parameters;
};

TEST_F(RecordingRun, PlaybackOfARecordedGameReachesTheSameState) {
  app::pilot::Pilot pilot(*data.world, *data.rom);
  ASSERT_TRUE(pilot.newGame(0));
  ASSERT_TRUE(pilot.play(gamePads()));
  const std::filesystem::path file = folder.path() / "game.txt";
  ASSERT_TRUE(app::writeRecording(file, 0, pilot.startLives(), 1000, pilot.ticks(), {"the program closed"}));

  parameters.playback = file.string();
  parameters.quitAfterFrames = 5000;
  app::PlayLoop loop(data, parameters);
  ASSERT_EQ(loop.setUp(), 0);
  while (loop.running() && !(loop.playback()->synced() && loop.playback()->position() >= pilot.ticks().size()))
    loop.frame();
  ASSERT_TRUE(loop.playback()->synced());

  // The playback may have run a few ticks of pad 0 past the recording within the last frame.
  const std::int64_t played = loop.tickCounter() - 1000;
  ASSERT_GE(played, static_cast<std::int64_t>(pilot.ticks().size()));
  for (std::int64_t i = static_cast<std::int64_t>(pilot.ticks().size()); i < played; ++i) ASSERT_TRUE(pilot.step(0));
  sim::GameState expected = pilot.simulation().state();
  sim::GameState actual = loop.simulation().state();
  // The music of the front end carries over into the game; it plays no part in the game itself.
  expected.music = actual.music;
  expected.music_wait = actual.music_wait;
  EXPECT_EQ(sim::differingFields(expected, actual), std::vector<std::string_view>{});
  EXPECT_GT(app::pilot::heroX(actual), 160);

  // The game played back was recorded again, tick for tick.
  EXPECT_EQ(loop.shutDown(), 0);
  const std::vector<std::filesystem::path> recordings = [&] {
    std::vector<std::filesystem::path> out;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path() / "user" / "recordings"))
      out.push_back(entry.path());
    return out;
  }();
  ASSERT_EQ(recordings.size(), 1u);
  const app::InputRecording again = app::loadRecording(recordings[0]);
  ASSERT_TRUE(again.valid);
  EXPECT_EQ(again.endReason, "the program closed");
  ASSERT_GE(again.ticks.size(), pilot.ticks().size());
  EXPECT_TRUE(std::equal(pilot.ticks().begin(), pilot.ticks().end(), again.ticks.begin()));
}

TEST_F(RecordingRun, PlaybackEndsTheProgramAHundredFramesAfterTheLastTick) {
  const std::filesystem::path file = folder.put("short.txt", "lives 2\nframe_count 1000\n1 S 08\nend 5 x\n");
  parameters.playback = file.string();
  app::PlayLoop loop(data, parameters);
  ASSERT_EQ(loop.setUp(), 0);
  int frames = 0;
  while (loop.running() && frames < 20000) {
    loop.frame();
    ++frames;
  }
  EXPECT_FALSE(loop.running());
  ASSERT_TRUE(loop.playback()->synced());
  EXPECT_EQ(loop.playback()->position(), 5u);
  EXPECT_EQ(loop.shutDown(), 0);
}

TEST_F(RecordingRun, WithoutADemoTheRunningGameGoesOnUntouched) {
  parameters.quitAfterFrames = 100;
  parameters.pads = "1-100:00";
  app::PlayLoop loop(data, parameters);
  ASSERT_EQ(loop.setUp(), 0);
  loop.mutableSimulation().newGame(0);
  for (int i = 0; i < 5; ++i) loop.frame();
  const sim::GameState before = loop.simulation().state();
  loop.mutableDemo().use(app::InputRecording{});
  EXPECT_FALSE(loop.startDemo());
  EXPECT_FALSE(loop.demo().watching());
  EXPECT_TRUE(loop.simulation().state() == before);
}

TEST_F(RecordingRun, TheDemoTakenOverIsRecordedFromItsFirstTick) {
  // The demo: a game of the autopilot's driver.
  app::pilot::Pilot pilot(*data.world, *data.rom);
  ASSERT_TRUE(pilot.newGame(0));
  ASSERT_TRUE(pilot.play(gamePads()));
  const std::filesystem::path demoFile = folder.path() / "demo.txt";
  ASSERT_TRUE(app::writeRecording(demoFile, 0, 2, 1000, pilot.ticks(), {"the route's end"}));

  parameters.quitAfterFrames = 100000;
  parameters.pads = "1-100000:00";
  app::PlayLoop loop(data, parameters);
  ASSERT_EQ(loop.setUp(), 0);
  loop.mutableSimulation().mutableState().language = 2;  // the player's language
  loop.mutableDemo().use(app::loadRecording(demoFile));
  ASSERT_TRUE(loop.startDemo());
  EXPECT_EQ(loop.noticeText(), "<>: SPEED  START: PLAY  ESC: LEAVE");
  EXPECT_EQ(loop.simulation().state().language, 0);
  while (loop.demo().position() < 100) loop.frame();
  const std::size_t takenAt = loop.demo().position();
  loop.takeOverDemo();
  EXPECT_FALSE(loop.demo().watching());
  ASSERT_TRUE(loop.recorder().recording());
  const std::filesystem::path taken = loop.recorder().currentPath();
  loop.endRecording("quit to the title");

  const app::InputRecording mine = app::loadRecording(taken);
  ASSERT_TRUE(mine.valid);
  ASSERT_EQ(mine.ticks.size(), takenAt);
  EXPECT_TRUE(std::equal(mine.ticks.begin(), mine.ticks.end(), pilot.ticks().begin()));
  EXPECT_EQ(mine.frame_count, 1000);

  // Leaving puts the player's language back and shows the title.
  loop.mutableDemo().use(app::loadRecording(demoFile));
  ASSERT_TRUE(loop.startDemo());
  loop.leaveDemo();
  EXPECT_EQ(loop.simulation().state().language, 2);
  EXPECT_NE(loop.simulation().state().front, 0);
}

TEST_F(RecordingRun, ThePauseMenuStartsAndLeavesTheDemo) {
  app::pilot::Pilot pilot(*data.world, *data.rom);
  ASSERT_TRUE(pilot.newGame(0));
  ASSERT_TRUE(pilot.play(gamePads()));
  const std::filesystem::path demoFile = folder.path() / "demo.txt";
  ASSERT_TRUE(app::writeRecording(demoFile, 0, 2, 1000, pilot.ticks(), {"the route's end"}));

  parameters.quitAfterFrames = 100000;
  parameters.pads = "1-100000:00";
  app::PlayLoop loop(data, parameters);
  ASSERT_EQ(loop.setUp(), 0);
  loop.mutableDemo().use(app::loadRecording(demoFile));
  const ui::Picture shown{320, 224, std::vector<std::uint32_t>(320 * 224, 0xFF000000u)};

  // From the title: Watch Demo starts it at once.
  loop.menu().action(ui::kActionOpen, shown);
  for (int c : {1, 1, 5}) loop.menu().command(c);
  EXPECT_FALSE(loop.menu().isOpen());
  ASSERT_TRUE(loop.demo().watching());
  EXPECT_EQ(loop.menu().noticeText(), "<>: SPEED  START: PLAY  ESC: LEAVE");
  for (int i = 0; i < 20; ++i) loop.frame();

  // The menu key asks to leave; leaving shows the title again.
  loop.menu().action(ui::kActionOpen, shown);
  ASSERT_EQ(loop.menu().stateName(), "confirm");
  EXPECT_EQ(loop.menu().dialogTexts()[0], "Leave the Demo?");
  loop.menu().command(4);
  loop.menu().command(5);
  EXPECT_FALSE(loop.demo().watching());
  EXPECT_NE(loop.simulation().state().front, 0);
}

}  // namespace
