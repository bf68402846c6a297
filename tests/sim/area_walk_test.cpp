// The hero walks out of an area and through a door of our world, the way a
// player does it: pads into game steps, nothing set by hand on the way.
#include <gtest/gtest.h>

#include <memory>

#include "app/asset_store.h"
#include "sim/rom_view.h"
#include "sim/sim_fixture.h"
#include "world/world.h"

namespace {

constexpr std::uint8_t kUp = 0x01, kLeft = 0x04;

struct Game {
    world::World world;
    sim::RomView rom;
    std::unique_ptr<sim::Simulation> sim;
    std::int64_t tick = 0;

    // Steps with the pad until the area changes or the steps run out; false on a stop.
    bool stepUntilAreaChanges(std::uint8_t pad, int steps) {
        const std::int64_t from = sim->state().area;
        for (int i = 0; i < steps && sim->state().area == from; ++i) {
            sim->step(pad, ++tick);
            if (!sim->stopMessage().empty()) return false;
        }
        return true;
    }
    bool idle(int steps) {
        for (int i = 0; i < steps; ++i) {
            sim->step(0, ++tick);
            if (!sim->stopMessage().empty()) return false;
        }
        return true;
    }
};

// Our data set, with a one-bank sprite list for areas that have none yet.
std::unique_ptr<Game> start(std::int64_t area, std::int64_t x, std::int64_t y) {
    const std::filesystem::path root = GROVANTA_SOURCE_DIR;
    if (!app::hasWorld(root)) return nullptr;
    auto w = world::loadWorld(root);
    if (!w) return nullptr;
    auto g = std::make_unique<Game>();
    g->world = std::move(*w);
    g->rom = sim::loadRomView(root, g->world);
    sim_test::putBankList(g->rom, 0x07F000, 0x07F100, 90);
    for (std::uint32_t a = 0; a < 50; ++a)
        if (!g->rom.isPresent(0x03E844 + 4 * a)) sim_test::putLong(g->rom, 0x03E844 + 4 * a, 0x07F000);
    g->sim = std::make_unique<sim::Simulation>(g->world, g->rom);
    if (!g->sim->teleport(area, x, y)) return nullptr;
    g->sim->mutableState().stars_left = 250;  // no all-stars event on the way
    g->sim->mutableState().lives = 2;
    return g;
}

TEST(WalkingThroughTheWorld, OffTheWestEndOfTheGreenIntoTheMeadow) {
    auto g = start(21, 160, 152);
    if (!g) GTEST_SKIP() << "no data set in the source tree";
    ASSERT_TRUE(g->idle(10)) << g->sim->stopMessage();
    ASSERT_TRUE(g->stepUntilAreaChanges(kLeft, 600)) << g->sim->stopMessage();
    const auto& s = g->sim->state();
    ASSERT_EQ(s.area, 0);
    EXPECT_EQ(s.y >> 16, 1);
    ASSERT_TRUE(g->idle(120)) << g->sim->stopMessage();
    EXPECT_EQ(s.area, 0);
    EXPECT_NE(s.settled, 0);
    EXPECT_EQ(s.y >> 16, 152);  // on the meadow's floor near its east end, having drifted on west in the fall
    EXPECT_GE(s.x >> 16, 1440);  // past the bridge's pit
    EXPECT_LT(s.x >> 16, 52 * 32 - 24);
    EXPECT_EQ(s.stun, 0);
}

TEST(WalkingThroughTheWorld, UpInFrontOfTheGreensDoorLeadsIntoTheLane) {
    auto g = start(21, 160, 152);
    if (!g) GTEST_SKIP() << "no data set in the source tree";
    const world::Door& door = g->world.doors[0];
    ASSERT_EQ(door.area, 21);
    ASSERT_TRUE(g->sim->teleport(21, door.rect[0] - 2, 152));
    ASSERT_TRUE(g->idle(10)) << g->sim->stopMessage();
    ASSERT_TRUE(g->stepUntilAreaChanges(kUp, 60)) << g->sim->stopMessage();
    const auto& s = g->sim->state();
    EXPECT_EQ(s.area, door.target);
    EXPECT_EQ(s.x >> 16, door.x);
    EXPECT_EQ(s.y >> 16, door.y);
    EXPECT_EQ(s.restart_area, door.target);
    ASSERT_TRUE(g->idle(30)) << g->sim->stopMessage();
    EXPECT_EQ(s.area, door.target);
    EXPECT_EQ(s.y >> 16, door.y);  // he stands where he came in
    EXPECT_EQ(s.lock, 0);
}

}  // namespace
