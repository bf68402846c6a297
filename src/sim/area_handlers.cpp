// The per-area handlers and set pieces.
#include "sim/simulation.h"

namespace sim {

// Not built yet: the handler of the current area. Until then no area has
// scenery or set pieces.
void Simulation::runAreaHandler() {}

}  // namespace sim
