#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "audio/driver/z80_program.h"
#include "audio/z80/z80.h"
#include "driver_fixture.h"

namespace audio::testing {
namespace {

constexpr std::uint8_t note(int n, int code) {
  return static_cast<std::uint8_t>(n * 4 + code);
}
const std::vector<std::uint8_t> kLongRest = {0x03, 0x3F, 0xFF};  // a rest of 63 rows

TEST(DriverImageTest, OnlyTheExactSizeIsAccepted) {
  for (std::size_t size : {std::size_t{0}, DriverImage::kSize - 1, DriverImage::kSize + 1}) {
    EXPECT_FALSE(checkDriverImage(std::vector<std::uint8_t>(size))) << size;
  }
  EXPECT_TRUE(checkDriverImage(std::vector<std::uint8_t>(DriverImage::kSize)));
  SoundDriver driver([](std::uint16_t, std::uint8_t) {}, [] {});
  EXPECT_FALSE(driver.setImage(std::vector<std::uint8_t>(DriverImage::kSize - 1)));
  EXPECT_FALSE(driver.hasImage());
}

TEST(DriverImageTest, ReadsByConsoleAddressAndGivesZeroOutside) {
  ImageBuilder b;
  b.put(0x739A0, {0x12}).put(0x79693, {0x34}).word(0x74000, 0xBEEF);
  DriverImage image(b.bytes());
  EXPECT_EQ(image.byte(0x739A0), 0x12);
  EXPECT_EQ(image.byte(0xFF0739A0), 0x12);  // 24-bit addresses
  EXPECT_EQ(image.byte(0x79693), 0x34);
  EXPECT_EQ(image.byte(0x79694), 0);
  EXPECT_EQ(image.byte(0x7399F), 0);
  EXPECT_EQ(image.word(0x74000), 0xBEEF);
  EXPECT_EQ(image.signedWord(0x74000), static_cast<std::int16_t>(0xBEEF));
}

TEST(DriverLoadTest, CopiesTheProgramAndScalesTheSamples) {
  ImageBuilder b;
  b.put(0x74B38, {0xF3, 0xED, 0x46});
  b.put(0x74DEC, {127, 0x80, 0xFF, 100, 0x9C});  // 127, -128, -1, 100, -100
  DriverRig rig(b);
  rig.driver.loadProgram();
  EXPECT_EQ(rig.z80[0], 0xF3);
  EXPECT_EQ(rig.z80[2], 0x46);
  EXPECT_EQ(rig.z80[0x2B4], 88);
  EXPECT_EQ(static_cast<std::int8_t>(rig.z80[0x2B5]), -89);
  EXPECT_EQ(rig.z80[0x2B6], 0);
  EXPECT_EQ(rig.z80[0x2B7], 70);
  EXPECT_EQ(static_cast<std::int8_t>(rig.z80[0x2B8]), -70);
  EXPECT_EQ(rig.writes[0].back(), (std::pair<std::uint16_t, std::uint8_t>{0x1FFE, 0}));
  EXPECT_EQ(rig.resets, 1);
}

// Music 2 (song 1): every channel plays one note per pattern, the sample channel its sample.
ImageBuilder oneNoteSong() {
  ImageBuilder b;
  b.basics();
  const std::vector<std::uint8_t> channel = {0xF1, note(5, 0), 0xFF};
  b.song(1, {0}, {{channel, channel, channel, channel}});
  b.put(0x74530 + 5, {9});  // sample delay of note 5
  return b;
}

TEST(DriverFrameTest, ChannelsStepOnConsecutiveFramesAndTheListGoesOverOnTheFourth) {
  DriverRig rig(oneNoteSong());
  rig.driver.applyRequest(SoundDriver::kMusic, 2);
  rig.runFrame();  // frame 0 takes the request
  EXPECT_EQ(rig.resets, 1);
  EXPECT_EQ(rig.z80[0x1D00], 1);
  for (int f = 1; f <= 4; ++f) {
    rig.runFrame();
    for (int c = 0; c < 4; ++c) {
      EXPECT_EQ(rig.driver.byteAt(30 * c + 17), c < f ? 3 : 0) << "frame " << f << " channel " << c;
    }
    EXPECT_EQ(rig.listHanded(f), f == 4) << f;
  }
  // The sample channel wrote straight into the Z80 on its own frame.
  EXPECT_EQ(rig.z80[0x1FFE], 1);
  EXPECT_EQ(rig.z80[0x1FFF], 9);

  const auto list = rig.listAt(4);
  auto has = [&](std::vector<std::uint8_t> w) { return std::find(list.begin(), list.end(), w) != list.end(); };
  for (std::uint8_t ch = 0; ch < 3; ++ch) {
    EXPECT_TRUE(has({0, 0x28, ch})) << int(ch);
    EXPECT_TRUE(has({0, 0x28, static_cast<std::uint8_t>(0xF0 | ch)})) << int(ch);
    EXPECT_TRUE(has({0, static_cast<std::uint8_t>(0xA4 + ch), 0x20})) << int(ch);
    EXPECT_TRUE(has({0, static_cast<std::uint8_t>(0xA0 + ch), 0x05})) << int(ch);
  }
  // Carrier levels follow the volume through the amplitude table: stored 20 + 4, volume 63 gives 24.
  EXPECT_TRUE(has({0, 0x40, 24}));
  EXPECT_EQ(list.front(), (std::vector<std::uint8_t>{0, 0x28, 0}));
}

TEST(DriverFrameTest, ARepeatReplaysTheBytesBeforeIt) {
  ImageBuilder b;
  b.basics();
  // 0x94 with D = 0: replay the 6 bytes that start 8 bytes before the byte after D.
  const std::vector<std::uint8_t> melody = {0xF1,        note(5, 2), note(6, 2), note(7, 2),  note(8, 2), note(9, 2),
                                            note(10, 2), 0x94,       0x00,       note(11, 2), 0xFF};
  b.song(1, {0}, {{melody, kLongRest, kLongRest, kLongRest}});
  DriverRig rig(b);
  rig.driver.requestMusic(2);
  rig.runFrame();
  std::vector<int> notes;
  for (int row = 0; row < 13; ++row) {
    for (int f = 0; f < 6; ++f) rig.runFrame();
    notes.push_back(rig.driver.wordAt(14));
  }
  EXPECT_EQ(notes, (std::vector<int>{5, 6, 7, 8, 9, 10, 5, 6, 7, 8, 9, 10, 11}));
}

TEST(DriverFrameTest, TheEndOfTheOrderListLoopsAndSongEightChainsToMusicTwo) {
  struct Case {
    std::uint16_t music;
    std::uint16_t songIndexAfter;
  };
  for (Case c : {Case{9, 1}, Case{4, 3}}) {
    ImageBuilder b;
    b.basics();
    const std::vector<std::uint8_t> rest = {0xF1, note(0, 2), 0xFF};
    b.song(c.music - 1u, {0}, {{rest, kLongRest, kLongRest, kLongRest}});
    b.song(1, {0}, {{kLongRest, kLongRest, kLongRest, kLongRest}});
    DriverRig rig(b);
    rig.driver.requestMusic(c.music);
    for (int f = 0; f < 20; ++f) rig.runFrame();
    EXPECT_EQ(rig.driver.wordAt(132), c.songIndexAfter) << c.music;
    EXPECT_EQ(rig.driver.wordAt(140), 0) << c.music;
  }
}

TEST(DriverEffectTest, EffectTwentyThreeEndsTheEffectInItsSlotAtTheNextRow) {
  ImageBuilder b;
  b.basics();
  b.put(0x73A82 + 14, {1}).put(0x73A82 + 23, {1});
  b.put(0x73C5C + 14, {2}).put(0x73C74 + 14, {255}).put(0x73C8C + 14, {10});
  DriverRig rig(b);
  rig.runFrame();  // frame 0: silence starts (tempo 2)
  rig.driver.applyRequest(SoundDriver::kEffect, 14);
  rig.runFrame();  // frame 1: a row start loads the effect on FM channel 5
  auto list = rig.listAt(1);
  ASSERT_FALSE(list.empty());
  EXPECT_EQ(list.front(), (std::vector<std::uint8_t>{0, 0x28, 5}));
  EXPECT_EQ(list.back(), (std::vector<std::uint8_t>{0, 0x28, 0xF5}));
  EXPECT_EQ(list[5], (std::vector<std::uint8_t>{2, 0x41, 4}));  // alg 7: every operator a carrier, forced to 4

  rig.runFrame();
  rig.runFrame();  // frame 3: the next row start, nothing to do for an endless effect
  EXPECT_TRUE(rig.listAt(3).empty());
  rig.driver.applyRequest(SoundDriver::kEffect, 23);
  rig.runFrame();
  rig.runFrame();  // frame 5
  const std::vector<std::vector<std::uint8_t>> expected = {
      {2, 0x41, 127}, {2, 0x45, 127}, {2, 0x49, 127}, {2, 0x4D, 127}, {2, 0xA5, 0}, {2, 0xA1, 0}, {0, 0x28, 5}};
  EXPECT_EQ(rig.listAt(5), expected);
  rig.runFrame();
  rig.runFrame();
  EXPECT_TRUE(rig.listAt(7).empty());
}

TEST(DriverEffectTest, PitchSequencesStepEveryRow) {
  ImageBuilder b;
  b.basics();
  b.put(0x73A82 + 10, {0}).put(0x73C5C + 10, {2}).put(0x73C74 + 10, {255});
  b.put(0x73D5C, {1, 2, 3, 4, 5, 6, 7, 8});
  DriverRig rig(b);
  rig.runFrame();
  rig.driver.startEffect(10);
  std::vector<int> lows;
  for (int row = 0; row < 9; ++row) {
    rig.runFrame();
    rig.runFrame();
    const auto list = rig.listAt(rig.frame - 2);  // row starts fall on odd frames
    for (const auto& w : list)
      if (w[0] == 2 && w[1] == 0xA0) lows.push_back(w[2]);
  }
  // The first row loads the instrument with the effect's note (0) and then steps the sequence from 0.
  EXPECT_EQ(lows, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 1}));
}

