#pragma once
// The shipped data set's menu art, loaded once for the menu tests, and a recording set of hooks.

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "render/render_assets.h"
#include "sim/rom_view.h"
#include "ui/menu_art.h"
#include "ui/pause_flow.h"
#include "world/world.h"

namespace menu_test {

struct ShippedArt {
  world::World world;
  sim::RomView rom;
  std::unique_ptr<render::RenderAssets> assets;
  ui::MenuArt art;
};

inline const ShippedArt& shippedArt() {
  static const std::unique_ptr<ShippedArt> shipped = [] {
    auto s = std::make_unique<ShippedArt>();
    const std::filesystem::path root = GROVANTA_SOURCE_DIR;
    s->world = std::move(*world::loadWorld(root));
    s->rom = sim::loadRomView(root, s->world);
    s->assets = std::make_unique<render::RenderAssets>(root, s->world, &s->rom);
    s->assets->loadCommonGraphics();
    s->art = ui::MenuArt::build(*s->assets, s->rom);
    return s;
  }();
  return *shipped;
}

// What the menu asked of the game.
struct GameSide {
  bool canSave = true;
  bool inGame = true;
  int language = 0;
  sim::GameState state;
  bool acceptLoad = true;
  std::optional<sim::GameState> loaded;
  int quitsToTitle = 0;
  int quits = 0;
  std::vector<unsigned> cheats;
  std::vector<std::int64_t> teleports;
  bool teleportWorks = true;
  int settingsApplied = 0;
  bool demo = false;
  int demosStarted = 0;

  ui::GameHooks hooks(bool withDemo = false) {
    ui::GameHooks h;
    h.canSave = [this] { return canSave; };
    h.inGame = [this] { return inGame; };
    h.language = [this] { return language; };
    h.takeState = [this] { return state; };
    h.loadState = [this](const sim::GameState& s) {
      if (!acceptLoad) return false;
      loaded = s;
      return true;
    };
    h.quitToTitle = [this] { ++quitsToTitle; };
    h.quit = [this] { ++quits; };
    h.setCheats = [this](unsigned bits) { cheats.push_back(bits); };
    h.teleport = [this](const ui::Place& p) {
      teleports.push_back(p.area);
      return teleportWorks;
    };
    h.applySettings = [this](const app::Settings&) { ++settingsApplied; };
    h.demoRunning = [this] { return demo; };
    if (withDemo) h.startDemo = [this] { ++demosStarted; };
    return h;
  }
};

// A game picture of the presented size: a colour ramp.
inline ui::Picture gamePicture() {
  ui::Picture picture{320, 224, std::vector<std::uint32_t>(320 * 224)};
  for (int y = 0; y < 224; ++y)
    for (int x = 0; x < 320; ++x)
      picture.pixels[static_cast<std::size_t>(y) * 320 + x] =
          0xFF000000u | static_cast<std::uint32_t>(x * 255 / 319) << 16 | static_cast<std::uint32_t>(y) << 8 | 0x60;
  return picture;
}

}  // namespace menu_test
