#include <gtest/gtest.h>

#include <algorithm>
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
  struct Case {
    std::uint8_t delay;
    std::int64_t cost;
  };
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
    for (const auto& w : rig.writes)
      if (w.port == 1) data.push_back(w);
    ASSERT_EQ(data.size(), 4u) << int(c.delay);
    for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(data[i].value, static_cast<std::uint8_t>(0x10 * i - 0x80));
    for (std::size_t i = 1; i < 4; ++i) EXPECT_EQ(data[i].time - data[i - 1].time, c.cost) << int(c.delay);
    EXPECT_EQ(rig.z80.peek(0x1FFE), 0);
    EXPECT_EQ(rig.z80.peek(0x00AE), 0);  // nothing left to play
  }
}

// A sample asked for while the main loop idles: from the pass that sees the request, the T-states of
// every instruction on the way (the start-sample routine copying the table entry, then the first pass
// that feeds the DAC) put the DAC's register select and its first byte at fixed times.
TEST(Z80ProgramTest, ASampleStartsAFixedTimeAfterThePassThatSeesIt) {
  ProgramRig rig;
  rig.z80.runUntil(500);
  while (rig.z80.pc() != 0x0020) rig.z80.step();
  const std::int64_t pass = rig.z80.clock();
  // Sample 2 of the table: three bytes at 0x0310.
  const std::uint8_t table[] = {0x00, 0x03, 1, 0, 0x10, 0x03, 3, 0};
  for (std::uint16_t i = 0; i < 8; ++i) rig.z80.poke(0x02A0 + i, table[i]);
  for (std::uint16_t i = 0; i < 3; ++i) rig.z80.poke(0x0310 + i, static_cast<std::uint8_t>(0x90 + i));
  rig.z80.poke(0x1FFF, 1);
  rig.z80.poke(0x1FFE, 2);
  rig.writes.clear();
  rig.z80.runUntil(pass + 1000);
  ASSERT_GE(rig.writes.size(), 2u);
  // LD A,(nn) 13, AND A 4, JR Z taken 12, LD A,(nn) 13, AND A 4, JR Z not taken 7, CALL 17;
  // the routine: SUB n 7, ADD A,A 4 + 4, LD IX,nn 14, LD B,n 7, LD C,A 4, ADD IX,BC 15,
  // 4 x (LD A,(IX+d) 19 + LD (nn),A 13), XOR A 4, LD (nn),A 13, RET 10;
  // then LD BC,(nn) 20, LD A,B 4, OR C 4, JR Z not taken 7, DEC BC 6, LD (nn),BC 20, LD IX,(nn) 20,
  // LD A,n 7 and LD (0x4000),A 13 select the DAC register.
  const std::int64_t select = 13 + 4 + 12 + 13 + 4 + 7 + 17 +
                              (7 + 4 + 4 + 14 + 7 + 4 + 15 + 4 * (19 + 13) + 4 + 13 + 10) +
                              (20 + 4 + 4 + 7 + 6 + 20 + 20 + 7 + 13);
  EXPECT_EQ(std::make_tuple(rig.writes[0].port, int(rig.writes[0].value), rig.writes[0].time - pass),
            std::make_tuple(0, 0x2A, select));
  // LD A,(IX+0) 19, INC IX 10, LD (nn),IX 20, SUB n 7 and LD (0x4001),A 13 write the first byte.
  EXPECT_EQ(std::make_tuple(rig.writes[1].port, int(rig.writes[1].value), rig.writes[1].time - pass),
            std::make_tuple(1, 0x90 - 0x80, select + 19 + 10 + 20 + 7 + 13));
  EXPECT_EQ(rig.z80.peek(0x1FFE), 0);  // the request is taken
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

// The interpreter's shortcuts (busy-wait passes and pure idle passes taken in one go) against plain
// single steps: the same program, the same pokes at the same moments, runs cut at many lengths (a
// sound frame, a chip sample, odd ones) must give the same YM writes at the same times and leave the
// Z80 in the same state.
TEST(Z80ProgramTest, RunsInSlicesMatchSingleSteps) {
  struct Rig {
    std::vector<YmWrite> writes;
    std::vector<std::int64_t> starts;  // clock() as the hook sees it
    Z80 z80{[this](int port, std::uint8_t value, std::int64_t time) {
      writes.push_back({port, value, time});
      starts.push_back(z80.clock());
    }};
    Rig() {
      const auto program = z80ProgramImage();
      for (std::size_t i = 0; i < program.size(); ++i) z80.poke(static_cast<std::uint16_t>(i), program[i]);
      z80.poke(0x00B0, 0xFF);
      // sample 1: 300 bytes at 0x0400, sample 2: 40 bytes at 0x0800
      const std::uint8_t table[] = {0x00, 0x04, 0x2C, 0x01, 0x00, 0x08, 0x28, 0x00};
      for (std::uint16_t i = 0; i < 8; ++i) z80.poke(0x02A0 + i, table[i]);
      for (std::uint16_t i = 0; i < 300; ++i) z80.poke(0x0400 + i, static_cast<std::uint8_t>(i * 7));
      z80.reset();
    }
  };
  struct Event {
    std::int64_t at;
    std::vector<std::pair<std::uint16_t, std::uint8_t>> pokes;
  };
  const std::vector<Event> events = {
      {3000, {}},
      {9000, {{0x1FFF, 9}, {0x1FFE, 1}}},
      {20000, {{0x1D01, 0}, {0x1D02, 0x28}, {0x1D03, 0xF0}, {0x1D04, 0xFF}, {0x1D00, 1}}},
      {90000, {{0x1FFF, 0}, {0x1FFE, 2}}},
      {140000, {{0x1FFF, 1}, {0x1FFE, 2}}},
      {150000, {{0x1FFF, 200}, {0x1FFE, 1}}},
      {260000, {}},
  };
  for (const std::int64_t slice :
       {std::int64_t{71364}, std::int64_t{67}, std::int64_t{1}, std::int64_t{997}, std::int64_t{23}}) {
    Rig stepped, sliced;
    std::int64_t t = 0;
    for (const Event& e : events) {
      while (t < e.at) {
        t = std::min(e.at, t + slice);
        while (stepped.z80.running() && stepped.z80.clock() < t) stepped.z80.step();
        sliced.z80.runUntil(t);
        ASSERT_EQ(sliced.z80.clock(), stepped.z80.clock()) << "slice " << slice << " to " << t;
        ASSERT_EQ(sliced.z80.pc(), stepped.z80.pc()) << "slice " << slice << " to " << t;
        ASSERT_EQ(sliced.z80.a(), stepped.z80.a()) << "slice " << slice << " to " << t;
        ASSERT_EQ(sliced.z80.zero(), stepped.z80.zero()) << "slice " << slice << " to " << t;
      }
      for (const auto& [address, value] : e.pokes) {
        stepped.z80.poke(address, value);
        sliced.z80.poke(address, value);
      }
    }
    ASSERT_EQ(sliced.writes.size(), stepped.writes.size()) << "slice " << slice;
    EXPECT_GT(stepped.writes.size(), 500u);
    for (std::size_t i = 0; i < stepped.writes.size(); ++i) {
      const YmWrite& a = sliced.writes[i];
      const YmWrite& b = stepped.writes[i];
      ASSERT_EQ(std::make_tuple(a.port, a.value, a.time), std::make_tuple(b.port, b.value, b.time))
          << "slice " << slice << ", write " << i;
      ASSERT_EQ(sliced.starts[i], stepped.starts[i]);
    }
  }
  // The hook sees the writing instruction's start: LD (0x4000),A and LD (0x4001),A take 13 T-states.
  Rig rig;
  rig.z80.runUntil(1000);
  rig.z80.poke(0x1FFF, 3);
  rig.z80.poke(0x1FFE, 2);
  rig.z80.runUntil(3000);
  ASSERT_FALSE(rig.writes.empty());
  for (std::size_t i = 0; i < rig.writes.size(); ++i) EXPECT_EQ(rig.writes[i].time - rig.starts[i], 13);
}

TEST(Z80Test, LeavingTheCodeStopsTheZ80AndTheClockFollowsTheTarget) {
  struct Case {
    std::vector<std::uint8_t> code;
    std::uint16_t stopPc;
  };
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
