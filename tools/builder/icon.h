#pragma once
// The window icon: a 32 x 32 art picture drawn with the hero's palette line, doubled to 64 x 64 and
// written as an RGBA PNG (colour 0 transparent).

#include <filesystem>

#include "palette.h"

namespace builder {

// Reads data/sprites/brumo.art and data/icon/icon.art (whose "icon" may use Brumo's parts) and writes
// assets/icon/icon_64.png under the output root. Returns the number of files written.
int buildIcon(const std::filesystem::path& data, const std::filesystem::path& outputRoot, const PaletteLine& heroLine);

}  // namespace builder
