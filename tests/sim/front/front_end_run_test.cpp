// A run on our own data set from the first start through the language menu,
// the title and the story screen into a new game.
#include <gtest/gtest.h>

#include <filesystem>

#include "sim/rom_view.h"
#include "sim/simulation.h"
#include "world/world.h"

namespace {

const std::filesystem::path kRoot = GROVANTA_SOURCE_DIR;

TEST(FrontEndRun, FromTheFirstStartIntoANewGameOnOurDataSet) {
  auto world = world::loadWorld(kRoot);
  ASSERT_TRUE(world.has_value());
  sim::RomView rom = sim::loadRomView(kRoot, *world);
  sim::Simulation sim(*world, rom);
  sim.mutableState().refresh_hz = 50;
  std::int64_t tick = 0;
  auto run = [&](std::uint8_t pad, int n) {
    for (int i = 0; i < n; ++i) {
      sim.step(pad, tick++);
      ASSERT_EQ(sim.stopMessage(), "") << "tick " << tick << ", front " << sim.state().front;
    }
  };

  sim.newStart(true);
  ASSERT_EQ(sim.stopMessage(), "");
  ASSERT_EQ(sim.state().front, 1);
  run(0x02, 2);  // DOWN: French
  run(0, 30);    // the letters shuffle and settle
  EXPECT_EQ(sim.state().menu_cursor, 1);
  EXPECT_EQ(sim.screens().back().frames.back().size(), 0u);  // at rest nothing new is drawn
  run(0x80, 3);
  run(0, 1);
  ASSERT_EQ(sim.state().front, 2);
  EXPECT_EQ(sim.state().language, 1);

  run(0, 100);  // the logo turns: its dots and the blinking sprite each frame
  const auto& title = sim.screens().back();
  EXPECT_EQ(title.picture, 2);
  EXPECT_EQ(title.frames.size(), 101u);
  EXPECT_GT(title.frames.back().size(), 30u);
  EXPECT_LE(title.frames.back().size(), 80u);

  run(0x80, 1);
  ASSERT_EQ(sim.state().front, 3);
  EXPECT_EQ(sim.screens().back().event, 17);
  run(0, 20);
  sim.step(0x20, tick++);  // C starts the game
  EXPECT_EQ(sim.state().front, 0);
  EXPECT_EQ(sim.tickKind(), 'S');
  EXPECT_EQ(sim.state().area, 21);
  EXPECT_EQ(sim.state().lives, 2);
  EXPECT_EQ(sim.state().language, 1);
  // Our data set holds every table the new game reads: it starts without a stop, at rest.
  EXPECT_EQ(sim.stopMessage(), "");
  EXPECT_TRUE(sim.isAtRest());
}

// Every subgame row of the code menu comes back to the code menu: a subgame that is not built yet is
// over on its first frame and says so in the log, instead of leaving the player on a black screen.
TEST(FrontEndRun, EverySubgameOfTheCodeMenuComesBackToIt) {
  auto world = world::loadWorld(kRoot);
  ASSERT_TRUE(world.has_value());
  sim::RomView rom = sim::loadRomView(kRoot, *world);
  sim::Simulation sim(*world, rom);
  std::int64_t tick = 0;
  sim.newStart(false);
  for (std::int64_t entry = 0; entry < 6; ++entry) {
    SCOPED_TRACE(entry);
    ASSERT_TRUE(sim.state().front == 2 || sim.state().front == 5);
    if (sim.state().front == 2) {
      ASSERT_TRUE(sim.openCodeMenu());
    }
    for (int i = 0; i < 100 && sim.state().menu_cursor != entry; ++i) {
      sim.step(i % 2 == 0 ? 0x02 : 0x00, tick++);  // DOWN, pressed and let go
      for (int k = 0; k < 30 && sim.state().front_step != 0; ++k) sim.step(0, tick++);
    }
    ASSERT_EQ(sim.state().menu_cursor, entry);
    testing::internal::CaptureStderr();
    sim.step(0x80, tick++);
    std::int64_t frames = 0;
    for (; frames < 50 && !(sim.state().front == 5 && sim.state().front_step == 0); ++frames) sim.step(0, tick++);
    const std::string log = testing::internal::GetCapturedStderr();
    ASSERT_EQ(sim.stopMessage(), "");
    EXPECT_EQ(sim.state().front, 5) << "the code menu did not come back";
    EXPECT_EQ(sim.state().front_step, 0);
    EXPECT_EQ(sim.state().in_subgame, 0);
    EXPECT_LT(frames, 10);
    EXPECT_EQ(sim.screens().back().picture, 5);
    EXPECT_NE(log.find("is not built yet"), std::string::npos) << log;
  }
}

TEST(FrontEndRun, TheCodeMenusEntriesNameSubgamesOfOurDataSet) {
  auto world = world::loadWorld(kRoot);
  ASSERT_TRUE(world.has_value());
  sim::RomView rom = sim::loadRomView(kRoot, *world);
  for (std::uint32_t entry = 0; entry < 6; ++entry) {
    const std::int64_t mode = static_cast<std::int16_t>(rom.wordAt(0x0130D2 + 2 * entry));
    EXPECT_TRUE(mode == 0 || mode == 1 || mode == 2 || (mode >= 4 && mode <= 9)) << entry;
  }
  // The secret sequence: single keys without START, ended by FF.
  std::uint32_t n = 0;
  for (; n < 32 && rom.byteAt(0x0151C0 + n) != 0xFF; ++n) {
    const std::uint8_t key = rom.byteAt(0x0151C0 + n);
    EXPECT_NE(key, 0) << n;
    EXPECT_EQ(key & 0x80, 0) << n;
    EXPECT_EQ(key & (key - 1), 0) << n << ": one key at a time";
  }
  EXPECT_GT(n, 0u);
  EXPECT_LT(n, 32u);
  EXPECT_FALSE(rom.hasMissed());
}

}  // namespace
