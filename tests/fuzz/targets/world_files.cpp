// The world and its palettes: world/world.json and assets/palettes/areas.json, through the world loader.

#include <cstdlib>

#include "fuzz/fuzz_target.h"
#include "world/world.h"

namespace {

// A loaded world's areas must hold what the renderers index without checks.
void checkWorld(const world::World& w) {
  for (const world::Area& a : w.areas)
    if (a.map.size() != static_cast<std::size_t>(a.width) * 6 || a.collision.size() != a.map.size() * 2) std::abort();
}

}  // namespace

GROVANTA_FUZZ_TARGET(world_json) {
  fuzz::putFile("world/world.json", data, size);
  if (auto w = world::loadWorld(fuzz::dataDirectory())) checkWorld(*w);
  return 0;
}
