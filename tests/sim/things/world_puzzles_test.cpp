// Every puzzle of our world can be solved: each object of the data set, carried to the place where it is
// used and dropped there by a hero standing on the world's own ground, does what it is for (it is used up
// or set in place, a flag is set, an event screen is raised). The earlier puzzles a use relies on are set
// up by hand; the set pieces that act on the flags afterwards are the areas' own tests.
#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>

#include "sim/core/big_endian.h"
#include "sim/core/records.h"
#include "sim/real_world.h"
#include "sim/things/object_records.h"

namespace {

using namespace real_world;
namespace th = sim::things;
namespace be = sim::be;

constexpr std::uint8_t kB = 0x10;

struct Box {
  std::int64_t x, y, w, h;
};

Box romBox(const sim::RomView& rom, std::uint32_t at) {
  auto w = [&](std::uint32_t k) { return static_cast<std::int64_t>(static_cast<std::int16_t>(rom.wordAt(at + k))); };
  return {w(0), w(2), w(4), w(6)};
}

bool heroIn(const Box& r, std::int64_t X, std::int64_t Y) {
  return X < r.x + r.w && r.x < X + 20 && Y < r.y + r.h && r.y < Y + 20;
}
bool dropIn(const Box& r, std::int64_t X, std::int64_t Y) {
  return X + 2 < r.x + r.w && r.x < X + 18 && Y + 8 < r.y + r.h && r.y < Y + 24;
}

// How the place is met: the dropped object over a rectangle, the hero inside one, the hero standing at
// a fixed x (the places that are not rectangles), or the hero in the middle of a lift's basket.
enum class Meet { kDrop, kHero, kAtX, kInLift };

struct Puzzle {
  int object;
  int area;
  Meet meet;
  std::uint32_t place;             // the ROM rectangle, the x for kAtX, the lift for kInLift
  std::uint32_t avoid;             // a scene's rectangle in the same area that takes every press, or 0
  void (*setUp)(sim::GameState&);  // what the earlier puzzles have done
  bool (*solved)(const sim::GameState&);
  std::int64_t event = 0;  // the event screen the use shows, if any
};

std::int64_t objectArea(const sim::GameState& s, int k) {
  return th::objectWord(s, k, th::kObjArea);
}
bool usedUp(const sim::GameState& s, int k) {
  return objectArea(s, k) == th::kUsedUp;
}
bool doorOpening(const sim::GameState& s, std::size_t record) {
  return be::word(s.door_states, sim::rec::kDoorSize * record) != 0;
}
bool liftRuns(const sim::GameState& s, std::size_t lift) {
  return be::word(s.lifts, sim::rec::kLiftSize * lift) == 1;
}
void nothing(sim::GameState&) {}
void guardGone(sim::GameState& s) {
  s.guard10 = 4;
}

// clang-format off
const Puzzle kPuzzles[] = {
    // The green, the meadow and the lane.
    {0, 21, Meet::kHero, 0x002772, 0, nothing, [](const sim::GameState& s) { return usedUp(s, 0) && doorOpening(s, 0); }},
    {13, 1, Meet::kDrop, 0x00A1DA, 0, nothing, [](const sim::GameState& s) { return usedUp(s, 13) && s.flag_82c8 == 255; }},
    {21, 15, Meet::kDrop, 0x00A120, 0, nothing, [](const sim::GameState& s) { return usedUp(s, 21) && s.flag_82cb == 255 && liftRuns(s, 4); }},
    {25, 0, Meet::kDrop, 0x009E2C, 0, nothing, [](const sim::GameState& s) { return usedUp(s, 25) && s.flag_82b1 == 255; }},
    {27, 0, Meet::kDrop, 0x009E82, 0, nothing, [](const sim::GameState& s) {
       return usedUp(s, 27) && th::objectWord(s, 26, th::kObjY) == 160; }, 16},
    {57, 0, Meet::kDrop, 0x009E82, 0, [](sim::GameState& s) { s.flag_82dd = 255; },  // the squirrel has had a nut
     [](const sim::GameState& s) { return usedUp(s, 57) && th::objectWord(s, 60, th::kObjY) == 160; }, 20},
    // The door keys of the lanes, each at its house door.
    {1, 2, Meet::kHero, 0x002782, 0, nothing, [](const sim::GameState& s) { return usedUp(s, 1) && doorOpening(s, 1); }},
    {2, 3, Meet::kHero, 0x00278A, 0, nothing, [](const sim::GameState& s) { return usedUp(s, 2) && doorOpening(s, 2); }},
    {3, 4, Meet::kHero, 0x002792, 0, nothing, [](const sim::GameState& s) { return usedUp(s, 3) && doorOpening(s, 3); }},
    {4, 5, Meet::kHero, 0x00279A, 0, nothing, [](const sim::GameState& s) { return usedUp(s, 4) && doorOpening(s, 4); }},
    {5, 6, Meet::kHero, 0x0027A2, 0, nothing, [](const sim::GameState& s) { return usedUp(s, 5) && doorOpening(s, 5); }},
    {7, 7, Meet::kHero, 0x0027AA, 0, nothing, [](const sim::GameState& s) { return usedUp(s, 7) && doorOpening(s, 6); }},
    // The lift stones, each in the basket of its lift.
    {9, 0, Meet::kInLift, 0, 0, nothing, [](const sim::GameState& s) { return usedUp(s, 9) && liftRuns(s, 0); }},
    {10, 3, Meet::kInLift, 1, 0, nothing, [](const sim::GameState& s) { return usedUp(s, 10) && liftRuns(s, 1); }},
    {11, 4, Meet::kInLift, 2, 0, nothing, [](const sim::GameState& s) { return usedUp(s, 11) && liftRuns(s, 2); }},
    {12, 5, Meet::kInLift, 3, 0, nothing, [](const sim::GameState& s) { return usedUp(s, 12) && liftRuns(s, 3); }},
    // The lanes' houses.
    {18, 6, Meet::kDrop, 0x0062F6, 0, nothing, [](const sim::GameState& s) { return usedUp(s, 18) && s.flag_82ef == 255; }},
    {35, 8, Meet::kDrop, 0x00A04C, 0, nothing, [](const sim::GameState& s) { return usedUp(s, 35) && s.flag_82ce == 255; }},
    {17, 9, Meet::kDrop, 0x00A180, 0, nothing, [](const sim::GameState& s) { return s.flag_82c4 == 255 && s.flag_82c5 == 255; }},
    {14, 10, Meet::kDrop, 0x009FBA, 0, guardGone, [](const sim::GameState& s) { return s.flag_82bb == 255; }},
    {15, 10, Meet::kDrop, 0x00A0DA, 0, nothing, [](const sim::GameState& s) { return s.flag_82c3 == 255; }},
    {16, 10, Meet::kDrop, 0x00A650, 0, guardGone, [](const sim::GameState& s) { return usedUp(s, 16) && s.flag_82de == 255; }},
    {22, 11, Meet::kDrop, 0x009DA8, 0, nothing, [](const sim::GameState& s) { return s.flag_82b0 == 255; }},
    {19, 13, Meet::kDrop, 0x009FFE, 0, nothing, [](const sim::GameState& s) { return usedUp(s, 19) && s.flag_82bd == 255; }},
    // The forest.
    {44, 16, Meet::kAtX, 1500, 0, nothing, [](const sim::GameState& s) { return s.flag_8301 == 255; }},
    {42, 17, Meet::kDrop, 0x00A68C, 0x004F88, nothing, [](const sim::GameState& s) {
       return s.flag_82e0 == 255 && th::objectWord(s, 42, th::kObjX) == 1465; }},
    {41, 18, Meet::kDrop, 0x00A53A, 0x007F46, nothing, [](const sim::GameState& s) {
       return s.flag_82db == 255 && th::objectWord(s, 41, th::kObjX) == 1727; }},
    {59, 18, Meet::kDrop, 0x00A5CA, 0x007F46, nothing, [](const sim::GameState& s) { return usedUp(s, 59) && s.flag_82dd == 255; }},
    {43, 20, Meet::kDrop, 0x00A7EE, 0, nothing, [](const sim::GameState& s) { return s.flag_82d5 == 255; }},
    // The castle and the tower hall.
    {53, 22, Meet::kDrop, 0x00844C, 0, nothing, [](const sim::GameState& s) {
       return usedUp(s, 53) && th::objectWord(s, 52, th::kObjY) == 136; }, 5},
    {36, 26, Meet::kDrop, 0x00A4F6, 0x004F78, nothing, [](const sim::GameState& s) { return s.flags_82d1[0] == 255; }},
    {37, 26, Meet::kDrop, 0x00A4F6, 0x004F78, nothing, [](const sim::GameState& s) { return s.flags_82d1[2] == 255; }},
    {39, 26, Meet::kDrop, 0x00A4F6, 0x004F78, nothing, [](const sim::GameState& s) { return s.flags_82d1[3] == 255; }},
    {47, 26, Meet::kDrop, 0x00A3BC, 0x004F78, nothing, [](const sim::GameState& s) {
       return usedUp(s, 47) && th::objectWord(s, 48, th::kObjY) == 160; }, 2},
    {34, 27, Meet::kHero, 0x008830, 0, nothing, [](const sim::GameState& s) {
       return usedUp(s, 34) && th::objectWord(s, 56, th::kObjY) == 144; }, 8},
    {45, 47, Meet::kDrop, 0x00A886, 0, nothing, [](const sim::GameState& s) { return usedUp(s, 45) && s.flag_82f8 == 255; }},
    // The shore.
    {32, 28, Meet::kDrop, 0x00A36E, 0x004F80, nothing, [](const sim::GameState& s) { return usedUp(s, 32) && s.w825a == 1; }},
    {33, 28, Meet::kDrop, 0x00A36E, 0x004F80, [](sim::GameState& s) { s.w825a = 1; },  // the hook is there
     [](const sim::GameState& s) { return usedUp(s, 33) && s.flag_82cd == 255; }},
    {31, 29, Meet::kDrop, 0x00A2E8, 0, nothing, [](const sim::GameState& s) { return usedUp(s, 31) && s.flag_82d7 == 255; }},
    {30, 29, Meet::kDrop, 0x00A2AC, 0, nothing, [](const sim::GameState& s) { return usedUp(s, 30) && s.flag_82d8 == 255; }},
    // Beyond the trapdoor.
    {29, 32, Meet::kDrop, 0x00A268, 0, nothing, [](const sim::GameState& s) { return usedUp(s, 29) && s.flag_82cc == 255; }},
    {28, 34, Meet::kDrop, 0x009F30, 0, nothing, [](const sim::GameState& s) { return s.flag_8307 == 255; }},
    {40, 42, Meet::kDrop, 0x00A82A, 0, nothing, [](const sim::GameState& s) { return usedUp(s, 40) && s.flag_82f7 == 255; }},
    {51, 43, Meet::kDrop, 0x00951C, 0, nothing, [](const sim::GameState& s) { return usedUp(s, 51) && s.flag_8305 == 255; }},
    {46, 48, Meet::kDrop, 0x00A8C2, 0, nothing, [](const sim::GameState& s) { return usedUp(s, 46) && s.flag_82fb == 255; }},
};
// clang-format on

// A place where the hero stands on open ground and meets the puzzle's place, away from the scene that
// would take the press and from any object lying there (B would pick it up instead of dropping).
std::optional<std::pair<std::int64_t, std::int64_t>> placeFor(const RealWorld& r, const sim::GameState& s,
                                                              const Puzzle& p) {
  if (p.meet == Meet::kInLift) {  // the basket at the bottom of its run, where it waits for its key
    const std::size_t at = sim::rec::kLiftSize * p.place;
    return std::make_pair(be::word(s.lifts, at + 2), be::word(s.lifts, at + 4) + be::word(s.lifts, at + 10) + 10);
  }
  const world::Area& a = area(r, p.area);
  const Box rect = p.meet == Meet::kAtX ? Box{p.place, 0, 1, 192} : romBox(r.rom, p.place);
  auto lyingNear = [&](std::int64_t X, std::int64_t Y) {
    for (int k = 0; k < th::kObjectCount; ++k) {
      if (objectArea(s, k) != p.area) continue;
      const std::int64_t ox = th::objectWord(s, k, th::kObjX), oy = th::objectWord(s, k, th::kObjY);
      if (ox + 2 < X + 18 && X < ox + 12 && oy - 3 < Y + 20 && Y < oy + 10) return true;
    }
    return false;
  };
  for (std::int64_t X = rect.x - 24; X <= rect.x + rect.w + 4; ++X)
    for (std::int64_t Y = -8; Y < 168; ++Y) {
      if (!standsAt(a, X, Y) || lyingNear(X, Y)) continue;
      if (p.avoid != 0 && heroIn(romBox(r.rom, p.avoid), X, Y)) continue;
      const bool meets = p.meet == Meet::kDrop   ? dropIn(rect, X, Y)
                         : p.meet == Meet::kHero ? heroIn(rect, X, Y)
                                                 : X == p.place;
      if (meets) return std::make_pair(X, Y);
    }
  return std::nullopt;
}

// The object held out (the bottom slot, the one B gives up first) with nothing else carried.
void holdOut(sim::GameState& s, int k) {
  for (std::size_t slot : {2, 3}) th::setInv(s, slot, -1);
  th::setInv(s, th::kBottom, k);
  th::setObjectWord(s, k, th::kObjArea, th::kCarried);
}

TEST(WorldPuzzles, EveryObjectDroppedWhereItIsUsedDoesWhatItIsFor) {
  auto r = loadRealWorld();
  ASSERT_TRUE(r) << "the data set in the source tree does not load";
  for (const Puzzle& p : kPuzzles) {
    SCOPED_TRACE(testing::Message() << "object " << p.object << " in area " << p.area);
    r->sim->newGame(0);
    sim::GameState& s = r->sim->mutableState();
    const auto at = placeFor(*r, s, p);
    ASSERT_TRUE(at.has_value()) << "nowhere to stand there";
    holdOut(s, p.object);
    p.setUp(s);
    ASSERT_TRUE(r->sim->teleport(p.area, at->first, at->second)) << r->sim->stopMessage();
    for (int k = 0; k < 20; ++k) r->sim->step(0, k);  // he settles where he was put
    p.setUp(s);                                       // what the area's own start may have reset
    ASSERT_EQ(th::inv(s, th::kBottom), p.object);
    const std::size_t screensBefore = r->sim->screens().size();
    r->sim->step(kB, 100);
    bool done = false;
    for (int k = 0; k < 60 && !done; ++k) {
      done = p.solved(s);
      if (!done) r->sim->step(0, 101 + k);
    }
    EXPECT_EQ(r->sim->stopMessage(), "");
    if (p.event != 0) {
      const auto& screens = r->sim->screens();
      ASSERT_GT(screens.size(), screensBefore) << "no event screen";
      EXPECT_EQ(screens[screensBefore].event, p.event);
    }
    EXPECT_TRUE(done) << "standing at (" << at->first << ", " << at->second << "), the object's area is "
                      << objectArea(s, p.object);
  }
}

// The trapdoor of Heron Jetty leads one way: down to Gull Point and on through the under-road, the mines
// and the cliff path, none of which leads back. An object used before it must not lie beyond it.
TEST(WorldPuzzles, NothingUsedBeforeTheTrapdoorLiesBeyondIt) {
  auto r = loadRealWorld();
  ASSERT_TRUE(r) << "the data set in the source tree does not load";
  auto beyond = [](std::int64_t a) {
    return a == 32 || a == 33 || (a >= 34 && a <= 43) || a == 45 || a == 46 || a >= 48;
  };
  const sim::GameState& s = r->sim->state();
  for (const Puzzle& p : kPuzzles) {
    if (beyond(p.area)) continue;
    const std::int64_t lies = objectArea(s, p.object);
    EXPECT_FALSE(lies != th::kUsedUp && beyond(lies))
        << "object " << p.object << " lies in area " << lies << " and is used in area " << p.area;
  }
}

// The things that act while carried: each is the object the logic looks for.
TEST(WorldPuzzles, TheCarriedThingsAreTheOnesTheLogicLooksFor) {
  auto r = loadRealWorld();
  ASSERT_TRUE(r) << "the data set in the source tree does not load";
  struct Carried {
    int object;
    std::size_t flag;  // its byte of item_flags
  };
  // The air shell, the webbed boots, the rope, the anvil, the charm, the bow, the cloak, the golden thread.
  const Carried kCarried[] = {{20, 0}, {23, 1}, {8, 2}, {50, 3}, {24, 4}, {26, 5}, {48, 6}, {58, 7}};
  for (const Carried& c : kCarried) {
    SCOPED_TRACE(testing::Message() << "object " << c.object);
    r->sim->newGame(0);
    sim::GameState& s = r->sim->mutableState();
    holdOut(s, c.object);
    r->sim->step(0, 1);
    EXPECT_EQ(s.item_flags[c.flag], 255);
    for (std::size_t other = 0; other < 8; ++other)
      if (other != c.flag) EXPECT_EQ(s.item_flags[other], 0) << "byte " << other;
  }
}

// The goat takes the apple held out to it and gives its bell; the map scrap starts the swap puzzle when
// it is picked up; the bow held at the archery stand, with the target set up, starts the contest with it.
TEST(WorldPuzzles, TheApplesBellTheMapScrapAndTheBow) {
  auto r = loadRealWorld();
  ASSERT_TRUE(r) << "the data set in the source tree does not load";
  auto pressB = [&](auto&& until) {
    r->sim->step(kB, 100);
    for (int k = 0; k < 60 && !until(); ++k) r->sim->step(0, 101 + k);
    return until();
  };
  {
    SCOPED_TRACE("the apple");
    r->sim->newGame(0);
    sim::GameState& s = r->sim->mutableState();
    holdOut(s, 6);
    ASSERT_TRUE(r->sim->teleport(1, 0, 0));
    auto word = [&](std::size_t at) {
      return static_cast<std::int64_t>(be::word(s.a1_walker, sim::rec::kWalkerTouch + at));
    };
    // The goat on the lane's floor, where the area's handler brings it down from its hop.
    be::setWord(s.a1_walker, sim::rec::kWalkerTouch + 2, 150);
    const Box goat{word(0), word(2), word(4), word(6)};
    std::optional<std::int64_t> X;
    for (std::int64_t x = goat.x - 19; x < goat.x + goat.w && !X; ++x)
      if (standsAt(area(*r, 1), x, 152) && heroIn(goat, x, 152)) X = x;
    ASSERT_TRUE(X.has_value()) << "nowhere to stand at the goat";
    ASSERT_TRUE(r->sim->teleport(1, *X, 152));
    for (int k = 0; k < 20; ++k) r->sim->step(0, k);
    EXPECT_TRUE(pressB([&] { return usedUp(s, 6) && objectArea(s, 53) == th::kCarried && s.flag_82eb == 255; }));
  }
  {
    SCOPED_TRACE("the map scrap");
    r->sim->newGame(0);
    sim::GameState& s = r->sim->mutableState();
    const std::int64_t ox = th::objectWord(s, 61, th::kObjX), oy = th::objectWord(s, 61, th::kObjY);
    ASSERT_TRUE(r->sim->teleport(objectArea(s, 61), ox - 4, oy - 8));
    for (int k = 0; k < 20; ++k) r->sim->step(0, k);
    EXPECT_TRUE(pressB([&] { return usedUp(s, 61) && (s.mode == 1 || s.in_subgame != 0); }));
  }
  {
    SCOPED_TRACE("the bow");
    r->sim->newGame(0);
    sim::GameState& s = r->sim->mutableState();
    holdOut(s, 26);
    const Box stand = romBox(r->rom, 0x007F46);
    ASSERT_TRUE(r->sim->teleport(18, stand.x, 152));
    s.flag_82db = 255;  // the target is set up
    s.w825e = 0;        // and its flight to the stand is over
    for (int k = 0; k < 20; ++k) r->sim->step(0, k);
    EXPECT_TRUE(pressB([&] { return s.mode == 6; }));
  }
}

}  // namespace
