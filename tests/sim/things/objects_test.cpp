// Objects lying in an area: drawn, picked up with B (three carried at most), given up and dropped.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "sim/things/things_fixture.h"

namespace {

using things_test::ThingsTest;
namespace th = sim::things;

constexpr std::int64_t kX = 100;  // where the hero stands; an object at (kX, 160) lies under him

// Picking up with free slots fills the row from the bottom; with all three full the bottom object is given
// up where the new one lay, and the row shifts down over it.
TEST_F(ThingsTest, PickingUpFillsTheRowAndSwapsWhenItIsFull) {
  struct Case {
    const char* name;
    std::int64_t carried[3];  // inventory words 2 to 4 before
    std::int64_t after[3];    // and once the panel has settled
    bool swap;
  };
  const Case cases[] = {
      {"nothing carried", {-1, -1, -1}, {-1, -1, 5}, false},
      {"one carried", {-1, -1, 1}, {-1, 5, 1}, false},
      {"two carried", {-1, 2, 1}, {5, 2, 1}, false},
      {"three carried", {3, 2, 1}, {5, 3, 2}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    objects = std::vector<things_test::ObjectRecord>(62);
    for (std::size_t k = 0; k < objects.size(); ++k) objects[k].number = static_cast<std::int16_t>(k);
    objects[5] = {21, kX, 160, 1, 5};
    startWithObjects(kX);
    carry(c.carried[0], c.carried[1], c.carried[2]);
    bend();
    EXPECT_TRUE(effectRequested(7));
    for (int i = 0; i < 80; ++i) run(0);
    EXPECT_EQ(objectArea(5), -1);
    for (std::size_t w = 0; w < 3; ++w) EXPECT_EQ(inv(2 + w), c.after[w]) << "word " << 2 + w;
    EXPECT_EQ(inv(1), -1);
    EXPECT_EQ(sim::be::word(s().inv_timers, sim::rec::kInvPanelBusy), 0);
    if (c.swap) {
      EXPECT_EQ(objectArea(1), 21);
      EXPECT_EQ(objectWord(1, th::kObjX), kX);
      EXPECT_EQ(objectWord(1, th::kObjY), 160);
    }
  }
}

TEST_F(ThingsTest, DroppingLaysTheBottomObjectAtTheHerosFeet) {
  startWithObjects(kX);
  carry(-1, 7, 4);
  bend();
  EXPECT_EQ(objectArea(4), 21);
  EXPECT_EQ(objectWord(4, th::kObjX), kX + 2);
  EXPECT_EQ(objectWord(4, th::kObjY), things_test::kRestY + 8);
  EXPECT_TRUE(sim().soundRequests().empty());
  run(0, 20);  // the row shifts down over the dropped object
  EXPECT_EQ(inv(2), -1);
  EXPECT_EQ(inv(3), -1);
  EXPECT_EQ(inv(4), 7);
  // It lies there: B again picks it up.
  bend();
  EXPECT_EQ(objectArea(4), -1);
  EXPECT_TRUE(effectRequested(7));
}

TEST_F(ThingsTest, DroppingWithNothingCarriedDoesNothingAndIsSilent) {
  startWithObjects(kX);
  const sim::GameState before = s();
  bend();
  EXPECT_TRUE(sim().soundRequests().empty());
  EXPECT_EQ(s().inventory, before.inventory);
  EXPECT_EQ(s().objects, before.objects);
  EXPECT_EQ(s().score, before.score);
}

// The rules of the pick-up by kind and number.
TEST_F(ThingsTest, PickUpRulesByKindAndNumber) {
  struct Case {
    const char* name;
    std::int16_t kind, number;
    std::function<void(sim::GameState&)> setUp;
    bool taken;
    std::function<bool(const sim::GameState&)> check;
  };
  const Case cases[] = {
      {"kind 6 the first time raises event 15", 6, 5, [](sim::GameState&) {}, true,
       [](const sim::GameState& s) { return s.flag_82d0 == 255 && s.screen_kind == sim::kEventScreen; }},
      {"kind 6 later raises nothing", 6, 5, [](sim::GameState& s) { s.flag_82d0 = 255; }, true,
       [](const sim::GameState& s) { return s.screen_kind == 0; }},
      {"kind 23 stays once the target is set up", 23, 5, [](sim::GameState& s) { s.flag_82db = 255; }, false,
       [](const sim::GameState&) { return true; }},
      {"kind 27 stays once the cogwheel is in", 27, 5, [](sim::GameState& s) { s.flag_82e0 = 255; }, false,
       [](const sim::GameState&) { return true; }},
      {"kind 23 is taken before", 23, 5, [](sim::GameState&) {}, true, [](const sim::GameState&) { return true; }},
      {"number 0 marks the key found", 1, 0, [](sim::GameState&) {}, true,
       [](const sim::GameState& s) { return s.flag_82fe == 255; }},
      {"number 20 hides the energy bar", 1, 20, [](sim::GameState& s) { s.damage_show = 90; }, true,
       [](const sim::GameState& s) { return s.damage_show == 0; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    objects = std::vector<things_test::ObjectRecord>(62);
    for (std::size_t k = 0; k < objects.size(); ++k) objects[k].number = static_cast<std::int16_t>(k);
    const std::size_t k = static_cast<std::size_t>(c.number);
    objects[k] = {21, kX, 160, c.kind, c.number};
    startWithObjects(kX);
    c.setUp(s());
    sim().soundRequests().clear();
    run(things_test::kB);
    for (int i = 0; i < 60 && s().lock != 0 && s().screen_kind == 0; ++i) run(0);
    EXPECT_EQ(objectArea(c.number), c.taken ? -1 : 21);
    EXPECT_EQ(effectRequested(7), c.taken);
    EXPECT_TRUE(c.check(s()));
  }
}

TEST_F(ThingsTest, TheMapScrapStartsTheSwapPuzzleInsteadOfBeingCarried) {
  objects[9] = {21, kX, 160, 47, 9};
  startWithObjects(kX);
  sim::GameState& st = s();
  st.lock = 2;
  st.anim_index = 3;
  st.action_done = 0;
  th::bAction(ctx());
  EXPECT_EQ(objectArea(9), 100);
  EXPECT_EQ(st.mode, 1);
  for (std::size_t w = 1; w <= 4; ++w) EXPECT_EQ(inv(w), -1);
  EXPECT_FALSE(effectRequested(7));
}

// Only objects of this area are drawn, each with the graphics slot of its place in the list, and only
// when on screen; carried ones take a slot too.
TEST_F(ThingsTest, ObjectsHereAreListedWithTheirSlotsAndDrawnOnScreen) {
  objects[2] = {21, 40, 160, 1, 2};
  objects[3] = {-1, 0, 0, 1, 3};
  objects[4] = {10, 40, 160, 1, 4};   // another area
  objects[6] = {21, 400, 160, 1, 6};  // off the screen
  objects[8] = {21, -15, 100, 1, 8};  // just on it
  startWithObjects(kX);
  EXPECT_EQ(s().objects_here_count, 4);
  EXPECT_EQ(objectWord(2, sim::rec::kObjectSlot), 2);
  EXPECT_EQ(objectWord(3, sim::rec::kObjectSlot), 3);
  EXPECT_EQ(objectWord(6, sim::rec::kObjectSlot), 4);
  EXPECT_EQ(objectWord(8, sim::rec::kObjectSlot), 5);
  run(0);
  std::vector<std::tuple<std::uint32_t, std::uint32_t, std::uint32_t>> drawn;
  for (const sim::SpriteCall& call : ctx().frameSprites)
    if (call.caller == 0x002B5E) drawn.push_back({call.x, call.y, call.frame});
  const std::vector<std::tuple<std::uint32_t, std::uint32_t, std::uint32_t>> expected = {{168, 288, 2}, {113, 228, 5}};
  EXPECT_EQ(drawn, expected);
}

TEST_F(ThingsTest, MoreThan31ObjectsInAnAreaStopTheGame) {
  for (std::size_t k = 0; k < 32; ++k) objects[k].area = 10;
  startWithObjects(kX);
  EXPECT_FALSE(sim().teleport(10, 100, 152));
  EXPECT_EQ(sim().stopMessage(), "more than 31 objects in an area ($002A76, an error screen)");
}

// Departure: an object number outside the records (from a damaged save) stops the game instead of
// reading past them.
TEST_F(ThingsTest, AnObjectNumberOutsideTheRecordsStopsTheGame) {
  startWithObjects(kX);
  th::setInv(s(), 4, 70);
  sim().soundRequests().clear();
  run(things_test::kB);
  for (int i = 0; i < 60 && sim().stopMessage().empty(); ++i) sim().step(0, tick++);
  EXPECT_EQ(sim().stopMessage(), "an object number outside the object records (FFAC62)");
}

// B in the middle of a still, active lift sends it on and takes the press.
TEST_F(ThingsTest, BInALiftSendsItOnInsteadOfDropping) {
  struct Case {
    const char* name;
    std::int64_t centred, rope;
    bool taken;
    std::int64_t speed;
  };
  const Case cases[] = {
      {"centred at the top", 1, 10, true, 1},
      {"centred at the bottom", 1, 50, true, -1},
      {"not centred", 0, 10, false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    startWithObjects(kX);
    carry(-1, -1, 4);
    sim::GameState& st = s();
    const std::size_t at = sim::rec::kLiftSize * 1;
    for (auto [w, v] : {std::pair{0, std::int64_t{1}}, {3, 10}, {4, 50}, {5, c.rope}, {6, 0}, {7, c.centred}, {8, 1}})
      sim::be::setWord(st.lifts, at + 2 * w, v);
    st.lift_near = 0xA278 + 18;
    st.lock = 2;
    st.anim_index = 3;
    st.action_done = 0;
    th::bAction(ctx());
    EXPECT_EQ(sim::be::word(st.lifts, at + 12), c.speed);
    EXPECT_EQ(objectArea(4), c.taken ? -1 : 21);
    if (c.taken) EXPECT_EQ(st.lock, 0);
  }
}

}  // namespace
