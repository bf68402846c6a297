#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <limits>
#include <map>
#include <set>
#include <sstream>
#include <vector>

#include "app/data.h"
#include "app/modes.h"
#include "app/options.h"
#include "audio/driver/sound_driver.h"
#include "audio/sound.h"
#include "audio/sound_music_compiler.h"
#include "base/asset_store.h"

namespace audio {
namespace {

const std::filesystem::path kSource = GROVANTA_SOURCE_DIR;

std::vector<MusicSource> musicSources() {
  std::vector<MusicSource> sources;
  for (const auto& path : app::listFiles(kSource / "data/music", ".txt"))
    sources.push_back({path.filename().string(), app::readTextFile(path).value_or("")});
  return sources;
}

// An organ-like sustained sine (algorithm 7, no decay), released fast, for the small fixtures below.
constexpr const char* kOrgan =
    "instrument organ 01 01 01 01  20 20 20 20  1F 1F 1F 1F  00 00 00 00  00 00 00 00  08 08 08 08  00 00 00 00  07\n";

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
      {"effect of one row",
       "instrument x 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 07\neffect 20 "
       "0 x C5 1\n"},
      {"channels of unequal length", "song 1 6\npattern A\nch0 C4/4\nch1 C4/2\nch2 r/4\nch3 r/4\norder A\n"},
  };
  for (const auto& [what, text] : cases) EXPECT_FALSE(compileMusic({{"case", text}})) << what;
}

// The compiler reports each region's use and refuses sources whose songs outgrow their region.
TEST(SoundMusic, CompilerReportsSpaceAndRefusesWhatDoesNotFit) {
  MusicSpace space;
  ASSERT_TRUE(compileMusic(musicSources(), &space));
  ASSERT_FALSE(space.empty());
  for (const auto& region : space) EXPECT_LE(region.used, region.size) << region.name;
  const auto songs =
      std::find_if(space.begin(), space.end(), [](const MusicRegion& r) { return std::string(r.name) == "songs"; });
  ASSERT_NE(songs, space.end());
  EXPECT_EQ(songs->size, 0x78B97u - 0x7679Eu);

  // 200 patterns of 16 one-row notes on three channels: about 11 KB of song data.
  std::string big = std::string(kOrgan) + "song 1 6\nslot 1 organ 0\n";
  std::string order = "order";
  for (int p = 0; p < 200; ++p) {
    std::string notes;
    for (int i = 0; i < 16; ++i) notes += " C4/1";
    big += "pattern P" + std::to_string(p) + "\nch0" + notes + "\nch1" + notes + "\nch2" + notes + "\nch3 r/16\n";
    order += " P" + std::to_string(p);
  }
  big += order + "\n";
  EXPECT_FALSE(compileMusic({{"big", big}}, &space));
}

// A hash of three seconds of the title music with an effect on top. Regenerate deliberately when the
// music, the driver or the chip model changes.
TEST(SoundMusic, GoldenRenderOfTheTitleMusic) {
  const auto image = app::readFile(kSource / "assets/audio/driver.bin");
  ASSERT_TRUE(image);
  Sound sound(48000);
  ASSERT_TRUE(sound.loadDriver(*image));
  sound.queueMusic(11);
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
  EXPECT_EQ(hash, 285098959328798807ull);
}

// Renders `seconds` of music `music` from a fresh engine; effects are queued before the given output
// frame. Music and effects have their own volumes.
struct Render {
  std::vector<std::int16_t> samples;
  // Largest absolute sample of either side over [from, to) seconds.
  int peak(double from, double to) const {
    int p = 0;
    const auto a = static_cast<std::size_t>(from * 48000) * 2;
    const auto b = std::min(samples.size(), static_cast<std::size_t>(to * 48000) * 2);
    for (std::size_t i = a; i < b; ++i) p = std::max(p, std::abs(static_cast<int>(samples[i])));
    return p;
  }
  // Seconds during which 5 ms windows peak above `level`.
  double timeAbove(int level) const {
    constexpr std::size_t kWindow = 240;
    std::size_t windows = 0;
    for (std::size_t w = 0; (w + 1) * kWindow * 2 <= samples.size(); ++w) {
      int p = 0;
      for (std::size_t i = w * kWindow * 2; i < (w + 1) * kWindow * 2; ++i)
        p = std::max(p, std::abs(static_cast<int>(samples[i])));
      windows += p > level;
    }
    return windows * 0.005;
  }
};