TEST(DriverFrameTest, PauseFreezesTheSequencerAndResumeGoesOn) {
  DriverRig rig(oneNoteSong());
  rig.driver.requestMusic(2);
  rig.runFrame();
  rig.runFrame();
  rig.driver.applyRequest(SoundDriver::kPause, 0);
  EXPECT_EQ(rig.resets, 2);
  for (int f = 0; f < 10; ++f) rig.runFrame();
  EXPECT_EQ(rig.driver.byteAt(30 + 17), 0);  // channel 1 not stepped while paused
  rig.driver.applyRequest(SoundDriver::kResume, 0);
  rig.runFrame();
  EXPECT_EQ(rig.driver.byteAt(30 + 17), 3);
}

TEST(DriverFrameTest, AChannelThatNeverReachesANoteGivesUpAndTheFrameGoesOn) {
  ImageBuilder b;
  b.basics();
  b.song(1, {0}, {{{0xFF}, kLongRest, kLongRest, kLongRest}});
  DriverRig rig(b);
  rig.driver.requestMusic(2);
  for (int f = 0; f < 5; ++f) rig.runFrame();
  EXPECT_EQ(rig.driver.byteAt(30 + 17), 62);  // the other channels still stepped
  EXPECT_TRUE(rig.listHanded(4));
}

}  // namespace
}  // namespace audio::testing

