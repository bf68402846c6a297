// Register-level behaviour of the YM2612 model: phase steps with detune and
// multiple, key codes, the frequency latch and channel-3 mode, key timing,
// envelope timings, LFO periods and the timers.

#include <gtest/gtest.h>

#include "ym2612_fixture.h"

using audio::Ym2612;
using audio::ym2612::EnvelopeState;
using namespace ym2612_test;

namespace {

// Sets channel 1's block/F-number through the latch.
void setFrequency(Ym2612& chip, std::uint32_t block, std::uint32_t fnum) {
  poke(chip, 0xA4, static_cast<std::uint8_t>((block << 3) | (fnum >> 8)));
  poke(chip, 0xA0, static_cast<std::uint8_t>(fnum & 0xFF));
}

}  // namespace

TEST(Ym2612Control, PhaseStepWithDetuneAndMultiple) {
  struct Case {
    std::uint32_t block, fnum;
    std::uint8_t reg30;  // DT << 4 | MUL
    std::uint32_t step;
  };
  const Case cases[] = {
      {4, 1024, 0x01, 8192},  {4, 1024, 0x11, 8195},    {4, 1024, 0x21, 8198}, {4, 1024, 0x31, 8201},
      {4, 1024, 0x51, 8189},  {4, 1024, 0x61, 8186},    {4, 1024, 0x71, 8183}, {4, 1024, 0x00, 4096},
      {4, 1024, 0x03, 24576}, {4, 1024, 0x0F, 122880},  {0, 1, 0x71, 131070},  // negative detune on a tiny step wraps
                                                                               // at 17 bits
      {0, 1, 0x51, 0},        {7, 2047, 0x3F, 1965450},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "block " << c.block << " F " << c.fnum << " reg " << int(c.reg30));
    Ym2612 chip;
    setSineVoice(chip);
    poke(chip, 0x3C, c.reg30);
    setFrequency(chip, c.block, c.fnum);
    sample(chip);
    EXPECT_EQ(chip.inspect(0, 3).step, c.step);
  }
}

TEST(Ym2612Control, KeyCodes) {
  struct Case {
    std::uint32_t block, fnum, kc;
  };
  for (const Case c : {Case{4, 0x380, 17}, Case{4, 0x400, 18}, Case{4, 0x480, 19}, Case{7, 0x7FF, 31}, Case{0, 1, 0},
                       Case{3, 0x300, 12}}) {
    Ym2612 chip;
    setFrequency(chip, c.block, c.fnum);
    sample(chip);
    EXPECT_EQ(chip.inspect(0, 0).keyCode, c.kc) << c.block << "/" << c.fnum;
  }
}

TEST(Ym2612Control, FrequencyLatch) {
  Ym2612 chip;
  setSineVoice(chip);
  sample(chip);
  ASSERT_EQ(chip.inspect(0, 3).step, 8192u);

  // a low byte on its own is dropped
  poke(chip, 0xA0, 0x80);
  sample(chip);
  EXPECT_EQ(chip.inspect(0, 3).step, 8192u);

  // the high byte is shared by the bank's channels: A5 then A0 sets channel 1
  poke(chip, 0xA5, 0x2C);
  poke(chip, 0xA0, 0x00);
  sample(chip);
  EXPECT_EQ(chip.inspect(0, 3).step, 16384u);

  // the latest high byte wins, and nothing changes until the low byte
  poke(chip, 0xA4, 0x24);
  poke(chip, 0xA6, 0x1C);
  sample(chip);
  EXPECT_EQ(chip.inspect(0, 3).step, 16384u);
  poke(chip, 0xA0, 0x00);
  sample(chip);
  EXPECT_EQ(chip.inspect(0, 3).step, 4096u);  // block 3, F 1024
}

TEST(Ym2612Control, ChannelThreeSpecialMode) {
  Ym2612 chip;
  auto writeBoth = [&](std::uint32_t bankOffset) {
    for (std::uint32_t s = 0; s < 16; s += 4) poke(chip, bankOffset + 0x32 + s, 0x01);
    poke(chip, bankOffset + 0xA6, 0x24);
    poke(chip, bankOffset + 0xA2, 0x00);
    poke(chip, bankOffset + 0xAD, 0x22);
    poke(chip, bankOffset + 0xA9, 0x00);
    poke(chip, bankOffset + 0xAE, 0x23);
    poke(chip, bankOffset + 0xAA, 0x00);
    poke(chip, bankOffset + 0xAC, 0x21);
    poke(chip, bankOffset + 0xA8, 0x00);
  };
  writeBoth(0);
  writeBoth(0x100);
  sample(chip);
  for (int op = 0; op < 4; ++op) EXPECT_EQ(chip.inspect(2, op).step, 8192u) << "off, op " << op;

  poke(chip, 0x27, 0x40);
  sample(chip);
  const std::uint32_t expected[4] = {4096, 6144, 2048, 8192};
  for (int op = 0; op < 4; ++op) {
    EXPECT_EQ(chip.inspect(2, op).step, expected[op]) << "channel 3, op " << op;
    EXPECT_EQ(chip.inspect(5, op).step, 8192u) << "channel 6, op " << op;
  }
}

