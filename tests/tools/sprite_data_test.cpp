// The committed sprite data, read back through the program's own loaders: the common graphics load,
// and every area's bank list walks through exported cartridge bytes to pictures that hold its frames,
// numbered the way the game logic draws them.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <vector>

#include "render/render_assets.h"
#include "sim/rom_view.h"
#include "world/world.h"

namespace {

const std::filesystem::path kRoot = GROVANTA_SOURCE_DIR;

// The committed data set with its cartridge tables and the common sprite graphics loaded.
struct Shipped {
  world::World world;
  sim::RomView rom;
  std::unique_ptr<render::RenderAssets> assets;
};

std::unique_ptr<Shipped> loadShipped() {
  auto world = world::loadWorld(kRoot);
  if (!world) return nullptr;
  auto d = std::make_unique<Shipped>();
  d->world = std::move(*world);
  d->rom = sim::loadRomView(kRoot, d->world);
  if (!d->rom.loaded()) return nullptr;
  d->assets = std::make_unique<render::RenderAssets>(kRoot, d->world, &d->rom);
  if (!d->assets->loadCommonGraphics()) return nullptr;
  return d;
}

struct Frame {
  std::uint32_t block;
  int x, y, w, h;  // the rectangle it was cut from (a reuse: its source's)
  int cells;       // patterns it loads
};

// A bank list as the renderer loads it: frames in load order, the first bank's count.
struct Walk {
  std::vector<Frame> frames;
  int firstBankFrames = 0;
};

Walk walkList(const sim::RomView& rom, const render::RenderAssets& assets, std::uint32_t list) {
  Walk walk;
  for (std::uint32_t entry = list;; entry += 8) {
    std::uint32_t bank = rom.longAt(entry);
    if (bank == 0xFFFFFFFF) break;
    const render::Picture* pic = assets.findPicture(bank);
    EXPECT_NE(pic, nullptr) << std::hex << "bank " << bank << " of list " << list << " is not a picture";
    if (!pic) break;
    for (std::uint32_t sel = rom.longAt(entry + 4);; sel += 10) {
      int attribute = rom.wordAt(sel);
      if (attribute == 0xFFFF) break;
      EXPECT_LE(attribute, 7) << "attribute bits past the palette and priority";
      int x = rom.signedWordAt(sel + 2), y = rom.signedWordAt(sel + 4), w = rom.wordAt(sel + 6),
          h = rom.wordAt(sel + 8);
      if (x < 0) {
        EXPECT_LT(-x, static_cast<int>(walk.frames.size())) << "a reuse of a frame not loaded yet";
        if (-x >= static_cast<int>(walk.frames.size())) break;
        Frame f = walk.frames[static_cast<std::size_t>(-x)];
        f.cells = 0;
        walk.frames.push_back(f);
        continue;
      }
      EXPECT_LE(x + w, pic->width);
      EXPECT_LE(y + h, pic->height);
      walk.frames.push_back({bank, x, y, w, h, w * h});
    }
    if (walk.firstBankFrames == 0) walk.firstBankFrames = static_cast<int>(walk.frames.size());
  }
  return walk;
}

TEST(SpriteData, CommonGraphicsLoadAndEveryAreaListFitsItsPatternRoom) {
  auto data = loadShipped();
  ASSERT_TRUE(data) << "the data set, its cartridge tables or its common graphics do not load";
  const sim::RomView& rom = data->rom;
  const render::RenderAssets& assets = *data->assets;
  EXPECT_EQ(assets.hero_frames.size(), 46u * 9u);
  EXPECT_EQ(assets.panel_patterns.size(), 18u);
  EXPECT_EQ(assets.status_panel_table.size(), 160u);
  EXPECT_LE(assets.status_panel_patterns.size(), 2048u - 1920u - 18u);

  // The common entry: 78 frames, the hero 3 x 3, the object slots 2 x 2, the energy bar 11 cells or more.
  Walk common;
  {
    std::uint32_t list = 0x03EC7C;
    // A single entry, walked as a one-bank list by stopping after it.
    const render::Picture* pic = assets.findPicture(rom.longAt(list));
    ASSERT_NE(pic, nullptr);
    for (std::uint32_t sel = rom.longAt(list + 4); rom.wordAt(sel) != 0xFFFF; sel += 10) {
      int x = rom.signedWordAt(sel + 2);
      if (x < 0) {
        ASSERT_LT(-x, static_cast<int>(common.frames.size()));
        common.frames.push_back(common.frames[static_cast<std::size_t>(-x)]);
        continue;
      }
      common.frames.push_back(
          {rom.longAt(list), x, rom.signedWordAt(sel + 4), rom.wordAt(sel + 6), rom.wordAt(sel + 8), 0});
    }
  }
  ASSERT_EQ(common.frames.size(), 78u);
  EXPECT_EQ(common.frames[0].w * 10 + common.frames[0].h, 33);
  for (int k = 2; k <= 33; ++k) EXPECT_EQ(common.frames[k].w * 10 + common.frames[k].h, 22) << "object slot " << k;
  EXPECT_GE(common.frames[73].w * common.frames[73].h, 11);

  for (const auto& area : data->world.areas) {
    Walk walk = walkList(rom, assets, rom.longAt(0x03E844 + 4 * static_cast<std::uint32_t>(area.id)));
    // The area's own frames count from 85: the common 78, then rain, the lift and the sparkles.
    EXPECT_EQ(walk.firstBankFrames, 85) << "area " << area.id;
    ASSERT_GE(walk.frames.size(), 85u) << "area " << area.id;
    for (int k = 0; k < 78; ++k) {
      EXPECT_EQ(walk.frames[k].w, common.frames[k].w) << "area " << area.id << " frame " << k;
      EXPECT_EQ(walk.frames[k].h, common.frames[k].h) << "area " << area.id << " frame " << k;
    }
    int cells = 0;
    for (const auto& f : walk.frames) cells += f.cells;
    int room = area.id == 21 ? 1824 : 1920;
    EXPECT_LE(area.area_patterns + area.backdrop_patterns + cells, room) << "area " << area.id;
  }
  EXPECT_EQ(rom.missingAddress(), 0u) << std::hex << rom.missingAddress();
}

TEST(SpriteData, HeroFramesKeepTheirFeetOnTheGroundRow) {
  // Standing, walking and landing frames rest on the sprite's bottom row (the hero's feet row
  // y + 23), so he neither floats nor sinks into the floor.
  auto world = world::loadWorld(kRoot);
  ASSERT_TRUE(world.has_value());
  render::RenderAssets assets(kRoot, *world);
  ASSERT_TRUE(assets.loadCommonGraphics());
  for (int f : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 16, 23, 28, 29, 38, 39}) {
    bool bottom = false;
    for (int column = 0; column < 3; ++column) {
      const auto& cell = assets.hero_frames[static_cast<std::size_t>(9 * f + 3 * column + 2)];  // column by column
      for (int x = 0; x < 8; ++x) bottom = bottom || cell[56 + x] != 0;
    }
    EXPECT_TRUE(bottom) << "frame " << f;
  }
}

