// The cartridge tables: assets/data/tables.json (read by the world loader and the table view).

#include <cstring>

#include "fuzz/fuzz_target.h"
#include "sim/rom_view.h"
#include "world/world.h"

GROVANTA_FUZZ_TARGET(tables_json) {
  // The rule tables are read beside tables.json but are not what this target tries: the smallest that
  // loads keeps each input's time for its own file.
  static const bool fewRules = [] {
    const char* text = R"({"tables": []})";
    fuzz::putFile("assets/data/rule_tables.json", reinterpret_cast<const std::uint8_t*>(text), std::strlen(text));
    return true;
  }();
  (void)fewRules;
  const world::World& small = fuzz::smallWorld();
  fuzz::putFile("assets/data/tables.json", data, size);
  world::loadWorld(fuzz::dataDirectory());
  sim::loadRomView(fuzz::dataDirectory(), small);
  return 0;
}
