#pragma once
// Pattern sheets: PNG files of 8 x 8 patterns, 16 to a row, whose pixels are palette indices 0-15.

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

namespace render {

// One 8 x 8 pattern, row by row from the top; 0 is transparent.
using Pattern = std::array<std::uint8_t, 64>;
using PatternList = std::vector<Pattern>;

// A decoded 8-bit palette PNG: the stored palette indices, one byte per pixel.
struct IndexedImage {
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::vector<std::uint8_t> pixels;
};

// Reads an indexed-colour PNG with bit depth 8 through the asset store without colour conversion.
// The PNG's own palette and transparency are ignored. Logs and returns nothing on failure.
std::optional<IndexedImage> readPalettePng(const std::filesystem::path& path);

// The first `count` patterns of a 128-pixel-wide sheet; nothing (logged) when the file is not an 8-bit
// palette PNG, holds fewer squares, or a read pattern has a pixel value above 15.
std::optional<std::vector<Pattern>> readPatternSheet(const std::filesystem::path& path, int count);

}  // namespace render
