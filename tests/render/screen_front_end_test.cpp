// The front end of our data set, run by the game logic and drawn frame by frame: every screen it
// shows draws, and reads no table the data set lacks.
#include <gtest/gtest.h>
#include <lodepng.h>

#include <filesystem>
#include <set>
#include <string>

#include "render/render_assets.h"
#include "render/screen_render.h"
#include "sim/rom_view.h"
#include "sim/simulation.h"
#include "world/world.h"

namespace {

const std::filesystem::path kRoot = GROVANTA_SOURCE_DIR;
const std::filesystem::path kLooks = std::filesystem::path(GROVANTA_BINARY_DIR) / "screens";

void look(const render::Frame& frame, const std::string& name) {
  std::vector<unsigned char> rgba;
  for (std::uint32_t p : render::toRgb(frame))
    rgba.insert(rgba.end(), {static_cast<unsigned char>(p >> 16), static_cast<unsigned char>(p >> 8),
                             static_cast<unsigned char>(p), 255});
  std::filesystem::create_directories(kLooks);
  lodepng::encode((kLooks / (name + ".png")).string(), rgba, 320, 224);
}

TEST(ScreenFrontEnd, EveryFrontEndFrameOfOurDataSetDraws) {
  auto world = world::loadWorld(kRoot);
  ASSERT_TRUE(world.has_value());
  sim::RomView rom = sim::loadRomView(kRoot, *world);
  render::RenderAssets assets(kRoot, *world, &rom);
  render::TextImages texts(kRoot);
  ASSERT_TRUE(assets.loadCommonGraphics()) << "the data set does not hold the common sprite graphics";
  ASSERT_TRUE(assets.loadPortraitFrames()) << "the data set does not hold the message font";
  sim::Simulation sim(*world, rom);
  sim.mutableState().refresh_hz = 50;
  std::int64_t tick = 0;
  std::set<std::int64_t> drawn;
  auto run = [&](std::uint8_t pad, int n, const char* name = nullptr) {
    for (int i = 0; i < n; ++i) {
      sim.step(pad, tick++);
      ASSERT_EQ(sim.stopMessage(), "") << "tick " << tick;
      ASSERT_FALSE(sim.screens().empty());
      const sim::Screen& screen = sim.screens().back();
      const int last = static_cast<int>(screen.frames.size()) - 1;
      auto frame = render::renderScreen(assets, texts, sim.state(), screen, last);
      ASSERT_TRUE(frame) << "tick " << tick << ", screen " << screen.event << " kind " << screen.picture;
      ASSERT_FALSE(rom.hasMissed()) << std::hex << rom.missingAddress();
      drawn.insert(screen.picture);
      if (name && i == n - 1) look(*frame, name);
    }
  };
  sim.newStart(true);
  run(0, 5, "run_language_menu");
  run(0x02, 2);
  run(0, 12, "run_language_menu_moving");
  run(0, 20);
  run(0x80, 3);
  run(0, 100, "run_title");
  run(0, 560);  // the countdown runs out: the attract pages begin
  run(0, 60, "run_attract");
  run(0, 400, "run_attract_later");
  EXPECT_TRUE(drawn.count(1) && drawn.count(2) && drawn.count(4)) << "language menu, title and attract pages";
}

}  // namespace
