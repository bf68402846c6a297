#pragma once
// The static description of the game world: the areas with their graphics layout, collision, items,
// actors, exits and block animations, the doors, the cave edges, the initial door locks, the palettes
// and the hero's animation sequences. Loaded once from the data set; read-only afterwards and shared by
// the simulation, the renderers, the cartridge-table view and the tools.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace world {

struct AreaItem {
  std::int16_t flag = 0, type = 0, x = 0, y = 0, frame = 0;
};

// One exit of a pair: the first applies while the hero's x is at most `threshold`, the second while it is
// at least `threshold`; an x or y of -1 leaves that coordinate to the simulation.
struct AreaExit {
  std::int16_t threshold = 0, area = 0, x = 0, y = 0;
};

// Map block `block` is shown as the block of the current frame.
struct BlockAnimation {
  std::int32_t block = 0, delay = 0, loop = 0;
  std::vector<std::int32_t> frames;
};

// A change to one map byte, kept as it was read (already applied to the map when it lands inside it).
struct MapPatch {
  std::int32_t index = 0;
  std::uint8_t value = 0;
};

// 16 CRAM colour words.
using PaletteLine = std::vector<std::uint16_t>;

struct Area {
  std::int32_t id = 0;
  std::int32_t width = 0;  // columns of 32 pixels
  std::int16_t origin_x = 0;
  std::int16_t min_y = 0;
  std::int32_t description = 0;  // message entry, 0 when none
  std::vector<AreaItem> items;
  // Each record laid out as the cartridge holds it: type (long), x (word), data bytes 0-1, y (word),
  // then the remaining data bytes. 58 bytes for the shipped actors.
  std::vector<std::vector<std::uint8_t>> actors;
  AreaExit exits_top[2];
  AreaExit exits_bottom[2];
  std::vector<std::vector<std::uint16_t>> blocks;  // 16 tile words each, column-major 4 x 4 cells
  std::vector<std::uint8_t> map;                   // width x 6 block numbers, column by column
  std::vector<MapPatch> map_patches;
  std::vector<std::uint8_t> collision;  // width x 12 bytes
  std::vector<BlockAnimation> animations;

  // Graphics layout and palettes read by the area renderer.
  std::optional<std::vector<std::vector<std::uint16_t>>> backdrop;  // 24 rows of 32 tile words
  std::int32_t backdrop_patterns = 0;
  std::string patterns;  // the pattern sheet, relative to the data root
  std::int32_t area_patterns = 0;
  std::int32_t blocks_line3 = 0;
  bool backdrop_front = false;
  PaletteLine line0 = PaletteLine(16, 0);
  std::optional<PaletteLine> line1;
  std::optional<PaletteLine> line3;
  std::vector<std::int32_t> variant_index;
  std::vector<PaletteLine> variant_lines;
};

struct Door {
  std::int16_t area = 0, target = 0, x = 0, y = 0;
  std::int16_t rect[4] = {0, 0, 0, 0};
};

struct Edge {
  std::int16_t area = 0;
  AreaExit left, right;
};

struct World {
  std::int32_t schema = 0;
  std::vector<Area> areas;          // areas with a map, in file order
  std::vector<Area> mapless_areas;  // areas without one: identity, width, items, actors, origin only
  std::vector<Door> doors;
  std::vector<Edge> edges;
  std::vector<std::uint8_t> door_locks = std::vector<std::uint8_t>(8, 0);
  std::vector<std::uint16_t> brumo_sequences;
  PaletteLine brumo_line2 = PaletteLine(16, 0);
};

// Reads "world/world.json", "assets/palettes/areas.json" and "assets/data/tables.json" under the data
// directory (a folder or the embedded marker). Logs one line and returns nothing on any failure.
std::optional<World> loadWorld(const std::filesystem::path& dataDirectory);

// The first area with a map whose id matches, or nullptr.
const Area* findArea(const World& world, int id);

// As findArea, then among the mapless areas.
const Area* findAreaAny(const World& world, int id);

}  // namespace world
