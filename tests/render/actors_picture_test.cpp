// The creatures of our data set on the picture: in every area each actor, once on screen, draws frames
// that the area's sprite banks fill with its own art (data/sprites/frame_uses.txt), never the hero's
// slot, an object slot, an item or a spare number, and the game runs on with them without a stop.
// GROVANTA_ACTORS_PNG_DIR=DIR writes one picture per area into DIR.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "our_game.h"
#include "render/frame_png.h"
#include "render/game_frame.h"
#include "sim/simulation.h"
#include "world/world.h"

namespace {

constexpr std::uint32_t kActorCaller = 0x009B7C;  // the actor step draws its actors as this caller

// "use FRAMES ART AREAS..." lines: the frames each area's banks fill with art, by area.
std::map<int, std::set<int>> framesWithArt() {
  std::map<int, std::set<int>> out;
  std::ifstream in(std::filesystem::path(GROVANTA_SOURCE_DIR) / "data/sprites/frame_uses.txt");
  auto range = [](const std::string& w, int& lo, int& hi) {
    const auto dash = w.find('-');
    lo = std::stoi(w.substr(0, dash));
    hi = dash == std::string::npos ? lo : std::stoi(w.substr(dash + 1));
  };
  for (std::string line; std::getline(in, line);) {
    std::istringstream words(line.substr(0, line.find('#')));
    std::string use, frames, art;
    if (!(words >> use >> frames >> art) || use != "use") continue;
    int f0, f1;
    range(frames, f0, f1);
    for (std::string areas; words >> areas;) {
      int a0 = 0, a1 = 49;
      if (areas != "all") range(areas, a0, a1);
      for (int a = a0; a <= a1; ++a)
        for (int f = f0; f <= f1; ++f) out[a].insert(f);
    }
  }
  return out;
}

// The frames an actor may draw at all: the thread (71), the walkers' 64-66 of each first bank, and the
// area's own frames from 85 on. The others are the hero, the objects, items, the panel and effects.
bool actorFrame(std::uint32_t frame) {
  return frame == 71 || (frame >= 64 && frame <= 66) || frame >= 85;
}

TEST(ActorsPicture, EveryAreasCreaturesDrawTheirOwnArt) {
  render_test::LoadedGame game;
  ASSERT_TRUE(game.world);
  ASSERT_TRUE(game.rom.loaded());
  const auto art = framesWithArt();
  const char* pngDir = std::getenv("GROVANTA_ACTORS_PNG_DIR");
  std::string waiting;  // areas whose handler writes no frame bases yet

  for (const world::Area& area : game.world->areas) {
    if (area.id > 49 || area.actors.empty() || area.collision.empty()) continue;
    const int width = static_cast<int>(area.width) * 32;
    std::set<std::uint32_t> drawn;
    std::optional<render::Frame> picture;
    bool needsBases = false, basesSet = false;
    for (std::size_t k = 0; k < area.actors.size(); ++k) {
      const auto& r = area.actors[k];
      const int ax = static_cast<std::int16_t>(r[4] << 8 | r[5]);
      // All but the walkers, the bats and the hoverers, whose frames in the areas count from 0 (64-66,
      // the bank's count + 3 on, 93 and 94).
      needsBases = needsBases || (r[3] != 6 && r[3] != 8 && r[3] != 4);
      // The hero stands 100 pixels to one side of the actor, so that the camera has it on screen.
      const int x = ax + 100 < width - 40 ? ax + 100 : ax - 100;
      ASSERT_TRUE(game.sim->newGame(0));
      ASSERT_TRUE(game.sim->teleport(area.id, x, 40)) << "area " << area.id;
      for (int step = 0; step < 240; ++step) {
        game.sim->step(0, step);
        ASSERT_EQ(game.sim->stopMessage(), "") << "area " << area.id << ", actor " << k;
        if (game.sim->state().area != area.id) break;
        for (std::uint8_t b : game.sim->state().frame_bases) basesSet = basesSet || b != 0;
        for (const sim::SpriteCall& call : game.sim->frameSprites())
          if (call.caller == kActorCaller) drawn.insert(call.frame);
        if (k == 0 && step == 200 && pngDir)
          picture = render::renderGameStep(*game.assets, game.sim->state(), game.sim->frameSprites());
      }
    }
    if (picture) {
      const std::vector<unsigned char> png = render::encodeIndexedPng(*picture, -1);
      std::ofstream(std::filesystem::path(pngDir) / ("actors_" + std::to_string(area.id) + ".png"), std::ios::binary)
          .write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
    }
    EXPECT_FALSE(drawn.empty()) << "area " << area.id << ": no creature drawn";
    if (needsBases && !basesSet) {
      waiting += " " + std::to_string(area.id);
      continue;
    }
    const auto& ok = art.count(area.id) ? art.at(area.id) : std::set<int>{};
    for (std::uint32_t frame : drawn)
      EXPECT_TRUE(actorFrame(frame) && ok.count(static_cast<int>(frame)))
          << "area " << area.id << ": an actor draws frame " << frame << ", which its banks give it no art for";
  }
  if (!waiting.empty())
    GTEST_SKIP() << "no frame bases from the handlers of areas" << waiting << " yet: their frames are not checked";
}

}  // namespace
