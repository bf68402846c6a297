// What dropping an object does: each object names its use routine, and the routine looks at where the
// object was dropped. One row per routine; a routine whose area or place does not match does nothing and
// the object stays where it lies.
#include <algorithm>
#include <iterator>

#include "sim/core/big_endian.h"
#include "sim/core/records.h"
#include "sim/things/object_records.h"
#include "sim/things/things.h"

namespace sim::things {

namespace {

constexpr int kEffectDone = 2;
constexpr int kEffectLift = 14;
constexpr int kEffectFountain = 20;
constexpr std::int64_t kThrowSpeed = -0x30000;
constexpr std::int64_t kThrowGravity = 0x1800;

// Use routine r runs for object k, dropped this frame.
struct Use {
  Context& c;
  GameState& s;
  std::int64_t k;

  bool in(std::int64_t area) const { return s.area == area; }
  bool over(std::uint32_t rect) const { return objectOver(c, k, rect); }
  void usedUp() const { setObjectWord(s, k, kObjArea, kUsedUp); }
  void place(std::int64_t object, std::int64_t x, std::int64_t y) const {
    setObjectWord(s, object, kObjX, x);
    setObjectWord(s, object, kObjY, y);
  }
  void hide() const { place(k, -16, 0); }  // x FFF0
  std::int64_t slot() const { return objectWord(s, k, rec::kObjectSlot); }
  // Thrown from the hero's hands.
  void thrown(std::int64_t tx, std::int64_t ty, std::int64_t speed = kThrowSpeed) const {
    buildArc(c, heroX(s) + 7, heroY(s) + 10, tx, ty, speed, kThrowGravity);
  }
  void done(std::int64_t points, int effect = kEffectDone) const {
    addScore(s, points);
    requestEffect(c, effect);
  }
  // The hero stops where he stands and falls from there.
  void heroFalls() const {
    s.settled = 0;
    s.y = static_cast<std::int32_t>(static_cast<std::uint32_t>(s.y) & 0xFFFF0000u);
    s.vy = 0;
  }
};

void restartAnimation(std::vector<std::uint8_t>& record) {
  be::setWord(record, rec::kAnimTimer, 0);
  be::setWord(record, rec::kAnimIndex, -1);
}

void doorOpens(GameState& s, std::size_t record) {
  be::setWord(s.door_states, rec::kDoorSize * record, 1);
}

// --- the routines ---

void ordinary(const Use&) {}

// Area 21: the castle key at its door.
void castleKey(const Use& u) {
  if (!u.in(21) || !heroInside(u.c, 0x002772)) return;
  u.usedUp();
  doorOpens(u.s, 0);
}

// The door keys of areas 2 to 7, door record k + 1 each.
template <std::size_t kDoor>
void doorKey(const Use& u) {
  if (!u.in(static_cast<std::int64_t>(kDoor) + 2) || !heroInside(u.c, 0x002782 + 8 * kDoor)) return;
  u.usedUp();
  doorOpens(u.s, kDoor + 1);
}

// A lift's key, dropped by the hero standing in the middle of its basket.
template <std::size_t kLift>
void liftKey(const Use& u) {
  if (!activateLiftByKey(u.c, static_cast<int>(kLift))) return;
  u.usedUp();
  u.done(100, kEffectLift);
}

// Area 6: the lamp oil at the lamp's foot.
void lampOil(const Use& u) {
  if (!u.in(6) || !u.over(0x0062F6)) return;
  u.usedUp();
  u.s.flag_82ef = 255;
  u.done(100);
}

// Area 8: the weight on the hatch, which gives way under the hero.
void hatchWeight(const Use& u) {
  if (!u.in(8) || !u.over(0x00A04C)) return;
  u.usedUp();
  u.s.flag_82ce = 255;
  u.heroFalls();
  u.done(100);
}

// Area 15: water for the fountain, which starts lift 4.
void fountain(const Use& u) {
  if (!u.in(15) || !u.over(0x00A120)) return;
  u.usedUp();
  u.s.flag_82cb = 255;
  be::setWord(u.s.lifts, rec::kLiftSize * 4, 1);
  u.done(100, kEffectFountain);
}

// Area 11: the crate becomes a step, out of sight.
void crate(const Use& u) {
  if (!u.in(11) || !u.over(0x009DA8)) return;
  u.place(u.k, 4000, 192);
  u.s.flag_82b0 = 255;
  u.done(100);
}

// Area 0: the plank over the stream, from either bank.
void plank(const Use& u) {
  if (!u.in(0) || !(u.over(0x009E2C) || u.over(0x009E34))) return;
  u.usedUp();
  u.s.flag_82b1 = 255;
  u.s.flag_8309 = 255;
  u.done(50);
}

// Area 0: the gift for the meadow spirit, who lets the bow come down.
void spiritGift(const Use& u) {
  if (!u.in(0) || !u.over(0x009E82)) return;
  u.usedUp();
  u.s.flag_811a = 1;
  addScore(u.s, 100);
  setObjectWord(u.s, 26, kObjY, 160);
  u.s.event = 16;
  requestEffect(u.c, kEffectDone);
}

// Area 34: the cheese thrown to the troll, from whichever side he stands on.
void trollCheese(const Use& u) {
  GameState& s = u.s;
  if (!u.in(34) || s.flag_8307 != 0) return;
  const bool east = s.side_82c9 != 0;
  if (!u.over(east ? 0x009F38 : 0x009F30)) return;
  u.place(u.k, 1000, 0);
  be::setWord(s.arc, 24, u.slot());
  u.thrown(east ? 196 : 104, 100);
  s.flag_82bf = s.flag_82ba = s.flag_8307 = 255;
  u.done(100);
}

// Area 10: the stone thrown onto the floating platform.
void platformStone(const Use& u) {
  GameState& s = u.s;
  if (!u.in(10) || !(u.over(0x009FBA) || u.over(0x009FC2))) return;
  u.hide();
  be::setWord(s.a10_anim, 0, u.slot());
  u.thrown(861, 176);
  addScore(s, 100);
  s.flag_82bb = s.flag_82bf = 255;
}

// Area 13: the ember on the wax plug.
void ember(const Use& u) {
  if (!u.in(13) || !u.over(0x009FFE)) return;
  u.usedUp();
  u.s.flag_82bd = 255;
  u.done(100);
}

// Anywhere: the hero's grace under water ends at once.
void freshBreath(const Use& u) {
  u.s.grace = 0;
}

// Area 10: the pie thrown at the guard.
void guardPie(const Use& u) {
  GameState& s = u.s;
  if (!u.in(10) || !(u.over(0x00A0DA) || u.over(0x00A0E2))) return;
  u.hide();
  s.w81fc = u.slot();
  u.thrown(1436, 53);
  s.flag_82c3 = s.flag_82bf = 255;
  u.done(100);
}

// Area 9: the bone thrown behind the charging creature, which turns after it.
void creatureBone(const Use& u) {
  GameState& s = u.s;
  if (!u.in(9) || !u.over(0x00A180)) return;
  u.hide();
  s.w822c = u.slot();
  u.thrown(heroX(s) - 280, 120, -0x40000);
  s.flag_82bf = s.flag_82c4 = s.flag_82c5 = s.flag_8309 = 255;
  be::setWord(s.area9, 26, 1);  // c22
  be::setWord(s.area9, 28, 2);  // cstate
  u.done(100);
}

// Anywhere: a burst of sparkles; in area 1, before the spell, it lifts it.
void fairyDust(const Use& u) {
  GameState& s = u.s;
  const std::int64_t x = objectWord(s, u.k, kObjX), y = objectWord(s, u.k, kObjY);
  be::setWord(s.sparkle_xy, 0, x);
  be::setWord(s.sparkle_xy, 2, y);
  for (std::size_t r = 0; r < 7; ++r) {
    be::setWord(s.sparkles, 6 * r, x);
    be::setWord(s.sparkles, 6 * r + 2, y);
    be::setWord(s.sparkles, 6 * r + 4, static_cast<std::int64_t>(4 * r));
  }
  s.flag_82c7 = 255;
  s.sparkle_timer = 180;
  if (!u.in(1) || !u.over(0x00A1DA)) return;
  u.usedUp();
  s.flag_82c8 = 255;
  startFallingEffect(u.c, 1291, 164);
  requestEffect(u.c, kEffectDone);
}

// Area 32: the pickaxe breaks the rock the hero stands on.
void pickaxe(const Use& u) {
  if (!u.in(32) || !u.over(0x00A268)) return;
  u.usedUp();
  u.s.flag_82cc = 255;
  addScore(u.s, 100);
  u.heroFalls();
  requestEffect(u.c, kEffectDone);
}

// Area 29: the lever into the trapdoor's works.
void trapdoorLever(const Use& u) {
  if (!u.in(29) || !u.over(0x00A2AC)) return;
  u.usedUp();
  u.s.flag_82d8 = 255;
  addScore(u.s, 100);
  restartAnimation(u.s.a29_anim);
  requestEffect(u.c, kEffectDone);
}

// Area 29: the board over the gap.
void trapdoorBoard(const Use& u) {
  if (!u.in(29) || !u.over(0x00A2E8)) return;
  u.usedUp();
  u.s.flag_82d7 = 255;
  u.done(100);
}

// Area 28: the first of the fisher's two things, on one of two places; the second must join it there.
void fisherFirst(const Use& u) {
  if (!u.in(28)) return;
  if (u.over(0x00A36E)) {
    u.s.w825a = 1;
  } else if (u.over(0x00A376)) {
    u.s.w825a = 2;
  } else {
    return;
  }
  u.usedUp();
  requestEffect(u.c, kEffectDone);
}

void fisherSecond(const Use& u) {
  if (!u.in(28) || u.s.w825a == 0 || !u.over(u.s.w825a == 1 ? 0x00A36E : 0x00A376)) return;
  u.usedUp();
  u.s.flag_82cd = 255;
  u.done(100);
}

// Area 26: the crown for the throne; the Baron gives the cloak.
void crown(const Use& u) {
  GameState& s = u.s;
  if (!u.in(26) || !u.over(0x00A3BC)) return;
  u.usedUp();
  u.place(48, 151, 160);
  s.event = 2;
  restartAnimation(s.anim_818c);
  s.flag_82d6 = 255;
}

// Area 26: the three things thrown at the shields.
template <std::size_t kByte>
void shieldThrow(const Use& u) {
  GameState& s = u.s;
  if (!u.in(26) || !u.over(0x00A4F6)) return;
  u.hide();
  s.w8312 = u.slot();
  u.thrown(364, 155);
  s.flags_82d1[kByte] = 255;
  s.flag_82bf = 255;
}

// Area 18: the target set up at the stand.
void target(const Use& u) {
  if (!u.in(18) || !u.over(0x00A53A)) return;
  u.place(u.k, 1727, 112);
  u.s.flag_82db = 255;
  u.done(100, kEffectLift);
}

// The hazelnut: in the meadow, in the first language only and once the nut of area 18 has been given, it
// brings the clover down; in area 18 it is given, and a thing is thrown back towards the hero.
void hazelnut(const Use& u) {
  GameState& s = u.s;
  if (u.in(0) && s.language == 0 && objectWord(s, u.k, kObjKind) == 16 && s.flag_82dd != 0 && u.over(0x009E82)) {
    u.usedUp();
    setObjectWord(s, 60, kObjY, 160);
    s.event = 20;
  }
  if (s.flag_82dd != 0) return;
  if (!u.in(18) || !u.over(0x00A5CA)) return;
  u.usedUp();
  buildArc(u.c, 910, 89, heroX(s) + 7, heroY(s) + 10, kThrowSpeed, 0x2000);
  s.flag_82bf = s.flag_82dd = s.flag_82dc = 255;
  s.w8134 = objectWord(s, 49, rec::kObjectSlot);
  u.done(100);
}

// Area 10: the seed, once the guard is knocked away.
void seed(const Use& u) {
  GameState& s = u.s;
  if (!u.in(10) || s.guard10 <= 1 || !u.over(0x00A650)) return;
  u.usedUp();
  s.flag_82bf = s.flag_82de = 255;
  u.done(50);
}

// Area 17: the cogwheel fitted into the machine.
void cogwheel(const Use& u) {
  if (!u.in(17) || !u.over(0x00A68C)) return;
  u.place(u.k, 1465, 49);
  u.s.flag_82e0 = 255;
  requestEffect(u.c, kEffectDone);
}

// Anywhere: a platform where it lies.
void platform(const Use& u) {
  be::setWord(u.s.platform_recs, 38, objectWord(u.s, u.k, kObjX));
  be::setWord(u.s.platform_recs, 40, objectWord(u.s, u.k, kObjY) + 3);
}

// Area 27: the moonflower for the cook's pot; the soup.
void cookPot(const Use& u) {
  GameState& s = u.s;
  if (!u.in(27)) return;
  u.usedUp();
  s.event = 8;
  addScore(s, 100);
  s.flag_82e8 = 255;
  restartAnimation(s.anim_81aa);
  u.place(56, 263, 144);
  requestEffect(u.c, kEffectDone);
}

// Area 22: the bell for the sentry; the spyglass.
void sentryBell(const Use& u) {
  GameState& s = u.s;
  if (!u.in(22) || !u.over(0x00844C)) return;
  u.usedUp();
  s.event = 5;
  s.flag_82e9 = 255;
  addScore(s, 100);
  u.place(52, 267, 136);
  requestEffect(u.c, kEffectDone);
}

// Area 20: thrown across the crossing.
void crossingThrow(const Use& u) {
  GameState& s = u.s;
  if (!u.in(20) || !u.over(0x00A7EE)) return;
  u.hide();
  s.w8242 = u.slot();
  u.thrown(2847, 75);
  s.flag_82bf = s.flag_82d5 = 255;
  u.done(100);
}

// Area 42: the winch handle at the gate.
void winch(const Use& u) {
  if (!u.in(42) || !u.over(0x00A82A)) return;
  u.usedUp();
  u.s.flag_82f7 = 255;
  u.done(100, kEffectLift);
}

// Area 16: dropped low down east of the shooter: the shooter's first watch is over, and it stands still
// until its fire timer runs out.
void shooterWatch(const Use& u) {
  GameState& s = u.s;
  if (!u.in(16) || heroY(s) < 117 || heroX(s) < 1435) return;
  s.flag_8301 = 255;
  be::setLongWord(s.a16, 4, 0x32);
}

// Area 47: over the deadly ledge.
void ledge(const Use& u) {
  if (!u.in(47) || !u.over(0x00A886)) return;
  u.usedUp();
  u.s.flag_82f8 = 255;
  requestEffect(u.c, kEffectDone);
}

// Area 48: the flames put out.
void flames(const Use& u) {
  if (!u.in(48) || !u.over(0x00A8C2)) return;
  u.usedUp();
  u.s.flag_82fb = 255;
  u.done(100);
}

// Area 43: the silver bar at an exchange place.
void exchange(const Use& u) {
  if (!u.in(43) || !(u.over(0x00951C) || u.over(0x009524))) return;
  u.usedUp();
  u.s.flag_8305 = 255;
  u.done(25000);
}

using Routine = void (*)(const Use&);
struct UseRoutine {
  std::uint32_t address;
  Routine routine;
};

constexpr UseRoutine kUseRoutines[] = {
    {0x009C06, ordinary},       {0x009C08, liftKey<0>},     {0x009C14, liftKey<1>},    {0x009C20, liftKey<2>},
    {0x009C2C, liftKey<3>},     {0x009C38, liftKey<8>},     {0x009C70, castleKey},     {0x009C94, doorKey<0>},
    {0x009CB8, doorKey<1>},     {0x009CDC, doorKey<2>},     {0x009D00, doorKey<3>},    {0x009D24, doorKey<4>},
    {0x009D48, doorKey<5>},     {0x009D6C, crate},          {0x009DEE, plank},         {0x009E3C, spiritGift},
    {0x009E8A, trollCheese},    {0x009F40, platformStone},  {0x009FCA, ember},         {0x00A006, freshBreath},
    {0x00A00C, hatchWeight},    {0x00A054, guardPie},       {0x00A0E2, fountain},      {0x00A0EA, creatureBone},
    {0x00A188, fairyDust},      {0x00A228, pickaxe},        {0x00A270, trapdoorLever}, {0x00A2B4, trapdoorBoard},
    {0x00A2F0, fisherFirst},    {0x00A32C, fisherSecond},   {0x00A37E, crown},         {0x00A3C4, shieldThrow<0>},
    {0x00A42A, shieldThrow<2>}, {0x00A490, shieldThrow<3>}, {0x00A4FE, target},        {0x00A542, hazelnut},
    {0x00A610, seed},           {0x00A658, cogwheel},       {0x00A694, platform},      {0x00A6AC, cookPot},
    {0x00A6F4, sentryBell},     {0x00A740, lampOil},        {0x00A774, crossingThrow}, {0x00A7F6, winch},
    {0x00A832, shooterWatch},   {0x00A85A, ledge},          {0x00A88E, flames},        {0x00A8CA, exchange},
};

}  // namespace

// The object dropped this frame meets its use routine ($009BEE).
void objectUseRoutines(Context& c) {
  GameState& s = c.state;
  const std::int64_t k = inv(s, 0);
  if (k < 0) return;
  checkObject(c, k);
  const std::uint32_t address = objectUse(s, k);
  const auto* row = std::find_if(std::begin(kUseRoutines), std::end(kUseRoutines),
                                 [&](const UseRoutine& r) { return r.address == address; });
  if (row == std::end(kUseRoutines)) stopWith(c, "an object use routine ($009BEE)");
  row->routine(Use{c, s, k});
}

}  // namespace sim::things
