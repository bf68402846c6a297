#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <functional>
#include <ostream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/command_line.h"

namespace {

using app::Options;
using app::ParsedCommandLine;
using Outcome = ParsedCommandLine::Outcome;

struct Case {
  const char* name;
  std::vector<std::string> arguments;
  std::function<void(const Options&)> check;
};

class CommandLineCases : public ::testing::TestWithParam<Case> {};

TEST_P(CommandLineCases, FillsTheOptions) {
  const Case& c = GetParam();
  ParsedCommandLine parsed = app::parseCommandLine(c.arguments);
  ASSERT_EQ(parsed.outcome, Outcome::kRun);
  c.check(parsed.options);
}

const Case kCases[] = {
    {"Defaults",
     {},
     [](const Options& o) {
       EXPECT_EQ(o.area, 21);
       EXPECT_EQ(o.crashTest, -1);
       EXPECT_EQ(o.renderArea, -1);
       EXPECT_EQ(o.camera, -1);
       EXPECT_EQ(o.bot, -1);
       EXPECT_EQ(o.ticks, 20000);
       EXPECT_EQ(o.seconds, 20.0);
       EXPECT_FALSE(o.windowed);
       EXPECT_TRUE(o.effects.empty());
     }},
    {"ValuesAndFlags",
     {"--data", "d",          "--user",     "u",      "--windowed", "--no-intro", "--quit-after-frames",
      "30",     "--out",      "o.png",      "--pads", "1-2:08",     "--keys",     "5:F11",
      "--f12",  "9000000000", "--playback", "p",      "--video",    "v",          "--crash-test",
      "0",      "--viewer",   "--area",     "7"},
     [](const Options& o) {
       EXPECT_EQ(o.dataDir, "d");
       EXPECT_EQ(o.userDir, "u");
       EXPECT_TRUE(o.windowed);
       EXPECT_TRUE(o.noIntro);
       EXPECT_EQ(o.quitAfterFrames, 30);
       EXPECT_EQ(o.out, "o.png");
       EXPECT_EQ(o.pads, "1-2:08");
       EXPECT_EQ(o.keys, "5:F11");
       EXPECT_EQ(o.f12, 9000000000LL);
       EXPECT_EQ(o.playback, "p");
       EXPECT_EQ(o.video, "v");
       EXPECT_EQ(o.crashTest, 0);
       EXPECT_TRUE(o.viewer);
       EXPECT_EQ(o.area, 7);
     }},
    {"ToolOptions",
     {"--render-area",
      "3",
      "--camera",
      "64",
      "--render-goldens",
      "g",
      "--replay",
      "r",
      "--subgame",
      "--menus",
      "--live",
      "--game",
      "--new-game",
      "--recording",
      "rec",
      "--poke",
      "pk",
      "--frames",
      "f",
      "--sprites",
      "s",
      "--verbose",
      "--port-art",
      "--hint-buttons",
      "A,B",
      "--check-menu",
      "--check-demo",
      "--autopilot",
      "a",
      "--log",
      "l",
      "--states",
      "st",
      "--bot",
      "4",
      "--ticks",
      "100",
      "--language",
      "2",
      "--prefix",
      "px",
      "--check-sound",
      "cs",
      "--z80-trace",
      "ta",
      "tb",
      "--sound-wav",
      "w.wav",
      "--tune",
      "5",
      "--seconds",
      "2.5"},
     [](const Options& o) {
       EXPECT_EQ(o.renderArea, 3);
       EXPECT_EQ(o.camera, 64);
       EXPECT_EQ(o.renderGoldens, "g");
       EXPECT_EQ(o.replay, "r");
       EXPECT_TRUE(o.subgame && o.menus && o.live && o.game && o.newGame && o.verbose && o.portArt);
       EXPECT_EQ(o.recording, "rec");
       EXPECT_EQ(o.poke, "pk");
       EXPECT_EQ(o.frames, "f");
       EXPECT_EQ(o.sprites, "s");
       EXPECT_EQ(o.hintButtons, "A,B");
       EXPECT_TRUE(o.checkMenu && o.checkDemo);
       EXPECT_EQ(o.autopilot, "a");
       EXPECT_EQ(o.log, "l");
       EXPECT_EQ(o.states, "st");
       EXPECT_EQ(o.bot, 4);
       EXPECT_EQ(o.ticks, 100);
       EXPECT_EQ(o.language, 2);
       EXPECT_EQ(o.prefix, "px");
       EXPECT_EQ(o.checkSound, "cs");
       EXPECT_TRUE(o.z80Trace);
       EXPECT_EQ(o.z80TraceA, "ta");
       EXPECT_EQ(o.z80TraceB, "tb");
       EXPECT_EQ(o.soundWav, "w.wav");
       EXPECT_EQ(o.tune, 5);
       EXPECT_EQ(o.seconds, 2.5);
     }},
    {"LastValueOptionTakesEmptyString",
     {"--data", "first", "--data"},
     [](const Options& o) { EXPECT_EQ(o.dataDir, ""); }},
    {"LaterOccurrenceWins",
     {"--area", "3", "--area", "9", "--out", "a", "--out", "b"},
     [](const Options& o) {
       EXPECT_EQ(o.area, 9);
       EXPECT_EQ(o.out, "b");
     }},
    {"ValueMayLookLikeAnOption",
     {"--out", "--windowed"},
     [](const Options& o) {
       EXPECT_EQ(o.out, "--windowed");
       EXPECT_FALSE(o.windowed);
     }},
    {"NumbersReadLikeAtoi",
     {"--quit-after-frames", "abc", "--area", " 12xyz", "--camera", "-5", "--tune", "3.9"},
     [](const Options& o) {
       EXPECT_EQ(o.quitAfterFrames, 0);
       EXPECT_EQ(o.area, 12);
       EXPECT_EQ(o.camera, -5);
       EXPECT_EQ(o.tune, 3);
     }},
    {"OutOfRangeNumbersClamp",
     {"--quit-after-frames", "99999999999", "--area", "-99999999999", "--f12", "999999999999999999999999"},
     [](const Options& o) {
       EXPECT_EQ(o.quitAfterFrames, 2147483647);
       EXPECT_EQ(o.area, -2147483647 - 1);
       EXPECT_EQ(o.f12, 9223372036854775807LL);
     }},
    {"SecondsAreKeptAsReadForTheExportToRefuse",
     {"--seconds", "nan"},
     [](const Options& o) { EXPECT_TRUE(std::isnan(o.seconds)); }},
    {"NegativeSecondsAreKept", {"--seconds", "-3"}, [](const Options& o) { EXPECT_EQ(o.seconds, -3.0); }},
    {"EffectsAccumulate",
     {"--effect", "12", "--effect", "pause@30", "--effect", "resume", "--effect", "pauseX@2", "--effect", "7@0",
      "--effect"},
     [](const Options& o) {
       using P = std::pair<std::int32_t, std::int32_t>;
       EXPECT_EQ(o.effects, (std::vector<P>{{12, 1}, {-1, 30}, {-2, 1}, {-1, 2}, {7, 0}, {0, 1}}));
       EXPECT_EQ(o.badEffects, (std::vector<std::string>{"7@0", ""})) << "block 0 never comes; empty is no effect";
     }},
    {"Z80TraceShortOfValues",
     {"--z80-trace", "only"},
     [](const Options& o) {
       EXPECT_TRUE(o.z80Trace);
       EXPECT_EQ(o.z80TraceA, "only");
       EXPECT_EQ(o.z80TraceB, "");
     }},
};

// A case prints as its name (ctest lists it so), not as its bytes.
void PrintTo(const Case& c, std::ostream* os) {
  *os << c.name;
}

INSTANTIATE_TEST_SUITE_P(Table, CommandLineCases, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case>& info) { return info.param.name; });

