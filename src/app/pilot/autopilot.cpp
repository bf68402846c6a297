#include "app/pilot/autopilot.h"

#include <cstdio>
#include <fstream>
#include <map>
#include <system_error>

#include "app/data.h"
#include "app/modes.h"
#include "app/options.h"
#include "app/pilot/compact_state.h"
#include "app/pilot/conditions.h"
#include "app/pilot/pilot.h"
#include "app/pilot/route.h"
#include "app/pilot/route_cache.h"
#include "app/pilot/search.h"
#include "base/asset_store.h"
#include "base/log.h"
#include "sim/areas/areas.h"
#include "sim/rom_view.h"
#include "sim/simulation.h"
#include "world/world.h"

namespace app::pilot {
namespace {

constexpr std::int64_t kHoldLimit = 20000;
constexpr std::uintmax_t kMaxRouteBytes = 4u << 20;
constexpr std::int64_t kFrameCountBase = 1000;

// What one command needs while it runs.
struct Context {
  Pilot& pilot;
  const RouteCommand& command;
  CommandStart start;
  std::FILE* states;  // may be null
};

using Handler = bool (*)(Context&);

bool fail(Context& c, const std::string& reason) {
  c.pilot.fail(reason);
  return false;
}

sim::Simulation& game(Context& c) {
  return c.pilot.simulation();
}

bool holdsNow(Context& c, const std::vector<Condition>& conditions) {
  return allHold(conditions, game(c), c.start);
}

// Steps with the pad until the conditions hold or the count runs out.
bool runHold(Context& c) {
  const RouteCommand& k = c.command;
  for (std::int64_t played = 0;; ++played) {
    if (!k.conditions.empty() && holdsNow(c, k.conditions)) return true;
    if (k.count >= 0 && played >= k.count) return true;
    if (played >= kHoldLimit) return fail(c, "timed out");
    if (!c.pilot.step(k.word == "wait" ? 0 : k.pad)) return false;
  }
}

bool runPress(Context& c) {
  const std::int64_t count = c.command.count < 1 ? 2 : c.command.count;
  for (std::int64_t i = 0; i < count; ++i)
    if (!c.pilot.step(c.command.pad)) return false;
  for (int i = 0; i < 2; ++i)
    if (!c.pilot.step(0)) return false;
  for (int i = 0; i < 100 && game(c).tickKind() != 'S'; ++i)
    if (!c.pilot.step(0)) return false;
  return true;
}

// Searches for the conditions and plays the way found.
bool searchAndPlay(Context& c, std::vector<Condition> goal, const char* noWay, std::size_t nodes = 0) {
  SearchGoal search{std::move(goal), c.command.numbers, nodes};
  std::erase_if(search.via, [](std::int64_t v) { return v < 0; });
  const CommandStart start = commandStart(game(c));
  const SearchResult found =
      searchAndReport(game(c), c.pilot.rom(), search, start, static_cast<std::int64_t>(c.pilot.ticks().size()) + 1001);
  if (!found.found) return fail(c, noWay);
  if (!c.pilot.play(found.pads)) return false;
  return true;
}

bool runReach(Context& c) {
  if (holdsNow(c, c.command.conditions)) return true;
  if (!searchAndPlay(c, c.command.conditions, "found no way")) return false;
  if (!holdsNow(c, c.command.conditions)) return fail(c, "the path's replay missed");
  return true;
}

bool runExpect(Context& c) {
  if (holdsNow(c, c.command.conditions)) return true;
  std::printf("line %d: expect failed at tick %zu: %s\n", c.command.line, c.pilot.ticks().size(),
              stateSummary(game(c).state()).c_str());
  return fail(c, "expect failed");
}

bool waitFor(Context& c, int limit, bool (*done)(const sim::Simulation&)) {
  for (int i = 0; i < limit; ++i) {
    if (done(game(c))) return true;
    if (!c.pilot.step(0)) return false;
  }
  return done(game(c));
}

bool runLeave(Context& c) {
  if (!waitFor(c, 400, [](const sim::Simulation& m) { return m.state().screen_kind != 0; }))
    return c.pilot.failure().empty() ? fail(c, "no screen came") : false;
  const std::int64_t show = c.command.count < 0 ? 150 : c.command.count;
  for (std::int64_t i = 0; i < show && game(c).state().screen_kind != 0; ++i)
    if (!c.pilot.step(0)) return false;
  for (int i = 0; i < 2000 && game(c).state().screen_kind != 0; ++i)
    if (!c.pilot.step(i % 4 < 2 ? 0x20 : 0)) return false;
  if (game(c).state().screen_kind != 0) return fail(c, "the screen did not go");
  for (int i = 0; i < 2; ++i)
    if (!c.pilot.step(0)) return false;
  return true;
}

bool skipped(const RouteCommand& k, std::int64_t flag) {
  for (std::int64_t n : k.numbers)
    if (n < 0 && ~n == flag) return true;
  return false;
}

// The untaken stars of the area (fruit with `fruit`), as " 12@100,40" or " fruit 12@100,40".
std::string starList(const sim::Simulation& m, std::int64_t area, const RouteCommand* skip, int* count) {
  std::string out;
  if (count) *count = 0;
  const world::Area* a = world::findArea(m.world(), static_cast<int>(area));
  if (a == nullptr) return out;
  for (const world::AreaItem& item : a->items) {
    const bool star = item.type == 2, fruit = item.type == 5 || item.type == 1;
    if ((!star && !fruit) || itemTaken(m.state(), item.flag)) continue;
    if (skip != nullptr && (!star || skipped(*skip, item.flag))) continue;
    if (count) ++*count;
    char text[64];
    std::snprintf(text, sizeof text, " %s%d@%d,%d", fruit ? "fruit " : "", item.flag, item.x, item.y);
    out += text;
  }
  return out;
}

bool runCollect(Context& c) {
  for (;;) {
    int left = 0;
    starList(game(c), game(c).state().area, &c.command, &left);
    if (left == 0) return true;
    std::vector<Condition> goal = c.command.conditions;
    goal.push_back({"taken", "", 0, false, false});
    goal.push_back({"stand", "", 0, false, false});
    if (!searchAndPlay(c, goal, "no way", c.command.tryOnly ? 120000 : 0)) {
      if (c.pilot.failure() != "no way") return false;
      if (c.command.tryOnly) {
        std::printf("  collect: %d left here\n", left);
        c.pilot.fail("");
        return true;
      }
      return fail(c, "a star out of reach:" + starList(game(c), game(c).state().area, nullptr, nullptr));
    }
    if (!waitFor(c, 300, [](const sim::Simulation& m) { return standing(m.state()); })) return false;
  }
}

bool runRide(Context& c) {
  const std::vector<Condition> onLift = {{"centred", "", 0, false, false}, {"stand", "", 0, false, false}};
  if (!holdsNow(c, onLift) && !searchAndPlay(c, onLift, "found no way onto the lift")) return false;
  if (!waitFor(c, 400, [](const sim::Simulation& m) { return allHold({{"liftmoving", "", 0, false, false}}, m, {}); }))
    return c.pilot.failure().empty() ? fail(c, "the lift did not move") : false;
  for (int i = 0; i < 2000 && !holdsNow(c, c.command.conditions); ++i) {
    if (!holdsNow(c, {{"centred", "", 0, false, false}})) return fail(c, "off the lift's middle");
    if (!c.pilot.step(0)) return false;
  }
  if (!holdsNow(c, c.command.conditions)) return fail(c, "the lift did not move");
  for (int i = 0; i < 50 && holdsNow(c, {{"liftmoving", "", 0, false, false}}); ++i)
    if (!c.pilot.step(0)) return false;
  return true;
}

bool pressB(Context& c, int wait) {
  for (int i = 0; i < 2; ++i)
    if (!c.pilot.step(0x10)) return false;
  for (int i = 0; i < wait && game(c).state().lock != 0; ++i)
    if (!c.pilot.step(0)) return false;
  return true;
}

bool runPick(Context& c) {
  const std::int64_t n = c.command.object;
  std::vector<Condition> goal = c.command.conditions;
  goal.push_back({"near", "", n, false, true});
  goal.push_back({"stand", "", 0, false, false});
  if (!holdsNow(c, goal) && !searchAndPlay(c, goal, "found no way to it")) return false;
  if (!pressB(c, 200)) return false;
  if (!holdsNow(c, {{"carry", "", n, false, true}})) return fail(c, "it was not picked up");
  return true;
}

bool runDrop(Context& c) {
  const std::int64_t n = c.command.object;
  if (!holdsNow(c, {{"held", "", n, false, true}})) return fail(c, "it is not the object held out");
  if (!c.command.conditions.empty() && !holdsNow(c, c.command.conditions) &&
      !searchAndPlay(c, c.command.conditions, "found no way"))
    return false;
  if (!pressB(c, 400)) return false;
  if (game(c).tickKind() == 'S' && holdsNow(c, {{"carry", "", n, false, true}})) return fail(c, "it was not dropped");
  return true;
}

// Whether B would be taken now and the carried row is settled: no bend under way, no object sliding into the
// panel or the row shifting after a drop (inv_timers words 1, 2 and 4), no message showing.
bool readyForB(Context& c) {
  const sim::GameState& s = game(c).state();
  for (const std::size_t word : {1, 2, 4}) {
    const std::size_t at = 2 * word;
    if (s.inv_timers.size() > at + 1 && (s.inv_timers[at] | s.inv_timers[at + 1]) != 0) return false;
  }
  return s.lock == 0 && game(c).tickKind() == 'S';
}

bool waitForB(Context& c) {
  for (int i = 0; i < 600 && !readyForB(c); ++i)
    if (!c.pilot.step(0)) return false;
  return true;
}

// Brings object n to the front of the carried row: B drops the object held out and B again takes it back, to
// the other end of the row. Each turn is such a pair, so nothing is left lying when the object comes round.
bool runFront(Context& c) {
  const std::int64_t n = c.command.object;
  if (!waitForB(c)) return false;
  if (holdsNow(c, {{"held", "", n, false, true}})) return true;
  if (!holdsNow(c, {{"free", "", 0, false, false}}))
    return fail(c, sim::areas::doorAtHero(game(c).context()) >= 0 ? "in a doorway: B would go through it"
                                                                  : "another object is in reach: B would take it");
  if (!holdsNow(c, {{"carry", "", n, false, true}})) return fail(c, "the object did not come back");
  for (int turn = 0; turn < 3 && !holdsNow(c, {{"held", "", n, false, true}}); ++turn) {
    for (int press = 0; press < 2; ++press) {
      if (!waitForB(c) || !pressB(c, 200)) return false;
    }
    if (!waitForB(c)) return false;
  }
  if (!holdsNow(c, {{"held", "", n, false, true}})) return fail(c, "not held out after the turns");
  if (!holdsNow(c, {{"free", "", 0, false, false}})) return fail(c, "an object was left lying while turning the row");
  return true;
}

bool runSub(Context& c) {
  // The subgames have no pilots of their own yet (they are not played by the simulation either).
  return fail(c, "no pilot for the subgame '" + c.command.label + "': the subgames are not built yet");
}

bool runMark(Context& c) {
  if (c.states != nullptr)
    std::fprintf(c.states, "mark %d tick %zu %s\n", c.command.line, c.pilot.ticks().size(), c.command.label.c_str());
  return true;
}

std::string showName(const sim::Simulation& m, const std::string& name, std::int64_t value, bool hasValue) {
  const sim::GameState& s = m.state();
  char text[256];
  if (name == "lift" && hasValue) {
    if (value < 0 || static_cast<std::size_t>(value + 1) * 18 > s.lifts.size()) return " lift[ ? ]";
    std::string out = " lift[";
    for (int w = 0; w < 9; ++w) {
      const std::size_t at = static_cast<std::size_t>(value) * 18 + 2 * w;
      std::snprintf(text, sizeof text, " %d", static_cast<std::int16_t>(s.lifts[at] << 8 | s.lifts[at + 1]));
      out += text;
    }
    return out + " ]";
  }
  if (name == "stars") {
    std::string out;
    for (int area = 0; area < 64; ++area) {
      const std::string list = starList(m, area, nullptr, nullptr);
      if (list.empty()) continue;
      std::snprintf(text, sizeof text, "\n  area %d:", area);
      out.append(text).append(list);
    }
    return out;
  }
  if (name == "obj" && hasValue) {
    if (value < 0 || static_cast<std::size_t>(value + 1) * 16 > s.objects.size()) return " obj[ ? ]";
    auto w = [&](int k) {
      return static_cast<long long>(
          static_cast<std::int16_t>(s.objects[static_cast<std::size_t>(value) * 16 + 2 * k] << 8 |
                                    s.objects[static_cast<std::size_t>(value) * 16 + 2 * k + 1]));
    };
    std::snprintf(text, sizeof text, " obj[ area %lld x %lld y %lld frame %lld ]", w(0), w(1), w(2), w(3));
    return text;
  }
  std::snprintf(text, sizeof text, " %s=%lld", name.c_str(), static_cast<long long>(s.get(name).value_or(0)));
  return text;
}

bool runShow(Context& c) {
  std::string out = "line " + std::to_string(c.command.line) + ": show";
  const std::optional<std::vector<Condition>> names = parseConditions(c.command.label);
  if (names)
    for (const Condition& n : *names) out += showName(game(c), n.name, n.value, n.hasValue);
  std::printf("%s\n", out.c_str());
  return true;
}

const std::map<std::string, Handler>& handlers() {
  static const std::map<std::string, Handler> kHandlers = {
      {"hold", runHold},       {"wait", runHold}, {"press", runPress}, {"reach", runReach}, {"expect", runExpect},
      {"ride", runRide},       {"pick", runPick}, {"drop", runDrop},   {"front", runFront}, {"leave", runLeave},
      {"collect", runCollect}, {"sub", runSub},   {"mark", runMark},   {"show", runShow}};
  return kHandlers;
}

// Commands that play nothing still do their part when they come from the cache.
bool playsNothing(const std::string& word) {
  return word == "expect" || word == "mark" || word == "show";
}

std::optional<std::string> readRoute(const std::filesystem::path& path) {
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) {
    logMessage(kError, "--autopilot: %s is a folder, not a route", path.string().c_str());
    return std::nullopt;
  }
  const std::uintmax_t size = std::filesystem::file_size(path, ec);
  if (!ec && size > kMaxRouteBytes) {
    logMessage(kError, "--autopilot: %s is too large for a route (%llu bytes)", path.string().c_str(),
               static_cast<unsigned long long>(size));
    return std::nullopt;
  }
  std::optional<std::string> text = readTextFile(path);
  if (!text) {
    logMessage(kError, "--autopilot: no route %s", path.string().c_str());
    return std::nullopt;
  }
  if (text->find('\0') != std::string::npos) {
    logMessage(kError, "--autopilot: %s is not a text file", path.string().c_str());
    return std::nullopt;
  }
  return text;
}

// Runs one command (from the cache when it holds it); false when it failed.
bool runCommand(Pilot& pilot, const RouteCommand& command, RouteCache& cache, std::FILE* states, bool& reused) {
  sim::Simulation& m = pilot.simulation();
  const std::uint64_t digest = CompactStates::digest(m.state());
  const std::size_t first = pilot.ticks().size();
  Context context{pilot, command, commandStart(m), states};
  pilot.watchLives();
  pilot.fail("");
  reused = false;
  bool ok = false;
  if (const std::vector<std::uint8_t>* pads = cache.find(command.text, digest)) {
    reused = true;
    ok = pilot.play(*pads);
    if (ok && playsNothing(command.word)) ok = handlers().at(command.word)(context);
    if (ok && command.word == "reach" && !holdsNow(context, command.conditions))
      ok = fail(context, "the path's replay missed");
  } else {
    ok = handlers().at(command.word)(context);
  }
  if (!ok) return false;
  if (!reused) {
    std::vector<std::uint8_t> pads;
    for (std::size_t i = first; i < pilot.ticks().size(); ++i) pads.push_back(pilot.ticks()[i].pad);
    cache.store(command.text, digest, std::move(pads));
  }
  return true;
}

// One play of the route from a new game. `stale` gets the cache key of a cached way that no longer carries its
// command out (the state digest leaves the world's data out, so a changed map can leave such entries).
struct RoutePlay {
  bool completed = false;
  std::optional<std::pair<std::string, std::uint64_t>> stale;
  std::size_t reused = 0;
};

RoutePlay playRoute(Pilot& pilot, const std::vector<RouteCommand>& commands, RouteCache& cache, std::FILE* states) {
  RoutePlay play;
  for (const RouteCommand& command : commands) {
    const std::size_t first = pilot.ticks().size();
    const std::int64_t damageBefore = pilot.simulation().state().damage >> 16;
    const std::uint64_t digest = CompactStates::digest(pilot.simulation().state());
    bool reused = false;
    const bool ok = runCommand(pilot, command, cache, states, reused);
    const std::string summary = stateSummary(pilot.simulation().state());
    if (!ok) {
      if (command.word != "expect")
        std::printf("line %d: '%s' failed (%s) at tick %zu: %s\n", command.line, command.text.c_str(),
                    pilot.failure().c_str(), pilot.ticks().size(), summary.c_str());
      if (reused && !playsNothing(command.word)) play.stale = std::make_pair(command.text, digest);
      return play;
    }
    if (reused) ++play.reused;
    const std::int64_t lost = (pilot.simulation().state().damage >> 16) - damageBefore;
    if (lost > 8) std::printf("WARNING line %d: %lld energy lost\n", command.line, static_cast<long long>(lost));
    std::printf("line %4d  ticks %6zu-%6zu  %s\n", command.line, first, pilot.ticks().size(), summary.c_str());
    if (states != nullptr)
      std::fprintf(states, "line %d ticks %zu-%zu %s | %s\n", command.line, first, pilot.ticks().size(),
                   summary.c_str(), command.text.c_str());
    std::fflush(stdout);
  }
  play.completed = true;
  return play;
}

}  // namespace

