// The area palettes: assets/palettes/areas.json, through the world loader.

#include "fuzz/fuzz_target.h"
#include "world/world.h"

GROVANTA_FUZZ_TARGET(area_palettes) {
  fuzz::putFile("assets/palettes/areas.json", data, size);
  world::loadWorld(fuzz::dataDirectory());
  return 0;
}
