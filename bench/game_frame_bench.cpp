// The picture of a busy game step: an area of our data set with its backdrop, the status panel, a
// common bank of 78 frames plus an area bank (about 700 sprite cells loaded), the object and hero uploads,
// and calls that fill the 80 sprites, large frames split into pieces among them.
#include <benchmark/benchmark.h>

#include <memory>
#include <optional>
#include <random>
#include <vector>

#include "render/game_frame.h"
#include "render/render_assets.h"
#include "render/sprite_banks.h"
#include "render/sprite_placement.h"
#include "sim/game_state.h"
#include "sim/rom_view.h"
#include "world/world.h"

namespace {

constexpr int kArea = 28;
constexpr std::uint32_t kCommonBank = 0x040000;
constexpr std::uint32_t kAreaBank = 0x050000;

void putWord(sim::RomView& rom, std::uint32_t at, std::uint16_t value) {
  const std::uint8_t bytes[2] = {static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)};
  rom.put(at, bytes);
}
void putLong(sim::RomView& rom, std::uint32_t at, std::uint32_t value) {
  putWord(rom, at, static_cast<std::uint16_t>(value >> 16));
  putWord(rom, at + 2, static_cast<std::uint16_t>(value));
}

render::Picture randomPicture(std::uint32_t block, int width, int height, std::mt19937& random) {
  render::Picture picture;
  picture.block = block;
  picture.width = width;
  picture.height = height;
  picture.palette = std::vector<std::uint16_t>(16, 0x0246);
  for (int n = 0; n < width * height; ++n) {
    picture.names.push_back(static_cast<std::uint16_t>(n | (random() % 4 == 0 ? 0x0800 : 0)));
    render::Pattern pattern;
    for (auto& p : pattern) p = static_cast<std::uint8_t>(random() % 3 == 0 ? 0 : random() % 16);
    picture.patterns.push_back(pattern);
  }
  return picture;
}

struct BusyFrame {
  world::World world;
  sim::RomView rom;
  std::unique_ptr<render::RenderAssets> assets;
  sim::GameState state;
  std::vector<sim::SpriteCall> calls;

  bool build() {
    std::optional<world::World> loaded = world::loadWorld(GROVANTA_SOURCE_DIR);
    if (!loaded) return false;
    world = std::move(*loaded);
    std::mt19937 random(5);

    // Bank list: the common bank (78 frames: a 3 x 3 hero, 32 object slots of 2 x 2, and 45 frames of
    // up to 4 x 4) and an area bank of 20 frames of up to 6 x 6.
    std::uint32_t at = 0x060000;
    putLong(rom, render::kAreaBankListTable + 4 * kArea, 0x061000);
    putLong(rom, 0x061000, kCommonBank);
    putLong(rom, 0x061004, at);
    putLong(rom, 0x061008, kAreaBank);
    putLong(rom, 0x06100C, 0x062000);
    putLong(rom, 0x061010, 0xFFFFFFFF);
    auto selection = [&](std::uint32_t& where, int attribute, int x, int y, int w, int h) {
      for (int word : {attribute, x, y, w, h}) {
        putWord(rom, where, static_cast<std::uint16_t>(word));
        where += 2;
      }
    };
    selection(at, 0, 0, 0, 3, 3);
    for (int i = 0; i < 32; ++i) selection(at, 0, 2 * (i % 16), 3 + 2 * (i / 16), 2, 2);
    for (int i = 0; i < 45; ++i) selection(at, i % 4, 4 * (i % 8), 8 + 4 * (i / 8), 1 + i % 4, 1 + (i / 2) % 4);
    putWord(rom, at, 0xFFFF);
    at = 0x062000;
    for (int i = 0; i < 20; ++i) selection(at, i % 4, 6 * (i % 5), 6 * (i / 5), 1 + i % 6, 2 + i % 5);
    putWord(rom, at, 0xFFFF);

    assets = std::make_unique<render::RenderAssets>(GROVANTA_SOURCE_DIR, world, &rom);
    assets->pictures[kCommonBank] = randomPicture(kCommonBank, 32, 32, random);
    assets->pictures[kAreaBank] = randomPicture(kAreaBank, 30, 24, random);
    render::Picture tiles = randomPicture(0, 16, 26, random);
    assets->hero_frames.assign(tiles.patterns.begin(), tiles.patterns.begin() + 414);
    assets->object_patterns.assign(tiles.patterns.begin(), tiles.patterns.begin() + 256);
    assets->panel_patterns.assign(tiles.patterns.begin(), tiles.patterns.begin() + 18);
    assets->status_panel_patterns.assign(tiles.patterns.begin() + 20, tiles.patterns.begin() + 93);
    for (int i = 0; i < 160; ++i) assets->status_panel_table.push_back(static_cast<std::uint16_t>(i % 73));
    if (!world::findArea(world, kArea) || !assets->areaPatterns(*world::findArea(world, kArea))) return false;

    state.area = kArea;
    state.camera_x = 300;
    state.score = 4321;
    state.lives = 3;
    state.sprite_frame = 7;
    state.objects_here_count = 20;
    for (int slot = 0; slot < 20; ++slot) {
      const std::uint32_t address = 0xFFFFAC62 + 16 * static_cast<std::uint32_t>(slot);
      for (int b = 0; b < 4; ++b)
        state.objects_here[static_cast<std::size_t>(4 * slot + b)] = static_cast<std::uint8_t>(address >> (24 - 8 * b));
      state.objects[static_cast<std::size_t>(16 * slot + 7)] = static_cast<std::uint8_t>(slot * 3);
    }

    calls.push_back({128 + 150, 128 + 120, 0, 0x08, 0});
    for (int i = 0; i < 20; ++i)
      calls.push_back({static_cast<std::uint32_t>(128 + 16 * i), static_cast<std::uint32_t>(128 + 40 + 5 * i),
                       static_cast<std::uint32_t>(2 + i), 0, 0});
    for (int i = 0; i < 50; ++i)
      calls.push_back({static_cast<std::uint32_t>(128 + random() % 300), static_cast<std::uint32_t>(128 + random() % 180),
                       static_cast<std::uint32_t>(34 + random() % 64), static_cast<std::uint32_t>(random() % 4), 0});
    return true;
  }
};

void BM_RenderGameStep(benchmark::State& benchState) {
  BusyFrame busy;
  if (!busy.build()) {
    benchState.SkipWithError("the data set or the busy frame did not load");
    return;
  }
  for (auto _ : benchState) {
    std::optional<render::Frame> frame = render::renderGameStep(*busy.assets, busy.state, busy.calls);
    if (!frame) {
      benchState.SkipWithError("the frame was not drawn");
      return;
    }
    benchmark::DoNotOptimize(frame->pixels.data());
  }
  benchState.SetItemsProcessed(benchState.iterations());
  // How busy the frame is: the sprite attribute table entries its calls make (80 are shown).
  render::VideoChip chip;
  if (std::optional<render::SpriteFrameList> list = render::prepareGameFrame(*busy.assets, busy.state, chip))
    benchState.counters["entries"] = static_cast<double>(render::spriteAttributeTable(*list, busy.calls).size());
}
BENCHMARK(BM_RenderGameStep)->Unit(benchmark::kMicrosecond);

}  // namespace