int runRoute(const world::World& world, sim::RomView& rom, const AutopilotFiles& files) {
  const std::optional<std::string> text = readRoute(files.route);
  if (!text) return 2;
  const std::optional<std::vector<RouteCommand>> commands = parseRoute(*text, files.route.string());
  if (!commands) return 2;

  const std::filesystem::path cachePath = files.route.string() + ".cache";
  RouteCache cache;
  cache.load(cachePath);

  // A cached way that misses is dropped and the route played again from the start, where every command before
  // it still comes from the cache; each round drops one entry, so this ends.
  for (;;) {
    Pilot pilot(world, rom);
    if (!pilot.newGame(0)) {
      std::printf("the new game: %s\n", pilot.failure().c_str());
      return 2;
    }
    if (!files.log.empty() && !pilot.openLog(files.log)) return 2;
    std::FILE* states = nullptr;
    if (!files.states.empty()) {
      states = std::fopen(files.states.string().c_str(), "w");
      if (states == nullptr) {
        logMessage(kError, "--states: could not write %s", files.states.string().c_str());
        return 2;
      }
    }
    const RoutePlay play = playRoute(pilot, *commands, cache, states);
    if (states != nullptr) std::fclose(states);
    if (play.stale) {
      std::printf(
          "the cached way no longer works there (the world changed): it is dropped, and the route is "
          "played again from the start\n");
      cache.forget(play.stale->first, play.stale->second);
      continue;
    }

    const bool cacheSaved = cache.save(cachePath, play.completed);
    // Departure: the recording's path used to be printed without checking that it was written; a recording or
    // cache that could not be written now fails the run.
    const bool written =
        writeRecording(files.out, 0, pilot.startLives(), kFrameCountBase, pilot.ticks(),
                       {play.completed ? "the route's end" : "the route failed", "the program closed"});
    std::printf("%s: %zu ticks (%zu commands reused) -> %s\n", play.completed && written ? "route complete" : "FAILED",
                pilot.ticks().size(), play.reused, files.out.string().c_str());
    std::fflush(stdout);
    return play.completed && written && cacheSaved ? 0 : 2;
  }
}

}  // namespace app::pilot

namespace app {

int runAutopilot(Data& data, const Options& options) {
  pilot::AutopilotFiles files{options.autopilot, options.out, options.log, options.states};
  return pilot::runRoute(*data.world, *data.rom, files);
}

}  // namespace app
