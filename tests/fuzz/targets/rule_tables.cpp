// The rule tables: assets/data/rule_tables.json, through the table view, then a read of every byte.

#include "fuzz/fuzz_target.h"
#include "sim/rom_view.h"

GROVANTA_FUZZ_TARGET(rule_tables_json) {
  fuzz::putFile("assets/data/rule_tables.json", data, size);
  sim::RomView view = sim::loadRomView(fuzz::dataDirectory(), fuzz::smallWorld());
  unsigned sum = 0;
  for (std::uint32_t a = 0; a < sim::RomView::kSize; a += 97) sum += view.byteAt(a);
  view.clearMissingAddress();
  return static_cast<int>(sum & 0);
}
