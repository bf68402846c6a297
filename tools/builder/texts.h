#pragma once
// The game's message texts: data/text/layout.txt says where every entry is drawn (an object name, an
// area description, or the boxes of an event or front-end page), and one file per language holds the
// words. The builder lays them out as the screens draw them (centred lines, two cell rows a line) and
// writes assets/text/CODE.json, refusing any character the message font cannot draw and any line or
// page that would not fit its place.

#include <filesystem>
#include <string>
#include <vector>

namespace builder {

struct TextFile {
  std::string code;  // "en", "fr", "de", "es", "it"
  std::string json;  // the contents of assets/text/CODE.json
};

// Reads textDir/layout.txt and textDir/CODE.txt for the five languages, in language order.
// A fault in any of them throws SourceError "FILE:LINE: what is wrong".
std::vector<TextFile> buildTexts(const std::filesystem::path& textDir);

// The code page 437 byte the message font draws for a code point, or -1 when the font has no glyph
// for it (the glyph table leaves it blank, draws another letter, or cannot reach it).
int drawableByte(char32_t codePoint);

}  // namespace builder