namespace audio::testing {
namespace {

// The sequencer and the Z80 program together, as the sound engine runs them: a note's key-on reaches the
// YM ports during the fourth frame after the one that took the music request.
TEST(DriverWithZ80Test, TheFirstRowReachesTheChipAfterTheFourthFrame) {
  ImageBuilder b = oneNoteSong();
  b.put(DriverImage::kZ80ImageAddress, z80ProgramImage());
  b.put(DriverImage::kZ80ImageAddress + 0xB0, {0xFF});
  struct Write {
    int port;
    std::uint8_t value;
    std::int64_t time;
  };
  std::vector<Write> ym;
  Z80 z80([&](int port, std::uint8_t value, std::int64_t time) { ym.push_back({port, value, time}); });
  SoundDriver driver([&](std::uint16_t a, std::uint8_t v) { z80.poke(a, v); }, [&] { z80.reset(); });
  ASSERT_TRUE(driver.setImage(b.bytes()));
  driver.loadProgram();
  constexpr std::int64_t kFrame = 71364;
  const int requestFrame = 2;
  for (int f = 0; f < 8; ++f) {
    z80.runUntil(f * kFrame);
    if (f == requestFrame) driver.applyRequest(SoundDriver::kMusic, 2);
    driver.runFrame();
  }
  z80.runUntil(8 * kFrame);
  std::int64_t keyOn = -1;
  std::uint8_t latch = 0;
  for (const Write& w : ym) {
    if (w.port == 0) latch = w.value;
    if (w.port == 1 && latch == 0x28 && w.value == 0xF0 && keyOn < 0) keyOn = w.time;
  }
  EXPECT_GE(keyOn, (requestFrame + 4) * kFrame);
  EXPECT_LT(keyOn, (requestFrame + 4) * kFrame + 20000);
}

}  // namespace
}  // namespace audio::testing

