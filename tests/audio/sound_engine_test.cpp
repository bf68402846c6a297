#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "audio/audio_output.h"
#include "audio/driver/z80_program.h"
#include "audio/sound.h"

namespace audio {
namespace {

// A driver image of the right size holding the Z80 program and no songs, instruments or samples.
std::vector<std::uint8_t> blankImage() {
  std::vector<std::uint8_t> image(DriverImage::kSize, 0);
  const auto program = z80ProgramImage();
  std::copy(program.begin(), program.end(), image.begin() + (DriverImage::kZ80ImageAddress - DriverImage::kBase));
  return image;
}

std::vector<std::uint8_t> imageWithEffectSlots() {
  auto image = blankImage();
  for (int n = 0; n < 24; ++n) image[0x73A82 - DriverImage::kBase + n] = static_cast<std::uint8_t>(n & 1);
  return image;
}

TEST(SoundRouting, WritesReachTheRightChips) {
  struct Case {
    int port;
    std::uint8_t reg;
    std::uint8_t value;
    int chips;  // bit 0 chip 0 (music), bit 1 chip 1 (effects)
  };
  const Case cases[] = {
      {1, 0x28, 0xF4, 2},                      // key on FM channel 4: effects chip only
      {1, 0x28, 0xF5, 2},                      // channel 5
      {1, 0x28, 0xF6, 1},                      // channel 6: music chip only
      {1, 0x28, 0xF0, 1},                      // channel 1
      {1, 0x28, 0x03, 3},                      // no channel: both
      {1, 0x28, 0x07, 3}, {1, 0x22, 0x08, 3},  // LFO: both
      {1, 0x27, 0x00, 3},                      // timers / channel-3 mode: both
      {1, 0x2A, 0x80, 1},                      // DAC data: music chip
      {1, 0x2B, 0x80, 1},                      // DAC enable: music chip
      {1, 0x40, 0x7F, 1},                      // channel 1 register
      {1, 0x42, 0x7F, 1},                      // channel 3 register
      {1, 0x43, 0x7F, 3},                      // no channel: both
      {3, 0x40, 0x7F, 2},                      // channel 4
      {3, 0xA1, 0x22, 2},                      // channel 5
      {3, 0xB6, 0xC0, 1},                      // channel 6 (pan of the DAC) stays with the music
      {3, 0x43, 0x7F, 3}, {3, 0x22, 0x00, 3},  // below 0x30 on the high half: both
  };
  for (const Case& c : cases) {
    std::array<std::uint8_t, 2> latches{};
    EXPECT_EQ(Sound::routeYmWrite(latches, c.port - 1, c.reg), 0) << "an address write reaches no chip";
    EXPECT_EQ(latches[(c.port - 1) >> 1], c.reg);
    EXPECT_EQ(Sound::routeYmWrite(latches, c.port, c.value), c.chips)
        << "port " << c.port << " reg " << std::hex << int(c.reg) << " value " << int(c.value);
  }
}

TEST(SoundRouting, LatchesOfTheTwoHalvesAreSeparate) {
  std::array<std::uint8_t, 2> latches{};
  Sound::routeYmWrite(latches, 0, 0x2A);
  Sound::routeYmWrite(latches, 2, 0x41);
  EXPECT_EQ(Sound::routeYmWrite(latches, 1, 0x00), 1);  // still the DAC register on the low half
  EXPECT_EQ(Sound::routeYmWrite(latches, 3, 0x00), 2);  // channel 5 on the high half
}

TEST(SoundEngine, RefusesAnImageOfTheWrongSizeAndStaysSilent) {
  Sound sound(48000);
  std::vector<std::uint8_t> image(DriverImage::kSize - 1, 0);
  EXPECT_FALSE(sound.loadDriver(image));
  EXPECT_FALSE(sound.ready());
  std::vector<std::int16_t> buffer(2 * 1000, 7);
  sound.render(buffer.data(), 1000, 1.0f, 1.0f);
  for (std::int16_t s : buffer) ASSERT_EQ(s, 7) << "render without an image must leave the buffer alone";
  EXPECT_EQ(sound.masterClock(), 0u);
}

TEST(SoundEngine, OneSecondAdvancesTheChipRateAndTheFrames) {
  Sound sound(48000);
  ASSERT_TRUE(sound.loadDriver(blankImage()));
  EXPECT_EQ(sound.chipRate(), 52781.0);
  std::vector<std::int16_t> buffer(2 * 48000, 0);
  sound.render(buffer.data(), 48000, 1.0f, 1.0f);
  EXPECT_EQ(sound.masterClock(), 52781u * 1008u);
  // 52781 chip samples reach Z80 time 3546822: frames at 0, 71364, ... give 50 started frames, the
  // 50th at 3496836 (49.70 frames of time elapsed).
  EXPECT_EQ(sound.soundFrames(), 50u);
}

TEST(SoundEngine, SplitRendersMatchOneRender) {
  auto image = imageWithEffectSlots();
  Sound a(48000), b(48000);
  ASSERT_TRUE(a.loadDriver(image));
  ASSERT_TRUE(b.loadDriver(image));
  std::vector<std::int16_t> one(2 * 4000, 0), parts(2 * 4000, 0);
  a.render(one.data(), 4000, 1.0f, 1.0f);
  int done = 0;
  for (int n : {1, 511, 512, 977, 1999}) {
    b.render(parts.data() + 2 * done, n, 1.0f, 1.0f);
    done += n;
  }
  EXPECT_EQ(done, 4000);
  EXPECT_EQ(one, parts);
  EXPECT_EQ(a.masterClock(), b.masterClock());
}

TEST(SoundEngine, RequestsOfOneStepAreAppliedAtTheSameSoundFrame) {
  Sound sound(48000);
  ASSERT_TRUE(sound.loadDriver(imageWithEffectSlots()));
  std::vector<std::int16_t> buffer(2 * 2000, 0);
  sound.render(buffer.data(), 1, 1.0f, 1.0f);  // the first sound frame ran at the first chip sample
  ASSERT_EQ(sound.soundFrames(), 1u);
  sound.queueEffect(4);  // slot 0
  sound.queueEffect(5);  // slot 1
  sound.queueEffect(6);  // slot 0 again: the later request wins
  const auto& m = sound.driverMemory();
  // Nothing happens before the next sound frame.
  sound.render(buffer.data(), 100, 1.0f, 1.0f);
  EXPECT_EQ(sound.soundFrames(), 1u);
  EXPECT_EQ((m[156] << 8) | m[157], 0);
  EXPECT_EQ((m[158] << 8) | m[159], 0);
  while (sound.soundFrames() == 1) sound.render(buffer.data(), 1, 1.0f, 1.0f);
  // All three were taken, in order, at that one frame.
  EXPECT_EQ((m[156] << 8) | m[157], 6);
  EXPECT_EQ((m[158] << 8) | m[159], 5);
}

TEST(SoundEngine, MusicRequestStartsAtTheNextSoundFrame) {
  Sound sound(48000);
  ASSERT_TRUE(sound.loadDriver(imageWithEffectSlots()));
  std::vector<std::int16_t> buffer(2 * 2000, 0);
  sound.render(buffer.data(), 1, 1.0f, 1.0f);
  sound.queueMusic(3);
  sound.render(buffer.data(), 100, 1.0f, 1.0f);
  const auto& m = sound.driverMemory();
  EXPECT_EQ((m[132] << 8) | m[133], 0);
  while (sound.soundFrames() == 1) sound.render(buffer.data(), 1, 1.0f, 1.0f);
  EXPECT_EQ((m[132] << 8) | m[133], 2) << "music 3 is song index 2";
  EXPECT_EQ((m[150] << 8) | m[151], 0xFFFF);
}

TEST(SoundEngine, PauseFreezesTheDriverAndResumeLetsItGo) {
  Sound sound(48000);
  ASSERT_TRUE(sound.loadDriver(imageWithEffectSlots()));
  std::vector<std::int16_t> buffer(2 * 2000, 0);
  sound.render(buffer.data(), 1, 1.0f, 1.0f);
  sound.queuePause();
  sound.queueMusic(2);
  sound.render(buffer.data(), 2000, 1.0f, 1.0f);
  const auto& m = sound.driverMemory();
  EXPECT_EQ(m[168], 0xFF);
  EXPECT_EQ((m[150] << 8) | m[151], 2) << "the music waits while paused";
  sound.queueResume();
  sound.render(buffer.data(), 2000, 1.0f, 1.0f);
  EXPECT_EQ(m[168], 0);
  EXPECT_EQ((m[132] << 8) | m[133], 1);
}

TEST(SoundEngine, ZeroVolumesGiveExactSilence) {
  // Drum samples streaming into the DAC make the music chip sound; volumes 0 must still give zeros.
  auto image = imageWithEffectSlots();
  Sound loud(48000), quiet(48000);
  ASSERT_TRUE(loud.loadDriver(image));
  ASSERT_TRUE(quiet.loadDriver(image));
  std::vector<std::int16_t> a(2 * 4800, 0), b(2 * 4800, 0);
  loud.render(a.data(), 4800, 1.0f, 1.0f);
  quiet.render(b.data(), 4800, 0.0f, 0.0f);
  for (std::int16_t s : b) ASSERT_EQ(s, 0);
}

TEST(SoundEngine, DeviceFillIsSilentWithoutASound) {
  AudioOutput output;
  std::vector<Uint8> stream(2048, 0x55);
  output.fill(stream.data(), static_cast<int>(stream.size()));
  for (Uint8 b : stream) ASSERT_EQ(b, 0);
}

TEST(SoundEngine, DeviceVolumesAreClamped) {
  AudioOutput output;
  output.setVolumes(1.5f, -0.25f);
  EXPECT_EQ(output.soundVolume(), 1.0f);
  EXPECT_EQ(output.musicVolume(), 0.0f);
}

}  // namespace
}  // namespace audio
