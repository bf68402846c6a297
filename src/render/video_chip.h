#pragma once
// A model of the console's video chip for one picture: a store of 2048 patterns, planes A and B, the
// window plane, up to 80 sprites, the background colour and four palette lines of colour memory.

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "base/pattern_sheet.h"

namespace render {

inline constexpr int kScreenWidth = 320;
inline constexpr int kScreenHeight = 224;
inline constexpr int kPatternStoreSize = 2048;

// A composed picture: one colour index (palette line x 16 + colour) per pixel, with the colour memory in
// force when it was composed.
struct Frame {
  std::int32_t width = kScreenWidth;
  std::int32_t height = kScreenHeight;
  std::vector<std::uint8_t> pixels = std::vector<std::uint8_t>(kScreenWidth * kScreenHeight, 0);
  std::array<std::uint16_t, 64> cram{};
};

// Tile word fields: bit 15 priority, bits 14-13 palette line, bit 12 vertical flip, bit 11 horizontal
// flip, bits 10-0 pattern number.
struct Plane {
  std::int32_t width = 64;  // cells
  std::int32_t height = 32;
  std::vector<std::uint16_t> cells = std::vector<std::uint16_t>(64 * 32, 0);  // tile words, row-major

  void set(int row, int column, std::uint16_t word) {
    if (row >= 0 && row < height && column >= 0 && column < width)
      cells[static_cast<std::size_t>(row * width + column)] = word;
  }
  std::uint16_t at(int row, int column) const { return cells[static_cast<std::size_t>(row * width + column)]; }
  void clear() { cells.assign(cells.size(), 0); }
};

struct Sprite {
  std::int32_t x = 0, y = 0;           // screen pixels, may be negative
  std::int32_t width = 1, height = 1;  // cells, 1-4
  std::uint16_t first = 0;             // patterns run column by column from here
  std::uint8_t palette = 0;
  bool priority = false;
  bool hflip = false;
  bool vflip = false;
};

struct VideoChip {
  std::vector<Pattern> patterns = std::vector<Pattern>(kPatternStoreSize, Pattern{});
  Plane plane_a, plane_b, window;
  std::array<std::uint16_t, 64> cram{};
  std::uint16_t hscroll_a = 0, hscroll_b = 0, vscroll_a = 0, vscroll_b = 0;
  bool strip_scroll = false;
  std::array<std::uint16_t, 64> strip_table{};  // 0-31 plane A per 8-line strip, 32-63 plane B
  std::uint8_t background = 0;
  std::vector<Sprite> sprites;  // first = in front
  std::uint8_t window_h = 0, window_v = 0;
  std::int32_t width = kScreenWidth, height = kScreenHeight;

  // Stores a palette line (up to 16 words) as colour line `line`, each word masked with 0x0EEE.
  void setPaletteLine(int line, std::span<const std::uint16_t> words);
  // Copies patterns into the store from number `first`, stopping at the end of the store.
  void loadPatterns(int first, const std::vector<Pattern>& source);
};

Frame compose(const VideoChip& chip);

// 0xFFRRGGBB for one CRAM word.
std::uint32_t cramToRgb(std::uint16_t word);
// The frame's pixels as 0xFFRRGGBB.
std::vector<std::uint32_t> toRgb(const Frame& frame);
// A copy with every colour scaled to level / 16 (0 black, 16 unchanged); the pixels stay as they are.
Frame fadeFrame(const Frame& frame, int level);

}  // namespace render
