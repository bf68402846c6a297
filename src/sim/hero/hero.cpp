// The hero: reset, the control step, his animation and his sprite.
#include "sim/hero/hero.h"

#include "sim/cartridge.h"
#include "sim/hero/hero_motion.h"
#include "sim/rom_view.h"
#include "world/world.h"

namespace sim::hero {

// Puts the hero back to standing: every motion and death variable cleared,
// the standing sequence, gravity on. The variant used when a subgame returns
// keeps the position.
void resetHero(Context& c, bool keepPosition) {
  GameState& s = c.state;
  const std::int64_t x = s.x, y = s.y;
  s.anim = cart::kSeqStand;
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

void resetHeroAndEnergy(Context& c) {
  resetHero(c);
  c.state.damage = c.state.damage_show = c.state.energy_ramp = 0;
}

// The hero's control is off while he rides a moving lift (the lift carries
// him) and while a set piece or the rope holds him (flag_82bf).
bool heroFrozen(const Context& c) {
  return c.state.flag_82bf != 0 || Motion::onMovingLift(c.state);
}

// Control and motion: swimming needs water and the flippers (object 23, the
// second carried-object flag); everything else is the walking mode.
void heroControl(Context& c) {
  GameState& s = c.state;
  Motion motion(c, c.stepPad);
  if (s.variant_ad != 0 && s.item_flags.size() > 1 && s.item_flags[1] != 0) {
    motion.swimmingMode();
  } else {
    motion.walkingMode();
  }
  if (s.dx != 0) s.facing = s.dx < 0 ? -1 : 1;
}

void setHeroAnimation(Context& c, std::uint32_t sequence) {
  c.state.anim = sequence;
  c.state.anim_count = 0;
  c.state.anim_index = -1;
}

// One step of the running sequence: each frame shows for delay + 1 steps,
// one step fewer on the walking sequences while the hero runs fast.
void heroAnimationStep(Context& c) {
  GameState& s = c.state;
  const RomView& rom = c.rom;
  s.anim_count = static_cast<std::int16_t>(s.anim_count - 1);
  if (s.anim_count >= 0) return;
  const auto sequence = static_cast<std::uint32_t>(s.anim);
  std::int64_t delay = rom.wordAt(sequence);
  if (s.fast != 0 && (sequence == cart::kSeqWalkLeft || sequence == cart::kSeqWalkRight)) delay -= 1;
  s.anim_count = static_cast<std::int16_t>(delay);
  s.anim_index = static_cast<std::int16_t>(s.anim_index + 1);
  auto frameAt = [&](std::int64_t index) {
    return rom.wordAt(sequence + cart::kSeqFirstFrame + 2 * static_cast<std::uint32_t>(index));
  };
  std::uint16_t frame = frameAt(s.anim_index);
  if (frame == 0xFFFF) {
    s.anim_index = rom.signedWordAt(sequence + 2);
    frame = frameAt(s.anim_index);
    if (frame == 0xFFFF) stopWith(c, "$009BC4 never ends: a sequence restarts on FFFFh");
  }
  s.sprite_frame = frame;
}

// The hero is sprite frame 0, whose patterns the renderer takes from
// sprite_frame & 0x7F; bit 7 of the frame mirrors him, so it goes to the
// call as bit 0, the horizontal flip of a sprite call. On the rope his frame
// is set by the rope and his own animation rests.
void heroAnimationAndSprite(Context& c) {
  GameState& s = c.state;
  if (s.flag_82e4 == 0) heroAnimationStep(c);
  const std::uint32_t mirrored = (s.sprite_frame & 0x80) != 0 ? 1u : 0u;
  addSprite(c, static_cast<std::uint32_t>((s.sprite_x + 128) & 0xFFFF),
            static_cast<std::uint32_t>((intPart(s.y) + 128) & 0xFFFF), 0, mirrored, 0x00153C);
}

// One pixel of the collision map: eight rows of 8-pixel cells per byte, three
// bytes per 8-pixel column. Everything below row 191, left of 0 or right of the
// area is open.
bool solid(const Context& c, std::int64_t px, std::int64_t py) {
  const AreaCache& area = c.areaCache;
  const auto y = static_cast<std::uint16_t>(py);
  const auto x = static_cast<std::uint16_t>(px);
  if (y > 191 || x >= area.widthPixels) return false;
  const std::size_t index = static_cast<std::size_t>(x / 8) * 3 + y / 64;
  if (index >= area.collision.size()) return false;
  return (area.collision[index] >> ((y >> 3) & 7) & 1) != 0;
}

}  // namespace sim::hero
