// Loading the world and the cartridge tables from the repository's data set.

#include <filesystem>

#include <benchmark/benchmark.h>

#include "base/asset_store.h"
#include "sim/rom_view.h"
#include "world/world.h"

namespace {

const std::filesystem::path kDataDirectory = GROVANTA_SOURCE_DIR;

void BM_LoadWorld(benchmark::State& state) {
  if (!app::hasWorld(kDataDirectory)) {
    state.SkipWithError("no world/world.json in the source tree");
    return;
  }
  for (auto _ : state) {
    std::optional<world::World> w = world::loadWorld(kDataDirectory);
    benchmark::DoNotOptimize(w);
  }
}
BENCHMARK(BM_LoadWorld)->Unit(benchmark::kMillisecond);

void BM_LoadRomView(benchmark::State& state) {
  std::optional<world::World> w = app::hasWorld(kDataDirectory) ? world::loadWorld(kDataDirectory) : std::nullopt;
  if (!w) {
    state.SkipWithError("the source tree's world does not load");
    return;
  }
  for (auto _ : state) {
    sim::RomView rom = sim::loadRomView(kDataDirectory, *w);
    benchmark::DoNotOptimize(rom);
  }
}
BENCHMARK(BM_LoadRomView)->Unit(benchmark::kMillisecond);

void BM_RomWordReads(benchmark::State& state) {
  sim::RomView rom;
  std::vector<std::uint8_t> bytes(0x10000, 0x5A);
  rom.put(0x10000, bytes);
  std::uint32_t sum = 0;
  for (auto _ : state) {
    for (std::uint32_t a = 0x10000; a < 0x20000; a += 2) sum += rom.wordAt(a);
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * 0x8000);
}
BENCHMARK(BM_RomWordReads);

}  // namespace