// A pixel of a picture, through its name table's flips.
int pixelAt(const render::Picture& pic, int x, int y) {
  const std::uint16_t name = pic.names[static_cast<std::size_t>((y / 8) * pic.width + x / 8)];
  const int px = name & 0x0800 ? 7 - x % 8 : x % 8, py = name & 0x1000 ? 7 - y % 8 : y % 8;
  return pic.patterns[name & 0x7FF][static_cast<std::size_t>(8 * py + px)];
}

// The help screen (event 21): the game draws its two hands as frame c + 1 of the event's list (c the
// first bank's frames), one at screen (165, 104) pointing up, one flipped at (175, 68) pointing down, so
// the fingertips come to the points (176, 101) and (186, 94) at their nearest in English; the record's
// pad must lie under them, and a hint pad swapped in later needs the screen's patterns to end by 1824.
TEST(SpriteData, TheHelpScreensHandsPointAtItsPad) {
  auto data = loadShipped();
  ASSERT_TRUE(data) << "the data set, its cartridge tables or its common graphics do not load";
  const sim::RomView& rom = data->rom;
  const render::RenderAssets& assets = *data->assets;
  const std::uint32_t record = rom.longAt(0x03E470 + 4 * 21);
  const Walk walk = walkList(rom, assets, rom.longAt(record + 4));
  ASSERT_EQ(walk.firstBankFrames, 78) << "the energy bar and the hands count on the common frames first";
  ASSERT_GE(walk.frames.size(), 80u);

  const Frame& hand = walk.frames[79];
  ASSERT_EQ(hand.w * 10 + hand.h, 33) << "the hand is 3 x 3 cells";
  const render::Picture* handPic = assets.findPicture(hand.block);
  ASSERT_NE(handPic, nullptr);
  int tipFirst = -1, tipLast = -1;
  for (int x = 0; x < 24; ++x)
    if (pixelAt(*handPic, 8 * hand.x + x, 8 * hand.y) != 0) {
      if (tipFirst < 0) tipFirst = x;
      tipLast = x;
    }
  ASSERT_GE(tipFirst, 0) << "the fingertip is on the hand's top row";
  EXPECT_LE(tipLast - tipFirst, 4) << "one finger, not the fist, reaches the top row";
  EXPECT_NEAR((tipFirst + tipLast) / 2.0, 11.0, 1.0) << "the fingertip is at column 11";

  // The record's first sprite is the pad (frame c + 0); both aimed points lie on it.
  ASSERT_NE(rom.wordAt(record + 10), 0xFFFF);
  EXPECT_EQ(rom.signedWordAt(record + 14), 0);
  const int padX = rom.signedWordAt(record + 10) - 128, padY = rom.signedWordAt(record + 12) - 128;
  const Frame& pad = walk.frames[78];
  const render::Picture* padPic = assets.findPicture(pad.block);
  ASSERT_NE(padPic, nullptr);
  for (auto [x, y] : {std::pair{176, 101}, std::pair{186, 94}}) {
    const int u = x - padX, v = y - padY;
    ASSERT_TRUE(u >= 0 && v >= 0 && u < 8 * pad.w && v < 8 * pad.h) << x << ", " << y << " is off the pad";
    EXPECT_NE(pixelAt(*padPic, 8 * pad.x + u, 8 * pad.y + v), 0) << x << ", " << y << " is not on the pad";
  }

  const render::Picture* picture = assets.findPicture(rom.longAt(record));
  ASSERT_NE(picture, nullptr);
  int cells = 0;
  for (const auto& f : walk.frames) cells += f.cells;
  EXPECT_LE(static_cast<int>(picture->patterns.size()) + 160 + cells, 1824);
  EXPECT_EQ(rom.missingAddress(), 0u) << std::hex << rom.missingAddress();
}

}  // namespace
