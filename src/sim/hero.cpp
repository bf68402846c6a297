// The hero: reset, control and motion, animation, the energy bar, water.
#include "sim/simulation.h"

namespace sim {

// Puts the hero back to standing: every motion and death variable cleared,
// the standing sequence, gravity on. The variant used when a subgame returns
// keeps the position.
void Simulation::resetHero(bool keepPosition) {
    GameState& s = state_;
    const std::int64_t x = s.x, y = s.y;
    s.anim = 0x00180C;
    s.x = s.y = s.vy = s.dx = s.fast = s.speed_l = s.speed_r = s.y_prev = s.sprite_x = 0;
    s.sprite_frame = s.expression = s.settled = s.jump = s.fall_max = s.stun = s.lock = 0;
    s.facing = s.action_done = s.anim_count = s.anim_index = s.death_timer = s.dying = 0;
    s.hazard_hit = s.variant_ad = s.on_object = s.surfaced = s.stroke_ready = s.stroke_stand = 0;
    s.flag_82bf = 0;
    s.air = 1;
    s.grace = 100;
    if (keepPosition) {
        s.x = x;
        s.y = y;
    }
}

// Not built yet: the rope and set pieces that freeze the hero's control.
// Until then the hero is never frozen.
bool Simulation::heroFrozen() const { return false; }

// Not built yet: the hero's control and physics (walking, jumping, falling,
// swimming, collision, the death step). Until then the hero stands still.
void Simulation::heroControl() {}

// Not built yet: the hero's animation step and his sprite. Until then
// nothing is drawn for him.
void Simulation::heroAnimationAndSprite() {}

// Not built yet: one step of the hero's animation sequence. Until then his
// frame does not change.
void Simulation::heroAnimationStep() {}

// Not built yet: the energy bar and the panel sprites. Until then nothing is
// drawn.
void Simulation::energyBar() {}

// Not built yet: the drowning drain and the gradual energy change. Until then
// energy does not change by itself.
void Simulation::waterAndEnergy() {}

}  // namespace sim
