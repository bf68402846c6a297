#pragma once
// The static description of the game world (areas, doors, edges, palettes and
// the hero's sequences). Read-only once loaded; shared by the simulation, the
// renderers and the tools.
//
// Provisional: the parts of the world that the simulation core and the renderers
// need, until the world loader lands; its version of this header replaces this one.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace world {

struct AreaItem {
    std::int16_t flag = 0, type = 0, x = 0, y = 0, frame = 0;
};

struct AreaExit {
    std::int16_t threshold = 0, area = 0, x = 0, y = 0;
};

struct BlockAnimation {
    std::int32_t block = 0, delay = 0, loop = 0;
    std::vector<std::int32_t> frames;
};

using PaletteLine = std::vector<std::uint16_t>;

struct Area {
    std::int32_t id = 0;
    std::int32_t width = 0;  // columns of 32 pixels
    std::int16_t origin_x = 0;
    std::int16_t min_y = 0;
    std::int32_t description = 0;
    std::vector<AreaItem> items;
    std::vector<std::vector<std::uint8_t>> actors;
    AreaExit exits_top[2];
    AreaExit exits_bottom[2];
    std::vector<std::vector<std::uint16_t>> blocks;
    std::vector<std::uint8_t> map;
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
    std::vector<Area> areas;
    std::vector<Area> mapless_areas;
    std::vector<Door> doors;
    std::vector<Edge> edges;
    std::vector<std::uint8_t> door_locks;
    std::vector<std::uint16_t> brumo_sequences;
    PaletteLine brumo_line2 = PaletteLine(16, 0);
};

// The first area with a map whose id matches, or nullptr.
inline const Area* findArea(const World& world, int id) {
    for (const Area& a : world.areas)
        if (a.id == id) return &a;
    return nullptr;
}

// As findArea, then among the mapless areas.
inline const Area* findAreaAny(const World& world, int id) {
    if (const Area* a = findArea(world, id)) return a;
    for (const Area& a : world.mapless_areas)
        if (a.id == id) return &a;
    return nullptr;
}

}  // namespace world
