// The autopilot's state search, in simulation steps explored per second on one core, and the random bot's
// million ticks.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <optional>

#include "app/pilot/autopilot.h"
#include "app/pilot/compact_state.h"
#include "app/pilot/conditions.h"
#include "app/pilot/pilot.h"
#include "app/pilot/route.h"
#include "app/pilot/search.h"
#include "sim/rom_view.h"
#include "sim/simulation.h"
#include "world/world.h"

namespace {

struct RealWorld {
  world::World world;
  sim::RomView rom;
  bool ok = false;
  RealWorld() {
    std::optional<world::World> loaded = world::loadWorld(GROVANTA_SOURCE_DIR);
    if (!loaded) return;
    world = std::move(*loaded);
    rom = sim::loadRomView(GROVANTA_SOURCE_DIR, world);
    ok = rom.loaded();
  }
};

RealWorld& realWorld() {
  static RealWorld w;
  return w;
}

// A search of a fixed size from the new game in the green: a goal out of reach, so every run expands the same
// states until its node limit.
void BM_StateSearch(benchmark::State& bench) {
  RealWorld& w = realWorld();
  if (!w.ok) {
    bench.SkipWithError("the data set did not load");
    return;
  }
  app::pilot::Pilot pilot(w.world, w.rom);
  pilot.newGame(0);
  const app::pilot::SearchGoal goal{*app::pilot::parseConditions("y<=-500 nodes=20000"), {}, 0};
  std::int64_t steps = 0, states = 0;
  for (auto _ : bench) {
    const app::pilot::SearchResult result = app::pilot::searchStates(
        pilot.simulation(), pilot.rom(), goal, app::pilot::commandStart(pilot.simulation()), 1001, false);
    steps += result.steps;
    states += static_cast<std::int64_t>(result.states);
  }
  bench.counters["steps"] = benchmark::Counter(static_cast<double>(steps), benchmark::Counter::kIsRate);
  bench.counters["states"] = benchmark::Counter(static_cast<double>(states), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_StateSearch)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

// The two halves of a search's cost: a compact state stored and fetched, and a plain copy of the state.
void BM_CompactStateRoundTrip(benchmark::State& bench) {
  RealWorld& w = realWorld();
  app::pilot::Pilot pilot(w.world, w.rom);
  pilot.newGame(0);
  app::pilot::CompactStates states(pilot.simulation().state());
  for (int i = 0; i < 30; ++i) pilot.step(0x08);
  sim::GameState out = pilot.simulation().state();
  for (auto _ : bench) {
    const std::uint32_t handle = states.add(pilot.simulation().state());
    states.get(handle, out);
    benchmark::DoNotOptimize(out.x);
  }
  bench.counters["bytes/state"] = static_cast<double>(states.bytes()) / static_cast<double>(states.size());
}
BENCHMARK(BM_CompactStateRoundTrip);

void BM_LoadState(benchmark::State& bench) {
  RealWorld& w = realWorld();
  app::pilot::Pilot pilot(w.world, w.rom);
  pilot.newGame(0);
  const sim::GameState state = pilot.simulation().state();
  sim::Simulation worker(w.world, w.rom);
  for (auto _ : bench) {
    worker.loadState(state);
    benchmark::DoNotOptimize(worker.state().x);
  }
}
BENCHMARK(BM_LoadState);

// The random bot for a million ticks (its own recording included; it prints its one line).
void BM_BotMillionTicks(benchmark::State& bench) {
  RealWorld& w = realWorld();
  const std::filesystem::path out = std::filesystem::temp_directory_path() / "grovanta_bench_bot.txt";
  for (auto _ : bench) {
    app::pilot::runRandomBot(w.world, w.rom, {1, 1000000, 0, {}, out});
  }
  std::filesystem::remove(out);
}
BENCHMARK(BM_BotMillionTicks)->Iterations(1)->Unit(benchmark::kSecond)->MeasureProcessCPUTime();

}  // namespace
