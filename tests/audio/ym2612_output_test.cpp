// Output-level behaviour of the YM2612 model: the idle level and the
// discontinuity, the DAC, panning, the sine voice's waveform and pitch, and
// reference sequences for FM, LFO and SSG-EG voices.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "ym2612_fixture.h"

using audio::Ym2612;
using namespace ym2612_test;

TEST(Ym2612Output, SilenceSitsAtTheLadderOffsetEvenWithEveryPanOff) {
  Ym2612 chip;
  for (int i = 0; i < 100; ++i) EXPECT_EQ(sample(chip), std::make_pair(504, 504));
  for (std::uint32_t c = 0; c < 3; ++c) {
    poke(chip, 0xB4 + c, 0);
    poke(chip, 0x1B4 + c, 0);
  }
  EXPECT_EQ(sample(chip), std::make_pair(504, 504));
}

TEST(Ym2612Output, DacLevelsPanningAndDiscontinuity) {
  struct Case {
    const char* what;
    std::uint8_t data;
    std::uint8_t lowBit;  // value for 0x2C
    std::uint8_t pan6;    // value for bank-1 0xB6
    bool enabled;
    std::int32_t left, right;
  };
  const Case cases[] = {
      {"centre", 0x80, 0, 0xC0, true, 504, 504},
      {"top", 0xFF, 0, 0xC0, true, 5839, 5839},
      {"bottom", 0x00, 0, 0xC0, true, -5020, -5020},
      {"one below centre jumps by the ladder step", 0x7F, 0, 0xC0, true, 315, 315},
      {"one above centre", 0x81, 0, 0xC0, true, 546, 546},
      {"low bit above centre", 0x80, 0x08, 0xC0, true, 525, 525},
      {"low bit below centre", 0x7F, 0x08, 0xC0, true, 336, 336},
      {"left only", 0xFF, 0, 0x80, true, 5839, 504},
      {"both pans off", 0xFF, 0, 0x00, true, 504, 504},
      {"DAC disabled", 0xFF, 0, 0xC0, false, 504, 504},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Ym2612 chip;
    poke(chip, 0x2B, c.enabled ? 0x80 : 0x00);
    poke(chip, 0x2C, c.lowBit);
    poke(chip, 0x1B6, c.pan6);
    poke(chip, 0x2A, c.data);
    EXPECT_EQ(sample(chip), std::make_pair(c.left, c.right));
  }
}

TEST(Ym2612Output, DacRegistersOnlyAnswerInBankZero) {
  Ym2612 chip;
  poke(chip, 0x2B, 0x80);
  poke(chip, 0x12A, 0xFF);  // bank 1 copy: a plain register
  EXPECT_EQ(sample(chip).first, 504);
  // data port 1 is ignored while the address points into bank 1
  chip.write(2, 0x2A);
  chip.write(1, 0xFF);
  EXPECT_EQ(sample(chip).first, 504);
}

TEST(Ym2612Output, ResetKeepsTheDacRunning) {
  Ym2612 chip;
  poke(chip, 0x2B, 0x80);
  poke(chip, 0x2A, 0xFF);
  chip.reset();
  EXPECT_EQ(sample(chip).first, 5839);
}

TEST(Ym2612Output, ResetSilencesARingingNoteAndRestoresPans) {
  Ym2612 chip;
  startSine(chip);
  poke(chip, 0xB4, 0x00);
  left(chip, 50);
  chip.reset();
  EXPECT_EQ(sample(chip), std::make_pair(504, 504));
  // the voice comes back only after it is written again, with both pans on
  setSineVoice(chip);
  poke(chip, 0x28, 0x80);
  EXPECT_EQ(sample(chip), std::make_pair(777, 777));
}

TEST(Ym2612Output, DacReplacesChannelSixWhichKeepsRunning) {
  Ym2612 chip;
  // a sine on channel 6 (bank 1, channel index 2)
  poke(chip, 0x1B2, 0x07);
  for (std::uint32_t s = 0; s < 16; s += 4) {
    poke(chip, 0x132 + s, 0x01);
    poke(chip, 0x142 + s, s == 12 ? 0 : 0x7F);
    poke(chip, 0x152 + s, 0x1F);
    poke(chip, 0x182 + s, 0x0F);
  }
  poke(chip, 0x1A6, 0x24);
  poke(chip, 0x1A2, 0x00);
  poke(chip, 0x28, 0x86);
  EXPECT_EQ(left(chip, 1)[0], 777);
  poke(chip, 0x2B, 0x80);
  const auto withDac = left(chip, 10);
  EXPECT_TRUE(std::all_of(withDac.begin(), withDac.end(), [](int v) { return v == 504; }));
  poke(chip, 0x2B, 0x00);
  // phase went on advancing underneath: 12th sample after key-on
  const auto after = left(chip, 1);
  EXPECT_NE(after[0], 777);
  EXPECT_NE(after[0], 504);
}

