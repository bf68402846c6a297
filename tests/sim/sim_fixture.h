#pragma once
// A small world and cartridge image for simulation tests: a few one- and
// two-screen areas and just the tables a standing hero's game reads.

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "sim/rom_view.h"
#include "sim/simulation.h"
#include "world/world.h"

namespace audio {
inline bool operator==(const SoundRequest& a, const SoundRequest& b) {
  return a.kind == b.kind && a.value == b.value;
}
}  // namespace audio

namespace sim_test {

inline void putWords(sim::RomView& rom, std::uint32_t at, const std::vector<std::uint16_t>& words) {
  std::vector<std::uint8_t> bytes;
  for (std::uint16_t w : words) {
    bytes.push_back(static_cast<std::uint8_t>(w >> 8));
    bytes.push_back(static_cast<std::uint8_t>(w));
  }
  rom.put(at, bytes);
}

inline void putLong(sim::RomView& rom, std::uint32_t at, std::uint32_t v) {
  putWords(rom, at, {static_cast<std::uint16_t>(v >> 16), static_cast<std::uint16_t>(v)});
}

inline world::World makeWorld() {
  world::World w;
  w.schema = 2;
  for (int id : {10, 11, 16, 18, 19, 21, 31, 45}) {
    world::Area a;
    a.id = id;
    a.width = id == 21 ? 10 : 96;  // area 21 is one screen wide
    a.map.assign(static_cast<std::size_t>(a.width) * 6, 0);
    a.collision.assign(static_cast<std::size_t>(a.width) * 12, 0);
    // One record that ends the list at once (its type long is FFFFFFFF), its other bytes the area's id.
    a.actors.push_back(std::vector<std::uint8_t>(58, static_cast<std::uint8_t>(id)));
    std::fill_n(a.actors.back().begin(), 4, 0xFF);
    // Exits that lead back into the area itself: a hero falling out of it goes nowhere.
    for (auto* pair : {a.exits_top, a.exits_bottom})
      for (int k = 0; k < 2; ++k) pair[k] = {0, static_cast<std::int16_t>(id), -1, -1};
    w.areas.push_back(a);
  }
  world::Area mapless;
  mapless.id = 44;
  mapless.width = 10;
  w.mapless_areas.push_back(mapless);
  return w;
}

// Sprite bank lists are given one bank whose selection list has `frames` entries.
inline void putBankList(sim::RomView& rom, std::uint32_t list, std::uint32_t selection, int frames) {
  putLong(rom, list, 0x00100000);
  putLong(rom, list + 4, selection);
  putLong(rom, list + 8, 0xFFFFFFFF);
  std::vector<std::uint16_t> sel(static_cast<std::size_t>(frames) * 5, 0);
  sel.push_back(0xFFFF);
  putWords(rom, selection, sel);
}

// The hero's animation sequences, laid out as in the data set: a side jump
// holds on frame 16 (144 mirrored), a straight jump on 23, a land death on 27.
inline void putHeroSequences(sim::RomView& rom) {
  putWords(rom, 0x0017E0, {4, 0, 128, 129, 130, 131, 132, 133, 134, 135, 0xFFFF});  // walking left
  putWords(rom, 0x0017F6, {4, 0, 0, 1, 2, 3, 4, 5, 6, 7, 0xFFFF});                  // walking right
  putWords(rom, 0x00180C, {30, 0, 0, 0, 0xFFFF});                                   // standing
  putWords(rom, 0x001816, {3, 6, 8, 9, 10, 10, 9, 8, 0, 0xFFFF});                   // bending right
  putWords(rom, 0x00182A, {3, 6, 136, 137, 138, 138, 137, 136, 0, 0xFFFF});         // bending left
  putWords(rom, 0x00183E, {3, 6, 139, 140, 141, 142, 143, 144, 144, 0xFFFF});       // jump left
  putWords(rom, 0x001852, {3, 6, 11, 12, 13, 14, 15, 16, 16, 0xFFFF});              // jump right
  putWords(rom, 0x001866, {3, 6, 17, 18, 19, 20, 21, 22, 23, 0xFFFF});              // straight jump
  putWords(rom, 0x00187A, {4, 6, 24, 25, 26, 26, 25, 24, 23, 0xFFFF});              // straight jump in water
  putWords(rom, 0x00188E, {5, 0, 30, 31, 32, 31, 0xFFFF});                          // stroke right
  putWords(rom, 0x00189C, {5, 0, 158, 159, 160, 159, 0xFFFF});                      // stroke left
  putWords(rom, 0x0018AA, {6, 0, 33, 34, 33, 35, 0xFFFF});                          // stunned
  putWords(rom, 0x0018B8, {8, 5, 36, 36, 37, 37, 27, 27, 0xFFFF});                  // dying on land
  putWords(rom, 0x0018CA, {8, 0, 40, 41, 42, 41, 42, 41, 0xFFFF});                  // drowning
  putWords(rom, 0x0018DC, {6, 2, 43, 43, 44, 45, 44, 45, 0xFFFF});                  // struck by a hazard
}

// The tables a new game and the waiting screens read.
inline void fillRom(sim::RomView& rom) {
  putHeroSequences(rom);
  putLong(rom, 0x0025E0, 0x12345678);                         // door locks
  putWords(rom, 0x004A22, std::vector<std::uint16_t>(8, 0));  // the rain code around its table
  putWords(rom, 0x004A2A, {500, 600, 700, 800});              // rain waits
  putWords(rom, 0x001C52, std::vector<std::uint16_t>(14, 0));  // the sparkles stay where they start
  std::vector<std::uint8_t> objects(992);
  for (std::size_t i = 0; i < objects.size(); ++i) objects[i] = static_cast<std::uint8_t>(i);
  rom.put(0x002B68, objects);
  rom.put(0x0065B4, std::vector<std::uint8_t>(162, 0x11));
  for (std::uint32_t a : {0x00A9C0u, 0x00A9CCu, 0x00A9D8u, 0x00A9F0u})
    rom.put(a, std::vector<std::uint8_t>(12, static_cast<std::uint8_t>(a & 0xFF)));
  // Area bank lists, all pointing at one list of 7 frames.
  putBankList(rom, 0x040000, 0x040100, 7);
  for (std::uint32_t area = 0; area < 51; ++area) putLong(rom, 0x03E844 + 4 * area, 0x040000);
  // Lives screen and inventory screen banks.
  putBankList(rom, 0x03ED28, 0x040200, 3);
  putBankList(rom, 0x03EC7C, 0x040300, 5);
  // Event screens: each event's entry has a bank list of 4 frames and two sprites.
  putBankList(rom, 0x040400, 0x040500, 4);
  for (std::uint32_t event = 0; event < 32; ++event) {
    const std::uint32_t entry = 0x041000 + 0x40 * event;
    putLong(rom, 0x03E470 + 4 * event, entry);
    putLong(rom, entry, 0);
    putLong(rom, entry + 4, 0x040400);
    putWords(rom, entry + 8, {0, 200, 150, 1, 210, 160, 2, 0xFFFF});
  }
  std::vector<std::uint16_t> wobble(32);
  for (std::size_t i = 0; i < wobble.size(); ++i) wobble[i] = static_cast<std::uint16_t>(i % 5);
  putWords(rom, 0x00C674, wobble);
}

struct SimFixture {
  world::World world = makeWorld();
  std::unique_ptr<sim::RomView> rom;
  std::unique_ptr<sim::Simulation> sim;

  explicit SimFixture(bool withTables = true) : rom(std::make_unique<sim::RomView>()) {
    if (withTables) fillRom(*rom);
    sim = std::make_unique<sim::Simulation>(world, *rom);
  }

  // A new game standing in area 21, with the sound requests of the start taken.
  sim::Simulation& started() {
    sim->newGame(0);
    sim->soundRequests().clear();
    return *sim;
  }
};

}  // namespace sim_test
