#pragma once
// The world's objects and lifts, from their readable sources:
//
//   data/objects.txt   object NUMBER AREA X Y KIND ICON NAME USE    one line per object, 0 to 61 in order
//   data/lifts.txt     lift INDEX AREA X Y ROPE_MIN ROPE_MAX ROPE ACTIVE    lifts 0 to 8 in order
//
// The objects become world.json's "objects" (copied to the cartridge at 0x002B68 by the program) and
// the inventory's icon and name words at 0x03E6D4; the lifts become world.json's "lifts"
// (0x0065B4). Every fault stops the build with the source file and line.

#include <cstdint>
#include <filesystem>
#include <vector>

#include <nlohmann/json.hpp>

#include "rom_image.h"

namespace builder {

// What the object and lift checks need to know of an area.
struct AreaGround {
  bool hasMap = false;
  int width = 0;                        // in 32-pixel columns
  std::vector<std::uint8_t> collision;  // 12 bytes per 32-pixel column; empty without a map
  bool solidAt(int x, int y) const;
};

struct ObjectTables {
  nlohmann::ordered_json objects = nlohmann::ordered_json::array();
  nlohmann::ordered_json lifts = nlohmann::ordered_json::array();
};

// Reads both sources, checks them against the areas (indexed by area id) and places the name table
// in the cartridge image.
ObjectTables readObjectTables(const std::filesystem::path& objectsFile, const std::filesystem::path& liftsFile,
                              const std::vector<AreaGround>& areas, RomImage& rom);

}  // namespace builder
