#include "app/pilot/search.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <queue>
#include <unordered_set>

#include "app/pilot/compact_state.h"
#include "sim/rom_view.h"
#include "sim/simulation.h"
#include "world/world.h"

namespace app::pilot {
namespace {

using sim::GameState;

// The pads tried from every state, each held for a group of ticks: still, the two ways, a jump straight up and
// to either side, and up (doors).
constexpr std::uint8_t kAlphabet[] = {0x00, 0x08, 0x04, 0x20, 0x28, 0x24, 0x01};
constexpr int kGroupTicks = 4;
constexpr double kPixelsPerTick = 2.0;
constexpr double kUnknownAreaDistance = 400.0;
constexpr double kTimedSeconds = 90.0;

struct Node {
  std::int32_t parent = -1;
  std::uint8_t pad = 0;
  std::uint8_t ticks = 0;  // ticks of the group that led here
  std::uint32_t depth = 0;
  std::uint32_t state = 0;
  float f = 0;
  float h = 0;
};

struct Open {
  float f;
  float h;
  std::uint32_t node;
  bool operator<(const Open& o) const {
    if (f != o.f) return f > o.f;
    if (h != o.h) return h > o.h;
    return node > o.node;
  }
};

// The hero's part of the state: two states that agree on it play the same from here (the rest of the world
// moves the same way whatever the pad).
std::uint64_t heroDigest(const GameState& s) {
  const std::int64_t values[] = {
      s.area,       s.x,    s.y,          s.vy,           s.dx,        s.fast,   s.speed_l,    s.speed_r,
      s.jump,       s.air,  s.settled,    s.stun,         s.lock,      s.facing, s.dying,      s.screen_kind,
      s.in_subgame, s.mode, s.stars_left, s.damage >> 14, s.lift_near, s.anim,   s.anim_index, s.lives};
  std::uint64_t h = 0x9E3779B97F4A7C15ull;
  for (std::int64_t v : values) {
    h ^= static_cast<std::uint64_t>(v) + 0x9E3779B97F4A7C15ull + (h << 6) + (h >> 2);
  }
  return h;
}

struct Options {
  std::size_t nodes = 300000;
  std::int64_t maxLoss = 12;
  bool lowLoss = false;
  bool dieOk = false;
  double weight = 2.0;
  bool anywhere = false;
  bool screen = false;
  bool subgame = false;
  bool safe = false;                // the goal also needs the hero standing still on the ground
  std::vector<std::int64_t> areas;  // allowed areas
};

Options readOptions(const SearchGoal& goal, std::int64_t startArea) {
  Options o;
  if (goal.nodes != 0) o.nodes = goal.nodes;
  o.areas.push_back(startArea);
  for (std::int64_t a : goal.via) o.areas.push_back(a);
  for (const Condition& c : goal.conditions) {
    if (c.name == "nodes" && c.hasValue && c.value > 0) o.nodes = static_cast<std::size_t>(c.value);
    if (c.name == "maxloss" && c.hasValue) o.maxLoss = c.value;
    if (c.name == "lowloss") o.lowLoss = true;
    if (c.name == "dieok") o.dieOk = true;
    if (c.name == "weight" && c.hasValue) o.weight = static_cast<double>(c.value);
    if (c.name == "anywhere") o.anywhere = true;
    if (c.name == "screen") o.screen = true;
    if (c.name == "sub" || c.name == "mode") o.subgame = true;
    if (c.name == "safe") o.safe = true;
    if (c.name == "area" && c.hasValue && (c.op.empty() || c.op == "=" || c.op == "==") && !c.negate)
      o.areas.push_back(c.value);
  }
  return o;
}

// Places in the area from which the hero leaves for `target`.
struct Spot {
  double x0, x1, y0, y1;
};

std::vector<Spot> waysTo(const sim::Simulation& m, std::int64_t area, std::int64_t target) {
  std::vector<Spot> spots;
  const world::Area* a = world::findArea(m.world(), static_cast<int>(area));
  if (a == nullptr) return spots;
  const double width = a->width * 32.0;
  auto pair = [&](const world::AreaExit(&exits)[2], double y) {
    if (exits[0].area == target) spots.push_back({-1e9, static_cast<double>(exits[0].threshold), y, y});
    if (exits[1].area == target) spots.push_back({static_cast<double>(exits[1].threshold), 1e9, y, y});
  };
  pair(a->exits_top, -1);
  pair(a->exits_bottom, 168);
  for (const world::Edge& e : m.world().edges) {
    if (e.area != area) continue;
    if (e.left.area == target) spots.push_back({-1e9, static_cast<double>(e.left.threshold) - 1, -1e9, 1e9});
    if (e.right.area == target) spots.push_back({static_cast<double>(e.right.threshold) + 1, 1e9, -1e9, 1e9});
  }
  for (const world::Door& d : m.world().doors)
    if (d.area == area && d.target == target)
      spots.push_back({static_cast<double>(d.rect[0]), static_cast<double>(d.rect[0] + d.rect[2]),
                       static_cast<double>(d.rect[1]), static_cast<double>(d.rect[1] + d.rect[3])});
  (void)width;
  return spots;
}

double gap(double v, double lo, double hi) {
  return v < lo ? lo - v : (v > hi ? v - hi : 0.0);
}

// An estimate, in pixels, of how far the hero is from the goal.
double distance(const sim::Simulation& m, const std::vector<Condition>& goal) {
  const GameState& s = m.state();
  const double x = static_cast<double>(heroX(s)), y = static_cast<double>(heroY(s));
  double d = 0;
  std::int64_t goalArea = -1;
  for (const Condition& c : goal)
    if (c.name == "area" && c.hasValue && !c.negate && (c.op.empty() || c.op == "=" || c.op == "=="))
      goalArea = c.value;
  if (goalArea >= 0 && goalArea != s.area) {
    const std::vector<Spot> spots = waysTo(m, s.area, goalArea);
    if (spots.empty()) return kUnknownAreaDistance;
    double best = 1e18;
    for (const Spot& p : spots) best = std::min(best, gap(x, p.x0, p.x1) + gap(y, p.y0, p.y1));
    return best;
  }
  for (const Condition& c : goal) {
    if (c.negate || !c.hasValue) continue;
    const double v = static_cast<double>(c.value);
    double here = 0;
    if (c.name == "x")
      here = x;
    else if (c.name == "y")
      here = y;
    else
      continue;
    if (c.op == ">=" || c.op == ">")
      d += std::max(0.0, v - here);
    else if (c.op == "<=" || c.op == "<")
      d += std::max(0.0, here - v);
    else if (c.op != "!=")
      d += std::abs(v - here);
  }
  for (const Condition& c : goal) {
    if (c.negate || (c.name != "at" && c.name != "dropat") || !c.hasValue) continue;
    const sim::RomView& rom = m.rom();
    if (c.value < 0 || c.value + 8 > sim::RomView::kSize) continue;
    const auto a = static_cast<std::uint32_t>(c.value);
    const double rx = rom.isPresent(a) ? rom.signedWordAt(a) : x, ry = rom.isPresent(a) ? rom.signedWordAt(a + 2) : y;
    const double rw = rom.isPresent(a) ? rom.signedWordAt(a + 4) : 0,
                 rh = rom.isPresent(a) ? rom.signedWordAt(a + 6) : 0;
    d += gap(x + 10, rx, rx + rw) + gap(y + 10, ry, ry + rh);
  }
  if (findTerm(goal, "taken") || findTerm(goal, "eaten")) {
    double best = -1;
    if (const world::Area* a = world::findArea(m.world(), static_cast<int>(s.area)))
      for (const world::AreaItem& item : a->items) {
        const bool wanted = findTerm(goal, "taken") ? (item.type == 2) : (item.type == 1 || item.type == 5);
        if (!wanted || itemTaken(s, item.flag)) continue;
        const double e = std::abs(item.x - x) + std::abs(item.y - y);
        if (best < 0 || e < best) best = e;
      }
    if (best > 0) d += best;
  }
  return d;
}

class Searcher {
 public:
  Searcher(const sim::Simulation& from, sim::RomView& rom, const SearchGoal& goal, const CommandStart& start,
           std::int64_t tickBase, bool timed)
      : from_(from),
        goal_(goal),
        start_(start),
        tickBase_(tickBase),
        timed_(timed),
        options_(readOptions(goal, from.state().area)),
        worker_(from.world(), rom),
        states_(from.state()) {
    worker_.setCheats(from.cheats());
    if (timed_) options_.nodes *= 4;
    startLives_ = from.state().lives;
    startDamage_ = from.state().damage >> 16;
  }

