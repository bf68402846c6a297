// The hero running and jumping across a real area of our data set, with its
// own collision map and the hero's own animation sequences.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "sim/rom_view.h"
#include "sim/sim_fixture.h"
#include "sim/simulation.h"
#include "world/world.h"

namespace {

constexpr std::uint8_t kRight = 0x08, kC = 0x20;

struct DataSet {
  std::optional<world::World> world;
  sim::RomView rom;
  DataSet() {
    world = world::loadWorld(GROVANTA_SOURCE_DIR);
    if (!world) return;
    rom = sim::loadRomView(GROVANTA_SOURCE_DIR, *world);
    // The areas' sprite bank lists are read when an area loads; give every area a small one.
    sim_test::putBankList(rom, 0x07F800, 0x07F900, 85);
    for (std::uint32_t area = 0; area < 51; ++area) sim_test::putLong(rom, 0x03E844 + 4 * area, 0x07F800);
  }
};

// Castle Approach (area 22): a floor whose top is y 176, stone steps at x 256..287 and 320..351 and a
// third by the door at 1088..1119, each up to y 152, ledges higher up. The hero hops the steps and
// never has his head in a block.
TEST(HeroInTheDataSet, RunsAndJumpsAcrossCastleApproach) {
  DataSet data;
  ASSERT_TRUE(data.world);
  ASSERT_TRUE(data.rom.loaded());
  sim::Simulation sim(*data.world, data.rom);
  ASSERT_TRUE(sim.newGame(0)) << sim.stopMessage();
  sim.mutableState().flag_8309 = 255;
  ASSERT_TRUE(sim.teleport(22, 40, 152));
  ASSERT_EQ(sim.stopMessage(), "");
  const sim::GameState& s = sim.state();
  const world::Area& area = *world::findArea(*data.world, 22);
  const auto solid = [&](std::int64_t px, std::int64_t py) {
    if (py < 0 || py > 191 || px < 0 || px >= area.width * 32) return false;
    const std::size_t byte = static_cast<std::size_t>(px / 8) * 3 + static_cast<std::size_t>(py / 64);
    return ((area.collision[byte] >> ((py >> 3) & 7)) & 1) != 0;
  };

  int jumps = 0;
  std::int64_t start = 152, peak = 152;
  std::int64_t tick = 0;
  for (; tick < 2000 && (s.x >> 16) < 1200; ++tick) {
    // C held for a few frames: while running he is off the ground between little bounces.
    const bool jumpNow = tick % 50 >= 10 && tick % 50 < 14;
    const bool wasJumping = s.jump != 0;
    sim.step(static_cast<std::uint8_t>(kRight | (jumpNow ? kC : 0)), tick);
    ASSERT_EQ(sim.stopMessage(), "") << tick;
    const std::int64_t X = static_cast<std::int16_t>(s.x >> 16), Y = static_cast<std::int16_t>(s.y >> 16);
    // Landing at speed his feet dig in a few pixels; he climbs out a pixel a frame.
    ASSERT_LE(Y, 156) << "through the floor at x " << X;
    ASSERT_LE(s.sprite_frame & 0x7F, 45) << "a frame the hero's sheet does not have";
    for (std::int64_t px : {X + 6, X + 14, X + 18})
      ASSERT_FALSE(solid(px, Y)) << "head in a block at x " << X << ", y " << Y;
    if (!wasJumping && s.jump != 0) {
      ++jumps;
      start = peak = Y;
    }
    if (s.jump != 0) peak = std::min(peak, Y);
    if (wasJumping && s.jump == 0) {
      // Every jump rises its full 32 pixels from the floor (y 152) or a step (y 128) and ends on
      // one of them. It starts a frame late, so its first rise is already in `start`.
      EXPECT_EQ(peak, (start > 140 ? 152 : 128) - 32) << "x " << X;
      EXPECT_TRUE(Y >= 152 || (Y >= 128 && Y <= 132)) << "x " << X << ", y " << Y;
    }
  }
  EXPECT_GE((s.x >> 16), 1200);
  EXPECT_GE(jumps, 11);
  EXPECT_EQ(s.speed_r, 9);  // running at full speed
  // Let go: the last jump ends and he comes to rest on the floor.
  for (int i = 0; i < 100 && s.jump != 0; ++i) sim.step(0, tick++);
  for (int i = 0; i < 5; ++i) sim.step(0, tick++);
  EXPECT_EQ(s.jump, 0);
  EXPECT_EQ(s.y, 152 << 16);
  EXPECT_EQ(s.settled, 1);
  EXPECT_EQ(s.dying, 0);
}

}  // namespace
