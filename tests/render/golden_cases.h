#pragma once
// The goldens kept under tests/render/goldens: which pictures they hold and how each one is drawn. The
// golden tests compare our renderers with them; the goldens tool (tools/goldens) writes them anew after a
// deliberate change of the art. The tests never write them: a test run that asks for it fails instead.

#include <filesystem>
#include <string>
#include <vector>

#include "sim/game_state.h"
#include "sim/sim_types.h"

namespace render_goldens {

// The variable that once made the golden tests rewrite the goldens; the tests now fail while it is set.
inline constexpr const char* kRegenerateVariable = "GROVANTA_REGENERATE_GOLDENS";

// Empty when no one asked the tests to rewrite the goldens, else why the test refuses to run.
std::string regenerationRefusal();

// tests/render/goldens under a source tree.
std::filesystem::path goldensFolder(const std::filesystem::path& sourceRoot);

// An area at a camera column, with its animated blocks shown in their second frame: "area_AA_CCCC.png"
// holds its top 192 lines, "area_AA_CCCC.json" its colours.
struct AreaGolden {
  int area = 0;
  int camera = 0;
  std::vector<int> animations;
  std::string name() const;
};
const std::vector<AreaGolden>& areaGoldens();

// One busy game step in area 29 at camera 200: "step_29_0200.png" and "step_29_0200.json".
struct GameStep {
  sim::GameState state;
  std::vector<sim::SpriteCall> calls;
};
inline constexpr const char* kBusyStepName = "step_29_0200";
GameStep busyStep();

// The main screens: "screens/NAME.png", every line, the 64 colours as the palette.
struct ScreenGolden {
  std::string name;
  sim::Screen screen;
  int frame = 0;
};
std::vector<ScreenGolden> screenGoldens();

// The game the screens are drawn over: area `area` at camera 0, score 1230, three lives.
sim::GameState screenGame(int area);

// Draws every golden from the data set under `sourceRoot` and writes it under `out`. The number of
// pictures written, or -1 (logged) when the data set does not load or a picture cannot be drawn or written.
int writeGoldens(const std::filesystem::path& sourceRoot, const std::filesystem::path& out);

}  // namespace render_goldens
