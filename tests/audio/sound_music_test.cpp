#include <unistd.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <vector>

#include "base/asset_store.h"
#include "app/data.h"
#include "app/modes.h"
#include "app/options.h"
#include "audio/sound.h"
#include "audio/sound_music_compiler.h"

namespace audio {
namespace {

const std::filesystem::path kSource = GROVANTA_SOURCE_DIR;

std::vector<MusicSource> musicSources() {
  std::vector<MusicSource> sources;
  for (const auto& path : app::listFiles(kSource / "data/music", ".txt"))
    sources.push_back({path.filename().string(), app::readTextFile(path).value_or("")});
  return sources;
}

TEST(SoundMusic, CommittedDriverImageIsRebuiltExactly) {
  const auto built = compileMusic(musicSources());
  ASSERT_TRUE(built);
  const auto committed = app::readFile(kSource / "assets/audio/driver.bin");
  ASSERT_TRUE(committed);
  EXPECT_EQ(built->size(), 23796u);
  EXPECT_TRUE(*built == *committed) << "run grovanta_music data/music assets/audio/driver.bin and commit it";
}

TEST(SoundMusic, CompilerReportsErrorsInsteadOfBuilding) {
  const std::vector<std::pair<const char*, const char*>> cases = {
      {"unknown instrument", "song 1 6\nslot 1 nothing 0\n"},
      {"note above the range", "song 1 6\npattern A\nch0 C7/4\n"},
      {"length of zero rows", "song 1 6\npattern A\nch0 C4/0\n"},
      {"order of an unknown pattern", "song 1 6\norder Z\n"},
      {"song number 17", "song 17 6\n"},
      {"pattern outside a song", "pattern A\n"},
      {"short instrument", "instrument x 01 02\n"},
      {"channels of unequal length", "song 1 6\npattern A\nch0 C4/4\nch1 C4/2\nch2 r/4\nch3 r/4\norder A\n"},
  };
  for (const auto& [what, text] : cases) EXPECT_FALSE(compileMusic({{"case", text}})) << what;
}

// A hash of three seconds of the title music with an effect on top. Regenerate deliberately when the
// music, the driver or the chip model changes.
TEST(SoundMusic, GoldenRenderOfTheTitleMusic) {
  const auto image = app::readFile(kSource / "assets/audio/driver.bin");
  ASSERT_TRUE(image);
  Sound sound(48000);
  ASSERT_TRUE(sound.loadDriver(*image));
  sound.queueMusic(1);
  std::vector<std::int16_t> samples(2 * 48000 * 3, 0);
  for (int block = 0; block * 965 < 48000 * 3; ++block) {
    if (block == 60) sound.queueEffect(3);
    const int n = std::min(965, 48000 * 3 - block * 965);
    sound.render(samples.data() + 2 * block * 965, n, 1.0f, 1.0f);
  }
  std::uint64_t hash = 1469598103934665603ull;
  int peak = 0;
  for (std::int16_t s : samples) {
    hash = (hash ^ static_cast<std::uint16_t>(s)) * 1099511628211ull;
    peak = std::max(peak, std::abs(static_cast<int>(s)));
  }
  EXPECT_GT(peak, 2000) << "the title music should be clearly audible";
  EXPECT_LT(peak, 32767) << "and not clip";
  EXPECT_EQ(hash, 3793147010630854383ull);
}

TEST(SoundWavMode, WritesTheFileAndReportsFailures) {
  const auto dir = std::filesystem::temp_directory_path() / ("grovanta_sound_wav_test_" + std::to_string(::getpid()));
  std::filesystem::remove_all(dir);
  app::Data data;
  data.dataDirectory = kSource;
  app::Options options;
  options.soundWav = (dir / "out.wav").string();
  options.tune = 2;
  options.seconds = 1.0;
  options.effects = {{4, 3}, {-1, 20}, {-2, 40}};
  EXPECT_EQ(app::runSoundWav(data, options), 0);
  const auto wav = app::readFile(dir / "out.wav");
  ASSERT_TRUE(wav);
  EXPECT_EQ(wav->size(), 44u + 192000u);

  options.soundWav = "/proc/no/such/dir/out.wav";
  EXPECT_EQ(app::runSoundWav(data, options), 1);

  data.dataDirectory = dir;  // no driver image here
  options.soundWav = (dir / "other.wav").string();
  EXPECT_EQ(app::runSoundWav(data, options), 2);
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace audio
