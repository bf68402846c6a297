// Objects lying in the area, the B action (bend, door, area actions, pick up, drop), the carried-object
// flags and the inventory button.
#include <algorithm>

#include "sim/areas/areas.h"
#include "sim/cartridge.h"
#include "sim/core/big_endian.h"
#include "sim/core/records.h"
#include "sim/hero/hero.h"
#include "sim/hero/hero_motion.h"
#include "sim/pad.h"
#include "sim/rom_view.h"
#include "sim/screens/screens.h"
#include "sim/things/object_records.h"
#include "sim/things/things.h"

namespace sim::things {

namespace {

constexpr std::uint32_t kCallerObjectsHere = 0x002B5E;
constexpr std::size_t kMaxObjectsHere = 32;
constexpr int kEffectPickUp = 7;

// The object of an objects_here entry (a RAM address of a record).
std::int64_t objectAt(Context& c, std::size_t entry) {
  const std::int64_t address = be::longWord(c.state.objects_here, 4 * entry) & 0xFFFFFF;
  const std::int64_t offset = address - (kObjectsRam & 0xFFFFFF);
  const std::int64_t object = offset / static_cast<std::int64_t>(rec::kObjectSize);
  // Departure: a damaged save may hold any long here; one that is not a record's address stops the game
  // rather than reading outside the records.
  if (offset % static_cast<std::int64_t>(rec::kObjectSize) != 0) checkObject(c, -1);
  checkObject(c, object);
  return object;
}

// The number of entries of objects_here that may be read. Departure: the count comes back from saves as
// written; the console would read past the list's 32 longs for a larger one, so no more are read.
std::size_t objectsHereCount(const GameState& s) {
  return static_cast<std::size_t>(std::clamp<std::int64_t>(s.objects_here_count, 0, kMaxObjectsHere));
}

// The first object lying here under the hero, or -1.
std::int64_t objectUnderHero(Context& c) {
  const GameState& s = c.state;
  const std::int64_t X = heroX(s), Y = heroY(s);
  for (std::size_t i = 0; i < objectsHereCount(s); ++i) {
    const std::int64_t k = objectAt(c, i);
    if (objectWord(s, k, kObjArea) != s.area) continue;
    const std::int64_t ox = objectWord(s, k, kObjX), oy = objectWord(s, k, kObjY);
    if (ox + 2 < X + 18 && X < ox + 12 && oy - 3 < Y + 20 && Y < oy + 10) return k;
  }
  return -1;
}

// Picks up object k.
void pickUp(Context& c, std::int64_t k) {
  GameState& s = c.state;
  const std::int64_t kind = objectWord(s, k, kObjKind);
  if (kind == 47) {
    // The map scrap is never carried: it starts the swap puzzle.
    setObjectWord(s, k, kObjArea, kUsedUp);
    if (s.mode == 0) s.mode = 1;
    return;
  }
  if ((kind == 23 && s.flag_82db != 0) || (kind == 27 && s.flag_82e0 != 0)) return;
  if (kind == 6 && s.flag_82d0 == 0) {
    s.flag_82d0 = 255;
    s.event = 15;
  }
  const std::int64_t number = objectWord(s, k, kObjNumber);
  if (number == 0) s.flag_82fe = 255;
  if (number == 20) s.damage_show = 0;

  const std::int64_t ox = objectWord(s, k, kObjX), oy = objectWord(s, k, kObjY);
  setTimer(s, 5, ox);
  setTimer(s, 6, oy);
  setObjectWord(s, k, kObjArea, kCarried);
  setInv(s, 1, number);
  setTimer(s, 0, 200);
  std::int64_t empty = 0;
  for (std::size_t w = 2; w <= kBottom && inv(s, w) < 0; ++w) ++empty;
  setTimer(s, 1, 40 * empty);
  if (empty == 0) {
    // All three slots full: the bottom object is given up where the new one lay.
    setTimer(s, 1, 40);
    setTimer(s, 2, 40);
    const std::int64_t given = inv(s, kBottom);
    setInv(s, 0, given);
    checkObject(c, given);
    setObjectWord(s, given, kObjArea, s.area);
    setObjectWord(s, given, kObjX, ox);
    setObjectWord(s, given, kObjY, oy);
  }
  setTimer(s, 4, 1);
  requestEffect(c, kEffectPickUp);
}

// Drops the bottom carried object at the hero's feet.
void drop(Context& c) {
  GameState& s = c.state;
  const std::int64_t k = inv(s, kBottom);
  setInv(s, 0, k);
  if (k < 0) return;
  checkObject(c, k);
  setTimer(s, 2, 40);
  setObjectWord(s, k, kObjArea, s.area);
  setObjectWord(s, k, kObjX, heroX(s) + 2);
  setObjectWord(s, k, kObjY, heroY(s) + 8);
}

// The bend's fourth frame: the lift, a door, the area's actions, then a pick-up or a drop. True when the
// lift or a door took the press and the bend ends there.
bool bendAction(Context& c) {
  if (liftTakesB(c) || areas::doorPassage(c)) return true;
  if (areaActions(c)) return false;
  const std::int64_t k = objectUnderHero(c);
  if (k < 0) {
    drop(c);
  } else {
    pickUp(c, k);
  }
  return false;
}

}  // namespace

void checkObject(Context& c, std::int64_t object) {
  if (object < 0 || object >= kObjectCount) stopWith(c, "an object number outside the object records (FFAC62)");
}

// Carried-object flags: byte k of item_flags is 255 while the object of list
// position k is held (inventory words 1 to 4).
void carriedObjectFlags(Context& c) {
  static constexpr int kObjects[8] = {20, 23, 8, 50, 24, 26, 48, 58};
  GameState& s = c.state;
  std::int64_t words[4];
  for (std::size_t w = 0; w < 4; ++w) words[w] = be::word(s.inventory, rec::kInvTransit + 2 * w);
  for (int k = 0; k < 8; ++k) {
    bool held = false;
    for (std::int64_t word : words) held = held || word == kObjects[k];
    s.item_flags[k] = held ? 255 : 0;
  }
}

// The B-button action: the hero bends down (lock 1, then 2) and on
// the fourth frame of the bend acts once; he stands up when the bend has run
// back to its first frame.
void bAction(Context& c) {
  GameState& s = c.state;
  // Departure: the console clears the dropped object only once past the stun and death test, so while
  // the hero is stunned or dying the object dropped last (object 0 after a new game) meets its use
  // routine again every frame, scoring and opening each time. The object is cleared first here: a
  // drop is used once.
  be::setWord(s.inventory, rec::kInvDropping, -1);
  if (s.stun != 0 || s.dying != 0) return;
  if (s.dx != 0) s.facing = s.dx > 0 ? 1 : -1;  // facing holds the direction only, as the hero's moves keep it
  const std::int64_t panelBusy = be::word(s.inv_timers, rec::kInvPanelBusy);
  switch (s.lock) {
    case 0:
      if (!hero::Motion::onMovingLift(s) && s.jump == 0 && s.settled != 0 && panelBusy == 0 && s.flag_82bf == 0 &&
          (c.stepPad & kPadB) != 0) {
        s.lock = 1;
        s.action_done = 0;
        s.dx = 0;
      }
      break;
    case 1:
      // The bend's first frame shows at once.
      s.anim = s.facing >= 0 ? cart::kSeqBendRight : cart::kSeqBendLeft;
      s.sprite_frame = c.rom.wordAt(static_cast<std::uint32_t>(s.anim) + cart::kSeqFirstFrame);
      s.lock = 2;
      s.anim_index = -1;
      s.anim_count = 0;
      break;
    case 2:
      if (s.anim_index == 3 && s.action_done == 0) {
        s.action_done = 255;
        if (bendAction(c)) return;
      }
      if (s.sprite_frame == 0) {
        hero::setHeroAnimation(c, cart::kSeqStand);
        s.lock = 0;
      }
      break;
    default:
      break;
  }
}

// The objects lying in the area.
void objectsHere(Context& c) {
  const GameState& s = c.state;
  for (std::size_t i = 0; i < objectsHereCount(s); ++i) {
    const std::int64_t k = objectAt(c, i);
    if (objectWord(s, k, kObjArea) != s.area) continue;
    const std::int64_t sx = objectWord(s, k, kObjX) - s.camera_x;
    if (sx < -15 || sx > 319) continue;
    addSprite(c, static_cast<std::uint32_t>((sx + 128) & 0xFFFF),
              static_cast<std::uint32_t>((objectWord(s, k, kObjY) + 128) & 0xFFFF),
              static_cast<std::uint32_t>(objectWord(s, k, rec::kObjectSlot) & 0xFFFF), 0, kCallerObjectsHere);
  }
}

// The list of the objects lying here or carried, made when an area is loaded
//; each gets the graphics slot of its place in the list.
void loadObjectsHere(Context& c) {
  GameState& s = c.state;
  std::size_t n = 0;
  for (std::int64_t k = 0; k < kObjectCount; ++k) {
    const std::int64_t area = objectWord(s, k, kObjArea);
    if (area != kCarried && area != s.area) continue;
    if (n == kMaxObjectsHere - 1) stopWith(c, "more than 31 objects in an area ($002A76, an error screen)");
    be::setLongWord(s.objects_here, 4 * n, static_cast<std::uint32_t>(kObjectsRam + rec::kObjectSize * k));
    setObjectWord(s, k, rec::kObjectSlot, static_cast<std::int64_t>(n) + 2);
    ++n;
  }
  s.objects_here_count = static_cast<std::int64_t>(n);
}

// The inventory screen opened by A, only with the hero free: not dying or struck, no object sliding into
// the panel, the carried row not shifting, no lock. Opening it cancels a palette fade, and the first
// look at the inventory once the hints have run settles the hint of the treehouse.
bool inventoryButton(Context& c, std::uint8_t pad) {
  GameState& s = c.state;
  if ((pad & kPadA) == 0 || s.dying != 0 || s.hazard_hit != 0 || s.lock != 0) return false;
  if (be::word(s.inv_timers, rec::kInvSlideIn) != 0 || be::word(s.inv_timers, rec::kInvShiftDown) != 0) return false;
  s.palette_fading = 0;
  s.palette_fade_step = 0;
  if (s.flag_82fc == 0 && s.flag_82fd != 0 && s.flag_82fe != 0 && s.flag_82ff == 0) {
    s.flag_82ff = 255;
    s.hint_timer = 0;
  }
  screens::showScreen(c, kInventoryScreen, 0);
  return true;
}

}  // namespace sim::things
