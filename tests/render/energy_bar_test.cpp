// The energy bar as the game draws it on our data set: a new game whose hero has taken damage, a
// step, the picture. The bar must show the damage as a fill one pixel wide per point, and it must
// lie in the panel's tray, where the carried objects lie when the bar is not shown.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <vector>

#include "our_game.h"
#include "render/game_frame.h"
#include "render/render_assets.h"
#include "render/video_chip.h"
#include "sim/rom_view.h"
#include "sim/simulation.h"
#include "world/world.h"

namespace {

// The bar's sprite frames: the bar (heart and outline), its segments, its start.
bool isBarFrame(std::uint32_t frame) {
  return frame >= 73 && frame <= 77;
}

// The tray in the middle of the panel, and the row through the middle of the bar's inside.
constexpr int kTrayLeft = 112, kTrayRight = 208, kTrayTop = 200, kTrayBottom = 216;
constexpr int kBarRow = 212, kFillLeft = 128;

struct BarPicture {
  render::Frame with, without;
  std::uint8_t at(const render::Frame& f, int x, int y) const {
    return f.pixels[static_cast<std::size_t>(y * render::kScreenWidth + x)];
  }
};

struct OurGame : render_test::LoadedGame {
  // A new game whose hero has taken `damage` points, drawn with and without the bar.
  std::optional<BarPicture> drawBar(std::int64_t damage) {
    if (!sim->newGame(0)) return std::nullopt;
    sim->mutableState().damage = damage << 16;
    sim->mutableState().damage_show = 240;
    // Two steps: the flashing of a nearly full bar takes its first frame from the first one.
    sim->step(0, 0);
    sim->step(0, 1);
    if (!sim->stopMessage().empty()) return std::nullopt;
    const std::vector<sim::SpriteCall>& calls = sim->frameSprites();
    std::vector<sim::SpriteCall> withoutBar;
    for (const sim::SpriteCall& c : calls)
      if (!isBarFrame(c.frame)) withoutBar.push_back(c);
    std::optional<render::Frame> with = render::renderGameStep(*assets, sim->state(), calls);
    std::optional<render::Frame> without = render::renderGameStep(*assets, sim->state(), withoutBar);
    if (!with || !without) return std::nullopt;
    return BarPicture{*with, *without};
  }
};

TEST(EnergyBar, ShowsTheDamageAsAFillInsideThePanelsTray) {
  OurGame game;
  ASSERT_TRUE(game.world);
  ASSERT_TRUE(game.rom.loaded());
  std::optional<BarPicture> empty = game.drawBar(0);
  ASSERT_TRUE(empty) << game.sim->stopMessage();

  for (std::int64_t damage : {0, 1, 7, 8, 9, 30, 46, 63}) {
    SCOPED_TRACE(damage);
    std::optional<BarPicture> bar = game.drawBar(damage);
    ASSERT_TRUE(bar) << game.sim->stopMessage();

    // The fill: the pixels of the bar's middle row that differ from the empty bar's, all from the
    // bar's left end on, one per point of damage.
    int filled = 0, firstFilled = -1, lastFilled = -1;
    for (int x = 0; x < render::kScreenWidth; ++x) {
      if (bar->at(bar->with, x, kBarRow) == empty->at(empty->with, x, kBarRow)) continue;
      ++filled;
      if (firstFilled < 0) firstFilled = x;
      lastFilled = x;
    }
    EXPECT_EQ(filled, damage);
    if (damage > 0) {
      EXPECT_EQ(firstFilled, kFillLeft);
      EXPECT_EQ(lastFilled, kFillLeft + damage - 1);
    }

    // Everything the bar draws lies in the tray.
    int outside = 0;
    for (int y = 0; y < render::kScreenHeight; ++y)
      for (int x = 0; x < render::kScreenWidth; ++x)
        if (bar->at(bar->with, x, y) != bar->at(bar->without, x, y) &&
            (x < kTrayLeft || x >= kTrayRight || y < kTrayTop || y >= kTrayBottom))
          ++outside;
    EXPECT_EQ(outside, 0) << "pixels of the energy bar outside the panel's tray";
  }
}

}  // namespace
