// The busiest areas of our world as they are: game steps with the area's own creatures, machines and
// effects while the hero walks to and fro where most of them are on the screen, and the picture the
// frame composer makes of such a step. The areas are those with the most actors (6 each): the flooded
// shaft (14, with its bubbles), the thicket's drips (16), the junction and Echo Run under the road (35, 39).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "render/game_frame.h"
#include "render/render_assets.h"
#include "sim/rom_view.h"
#include "sim/sim_types.h"
#include "sim/simulation.h"
#include "world/world.h"

namespace {

bool solid(const world::Area& a, std::int64_t px, std::int64_t py) {
  if (py < 0 || py > 191 || px < 0 || px >= a.width * 32) return false;
  const std::size_t byte = static_cast<std::size_t>(px / 8) * 3 + static_cast<std::size_t>(py / 64);
  return byte < a.collision.size() && ((a.collision[byte] >> ((py >> 3) & 7)) & 1);
}

// The first place from x on where the hero stands on the ground with room over him.
bool standFrom(const world::Area& a, std::int64_t& x, std::int64_t& y) {
  for (; x < a.width * 32 - 40; x += 8)
    for (y = 167; y >= 0; --y) {
      bool room = true;
      for (std::int64_t py = y; py < y + 24 && room; ++py) room = !solid(a, x + 6, py) && !solid(a, x + 18, py);
      if (room && (solid(a, x + 6, y + 24) || solid(a, x + 18, y + 24))) return true;
    }
  return false;
}

struct RealArea {
  std::unique_ptr<world::World> world;
  std::unique_ptr<sim::RomView> rom;
  std::unique_ptr<sim::Simulation> sim;
  std::int64_t startX = 0;
  std::int64_t tick = 0;
  std::uint8_t direction = 0x08;

  // Where most of the area's actors are on the screen around the hero.
  static std::int64_t busyPlace(std::int64_t area) {
    switch (area) {
      case 14:
        return 1900;  // the fish, a vent and their bubbles
      case 16:
        return 2000;  // two drips
      case 35:
        return 1800;  // two drips and the rat
      default:
        return 1650;  // Echo Run: a drip, the rat and the bat
    }
  }

  std::string load(std::int64_t area) {
    std::optional<world::World> loaded = world::loadWorld(GROVANTA_SOURCE_DIR);
    if (!loaded) return "no world";
    world = std::make_unique<world::World>(std::move(*loaded));
    rom = std::make_unique<sim::RomView>(sim::loadRomView(GROVANTA_SOURCE_DIR, *world));
    sim = std::make_unique<sim::Simulation>(*world, *rom);
    sim->newGame(0);
    sim->setCheats(sim::kCheatNoDamage | sim::kCheatLives);
    sim->mutableState().flag_8309 = 255;  // no idle reminder
    std::int64_t y = 0;
    for (const world::Area& a : world->areas)
      if (a.id == area && (startX = busyPlace(area), standFrom(a, startX, y)) && sim->teleport(area, startX - 8, y))
        return "";
    return "no place to stand";
  }
  // One step, the hero walking 160 pixels east of his start and back.
  void step() {
    const std::int64_t X = sim->state().x >> 16;
    if (X > startX + 160) direction = 0x04;
    if (X < startX) direction = 0x08;
    sim->step(direction, tick++);
    sim->soundRequests().clear();
  }
};

void BM_StepsInABusyArea(benchmark::State& bench) {
  RealArea r;
  if (const std::string fault = r.load(bench.range(0)); !fault.empty()) {
    bench.SkipWithError(fault.c_str());
    return;
  }
  for (auto _ : bench) {
    r.step();
    benchmark::DoNotOptimize(r.sim->state().y);
  }
  if (!r.sim->stopMessage().empty()) bench.SkipWithError(r.sim->stopMessage().c_str());
  bench.SetItemsProcessed(bench.iterations());
  bench.counters["sprites"] = static_cast<double>(r.sim->frameSprites().size());
}
BENCHMARK(BM_StepsInABusyArea)->Arg(14)->Arg(16)->Arg(35)->Arg(39);

void BM_ComposeABusyArea(benchmark::State& bench) {
  RealArea r;
  if (const std::string fault = r.load(bench.range(0)); !fault.empty()) {
    bench.SkipWithError(fault.c_str());
    return;
  }
  render::RenderAssets assets(GROVANTA_SOURCE_DIR, *r.world, r.rom.get());
  for (int i = 0; i < 300; ++i) r.step();
  for (auto _ : bench) {
    std::optional<render::Frame> frame = render::renderGameStep(assets, r.sim->state(), r.sim->frameSprites());
    if (!frame) {
      bench.SkipWithError("the frame was not drawn");
      return;
    }
    benchmark::DoNotOptimize(frame->pixels.data());
  }
  bench.SetItemsProcessed(bench.iterations());
  bench.counters["sprites"] = static_cast<double>(r.sim->frameSprites().size());
}
BENCHMARK(BM_ComposeABusyArea)->Arg(14)->Arg(16)->Arg(35)->Arg(39)->Unit(benchmark::kMicrosecond);

}  // namespace
