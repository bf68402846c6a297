// Game steps in a busy area: 40 actors of all 15 types around the hero, who walks to and fro among them
// (Owlbough, area 17, with its two lifts). Tables our data set does not hold yet are filled in past its
// last one.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <utility>
#include <vector>

#include "sim/core/big_endian.h"
#include "sim/rom_view.h"
#include "sim/simulation.h"
#include "world/world.h"

namespace {

constexpr std::uint32_t kSpare = 0x07FC00;

void putWords(sim::RomView& rom, std::uint32_t at, std::initializer_list<std::uint16_t> words) {
  std::vector<std::uint8_t> bytes;
  for (std::uint16_t w : words) {
    bytes.push_back(static_cast<std::uint8_t>(w >> 8));
    bytes.push_back(static_cast<std::uint8_t>(w));
  }
  if (!rom.isPresent(at)) rom.put(at, bytes);
}
void putLong(sim::RomView& rom, std::uint32_t at, std::uint32_t v) {
  putWords(rom, at, {static_cast<std::uint16_t>(v >> 16), static_cast<std::uint16_t>(v)});
}

// Sequences and tables for every type, where the data set has none.
void putActorTables(sim::RomView& rom) {
  for (std::uint32_t at : {0x00BDB6u, 0x00BDC4u, 0x00BDD2u, 0x00BDE4u, 0x00BDEEu, 0x00BDF8u})
    putWords(rom, at, {4, 0, 0, 1, 0xFFFF});
  const std::uint32_t walk = kSpare, creep = kSpare + 0x20, swim = kSpare + 0x40, turnL = kSpare + 0x60,
                      turnR = kSpare + 0x80, stop = kSpare + 0xA0;
  putWords(rom, walk, {3, 0, 66, 65, 64, 65, 0xFFFF});
  putWords(rom, creep, {3, 0, 7, 8, 9, 10, 0xFFFF});
  putWords(rom, swim, {4, 0, 0, 1, 0xFFFF});
  putWords(rom, turnL, {3, 0, 2, 3, 4, 5, 0xFFFF});
  putWords(rom, turnR, {3, 0, 1, 2, 3, 0xFFFF});
  putWords(rom, stop, {3, 0, 2, 1, 0xFFFF});
  for (std::uint32_t table : {0x00B266u, 0x00B39Au, 0x00BD28u}) putLong(rom, table, walk);
  putLong(rom, 0x00B740, swim);
  putLong(rom, 0x00B744, swim + 0x10 + 0x100);
  putWords(rom, swim + 0x10 + 0x100, {4, 0, 64, 65, 0xFFFF});
  putLong(rom, 0x00B748, turnL);
  putLong(rom, 0x00B74C, turnR);
  putLong(rom, 0x00B898, swim);
  putLong(rom, 0x00B89C, stop);
  putLong(rom, 0x00B8A0, creep);
  putLong(rom, 0x00B8A4, creep);
  putWords(rom, 0x00BEE6, {2, 1, 5, 6, 0xFFFF});
  putWords(rom, 0x00BEFA, {4, 0, 7, 8, 0xFFFF});
  putWords(rom, 0x00BB82, {0, 1, 2, 1, 0, 0xFFFF});
}

struct Record {
  std::vector<std::uint8_t>& block;
  std::size_t base;
  void word(std::size_t at, std::int64_t v) { sim::be::setWord(block, base + at, v); }
  void longWord(std::size_t at, std::int64_t v) {
    sim::be::setLongWord(block, base + at, static_cast<std::uint32_t>(v));
  }
};

// Record i of type i % 15 at x, standing on the floor line y.
void placeActor(sim::GameState& s, std::size_t i, std::int64_t x, std::int64_t y) {
  Record r{s.actors, i * 58};
  std::fill_n(s.actors.begin() + static_cast<std::ptrdiff_t>(r.base), 58, 0);
  const std::int64_t type = static_cast<std::int64_t>(i % 15);
  r.longWord(0, type);
  r.word(4, x);
  r.word(8, y);
  r.word(28, x - 60);
  r.word(30, x + 60);
  r.word(32, y - 40);
  r.word(34, y);
  switch (type) {
    case 0:
      r.word(28, 30), r.word(30, 20), r.word(32, 0), r.word(34, 40), r.word(46, 5);
      break;
    case 1:
      r.longWord(36, 0x10000), r.longWord(24, 0x2000);
      break;
    case 2:
      r.longWord(20, 0x10000), r.longWord(24, -0x2000), r.word(54, 20);
      break;
    case 3:
      r.word(32, 4), r.word(34, 60), r.word(48, 20), r.word(50, 20), r.word(52, 1), r.word(46, 1);
      break;
    case 4:
    case 5:
      r.word(48, y - 20), r.longWord(20, type == 4 ? 0x10000 : 1);
      break;
    case 7:
    case 14:
      r.longWord(12, 0x10000);
      break;
    case 8:
      r.word(46, 1), r.word(48, 20);
      break;
    case 9:
      r.longWord(20, 0x2000), r.longWord(28, 0x10000), r.longWord(32, 0x8000);
      break;
    case 10:
      r.word(28, x - 40), r.word(30, x + 40), r.word(54, 20);
      break;
    case 11:
      r.longWord(20, 0x20000), r.longWord(24, 0x3000), r.word(46, 10), r.word(52, 60);
      break;
    case 12:
      r.word(46, 10), r.word(50, 40);
      break;
    case 13:
      r.word(28, x), r.word(32, y), r.word(34, y + 20), r.longWord(12, 0x8000), r.longWord(16, -0x30000);
      r.longWord(20, -0x30000), r.longWord(24, 0x3000), r.longWord(36, 0x30000), r.word(48, 30);
      break;
    default:
      break;
  }
}

void BM_StepsAmongFortyActors(benchmark::State& bench) {
  std::optional<world::World> world = world::loadWorld(GROVANTA_SOURCE_DIR);
  if (!world) {
    bench.SkipWithError("no world");
    return;
  }
  sim::RomView rom = sim::loadRomView(GROVANTA_SOURCE_DIR, *world);
  if (rom.isPresent(kSpare)) {
    bench.SkipWithError("the data set now holds bytes at the spare address");
    return;
  }
  putActorTables(rom);
  sim::Simulation sim(*world, rom);
  sim.newGame(0);
  sim.setCheats(sim::kCheatNoDamage | sim::kCheatLives);
  sim.mutableState().flag_8309 = 255;  // no idle reminder
  if (!sim.teleport(17, 600, 152)) {
    bench.SkipWithError("teleport failed");
    return;
  }
  for (std::size_t i = 0; i < 40; ++i)
    placeActor(sim.mutableState(), i, 480 + static_cast<std::int64_t>(i) * 8,
               110 + static_cast<std::int64_t>(i % 4) * 10);
  std::uint8_t direction = 0x08;
  std::int64_t tick = 0;
  for (auto _ : bench) {
    const std::int64_t X = sim.state().x >> 16;
    if (X > 700) direction = 0x04;
    if (X < 560) direction = 0x08;
    sim.step(direction, tick);
    ++tick;
    sim.soundRequests().clear();
    benchmark::DoNotOptimize(sim.state().y);
  }
  if (!sim.stopMessage().empty()) bench.SkipWithError(sim.stopMessage().c_str());
  bench.SetItemsProcessed(bench.iterations());
  std::size_t actorSprites = 0;
  for (const sim::SpriteCall& call : sim.frameSprites()) actorSprites += call.caller == 0x009B7C ? 1 : 0;
  bench.counters["actor_sprites"] = static_cast<double>(actorSprites);
}

BENCHMARK(BM_StepsAmongFortyActors);

}  // namespace
