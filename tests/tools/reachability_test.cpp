// Every place a hero can stand on and every thing lying in an area is within his reach from the
// places he arrives at (doors, the ends of the chained areas, restart points, the subgames' returns).
// The hero is played by a small copy of his walking and jumping rules (fixed-point speeds, gravity,
// the probes at his feet, at his head and 10 pixels under it), without the animation that ends a
// jump on the ground. Ground that no walk or jump is meant to reach is marked in the area's source
// with `scenery:` (roofs, wall tops, floors a set piece opens), and so are the things lying there.
// Where an area's rules put the hero in water he falls slowly (he carries the air shell, so he does
// not drown, and he has no webbed boots, so he walks and jumps rather than swims).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "area_source.h"
#include "mapped_areas.h"
#include "scratch_data.h"

namespace fs = std::filesystem;

namespace {

using tools_test::kSource;

constexpr int kRows = 6;  // block rows of a map
constexpr int kMapHeight = kRows * 32;
constexpr std::int64_t kOne = 0x10000;  // one pixel in the hero's 16.16 fixed point
constexpr std::int64_t kWalkSpeeds[10] = {0,       0x10000, 0x12000, 0x14000, 0x16000,
                                          0x18000, 0x1A000, 0x1C000, 0x1E000, 0x20000};
constexpr std::int64_t kGravity = 0x3B00;
constexpr std::int64_t kTopFallSpeed = 0x40000;
constexpr std::int64_t kTopSinkSpeed = 0x18000;  // falling in water
constexpr std::int64_t kJumpSpeed = -0x3F000;
constexpr std::int64_t kSpringJumpSpeed = -0x47000;  // the loft's spring, jumping to the left

std::int64_t whole(std::int64_t fixed) {
  return fixed >> 16;
}

struct Rect {
  int x, y, w, h;
  bool overlaps(const Rect& o) const { return x < o.x + o.w && o.x < x + w && y < o.y + o.h && o.y < y + h; }
};

// Where the areas' rules put the hero in water, by his top-left corner at the start of a frame (the
// rules run after he has moved, so a frame's fall goes by where the last one left him).
struct Water {
  int area;
  bool (*inside)(int X, int Y);
};
constexpr Water kWater[] = {
    {8, [](int X, int Y) { return X > 770 && X < 900 && Y > 110 && Y < 194; }},  // the loft's pool
    {11, [](int, int Y) { return Y >= 139; }},                                   // under the workshop's surface
    {12, [](int, int) { return true; }},
    {13, [](int, int) { return true; }},
    {14, [](int, int) { return true; }},
    {15, [](int X, int) { return X >= 1114; }},  // the flooded hollow
};

using WaterTest = bool (*)(int X, int Y);
WaterTest waterOf(int area) {
  for (const Water& w : kWater)
    if (w.area == area) return w.inside;
  return nullptr;
}

// One area's collision by pixel, with lift baskets at the top of their run as extra footing.
class Collision {
 public:
  Collision(const builder::AreaSource& area, const builder::Tileset& tiles) {
    columns_ = static_cast<int>(area.rows[0].size());
    cells_.assign(static_cast<std::size_t>(columns_ * 4 * kRows * 4), false);
    for (int row = 0; row < kRows; ++row)
      for (int column = 0; column < columns_; ++column) {
        const int block = tiles.blockIndex.at(area.legend.at(area.rows[row][column]));
        for (int c = 0; c < 4; ++c)
          for (int r = 0; r < 4; ++r) cells_[index(column * 4 + c, row * 4 + r)] = tiles.solid[block][4 * c + r];
      }
  }
  int width() const { return columns_ * 32; }
  bool cell(int cx, int cy) const {
    if (cx < 0 || cy < 0 || cx >= columns_ * 4 || cy >= kRows * 4) return false;
    return cells_[index(cx, cy)];
  }
  bool solid(std::int64_t x, std::int64_t y) const {
    if (x < 0 || y < 0) return false;
    if (cell(static_cast<int>(x >> 3), static_cast<int>(y >> 3))) return true;
    for (const Rect& b : baskets_)
      if (x >= b.x && x < b.x + b.w && y >= b.y && y < b.y + b.h) return true;
    return false;
  }
  void addBasket(const Rect& r) { baskets_.push_back(r); }

