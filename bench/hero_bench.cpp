// Game steps with the hero running and jumping to and fro across a real area
// of the data set (Castle Approach, area 22).
#include <benchmark/benchmark.h>

#include <optional>
#include <vector>

#include "sim/rom_view.h"
#include "sim/simulation.h"
#include "world/world.h"

namespace {

void putLong(sim::RomView& rom, std::uint32_t at, std::uint32_t v) {
  rom.put(at, std::vector<std::uint8_t>{static_cast<std::uint8_t>(v >> 24), static_cast<std::uint8_t>(v >> 16),
                                        static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v)});
}

void BM_HeroRunsAndJumps(benchmark::State& bench) {
  std::optional<world::World> world = world::loadWorld(GROVANTA_SOURCE_DIR);
  if (!world) {
    bench.SkipWithError("no world");
    return;
  }
  sim::RomView rom = sim::loadRomView(GROVANTA_SOURCE_DIR, *world);
  // A one-bank sprite list for every area (read when an area loads).
  putLong(rom, 0x07F000, 0x00100000);
  putLong(rom, 0x07F004, 0x07F100);
  putLong(rom, 0x07F008, 0xFFFFFFFF);
  rom.put(0x07F100, std::vector<std::uint8_t>(85 * 10, 0));
  rom.put(0x07F100 + 85 * 10, std::vector<std::uint8_t>{0xFF, 0xFF});
  for (std::uint32_t area = 0; area < 51; ++area) putLong(rom, 0x03E844 + 4 * area, 0x07F000);

  sim::Simulation sim(*world, rom);
  sim.newGame(0);
  sim.mutableState().flag_8309 = 255;  // no idle reminder
  if (!sim.teleport(22, 40, 152)) {
    bench.SkipWithError("teleport failed");
    return;
  }
  std::uint8_t direction = 0x08;
  std::int64_t tick = 0;
  for (auto _ : bench) {
    const std::int64_t X = sim.state().x >> 16;
    if (X > 1200) direction = 0x04;
    if (X < 60) direction = 0x08;
    sim.step(static_cast<std::uint8_t>(direction | (tick % 40 == 5 ? 0x20 : 0)), tick);
    ++tick;
    sim.soundRequests().clear();
    benchmark::DoNotOptimize(sim.state().y);
  }
  if (!sim.stopMessage().empty()) bench.SkipWithError(sim.stopMessage().c_str());
  bench.SetItemsProcessed(bench.iterations());
}

BENCHMARK(BM_HeroRunsAndJumps);

}  // namespace
