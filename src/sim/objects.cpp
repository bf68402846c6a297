// Objects, items, the inventory and the star counter.
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

// Not built yet: the B-button action (pick up, drop, doors). Until then B does nothing.
void Simulation::bAction() {}

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

// Not built yet: the inventory screen opened by A. Until then A opens nothing.
bool Simulation::inventoryButton(std::uint8_t) { return false; }

}  // namespace sim