 private:
  std::size_t index(int cx, int cy) const { return static_cast<std::size_t>(cy) * columns_ * 4 + cx; }
  int columns_ = 0;
  std::vector<bool> cells_;
  std::vector<Rect> baskets_;
};

// The hero's walking mode, one frame at a time: input, the move against walls probed 10 pixels under
// his head, the jump, gravity, the ceiling and the landing that lifts his feet out of the ground.
struct Hero {
  std::int64_t x = 0, y = 0, vy = 0, xNext = 0, dx = 0;
  int run = 0, jump = 0;
  bool air = false, settled = false;

  int X() const { return static_cast<int>(whole(x)); }
  int Y() const { return static_cast<int>(whole(y)); }

  void step(int direction) {
    run = std::min(run + 1, 9);
    xNext = x + direction * kWalkSpeeds[run];
    dx = whole(xNext) - whole(x);
    settled = false;
  }

  void frame(const Collision& map, int input, bool jumpPressed, bool spring, WaterTest water) {
    const std::int64_t yPrev = whole(y);
    const bool inWater = water != nullptr && water(X(), Y());
    // input
    if (jump != 0) {
      if (jump != 1) step(jump == 2 ? -1 : 1);
    } else if (air) {
      if (dx != 0) step(dx < 0 ? -1 : 1);
    } else if (input != 0) {
      step(input);
    } else {
      dx = 0;
      run = 0;
      x = whole(x) * kOne;
    }
    // the move
    if (dx != 0) {
      const std::int64_t unit = dx > 0 ? 1 : -1, row = whole(y) + 10, startX = whole(x);
      std::int64_t column = startX + (dx > 0 ? 18 : 6);
      bool blocked = false;
      for (std::int64_t passed = 0; passed < std::abs(dx); ++passed) {
        column += unit;
        if (row < kMapHeight && map.solid(column, row)) {
          x = (startX + unit * passed) * kOne + (x & 0xFFFF);
          blocked = true;
          break;
        }
      }
      if (!blocked) x = xNext;
    }
    // the jump
    if (jump == 0 && !air && jumpPressed) {
      vy = spring && dx < 0 ? kSpringJumpSpeed : kJumpSpeed;
      jump = dx < 0 ? 2 : dx > 0 ? 3 : 1;
      settled = false;
    }
    // gravity
    if (!settled) {
      vy = std::min(vy + kGravity, inWater ? kTopSinkSpeed : kTopFallSpeed);
      y += vy;
      air = true;
    }
    // the ceiling
    if (vy < 0) {
      const std::int64_t risen = yPrev - whole(y);
      std::int64_t row = yPrev, free = 0;
      const std::int64_t X0 = whole(x);
      for (std::int64_t i = 0; i < risen; ++i) {
        --row;
        if (map.solid(X0 + 6, row) || map.solid(X0 + 14, row) || map.solid(X0 + 18, row)) break;
        ++free;
      }
      y = (yPrev - free) * kOne + (y & 0xFFFF);
    }
    // the landing
    if (vy >= 0) {
      const std::int64_t X0 = whole(x), feet = whole(y) + 23;
      if (map.solid(X0 + 6, feet) || map.solid(X0 + 18, feet)) {
        vy = 0;
        air = false;
        settled = true;
        jump = 0;  // the jump's last frames on the ground are left out
        y = (whole(y) - 1) * kOne;
      }
    }
  }

  // At rest: on his feet and no longer climbing out of the ground.
  bool resting(const Collision& map) const {
    if (!settled) return false;
    const int feet = Y() + 23;
    return !map.solid(X() + 6, feet) && !map.solid(X() + 18, feet);
  }
};

struct Spot {
  int x, y;
  bool operator<(const Spot& o) const { return x != o.x ? x < o.x : y < o.y; }
};

// Where the hero can get to in one area: the standing places reached, and every box he passed through.
class Reach {
 public:
  Reach(const Collision& map, std::vector<Rect> things, bool spring, WaterTest water)
      : map_(map), things_(std::move(things)), touched_(things_.size(), false), spring_(spring), water_(water) {}

  // A hero put at (x, y), possibly moving (the drop from a chained area carries his run).
  void arrive(int x, int y, int direction) {
    Hero h;
    h.x = std::int64_t{x} * kOne;
    h.y = std::int64_t{y} * kOne;
    if (direction != 0) {
      h.run = 9;
      h.dx = 2 * direction;
      h.air = true;
    }
    play(h, 0, false);
  }

