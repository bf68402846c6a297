#include "star_check.h"

#include <string>

#include "source_error.h"

namespace builder {

namespace {

constexpr int kStarType = 2;
// The hero touches a star when his box [X, X + 18) x [Y, Y + 20) meets [x + 2, x + 12) x [y - 1, y + 11).
// Standing on ground at height F his box spans F - 24 .. F - 4, and a jump lifts it by a little over
// 32 pixels: a star between 4 and 64 pixels above the ground under it is within reach.
constexpr int kLowest = 4, kHighest = 64;

}  // namespace

void checkStars(const std::vector<AreaSource>& areas, const std::vector<AreaGround>& ground) {
  int stars = 0;
  for (const auto& a : areas) {
    for (const auto& it : a.items) {
      if (it.type != kStarType) continue;
      ++stars;
      const auto where = "the star at (" + std::to_string(it.x) + ", " + std::to_string(it.y) + ")";
      if (a.id < 0 || a.id >= static_cast<int>(ground.size()) || !ground[a.id].hasMap)
        fail(a.file, it.line, where + " lies in an area without a map");
      const AreaGround& g = ground[a.id];
      for (int dx : {2, 7, 11})
        for (int dy : {-1, 5, 10})
          if (g.solidAt(it.x + dx, it.y + dy)) fail(a.file, it.line, where + " lies inside a wall");
      int floor = -1;
      for (int y = ((it.y + 11) & ~7); y < 192 && floor < 0; y += 8)
        if (y >= 0 && g.solidAt(it.x + 7, y)) floor = y;
      if (floor < 0) fail(a.file, it.line, where + " has no ground under it");
      if (floor - it.y < kLowest || floor - it.y > kHighest)
        fail(a.file, it.line,
             where + " lies " + std::to_string(floor - it.y) + " pixels above the ground, out of the hero's reach");
    }
  }
  if (stars != kWorldStars)
    fail(areas.empty() ? std::filesystem::path("data/areas") : areas.front().file.parent_path(), 0,
         "the areas hold " + std::to_string(stars) + " stars; with the subgames' " +
             std::to_string(kSeaStars + kMinecartStars) + " the game needs " + std::to_string(kStarsToFind) +
             ", so the areas need " + std::to_string(kWorldStars));
}

}  // namespace builder
