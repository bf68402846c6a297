#pragma once
// The sprite side of the data set: the hero's frames, the object graphics, the status panel and its
// digits, the sprite pictures and the cartridge's sprite bank tables (the common bank at 03EC7C and
// one bank list per area at 03E844 + 4 x area, and the lists a screen names at an address of their
// own), built from data/sprites/.

#include <array>
#include <cstdint>
#include <filesystem>
#include <map>

#include "rom_image.h"

namespace builder {

using SpritePalette = std::array<std::uint16_t, 16>;

struct SpriteBuildInput {
  std::filesystem::path data;       // the data/ folder
  std::filesystem::path output;     // where assets/ goes
  std::map<int, int> areaPatterns;  // area id -> patterns of its sheet (blocks + backdrop)
  SpritePalette palette{};          // the sprites' palette line (the hero's line 2)
};

// Reads data/sprites/*.art and data/sprites/banks.txt (and frame_uses.txt), checks them, writes the
// sheets, pictures and JSON files under output/assets/graphics, and places the bank tables into
// `rom`. Returns the number of files written. Faults are SourceErrors naming file and line.
int buildSprites(const SpriteBuildInput& input, RomImage& rom);

}  // namespace builder