  void spread() {
    while (!queue_.empty()) {
      const Spot s = queue_.front();
      queue_.pop_front();
      for (int direction : {-1, 1}) {
        Hero h = at(s);
        play(h, direction, false);
      }
      if (s.x % 2 != 0) continue;  // jumps from every second pixel are enough
      Hero up = at(s);
      play(up, 0, true);
      for (int direction : {-1, 1})
        for (int run : {0, 4, 8}) {
          Hero h = at(s);
          h.run = run;
          play(h, direction, true);
        }
    }
  }

  const std::set<Spot>& standing() const { return standing_; }
  bool touched(std::size_t i) const { return touched_[i]; }

 private:
  static Hero at(const Spot& s) {
    Hero h;
    h.x = std::int64_t{s.x} * kOne;
    h.y = std::int64_t{s.y} * kOne;
    h.settled = true;
    return h;
  }

  // Plays the hero from h with the input held on the first frame (and the direction held through a
  // walk's first frame only), until he rests again or leaves the map.
  void play(Hero h, int direction, bool jumpPressed) {
    for (int frame = 0; frame < 400; ++frame) {
      h.frame(map_, frame == 0 ? direction : 0, jumpPressed && frame == 0, spring_, water_);
      const Rect box{h.X(), h.Y() - 12, 24, 36};
      for (std::size_t i = 0; i < things_.size(); ++i)
        if (!touched_[i] && box.overlaps(things_[i])) touched_[i] = true;
      if (h.Y() >= kMapHeight || h.X() < -24 || h.X() > map_.width()) return;
      if (frame > 0 && h.resting(map_)) {
        const Spot s{h.X(), h.Y()};
        if (standing_.insert(s).second) queue_.push_back(s);
        return;
      }
    }
  }

