#pragma once
// The data set of the source tree, loaded for the tests that check our world against the logic, and
// the hero's own tests of open ground on its collision.

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>

#include "base/asset_store.h"
#include "sim/rom_view.h"
#include "sim/sim_fixture.h"
#include "world/world.h"

namespace real_world {

struct RealWorld {
  world::World world;
  sim::RomView rom;
  std::unique_ptr<sim::Simulation> sim;
};

// Loads the data set of the source tree. Areas whose sprite bank list is not
// in it yet get a one-bank list, so that entering them reads no missing table.
inline std::unique_ptr<RealWorld> loadRealWorld() {
  const std::filesystem::path root = GROVANTA_SOURCE_DIR;
  if (!app::hasWorld(root)) return nullptr;
  auto w = world::loadWorld(root);
  if (!w) return nullptr;
  auto r = std::make_unique<RealWorld>();
  r->world = std::move(*w);
  r->rom = sim::loadRomView(root, r->world);
  bool listed = false;
  for (std::uint32_t area = 0; area < 50; ++area) {
    if (r->rom.isPresent(0x03E844 + 4 * area)) continue;
    // The spare list lies past the data set's last table (the event records end by 0x07F200).
    if (r->rom.isPresent(0x07F800)) throw std::runtime_error("the data set now holds bytes at 0x07F800");
    if (!listed) sim_test::putBankList(r->rom, 0x07F800, 0x07F900, 90);
    listed = true;
    sim_test::putLong(r->rom, 0x03E844 + 4 * area, 0x07F800);
  }
  r->sim = std::make_unique<sim::Simulation>(r->world, r->rom);
  // A game under way, as a teleport finds it: the objects lie where the world puts them.
  r->sim->newGame(0);
  return r;
}

// The hero's own collision test against an area's collision bytes.
inline bool solid(const world::Area& a, std::int64_t px, std::int64_t py) {
  if (static_cast<std::uint16_t>(py) > 191 || px < 0 || px >= a.width * 32) return false;
  const std::size_t byte = static_cast<std::size_t>(px / 8) * 3 + static_cast<std::size_t>(py / 64);
  return byte < a.collision.size() && ((a.collision[byte] >> ((py >> 3) & 7)) & 1);
}

inline bool clearBox(const world::Area& a, std::int64_t x, std::int64_t y) {
  for (std::int64_t px : {x + 6, x + 14, x + 18})
    for (std::int64_t py = y; py < y + 24; ++py)
      if (solid(a, px, py)) return false;
  return true;
}

// Open ground: the feet rest on something at x + 6 or x + 18 and the hero has room.
inline bool standsAt(const world::Area& a, std::int64_t x, std::int64_t y) {
  return clearBox(a, x, y) && (solid(a, x + 6, y + 24) || solid(a, x + 18, y + 24)) && !solid(a, x + 6, y + 23) &&
         !solid(a, x + 18, y + 23);
}

// Where a hero falling straight down from y comes to rest, or -1 when he falls out of the map.
inline std::int64_t landing(const world::Area& a, std::int64_t x, std::int64_t y) {
  if (!clearBox(a, x, y)) return -1;
  for (; y < 168; ++y)
    if (solid(a, x + 6, y + 24) || solid(a, x + 18, y + 24)) return y;
  return -1;
}

// The lowest place at x where the hero stands, or -1.
inline std::int64_t groundAt(const world::Area& a, std::int64_t x) {
  for (std::int64_t y = 167; y >= 0; --y)
    if (standsAt(a, x, y)) return y;
  return -1;
}

inline const world::Area& area(const RealWorld& r, std::int64_t id) {
  const world::Area* a = world::findArea(r.world, static_cast<int>(id));
  if (!a) throw std::runtime_error("no area " + std::to_string(id));
  return *a;
}

}  // namespace real_world
