// The cartridge's places in our world: where the hero must stand for an area's scene, where an
// object must be dropped to be used, and the deadly beds. Each is read from the built data set and
// checked against the area's collision, the way the hero meets it.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>

#include "sim/real_world.h"

namespace {

using namespace real_world;

struct Rect {
  std::int64_t x, y, w, h;
};

Rect rectAt(const sim::RomView& rom, std::uint32_t address) {
  auto word = [&](std::uint32_t a) { return static_cast<std::int64_t>(static_cast<std::int16_t>(rom.wordAt(a))); };
  return {word(address), word(address + 2), word(address + 4), word(address + 6)};
}

// The hero's box (20 x 20 at X, Y) inside a rectangle.
bool heroInside(const Rect& r, std::int64_t X, std::int64_t Y) {
  return X < r.x + r.w && r.x < X + 20 && Y < r.y + r.h && r.y < Y + 20;
}

// The object he drops there (16 x 16 at X + 2, Y + 8) over a rectangle.
bool dropOver(const Rect& r, std::int64_t X, std::int64_t Y) {
  return X + 2 < r.x + r.w && r.x < X + 18 && Y + 8 < r.y + r.h && r.y < Y + 24;
}

enum class Meet { kHero, kDrop };

bool meets(Meet m, const Rect& r, std::int64_t X, std::int64_t Y) {
  return m == Meet::kHero ? heroInside(r, X, Y) : dropOver(r, X, Y);
}

// A place where the hero stands (open ground) and meets the rectangle, if there is one.
std::optional<std::pair<std::int64_t, std::int64_t>> standingPlace(const world::Area& a, const Rect& r, Meet m,
                                                                   const Rect* outside = nullptr) {
  for (std::int64_t X = r.x - 24; X <= r.x + r.w + 4; ++X)
    for (std::int64_t Y = -8; Y < 168; ++Y)
      if (standsAt(a, X, Y) && meets(m, r, X, Y) && !(outside && heroInside(*outside, X, Y)))
        return std::make_pair(X, Y);
  return std::nullopt;
}

struct Place {
  std::uint32_t address;
  int area;
  Meet meet;
};

// Every place of the areas' scenes and the objects' uses.
constexpr Place kPlaces[] = {
    {0x004F78, 26, Meet::kHero}, {0x004F80, 28, Meet::kHero}, {0x004F88, 17, Meet::kHero}, {0x007F46, 18, Meet::kHero},
    {0x00844C, 22, Meet::kHero}, {0x008830, 27, Meet::kHero}, {0x0093A0, 42, Meet::kHero}, {0x00951C, 43, Meet::kHero},
    {0x009524, 43, Meet::kHero}, {0x0097C8, 48, Meet::kHero}, {0x0062F6, 6, Meet::kDrop},  {0x009DA8, 11, Meet::kDrop},
    {0x009E2C, 0, Meet::kDrop},  {0x009E34, 0, Meet::kDrop},  {0x009E82, 0, Meet::kDrop},  {0x009F30, 34, Meet::kDrop},
    {0x009F38, 34, Meet::kDrop}, {0x009FBA, 10, Meet::kDrop}, {0x009FC2, 10, Meet::kDrop}, {0x009FFE, 13, Meet::kDrop},
    {0x00A04C, 8, Meet::kDrop},  {0x00A0DA, 10, Meet::kDrop}, {0x00A0E2, 10, Meet::kDrop}, {0x00A120, 15, Meet::kDrop},
    {0x00A180, 9, Meet::kDrop},  {0x00A1DA, 1, Meet::kDrop},  {0x00A268, 32, Meet::kDrop}, {0x00A2AC, 29, Meet::kDrop},
    {0x00A2E8, 29, Meet::kDrop}, {0x00A36E, 28, Meet::kDrop}, {0x00A376, 28, Meet::kDrop}, {0x00A3BC, 26, Meet::kDrop},
    {0x00A4F6, 26, Meet::kDrop}, {0x00A53A, 18, Meet::kDrop}, {0x00A5CA, 18, Meet::kDrop}, {0x00A650, 10, Meet::kDrop},
    {0x00A68C, 17, Meet::kDrop}, {0x00A7EE, 20, Meet::kDrop}, {0x00A82A, 42, Meet::kDrop}, {0x00A886, 47, Meet::kDrop},
    {0x00A8C2, 48, Meet::kDrop},
};

TEST(WorldPlaces, EveryPlaceIsMetStandingOnOpenGround) {
  auto r = loadRealWorld();
  ASSERT_TRUE(r) << "the data set in the source tree does not load";
  for (const Place& p : kPlaces) {
    SCOPED_TRACE(testing::Message() << std::hex << "place " << p.address);
    const Rect rect = rectAt(r->rom, p.address);
    ASSERT_GT(rect.w, 0);
    ASSERT_GT(rect.h, 0);
    EXPECT_TRUE(standingPlace(area(*r, p.area), rect, p.meet).has_value())
        << "nowhere to stand in area " << p.area << " at (" << std::dec << rect.x << ", " << rect.y << ")";
  }
}

// A B press inside a scene's place starts the scene and never drops the object, so an object used
// in the same area must have a place to be dropped from outside the scene's.
TEST(WorldPlaces, ObjectsCanBeDroppedOutsideTheScenesThatTakeEveryPress) {
  auto r = loadRealWorld();
  ASSERT_TRUE(r) << "the data set in the source tree does not load";
  struct Pair {
    std::uint32_t scene, use;
    int area;
  };
  const Pair kPairs[] = {
      {0x004F78, 0x00A4F6, 26}, {0x004F78, 0x00A3BC, 26},  // the shields; the throws and the crown
      {0x004F80, 0x00A36E, 28}, {0x004F80, 0x00A376, 28},  // the fisher; the hook and the worms
      {0x007F46, 0x00A53A, 18}, {0x007F46, 0x00A5CA, 18},  // the archery stand; the target, the nut
      {0x004F88, 0x00A68C, 17},                            // the machine's lever; the cogwheel
  };
  for (const Pair& p : kPairs) {
    SCOPED_TRACE(testing::Message() << std::hex << "scene " << p.scene << ", use " << p.use);
    const Rect scene = rectAt(r->rom, p.scene);
    EXPECT_TRUE(standingPlace(area(*r, p.area), rectAt(r->rom, p.use), Meet::kDrop, &scene).has_value());
  }
}

// The High Tower's deadly ledge is out of reach on the floor and touched at the top of a jump.
TEST(WorldPlaces, TheTowerLedgeIsTouchedByAJump) {
  auto r = loadRealWorld();
  ASSERT_TRUE(r) << "the data set in the source tree does not load";
  const Rect ledge = rectAt(r->rom, 0x0096D8);
  const world::Area& hall = area(*r, 47);
  EXPECT_FALSE(standingPlace(hall, ledge, Meet::kHero).has_value());
  const std::int64_t X = ledge.x;
  ASSERT_TRUE(standsAt(hall, X, 152));
  EXPECT_TRUE(heroInside(ledge, X, 152 - 30));
}

// The deadly beds: each kills a hero on the floor over it and nowhere beside it, restarts him on open
// ground clear of it, and can be jumped with a run-up.
TEST(WorldPlaces, TheDeadlyBedsCanBeJumped) {
  auto r = loadRealWorld();
  ASSERT_TRUE(r) << "the data set in the source tree does not load";
  struct Bed {
    std::uint32_t address;
    int area;
  };
  const Bed kBeds[] = {{0x003636, 18}, {0x003644, 10}, {0x00364E, 20}, {0x00365C, 9}};
  for (const Bed& b : kBeds) {
    SCOPED_TRACE(testing::Message() << std::hex << "bed " << b.address);
    const world::Area& a = area(*r, b.area);
    const Rect bed = rectAt(r->rom, b.address);
    const std::int64_t middle = bed.x + bed.w / 2 - 10;
    ASSERT_EQ(groundAt(a, middle), 152);
    EXPECT_TRUE(heroInside(bed, middle, 152));
    for (std::int64_t beside : {bed.x - 40, bed.x + bed.w + 20}) {
      EXPECT_EQ(groundAt(a, beside), 152);
      EXPECT_FALSE(heroInside(bed, beside, 152)) << "at x " << std::dec << beside;
    }
    const auto restartArea = static_cast<std::int16_t>(r->rom.wordAt(b.address + 8));
    if (restartArea >= 0) {
      EXPECT_EQ(restartArea, b.area);
      const auto rx = static_cast<std::int16_t>(r->rom.wordAt(b.address + 10));
      const auto ry = static_cast<std::int16_t>(r->rom.wordAt(b.address + 12));
      EXPECT_TRUE(standsAt(a, rx, ry));
      EXPECT_FALSE(heroInside(bed, rx, ry));
    } else {
      // The Mill Cellar's handler restarts the hero at one of its own points instead; he drops
      // from each onto the floor beside the bed.
      for (std::int64_t rx : {772, 940, 1435}) {
        const std::int64_t y = landing(a, rx, 24);
        EXPECT_GE(y, 0);
        EXPECT_FALSE(heroInside(bed, rx, y)) << "restart at x " << std::dec << rx;
      }
    }

    // Running east and jumping from some place before the bed, the hero never touches it.
    bool cleared = false;
    for (std::int64_t takeOff = bed.x - 70; takeOff <= bed.x - 20 && !cleared; takeOff += 2) {
      ASSERT_TRUE(r->sim->teleport(b.area, bed.x - 140, 152)) << r->sim->stopMessage();
      auto& s = r->sim->mutableState();
      s.stars_left = 250;
      s.lives = 2;
      std::int64_t tick = 0;
      for (int k = 0; k < 5; ++k) r->sim->step(0, ++tick);
      bool touched = false;
      while ((s.x >> 16) < takeOff && tick < 200) r->sim->step(0x08, ++tick);
      r->sim->step(0x28, ++tick);
      for (int k = 0; k < 80 && (s.jump != 0 || s.settled == 0); ++k) {
        touched |= heroInside(bed, s.x >> 16, s.y >> 16);
        r->sim->step(0x08, ++tick);
      }
      for (int k = 0; k < 5; ++k) r->sim->step(0, ++tick);  // he settles onto the floor
      cleared = !touched && (s.x >> 16) >= bed.x + bed.w && (s.y >> 16) == 152;
    }
    EXPECT_TRUE(cleared) << "no running jump clears the bed";
  }
}

}  // namespace
