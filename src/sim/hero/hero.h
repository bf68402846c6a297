#pragma once
// The hero: his reset, control and motion, animation and sprite, the collision map, damage and energy, the
// status panel, and death and lives.

#include <cstdint>

#include "sim/core/context.h"

namespace sim::hero {

// Puts the hero back to standing: every motion and death variable cleared, the standing sequence, gravity
// on. keepPosition keeps x and y (a subgame's return).
void resetHero(Context& c, bool keepPosition = false);
// The reset with damage, damage_show and energy_ramp cleared too.
void resetHeroAndEnergy(Context& c);
// No control while he rides a moving lift or a set piece holds him.
bool heroFrozen(const Context& c);
// Control and motion of one frame on the step's pad.
void heroControl(Context& c);
// The animation step (unless a set piece holds the frame) and the hero's sprite ($00153C).
void heroAnimationAndSprite(Context& c);
void heroAnimationStep(Context& c);
// Restarts the hero on an animation sequence of the cartridge.
void setHeroAnimation(Context& c, std::uint32_t sequence);
// One pixel of the area's collision map.
bool solid(const Context& c, std::int64_t px, std::int64_t py);

// The energy bar and panel step; alwaysShown draws the bar whatever damage_show holds and leaves it
// unchanged (the event and inventory screens do so by themselves, subgames ask for it).
void energyBar(Context& c, bool alwaysShown = false);
// The drowning drain and the gradual energy change of energy_ramp.
void waterAndEnergy(Context& c);
// Damage of a 16.16 amount (negative heals), as hazards and actors deal it.
void addDamage(Context& c, std::int64_t amount, bool ignoredWhileDying);
// A full energy bar starts a death; a death whose timer runs out costs a life or ends the game.
void deathCheck(Context& c);
// One life fewer, unless the lives cheat is on.
void loseLife(Context& c);

}  // namespace sim::hero
