// The cartridge tables for a mode that runs the game: built once from the data directory and the world.

#include <memory>

#include "app/data.h"
#include "app/modes.h"
#include "base/log.h"
#include "sim/rom_view.h"
#include "world/world.h"

namespace app {

bool loadCartridgeTables(Data& data) {
  if (!data.world) {
    logMessage(kError, "the cartridge tables need a loaded world");
    return false;
  }
  auto rom = std::make_shared<sim::RomView>(sim::loadRomView(data.dataDirectory, *data.world));
  if (!rom->loaded()) return false;  // loadRomView has logged why
  data.rom = std::move(rom);
  return true;
}

}  // namespace app
