#pragma once
// The hero standing on the floor of the small test world, with object records of our choosing: every
// object starts out of the world (area 100) with an ordinary use routine unless a test places it.

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "sim/core/big_endian.h"
#include "sim/hero/hero_fixture.h"
#include "sim/things/object_records.h"
#include "sim/things/things.h"

namespace things_test {

using hero_test::ix;
using hero_test::kRestY;
using sim_test::putWords;

constexpr std::uint8_t kB = 0x10;
constexpr std::uint32_t kOrdinary = 0x009C06;

struct ObjectRecord {
  std::int16_t area = 100, x = 0, y = 0, kind = 1, number = 0, slot = 0;
  std::uint32_t use = kOrdinary;
};

class ThingsTest : public hero_test::HeroTest {
 protected:
  std::vector<ObjectRecord> objects = std::vector<ObjectRecord>(62);

  ThingsTest() {
    for (std::size_t k = 0; k < objects.size(); ++k) objects[k].number = static_cast<std::int16_t>(k);
  }

  // An area of the test world with a floor at y 176.
  void floorIn(int id) { fill(id, 0, hero_test::kFloorTop, 320, 192); }

  // Writes the object records where the new game copies them from, then starts with the hero
  // standing at x.
  void startWithObjects(std::int64_t x, int areaId = 21) {
    std::vector<std::uint16_t> words;
    for (const ObjectRecord& o : objects)
      for (std::int64_t w :
           {std::int64_t{o.area}, std::int64_t{o.x}, std::int64_t{o.y}, std::int64_t{o.kind}, std::int64_t{o.number},
            std::int64_t{o.slot}, std::int64_t{o.use >> 16}, std::int64_t{o.use & 0xFFFF}})
        words.push_back(static_cast<std::uint16_t>(w));
    putWords(*f.rom, 0x002B68, words);
    startStanding(x, areaId);
    sim().soundRequests().clear();
  }

  sim::Context& ctx() { return sim().context(); }

  // Inventory words 0 to 4 and the panel's timers.
  std::int64_t inv(std::size_t k) { return sim::things::inv(s(), k); }
  void carry(std::int64_t a, std::int64_t b, std::int64_t c) {
    sim::things::setInv(s(), 2, a);
    sim::things::setInv(s(), 3, b);
    sim::things::setInv(s(), 4, c);
    for (std::int64_t k : {a, b, c})
      if (k >= 0) sim::things::setObjectWord(s(), k, sim::things::kObjArea, -1);
    sim::things::loadObjectsHere(ctx());  // as if they had been carried into the area
  }
  std::int64_t objectWord(std::int64_t k, std::size_t at) { return sim::things::objectWord(s(), k, at); }
  std::int64_t objectArea(std::int64_t k) { return objectWord(k, sim::things::kObjArea); }

  // B pressed once, then the bend runs to its end; the sound requests of these frames are kept.
  void bend() {
    sim().soundRequests().clear();
    run(kB);
    for (int i = 0; i < 60 && s().lock != 0; ++i) run(0);
    ASSERT_EQ(s().lock, 0);
  }

  bool effectRequested(std::uint32_t n) {
    for (const audio::SoundRequest& r : sim().soundRequests())
      if (r.kind == 1 && r.value == n) return true;
    return false;
  }
};

}  // namespace things_test
