// The Simulation's shared helpers: the random generator, animation records,
// sprite calls and the subgame RAM accessors.
#include <gtest/gtest.h>

#include "sim/core/animation.h"
#include "sim/core/context.h"
#include "sim/core/ram.h"
#include "sim/sim_fixture.h"

namespace {

using sim_test::SimFixture;

TEST(Random, StepsTheGeneratorByTheBitsOfTheRange) {
  struct Case {
    std::int64_t rng, n, result, after;
  };
  const Case cases[] = {
      {0xE7190345, 1, 0, 0xD3B52DCB},      // one step, always 0
      {0xE7190345, 0, 23298, 0xE31A5B02},  // 16 steps, the low 16 bits
      {0, 1, 0, 0x1D872B41},               // a zero state becomes the feedback constant
      {0, 127, 0, 0x315F0087},
      {0xE7190345, 127, 42, 0xC8CE5576},  // 7 steps
      {0xE7190345, 511, 80, 0x05B0281B},  // 9 steps
      {0x12345678, 2, 1, 0x2468ACF0},     // no feedback when the top bit was clear
      {0x12345678, 65536, 56835, 0x2967DE03},
  };
  SimFixture f;
  for (const Case& c : cases) {
    f.sim->mutableState().rng = c.rng;
    EXPECT_EQ(sim::random(f.sim->context(), c.n), c.result) << "rng " << std::hex << c.rng << " n " << std::dec << c.n;
    EXPECT_EQ(f.sim->state().rng, c.after) << "n " << c.n;
  }
}

TEST(AnimationRecord, ShowsEachFrameDelayPlusOneStepsAndLoops) {
  SimFixture f;
  // delay 1, loop index 1, frames 10 11 12, end mark
  sim_test::putWords(*f.rom, 0x050000, {1, 1, 10, 11, 12, 0xFFFF});
  std::vector<std::uint8_t> block(12, 0);
  block[10] = block[11] = 0xFF;  // second record: timer 0, index FFFF
  const std::int64_t expected[] = {10, 10, 11, 11, 12, 12, 11, 11, 12, 12, 11};
  for (std::int64_t frame : expected) EXPECT_EQ(sim::stepAnimation(f.sim->context(), block, 6, 0x050000), frame);
  EXPECT_TRUE(std::all_of(block.begin(), block.begin() + 6, [](auto b) { return b == 0; }));
  EXPECT_EQ(f.rom->missingAddress(), 0u);
}

TEST(AnimationRecord, LoopPointOnAnEndMarkStops) {
  SimFixture f;
  sim_test::putWords(*f.rom, 0x050000, {0, 2, 10, 0xFFFF, 0xFFFF});  // loop index 2 is the end mark
  std::vector<std::uint8_t> block = {0, 0, 0, 0, 0xFF, 0xFF};
  EXPECT_EQ(sim::stepAnimation(f.sim->context(), block, 0, 0x050000), 10);
  try {
    sim::stepAnimation(f.sim->context(), block, 0, 0x050000);
    ADD_FAILURE() << "no stop";
  } catch (const sim::Stop& e) {
    EXPECT_STREQ(e.what(), "$009BC4 never ends: a sequence restarts on FFFFh");
    EXPECT_EQ(f.sim->stopMessage(), e.what());
  }
}

TEST(AnimationRecord, ProgramSequenceRestartsOutsideTheTable) {
  SimFixture f;
  const std::vector<std::uint16_t> seq = {0, 0, 5, 6};  // no end mark: running off the end restarts
  std::vector<std::uint8_t> block = {0, 0, 0, 0, 0xFF, 0xFF};
  const std::int64_t expected[] = {5, 6, 5, 6};
  for (std::int64_t frame : expected) EXPECT_EQ(sim::stepProgramSequence(f.sim->context(), block, 0, seq), frame);
}

TEST(SpriteCalls, RunawayGuardAllows20000CallsInAStep) {
  struct Case {
    int calls;
    bool stops;
  };
  for (const Case c : {Case{20000, false}, Case{20001, true}}) {
    SimFixture f;
    bool stopped = false;
    try {
      for (int i = 0; i < c.calls; ++i) sim::addSprite(f.sim->context(), 1, 2, 3, 4, 0x00ABCD);
    } catch (const sim::Stop&) {
      stopped = true;
    }
    EXPECT_EQ(stopped, c.stops) << c.calls;
    EXPECT_EQ(f.sim->stopMessage(), c.stops ? "a runaway drawing loop at $00ABCD" : "") << c.calls;
  }
}

TEST(SpriteCalls, BeginFrameKeepsThePreviousFrame) {
  SimFixture f;
  sim::addSprite(f.sim->context(), 1, 1, 1, 0, 1);
  sim::beginFrame(f.sim->context());
  sim::addSprite(f.sim->context(), 2, 2, 2, 0, 2);
  ASSERT_EQ(f.sim->previousSprites().size(), 1u);
  EXPECT_EQ(f.sim->previousSprites()[0].x, 1u);
  ASSERT_EQ(f.sim->frameSprites().size(), 1u);
  EXPECT_EQ(f.sim->frameSprites()[0].x, 2u);
  EXPECT_EQ(f.sim->stepSprites().size(), 2u);
}

TEST(SubRam, WordsAreBigEndianAndSignedAtTheirConsoleAddresses) {
  SimFixture f;
  sim::setSubRamWord(f.sim->context(), 0xFF90FE, -2);
  EXPECT_EQ(f.sim->state().sub_ram[0xFF90FE - 0xFF90BA], 0xFF);
  EXPECT_EQ(f.sim->state().sub_ram[0xFF90FF - 0xFF90BA], 0xFE);
  EXPECT_EQ(sim::subRamWord(f.sim->context(), 0xFF90FE), -2);
  sim::setSubRamByte(f.sim->context(), 0xFF9E6B, 7);  // last byte of the range
  EXPECT_EQ(f.sim->state().sub_ram.back(), 7);
  EXPECT_EQ(sim::subRamByte(f.sim->context(), 0xFF9E6B), 7);
  // Outside the range nothing is read or written.
  sim::setSubRamByte(f.sim->context(), 0xFF9E6C, 9);
  sim::setSubRamWord(f.sim->context(), 0xFF9E6B, 0x1234);
  EXPECT_EQ(sim::subRamByte(f.sim->context(), 0xFF90B9), 0);
  EXPECT_EQ(f.sim->state().sub_ram.back(), 7);
}

}  // namespace
