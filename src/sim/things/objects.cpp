// Objects, items, the inventory and the star counter.
#include "sim/core/big_endian.h"
#include "sim/hero/hero_motion.h"
#include "sim/rom_view.h"
#include "sim/simulation.h"

namespace sim {

// Carried-object flags: byte k of item_flags is 255 while the object of list
// position k is held (inventory words 1 to 4).
void Simulation::carriedObjectFlags() {
    static constexpr int kObjects[8] = {20, 23, 8, 50, 24, 26, 48, 58};
    GameState& s = state_;
    for (int k = 0; k < 8; ++k) {
        bool held = false;
        for (int w = 1; w <= 4; ++w) {
            const int word = static_cast<std::int16_t>(s.inventory[2 * w] << 8 | s.inventory[2 * w + 1]);
            held = held || word == kObjects[k];
        }
        s.item_flags[k] = held ? 255 : 0;
    }
}

// The B-button action: the hero bends down (lock 1, then 2) and on the
// fourth frame of the bend a door in front of him takes him through. The
// area actions and picking up or dropping objects are not built yet: away
// from a door the hero only bends and stands up again.
void Simulation::bAction() {
    GameState& s = state_;
    if (s.stun != 0 || s.dying != 0) return;
    s.inventory[0] = s.inventory[1] = 0xFF;
    if (s.dx != 0) s.facing = s.dx > 0 ? 1 : -1;  // facing holds the direction only, as the hero's moves keep it
    const std::int64_t invTimer4 = static_cast<std::int16_t>(s.inv_timers[8] << 8 | s.inv_timers[9]);
    switch (s.lock) {
    case 0:
        if (!hero::Motion::onMovingLift(s) && s.jump == 0 && s.settled != 0 && invTimer4 == 0 && s.flag_82bf == 0 &&
            (stepPad_ & 0x10) != 0) {
            s.lock = 1;
            s.action_done = 0;
            s.dx = 0;
        }
        break;
    case 1:
        if (s.facing >= 0) {
            s.anim = 0x001816;
            s.sprite_frame = rom_.wordAt(0x00181A);
        } else {
            s.anim = 0x00182A;
            s.sprite_frame = rom_.wordAt(0x00182E);
        }
        s.lock = 2;
        s.anim_index = -1;
        s.anim_count = 0;
        break;
    case 2:
        if (s.anim_index == 3 && s.action_done == 0) {
            s.action_done = 255;
            // Lifts whose control takes the B press are not built yet.
            if (doorPassage()) return;
        }
        if (s.sprite_frame == 0) {
            setHeroAnimation(0x00180C);
            s.lock = 0;
        }
        break;
    default:
        break;
    }
}

// Not built yet: the use routines of the carried objects. Until then none runs.
void Simulation::objectUseRoutines() {}

// Not built yet: the star counter display. Until then it is not drawn.
void Simulation::starCountDisplay() {}

// Not built yet: drawing the objects lying in the area. Until then none is drawn.
void Simulation::objectsHere() {}

// Not built yet: the list of objects lying in the area, made when it is
// loaded. Until then the list stays as it was.
void Simulation::loadObjectsHere() {}

// Not built yet: item pick-up (stars) and the hazards. Until then nothing is
// picked up and nothing hurts.
void Simulation::itemsAndHazards() {}

// The inventory screen opened by A, only with the hero free: not dying or struck, no object sliding into
// the panel, the carried row not shifting, no lock. Opening it cancels a palette fade, and the first
// look at the inventory once the hints have run settles the hint of the treehouse.
bool Simulation::inventoryButton(std::uint8_t pad) {
    GameState& s = state_;
    if ((pad & 0x40) == 0 || s.dying != 0 || s.hazard_hit != 0 || s.lock != 0) return false;
    if (wordOf(s.inv_timers, 1) != 0 || wordOf(s.inv_timers, 2) != 0) return false;
    s.palette_fading = 0;
    s.palette_fade_step = 0;
    if (s.flag_82fc == 0 && s.flag_82fd != 0 && s.flag_82fe != 0 && s.flag_82ff == 0) {
        s.flag_82ff = 255;
        s.hint_timer = 0;
    }
    showScreen(kInventoryScreen, 0);
    return true;
}

}  // namespace sim
