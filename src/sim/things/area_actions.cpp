// What B does in some places of some areas when no door is in front of the hero: the scenes that answer
// a press (the walker of area 1, the lever, the archery stand, the sentry, the throne, the shields, the
// cook, the fisher), the places where only the right object may be dropped, and the rope places.
#include "sim/core/big_endian.h"
#include "sim/things/object_records.h"
#include "sim/things/things.h"

namespace sim::things {

namespace {

constexpr int kEffectDone = 2;
constexpr int kEffectBump = 18;

bool bottomHolds(const GameState& s, std::int64_t object) {
  return inv(s, kBottom) == object;
}

// Area 1: the walker; the apple in the bottom slot is exchanged for the bell.
bool walker(Context& c) {
  GameState& s = c.state;
  if (s.flag_82eb != 0 || s.a1_walker[26] != 0 || s.a1_walker[27] != 0) return false;
  auto w = [&](std::size_t at) { return static_cast<std::int64_t>(be::word(s.a1_walker, rec::kWalkerTouch + at)); };
  if (!heroInside(c, Rect{w(0), w(2), w(4), w(6)})) return false;
  if (bottomHolds(s, 6)) {
    setObjectWord(s, 6, kObjArea, kUsedUp);
    setObjectWord(s, 53, kObjArea, kCarried);
    setInv(s, kBottom, 53);
    s.flag_82eb = 255;
    addScore(s, 250);
    requestEffect(c, kEffectDone);
  } else {
    be::setLongWord(s.a1_walker, 10, be::longWord(s.a1_walker, 10) + 0x10000);
    s.flag_82ea = 255;
    requestEffect(c, kEffectBump);
  }
  return true;
}

// Area 17: the machine's lever, once the cogwheel is in place.
bool lever(Context& c) {
  GameState& s = c.state;
  if (s.flag_82e0 == 0 || !heroInside(c, 0x004F88)) return false;
  s.flag_82e2 = 255;
  addScore(s, 100);
  return true;
}

// Area 18: the archery stand; once the target is set up and its column has run out, the contest.
bool archeryStand(Context& c) {
  GameState& s = c.state;
  if (!heroInside(c, 0x007F46)) return false;
  if (s.flag_82db != 0 && s.w825e == 0) {
    if (s.flag_82f9 != 0) {
      s.mode = 7;
    } else {
      s.mode = s.item_flags[5] != 0 ? 6 : 5;
    }
  }
  return true;
}

// Area 22: the sentry, unless the bell is dropped at him.
bool sentry(Context& c) {
  GameState& s = c.state;
  if (!heroInside(c, 0x00844C)) return false;
  if (s.flag_82e9 != 0) {
    s.event = 6;
    return true;
  }
  if (bottomHolds(s, 53)) return false;
  s.event = 4;
  return true;
}

// Area 26: the throne, unless the crown is brought.
bool throne(Context& c) {
  GameState& s = c.state;
  if (s.flag_82d6 != 0 || !heroInside(c, 0x00A3BC) || bottomHolds(s, 47)) return false;
  s.event = 1;
  return true;
}

// Area 26: the shields.
bool shields(Context& c) {
  if (!heroInside(c, 0x004F78)) return false;
  c.state.event = 3;
  return true;
}

// Area 27: the cook, unless the moonflower is brought.
bool cook(Context& c) {
  GameState& s = c.state;
  if (!heroInside(c, 0x008830)) return false;
  if (s.flag_82e8 != 0) {
    s.event = 9;
    return true;
  }
  if (bottomHolds(s, 34)) return false;
  s.event = 7;
  return true;
}

// Area 28: the fisher.
bool fisher(Context& c) {
  if (!heroInside(c, 0x004F80)) return false;
  c.state.event = c.state.flag_82da != 0 ? 12 : 10;
  return true;
}

// Areas 8, 13 and 42: inside these places B does nothing unless the one object meant for them is in the
// bottom slot, which is then dropped as anywhere else.
template <std::uint32_t kRect, std::int64_t kObject>
bool onlyFor(Context& c) {
  return heroInside(c, kRect) && !bottomHolds(c.state, kObject);
}

// Areas 2, 3, 5, 30 and 48: with the rope carried, the hero takes the rope at a rope place.
bool rope(Context& c) {
  return c.state.item_flags[2] != 0 && takeRopeHere(c);
}

using Action = bool (*)(Context&);
struct AreaAction {
  std::int64_t area;
  Action action;
};

// In order: the first row of the area that takes the press ends the search.
constexpr AreaAction kAreaActions[] = {
    {1, walker},
    {17, lever},
    {18, archeryStand},
    {22, sentry},
    {26, throne},
    {26, shields},
    {27, cook},
    {28, fisher},
    {8, onlyFor<0x00A04C, 35>},
    {13, onlyFor<0x009FFE, 19>},
    {42, onlyFor<0x00A82A, 40>},
    {2, rope},
    {3, rope},
    {5, rope},
    {30, rope},
    {48, rope},
};

}  // namespace

bool areaActions(Context& c) {
  for (const AreaAction& row : kAreaActions)
    if (row.area == c.state.area && row.action(c)) return true;
  return false;
}

}  // namespace sim::things