TEST(Ym2612Output, SineVoiceWaveform) {
  Ym2612 chip;
  startSine(chip);
  const auto out = left(chip, 129 + 128);
  const std::vector<std::int32_t> first = {777, 1029, 1302, 1554, 1806, 2058, 2310, 2562, 2814, 3024};
  EXPECT_EQ(std::vector<std::int32_t>(out.begin(), out.begin() + 10), first);
  EXPECT_EQ(out[125], -168);
  EXPECT_EQ(out[126], 105);
  EXPECT_EQ(out[127], 504);
  EXPECT_EQ(out[128], 777);
  for (std::size_t i = 128; i < out.size(); ++i) ASSERT_EQ(out[i], out[i - 128]) << i;
  EXPECT_EQ(*std::max_element(out.begin(), out.end()), 5860);
  EXPECT_EQ(*std::min_element(out.begin(), out.end()), -5020);
}

TEST(Ym2612Output, SinePitchFromZeroCrossings) {
  // block 4, F-number 1093: 1093 * 16 * 52781 / 2^21 = 440.14 Hz
  Ym2612 chip;
  startSine(chip);
  poke(chip, 0xA4, 0x24);
  poke(chip, 0xA0, 0x45);
  const auto out = left(chip, Ym2612::kSampleRate);
  int rising = 0;
  for (std::size_t i = 1; i < out.size(); ++i) {
    if (out[i - 1] < 504 && out[i] >= 504) ++rising;
  }
  EXPECT_NEAR(rising, 440, 1);
}

TEST(Ym2612Output, PanningRoutesEachSide) {
  struct Case {
    std::uint8_t pan;
    bool leftMoves, rightMoves;
  };
  for (const Case c : {Case{0x80, true, false}, Case{0x40, false, true}, Case{0x00, false, false}}) {
    SCOPED_TRACE(static_cast<int>(c.pan));
    Ym2612 chip;
    startSine(chip);
    poke(chip, 0xB4, c.pan);
    const auto s = sample(chip);
    EXPECT_EQ(s.first != 504, c.leftMoves);
    EXPECT_EQ(s.second != 504, c.rightMoves);
  }
}

