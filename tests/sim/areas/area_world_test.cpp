// The world's connections in our data set: every door, edge and exit is
// crossed and must land the hero in the right area on open ground; no area
// end or gap lets him fall without an exit; every area can be reached.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <queue>
#include <set>

#include "base/asset_store.h"
#include "sim/areas/areas.h"
#include "sim/real_world.h"
#include "sim/rom_view.h"
#include "sim/sim_fixture.h"
#include "world/world.h"

namespace {

using namespace real_world;

bool isEdgeArea(std::int64_t id) {
  return (id >= 34 && id <= 40) || id == 47;
}

// The collision bits the area handlers set or clear for their set pieces: a bridge, a step, floors
// and walls that open. The world is drawn in their first state; `opens` pieces are solid there.
struct CollisionChange {
  int area;
  std::vector<std::pair<std::size_t, std::uint8_t>> bits;  // collision byte, bits
  bool opens;                                              // the handler clears them, else sets them
};

std::vector<std::pair<std::size_t, std::uint8_t>> columns(std::size_t first, int n, std::uint8_t bits) {
  std::vector<std::pair<std::size_t, std::uint8_t>> v;
  for (int i = 0; i < n; ++i) v.emplace_back(first + 3 * static_cast<std::size_t>(i), bits);
  return v;
}

const std::vector<CollisionChange>& setPieces() {
  static const std::vector<CollisionChange> kSetPieces = {
      {0, columns(506, 12, 0x04), false},                                                    // the bridge
      {8, columns(310, 7, 0x08), true},                                                      // the chain's floor
      {11, {{1134, 0x60}, {1137, 0x60}}, false},                                             // the crate's step
      {13, {{578, 0x80}, {581, 0x80}, {584, 0xC0}, {587, 0x40}, {590, 0x40}}, true},         // the wax
      {17, {{543, 0xF8}}, true},                                                             // the machine's wall
      {28, {{88, 0xC0}, {89, 0x03}, {91, 0xC0}, {92, 0x03}, {94, 0xC0}, {95, 0x03}}, true},  // the passage
      {29, columns(452, 3, 0x20), false},                                                    // the trapdoor
      {32, columns(277, 8, 0x01), true},                                                     // the rock
      {48, columns(92, 9, 0x30), false},                                                     // the put-out flames
  };
  return kSetPieces;
}

world::Area changed(world::Area a, const CollisionChange& c) {
  for (const auto& [byte, bits] : c.bits) {
    if (c.opens)
      a.collision.at(byte) = static_cast<std::uint8_t>(a.collision.at(byte) & ~bits);
    else
      a.collision.at(byte) = static_cast<std::uint8_t>(a.collision.at(byte) | bits);
  }
  return a;
}

// The area with every wall and floor that a set piece can open opened: the places the hero may
// reach or fall through later in the game.
world::Area opened(const world::Area& a) {
  world::Area o = a;
  for (const CollisionChange& c : setPieces())
    if (c.area == a.id && c.opens) o = changed(o, c);
  return o;
}

std::int64_t fixed(std::int64_t integer) {
  return integer * 65536;
}

TEST(WorldConnections, EveryDoorTakesTheHeroToOpenGround) {
  auto r = loadRealWorld();
  ASSERT_TRUE(r) << "the data set in the source tree does not load";
  ASSERT_EQ(r->world.doors.size(), 32u);
  for (std::size_t i = 0; i < r->world.doors.size(); ++i) {
    const world::Door& d = r->world.doors[i];
    SCOPED_TRACE(testing::Message() << "door " << i << " from area " << d.area << " to " << d.target);
    EXPECT_NE(d.area, d.target);
    // The hero stands in front of it.
    const std::int64_t x = d.rect[0] - 2;
    const std::int64_t y = groundAt(area(*r, d.area), x);
    ASSERT_GE(y, 0) << "no ground in front of the door";
    ASSERT_TRUE(r->sim->teleport(d.area, x, y)) << r->sim->stopMessage();
    auto& s = r->sim->mutableState();
    s.door_locks = 0;
    ASSERT_EQ(sim::areas::doorRule(r->sim->context(), 0x01), 0x11) << "UP in front of the door does not open it";
    ASSERT_TRUE(sim::areas::doorPassage(r->sim->context()));
    EXPECT_EQ(s.area, d.target);
    EXPECT_EQ(s.x, fixed(d.x));
    EXPECT_EQ(s.y, fixed(d.y));
    EXPECT_TRUE(standsAt(area(*r, d.target), d.x, d.y));
  }
}

TEST(WorldConnections, TheKeyDoorsAndTheGateDoorStartLocked) {
  auto r = loadRealWorld();
  ASSERT_TRUE(r) << "the data set in the source tree does not load";
  const std::int64_t locks = r->rom.longAt(0x0025E0);  // what the new game starts with
  for (int door = 0; door < 32; ++door) {
    const bool locked = door == 1 || (door >= 3 && door <= 8) || door == 31;
    EXPECT_EQ((locks >> (31 - door)) & 1, locked ? 1 : 0) << "door " << door;
  }
  // The doors that open by animation are where the handlers draw them.
  const int doorArea[] = {-1, 21, -1, 2, 3, 4, 5, 6, 7};
  for (int door : {1, 3, 4, 5, 6, 7, 8}) EXPECT_EQ(r->world.doors[door].area, doorArea[door]) << door;
  EXPECT_EQ(r->world.doors[31].area, 42);
}

TEST(WorldConnections, EveryEdgeLandsOnOpenGround) {
  auto r = loadRealWorld();
  ASSERT_TRUE(r) << "the data set in the source tree does not load";
  ASSERT_EQ(r->world.edges.size(), 8u);
  for (const world::Edge& e : r->world.edges) {
    SCOPED_TRACE(testing::Message() << "edge of area " << e.area);
    const world::Area& from = area(*r, e.area);
    if (e.left.threshold <= -32768 + 24 && e.right.threshold >= from.width * 32) continue;  // out of reach
    for (const world::AreaExit* exit : {&e.left, &e.right}) {
      const std::int64_t x = exit == &e.left ? e.left.threshold - 1 : e.right.threshold + 1;
      ASSERT_TRUE(r->sim->teleport(e.area, exit == &e.left ? 100 : from.width * 32 - 100, 100));
      auto& s = r->sim->mutableState();
      s.x = fixed(x);
      s.y = fixed(152);
      sim::areas::exitCheck(r->sim->context());
      EXPECT_EQ(s.area, exit->area);
      EXPECT_EQ(s.x, fixed(exit->x));
      EXPECT_EQ(s.y, fixed(exit->y));
      EXPECT_TRUE(standsAt(area(*r, exit->area), exit->x, exit->y));
      // Arriving does not send him straight back.
      for (const world::Edge& there : r->world.edges)
        if (there.area == exit->area && isEdgeArea(there.area)) {
          EXPECT_GE(exit->x, there.left.threshold);
          EXPECT_LE(exit->x, there.right.threshold);
        }
    }
  }
}

// The places a hero leaving over an exit's threshold may be at: walking or
// jumping off an end he drifts up to 40 pixels on while he falls.
std::vector<std::int64_t> leavingXs(const world::Area& a, const world::AreaExit pair[2], int k) {
  std::vector<std::int64_t> xs;
  const std::int64_t w = a.width * 32;
  for (std::int64_t x = -64; x <= w + 40; x += 2) {
    const bool over = k == 0 ? x <= pair[0].threshold : x >= pair[1].threshold && x > pair[0].threshold;
    if (!over) continue;
    // Only where the hero can be and fall out of the map: no ground under him there, and no
    // end wall between him and the area.
    if (!clearBox(a, x, 100) || landing(a, x, 100) >= 0) continue;
    if (x < 0 && solid(a, 8, 150)) continue;
    if (x > w - 24 && solid(a, w - 8, 150)) continue;
    xs.push_back(x);
  }
  return xs;
}

TEST(WorldConnections, EveryVerticalExitLeadsOntoGround) {
  auto r = loadRealWorld();
  ASSERT_TRUE(r) << "the data set in the source tree does not load";
  int crossed = 0;
  for (const world::Area& a : r->world.areas) {
    for (int k = 0; k < 2; ++k) {
      const world::AreaExit& e = a.exits_bottom[k];
      if (e.area == a.id) continue;
      SCOPED_TRACE(testing::Message() << "area " << a.id << " bottom exit " << k << " to " << e.area);
      const std::vector<std::int64_t> xs = leavingXs(opened(a), a.exits_bottom, k);
      ASSERT_FALSE(xs.empty()) << "no place to fall through to this exit";
      for (std::int64_t x : {xs.front(), xs[xs.size() / 2], xs.back()}) {
        ASSERT_TRUE(r->sim->teleport(a.id, 100, 100));
        auto& s = r->sim->mutableState();
        s.x = fixed(x);
        s.y = fixed(170);
        sim::areas::exitCheck(r->sim->context());
        ASSERT_EQ(s.area, e.area);
        EXPECT_EQ(s.y >> 16, 1);
        const world::Area& to = area(*r, e.area);
        EXPECT_GE(landing(to, s.x >> 16, 1), 0) << "falls through area " << e.area << " at x " << (s.x >> 16);
        // He keeps drifting the way he walked while he falls (about 80 pixels); a ceiling or a
        // window holds him back until he is below it, so those places are met lower down.
        const std::int64_t drift = k == 0 ? -4 : 4;
        for (std::int64_t at = (s.x >> 16) + drift, n = 1; n <= 25; at += drift, ++n) {
          const bool lands = landing(to, at, 1) >= 0 || landing(to, at, 40) >= 0 || landing(to, at, 80) >= 0;
          EXPECT_TRUE(lands) << "falls through area " << e.area << " at x " << at;
        }
        if (e.x >= 0) {
          EXPECT_TRUE(standsAt(to, e.x, e.y)) << "restart point";
        }
        ++crossed;
      }
    }
    // Nothing leads up out of our areas yet; an exit that did would need a landing above.
    for (int k = 0; k < 2; ++k) EXPECT_EQ(a.exits_top[k].area, a.id) << "area " << a.id;
  }
  EXPECT_GT(crossed, 0);

  // The trapdoor of area 29 drops through the cartridge's pair.
  for (std::int64_t x : {1169, 1206, 1207, 1243}) {
    SCOPED_TRACE(x);
    ASSERT_TRUE(r->sim->teleport(29, 100, 100));
    auto& s = r->sim->mutableState();
    s.x = fixed(x);
    s.y = fixed(170);
    sim::areas::exitCheck(r->sim->context());
    ASSERT_EQ(s.area, 32);
    EXPECT_GE(landing(area(*r, 32), s.x >> 16, 1), 0);
    EXPECT_TRUE(standsAt(area(*r, 32), s.restart_x, s.restart_y));
  }
}

// Wherever the hero can drop out of an area, an exit must take him: else he
// would fall for ever.
TEST(WorldConnections, NoAreaLetsTheHeroFallWithoutAnExit) {
  auto r = loadRealWorld();
  ASSERT_TRUE(r) << "the data set in the source tree does not load";
  for (const world::Area& drawn : r->world.areas) {
    const world::Area a = opened(drawn);
    SCOPED_TRACE(testing::Message() << "area " << a.id);
    const auto& pair = a.exits_bottom;
    const world::Edge* edge = nullptr;
    for (const world::Edge& e : r->world.edges)
      if (e.area == a.id && isEdgeArea(a.id)) edge = &e;
    for (std::int64_t x = -40; x <= a.width * 32 + 16; x += 4) {
      if (edge && (x < edge->left.threshold || x > edge->right.threshold)) continue;  // the edge takes him first
      if (!clearBox(a, x, 120) || landing(a, x, 120) >= 0) continue;
      // A hero can only get here past a wall if there is none: walls stop him before.
      if (x < 0 && solid(a, 8, 150)) continue;
      if (x > a.width * 32 - 24 && solid(a, a.width * 32 - 8, 150)) continue;
      const bool trapdoor = a.id == 29 && x >= 1169 && x <= 1243;
      const bool left = x <= pair[0].threshold && pair[0].area != a.id;
      const bool right = x > pair[0].threshold && x >= pair[1].threshold && pair[1].area != a.id;
      EXPECT_TRUE(trapdoor || left || right) << "falls for ever at x " << x;
    }
  }
}

// Where a hero put at (x, y) comes to rest: -2 inside a wall, -1 when he falls out of the map.
std::int64_t rest(const world::Area& a, std::int64_t x, std::int64_t y) {
  if (!clearBox(a, x, y)) return -2;
  return landing(a, x, y);
}

// Each set piece's cells are drawn in their first state, and changing them changes the way.
TEST(WorldSetPieces, TheHandlersCellsChangeTheWay) {
  auto r = loadRealWorld();
  ASSERT_TRUE(r) << "the data set in the source tree does not load";
  struct Case {
    int area;
    std::int64_t x, y, before, after;
  };
  const Case kCases[] = {
      {0, 1380, 100, 160, 120},  // in the stream under the bridge; on the bridge
      {8, 840, 64, 64, 88},      // on the hatch; in the pit under it
      {11, 3010, 10, 40, 16},    // on the high floor by the east wall; on the crate's step
      {13, 1532, 150, 160, -1},  // on the wax; down the drain
      {17, 1440, 40, -2, 40},    // in the machine's wall; through it onto the machine's floor
      {28, 236, 120, -2, 120},   // in the pillar; in the passage
      {29, 1200, 100, -1, 144},  // through the trapdoor's gap; on the trapdoor
      {32, 760, 40, 40, 64},     // on the rock; in the pit under it
      {48, 270, 100, 152, 136},  // among the flames; on the put-out floor
  };
  for (const CollisionChange& c : setPieces()) {
    SCOPED_TRACE(testing::Message() << "area " << c.area);
    const world::Area& drawn = area(*r, c.area);
    for (const auto& [byte, bits] : c.bits) {
      ASSERT_LT(byte, drawn.collision.size());
      EXPECT_EQ(drawn.collision[byte] & bits, c.opens ? bits : 0) << "collision byte " << byte;
    }
    int checked = 0;
    for (const Case& k : kCases) {
      if (k.area != c.area) continue;
      EXPECT_EQ(rest(drawn, k.x, k.y), k.before) << "before, at x " << k.x;
      EXPECT_EQ(rest(changed(drawn, c), k.x, k.y), k.after) << "after, at x " << k.x;
      ++checked;
    }
    EXPECT_EQ(checked, 1) << "no case for this set piece";
  }
}

// Area 0's pit kills wherever the hero can rest in it and nowhere else; the drop from area 21 lands
// past it, and the restart points of areas 0 and 1 are open ground.
TEST(WorldSetPieces, TheBridgePitAndTheRestartPoints) {
  auto r = loadRealWorld();
  ASSERT_TRUE(r) << "the data set in the source tree does not load";
  const world::Area& meadow = area(*r, 0);
  auto deadly = [](std::int64_t x, std::int64_t y) {
    return x < 1342 + 96 && 1342 < x + 20 && y < 168 + 24 && 168 < y + 20;
  };
  bool pitFound = false;
  for (std::int64_t x = 1200; x <= 1560; ++x) {
    const std::int64_t y = rest(meadow, x, 100);
    ASSERT_GE(y, 0) << "no ground at x " << x;
    const bool inPit = x + 18 >= 1344 && x + 6 < 1424 && y == 160;
    pitFound |= inPit;
    EXPECT_EQ(deadly(x, y), inPit) << "x " << x << " rests at y " << y;
  }
  EXPECT_TRUE(pitFound);
  // Out of the pit without the bridge: onto the stepping stone, then onto the east bank.
  EXPECT_TRUE(standsAt(meadow, 1410, 144));
  EXPECT_TRUE(standsAt(meadow, 1445, 120));

  const world::Area& green = area(*r, 21);
  const world::AreaExit& drop = green.exits_bottom[0];
  ASSERT_EQ(drop.area, 0);
  for (std::int64_t x = -64; x <= -19; ++x) {
    if (landing(green, x, 100) >= 0) continue;
    const std::int64_t arrive = x - green.origin_x + meadow.origin_x;
    // He drifts on the way he walked while he falls, about 90 pixels at most.
    for (std::int64_t at = arrive; at >= arrive - 100; at -= 4) {
      const std::int64_t y = rest(meadow, at, 1);
      ASSERT_GE(y, 0) << "arriving at x " << arrive;
      EXPECT_FALSE(deadly(at, y)) << "the drop lands in the pit at x " << at;
    }
  }
  EXPECT_TRUE(standsAt(meadow, drop.x, drop.y));
  EXPECT_FALSE(deadly(drop.x, drop.y));
  EXPECT_TRUE(standsAt(meadow, 1275, 144));
  EXPECT_TRUE(standsAt(area(*r, 1), 1218, 160));
}

TEST(WorldConnections, EveryAreaCanBeReachedFromTheStart) {
  auto r = loadRealWorld();
  ASSERT_TRUE(r) << "the data set in the source tree does not load";
  std::map<int, std::set<int>> links;
  for (const world::Door& d : r->world.doors) links[d.area].insert(d.target);
  for (const world::Edge& e : r->world.edges)
    if (isEdgeArea(e.area) && e.left.threshold > -32768 + 24) {
      links[e.area].insert(e.left.area);
      links[e.area].insert(e.right.area);
    }
  for (const world::Area& a : r->world.areas)
    for (const auto& e : a.exits_bottom) links[a.id].insert(e.area);
  links[29].insert(32);  // the trapdoor
  // Where the subgames bring the hero back: the minecart (area 16), the sea
  // (area 31) and the archery (area 18).
  for (int to : {10, 11, 16, 19}) links[16].insert(to);
  links[31].insert(11);
  links[18].insert(45);
  std::set<int> seen{21};
  std::queue<int> todo;
  todo.push(21);
  while (!todo.empty()) {
    const int at = todo.front();
    todo.pop();
    for (int to : links[at])
      if (seen.insert(to).second) todo.push(to);
  }
  for (const world::Area& a : r->world.areas) EXPECT_TRUE(seen.count(a.id)) << "area " << a.id << " cannot be reached";
}

// The hero walks up the hills of 8-pixel steps to the set pieces on their tops.
TEST(WorldSetPieces, TheHeroWalksUpTheHills) {
  auto r = loadRealWorld();
  ASSERT_TRUE(r) << "the data set in the source tree does not load";
  struct Walk {
    int area;
    std::int64_t fromX, toX, topY;
    std::uint8_t pad;  // RIGHT, or RIGHT with C held to hop from ledge to ledge
  };
  const Walk kWalks[] = {
      {8, 650, 820, 64, 0x08},     // onto the hatch
      {11, 2790, 3000, 40, 0x08},  // onto the high floor by the crate's place
      {32, 560, 740, 40, 0x08},    // onto the rock
      {0, 1200, 1330, 120, 0x08},  // onto the west bank at the bridge's height
      {28, 100, 210, 120, 0x28},   // onto the planks before the pillar
      {45, 900, 1000, 136, 0x08},  // up the rise, short of where the archery begins (X 1009)
  };
  for (const Walk& w : kWalks) {
    SCOPED_TRACE(testing::Message() << "area " << w.area);
    ASSERT_TRUE(r->sim->teleport(w.area, w.fromX, 152)) << r->sim->stopMessage();
    auto& s = r->sim->mutableState();
    s.stars_left = 250;  // no all-stars event on the way
    s.lives = 2;
    int frames = 0;
    for (; frames < 600 && (s.x >> 16) < w.toX; ++frames) {
      r->sim->step(w.pad, frames);
      ASSERT_EQ(r->sim->stopMessage(), "");
    }
    EXPECT_GE(s.x >> 16, w.toX) << "stuck at x " << (s.x >> 16) << ", y " << (s.y >> 16);
    for (int k = 0; k < 20; ++k) r->sim->step(0, frames + k);
    EXPECT_EQ(s.y >> 16, w.topY);
  }
}

// A jump to the right from each step of area 17's climb lands on the next one, up to the walkway
// before the machine's wall, which stops him.
TEST(WorldSetPieces, TheLedgesClimbToTheMachinesWall) {
  auto r = loadRealWorld();
  ASSERT_TRUE(r) << "the data set in the source tree does not load";
  struct Hop {
    std::int64_t x, y, landY;
  };
  const Hop kHops[] = {{1226, 136, 112}, {1272, 112, 88}, {1320, 88, 64}, {1368, 64, 48}};
  for (const Hop& h : kHops) {
    SCOPED_TRACE(testing::Message() << "from x " << h.x << ", y " << h.y);
    ASSERT_TRUE(r->sim->teleport(17, h.x, h.y)) << r->sim->stopMessage();
    auto& s = r->sim->mutableState();
    s.stars_left = 250;
    s.lives = 2;
    std::int64_t tick = 0;
    for (int k = 0; k < 5; ++k) r->sim->step(0, ++tick);
    ASSERT_EQ(s.y >> 16, h.y) << "not standing there";
    r->sim->step(0x28, ++tick);
    for (int k = 0; k < 80 && (s.jump != 0 || s.settled == 0); ++k) r->sim->step(0x08, ++tick);
    EXPECT_EQ(s.y >> 16, h.landY) << "landed at x " << (s.x >> 16);
  }
  // On the walkway he walks into the wall and stays before it, jumping or not.
  for (int k = 0; k < 120; ++k) r->sim->step(k % 30 == 0 ? 0x28 : 0x08, 1000 + k);
  const auto& s = r->sim->state();
  EXPECT_LE((s.x >> 16) + 18, 1447);
  for (int k = 0; k < 60; ++k) r->sim->step(0, 2000 + k);
  EXPECT_EQ(s.y >> 16, 48);
}

}  // namespace
