// Dropping an object runs its use routine: in its place it is used, anywhere else it stays where it lies.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "sim/things/things_fixture.h"

namespace {

using things_test::ThingsTest;
namespace th = sim::things;

constexpr std::int64_t kInPlace = 100, kAway = 250;  // where the hero stands
// A place the object dropped at kInPlace meets and the one dropped at kAway does not.
const std::vector<std::uint16_t> kPlace = {80, 144, 48, 32};

struct UseCase {
  const char* name;
  std::uint32_t use;
  int area;
  std::int64_t heroX;
  std::vector<std::uint32_t> places;  // ROM rectangles, all set to kPlace
  std::function<void(sim::GameState&)> setUp;
  std::int64_t areaAfter;  // the object's area word afterwards
  std::int64_t points;
  int effect;  // 0: none
  std::function<bool(const sim::GameState&)> check;
};

class UseRoutineTest : public ThingsTest {
 protected:
  static constexpr std::int64_t kObject = 19;  // the one object the plug's place lets be dropped

  void drop(const UseCase& c) {
    HeroTest::area(c.area);
    floorIn(c.area);
    for (std::uint32_t at : c.places) sim_test::putWords(*f.rom, at, kPlace);
    sim_test::putWords(*f.rom, 0x0099A2, {3, 0, 0, 1, 2, 0xFFFF});  // a door's opening
    objects[kObject] = {100, 0, 0, 1, kObject, 0, c.use};
    startWithObjects(c.heroX, c.area);
    c.setUp(s());
    carry(-1, -1, kObject);
    bend();
  }
};

auto nothing = [](sim::GameState&) {};
auto always = [](const sim::GameState&) { return true; };

TEST_F(UseRoutineTest, ARoutineActsInItsPlaceAndTheObjectStaysElsewhere) {
  const std::size_t lift1 = sim::rec::kLiftSize;
  auto centred = [=](std::int64_t v) {
    return [=](sim::GameState& s) {
      sim::be::setWord(s.lifts, lift1, 0);
      sim::be::setWord(s.lifts, lift1 + 14, v);
    };
  };
  const UseCase cases[] = {
      {"the ember on the plug",
       0x009FCA,
       13,
       kInPlace,
       {0x009FFE},
       nothing,
       100,
       100,
       2,
       [](const sim::GameState& s) { return s.flag_82bd == 255; }},
      {"the ember beside it",
       0x009FCA,
       13,
       kAway,
       {0x009FFE},
       nothing,
       13,
       0,
       0,
       [](const sim::GameState& s) { return s.flag_82bd == 0; }},
      {"the ember in another area", 0x009FCA, 21, kInPlace, {0x009FFE}, nothing, 21, 0, 0, always},
      {"a lift key in the middle of its lift",
       0x009C14,
       21,
       kInPlace,
       {},
       centred(1),
       100,
       100,
       14,
       [=](const sim::GameState& s) {
         return sim::be::word(s.lifts, lift1) == 1 && sim::be::word(s.lifts, lift1 + 12) == -1;
       }},
      {"a lift key off its centre",
       0x009C14,
       21,
       kInPlace,
       {},
       centred(0),
       21,
       0,
       0,
       [=](const sim::GameState& s) { return sim::be::word(s.lifts, lift1) == 0; }},
      {"a door key at its door",
       0x009CB8,
       3,
       kInPlace,
       {0x00278A},
       nothing,
       100,
       0,
       0,
       [](const sim::GameState& s) { return sim::be::word(s.door_states, 2 * sim::rec::kDoorSize) == 1; }},
      {"the crate becomes a step out of sight",
       0x009D6C,
       11,
       kInPlace,
       {0x009DA8},
       nothing,
       11,
       100,
       2,
       [](const sim::GameState& s) { return s.flag_82b0 == 255 && th::objectWord(s, kObject, th::kObjX) == 4000; }},
      {"the stone thrown onto the platform",
       0x009F40,
       10,
       kInPlace,
       {0x009FBA, 0x009FC2},
       nothing,
       10,
       100,
       0,
       [](const sim::GameState& s) {
         return th::objectWord(s, kObject, th::kObjX) == -16 && s.flag_82bb == 255 && s.flag_82bf == 255 &&
                sim::be::word(s.a10_anim, 0) == th::objectWord(s, kObject, sim::rec::kObjectSlot) &&
                sim::be::word(s.arc, 0) == kInPlace + 7 && sim::be::word(s.arc, 8) == 861 &&
                sim::be::word(s.arc, 12) == 176;
       }},
      {"the seed before the guard is away", 0x00A610, 10, kInPlace, {0x00A650}, nothing, 10, 0, 0, always},
      {"the seed once the guard is away",
       0x00A610,
       10,
       kInPlace,
       {0x00A650},
       [](sim::GameState& s) { s.guard10 = 2; },
       100,
       50,
       2,
       [](const sim::GameState& s) { return s.flag_82de; }},
      {"fairy dust sparkles anywhere",
       0x00A188,
       21,
       kInPlace,
       {0x00A1DA},
       nothing,
       21,
       0,
       0,
       [](const sim::GameState& s) { return s.flag_82c7 == 255 && s.flag_82c8 == 0; }},
      {"the score wraps at 16 bits",
       0x00A8CA,
       43,
       kInPlace,
       {0x00951C, 0x009524},
       [](sim::GameState& s) { s.score = 50000; },
       100,
       25000,
       2,
       [](const sim::GameState& s) { return s.score == (50000 + 25000) % 65536; }},
  };
  for (const UseCase& c : cases) {
    SCOPED_TRACE(c.name);
    drop(c);
    ASSERT_EQ(sim().stopMessage(), "");
    EXPECT_EQ(objectArea(kObject), c.areaAfter);
    if (c.use != 0x00A8CA) EXPECT_EQ(s().score, c.points);
    if (c.effect != 0) {
      EXPECT_TRUE(effectRequested(static_cast<std::uint32_t>(c.effect)));
    } else {
      EXPECT_TRUE(sim().soundRequests().empty());
    }
    EXPECT_TRUE(c.check(s()));
  }
}

TEST_F(UseRoutineTest, AnUnknownRoutineStopsTheGameWhenTheObjectIsDropped) {
  objects[kObject] = {100, 0, 0, 1, kObject, 0, 0x001234};
  startWithObjects(kInPlace);
  carry(-1, -1, kObject);
  run(things_test::kB);
  for (int i = 0; i < 40 && sim().stopMessage().empty(); ++i) sim().step(0, tick++);
  EXPECT_EQ(sim().stopMessage(), "an object use routine ($009BEE)");
}

// Departure: the object dropped last meets its routine once, not again every frame the hero then spends
// stunned or dying (on the console, and object 0 after a new game).
TEST_F(UseRoutineTest, ADropIsUsedOnceEvenWhileTheHeroIsStunned) {
  objectArea(13);
  floorIn(13);
  sim_test::putWords(*f.rom, 0x009FFE, kPlace);
  objects[kObject] = {13, kInPlace + 2, 160, 1, kObject, 0, 0x009FCA};
  startWithObjects(kInPlace, 13);
  th::setInv(s(), 0, kObject);
  s().stun = 50;
  run(0, 3);
  EXPECT_EQ(inv(0), -1);
  EXPECT_EQ(objectArea(kObject), 13);
  EXPECT_EQ(s().score, 0);
}

// The areas' own uses of B: each scene answers in its place, and lets the right object be dropped there.
TEST_F(ThingsTest, AreaActionsTakeThePressInTheirPlaces) {
  struct Case {
    const char* name;
    int area;
    std::uint32_t place;
    std::int64_t bottom;  // the bottom carried object
    std::function<void(sim::GameState&)> setUp;
    bool taken;
    std::int64_t event;
  };
  const Case cases[] = {
      {"the sentry", 22, 0x00844C, -1, nothing, true, 4},
      {"the sentry with the bell", 22, 0x00844C, 53, nothing, false, 0},
      {"the sentry after the bell", 22, 0x00844C, 53, [](sim::GameState& s) { s.flag_82e9 = 255; }, true, 6},
      {"the throne without the crown", 26, 0x00A3BC, -1, nothing, true, 1},
      {"the throne with the crown", 26, 0x00A3BC, 47, nothing, false, 0},
      {"the cook", 27, 0x008830, -1, nothing, true, 7},
      {"the cook with the moonflower", 27, 0x008830, 34, nothing, false, 0},
      {"the fisher", 28, 0x004F80, -1, nothing, true, 10},
      {"the fisher later", 28, 0x004F80, -1, [](sim::GameState& s) { s.flag_82da = 255; }, true, 12},
      {"the hatch without the weight", 8, 0x00A04C, 3, nothing, true, 0},
      {"the hatch with the weight", 8, 0x00A04C, 35, nothing, false, 0},
      {"the lever before the cogwheel", 17, 0x004F88, -1, nothing, false, 0},
      {"the lever after it", 17, 0x004F88, -1, [](sim::GameState& s) { s.flag_82e0 = 255; }, true, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HeroTest::area(c.area);
    floorIn(c.area);
    // Every place of the table readable; only this one where the hero stands.
    for (std::uint32_t at : {0x00844Cu, 0x00A3BCu, 0x004F78u, 0x008830u, 0x004F80u, 0x00A04Cu, 0x004F88u})
      sim_test::putWords(*f.rom, at, {2000, 0, 10, 10});
    sim_test::putWords(*f.rom, c.place, kPlace);
    startWithObjects(kInPlace, c.area);
    c.setUp(s());
    if (c.bottom >= 0) carry(-1, -1, c.bottom);
    EXPECT_EQ(th::areaActions(ctx()), c.taken);
    EXPECT_EQ(s().event, c.event);
  }
}

// The arc's step count: the steps until the thrown thing falls back to the target's height.
TEST(ThrownArc, CountsTheStepsUntilItFallsToTheTarget) {
  struct Case {
    const char* name;
    std::int64_t startY, targetY, speed, gravity, steps;
  };
  const Case cases[] = {
      {"already below the target and falling", 10, 0, -0x10000, 0x10000, 0},
      {"falling from a standstill", 0, 3, 0, 0x10000, 1},
      {"thrown up, then down", 0, 0, -0x20000, 0x10000, 2},
      // Departure: with no pull downwards the console counts for ever; the count stops at its word's end.
      {"no gravity", 0, 10, -0x10000, 0, 0xFFFF},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    sim_test::SimFixture f;
    sim::Context& ctx = f.started().context();
    th::buildArc(ctx, 5, c.startY, 50, c.targetY, c.speed, c.gravity);
    EXPECT_EQ(static_cast<std::uint16_t>(sim::be::word(ctx.state.arc, 28)), c.steps);
    EXPECT_EQ(sim::be::word(ctx.state.arc, 26), 5);
    EXPECT_EQ(sim::be::word(ctx.state.arc, 30), 0);
  }
}

}  // namespace