TEST(Ym2612Output, LevelsClipAndAmplitudeModulation) {
  struct Case {
    const char* what;
    std::vector<std::pair<std::uint32_t, std::uint8_t>> writes;
    std::uint8_t key;
    std::int32_t peak, trough;
  };
  const Case cases[] = {
      {"TL 8 is -6 dB", {{0x4C, 0x08}}, 0x80, 3171, -2331},
      {"four carriers clip at +256 / -257", {{0x40, 0}, {0x44, 0}, {0x48, 0}}, 0xF0, 5881, -5041},
      {"SL 4 holds A at 128", {{0x6C, 31}, {0x8C, 0x4F}}, 0x80, 1827, -987},
      {"SL 15 settles beyond hearing", {{0x6C, 31}, {0x8C, 0xFF}}, 0x80, 504, 504},
      {"disabled LFO still attenuates AM operators, AMS 1", {{0x6C, 0x80}, {0xB4, 0xD0}}, 0x80, 5062, 0},
      {"AMS 2", {{0x6C, 0x80}, {0xB4, 0xE0}}, 0x80, 3213, 0},
      {"AMS 3", {{0x6C, 0x80}, {0xB4, 0xF0}}, 0x80, 1869, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Ym2612 chip;
    setSineVoice(chip);
    for (const auto& [reg, value] : c.writes) poke(chip, reg, value);
    poke(chip, 0x28, c.key);
    left(chip, 2000);  // let the envelope settle
    const auto out = left(chip, 512);
    EXPECT_EQ(*std::max_element(out.begin(), out.end()), c.peak);
    if (c.trough != 0) {
      EXPECT_EQ(*std::min_element(out.begin(), out.end()), c.trough);
    }
  }
}

namespace {

struct Voice {
  std::vector<std::pair<std::uint32_t, std::uint8_t>> writes;
};

// Writes a register for all four operators of channel 1, listed O1, O2, O3, O4.
void perOperator(Voice& v, std::uint32_t base, std::array<std::uint8_t, 4> values) {
  const std::uint32_t offset[4] = {0, 8, 4, 12};
  for (int i = 0; i < 4; ++i) v.writes.push_back({base + offset[i], values[i]});
}

std::vector<std::int32_t> play(const Voice& v, std::size_t n) {
  Ym2612 chip;
  for (const auto& [reg, value] : v.writes) poke(chip, reg, value);
  poke(chip, 0xA4, 0x24);
  poke(chip, 0xA0, 0x45);
  poke(chip, 0x28, 0xF0);
  std::vector<std::int32_t> buf(2 * n);
  chip.generate(buf.data(), n);
  std::vector<std::int32_t> l(n);
  for (std::size_t i = 0; i < n; ++i) {
    l[i] = buf[2 * i];
    EXPECT_EQ(buf[2 * i], buf[2 * i + 1]) << i;
  }
  return l;
}

void expectAt(const std::vector<std::int32_t>& out, std::vector<std::pair<std::size_t, std::int32_t>> at) {
  for (const auto& [n, v] : at) EXPECT_EQ(out[n - 1], v) << "sample " << n;
}

}  // namespace

TEST(Ym2612Output, ReferenceFmVoiceWithFeedback) {
  Voice v;
  v.writes = {{0xB0, 0x30}, {0xB4, 0xC0}};
  perOperator(v, 0x30, {0x01, 0x02, 0x11, 0x01});
  perOperator(v, 0x40, {0x1C, 0x22, 0x1A, 0x10});
  perOperator(v, 0x50, {0x1F, 0x1F, 0x1F, 0x5F});
  perOperator(v, 0x60, {0x08, 0x08, 0x08, 0x08});
  perOperator(v, 0x70, {0x02, 0x02, 0x02, 0x02});
  perOperator(v, 0x80, {0x36, 0x36, 0x36, 0x36});
  const auto out = play(v, 3000);
  const std::vector<std::int32_t> first = {1554, 1785, 1344, 966,  819,  756,  693,  651,  756,  1029, 1407, 1701,
                                           1827, 1785, 1638, 1449, 1323, 1239, 1239, 1260, 1344, 1449, 1575, 1680};
  EXPECT_EQ(std::vector<std::int32_t>(out.begin(), out.begin() + 24), first);
  expectAt(out, {{100, -441}, {500, 1365}, {1000, -945}, {2000, 1659}, {3000, 1701}});
}

TEST(Ym2612Output, ReferenceLfoVoice) {
  Voice v;
  v.writes = {{0x22, 0x0D}, {0xB0, 0x07}, {0xB4, 0xE7}};
  perOperator(v, 0x30, {1, 1, 1, 1});
  perOperator(v, 0x40, {0x7F, 0x7F, 0x7F, 0x00});
  perOperator(v, 0x50, {0x1F, 0x1F, 0x1F, 0x1F});
  perOperator(v, 0x60, {0, 0, 0, 0x80});
  perOperator(v, 0x80, {0x0F, 0x0F, 0x0F, 0x0F});
  const auto out = play(v, 6000);
  const std::vector<std::int32_t> first = {630,  777,  924,  1071, 1197, 1344, 1470, 1596,
                                           1722, 1848, 1974, 2079, 2205, 2310, 2415, 2499};
  EXPECT_EQ(std::vector<std::int32_t>(out.begin(), out.begin() + 16), first);
  expectAt(out, {{1000, 1092}, {2000, 3885}, {3000, -1701}, {4000, -3591}, {5000, -2793}, {6000, 1155}});
}

TEST(Ym2612Output, ReferenceSsgEgAlternatingVoice) {
  Voice v;
  v.writes = {{0xB0, 0x07}, {0xB4, 0xC0}};
  perOperator(v, 0x30, {1, 1, 1, 1});
  perOperator(v, 0x40, {0x7F, 0x7F, 0x7F, 0x00});
  perOperator(v, 0x50, {0x1F, 0x1F, 0x1F, 0x1F});
  perOperator(v, 0x60, {0, 0, 0, 0x18});
  perOperator(v, 0x80, {0x0F, 0x0F, 0x0F, 0xFF});
  perOperator(v, 0x90, {0, 0, 0, 0x0A});
  const auto out = play(v, 4000);
  const std::vector<std::int32_t> first = {777,  1071, 1260, 1533, 1764, 1953, 2184, 2415,
                                           2457, 2667, 2835, 2919, 3108, 3255, 3192, 3318};
  EXPECT_EQ(std::vector<std::int32_t>(out.begin(), out.begin() + 16), first);
  expectAt(out,
           {{100, -189}, {200, 273}, {300, 504}, {400, 903}, {500, 3969}, {1000, 2961}, {2000, -903}, {4000, 777}});
}
