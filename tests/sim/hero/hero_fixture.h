#pragma once
// The hero on the small test world: area 21 (320 pixels wide) with a floor
// whose top row is y 176, so a standing hero rests at y 152. Walls, ceilings
// and other areas are added per test.

#include <gtest/gtest.h>

#include <cstdint>

#include "sim/sim_fixture.h"
#include "world/world.h"

namespace hero_test {

constexpr std::uint8_t kLeft = 0x04, kRight = 0x08, kC = 0x20;
constexpr std::int64_t kFloorTop = 176;
constexpr std::int64_t kRestY = kFloorTop - 24;

inline std::int64_t fx(std::int64_t pixels) {
  return pixels * 65536;
}
inline std::int64_t ix(std::int64_t v) {
  return static_cast<std::int16_t>(v >> 16);
}

class HeroTest : public ::testing::Test {
 protected:
  sim_test::SimFixture f;
  std::int64_t tick = 0;

  HeroTest() {
    area(21).width = 10;
    fill(21, 0, kFloorTop, 320, 192);
  }

  world::Area& area(int id) {
    for (world::Area& a : f.world.areas)
      if (a.id == id) return a;
    world::Area a;
    a.id = id;
    a.width = 10;
    a.map.assign(60, 0);
    a.collision.assign(120, 0);
    f.world.areas.push_back(a);
    return f.world.areas.back();
  }

  // Marks the 8 x 8 cells covering [x0, x1) x [y0, y1) solid.
  void fill(int id, std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1) {
    world::Area& a = area(id);
    for (std::int64_t x = x0 & ~7; x < x1; x += 8)
      for (std::int64_t y = y0 & ~7; y < y1; y += 8)
        a.collision[static_cast<std::size_t>(x / 8 * 3 + y / 64)] |= static_cast<std::uint8_t>(1 << ((y >> 3) & 7));
  }

  sim::Simulation& sim() { return *f.sim; }
  sim::GameState& s() { return f.sim->mutableState(); }

  // A new game, then the hero put at (x, y) in the area (changes to the area's
  // collision take effect here).
  void start(std::int64_t x, std::int64_t y, int areaId = 21) {
    f.started();
    s().flag_8309 = 255;  // no idle reminder
    ASSERT_TRUE(sim().teleport(areaId, x, y));
  }

  // Starts at (x, kRestY) and lets the hero come to rest on the floor.
  void startStanding(std::int64_t x, int areaId = 21) {
    start(x, kRestY, areaId);
    run(0, 4);
    ASSERT_EQ(s().settled, 1);
    ASSERT_EQ(s().air, 0);
    ASSERT_EQ(ix(s().y), kRestY);
  }

  void run(std::uint8_t pad, int frames = 1) {
    for (int i = 0; i < frames; ++i) {
      sim().step(pad, tick++);
      ASSERT_EQ(sim().stopMessage(), "");
    }
  }

  // Gives the hero the flippers (object 23 in the bottom carried slot) and puts him in water.
  void swimming(std::int64_t surface = 0) {
    s().inventory[8] = 0;
    s().inventory[9] = 23;
    s().variant_ad = 255;
    s().water_surface = surface;
  }
};

}  // namespace hero_test
