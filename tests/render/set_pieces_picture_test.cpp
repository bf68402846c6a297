// The set pieces of our data set on the picture: each piece, started as its object would start it, draws
// only frames that its area's sprite banks fill with its own art (data/sprites/frame_uses.txt), never a
// spare number or a creature's frame. GROVANTA_SET_PIECES_PNG_DIR=DIR writes one picture per scene.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "frame_uses.h"
#include "our_game.h"
#include "render/frame_png.h"
#include "render/game_frame.h"
#include "sim/simulation.h"

namespace {

constexpr std::uint32_t kSceneryCaller = 0x005BA6;  // the area rules draw their pieces as this caller
constexpr std::uint32_t kFirstAreaFrame = 78;       // below: the common frames (objects thrown, the rope)

struct Scene {
  const char* name;
  int area, x, y;
  int frames;                                  // steps run; the picture is taken on the last
  std::function<void(sim::GameState&)> start;  // the flags the piece's object would set
};

// The hero stands where the piece is on screen; the flags are those the use routines set.
const std::vector<Scene>& scenes() {
  static const std::vector<Scene> kScenes = {
      {"meadow_owl", 0, 400, 152, 40, [](sim::GameState&) {}},
      {"meadow_owl_leaving", 0, 400, 152, 20, [](sim::GameState& s) { s.flag_811a = 255; }},
      {"meadow_bridge", 0, 1290, 120, 10, [](sim::GameState& s) { s.flag_82b1 = 255; }},
      {"lane_spell", 1, 1250, 152, 40, [](sim::GameState&) {}},
      {"lane_spell_broken", 1, 1250, 152, 20, [](sim::GameState& s) { s.flag_82c8 = 255; }},
      {"lane_walker", 1, 1560, 152, 60, [](sim::GameState&) {}},
      {"loft_chains", 8, 800, 152, 90, [](sim::GameState& s) { s.flag_82ce = 255; }},
      {"grain_store_rat", 9, 516, 152, 90, [](sim::GameState&) {}},
      {"grain_store_dog", 9, 560, 152, 150, [](sim::GameState&) {}},
      {"cellar_guard", 10, 1300, 152, 30, [](sim::GameState&) {}},
      {"cellar_column", 10, 1380, 152, 120, [](sim::GameState& s) { s.flag_82de = 255; }},
      {"cellar_tub", 10, 840, 152, 20, [](sim::GameState&) {}},
      {"gallery_crate", 11, 2940, 40, 10, [](sim::GameState& s) { s.flag_82b0 = 255; }},
      {"wax_wall", 13, 1440, 152, 10, [](sim::GameState&) {}},
      {"wax_platform", 13, 1440, 152, 200, [](sim::GameState& s) { s.flag_82bd = 255; }},
      {"fountain", 15, 860, 152, 30, [](sim::GameState& s) { s.flag_82cb = 255; }},
      {"spider", 16, 1600, 152, 120, [](sim::GameState&) {}},
      {"owlbough_machine", 17, 1390, 48, 80, [](sim::GameState& s) { s.flag_82e2 = 255; }},
      {"archery_countdown", 18, 1700, 152, 10, [](sim::GameState& s) { s.flag_82db = 255; }},
      {"hazel_stork", 20, 2740, 152, 30, [](sim::GameState&) {}},
      {"green_hint_climb", 21, 160, 152, 620, [](sim::GameState&) {}},
      {"green_hint_pick_up", 21, 100, 20, 1, [](sim::GameState& s) { s.flag_82fd = 255, s.hint_timer = 40; }},
      {"green_hint_inventory", 21, 100, 20, 1,
       [](sim::GameState& s) { s.flag_82fd = 255, s.flag_82fe = 255, s.hint_timer = 40; }},
      {"great_hall_baron", 26, 220, 152, 60, [](sim::GameState&) {}},
      {"kitchen_pot", 27, 240, 152, 60, [](sim::GameState&) {}},
      {"reedmere_bait", 28, 300, 152, 30, [](sim::GameState& s) { s.w825a = 1, s.flag_82cd = 255; }},
      {"reedmere_ducks", 28, 440, 152, 60, [](sim::GameState&) {}},
      {"jetty", 29, 1130, 152, 10, [](sim::GameState& s) { s.flag_82d7 = 255; }},
      {"dunes_seesaw", 31, 1170, 152, 40, [](sim::GameState&) {}},
      {"troll", 34, 240, 152, 30, [](sim::GameState&) {}},
      {"mine_gate", 42, 150, 152, 30, [](sim::GameState& s) { s.flag_82f7 = 255; }},
      {"lighthouse_flames", 48, 170, 152, 10, [](sim::GameState&) {}},
      {"lighthouse_step", 48, 170, 152, 10, [](sim::GameState& s) { s.flag_82fb = 255; }},
      {"lighthouse_barrier", 49, 1150, 152, 10, [](sim::GameState&) {}},
  };
  return kScenes;
}

TEST(SetPiecesPicture, EachPieceDrawsItsOwnArt) {
  render_test::LoadedGame game;
  ASSERT_TRUE(game.world);
  ASSERT_TRUE(game.rom.loaded());
  const auto art = render_test::frameUses();
  const char* pngDir = std::getenv("GROVANTA_SET_PIECES_PNG_DIR");
  game.sim->context().areaRules = true;

  for (const Scene& scene : scenes()) {
    SCOPED_TRACE(scene.name);
    ASSERT_TRUE(game.sim->newGame(0));
    ASSERT_TRUE(game.sim->teleport(scene.area, scene.x, scene.y)) << game.sim->stopMessage();
    scene.start(game.sim->mutableState());
    std::set<std::uint32_t> drawn;
    for (int step = 0; step < scene.frames; ++step) {
      game.sim->step(0, step);
      ASSERT_EQ(game.sim->stopMessage(), "");
      if (game.sim->state().area != scene.area || game.sim->state().mode != 0) break;
      for (const sim::SpriteCall& call : game.sim->frameSprites())
        if (call.caller == kSceneryCaller && call.frame >= kFirstAreaFrame) drawn.insert(call.frame);
    }
    EXPECT_FALSE(drawn.empty()) << "nothing of the piece was drawn";
    const auto& ok = art.count(scene.area) ? art.at(scene.area) : std::map<int, std::string>{};
    for (std::uint32_t frame : drawn)
      EXPECT_TRUE(ok.count(static_cast<int>(frame)))
          << "area " << scene.area << ": the piece draws frame " << frame << ", which its banks give no art";
    if (pngDir) {
      const auto picture = render::renderGameStep(*game.assets, game.sim->state(), game.sim->frameSprites());
      ASSERT_TRUE(picture);
      const std::vector<unsigned char> png = render::encodeIndexedPng(*picture, -1);
      std::ofstream(std::filesystem::path(pngDir) / (std::string(scene.name) + ".png"), std::ios::binary)
          .write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
    }
  }
}

}  // namespace
