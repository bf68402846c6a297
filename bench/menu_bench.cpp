// Saves and the pause menu: a save (state to JSON, the thumbnail, the synced file), a load, and the menu
// drawn over a presented frame. Aims: a save and a load under 20 ms each, the menu under 0.5 ms.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <memory>

#include "render/render_assets.h"
#include "sim/rom_view.h"
#include "sim/simulation.h"
#include "ui/menu_art.h"
#include "ui/pause_flow.h"
#include "ui/saves.h"
#include "world/world.h"

namespace {

namespace fs = std::filesystem;

struct Shipped {
  world::World world;
  sim::RomView rom;
  std::unique_ptr<render::RenderAssets> assets;
  ui::MenuArt art;
  sim::GameState state;
};

const Shipped& shipped() {
  static const std::unique_ptr<Shipped> s = [] {
    auto r = std::make_unique<Shipped>();
    r->world = std::move(*world::loadWorld(GROVANTA_SOURCE_DIR));
    r->rom = sim::loadRomView(GROVANTA_SOURCE_DIR, r->world);
    r->assets = std::make_unique<render::RenderAssets>(GROVANTA_SOURCE_DIR, r->world, &r->rom);
    r->assets->loadCommonGraphics();
    r->art = ui::MenuArt::build(*r->assets, r->rom);
    sim::Simulation game(r->world, r->rom);
    game.newStart(false);
    game.newGame(0);
    for (int i = 0; i < 300; ++i) game.step(i % 50 < 30 ? 0x08 : 0x28, i + 1);
    r->state = game.state();
    return r;
  }();
  return *s;
}

ui::Picture frame() {
  ui::Picture picture{320, 224, std::vector<std::uint32_t>(320 * 224)};
  for (std::size_t i = 0; i < picture.pixels.size(); ++i) picture.pixels[i] = 0xFF000000u | (i * 2654435761u >> 8);
  return picture;
}

fs::path benchFolder() {
  const fs::path folder = fs::temp_directory_path() / ("grovanta_menu_bench_" + std::to_string(getpid()));
  fs::create_directories(folder);
  return folder;
}

void BM_SaveSlot(benchmark::State& state) {
  const Shipped& s = shipped();
  const fs::path folder = benchFolder();
  const ui::Picture picture = frame();
  for (auto _ : state) benchmark::DoNotOptimize(ui::writeSlot(folder, 1, s.state, picture, 1741370700));
  fs::remove_all(folder);
}
BENCHMARK(BM_SaveSlot)->Unit(benchmark::kMillisecond);

void BM_LoadSlot(benchmark::State& state) {
  const Shipped& s = shipped();
  const fs::path folder = benchFolder();
  ui::writeSlot(folder, 1, s.state, frame(), 1741370700);
  const fs::path path = ui::slotPath(folder, 1);
  for (auto _ : state) benchmark::DoNotOptimize(ui::readSave(path));
  fs::remove_all(folder);
}
BENCHMARK(BM_LoadSlot)->Unit(benchmark::kMillisecond);

void BM_MenuOverAFrame(benchmark::State& state) {
  const Shipped& s = shipped();
  ui::GameHooks hooks;
  hooks.inGame = [] { return true; };
  hooks.canSave = [] { return true; };
  ui::PauseFlow flow(s.art, {}, ui::loadPlaces(GROVANTA_SOURCE_DIR), hooks);
  const ui::Picture shown = frame();
  flow.action(ui::kActionOpen, shown);
  flow.command(2);
  flow.command(2);
  flow.command(2);
  flow.command(5);  // the settings page: volume bars and values
  ui::Picture picture = shown;
  for (auto _ : state) {
    picture.pixels = shown.pixels;
    flow.compose(picture);
    benchmark::DoNotOptimize(picture.pixels.data());
  }
}
BENCHMARK(BM_MenuOverAFrame)->Unit(benchmark::kMicrosecond);

}  // namespace
