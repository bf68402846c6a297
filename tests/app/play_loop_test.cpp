// The play loop run in this process on a hidden window: a forced V-blank in every presented frame under
// --quit-after-frames, and the presented picture being the composed one.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "app/play_loop.h"
#include "app/play_pictures.h"
#include "app/world_load.h"
#include "render/render_assets.h"
#include "sim/rom_view.h"
#include "sim/simulation.h"
#include "temp_folder.h"
#include "ui/pause_flow.h"

namespace {

class PlayLoopRun : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    data.dataDirectory = GROVANTA_SOURCE_DIR;
    ASSERT_TRUE(app::loadWorldInto(data));
    parameters.windowed = true;
    parameters.hiddenWindow = true;
    parameters.user = (folder.path() / "user").string();
  }
  testing_support::TempFolder folder;
  app::Data data;
  app::PlayParameters parameters;
};

TEST_F(PlayLoopRun, EachPresentedFrameRunsAForcedVBlankAndShowsTheComposedPicture) {
  parameters.quitAfterFrames = 25;
  parameters.pads = "1-25:08";
  app::PlayLoop loop(data, parameters);
  ASSERT_EQ(loop.setUp(), 0);
  int frames = 0;
  std::int64_t vblanks = 0;
  while (loop.running()) {
    loop.frame();
    ++frames;
    // At least the forced V-blank; more only when the frame took longer than a V-blank of real time.
    ASSERT_GE(loop.vblank(), vblanks + 1);
    vblanks = loop.vblank();
    ASSERT_EQ(loop.tickCounter(), vblanks);  // no fade, no menu: every V-blank steps the game
  }
  EXPECT_EQ(frames, 25);
  EXPECT_EQ(loop.presented(), 25);

  const std::optional<render::Frame> expected =
      app::composeSimulation(*data.renderAssets, loop.texts(), loop.simulation());
  ASSERT_TRUE(expected);
  EXPECT_EQ(loop.lastPresented().width, 320);
  EXPECT_EQ(loop.lastPresented().height, 224);
  EXPECT_EQ(loop.lastPresented().pixels, render::toRgb(*expected));

  // Checked by hand against the board's source (data/pictures/language_menu.txt): the language menu's
  // 192 x 80 board lies at (64, 32); its outer outline is colour 5 ("310": red 3, green 1, blue 0) along
  // its whole top row, and its inside colour 3 ("765"), here beside the names.
  const auto channels = [](int r, int g, int b) {
    return 0xFF000000u | static_cast<std::uint32_t>(r * 255 / 7) << 16 | static_cast<std::uint32_t>(g * 255 / 7) << 8 |
           static_cast<std::uint32_t>(b * 255 / 7);
  };
  const std::vector<std::uint32_t>& shown = loop.lastPresented().pixels;
  int offTheOutline = 0;
  for (int x = 64; x < 256; ++x) offTheOutline += shown[32 * 320 + x] != channels(3, 1, 0);
  EXPECT_EQ(offTheOutline, 0) << "pixels of the board's top row in another colour";
  EXPECT_NE(shown[32 * 320 + 63], channels(3, 1, 0)) << "left of the board";
  EXPECT_EQ(shown[48 * 320 + 84], channels(7, 6, 5)) << "inside the board";
  EXPECT_EQ(loop.shutDown(), 0);
}

TEST_F(PlayLoopRun, SetUpRefusesWhatItCannotRun) {
  parameters.playback = (folder.path() / "missing.txt").string();
  app::PlayLoop loop(data, parameters);
  EXPECT_EQ(loop.setUp(), 2);
}

}  // namespace