TEST(CommandLine, VersionAndUnknownArgumentsStopParsingWhereTheyStand) {
  ParsedCommandLine versionFirst = app::parseCommandLine({"--version", "--nonsense"});
  EXPECT_EQ(versionFirst.outcome, Outcome::kVersion);

  ParsedCommandLine unknownFirst = app::parseCommandLine({"--windowed", "--nonsense", "--version"});
  EXPECT_EQ(unknownFirst.outcome, Outcome::kUnknownArgument);
  EXPECT_EQ(unknownFirst.unknownArgument, "--nonsense");

  // No short forms, no joined forms, no positional arguments.
  for (const char* word : {"-v", "--area=3", "file.txt"}) {
    ParsedCommandLine parsed = app::parseCommandLine({word});
    EXPECT_EQ(parsed.outcome, Outcome::kUnknownArgument) << word;
    EXPECT_EQ(parsed.unknownArgument, word);
  }
}

TEST(CommandLine, InteractiveRunIsAnythingButTheToolModes) {
  struct Row {
    std::vector<std::string> arguments;
    bool interactive;
  };
  const Row rows[] = {
      {{}, true},
      {{"--check-demo"}, true},
      {{"--bot", "-1"}, true},
      {{"--windowed", "--out", "x.png"}, true},
      {{"--bot", "0"}, false},
      {{"--viewer"}, false},
      {{"--replay", "r"}, false},
      {{"--render-area", "0"}, false},
      {{"--render-goldens", "g"}, false},
      {{"--check-menu"}, false},
      {{"--check-sound", "d"}, false},
      {{"--z80-trace", "a", "b"}, false},
      {{"--sound-wav", "w"}, false},
      {{"--autopilot", "a"}, false},
  };
  for (const Row& row : rows) {
    ParsedCommandLine parsed = app::parseCommandLine(row.arguments);
    EXPECT_EQ(app::isInteractiveRun(parsed.options), row.interactive)
        << (row.arguments.empty() ? "(none)" : row.arguments[0]);
  }
}

}  // namespace

