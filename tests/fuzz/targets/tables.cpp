// The cartridge tables: assets/data/tables.json (read by the world loader and the table view).

#include "fuzz/fuzz_target.h"
#include "sim/rom_view.h"
#include "world/world.h"

GROVANTA_FUZZ_TARGET(tables_json) {
  const world::World& small = fuzz::smallWorld();
  fuzz::putFile("assets/data/tables.json", data, size);
  world::loadWorld(fuzz::dataDirectory());
  sim::loadRomView(fuzz::dataDirectory(), small);
  return 0;
}