namespace {

// The last word of the cartridge: our data set never places anything there.
constexpr std::uint32_t kNeverExported = 0x07FFFE;

TEST_F(PlayLoopRun, AStoppedGameGoesBackToItsSafePointOrToTheTitle) {
  parameters.quitAfterFrames = 1000;
  parameters.pads = "1-1000:00";
  app::PlayLoop loop(data, parameters);
  ASSERT_EQ(loop.setUp(), 0);
  sim::Simulation& simulation = loop.mutableSimulation();
  ASSERT_TRUE(simulation.newGame(0)) << simulation.stopMessage();
  for (int i = 0; i < 10; ++i) loop.frame();
  ASSERT_EQ(simulation.state().front, 0);
  ASSERT_EQ(simulation.tickKind(), 'S');

  // A read of a table the data set does not have stops the next step; the game at rest before it comes back.
  testing::internal::CaptureStderr();
  data.rom->byteAt(kNeverExported);
  loop.frame();
  std::string log = testing::internal::GetCapturedStderr();
  EXPECT_NE(log.find("[error] the game stopped: a ROM table that was not exported (07FFFE)\n"), std::string::npos)
      << log;
  ASSERT_EQ(loop.menu().stateName(), "message");
  EXPECT_EQ(loop.menu().message()[0], "Game Stopped");
  EXPECT_EQ(loop.menu().message()[1], "PLAY WENT BACK A MOMENT.");
  const std::string errors = testing_support::readWhole(folder.path() / "user" / "errors.log");
  EXPECT_NE(errors.find("a ROM table that was not exported (07FFFE) (area 21 at "), std::string::npos) << errors;
  EXPECT_NE(errors.find("; play went back a moment\n"), std::string::npos) << errors;
  EXPECT_EQ(simulation.state().front, 0);
  EXPECT_EQ(simulation.tickKind(), 'S');
  loop.menu().command(5);  // OK
  loop.frame();            // and goes on
  EXPECT_TRUE(simulation.stopMessage().empty());

  // A stop on the first step of a new game has no safe point yet (the front end dropped it): the title
  // comes back.
  simulation.newStart(false);
  loop.frame();
  ASSERT_NE(simulation.state().front, 0);
  ASSERT_TRUE(simulation.newGame(0)) << simulation.stopMessage();
  testing::internal::CaptureStderr();
  data.rom->byteAt(kNeverExported);
  loop.frame();
  log = testing::internal::GetCapturedStderr();
  EXPECT_EQ(loop.menu().message()[1], "BACK TO THE TITLE.");
  EXPECT_NE(simulation.state().front, 0);

  // Under --quit-after-frames a stopped game fails the run, without the summary line.
  testing::internal::CaptureStderr();
  EXPECT_EQ(loop.shutDown(), 1);
  log = testing::internal::GetCapturedStderr();
  EXPECT_EQ(log.find("presented"), std::string::npos) << log;
}

TEST_F(PlayLoopRun, F12DuringTheGameIsRefusedAndTheGameGoesOn) {
  parameters.quitAfterFrames = 1000;
  parameters.pads = "1-1000:00";
  parameters.f12 = 3;
  app::PlayLoop loop(data, parameters);
  ASSERT_EQ(loop.setUp(), 0);
  ASSERT_TRUE(loop.mutableSimulation().newGame(0)) << loop.simulation().stopMessage();
  testing::internal::CaptureStderr();
  while (loop.vblank() < 5) loop.frame();
  const std::string log = testing::internal::GetCapturedStderr();
  EXPECT_NE(
      log.find("[info] F12: the code menu opens from the front end only (the menus, the title, its attract part)\n"),
      std::string::npos)
      << log;
  EXPECT_EQ(loop.simulation().tickKind(), 'S');
  EXPECT_EQ(loop.tickCounter(), loop.vblank());
  EXPECT_EQ(loop.shutDown(), 0);
}

}  // namespace

TEST_F(PlayLoopRun, EscapeOpensThePauseMenuAndTheGameWaitsWhileItIsOpen) {
  parameters.quitAfterFrames = 40;
  parameters.keys = "10:Escape,30:Escape";
  app::PlayLoop loop(data, parameters);
  ASSERT_EQ(loop.setUp(), 0);
  std::int64_t ticksAtOpen = -1;
  while (loop.running()) {
    loop.frame();
    // A slow frame may owe several ticks, so the vblank count can pass 10 or 29 without stopping on them.
    if (ticksAtOpen < 0 && loop.vblank() >= 10 && loop.vblank() < 30) {
      EXPECT_EQ(loop.menu().stateName(), "main");
      ticksAtOpen = loop.tickCounter();
    }
    if (loop.vblank() > 10 && loop.vblank() < 30) EXPECT_EQ(loop.tickCounter(), ticksAtOpen);  // no step while open
  }
  EXPECT_EQ(loop.menu().stateName(), "closed");
  EXPECT_GT(loop.tickCounter(), ticksAtOpen);
  EXPECT_EQ(loop.shutDown(), 0);
}

TEST_F(PlayLoopRun, AQuickSaveLoadsBackExactlyThroughTheLoopsHooks) {
  parameters.quitAfterFrames = 1;
  app::PlayLoop loop(data, parameters);
  ASSERT_EQ(loop.setUp(), 0);
  sim::Simulation& game = loop.mutableSimulation();
  game.newStart(false);
  game.newGame(0);
  for (int i = 0; i < 120; ++i) game.step(i % 30 < 20 ? 0x08 : 0x28, i + 1);
  for (int i = 0; i < 200 && !game.isAtRest(); ++i) game.step(0, 200 + i);
  ASSERT_TRUE(game.isAtRest());
  const sim::GameState saved = game.state();
  const ui::Picture shown{320, 224, std::vector<std::uint32_t>(320 * 224, 0xFF204060u)};
  loop.menu().action(ui::kActionQuickSave, shown);
  EXPECT_EQ(loop.menu().noticeText(), "QUICK SAVED");

  ASSERT_TRUE(game.teleport(45, 992, 136));
  ASSERT_NE(game.state(), saved);
  loop.menu().action(ui::kActionQuickLoad, shown);
  ASSERT_EQ(loop.menu().stateName(), "confirm");
  loop.menu().command(4);
  loop.menu().command(5);
  EXPECT_EQ(loop.menu().stateName(), "closed");
  EXPECT_EQ(game.state(), saved);
  EXPECT_EQ(loop.shutDown(), 0);
}
