// Objects, items, the inventory and the star counter.
#include "sim/things/things.h"

#include "sim/areas/areas.h"
#include "sim/cartridge.h"
#include "sim/core/big_endian.h"
#include "sim/core/records.h"
#include "sim/hero/hero.h"
#include "sim/hero/hero_motion.h"
#include "sim/pad.h"
#include "sim/rom_view.h"
#include "sim/screens/screens.h"

namespace sim::things {

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

// The B-button action: the hero bends down (lock 1, then 2) and on the
// fourth frame of the bend a door in front of him takes him through. The
// area actions and picking up or dropping objects are not built yet: away
// from a door the hero only bends and stands up again.
void bAction(Context& c) {
  GameState& s = c.state;
  if (s.stun != 0 || s.dying != 0) return;
  be::setWord(s.inventory, rec::kInvDropping, -1);
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
        // Lifts whose control takes the B press are not built yet.
        if (areas::doorPassage(c)) return;
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

// Not built yet: the use routines of the carried objects. Until then none runs.
void objectUseRoutines(Context&) {}

// Not built yet: the star counter display. Until then it is not drawn.
void starCountDisplay(Context&) {}

// Not built yet: drawing the objects lying in the area. Until then none is drawn.
void objectsHere(Context&) {}

// Not built yet: the list of objects lying in the area, made when it is
// loaded. Until then the list stays as it was.
void loadObjectsHere(Context&) {}

// Not built yet: item pick-up (stars) and the hazards. Until then nothing is
// picked up and nothing hurts.
void itemsAndHazards(Context&) {}

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
