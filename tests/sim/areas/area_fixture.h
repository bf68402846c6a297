#pragma once
// A small world for the area, exit and door tests: a few areas with their
// exits, the cave edges, doors (one locked), and the tables they read.

#include <memory>

#include "sim/sim_fixture.h"

namespace area_test {

inline world::Area plainArea(int id, int width, int originX) {
  world::Area a;
  a.id = id;
  a.width = width;
  a.origin_x = static_cast<std::int16_t>(originX);
  a.map.assign(static_cast<std::size_t>(width) * 6, 0);
  a.collision.assign(static_cast<std::size_t>(width) * 12, 0);
  for (auto& e : a.exits_top) e = {0, static_cast<std::int16_t>(id), -1, -1};
  for (auto& e : a.exits_bottom) e = {0, static_cast<std::int16_t>(id), -1, -1};
  return a;
}

inline world::World makeWorld() {
  world::World w = sim_test::makeWorld();
  for (auto& a : w.areas) {
    if (a.id == 21) {  // wide enough for its door at x 415
      a.width = 24;
      a.map.assign(24 * 6, 0);
      a.collision.assign(24 * 12, 0);
    }
  }
  // Area 30 leads down to 31 on its left and to 29 on its right, up to 2.
  world::Area a30 = plainArea(30, 96, 400);
  a30.exits_bottom[0] = {100, 31, 50, 60};
  a30.exits_bottom[1] = {2000, 29, -1, -1};
  a30.exits_top[0] = {500, 2, 70, 80};
  a30.exits_top[1] = {600, 30, 0, 0};
  w.areas.push_back(a30);
  world::Area a29 = plainArea(29, 96, 1000);
  a29.exits_bottom[0] = {300, 30, 10, 20};
  a29.exits_bottom[1] = {1300, 2, 30, 40};
  w.areas.push_back(a29);
  w.areas.push_back(plainArea(2, 96, -200));
  w.areas.push_back(plainArea(34, 20, 0));
  w.areas.push_back(plainArea(35, 20, 0));
  w.areas.push_back(plainArea(6, 40, 0));
  for (auto& a : w.areas)
    if (a.id == 10) a.exits_top[0] = {3000, 30, 5, 6};
  // Exits that lead to the mapless area 44.
  w.areas.push_back(plainArea(33, 20, 0));
  w.areas.back().exits_bottom[0] = {300, 44, 10, 10};

  w.edges.push_back({34, {8, 35, 560, 152}, {600, 30, 16, 144}});
  w.edges.push_back({33, {8, 35, 560, 152}, {600, 30, 16, 144}});  // not a cave area: never used

  // Doors: 0 in area 21 (open), 1 in area 21 (locked), 2 in area 30.
  w.doors.push_back({21, 30, 111, 152, {200, 136, 16, 32}});
  w.doors.push_back({21, 29, 222, 152, {100, 136, 16, 32}});
  w.doors.push_back({30, 21, 60, 152, {1000, 136, 16, 32}});
  return w;
}

inline void fillRom(sim::RomView& rom) {
  sim_test::fillRom(rom);
  sim_test::putWords(rom, 0x001E9C, {1200, 2, 90, 100, 1201, 30, 0xFFFF, 110});  // under area 29's trapdoor
  sim_test::putWords(rom, 0x0099A2, {10, 4, 0, 1, 2, 3, 4, 0xFFFF});             // a door opening
}

struct Fixture {
  world::World world = makeWorld();
  std::unique_ptr<sim::RomView> rom = std::make_unique<sim::RomView>();
  std::unique_ptr<sim::Simulation> sim;

  Fixture() {
    fillRom(*rom);
    sim = std::make_unique<sim::Simulation>(world, *rom);
    sim->newGame(0);
    sim->mutableState().door_locks = 0x40000000;  // door 1 locked
    sim->soundRequests().clear();
  }
  sim::GameState& state() { return sim->mutableState(); }
  // Puts the hero at (x, y) in an area through a teleport, as a host does.
  void at(std::int64_t area, std::int64_t x, std::int64_t y) {
    ASSERT_TRUE(sim->teleport(area, x, y)) << sim->stopMessage();
    sim->soundRequests().clear();
  }
};

}  // namespace area_test
