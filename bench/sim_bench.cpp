// One game step on a new game: standing still and walking right.
#include <benchmark/benchmark.h>

#include <vector>

#include "sim/rom_view.h"
#include "sim/simulation.h"
#include "world/world.h"

namespace {

void putWords(sim::RomView& rom, std::uint32_t at, const std::vector<std::uint16_t>& words) {
  std::vector<std::uint8_t> bytes;
  for (std::uint16_t w : words) {
    bytes.push_back(static_cast<std::uint8_t>(w >> 8));
    bytes.push_back(static_cast<std::uint8_t>(w));
  }
  rom.put(at, bytes);
}

// A world of one area and a cartridge image with every byte present.
struct Setup {
  world::World world;
  sim::RomView rom;
  Setup() {
    world::Area a;
    a.id = 21;
    a.width = 40;
    a.map.assign(40 * 6, 0);
    a.collision.assign(40 * 12, 0);
    world.areas.push_back(a);
    rom.put(0, std::vector<std::uint8_t>(sim::RomView::kSize, 0));
    putWords(rom, 0x03E844 + 4 * 21, {0x0004, 0x0000});
    putWords(rom, 0x040000, {0x0010, 0x0000, 0x0004, 0x0100, 0xFFFF, 0xFFFF});
    putWords(rom, 0x040100, {0, 0, 0, 0, 0, 0xFFFF});
    // The hero's walking and standing sequences (each ends on FFFF).
    putWords(rom, 0x0017F6, {4, 0, 0, 1, 2, 3, 4, 5, 6, 7, 0xFFFF});
    putWords(rom, 0x00180C, {30, 0, 0, 0, 0xFFFF});
  }
};

// The same area with things in it: twenty objects lying about, thirty items (stars, food and hazards
// out of the hero's reach, scenery) and the star counter spinning.
void withThings(Setup& setup) {
  world::Area& a = setup.world.areas[0];
  for (std::int16_t i = 0; i < 30; ++i)
    a.items.push_back({i, static_cast<std::int16_t>(i % 4), static_cast<std::int16_t>(400 + 32 * i), 100, 1});
  std::vector<std::uint16_t> objects;
  for (std::uint16_t k = 0; k < 62; ++k) {
    const std::uint16_t area = k < 20 ? 21 : 100;
    objects.insert(objects.end(), {area, static_cast<std::uint16_t>(60 * k), 160, 1, k, 0, 0x0000, 0x9C06});
  }
  putWords(setup.rom, 0x002B68, objects);
}

void stepLoop(benchmark::State& bench, std::uint8_t pad, bool things = false) {
  Setup setup;
  if (things) withThings(setup);
  sim::Simulation sim(setup.world, setup.rom);
  if (!sim.newGame(0)) {
    bench.SkipWithError("new game failed");
    return;
  }
  sim.mutableState().flag_8309 = 255;  // no idle reminder during the run
  std::int64_t tick = 0;
  for (auto _ : bench) {
    if (things && sim.state().star_show == 0) sim.mutableState().star_show = 200, sim.mutableState().star_points_n = 45;
    sim.step(pad, tick++);
    sim.soundRequests().clear();
    benchmark::DoNotOptimize(sim.state().rng);
  }
  if (!sim.stopMessage().empty()) bench.SkipWithError(sim.stopMessage().c_str());
}

void BM_StepStandingStill(benchmark::State& bench) {
  stepLoop(bench, 0x00);
}
void BM_StepWalkingRight(benchmark::State& bench) {
  stepLoop(bench, 0x08);
}

void BM_StepWithThingsAbout(benchmark::State& bench) {
  stepLoop(bench, 0x08, true);
}

BENCHMARK(BM_StepStandingStill);
BENCHMARK(BM_StepWithThingsAbout);
BENCHMARK(BM_StepWalkingRight);

}  // namespace
