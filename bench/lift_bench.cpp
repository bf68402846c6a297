// Game steps in an area with two running lifts (Owlbough, area 17): the hero walks to and fro under them.
#include <benchmark/benchmark.h>

#include <optional>
#include <vector>

#include "sim/rom_view.h"
#include "sim/simulation.h"
#include "world/world.h"

namespace {

void BM_StepsBetweenTwoLifts(benchmark::State& bench) {
  std::optional<world::World> world = world::loadWorld(GROVANTA_SOURCE_DIR);
  if (!world) {
    bench.SkipWithError("no world");
    return;
  }
  sim::RomView rom = sim::loadRomView(GROVANTA_SOURCE_DIR, *world);
  sim::Simulation sim(*world, rom);
  sim.newGame(0);
  sim.mutableState().flag_8309 = 255;  // no idle reminder
  if (!sim.teleport(17, 460, 152)) {
    bench.SkipWithError("teleport failed");
    return;
  }
  std::uint8_t direction = 0x08;
  std::int64_t tick = 0;
  for (auto _ : bench) {
    const std::int64_t X = sim.state().x >> 16;
    if (X > 1160) direction = 0x04;
    if (X < 440) direction = 0x08;
    sim.step(direction, tick);
    ++tick;
    sim.soundRequests().clear();
    benchmark::DoNotOptimize(sim.state().y);
  }
  if (!sim.stopMessage().empty()) bench.SkipWithError(sim.stopMessage().c_str());
  bench.SetItemsProcessed(bench.iterations());
}

BENCHMARK(BM_StepsBetweenTwoLifts);

}  // namespace