namespace {

// The manual page's option entries (".TP", then ".B" or ".BI" with the option, "\-" for each dash).
std::set<std::string> manualPageOptions(const std::string& text) {
  std::set<std::string> options;
  std::istringstream in(text);
  bool entry = false;
  for (std::string line; std::getline(in, line);) {
    if (entry && (line.starts_with(".B ") || line.starts_with(".BI "))) {
      std::istringstream words(line);
      std::string macro, word;
      words >> macro >> word;
      for (std::size_t at; (at = word.find("\\-")) != std::string::npos;) word.erase(at, 1);
      if (word.starts_with("--")) options.insert(word);
    }
    entry = line == ".TP";
  }
  return options;
}

// Every option the parser accepts has an entry in the manual page, and the page describes no option the
// parser would refuse: the two cannot drift apart unnoticed.
TEST(CommandLine, TheManualPageListsExactlyTheParsersOptions) {
  std::ifstream file(std::string(GROVANTA_SOURCE_DIR) + "/packaging/grovanta.6");
  ASSERT_TRUE(file) << "packaging/grovanta.6 is missing";
  std::stringstream text;
  text << file.rdbuf();
  const std::set<std::string> documented = manualPageOptions(text.str());
  for (const std::string& name : app::optionNames()) EXPECT_TRUE(documented.contains(name)) << name << " has no entry";
  for (const std::string& name : documented) {
    const std::vector<std::string> names = app::optionNames();
    EXPECT_NE(std::find(names.begin(), names.end(), name), names.end()) << name << " is not an option of the parser";
    EXPECT_NE(app::parseCommandLine({name}).outcome, Outcome::kUnknownArgument) << name;
  }
}

}  // namespace
