// The A button opens the inventory screen only while the hero is free.
#include <gtest/gtest.h>

#include <functional>

#include "sim/core/big_endian.h"
#include "sim/core/records.h"
#include "sim/sim_fixture.h"

namespace {

using sim_test::SimFixture;

struct InventoryCase {
  const char* name;
  std::uint8_t pad;
  std::function<void(sim::GameState&)> setUp;
  bool opens;
};

TEST(InventoryButton, OpensOnlyWithTheHeroFree) {
  const InventoryCase cases[] = {
      {"A, hero free", 0x40, [](sim::GameState&) {}, true},
      {"A with a direction", 0x48, [](sim::GameState&) {}, true},
      {"no A", 0x20, [](sim::GameState&) {}, false},
      {"dying", 0x40, [](sim::GameState& s) { s.dying = 1; }, false},
      {"struck by a hazard", 0x40, [](sim::GameState& s) { s.hazard_hit = 1; }, false},
      {"locked", 0x40, [](sim::GameState& s) { s.lock = 1; }, false},
      {"an object sliding in", 0x40,
       [](sim::GameState& s) { sim::be::setWord(s.inv_timers, sim::rec::kInvSlideIn, 3); }, false},
      {"the row shifting", 0x40, [](sim::GameState& s) { sim::be::setWord(s.inv_timers, sim::rec::kInvShiftDown, 3); },
       false},
  };
  for (const InventoryCase& c : cases) {
    SimFixture f;
    sim::Simulation& sim = f.started();
    c.setUp(sim.mutableState());
    sim.step(c.pad, 0);
    EXPECT_EQ(sim.stopMessage(), "") << c.name;
    EXPECT_EQ(sim.state().screen_kind == sim::kInventoryScreen, c.opens) << c.name;
  }
}

TEST(InventoryButton, CancelsAPaletteFadeAndSettlesTheHintOnce) {
  SimFixture f;
  sim::Simulation& sim = f.started();
  sim::GameState& s = sim.mutableState();
  s.palette_fading = 255;
  s.palette_fade_step = 12;
  s.flag_82fd = 255;
  s.flag_82fe = 255;
  s.hint_timer = 500;
  sim.step(0x40, 0);
  ASSERT_EQ(sim.state().screen_kind, sim::kInventoryScreen);
  EXPECT_EQ(sim.state().palette_fading, 0);
  EXPECT_EQ(sim.state().flag_82ff, 255);
  EXPECT_EQ(sim.state().hint_timer, 0);
  EXPECT_EQ(sim.fadeVBlanks(), 20);
  ASSERT_FALSE(sim.screens().empty());
  EXPECT_EQ(sim.screens().back().event, 0);
}

}  // namespace
