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

// Actors, lifts and small effects.
void rainTimer(Context& c);
void rain(Context& c);
void fallingEffects(Context& c);
void sparkles(Context& c);
void actors(Context& c);

}  // namespace sim::things
