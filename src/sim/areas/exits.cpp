// Leaving an area: above the map, below it, or past a side edge of the cave
// areas.
#include "sim/areas/areas.h"
#include "sim/cartridge.h"
#include "sim/hero/hero.h"
#include "sim/rom_view.h"
#include "world/world.h"

namespace sim::areas {

namespace {

// Area 29 has a second pair of bottom exits under its trapdoor, kept in the
// cartridge rather than in the world: four words per exit (cart::kTrapdoorExits).
constexpr std::int64_t kTrapdoorFrom = 1169, kTrapdoorTo = 1243;

world::AreaExit romExit(const RomView& rom, std::uint32_t at) {
  world::AreaExit e;
  e.threshold = static_cast<std::int16_t>(rom.wordAt(at));
  e.area = static_cast<std::int16_t>(rom.wordAt(at + 2));
  e.x = static_cast<std::int16_t>(rom.wordAt(at + 4));
  e.y = static_cast<std::int16_t>(rom.wordAt(at + 6));
  return e;
}

std::int64_t withInteger(std::int64_t fixed, std::int64_t integer) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(integer) << 16 |
                                   (static_cast<std::uint32_t>(fixed) & 0xFFFF));
}

}  // namespace

void exitCheck(Context& c) {
  GameState& s = c.state;
  const AreaCache& cache = c.areaCache;
  const std::int64_t X = static_cast<std::int16_t>(s.x >> 16);
  const std::int64_t Y = static_cast<std::int16_t>(s.y >> 16);
  world::AreaExit pair[2];
  std::int64_t newY = 0;
  if (Y < 0) {
    if (s.area == 10 && X < 1400) return;  // the guard's hall has no way up before x 1400
    pair[0] = cache.area->exits_top[0];
    pair[1] = cache.area->exits_top[1];
    newY = 168;
  } else if (Y < 168) {
    const bool hasEdges = (s.area >= 34 && s.area <= 40) || s.area == 47;
    if (!hasEdges) return;
    const world::Edge* edge = nullptr;
    for (const world::Edge& e : c.world.edges)
      if (e.area == s.area) {
        edge = &e;
        break;
      }
    if (!edge) return;
    const world::AreaExit* to = nullptr;
    if (X < edge->left.threshold)
      to = &edge->left;
    else if (X > edge->right.threshold)
      to = &edge->right;
    if (!to) return;
    const world::AreaExit exit = *to;
    hero::resetHero(c);
    s.x = static_cast<std::int32_t>(static_cast<std::uint32_t>(exit.x) << 16);
    s.y = static_cast<std::int32_t>(static_cast<std::uint32_t>(exit.y) << 16);
    s.area = exit.area;
    s.restart_x = exit.x;
    s.restart_y = exit.y;
    s.restart_area = exit.area;
    loadArea(c, s.area);
    updateCamera(c);
    enterArea(c);
    return;
  } else {
    if (s.area == 29 && X >= kTrapdoorFrom && X <= kTrapdoorTo) {
      pair[0] = romExit(c.rom, cart::kTrapdoorExits);
      pair[1] = romExit(c.rom, cart::kTrapdoorExits + 8);
    } else {
      pair[0] = cache.area->exits_bottom[0];
      pair[1] = cache.area->exits_bottom[1];
    }
    newY = 1;
  }

  const world::AreaExit* exit = nullptr;
  if (X <= pair[0].threshold)
    exit = &pair[0];
  else if (X >= pair[1].threshold)
    exit = &pair[1];
  if (!exit || exit->area == s.area) return;

  // A vertical exit keeps the hero's place in the world: his x is carried
  // over through the two areas' origins.
  s.restart_x = static_cast<std::uint16_t>(exit->x);
  s.restart_y = static_cast<std::uint16_t>(exit->y);
  s.restart_area = static_cast<std::uint16_t>(exit->area);
  s.y = withInteger(s.y, newY);
  const std::int64_t worldX = X - cache.originX;
  s.area = exit->area;
  loadArea(c, s.area);
  s.x = withInteger(s.x, worldX + cache.originX);
  if (exit->x < 0) {
    // No restart point of its own: the hero restarts where he came in.
    s.restart_x = static_cast<std::int16_t>(s.x >> 16);
    s.restart_y = static_cast<std::int16_t>(s.y >> 16);
    s.restart_area = s.area;
  }
  updateCamera(c);
  enterArea(c);
}

}  // namespace sim::areas
