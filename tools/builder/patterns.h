#pragma once
// 8 x 8 patterns drawn as text art, and the PNG pattern sheets the program reads.

#include <array>
#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace builder {

using Pattern = std::array<std::uint8_t, 64>;  // colour 0-15 per pixel, row by row; 0 is transparent

struct PatternSet {
  std::vector<std::string> names;
  std::vector<Pattern> patterns;
  std::map<std::string, int> index;  // name -> position

  int add(const std::string& name, const Pattern& p);
};

// Reads a pattern file into the set (names must be new to it). The form:
//   pattern NAME              then eight rows of eight characters: '.' is colour 0, 0-9 and a-f colours
//   derive NAME BASE OPS...   a copy of BASE changed by: flip-h, flip-v, shade+N / shade-N (every
//                             non-zero colour moved by N, kept within 1-15), swap:A:B (colours A and B swapped)
// With `redraw`, a name the set already holds (from an earlier file) is drawn anew in its place, keeping
// its number; names new to the set are added after the others. A file still defines each name once.
void readPatternFile(const std::filesystem::path& file, PatternSet& set, bool redraw = false);

// Writes the patterns as an indexed 8-bit PNG, 128 pixels wide, pattern n at (8(n mod 16), 8(n div 16)).
// The PNG's own palette is a grey ramp, for looking at the sheet; the program uses the indices only.
// One PNG palette entry: red, green, blue, alpha.
using SheetColour = std::array<unsigned char, 4>;

// Writes the patterns sixteen to a row as an indexed PNG (at least `minRows` rows) with the given
// colours as its palette; the program reads the indices only, the colours are for the eye.
void writePatternSheet(const std::filesystem::path& file, const std::vector<Pattern>& patterns,
                       const std::array<SheetColour, 16>& colours, int minRows = 1);
// The same with a grey ramp as the palette.
void writePatternSheet(const std::filesystem::path& file, const std::vector<Pattern>& patterns);

}  // namespace builder
