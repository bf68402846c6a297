// The pause menu's teleport places: assets/menu/teleports.json, through the places' loader, then every
// place as the menu uses it: its label measured and folded as the page draws it, and the hero sent there
// in a game begun on our own data set, which then runs a few frames. A place the game refuses leaves the
// game as it was; one it takes must never crash the frames that follow.

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>

#include "fuzz/fuzz_target.h"
#include "sim/rom_view.h"
#include "sim/simulation.h"
#include "ui/menu_art.h"
#include "ui/menu_text.h"
#include "ui/pause_flow.h"
#include "world/world.h"

namespace {

// The game every run starts from: our world and tables, a new game begun once.
struct StartingGame {
  world::World world;
  sim::RomView rom;
  sim::GameState begun;
};

const StartingGame& startingGame() {
  static const std::unique_ptr<StartingGame> game = [] {
    auto made = std::make_unique<StartingGame>();
    std::optional<world::World> w = world::loadWorld(GROVANTA_SOURCE_DIR);
    if (!w) {
      std::fprintf(stderr, "our world does not load\n");
      std::abort();
    }
    made->world = std::move(*w);
    made->rom = sim::loadRomView(GROVANTA_SOURCE_DIR, made->world);
    sim::Simulation simulation(made->world, made->rom);
    if (!simulation.newGame(0)) {
      std::fprintf(stderr, "no new game on our data set: %s\n", simulation.stopMessage().c_str());
      std::abort();
    }
    made->begun = simulation.state();
    return made;
  }();
  return *game;
}

}  // namespace

#ifdef GROVANTA_FUZZING
// The starting game is made before the first input: loading the whole data set must not count against the
// time of whichever input first names a place.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  (void)startingGame();
  return 0;
}
#endif

GROVANTA_FUZZ_TARGET(teleports_json) {
  fuzz::putFile("assets/menu/teleports.json", data, size);
  const std::vector<ui::Place> places = ui::loadPlaces(fuzz::dataDirectory());
  if (places.empty()) return 0;

  const StartingGame& start = startingGame();
  sim::RomView rom = start.rom;
  sim::Simulation simulation(start.world, rom);
  if (!simulation.loadState(start.begun)) std::abort();
  std::int64_t tick = 0;
  for (const ui::Place& place : places) {
    for (const std::string& label : place.label) {
      (void)ui::MenuArt::screensWidth(label);
      (void)ui::foldText(label);
    }
    const sim::GameState before = simulation.state();
    if (!simulation.teleport(place.area, place.x, place.y)) {
      if (!(simulation.state() == before)) {
        std::fprintf(stderr, "a refused teleport moved the hero\n");
        std::abort();
      }
      continue;
    }
    for (int frame = 0; frame < 3; ++frame) simulation.step(0, tick++);
  }
  return 0;
}