Render render(const std::vector<std::uint8_t>& image, std::uint32_t music, double seconds,
              std::vector<std::pair<int, std::uint32_t>> effects = {}, float musicVolume = 1, float soundVolume = 1) {
  Sound sound(48000);
  EXPECT_TRUE(sound.loadDriver(image));
  sound.queueMusic(music);
  Render out;
  const int total = static_cast<int>(seconds * 48000);
  out.samples.assign(2 * static_cast<std::size_t>(total), 0);
  int done = 0;
  for (const auto& [at, effect] : effects) {
    sound.render(out.samples.data() + 2 * done, at - done, musicVolume, soundVolume);
    done = std::max(done, at);
    sound.queueEffect(effect);
  }
  sound.render(out.samples.data() + 2 * done, total - done, musicVolume, soundVolume);
  return out;
}

std::vector<std::uint8_t> committedImage() {
  return app::readFile(kSource / "assets/audio/driver.bin").value_or(std::vector<std::uint8_t>{});
}

std::vector<std::uint8_t> compileOne(const std::string& song) {
  const auto image = compileMusic({{"fixture", std::string(kOrgan) + song}});
  EXPECT_TRUE(image);
  return image.value_or(std::vector<std::uint8_t>{});
}

// Every song number plays its FM channels, music 1 included (whose song index is the one music 0
// also has); a rest silences the note before it within its release instead of letting it ring.
TEST(SoundFaults, EverySongNumberSoundsAndRestsFallSilent) {
  for (int n : {1, 2, 16}) {
    const auto image =
        compileOne("song " + std::to_string(n) +
                   " 6\nslot 1 organ 0\npattern A\nch0 @1 C4/8 r/24\nch1 r/32\nch2 r/32\nch3 r/32\norder A\n");
    const Render r = render(image, static_cast<std::uint32_t>(n), 3.6);
    EXPECT_GT(r.peak(0.2, 1.0), 600) << "song " << n << " plays its note";
    EXPECT_LT(r.peak(1.4, 3.5), 16) << "song " << n << " is silent through its rest";
  }
}

