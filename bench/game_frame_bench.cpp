// The picture of a busy game step of our data set: area 29 with its backdrop at a scrolled camera, the
// status panel, the area's bank list (common bank, fixed frames, lanterns), the object and hero uploads,
// and calls that fill all 80 sprites: objects, stars, lanterns, the panel's sprites and a shower of rain
// after a separator.
#include <benchmark/benchmark.h>

#include <memory>
#include <optional>
#include <vector>

#include "render/game_frame.h"
#include "render/render_assets.h"
#include "render/sprite_placement.h"
#include "sim/game_state.h"
#include "sim/rom_view.h"
#include "world/world.h"

namespace {

struct BusyFrame {
  std::unique_ptr<world::World> world;
  std::unique_ptr<sim::RomView> rom;
  std::unique_ptr<render::RenderAssets> assets;
  sim::GameState state;
  std::vector<sim::SpriteCall> calls;

  bool build() {
    std::optional<world::World> loaded = world::loadWorld(GROVANTA_SOURCE_DIR);
    if (!loaded) return false;
    world = std::make_unique<world::World>(std::move(*loaded));
    rom = std::make_unique<sim::RomView>(sim::loadRomView(GROVANTA_SOURCE_DIR, *world));
    if (!rom->loaded()) return false;
    assets = std::make_unique<render::RenderAssets>(GROVANTA_SOURCE_DIR, *world, rom.get());

    state.area = 29;
    state.camera_x = 517;
    state.score = 4321;
    state.lives = 3;
    state.sprite_frame = 7;
    state.objects_here_count = 12;
    for (int slot = 0; slot < 12; ++slot) {
      const std::uint32_t address = 0xFFFFAC62 + 16 * static_cast<std::uint32_t>(slot);
      for (int b = 0; b < 4; ++b)
        state.objects_here[static_cast<std::size_t>(4 * slot + b)] = static_cast<std::uint8_t>(address >> (24 - 8 * b));
      state.objects[static_cast<std::size_t>(16 * slot + 7)] = static_cast<std::uint8_t>(slot * 5);
    }

    auto call = [&](int frame, int x, int y, std::uint32_t attributes = 0) {
      calls.push_back({static_cast<std::uint32_t>(x + 128), static_cast<std::uint32_t>(y + 128),
                       static_cast<std::uint32_t>(frame), attributes, 0});
    };
    call(0, 150, 104, 1);
    for (int slot = 0; slot < 12; ++slot) call(2 + slot, 20 + 24 * slot, 150 - 7 * (slot % 3));
    for (int i = 0; i < 6; ++i) call(52 + i % 4, 30 + 50 * i, 50 + 9 * i);
    call(85, 30, 40);
    call(86, 280, 40);
    call(87, 140, 30);
    for (int i = 0; i < 4; ++i) call(51, 80 * i, 188);
    call(73, 168, 198);
    call(77, 248, 198);
    call(-2, 0, 0);
    for (int i = 0; i < 90; ++i) call(78, (37 * i) % 320, (53 * i) % 180);
    return true;
  }
};

void BM_RenderGameStep(benchmark::State& benchState) {
  BusyFrame busy;
  if (!busy.build()) {
    benchState.SkipWithError("the data set did not load");
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
