#pragma once
// Our own data set loaded from the source tree, with a simulation and the render assets over it, for
// the render tests that draw real game frames.

#include <optional>

#include "render/render_assets.h"
#include "sim/rom_view.h"
#include "sim/simulation.h"
#include "world/world.h"

namespace render_test {

struct LoadedGame {
  std::optional<world::World> world;
  sim::RomView rom;
  std::optional<sim::Simulation> sim;
  std::optional<render::RenderAssets> assets;

  LoadedGame() {
    world = world::loadWorld(GROVANTA_SOURCE_DIR);
    if (!world) return;
    rom = sim::loadRomView(GROVANTA_SOURCE_DIR, *world);
    sim.emplace(*world, rom);
    assets.emplace(GROVANTA_SOURCE_DIR, *world, &rom);
  }
};

}  // namespace render_test
