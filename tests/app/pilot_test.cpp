// The autopilot: route scripts read line by line, the conditions, the state search on a small area, the route
// cache, the random bot, and the world's own route replayed from its cache.
#include <gtest/gtest.h>

#include <fstream>
#include <variant>

#include "app/pilot/autopilot.h"
#include "app/pilot/conditions.h"
#include "app/pilot/pilot.h"
#include "app/pilot/route.h"
#include "app/pilot/search.h"
#include "app/recording/recording.h"
#include "sim/hero/hero_fixture.h"
#include "sim/rom_view.h"
#include "sim/simulation.h"
#include "temp_folder.h"
#include "world/world.h"

namespace {

using app::pilot::Condition;
using app::pilot::RouteCommand;

std::string reasonFor(const std::string& line) {
  const auto parsed = app::pilot::parseRouteLine(line, 7);
  return std::holds_alternative<std::string>(parsed) ? std::get<std::string>(parsed) : "";
}

RouteCommand commandFor(const std::string& line) {
  const auto parsed = app::pilot::parseRouteLine(line, 7);
  EXPECT_TRUE(std::holds_alternative<RouteCommand>(parsed)) << line << ": " << reasonFor(line);
  return std::holds_alternative<RouteCommand>(parsed) ? std::get<RouteCommand>(parsed) : RouteCommand{};
}

TEST(RouteParser, BadLinesGiveTheirReason) {
  const struct {
    const char* line;
    const char* reason;
  } cases[] = {
      {"jump over it", "unknown command 'jump'"},
      {"hold R", "hold needs 'for N' or 'until'"},
      {"hold R for", "hold needs 'for N' or 'until'"},
      {"hold R+Q for 3", "bad command"},
      {"hold R+ for 3", "bad command"},
      {"press X", "bad command"},
      {"reach x>>=", "bad command"},
      {"reach x=0y", "bad command"},
      {"reach ?", "bad command"},
      {"hold R until", "bad command"},
      {"expect", "bad command"},
      {"reach area=3 via two", "bad command"},
      {"wait for 3 via 4", "bad command"},
      {"pick 62", "bad command"},
      {"collect skip", "bad command"},
      {"mark", "bad command"},
  };
  for (const auto& c : cases) EXPECT_EQ(reasonFor(c.line), c.reason) << c.line;
}

TEST(RouteParser, CommandsPadsDurationsAndConditions) {
  const RouteCommand hold = commandFor("hold R+jump for 30 until !air and x>=0x100");
  EXPECT_EQ(hold.pad, 0x28);
  EXPECT_EQ(hold.count, 30);
  ASSERT_EQ(hold.conditions.size(), 2u);
  EXPECT_EQ(hold.conditions[0].name, "air");
  EXPECT_TRUE(hold.conditions[0].negate);
  EXPECT_EQ(hold.conditions[1].op, ">=");
  EXPECT_EQ(hold.conditions[1].value, 256);

  EXPECT_EQ(app::pilot::parsePads("L+U+D+B+C+A+S"), 0xF7);
  EXPECT_EQ(app::pilot::parsePads("none"), 0);
  EXPECT_EQ(app::pilot::parsePads("left+right+up+down+start"), 0x8F);

  const RouteCommand collect = commandFor("collect try skip 3 40 starsleft<200 via 5 6");
  EXPECT_TRUE(collect.tryOnly);
  EXPECT_EQ(collect.numbers, (std::vector<std::int64_t>{~3LL, ~40LL, 5, 6}));
  ASSERT_EQ(collect.conditions.size(), 1u);
  EXPECT_EQ(collect.text, "collect try skip 3 40 starsleft<200 via 5 6");

  const RouteCommand pick = commandFor("pick 12 near 12 x!=-5");
  EXPECT_EQ(pick.object, 12);
  ASSERT_EQ(pick.conditions.size(), 2u);
  EXPECT_TRUE(pick.conditions[0].hasValue);
  EXPECT_EQ(pick.conditions[1].value, -5);
  EXPECT_EQ(commandFor("sub cart 2").label, "cart");
  EXPECT_EQ(commandFor("mark the gate is open").label, "the gate is open");
}

TEST(RouteParser, AFileIsReadWithCommentsAndCrLfAndFailsOnAnyBadLine) {
  const auto good = app::pilot::parseRoute("# a route\r\n\r\nexpect area=21   # start\r\n  wait 5\r\n", "r.txt");
  ASSERT_TRUE(good);
  ASSERT_EQ(good->size(), 2u);
  EXPECT_EQ((*good)[0].line, 3);
  EXPECT_EQ((*good)[0].text, "expect area=21");
  EXPECT_EQ((*good)[1].line, 4);
  EXPECT_FALSE(app::pilot::parseRoute("expect area=21\nhold R\nwait 3\n", "r.txt"));
}

class RealGame : public ::testing::Test {
 protected:
  void SetUp() override {
    std::optional<world::World> loaded = world::loadWorld(GROVANTA_SOURCE_DIR);
    ASSERT_TRUE(loaded);
    world = std::move(*loaded);
    rom = sim::loadRomView(GROVANTA_SOURCE_DIR, world);
    ASSERT_TRUE(rom.loaded());
  }