// The chips sit at a DC level from the start; the output begins at silence, not with a thump.
TEST(SoundFaults, ARenderStartsInSilence) {
  const Render r = render(committedImage(), 0, 0.3);
  EXPECT_EQ(r.peak(0, 0.3), 0);
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

// Every effect the image defines is heard on its own for a good part of a second, keyed on and off
// in different rows (an effect of one row used to be a 1 ms tick), and over a song as well.
TEST(SoundEffects, EachEffectIsAudibleAloneAndOverMusic) {
  const auto image = committedImage();
  Sound probe(48000);
  ASSERT_TRUE(probe.loadDriver(image));
  std::set<std::pair<int, int>> sounds;  // instrument and note: one sound for one kind of event
  for (std::uint32_t n = 1; n <= 22; ++n) {
    if (!probe.definesEffect(n)) continue;
    EXPECT_TRUE(sounds.insert({image[0x73C5C - 0x739A0 + n], image[0x73C8C - 0x739A0 + n]}).second)
        << "effect " << n << " sounds like another";
    const Render alone = render(image, 0, 1.0, {{2000, n}}, 0, 1);
    EXPECT_GT(alone.peak(0, 1), 2000) << "effect " << n;
    EXPECT_GT(alone.timeAbove(300), 0.03) << "effect " << n << " lasts";
    const Render over = render(image, 13, 2.0, {{48000, n}}, 0, 1);
    EXPECT_GT(over.peak(1, 2), 2000) << "effect " << n << " over music";
  }
}

// The source of one song with every channel but `keep` turned to rests of the same lengths.
std::string isolateChannel(const std::string& text, int keep) {
  std::istringstream lines(text);
  std::string line, out;
  while (std::getline(lines, line)) {
    if (line.size() > 3 && line.compare(0, 2, "ch") == 0 && line[2] - '0' != keep) {
      std::istringstream words(line);
      std::string word, changed;
      while (words >> word) {
        const auto slash = word.find('/');
        if (slash != std::string::npos) word = "r" + word.substr(slash);
        changed += (changed.empty() ? "" : " ") + word;
      }
      line = changed;
    }
    out += line + "\n";
  }
  return out;
}

// One channel of a song for `seconds`: its peak, and its onsets, counted as the notes (not rests)
// the driver reads for it.
struct Voice {
  int peak = 0;
  int notes = 0;
};
Voice playVoice(const std::vector<std::uint8_t>& image, int music, int channel, double seconds) {
  Sound sound(48000);
  EXPECT_TRUE(sound.loadDriver(image));
  sound.queueMusic(static_cast<std::uint32_t>(music));
  std::vector<std::int16_t> block(2 * 965);
  Voice v;
  const std::size_t record = 30 * static_cast<std::size_t>(channel);
  std::array<std::uint8_t, 4> read{};
  for (int b = 0; b * 965 < seconds * 48000; ++b) {
    std::fill(block.begin(), block.end(), 0);
    sound.render(block.data(), 965, 1, 1);
    for (std::int16_t x : block) v.peak = std::max(v.peak, std::abs(static_cast<int>(x)));
    const auto& m = sound.driverMemory();
    const std::array<std::uint8_t, 4> now = {m[record], m[record + 1], m[record + 2], m[record + 3]};
    if (now != read && (m[record + 14] | m[record + 15]) != 0) ++v.notes;
    read = now;
  }
  return v;
}

// How many sound frames a song source lasts up to its loop: the rows of channel 0 of each pattern
// in its order (up to the loop position of a jingle), times its tempo.
int writtenFrames(const std::string& text) {
  std::istringstream lines(text);
  std::string line, pattern;
  std::map<std::string, int> rows;
  std::vector<std::string> order;
  int tempo = 0, loop = 0;
  while (std::getline(lines, line)) {
    std::istringstream words(line);
    std::string word;
    words >> word;
    if (word == "song")
      words >> tempo >> tempo;
    else if (word == "pattern")
      words >> pattern;
    else if (word == "loop")
      words >> loop;
    else if (word == "order")
      for (std::string name; words >> name;) order.push_back(name);
    else if (word == "ch0")
      for (std::string token; words >> token;)
        if (const auto slash = token.find('/'); slash != std::string::npos)
          rows[pattern] += std::stoi(token.substr(slash + 1));
  }
  int total = 0;
  for (std::size_t i = 0; i < (loop ? static_cast<std::size_t>(loop) : order.size()); ++i) total += rows[order[i]];
  return total * tempo;
}

// Each song, voice by voice: every channel that has notes is heard on its own, note after note, in
// the song's first seconds; together they neither clip nor stray more than 8 dB from the other
// songs; area songs run at least 45 s before they loop and jingles fall silent after a few seconds.
TEST(SoundSongs, EveryVoiceIsHeardAndTheSongsMatchTheirPlaces) {
  const auto sources = musicSources();
  std::string common;
  for (const auto& s : sources)
    if (s.name.starts_with("00_")) common = s.text;
  std::map<int, double> loudest;
  for (const auto& source : sources) {
    int number = 0, tempo = 0;
    if (std::sscanf(source.text.substr(source.text.find("\nsong ") + 1).c_str(), "song %d %d", &number, &tempo) != 2)
      continue;
    for (int ch = 0; ch < 4; ++ch) {
      const std::string text = isolateChannel(source.text, ch);
      if (text == isolateChannel(source.text, -1)) continue;  // a channel without notes
      const auto image = compileMusic({{"common", common}, {source.name, text}});
      ASSERT_TRUE(image) << source.name;
      const Voice v = playVoice(*image, number, ch, 5.0);
      EXPECT_GT(v.peak, 1500) << source.name << " channel " << ch;
      EXPECT_GE(v.notes, 3) << source.name << " channel " << ch;
    }
    // The level and the peak over the song's first 20 seconds, with every voice.
    const Render whole = render(committedImage(), static_cast<std::uint32_t>(number), 20.0);
    double loudestSecond = 0;
    for (int second = 0; second < 20; ++second) {
      double sum = 0;
      for (std::size_t i = second * 96000u; i < (second + 1) * 96000u; ++i)
        sum += double(whole.samples[i]) * whole.samples[i];
      loudestSecond = std::max(loudestSecond, std::sqrt(sum / 96000));
    }
    EXPECT_LT(whole.peak(0, 20), 32000) << source.name << " clips";
    // The loop, from the sequencer alone: the order position (offset 140) goes back after the last.
    SoundDriver driver([](std::uint16_t, std::uint8_t) {}, [] {});
    ASSERT_TRUE(driver.setImage(committedImage()));
    driver.requestMusic(static_cast<std::uint16_t>(number));
    const bool jingle = source.text.find("\nloop ") != std::string::npos;
    int frames = 0, last = 0;
    for (; frames < 50 * 300; ++frames) {
      driver.runFrame();
      const int position = driver.wordAt(140);
      if (position < last || (jingle && position == last && frames > 0 && position > 0)) break;
      last = position;
    }
    const double seconds = frames / 49.7;
    EXPECT_NEAR(frames, writtenFrames(source.text), tempo + 2) << source.name << " plays as long as it is written";
    if (jingle) {
      EXPECT_LT(seconds, 12) << source.name << " is short";
      EXPECT_LT(whole.peak(seconds + 4, 20), 30) << source.name << " falls silent once its notes have faded";
    } else if (number != 8 && number != 15) {
      EXPECT_GE(seconds, 45) << source.name << " loops too soon";
    }
    EXPECT_LT(seconds, 300) << source.name << " loops";
    loudest[number] = 20 * std::log10(loudestSecond / 32768);
  }
  ASSERT_EQ(loudest.size(), 16u);
  const auto [low, high] = std::minmax_element(loudest.begin(), loudest.end(),
                                               [](const auto& a, const auto& b) { return a.second < b.second; });
  EXPECT_LT(high->second - low->second, 8) << "music " << low->first << " against music " << high->first;
}

// The default block's effect sounds, and every argument the driver cannot play is refused with
// exit code 2 before any file is written.
TEST(SoundWavMode, PlaysTheFirstBlocksEffectsAndRefusesWhatItCannotPlay) {
  const auto dir = std::filesystem::temp_directory_path() / ("grovanta_sound_args_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  app::Data data;
  data.dataDirectory = kSource;
  app::Options base;
  base.soundWav = (dir / "out.wav").string();
  base.tune = 0;
  base.seconds = 1.0;
  base.effects = {{1, 1}};
  ASSERT_EQ(app::runSoundWav(data, base), 0);
  const auto wav = app::readFile(dir / "out.wav").value_or(std::vector<std::uint8_t>{});
  int peak = 0;
  for (std::size_t i = 44; i + 1 < wav.size(); i += 2)
    peak = std::max(peak, std::abs(static_cast<int>(static_cast<std::int16_t>(wav[i] | wav[i + 1] << 8))));
  EXPECT_GT(peak, 1000) << "an effect in block 1 plays";

  struct Case {
    const char* what;
    std::function<void(app::Options&)> change;
  };
  const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
  const Case cases[] = {
      {"tune with bit 15", [](app::Options& o) { o.tune = 0x8000; }},
      {"negative tune", [](app::Options& o) { o.tune = -1; }},
      {"negative seconds", [](app::Options& o) { o.seconds = -1; }},
      {"NaN seconds", [nan](app::Options& o) { o.seconds = nan; }},
      {"infinite seconds", [inf](app::Options& o) { o.seconds = inf; }},
      {"seconds beyond a WAV file", [](app::Options& o) { o.seconds = 1e6; }},
      {"effect that is not a number", [](app::Options& o) { o.badEffects = {"jump"}; }},
      {"effect the image lacks",
       [](app::Options& o) {
         o.effects = {{30, 1}};
       }},
      {"effect 0",
       [](app::Options& o) {
         o.effects = {{0, 1}};
       }},
  };
  for (const Case& c : cases) {
    app::Options options = base;
    options.soundWav = (dir / "refused.wav").string();
    c.change(options);
    EXPECT_EQ(app::runSoundWav(data, options), 2) << c.what;
    EXPECT_FALSE(std::filesystem::exists(dir / "refused.wav")) << c.what;
  }
  app::Options modes = base;
  modes.tune = 18;  // the driver's intro mode
  EXPECT_EQ(app::runSoundWav(data, modes), 0);
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace audio
