// The per-area handlers and set pieces.
#include "sim/simulation.h"

namespace sim {

namespace {

// The doors that open with an animation once their key is used: the
// door_states record, the door and where it is drawn, for areas 2 to 7.
struct AnimatedDoor {
    int record, door;
    std::int64_t x, y;
};
constexpr AnimatedDoor kLaneDoors[6] = {
    {1, 3, 1893, 117}, {2, 4, 1253, 85}, {3, 5, 453, 117}, {4, 6, 901, 149}, {5, 7, 357, 149}, {6, 8, 581, 117},
};
constexpr AnimatedDoor kGreenDoor = {0, 1, 415, 136};

}  // namespace

// Only the doors of the handlers are built yet (areas 2 to 7 and 21); the
// rest of every area's scenery and set pieces is not, so those areas run
// without them.
void Simulation::areaHandler() {
    const std::int64_t area = state_.area;
    if (area >= 2 && area <= 7) {
        const AnimatedDoor& d = kLaneDoors[area - 2];
        animatedDoor(d.record, d.door, d.x, d.y);
    } else if (area == 21) {
        animatedDoor(kGreenDoor.record, kGreenDoor.door, kGreenDoor.x, kGreenDoor.y);
    }
}

}  // namespace sim
