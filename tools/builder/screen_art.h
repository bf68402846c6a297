#pragma once
// The screens' art: the message font laid out as the text drawing reads it, and the pictures drawn on
// the waiting and front-end screens, built from readable sources under data/fonts and data/pictures.

#include <array>
#include <cstdint>
#include <filesystem>
#include <vector>

#include "patterns.h"

namespace builder {

// The 80 glyphs of the message font, 8 x 16 pixels each: a glyph's top cell, then its bottom cell.
struct MessageFont {
  std::vector<std::array<Pattern, 2>> glyphs;
};

// Reads data/fonts/message_font.txt: "glyph N ..." lines, each followed by 16 rows of 8 colours.
MessageFont readMessageFont(const std::filesystem::path& file);

// The 160 patterns of the font sheet: the tops of glyphs 0-39, their bottoms, the tops of 40-79,
// their bottoms.
std::vector<Pattern> fontSheet(const MessageFont& font);

// Writes assets/graphics/portrait_frame_patterns.png and every picture of data/pictures/*.txt as
// assets/graphics/pictures/NAME.json and NAME.png. Adds the number of files written to `written`.
void buildScreenArt(const std::filesystem::path& data, const std::filesystem::path& outputRoot, int& written);

}  // namespace builder
