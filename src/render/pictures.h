#pragma once
// Pictures: a name table with its own patterns and palette line, found by the cartridge address of the
// data block it was unpacked from.

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "base/pattern_sheet.h"

namespace render {

struct Picture {
  std::uint32_t block = 0;  // cartridge address of the data block; the key
  std::string name;         // the JSON file's name without directory and extension
  std::int32_t width = 0;   // name table size in cells
  std::int32_t height = 0;
  std::vector<std::uint16_t> palette;  // 16 CRAM words
  std::vector<std::uint16_t> names;    // height rows of width tile words; pattern numbers from 0, flips only
  std::vector<Pattern> patterns;
};

using PictureMap = std::map<std::uint32_t, Picture>;

// Every picture in "assets/graphics/pictures" under the data root; empty (logged) when any description or
// sheet fails, or when there is none.
PictureMap loadPictures(const std::filesystem::path& dataRoot);

}  // namespace render