  const Collision& map_;
  std::vector<Rect> things_;
  std::vector<bool> touched_;
  bool spring_;
  WaterTest water_;
  std::set<Spot> standing_;
  std::deque<Spot> queue_;
};

struct Arrival {
  int area, x, y, direction;
};

// The places the logic puts the hero down itself: the subgames' returns and the new game.
constexpr Arrival kFixedArrivals[] = {
    {21, 160, 152, 0}, {11, 857, 104, 0},  {31, 1125, 56, 0}, {16, 148, 40, 0},   {16, 1475, 40, 0},
    {11, 2819, 72, 0}, {10, 2021, 104, 0}, {19, 36, 72, 0},   {18, 1773, 120, 0}, {45, 992, 136, 0},
};

struct World {
  std::map<int, builder::AreaSource> areas;
  std::map<std::string, builder::Tileset> tilesets;
  std::vector<Arrival> arrivals;
  std::map<int, std::vector<Rect>> things;  // items and objects lying in each area
  std::map<int, std::vector<std::string>> thingNames;
  std::map<int, std::vector<int>> lifts;  // lift x by area
};

std::vector<std::string> splitWords(const std::string& line) {
  std::istringstream in(line.substr(0, line.find('#')));
  std::vector<std::string> w;
  for (std::string s; in >> s;) w.push_back(s);
  return w;
}

const World& world() {
  static const World w = [] {
    World r;
    const fs::path data = kSource / "data";
    readMappedAreas(data, r.tilesets, [&](int id, builder::AreaSource&& a) {
      for (const auto& item : a.items) {
        if (item.type == 0 || item.type == 3) continue;  // hazards and scenery are not taken
        r.things[id].push_back({item.x, item.y, 16, 16});
        r.thingNames[id].push_back("item at (" + std::to_string(item.x) + ", " + std::to_string(item.y) + ")");
      }
      r.areas.emplace(id, std::move(a));
    });
    for (const auto& [id, a] : r.areas) {
      for (const bool bottom : {true, false}) {
        const auto& exits = bottom ? a.exitsBottom : a.exitsTop;
        for (int k = 0; k < 2; ++k) {
          const builder::ExitSource& e = exits[k];
          if (e.area == id || !r.areas.count(e.area)) continue;
          if (e.x >= 0) r.arrivals.push_back({e.area, e.x, e.y, 0});
          const int leaving = k == 0 ? e.threshold : exits[1].threshold;
          const int x = leaving - a.originX + r.areas.at(e.area).originX;
          r.arrivals.push_back({e.area, x, bottom ? 1 : 168, k == 0 ? -1 : 1});
        }
      }
    }
    std::ifstream in(data / "world.json");
    const nlohmann::json j = nlohmann::json::parse(in);
    for (const auto& door : j.at("doors"))
      r.arrivals.push_back({door.at("target").get<int>(), door.at("x").get<int>(), door.at("y").get<int>(), 0});
    for (const auto& edge : j.at("edges"))
      for (const char* side : {"left", "right"}) {
        const auto& e = edge.at(side);
        r.arrivals.push_back({e.at("area").get<int>(), e.at("x").get<int>(), e.at("y").get<int>(), 0});
      }
    for (const Arrival& a : kFixedArrivals) r.arrivals.push_back(a);
    std::ifstream objects(data / "objects.txt");
    for (std::string line; std::getline(objects, line);) {
      const auto w = splitWords(line);
      if (w.size() < 5 || w[0] != "object") continue;
      const int area = std::stoi(w[2]), x = std::stoi(w[3]), y = std::stoi(w[4]);
      if (y < 0 || !r.areas.count(area)) continue;
      r.things[area].push_back({x, y, 16, 16});
      r.thingNames[area].push_back("object " + w[1] + " at (" + w[3] + ", " + w[4] + ")");
    }
    std::ifstream lifts(data / "lifts.txt");
    for (std::string line; std::getline(lifts, line);) {
      const auto w = splitWords(line);
      if (w.size() >= 4 && w[0] == "lift") r.lifts[std::stoi(w[2])].push_back(std::stoi(w[3]));
    }
    return r;
  }();
  return w;
}

// The places a hero could stand on (a solid cell with room for him above it), by the cell under them.
std::vector<Spot> groundCells(const Collision& map) {
  std::vector<Spot> cells;
  const auto clear = [&](int X, int y) {
    for (int row = y - 24; row < y; ++row)
      if (map.solid(X + 6, row) || map.solid(X + 14, row) || map.solid(X + 18, row)) return false;
    return true;
  };
  for (int cx = 0; cx < map.width() / 8; ++cx)
    for (int cy = 3; cy < kRows * 4; ++cy) {
      if (!map.cell(cx, cy) || map.cell(cx, cy - 1)) continue;
      bool room = false;
      for (int X = cx * 8 - 18; X <= cx * 8 + 1 && !room; ++X) {
        const bool probe = (X + 6) / 8 == cx || (X + 18) / 8 == cx;
        room = probe && X >= 0 && X + 24 <= map.width() && clear(X, cy * 8);
      }
      if (room) cells.push_back({cx, cy});
    }
  return cells;
}

// What one area leaves out of the hero's reach from the given arrivals: a line per stretch of ground
// (a run of cells at one height) and per thing, none for the ground and things its scenery marks.
std::vector<std::string> outOfReach(const builder::AreaSource& area, const builder::Tileset& tiles,
                                    const std::vector<Arrival>& arrivals, const std::vector<Rect>& things,
                                    const std::vector<std::string>& thingNames, const std::vector<int>& lifts) {
  Collision map(area, tiles);
  // A lift's basket at the top of its run: the hero rides it up from the floor.
  for (int liftX : lifts) map.addBasket({liftX, 112, 32, 8});
  Reach reach(map, things, area.id == 8, waterOf(area.id));
  for (const Arrival& a : arrivals) reach.arrive(a.x, a.y, a.direction);
  reach.spread();

  std::set<Spot> reachedCells;
  for (const Spot& s : reach.standing()) {
    reachedCells.insert({(s.x + 6) / 8, (s.y + 24) / 8});
    reachedCells.insert({(s.x + 18) / 8, (s.y + 24) / 8});
  }
  const auto isScenery = [&](int x, int y) {
    return std::any_of(area.scenery.begin(), area.scenery.end(), [&](const builder::SceneryRect& r) {
      return x >= r.x && x < r.x + r.width && y >= r.y && y < r.y + r.height;
    });
  };
  std::vector<std::string> faults;
  std::set<Spot> missed;
  for (const Spot& c : groundCells(map))
    if (!reachedCells.count(c) && !isScenery(c.x * 8, c.y * 8)) missed.insert(c);
  for (const Spot& c : missed) {
    if (missed.count({c.x - 1, c.y})) continue;
    int end = c.x;
    while (missed.count({end + 1, c.y})) ++end;
    faults.push_back("the ground at y " + std::to_string(c.y * 8) + ", x " + std::to_string(c.x * 8) + ".." +
                     std::to_string(end * 8 + 7));
  }
  for (std::size_t i = 0; i < things.size(); ++i)
    if (!reach.touched(i) && !isScenery(things[i].x + 8, things[i].y + 8)) faults.push_back("the " + thingNames[i]);
  return faults;
}

TEST(Reachability, EveryGroundAndThingOfEveryAreaIsWithinTheHerosReach) {
  const World& w = world();
  for (const auto& [id, area] : w.areas) {
    std::vector<Arrival> arrivals;
    for (const Arrival& a : w.arrivals)
      if (a.area == id) arrivals.push_back(a);
    if (arrivals.empty()) continue;  // reached only inside a subgame
    const auto thingsIt = w.things.find(id);
    const std::vector<Rect> things = thingsIt == w.things.end() ? std::vector<Rect>{} : thingsIt->second;
    const std::vector<std::string> names =
        thingsIt == w.things.end() ? std::vector<std::string>{} : w.thingNames.at(id);
    const std::vector<int> lifts = w.lifts.count(id) ? w.lifts.at(id) : std::vector<int>{};
    for (const std::string& fault : outOfReach(area, w.tilesets.at(area.tileset), arrivals, things, names, lifts))
      ADD_FAILURE() << area.file.filename().string() << ": " << fault
                    << " is out of the hero's reach (mark it with scenery: if it is meant so)";
  }
}

// Small maps on the shared tileset, the hero arriving on the floor at the west end: what a jump gets
// onto and what it does not, what a scenery mark leaves alone, and how far the slow fall of a flooded
// room (area 12 is under water throughout) carries a jump.
TEST(Reachability, TheJumpsReachOnlyWhatTheHerosMeasuredJumpGetsOnto) {
  const builder::Tileset& land =
      world().tilesets.count("land") ? world().tilesets.at("land") : world().tilesets.begin()->second;
  struct Case {
    const char* what;
    std::vector<std::string> rows;
    std::vector<builder::SceneryRect> scenery;
    std::size_t faults;
    int id = 99;
  };
  const Case cases[] = {
      {"a plank 80 pixels over the floor",
       {"W........W", "W........W", "W........W", "W....-...W", "W........W", "W________W"},
       {},
       1},
      {"the same plank marked as scenery",
       {"W........W", "W........W", "W........W", "W....-...W", "W........W", "W________W"},
       {{160, 96, 32, 8, 0}},
       0},
      {"the plank over a block and a lower plank",
       {"W........W", "W........W", "W........W", "W....-...W", "W...-....W", "W__G_____W"},
       {},
       0},
      {"a 48-pixel step", {"W........W", "W........W", "W........W", "W........W", "W....GGGGW", "W____GGGGW"}, {}, 1},
      {"a 32-pixel step", {"W........W", "W........W", "W........W", "W........W", "W....____W", "W____GGGGW"}, {}, 0},
      {"a gap of 96 pixels on land",
       {"W........W", "W........W", "W........W", "W........W", "W........W", "W___...__W"},
       {},
       1},
      {"the same gap under water",
       {"W........W", "W........W", "W........W", "W........W", "W........W", "W___...__W"},
       {},
       0,
       12},
      {"a 48-pixel step under water",
       {"W........W", "W........W", "W........W", "W........W", "W....GGGGW", "W____GGGGW"},
       {},
       1,
       12},
  };
  for (const Case& c : cases) {
    builder::AreaSource area;
    area.id = c.id;
    area.rows = c.rows;
    area.scenery = c.scenery;
    area.legend = {{'.', "air"}, {'_', "floor"}, {'W', "wall"}, {'G', "ground"}, {'-', "ledge"}};
    const auto faults = outOfReach(area, land, {{99, 40, 152, 0}}, {}, {}, {});
    EXPECT_EQ(faults.size(), c.faults) << c.what << (faults.empty() ? "" : ": " + faults.front());
  }
}

}  // namespace
