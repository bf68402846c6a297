// A saved game, through the save reader; a state it accepts must be written and read back the same.

#include <cstdio>
#include <cstdlib>

#include "fuzz/fuzz_target.h"
#include "ui/saves.h"

GROVANTA_FUZZ_TARGET(save) {
  const auto loaded = ui::readSave(fuzz::putFile("saves/slot_1.json", data, size));
  if (!loaded) return 0;
  const std::string text = ui::saveText(loaded->state, loaded->saved_at);
  const auto again =
      ui::readSave(fuzz::putFile("saves/slot_2.json", reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
  if (!again || ui::saveText(again->state, again->saved_at) != text) {
    std::fprintf(stderr, "a save changes when written and read back\n");
    std::abort();
  }
  return 0;
}
