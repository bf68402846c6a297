// Actors: the creatures and machines of an area, up to 40 records run every game step after the hero.
#include <array>

#include "sim/core/records.h"
#include "sim/things/actor.h"
#include "sim/things/things.h"

namespace sim::things {

namespace {

using actor::Actor;

// The routine of each actor type, by type number.
constexpr std::array<void (*)(Actor&), 15> kActorTypes = {
    actor::dangler,     actor::bobber,     actor::restingBobber,  actor::threadDangler, actor::knockingFlier,
    actor::bitingFlier, actor::stepWalker, actor::patroller7,     actor::eightWayFlier, actor::swimmer,
    actor::creeper,     actor::leaper,     actor::periodicHazard, actor::thrownThing,   actor::patroller14,
};

}  // namespace

// $009B7C: the records in order until one whose first byte is negative; a list of 40 has no end mark and
// ends with the block.
void actors(Context& c) {
  for (std::size_t slot = 0; slot < rec::kActorSlots; ++slot) {
    Actor a{c, slot * rec::kActorSize};
    if (a.base + rec::kActorSize > c.state.actors.size()) return;
    if ((c.state.actors[a.base] & 0x80) != 0) return;
    const std::int64_t type = a.longAt(actor::kType);
    if (type > 14) stopWith(c, "an actor type above 14 ($009B7C)");
    kActorTypes[static_cast<std::size_t>(type)](a);
  }
}

}  // namespace sim::things
