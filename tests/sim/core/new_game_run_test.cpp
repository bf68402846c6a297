// A new game on our own data set: the tables the new game copies (objects, lifts, platform
// records) are all there, and the game runs on from the start with no stop.
#include <gtest/gtest.h>

#include <optional>

#include "sim/rom_view.h"
#include "sim/sim_fixture.h"
#include "sim/simulation.h"
#include "world/world.h"

namespace {

struct OurDataSet {
  std::optional<world::World> world;
  sim::RomView rom;
  OurDataSet() {
    world = world::loadWorld(GROVANTA_SOURCE_DIR);
    if (!world) return;
    rom = sim::loadRomView(GROVANTA_SOURCE_DIR, *world);
    // The areas' sprite bank lists are drawn art, not world content; while the data set has none,
    // every area gets a small one so that loading an area reads only what this test is about.
    if (!rom.isPresent(0x03E844 + 4 * 21)) {
      sim_test::putBankList(rom, 0x07F800, 0x07F900, 85);
      for (std::uint32_t area = 0; area < 51; ++area) sim_test::putLong(rom, 0x03E844 + 4 * area, 0x07F800);
    }
  }
};

TEST(NewGameRun, StepsThreeHundredFramesOnOurDataSetWithNoStop) {
  OurDataSet data;
  ASSERT_TRUE(data.world);
  ASSERT_TRUE(data.rom.loaded());
  sim::Simulation sim(*data.world, data.rom);
  ASSERT_TRUE(sim.newGame(0)) << sim.stopMessage();
  ASSERT_EQ(sim.stopMessage(), "");
  const sim::GameState& s = sim.state();
  EXPECT_EQ(s.area, 21);

  // The records came from the world's tables: object 0 (the castle key) lies in area 21, lift 8
  // runs from the start, and the springboard's record has the id its handler tests.
  const auto word = [](const auto& bytes, std::size_t at) {
    return static_cast<std::int16_t>(bytes[at] << 8 | bytes[at + 1]);
  };
  EXPECT_EQ(word(s.objects, 0), 21);
  EXPECT_EQ(word(s.objects, 16 * 47), 100);  // the crown waits for the Great Hall's throws
  EXPECT_EQ(word(s.lifts, 18 * 8), 1);
  EXPECT_EQ(word(s.lifts, 18 * 0), 0);      // lift 0 waits for its stone
  EXPECT_EQ(word(s.platform_recs, 36), 5);  // FF9F30: the springboard
  for (int r = 0; r < 4; ++r) EXPECT_NE(word(s.platform_recs, 12 * r), 0) << r;

  // Stand, then walk right and left across the green with a few jumps.
  std::int64_t tick = 0;
  for (int i = 0; i < 300; ++i, ++tick) {
    std::uint8_t pad = 0;
    if (i >= 60 && i < 160) pad = 0x08;
    if (i >= 180 && i < 260) pad = 0x04;
    if (i % 40 == 20) pad |= 0x20;
    sim.step(pad, tick);
    ASSERT_EQ(sim.stopMessage(), "") << "frame " << i;
  }
  EXPECT_EQ(s.area, 21);
}

}  // namespace