  SearchResult run() {
    const auto began = std::chrono::steady_clock::now();
    parent_ = from_.state();
    worker_.loadState(parent_);
    addNode(-1, 0, 0, 0, parent_);
    if (goalHolds()) return finish(0, 0);
    while (!open_.empty()) {
      if (nodes_.size() >= options_.nodes) {
        result_.nodeLimit = true;
        break;
      }
      if (timed_ && (result_.expanded & 255) == 0 &&
          std::chrono::steady_clock::now() - began > std::chrono::duration<double>(kTimedSeconds)) {
        result_.nodeLimit = true;
        break;
      }
      const Open top = open_.top();
      open_.pop();
      ++result_.expanded;
      states_.get(nodes_[top.node].state, parent_);
      for (std::uint8_t pad : kAlphabet) {
        if (std::optional<SearchResult> done = expand(top.node, pad)) return *done;
      }
    }
    result_.states = nodes_.size();
    return result_;
  }

 private:
  bool goalHolds() {
    if (options_.safe && !standing(worker_.state())) return false;
    return allHold(goal_.conditions, worker_, start_);
  }

  // The reason a state is dropped, or -1 to keep it.
  int pruneReason() {
    const GameState& s = worker_.state();
    if (!worker_.stopMessage().empty()) return kPruneOther;
    if (s.lives < startLives_) return kPruneLife;
    if (s.dying != 0 && !options_.dieOk) return kPruneDying;
    if ((s.damage >> 16) - startDamage_ > options_.maxLoss) return kPruneEnergy;
    if (s.screen_kind != 0 && !options_.screen) return kPruneScreen;
    if (s.in_subgame != 0 && !options_.subgame) return kPruneSubgame;
    if (!options_.anywhere && std::find(options_.areas.begin(), options_.areas.end(), s.area) == options_.areas.end())
      return kPruneArea;
    return -1;
  }

