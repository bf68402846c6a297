// The hero: reset, the control step, his animation and his sprite.
#include "sim/hero_motion.h"
#include "sim/rom_view.h"
#include "world/world.h"

namespace sim {

using hero::intPart;

// Puts the hero back to standing: every motion and death variable cleared,
// the standing sequence, gravity on. The variant used when a subgame returns
// keeps the position.
void Simulation::resetHero(bool keepPosition) {
    GameState& s = state_;
    const std::int64_t x = s.x, y = s.y;
    s.anim = hero::kSeqStand;
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

// The hero's control is off while he rides a moving lift (the lift carries
// him) and while a set piece or the rope holds him (flag_82bf).
bool Simulation::heroFrozen() const {
    return state_.flag_82bf != 0 || hero::Motion::onMovingLift(state_);
}

// Control and motion: swimming needs water and the flippers (object 23, the
// second carried-object flag); everything else is the walking mode.
void Simulation::heroControl() {
    hero::Motion motion(*this, stepPad_);
    if (state_.variant_ad != 0 && state_.item_flags.size() > 1 && state_.item_flags[1] != 0) {
        motion.swimmingMode();
    } else {
        motion.walkingMode();
    }
    if (state_.dx != 0) state_.facing = state_.dx < 0 ? -1 : 1;
}

void Simulation::setHeroAnimation(std::uint32_t sequence) {
    state_.anim = sequence;
    state_.anim_count = 0;
    state_.anim_index = -1;
}

// One step of the running sequence: each frame shows for delay + 1 steps,
// one step fewer on the walking sequences while the hero runs fast.
void Simulation::heroAnimationStep() {
    GameState& s = state_;
    s.anim_count = static_cast<std::int16_t>(s.anim_count - 1);
    if (s.anim_count >= 0) return;
    const auto sequence = static_cast<std::uint32_t>(s.anim);
    std::int64_t delay = rom_.wordAt(sequence);
    if (s.fast != 0 && (sequence == hero::kSeqWalkLeft || sequence == hero::kSeqWalkRight)) delay -= 1;
    s.anim_count = static_cast<std::int16_t>(delay);
    s.anim_index = static_cast<std::int16_t>(s.anim_index + 1);
    auto frameAt = [&](std::int64_t index) {
        return rom_.wordAt(sequence + 4 + 2 * static_cast<std::uint32_t>(index));
    };
    std::uint16_t frame = frameAt(s.anim_index);
    if (frame == 0xFFFF) {
        s.anim_index = rom_.signedWordAt(sequence + 2);
        frame = frameAt(s.anim_index);
        if (frame == 0xFFFF) stopWith("$009BC4 never ends: a sequence restarts on FFFFh");
    }
    s.sprite_frame = frame;
}

// The hero is sprite frame 0, whose patterns the renderer takes from
// sprite_frame & 0x7F; bit 7 of the frame mirrors him, so it goes to the
// call as bit 0, the horizontal flip of a sprite call. On the rope his frame
// is set by the rope and his own animation rests.
void Simulation::heroAnimationAndSprite() {
    GameState& s = state_;
    if (s.flag_82e4 == 0) heroAnimationStep();
    const std::uint32_t mirrored = (s.sprite_frame & 0x80) != 0 ? 1u : 0u;
    addSprite(static_cast<std::uint32_t>((s.sprite_x + 128) & 0xFFFF),
              static_cast<std::uint32_t>((intPart(s.y) + 128) & 0xFFFF), 0, mirrored, 0x00153C);
}

// One pixel of the collision map: eight rows of 8-pixel cells per byte, three
// bytes per 8-pixel column. Everything below row 191, left of 0 or right of the
// area is open.
bool Simulation::solid(std::int64_t px, std::int64_t py) const {
    const auto y = static_cast<std::uint16_t>(py);
    const auto x = static_cast<std::uint16_t>(px);
    if (y > 191 || x >= areaCache_.widthPixels) return false;
    const std::size_t index = static_cast<std::size_t>(x / 8) * 3 + y / 64;
    if (index >= areaCache_.collision.size()) return false;
    return (areaCache_.collision[index] >> ((y >> 3) & 7) & 1) != 0;
}

}  // namespace sim