namespace audio::testing {
namespace {

// Music 1 (song index 0) is a song like the others: its channels are stepped on the row start and the
// three frames after it, and its FM writes reach the Z80 with the fourth. Music 0 still hands the
// effects over at each row start.
TEST(DriverFrameTest, MusicOneIsSteppedLikeEveryOtherSong) {
  ImageBuilder b;
  b.basics();
  const std::vector<std::uint8_t> channel = {0xF1, note(5, 0), 0xFF};
  b.song(0, {0}, {{channel, channel, channel, channel}});
  b.put(0x74530 + 5, {7});
  DriverRig rig(b);
  rig.driver.requestMusic(1);
  rig.runFrame();
  for (int f = 1; f <= 4; ++f) rig.runFrame();
  EXPECT_TRUE(rig.listHanded(4));
  bool keyOn = false;
  for (const auto& w : rig.listAt(4)) keyOn |= w == std::vector<std::uint8_t>{0, 0x28, 0xF0};
  EXPECT_TRUE(keyOn) << "channel 0's note reaches the Z80";
  EXPECT_EQ(rig.z80[0x1FFF], 7);
}

// A rest keys its channel off, so the note before it fades with its own release.
TEST(DriverFrameTest, ARestKeysItsChannelOff) {
  ImageBuilder b;
  b.basics();
  const std::vector<std::uint8_t> melody = {0xF1, note(5, 0), note(0, 0), 0xFF};
  b.song(1, {0}, {{melody, kLongRest, kLongRest, kLongRest}});
  DriverRig rig(b);
  rig.driver.requestMusic(2);
  const std::vector<std::uint8_t> keyOff = {0, 0x28, 0}, keyOn = {0, 0x28, 0xF0};
  std::vector<std::string> lists;  // per handed list: 'n' a note on channel 0, 'r' its key-off alone
  for (int f = 0; f < 80; ++f) {
    rig.runFrame();
    const auto list = rig.listAt(f);
    const bool on = std::find(list.begin(), list.end(), keyOn) != list.end();
    const bool off = std::find(list.begin(), list.end(), keyOff) != list.end();
    if (on)
      lists.push_back("n");
    else if (off)
      lists.push_back("r");
  }
  ASSERT_GE(lists.size(), 3u);
  EXPECT_EQ(lists[0], "n");
  EXPECT_EQ(lists[1], "r") << "the rest's row keys channel 0 off without a new note";
  EXPECT_EQ(lists[2], "n");
}

}  // namespace
}  // namespace audio::testing