  std::optional<SearchResult> expand(std::uint32_t parent, std::uint8_t pad) {
    worker_.loadState(parent_);
    const std::uint32_t depth = nodes_[parent].depth;
    for (int t = 1; t <= kGroupTicks; ++t) {
      worker_.step(pad, tickBase_ + depth + t);
      worker_.soundRequests().clear();
      ++result_.steps;
      const int reason = pruneReason();
      if (reason >= 0) {
        ++result_.pruned[static_cast<std::size_t>(reason)];
        return std::nullopt;
      }
      if (goalHolds()) {
        const std::uint32_t node = addNode(static_cast<std::int32_t>(parent), pad, t, depth + t, worker_.state());
        return finish(node, 0);
      }
    }
    if (!seen_.insert(heroDigest(worker_.state())).second) return std::nullopt;
    addNode(static_cast<std::int32_t>(parent), pad, kGroupTicks, depth + kGroupTicks, worker_.state());
    return std::nullopt;
  }

  std::uint32_t addNode(std::int32_t parent, std::uint8_t pad, int ticks, std::uint32_t depth, const GameState& s) {
    Node n;
    n.parent = parent;
    n.pad = pad;
    n.ticks = static_cast<std::uint8_t>(ticks);
    n.depth = depth;
    n.state = states_.add(s);
    const double h = distance(worker_, goal_.conditions) / kPixelsPerTick;
    double g = depth;
    if (options_.lowLoss) g += 8.0 * static_cast<double>((s.damage >> 16) - startDamage_);
    n.h = static_cast<float>(h);
    n.f = static_cast<float>(g + options_.weight * h);
    nodes_.push_back(n);
    if (parent < 0) seen_.insert(heroDigest(s));
    open_.push({n.f, n.h, static_cast<std::uint32_t>(nodes_.size() - 1)});
    return static_cast<std::uint32_t>(nodes_.size() - 1);
  }

  SearchResult finish(std::uint32_t node, int) {
    std::vector<std::uint8_t> pads;
    for (std::int32_t n = static_cast<std::int32_t>(node); n >= 0 && nodes_[static_cast<std::size_t>(n)].parent >= 0;
         n = nodes_[static_cast<std::size_t>(n)].parent)
      pads.insert(pads.end(), nodes_[static_cast<std::size_t>(n)].ticks, nodes_[static_cast<std::size_t>(n)].pad);
    std::reverse(pads.begin(), pads.end());
    result_.found = true;
    result_.pads = std::move(pads);
    result_.states = nodes_.size();
    return result_;
  }

  const sim::Simulation& from_;
  const SearchGoal& goal_;
  CommandStart start_;
  std::int64_t tickBase_;
  bool timed_;
  Options options_;
  sim::Simulation worker_;
  CompactStates states_;
  GameState parent_;
  std::vector<Node> nodes_;
  std::priority_queue<Open> open_;
  std::unordered_set<std::uint64_t> seen_;
  SearchResult result_;
  std::int64_t startLives_ = 0;
  std::int64_t startDamage_ = 0;
};

}  // namespace

SearchResult searchStates(const sim::Simulation& from, sim::RomView& rom, const SearchGoal& goal,
                          const CommandStart& start, std::int64_t tickBase, bool timed) {
  Searcher searcher(from, rom, goal, start, tickBase, timed);
  return searcher.run();
}

SearchResult searchAndReport(const sim::Simulation& from, sim::RomView& rom, const SearchGoal& goal,
                             const CommandStart& start, std::int64_t tickBase) {
  const bool alreadyTimed = findTerm(goal.conditions, "time") != nullptr;
  SearchResult result = searchStates(from, rom, goal, start, tickBase, alreadyTimed);
  for (int round = 0; round < 2; ++round) {
    if (result.found) {
      std::printf("  search: %zu states, %lld expanded, %zu ticks\n", result.states,
                  static_cast<long long>(result.expanded), result.pads.size());
      return result;
    }
    const auto& p = result.pruned;
    std::printf(
        "  search: %zu states, %lld expanded, %s (pruned: dying %lld, life %lld, energy %lld, screen %lld, subgame "
        "%lld, area %lld, other %lld)\n",
        result.states, static_cast<long long>(result.expanded),
        result.nodeLimit ? "node limit reached" : "all reachable states tried", static_cast<long long>(p[0]),
        static_cast<long long>(p[1]), static_cast<long long>(p[2]), static_cast<long long>(p[3]),
        static_cast<long long>(p[4]), static_cast<long long>(p[5]), static_cast<long long>(p[6]));
    if (round > 0 || !result.nodeLimit || alreadyTimed) break;
    std::printf("search: again, timed\n");
    std::fflush(stdout);
    result = searchStates(from, rom, goal, start, tickBase, true);
  }
  return result;
}

}  // namespace app::pilot
