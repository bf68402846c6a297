// The area sources that have a map, read from a data folder with the tilesets they name.
#pragma once

#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <string>

#include "area_source.h"

// Hands each area with a map (0 to 50) to `each` with its id, and reads every tileset they use into
// `tilesets` once.
inline void readMappedAreas(const std::filesystem::path& data, std::map<std::string, builder::Tileset>& tilesets,
                            const std::function<void(int, builder::AreaSource&&)>& each) {
  for (int id = 0; id <= 50; ++id) {
    char name[32];
    std::snprintf(name, sizeof name, "area_%02d.txt", id);
    builder::AreaSource a = builder::readArea(data / "areas" / name);
    if (a.mapless) continue;
    if (!tilesets.count(a.tileset))
      tilesets.emplace(a.tileset, builder::readTileset(data / "tilesets" / (a.tileset + ".txt"), data / "patterns"));
    each(id, std::move(a));
  }
}
