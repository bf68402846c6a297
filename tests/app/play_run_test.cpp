// The built program playing headless (offscreen video through Mesa, dummy audio): scripted pads,
// --quit-after-frames, the --out pictures on both presentation paths, the scripted keys and the viewer.
#include <gtest/gtest.h>
#include <lodepng.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "open_gl_needed.h"
#include "temp_folder.h"

namespace {

using testing_support::readWhole;
using testing_support::TempFolder;

struct ChildRun {
  int exitCode = -1;
  bool signalled = false;
  std::string err;
};

std::string quote(const std::string& word) {
  std::string quoted = "'";
  for (char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

const std::string kHeadless = "SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy ";
// Mesa refuses a 3.2 core context when it may offer only 3.0: the program takes the SDL renderer path.
const std::string kNoGl32 = kHeadless + "MESA_GL_VERSION_OVERRIDE=3.0 MESA_GLSL_VERSION_OVERRIDE=130 ";

ChildRun runProgram(const std::vector<std::string>& arguments, const std::filesystem::path& scratch,
                    const std::string& environment) {
  std::string command = "cd ";
  command.append(quote(scratch.string())).append(" && ").append(environment);
  command.append(quote(GROVANTA_BINARY_DIR "/grovanta"));
  for (const std::string& a : arguments) command.append(" ").append(quote(a));
  const auto errFile = scratch / "stderr.txt";
  command.append(" >/dev/null 2>").append(quote(errFile.string()));
  const int status = std::system(command.c_str());
  ChildRun run;
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  // The shell reports a child killed by a signal as 128 + the signal.
  run.signalled = WIFSIGNALED(status) || (WIFEXITED(status) && WEXITSTATUS(status) > 128);
  run.err = readWhole(errFile);
  return run;
}

struct Png {
  unsigned width = 0, height = 0;
  std::vector<unsigned char> rgba;
  std::uint32_t at(unsigned x, unsigned y) const {
    const unsigned char* p = &rgba[4 * (static_cast<std::size_t>(y) * width + x)];
    return static_cast<std::uint32_t>(p[3]) << 24 | static_cast<std::uint32_t>(p[0]) << 16 |
           static_cast<std::uint32_t>(p[1]) << 8 | p[2];
  }
};

std::optional<Png> readPng(const std::filesystem::path& path) {
  Png png;
  if (lodepng::decode(png.rgba, png.width, png.height, path.string(), LCT_RGBA, 8) != 0) return std::nullopt;
  return png;
}

// The game ticks of the summary line, or -1.
long long summaryTicks(const std::string& err) {
  std::smatch match;
  if (!std::regex_search(err, match, std::regex(R"(presented \d+ frames, (\d+) game ticks)"))) return -1;
  return std::stoll(match[1].str());
}

bool drawnPicture(const Png& picture) {
  if (picture.width != 320 || picture.height != 224) return false;
  std::set<std::uint32_t> colours;
  for (unsigned y = 0; y < 224; ++y)
    for (unsigned x = 0; x < 320; ++x) {
      if (picture.at(x, y) >> 24 != 0xFF) return false;
      colours.insert(picture.at(x, y));
    }
  return colours.size() >= 4;  // not the black fallback
}

class PlayRun : public ::testing::Test {
 protected:
  std::vector<std::string> game(const std::vector<std::string>& more) {
    std::vector<std::string> arguments = {"--data", GROVANTA_SOURCE_DIR, "--user", (folder.path() / "user").string(),
                                          "--windowed"};
    arguments.insert(arguments.end(), more.begin(), more.end());
    return arguments;
  }
  TempFolder folder;
};

TEST_F(PlayRun, QuitAfterFramesWritesThePictureAndItsCrtView) {
  const auto out = folder.path() / "shots" / "last.png";
  // Nothing is pressed, so the language menu stays whatever number of V-blanks a slow machine fits into the
  // 40 frames: the last picture cannot land in a fade or on another screen.
  ChildRun run = runProgram(game({"--quit-after-frames", "40", "--pads", "1-40:00", "--out", out.string()}),
                            folder.path(), kHeadless);
  ASSERT_EQ(run.exitCode, 0) << run.err;
  // At least one V-blank per presented frame (more when a frame takes longer than a V-blank), no sound
  // device, and the summary.
  const std::regex summary(R"(\[info\] presented 40 frames, (\d+) game ticks; the menu: closed\n)");
  EXPECT_TRUE(std::regex_search(run.err, summary)) << run.err;
  // Every presented frame runs at least one V-blank, and without a fade every V-blank steps the game.
  EXPECT_GE(summaryTicks(run.err), 40);
  EXPECT_EQ(run.err.find("no OpenGL"), std::string::npos) << testing_support::kNoOpenGl << "\n" << run.err;
  EXPECT_EQ(run.err.find("the game stopped"), std::string::npos) << run.err;

  const std::optional<Png> picture = readPng(out);
  ASSERT_TRUE(picture);
  ASSERT_TRUE(drawnPicture(*picture));

  const std::optional<Png> crt = readPng(folder.path() / "shots" / "last_crt.png");
  ASSERT_TRUE(crt);
  ASSERT_EQ(crt->width, 960u);
  ASSERT_EQ(crt->height, 672u);
  EXPECT_EQ(crt->at(0, 0), 0xFF000000u);  // the rounded corners
  EXPECT_EQ(crt->at(959, 671), 0xFF000000u);
  // Away from the edges the filtered picture follows the plain one: in every 3 x 3 block that stands for a
  // flat 5 x 5 patch of one colour, the brightest channel of that colour stays the brightest (or all stay dark).
  int compared = 0, agree = 0;
  for (unsigned y = 20; y + 20 < 224; y += 7)
    for (unsigned x = 20; x + 20 < 300; x += 7) {
      const std::uint32_t c = picture->at(x, y);
      bool flat = true;
      for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -2; dx <= 2; ++dx) flat = flat && picture->at(x + dx, y + dy) == c;
      if (!flat) continue;
      long sums[3] = {0, 0, 0};
      for (unsigned yy = 3 * y; yy < 3 * y + 3; ++yy)
        for (unsigned xx = 3 * x; xx < 3 * x + 3; ++xx)
          for (int k = 0; k < 3; ++k) sums[k] += (crt->at(xx, yy) >> (16 - 8 * k)) & 0xFF;
      const int plain[3] = {static_cast<int>((c >> 16) & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                            static_cast<int>(c & 0xFF)};
      const int best = std::max({plain[0], plain[1], plain[2]});
      ++compared;
      const long bestCrt = std::max({sums[0], sums[1], sums[2]});
      bool same = true;
      for (int k = 0; k < 3; ++k)
        if (plain[k] == best && best > 40 && sums[k] != bestCrt) same = false;
      if (best <= 40 && bestCrt > 9 * 120) same = false;
      agree += same;
    }
  ASSERT_GT(compared, 20);
  EXPECT_GE(agree * 10, compared * 9) << agree << " of " << compared;
}

TEST_F(PlayRun, TheRendererPathWritesThePictureWithoutACrtView) {
  const auto rendererOut = folder.path() / "renderer.png";
  ChildRun fallback = runProgram(
      game({"--quit-after-frames", "12", "--pads", "1-12:00", "--out", rendererOut.string()}), folder.path(), kNoGl32);
  ASSERT_EQ(fallback.exitCode, 0) << fallback.err;
  EXPECT_NE(fallback.err.find("[info] no OpenGL 3.2 ("), std::string::npos) << fallback.err;
  EXPECT_NE(fallback.err.find("): plain scaling, no CRT\n"), std::string::npos) << fallback.err;
  EXPECT_GE(summaryTicks(fallback.err), 12) << fallback.err;

  const std::optional<Png> picture = readPng(rendererOut);
  ASSERT_TRUE(picture);
  EXPECT_TRUE(drawnPicture(*picture));
  EXPECT_FALSE(std::filesystem::exists(folder.path() / "renderer_crt.png"));
}

TEST_F(PlayRun, VideoExportsEveryFrameWithItsSound) {
  const auto video = folder.path() / "video" / "run";
  ChildRun run = runProgram(game({"--quit-after-frames", "100", "--video", video.string()}), folder.path(), kHeadless);
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const std::string line = "[info] --video: 100 frames and 2.0 s of sound in " + video.string() + "\n";
  EXPECT_NE(run.err.find(line), std::string::npos) << run.err;
  // One table row per frame; without a playback the tick column stays 0.
  std::string table = "frame\ttick\n";
  for (int n = 0; n < 100; ++n) table += std::to_string(n) + "\t0\n";
  EXPECT_EQ(readWhole(video / "frames.tsv"), table);
  const std::optional<Png> first = readPng(video / "frame_000000.png");
  ASSERT_TRUE(first);
  EXPECT_TRUE(drawnPicture(*first));
  EXPECT_TRUE(std::filesystem::exists(video / "frame_000099.png"));
  EXPECT_FALSE(std::filesystem::exists(video / "frame_000100.png"));
  // 100 V-blanks of sound: 96576 stereo frames of 16 bits after the 44-byte header, the fractions carried.
  EXPECT_EQ(std::filesystem::file_size(video / "sound.wav"), 44u + 96576u * 4u);
}

TEST_F(PlayRun, AnExportThatCannotBeWrittenFailsTheRun) {
  const auto blocked = folder.put("blocked", "a file, not a folder");
  ChildRun run = runProgram(game({"--quit-after-frames", "3", "--out", (blocked / "last.png").string()}), folder.path(),
                            kHeadless);
  EXPECT_EQ(run.exitCode, 2) << run.err;
  EXPECT_NE(run.err.find("[info] presented 3 frames"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("[error] cannot write " + (blocked / "last.png").string()), std::string::npos) << run.err;
}

TEST_F(PlayRun, BadScriptsEndWithTwo) {
  struct Case {
    std::vector<std::string> arguments;
    std::string line;
  };
  const Case cases[] = {
      {{"--pads", "0-10:20"}, "[error] --pads: expected FROM-TO:HEX,... (0-10:20)\n"},
      {{"--pads", "1-10:20,,"}, "[error] --pads: expected FROM-TO:HEX,... (1-10:20,,)\n"},
      {{"--keys", "5:NoSuchKey"}, "[error] --keys: expected V:KEY,... with SDL key names (5:NoSuchKey)\n"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> arguments = c.arguments;
    arguments.insert(arguments.end(), {"--quit-after-frames", "5"});
    ChildRun run = runProgram(game(arguments), folder.path(), kHeadless);
    EXPECT_EQ(run.exitCode, 2) << c.line;
    EXPECT_NE(run.err.find(c.line), std::string::npos) << run.err;
  }
}

TEST_F(PlayRun, ScriptedF11KeysToggleFullScreenAndStoreTheSetting) {
  // The window starts windowed; the first F11 turns full screen on (as the settings already say), the second
  // turns it off again, which the settings file records.
  ChildRun run = runProgram(game({"--quit-after-frames", "8", "--keys", "3:F11,5:F11"}), folder.path(), kHeadless);
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const std::string settings = readWhole(folder.path() / "user" / "settings.json");
  EXPECT_NE(settings.find("\"fullscreen\": false"), std::string::npos) << settings;
}

TEST_F(PlayRun, CrashTestCrashesAfterTheChosenFrame) {
  ChildRun run = runProgram(game({"--quit-after-frames", "20", "--crash-test", "3"}), folder.path(), kHeadless);
  EXPECT_TRUE(run.signalled) << run.exitCode << "\n" << run.err;
  EXPECT_NE(run.err.find("[info] --crash-test: crashing on purpose at presented frame 3\n"), std::string::npos)
      << run.err;
  EXPECT_EQ(run.err.find("presented 20 frames"), std::string::npos);
}

TEST_F(PlayRun, TheViewerPresentsFramesAndRefusesAnUnknownArea) {
  ChildRun run = runProgram({"--data", GROVANTA_SOURCE_DIR, "--viewer", "--windowed", "--quit-after-frames", "5"},
                            folder.path(), kHeadless);
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.err.find("[info] presented 5 frames\n"), std::string::npos) << run.err;

  ChildRun unknown =
      runProgram({"--data", GROVANTA_SOURCE_DIR, "--viewer", "--windowed", "--area", "99", "--quit-after-frames", "5"},
                 folder.path(), kHeadless);
  EXPECT_EQ(unknown.exitCode, 1) << unknown.err;
  EXPECT_NE(unknown.err.find("no area 99"), std::string::npos) << unknown.err;
}

}  // namespace