TEST(Ym2612Control, KeyEdgesAreSeenOncePerSample) {
  // off and on between the same two samples: the waveform just continues
  {
    Ym2612 chip;
    startSine(chip);
    const auto before = left(chip, 5);
    poke(chip, 0x28, 0x00);
    poke(chip, 0x28, 0x80);
    const auto after = left(chip, 1);
    EXPECT_EQ(before[0], 777);
    EXPECT_EQ(after[0], 2058);  // the 6th sample of the cycle
    EXPECT_NE(chip.inspect(0, 3).state, EnvelopeState::Release);
  }
  // with a sample between them the note restarts from phase 0
  {
    Ym2612 chip;
    startSine(chip);
    left(chip, 5);
    poke(chip, 0x28, 0x00);
    sample(chip);
    EXPECT_EQ(chip.inspect(0, 3).state, EnvelopeState::Release);
    poke(chip, 0x28, 0x80);
    EXPECT_EQ(left(chip, 1)[0], 777);
  }
  // channel numbers 3 and 7 in 0x28 select nothing
  {
    Ym2612 chip;
    setSineVoice(chip);
    poke(chip, 0x28, 0xF3);
    poke(chip, 0x28, 0xF7);
    sample(chip);
    for (int ch = 0; ch < 6; ++ch) EXPECT_EQ(chip.inspect(ch, 3).state, EnvelopeState::Release);
  }
}

TEST(Ym2612Control, AttackTimings) {
  // AR 31: full level on the very first sample
  {
    Ym2612 chip;
    startSine(chip);
    sample(chip);
    EXPECT_EQ(chip.inspect(0, 3).attenuation, 0);
  }
  // AR 20 at key code 18 (rate 42) first reaches 0 on sample 580
  {
    Ym2612 chip;
    chip.reset();
    setSineVoice(chip);
    poke(chip, 0x5C, 20);
    sample(chip);
    sample(chip);
    poke(chip, 0x28, 0x80);
    int reached = 0;
    for (int n = 1; n <= 700 && reached == 0; ++n) {
      sample(chip);
      if (chip.inspect(0, 3).attenuation == 0) reached = n;
    }
    EXPECT_EQ(reached, 580);
  }
  // rate 60 (AR 29 + 2 from key scaling) adds 8 each tick: the attenuation
  // halves per step on its way to zero
  {
    Ym2612 chip;
    setSineVoice(chip);
    poke(chip, 0x5C, 29);
    poke(chip, 0x28, 0x80);
    std::vector<std::int32_t> seen = {0x3FF};
    for (int n = 0; n < 60; ++n) {
      sample(chip);
      const std::int32_t a = chip.inspect(0, 3).attenuation;
      if (a != seen.back()) seen.push_back(a);
    }
    EXPECT_EQ(seen, (std::vector<std::int32_t>{1023, 511, 255, 127, 63, 31, 15, 7, 3, 1, 0}));
  }
}

TEST(Ym2612Control, DecayToSustainThenRelease) {
  Ym2612 chip;
  startSine(chip);
  poke(chip, 0x6C, 31);
  poke(chip, 0x8C, 0x4F);
  left(chip, 300);
  EXPECT_EQ(chip.inspect(0, 3).attenuation, 128);
  EXPECT_EQ(chip.inspect(0, 3).state, EnvelopeState::Sustain);

  poke(chip, 0x28, 0x00);
  int silentAt = 0, floorAt = 0;
  for (int n = 1; n <= 400 && floorAt == 0; ++n) {
    sample(chip);
    const std::int32_t a = chip.inspect(0, 3).attenuation;
    if (silentAt == 0 && a >= 0x380) silentAt = n;
    if (a == 0x3FF) floorAt = n;
  }
  EXPECT_EQ(silentAt, 286);
  EXPECT_EQ(floorAt, 334);
}

TEST(Ym2612Control, LfoAmPeriods) {
  // An AM-modulated sine whose 128-sample cycle divides the LFO cycle: the
  // output repeats exactly with the LFO's period and not with half of it.
  struct Case {
    std::uint8_t reg22;
    std::size_t period;
  };
  for (const Case c : {Case{0x0F, 640}, Case{0x08, 13824}}) {
    SCOPED_TRACE(c.period);
    Ym2612 chip;
    setSineVoice(chip);
    poke(chip, 0x6C, 0x80);
    poke(chip, 0xB4, 0xF0);
    poke(chip, 0x22, c.reg22);
    poke(chip, 0x28, 0x80);
    left(chip, 200);
    const auto out = left(chip, 2 * c.period);
    bool repeats = true, halfRepeats = true;
    for (std::size_t i = 0; i < c.period; ++i) {
      repeats = repeats && out[i] == out[i + c.period];
      halfRepeats = halfRepeats && out[i] == out[i + c.period / 2];
    }
    EXPECT_TRUE(repeats);
    EXPECT_FALSE(halfRepeats);
  }
}

TEST(Ym2612Control, TimersRaiseFlagsWhenEnabled) {
  Ym2612 chip;
  // timer A = 1000: overflows every 24 samples
  poke(chip, 0x24, 1000 >> 2);
  poke(chip, 0x25, 1000 & 3);
  poke(chip, 0x26, 0xFF);  // timer B: 16 samples
  poke(chip, 0x27, 0x05);  // run and flag A only
  left(chip, 23);
  EXPECT_EQ(chip.read(0), 0);
  sample(chip);
  EXPECT_EQ(chip.read(0), 1);
  poke(chip, 0x27, 0x15);  // clear A's flag, keep it running
  EXPECT_EQ(chip.read(0), 0);
  left(chip, 24);
  EXPECT_EQ(chip.read(0), 1);

  poke(chip, 0x27, 0x3F);  // start B too, clear both flags
  left(chip, 15);
  EXPECT_EQ(chip.read(0) & 2, 0);
  sample(chip);
  EXPECT_EQ(chip.read(0) & 2, 2);

  chip.reset();
  EXPECT_EQ(chip.read(0), 0);
  left(chip, 100);
  EXPECT_EQ(chip.read(0), 0);
}
