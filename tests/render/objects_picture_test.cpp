// Objects on the picture, on our data set: one lying in the open shows where it lies, and the carried
// ones show in the panel's tray.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <vector>

#include "our_game.h"
#include "render/frame_png.h"
#include "render/game_frame.h"
#include "render/render_assets.h"
#include "render/video_chip.h"
#include "sim/core/big_endian.h"
#include "sim/rom_view.h"
#include "sim/simulation.h"
#include "sim/things/things.h"
#include "world/world.h"

namespace {

struct OurGame : render_test::LoadedGame {
  // A new game with object `lying` at (x, 160) in the start area and objects `carried` in the three
  // slots, drawn after a step.
  std::optional<render::Frame> draw(std::int64_t lying, std::int64_t x, const std::vector<std::int64_t>& carried) {
    if (!sim->newGame(0)) return std::nullopt;
    sim::GameState& s = sim->mutableState();
    s.flag_8309 = 255;
    for (std::int64_t k = 0; k < 62; ++k) sim::be::setWord(s.objects, 16 * static_cast<std::size_t>(k), 100);
    if (lying >= 0)
      for (auto [at, v] : {std::pair{0, std::int64_t{21}}, {2, x}, {4, std::int64_t{160}}})
        sim::be::setWord(s.objects, 16 * static_cast<std::size_t>(lying) + at, v);
    for (std::size_t w = 0; w < carried.size(); ++w) {
      sim::be::setWord(s.inventory, 4 + 2 * w, carried[w]);
      if (carried[w] >= 0) sim::be::setWord(s.objects, 16 * static_cast<std::size_t>(carried[w]), -1);
    }
    sim::things::loadObjectsHere(sim->context());
    sim->step(0, 0);
    if (!sim->stopMessage().empty()) return std::nullopt;
    return render::renderGameStep(*assets, sim->state(), sim->frameSprites());
  }
};

int differing(const render::Frame& a, const render::Frame& b, int x0, int y0, int x1, int y1) {
  int n = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) {
      const auto i = static_cast<std::size_t>(y * render::kScreenWidth + x);
      n += a.pixels[i] != b.pixels[i] ? 1 : 0;
    }
  return n;
}

TEST(ObjectsPicture, LyingAndCarriedObjectsShow) {
  OurGame game;
  ASSERT_TRUE(game.world);
  ASSERT_TRUE(game.rom.loaded());
  std::optional<render::Frame> none = game.draw(-1, 0, {-1, -1, -1});
  ASSERT_TRUE(none) << game.sim->stopMessage();
  std::optional<render::Frame> some = game.draw(13, 300, {0, 18, 25});
  ASSERT_TRUE(some) << game.sim->stopMessage();
  if (const char* out = std::getenv("GROVANTA_OBJECTS_PNG")) {
    const std::vector<unsigned char> png = render::encodeIndexedPng(*some, -1);
    std::ofstream(out, std::ios::binary)
        .write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
  }
  const std::int64_t camera = game.sim->state().camera_x;
  const int lyingX = static_cast<int>(300 - camera);
  EXPECT_GT(differing(*none, *some, lyingX, 160, lyingX + 16, 176), 20) << "the object lying at x 300";
  // The three slots of the tray: x 112, 152, 192 on the screen, y 200.
  for (int slot = 0; slot < 3; ++slot)
    EXPECT_GT(differing(*none, *some, 112 + 40 * slot, 200, 128 + 40 * slot, 216), 20) << "slot " << slot;
}

}  // namespace
