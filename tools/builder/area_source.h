#pragma once
// The readable sources of the world: tilesets (patterns and 32 x 32 blocks with their collision),
// backdrops (a 32 x 24 grid of backdrop patterns) and areas (a grid of block letters with a legend).

#include <array>
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "patterns.h"

namespace builder {

struct Tileset {
  std::string skinOf;  // the tileset whose blocks a skin redraws; empty for a tileset of its own
  PatternSet patterns;
  std::vector<std::array<std::uint16_t, 16>> blocks;  // tile words, column-major (word 4 * column + row)
  std::vector<std::array<bool, 16>> solid;            // per 8 x 8 cell, same order as the words
  std::map<std::string, int> blockIndex;
};

struct Backdrop {
  PatternSet patterns;
  std::vector<std::array<std::uint16_t, 32>> rows;  // 24 rows; pattern numbers count from the backdrop's first
};

struct ExitSource {
  int threshold = 0, area = 0, x = -1, y = -1;
};

struct ItemSource {
  int flag, type, x, y, frame, line;
};

struct ActorSource {
  int type, x, y;
  std::string data;
};

// A stretch of ground the hero is not meant to stand on (a roof, a wall's top, a place only a set piece
// reaches): the reachability check leaves the surfaces whose top lies inside it alone.
struct SceneryRect {
  int x, y, width, height, line;
};

struct AnimationSource {
  int block, delay, loop;
  std::vector<int> frames;
};

struct AreaSource {
  std::filesystem::path file;
  int id = -1;
  std::string name, region, tileset, backdrop, palette;
  bool mapless = false;
  bool backdropFront = false;
  int originX = 0, minY = 0, description = 0, blocksLine3 = 0;
  int width = 0;  // given for mapless areas; otherwise the map row length
  std::array<ExitSource, 2> exitsTop{}, exitsBottom{};
  std::vector<ItemSource> items;
  std::vector<ActorSource> actors;
  std::vector<std::pair<int, int>> patches;
  std::vector<SceneryRect> scenery;
  std::vector<std::string> rows;  // the six map rows, one letter per column
  int mapLine = 0;                // line of the first map row
  std::map<char, std::string> legend;
  std::vector<std::vector<std::string>> animationWords;  // resolved once the tileset is known
  std::vector<int> animationLines;
};

// A tileset file may start with "skin BASE": it then takes the blocks of tilesets/BASE.txt (beside it)
// with their patterns, collision and order, and only redraws them. Its pattern files draw same-named
// patterns anew in place (new names go after BASE's), and a "block" names one of BASE's blocks with
// BASE's collision, to give it other cells. A skin adds no block and changes no collision.
// "backing" and four rows of four cells (any tileset) fills the clear cells of every block (those whose
// pattern is all colour 0) with the cell at the same place in that grid: a wall behind the play field
// for areas whose backdrop is drawn in front. Collision is not touched.
Tileset readTileset(const std::filesystem::path& file, const std::filesystem::path& patternDir);
Backdrop readBackdrop(const std::filesystem::path& file, const std::filesystem::path& patternDir);
AreaSource readArea(const std::filesystem::path& file);

}  // namespace builder
