#pragma once
// Message text on the video chip: the game's 8 x 16 font drawn cell by cell on plane A from the text
// records of a language's text image, each line centred between the record's columns.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "render/texts.h"
#include "render/video_chip.h"

namespace sim {
class RomView;
}

namespace render {

// The cartridge's glyph table: text bytes 32-175 -> glyph numbers.
inline constexpr std::uint32_t kGlyphTable = 0x005626;
inline constexpr int kGlyphTableSize = 144;
// The most characters a line shows, whatever its width.
inline constexpr int kMaxLineCharacters = 38;

// The glyph of a text byte, read from the glyph table; nothing for a byte outside it (b - 32 as an
// unsigned byte above 143).
std::optional<int> glyphFor(const sim::RomView& rom, std::uint8_t byte);

// Offset of a glyph's top cell from the font base; its bottom cell lies 40 patterns further. The font
// sheet holds the tops of glyphs 0-39, their bottoms, then the tops and bottoms of glyphs 40-79.
inline int glyphTopPattern(int glyph) {
  return glyph < 40 ? glyph : glyph + 40;
}

struct TextContext {
  VideoChip* chip = nullptr;
  const TextImage* text = nullptr;
  const sim::RomView* rom = nullptr;
  int fontBase = 0;  // pattern number of the font's first pattern
  int left = 0;      // left column of the record
  int width = 0;     // right column - left column
  bool error = false;
  // Optional rewrite of each line before it is drawn (the hint buttons' text).
  std::function<void(std::vector<std::uint8_t>&)> lineHook;
};

// Draws the text record whose bytes start at `offset` (the bytes after its 6-byte header), line by line
// from cell row `row`, and returns the offset after the record's end byte. Running off the text image
// or meeting a byte beyond the glyph table sets the context's error flag and stops the record.
std::size_t drawTextRecord(TextContext& context, std::size_t offset, int row);

// The message offset of an entry of the text image's entry table; nothing when the table does not hold
// the entry or the entry is empty.
std::optional<std::size_t> messageOffset(const TextImage& text, int entry);

// Draws every record of a message (6-byte header each: left, right, first row; records follow each other
// while their continuation byte is not 0). Returns false when the message runs past the text image or a
// record stops with an error.
bool drawMessageRecords(TextContext& context, std::size_t offset);

}  // namespace render
