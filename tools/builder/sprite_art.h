#pragma once
// Sprite art drawn as text: free-sized pictures of 4-bit colours that the sprite sources cut into
// 8 x 8 patterns. Larger figures are put together from smaller parts, so a pose is a few lines.

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace builder {

struct Art {
  int width = 0, height = 0;         // in pixels
  std::vector<std::uint8_t> pixels;  // colour 0-15 per pixel, row by row; 0 is transparent
  std::filesystem::path file;
  int line = 0;  // where it was defined, for messages

  std::uint8_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

struct ArtSet {
  std::map<std::string, Art> items;
};

// Reads one art file into the set (names must be new to it). Statements:
//   art NAME W H                 then H rows of W characters: '.' colour 0, 0-9 and a-f colours 1-15
//   derive NAME BASE CHANGES...  a copy of BASE changed by, in order: flip-h, flip-v, rot-r, rot-l,
//                                rot-180, swap:A:B (colours A and B swapped), paint:A:B (colour A
//                                becomes B), shade+N / shade-N
//   compose NAME W H PART@X,Y... a W x H picture with each PART drawn at (X, Y) in turn, its colour 0
//                                leaving what lies below (parts may reach past the edges: clipped)
// '#' starts a comment line.
void readArtFile(const std::filesystem::path& file, ArtSet& set);

// The art named `name`, or a SourceError at (file, line) naming it.
const Art& findArt(const ArtSet& set, const std::string& name, const std::filesystem::path& file, int line);

}  // namespace builder
