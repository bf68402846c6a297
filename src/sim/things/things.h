#pragma once
// Things: the objects and items (carried objects, the B action, use routines, the star counter, objects
// lying in the area, pick-ups and hazards, the inventory button), and the actors, lifts and small effects
// (rain, falling effects, sparkles).

#include <cstdint>

#include "sim/core/context.h"

namespace sim::things {

// Objects and items.
void carriedObjectFlags(Context& c);
void bAction(Context& c);
void objectUseRoutines(Context& c);
void starCountDisplay(Context& c);
void objectsHere(Context& c);
void loadObjectsHere(Context& c);
void itemsAndHazards(Context& c);
// A on the pad with the hero free shows the inventory screen; true when it did.
bool inventoryButton(Context& c, std::uint8_t pad);

// The flight of a thrown thing: builds the arc record (`arc`) from the start to the target with an upward
// speed and a gravity (16.16). The area handlers fly it one step a frame; the swap puzzle builds its
// reward's arcs the same way.
void buildArc(Context& c, std::int64_t startX, std::int64_t startY, std::int64_t targetX, std::int64_t targetY,
              std::int64_t speed, std::int64_t gravity);

// Actors, lifts and small effects.
// B at a rope place of the area with the rope carried: true when the hero took the rope there.
bool takeRopeHere(Context& c);
// The rope's frame while one is out (flag_82e3): the handlers of the rope areas run it.
void ropeStep(Context& c);
void rainTimer(Context& c);
void rain(Context& c);
void fallingEffects(Context& c);
void sparkles(Context& c);
// The bubbles of an area with water: the handlers of those areas run them every frame.
void bubbles(Context& c);
void actors(Context& c);

// Platforms. An area handler or an actor offers a platform record (a ROM address, or FF9F0C + 12k for the
// records in platform_recs) for the hero's motion of the next frame; a platform that moves carries the hero
// who stands on it (on_object = its id) with its top.
void offerPlatform(Context& c, std::uint32_t record);
void carryOnPlatform(Context& c, std::int64_t id, std::int64_t top);

// Lifts. The handler of an area with lift k runs its step every frame.
void lift(Context& c, int k);
// The B action asks this first: true when the lift the hero stands centred in took the press (it starts).
bool liftTakesB(Context& c);
// The key of lift k dropped: when the hero is centred in it the lift becomes active and starts up (true);
// the caller then uses the key up, adds the score and plays the effect. False leaves the key lying.
bool activateLiftByKey(Context& c, int k);

}  // namespace sim::things
