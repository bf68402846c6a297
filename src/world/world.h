#pragma once
// The static description of the game world (areas, doors, edges, palettes and
// the hero's sequences). Read-only once loaded; shared by the simulation, the
// renderers and the tools.
//
// Provisional: the parts of the world that the simulation core needs, until the
// world loader lands; its version of this header replaces this one.

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
