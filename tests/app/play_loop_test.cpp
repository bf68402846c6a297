// The play loop run in this process on a hidden window: a forced V-blank in every presented frame under
// --quit-after-frames, and the presented picture being the composed one.
#include <gtest/gtest.h>

#include <cstdlib>

#include "app/play_loop.h"
#include "app/play_pictures.h"
#include "app/world_load.h"
#include "render/render_assets.h"
#include "sim/simulation.h"
#include "temp_folder.h"

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
  EXPECT_EQ(loop.shutDown(), 0);
}

TEST_F(PlayLoopRun, SetUpRefusesWhatItCannotRun) {
  parameters.playback = (folder.path() / "missing.txt").string();
  app::PlayLoop loop(data, parameters);
  EXPECT_EQ(loop.setUp(), 2);
}

}  // namespace