  // Runs a route from a file in the temporary folder; returns the exit code and keeps what it printed.
  int route(const std::string& name, const std::string& text, std::string& printed) {
    const std::filesystem::path file = folder.put(name, text);
    testing::internal::CaptureStdout();
    const int code = app::pilot::runRoute(world, rom, {file, folder.path() / (name + ".rec"), {}, {}});
    printed = testing::internal::GetCapturedStdout();
    return code;
  }

  testing_support::TempFolder folder;
  world::World world;
  sim::RomView rom;
};

TEST_F(RealGame, ConditionsReadTheGame) {
  app::pilot::Pilot pilot(world, rom);
  ASSERT_TRUE(pilot.newGame(0));
  sim::GameState& s = pilot.simulation().mutableState();
  s.flags[5] = 0x04;  // item 42 taken
  s.inventory[8] = 0;
  s.inventory[9] = 7;  // object 7 held out
  s.damage = 3 << 16;
  const app::pilot::CommandStart start{s.stars_left + 2, 0};
  const struct {
    const char* conditions;
    bool holds;
  } cases[] = {
      {"area=21 x=160 y<=152 lives=2 starsleft=250", true},
      {"area!=21", false},
      {"star=42 !star=41", true},
      {"star=5000", false},
      {"star=-1", false},
      {"held=7 slot=7", true},
      {"carry=70", false},
      {"taken=2", true},
      {"taken=3", false},
      {"damage=3 damage>2", true},
      {"lives and no_such_field=0", true},
      {"liftactive=99", false},
      {"nodes=5 anywhere dieok", true},
  };
  for (const auto& c : cases) {
    const std::optional<std::vector<Condition>> list = app::pilot::parseConditions(c.conditions);
    ASSERT_TRUE(list) << c.conditions;
    EXPECT_EQ(app::pilot::allHold(*list, pilot.simulation(), start), c.holds) << c.conditions;
  }
}

TEST_F(RealGame, RoutesRunAndASecondRunReusesEveryCommand) {
  const std::string text =
      "expect area=21\n"
      "hold R for 30 until !air\n"
      "reach x>=300 stand\n"
      "hold L for 20\n"
      "expect x<300\n";
  std::string first, second;
  ASSERT_EQ(route("walk.txt", text, first), 0) << first;
  EXPECT_NE(first.find("route complete: "), std::string::npos);
  EXPECT_NE(first.find("(0 commands reused)"), std::string::npos);
  EXPECT_NE(first.find("  search: "), std::string::npos);
  const std::string firstGame = testing_support::readWhole(folder.path() / "walk.txt.rec");
  ASSERT_EQ(route("walk.txt", text, second), 0) << second;
  EXPECT_NE(second.find("(5 commands reused)"), std::string::npos) << second;
  EXPECT_EQ(second.find("  search: "), std::string::npos);
  EXPECT_EQ(testing_support::readWhole(folder.path() / "walk.txt.rec"), firstGame);

  // A changed route works out only what changed, and its cache keeps no entries of the old lines.
  std::string third;
  ASSERT_EQ(route("walk.txt", "expect area=21\nhold R for 30 until !air\nhold L for 5\n", third), 0) << third;
  EXPECT_NE(third.find("(2 commands reused)"), std::string::npos) << third;
  const std::string cache = testing_support::readWhole(folder.path() / "walk.txt.cache");
  EXPECT_NE(cache.find("\thold L for 5\n"), std::string::npos);
  EXPECT_EQ(cache.find("reach x>=300"), std::string::npos) << cache;

  const app::InputRecording recording = app::loadRecording(folder.path() / "walk.txt.rec");
  ASSERT_TRUE(recording.valid);
  EXPECT_EQ(recording.endReason, "the program closed");
  EXPECT_EQ(recording.frame_count, 1000);
}

TEST_F(RealGame, ACachedWayThatMissesIsDroppedAndWorkedOutAgain) {
  // The cache is keyed by the game's state, which leaves the world's data out: after a map changes, a cached
  // way can miss its goal. The run drops that entry and searches again instead of failing.
  const std::string text = "expect area=21\nreach x>=300 stand\n";
  std::string first;
  ASSERT_EQ(route("stale.txt", text, first), 0) << first;
  const std::filesystem::path cachePath = folder.path() / "stale.txt.cache";
  std::string cache = testing_support::readWhole(cachePath);
  const std::size_t line = cache.find("\treach x>=300 stand");
  ASSERT_NE(line, std::string::npos) << cache;
  const std::size_t pads = cache.rfind('\t', line - 1) + 1;
  cache.replace(pads, line - pads, "00x4");
  folder.put("stale.txt.cache", cache);

  std::string second;
  ASSERT_EQ(route("stale.txt", text, second), 0) << second;
  EXPECT_NE(second.find("the cached way no longer works there"), std::string::npos) << second;
  EXPECT_NE(second.find("route complete: "), std::string::npos) << second;
  EXPECT_EQ(testing_support::readWhole(cachePath).find("00x4\treach"), std::string::npos);
}

TEST_F(RealGame, FailuresEndTheRouteWithTheirReason) {
  const struct {
    const char* text;
    const char* printed;
  } cases[] = {
      {"expect area=3\n", "line 1: expect failed at tick 0: area 21"},
      {"wait 3\nsub tower\n", "line 2: 'sub tower' failed (no pilot for the subgame 'tower'"},
      {"hold R for 20001 until area=99\n", "failed (timed out)"},
      {"leave 5\n", "failed (no screen came)"},
  };
  for (const auto& c : cases) {
    std::string printed;
    EXPECT_EQ(route("bad.txt", c.text, printed), 2) << c.text;
    EXPECT_NE(printed.find(c.printed), std::string::npos) << printed;
    EXPECT_NE(printed.find("FAILED: "), std::string::npos) << printed;
    // The recording up to the failure is written all the same.
    EXPECT_NE(testing_support::readWhole(folder.path() / "bad.txt.rec").find(" the route failed\nend "),
              std::string::npos);
    std::filesystem::remove(folder.path() / "bad.txt.cache");
  }
}

TEST_F(RealGame, BadRouteFilesEndWithTwoAndWriteNothing) {
  const std::filesystem::path out = folder.path() / "out.rec";
  const std::filesystem::path routes[] = {
      folder.path() / "missing.txt",
      folder.path(),
      folder.put("binary.txt", std::string("\x7f"
                                           "ELF\0\0\x01hold R\n",
                                           12)),
      folder.put("unparsable.txt", "hold R\n"),
  };
  for (const std::filesystem::path& r : routes) {
    testing::internal::CaptureStdout();
    EXPECT_EQ(app::pilot::runRoute(world, rom, {r, out, {}, {}}), 2) << r;
    testing::internal::GetCapturedStdout();
    EXPECT_FALSE(std::filesystem::exists(out)) << r;
  }
}

TEST_F(RealGame, TheBotIsDeterminedByItsSeed) {
  auto run = [&](std::int64_t seed, const std::string& name) {
    testing::internal::CaptureStdout();
    const int code = app::pilot::runRandomBot(world, rom, {seed, 3000, 0, {}, folder.path() / name});
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_EQ(code, 0) << printed;
    EXPECT_NE(printed.find("the ticks ran out;"), std::string::npos) << printed;
    return testing_support::readWhole(folder.path() / name);
  };
  const std::string a = run(7, "a.txt"), b = run(7, "b.txt"), c = run(8, "c.txt");
  EXPECT_EQ(a, b);
  EXPECT_NE(a, c);

  // A prefix is played first; one whose ticks do not fit the game is refused.
  folder.put("prefix.txt", "1 S 08\n10 S 00\nend 12 x\n");
  testing::internal::CaptureStdout();
  EXPECT_EQ(app::pilot::runRandomBot(world, rom, {7, 10, 0, folder.path() / "prefix.txt", folder.path() / "p.txt"}), 0);
  EXPECT_NE(testing::internal::GetCapturedStdout().find("(12 ticks of prefix)"), std::string::npos);
  EXPECT_EQ(app::loadRecording(folder.path() / "p.txt").ticks.size(), 22u);
  folder.put("wrong.txt", "1 W 08\n");
  testing::internal::CaptureStdout();
  EXPECT_EQ(app::pilot::runRandomBot(world, rom, {7, 10, 0, folder.path() / "wrong.txt", folder.path() / "w.txt"}), 2);
  EXPECT_NE(
      testing::internal::GetCapturedStdout().find("the prefix does not fit: tick 1 is a W, the simulation runs a S"),
      std::string::npos);
}

TEST_F(RealGame, TheWorldRouteReplaysFromItsCacheToItsLastExpect) {
  const std::filesystem::path source = std::filesystem::path(GROVANTA_SOURCE_DIR) / "data" / "route";
  const std::string text = testing_support::readWhole(source / "world.txt");
  folder.put("world.txt.cache", testing_support::readWhole(source / "world.txt.cache"));
  const std::optional<std::vector<RouteCommand>> commands = app::pilot::parseRoute(text, "world.txt");
  ASSERT_TRUE(commands);
  ASSERT_EQ(commands->back().word, "expect");
  std::string printed;
  ASSERT_EQ(route("world.txt", text, printed), 0) << printed;
  char reused[48];
  std::snprintf(reused, sizeof reused, "(%zu commands reused)", commands->size());
  EXPECT_NE(printed.find(reused), std::string::npos) << printed;
  EXPECT_EQ(printed.find("  search: "), std::string::npos)
      << "the cache no longer fits the game: play the route again to refresh data/route/world.txt.cache "
         "(data/README.md)\n"
      << printed;
}

// A floor with a ledge 24 pixels high from x 200 on: the hero only gets up there by jumping.
class LedgeSearch : public hero_test::HeroTest {};

TEST_F(LedgeSearch, FindsAJumpOntoTheLedge) {
  fill(21, 200, 152, 320, 176);
  start(40, hero_test::kRestY);
  sim::Simulation& game = sim();
  const std::vector<Condition> goal = *app::pilot::parseConditions("x>=220 y<=128 stand");

  // Walking right alone stops at the ledge's wall.
  sim::Simulation walker(f.world, *f.rom);
  walker.loadState(game.state());
  for (int i = 0; i < 200; ++i) walker.step(0x08, i);
  EXPECT_FALSE(app::pilot::allHold(goal, walker, {}));

  testing::internal::CaptureStdout();
  const app::pilot::SearchResult found =
      app::pilot::searchAndReport(game, *f.rom, {goal, {}, 0}, app::pilot::commandStart(game), 1001);
  const std::string printed = testing::internal::GetCapturedStdout();
  ASSERT_TRUE(found.found) << printed;
  EXPECT_NE(printed.find("  search: "), std::string::npos);
  bool jumped = false;
  for (std::size_t i = 0; i < found.pads.size(); ++i) {
    jumped = jumped || (found.pads[i] & 0x20) != 0;
    game.step(found.pads[i], static_cast<std::int64_t>(1001 + i));
  }
  EXPECT_TRUE(jumped);
  EXPECT_TRUE(app::pilot::allHold(goal, game, {}));

  // A goal out of reach stops at the node limit, and is tried once more with a longer one.
  testing::internal::CaptureStdout();
  const app::pilot::SearchResult none =
      app::pilot::searchAndReport(game, *f.rom, {*app::pilot::parseConditions("y<=40 stand nodes=2000"), {}, 0},
                                  app::pilot::commandStart(game), 1001);
  EXPECT_FALSE(none.found);
  const std::string limited = testing::internal::GetCapturedStdout();
  EXPECT_NE(limited.find("node limit reached (pruned: dying "), std::string::npos) << limited;
  EXPECT_NE(limited.find("search: again, timed\n"), std::string::npos) << limited;
}

}  // namespace
