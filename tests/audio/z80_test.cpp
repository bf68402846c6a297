#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "audio/driver/z80_program.h"
#include "audio/z80/z80.h"

namespace audio {
namespace {

struct YmWrite {
  int port;
  std::uint8_t value;
  std::int64_t time;
};

// A Z80 with the driver's program, an empty start-up list and YM writes recorded.
struct ProgramRig {
  std::vector<YmWrite> writes;
  Z80 z80{[this](int port, std::uint8_t value, std::int64_t time) { writes.push_back({port, value, time}); }};
  ProgramRig() {
    const auto program = z80ProgramImage();
    for (std::size_t i = 0; i < program.size(); ++i) z80.poke(static_cast<std::uint16_t>(i), program[i]);
    z80.poke(0x00B0, 0xFF);
    z80.reset();
  }
};

TEST(Z80ProgramTest, TheListingIsContiguousAndFillsTheCodeArea) {
  const auto& listing = z80ProgramListing();
  std::uint16_t next = 0;
  for (const auto& instruction : listing) {
    EXPECT_EQ(instruction.address, next) << instruction.text;
    next = static_cast<std::uint16_t>(next + instruction.code.size());
  }
  EXPECT_EQ(next, Z80::kCodeEnd);
  const auto image = z80ProgramImage();
  ASSERT_EQ(image.size(), Z80::kCodeEnd);
  // Spot checks of encodings whose relative jumps go backwards.
  EXPECT_EQ(image[0x40], 0x28);
  EXPECT_EQ(image[0x41], 0xDE);
  EXPECT_EQ(image[0x65], 0xBA);
  EXPECT_EQ(image[0x80], 0xE7);
}

TEST(Z80ProgramTest, StartUpRunsTheListAndWaitsInTheMainLoopAtNinetyEightTStatesAPass) {
  ProgramRig rig;
  rig.z80.poke(0x00B0, 0x00);
  rig.z80.poke(0x00B1, 0x2B);
  rig.z80.poke(0x00B2, 0x80);
  rig.z80.poke(0x00B3, 0xFF);
  rig.z80.runUntil(1000);
  ASSERT_EQ(rig.writes.size(), 2u);
  EXPECT_EQ(std::make_tuple(rig.writes[0].port, rig.writes[0].value), std::make_tuple(0, 0x2B));
  EXPECT_EQ(std::make_tuple(rig.writes[1].port, rig.writes[1].value), std::make_tuple(1, 0x80));
  // 4+8+10+4+13*6+14+17 to reach the routine, then 7+19+7+7+4+10+19+10+7 to the first YM write.
  EXPECT_EQ(rig.writes[0].time, 135 + 90);
  EXPECT_EQ(rig.writes[1].time, 135 + 90 + 6 + 19 + 10 + 7);

  // Idle passes of the main loop.
  std::vector<std::int64_t> arrivals;
  while (arrivals.size() < 3) {
    rig.z80.step();
    if (rig.z80.pc() == 0x0020) arrivals.push_back(rig.z80.clock());
  }
  EXPECT_EQ(arrivals[1] - arrivals[0], 98);
  EXPECT_EQ(arrivals[2] - arrivals[1], 98);
}

TEST(Z80ProgramTest, ASampleByteCostsTwoHundredFortyEightPlusSixteenTStatesPerDelay) {
  struct Case { std::uint8_t delay; std::int64_t cost; };
  for (Case c : {Case{9, 392}, Case{1, 264}, Case{0, 248 + 16 * 256}}) {
    ProgramRig rig;
    rig.z80.runUntil(500);
    // Sample 1: four bytes at 0x0300.
    rig.z80.poke(0x02A0, 0x00);
    rig.z80.poke(0x02A1, 0x03);
    rig.z80.poke(0x02A2, 4);
    rig.z80.poke(0x02A3, 0);
    for (std::uint16_t i = 0; i < 4; ++i) rig.z80.poke(0x0300 + i, static_cast<std::uint8_t>(0x10 * i));
    rig.z80.poke(0x1FFF, c.delay);
    rig.z80.poke(0x1FFE, 1);
    rig.writes.clear();
    rig.z80.runUntil(500 + 6 * c.cost);
    std::vector<YmWrite> data;
    for (const auto& w : rig.writes) if (w.port == 1) data.push_back(w);
    ASSERT_EQ(data.size(), 4u) << int(c.delay);
    for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(data[i].value, static_cast<std::uint8_t>(0x10 * i - 0x80));
    for (std::size_t i = 1; i < 4; ++i) EXPECT_EQ(data[i].time - data[i - 1].time, c.cost) << int(c.delay);
    EXPECT_EQ(rig.z80.peek(0x1FFE), 0);
    EXPECT_EQ(rig.z80.peek(0x00AE), 0);  // nothing left to play
  }
}

TEST(Z80ProgramTest, TheFlaggedWriteListReachesThePortsInOrder) {
  ProgramRig rig;
  rig.z80.runUntil(500);
  const std::vector<std::uint8_t> list = {0, 0x22, 0x08, 2, 0xB4, 0xC0, 0xFF};
  for (std::size_t i = 0; i < list.size(); ++i) rig.z80.poke(static_cast<std::uint16_t>(0x1D01 + i), list[i]);
  rig.z80.poke(0x1D00, 0xFF);
  rig.z80.runUntil(1500);
  ASSERT_EQ(rig.writes.size(), 4u);
  const std::vector<std::pair<int, int>> expected = {{0, 0x22}, {1, 0x08}, {2, 0xB4}, {3, 0xC0}};
  for (std::size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(std::make_pair(rig.writes[i].port, int(rig.writes[i].value)), expected[i]);
  }
  EXPECT_EQ(rig.z80.peek(0x1D00), 0);
}

TEST(Z80Test, LeavingTheCodeStopsTheZ80AndTheClockFollowsTheTarget) {
  struct Case { std::vector<std::uint8_t> code; std::uint16_t stopPc; };
  // An opcode the program does not use; a call past the end of the code.
  for (const Case& c : {Case{{0xAF, 0xC3, 0x00, 0x00}, 0x0001}, Case{{0xCD, 0x00, 0x01}, 0x0100}}) {
    Z80 z80;
    for (std::size_t i = 0; i < c.code.size(); ++i) z80.poke(static_cast<std::uint16_t>(i), c.code[i]);
    z80.reset();
    z80.runUntil(1000);
    EXPECT_FALSE(z80.running());
    EXPECT_EQ(z80.pc(), c.stopPc);
    EXPECT_EQ(z80.clock(), 1000);
    z80.reset();
    EXPECT_TRUE(z80.running());
    EXPECT_EQ(z80.clock(), 1000);
  }
}

TEST(Z80Test, StoresAboveTheYmWindowAreDroppedAndBelowItGoToMemory) {
  std::vector<YmWrite> writes;
  Z80 z80([&](int port, std::uint8_t value, std::int64_t time) { writes.push_back({port, value, time}); });
  // LD A,0x55; LD (0x6000),A; LD (0x5FFE),A; LD (0x1234),A
  const std::vector<std::uint8_t> code = {0x3E, 0x55, 0x32, 0x00, 0x60, 0x32, 0xFE, 0x5F, 0x32, 0x34, 0x12};
  for (std::size_t i = 0; i < code.size(); ++i) z80.poke(static_cast<std::uint16_t>(i), code[i]);
  z80.reset();
  for (int i = 0; i < 4; ++i) z80.step();
  ASSERT_EQ(writes.size(), 1u);
  EXPECT_EQ(writes[0].port, 2);
  EXPECT_EQ(writes[0].time, 7 + 13 + 13);
  EXPECT_EQ(z80.peek(0x1234), 0x55);
  EXPECT_EQ(z80.peek(0x0000), 0x3E);  // 0x6000 did not wrap onto the code
}

}  // namespace
}  // namespace audio
