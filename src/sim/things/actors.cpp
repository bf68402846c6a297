// Actors, lifts, platforms, rain, sparkles and falling effects.
#include "sim/simulation.h"

namespace sim {

// Not built yet: the rain timer. Until then rain never starts.
void Simulation::rainTimer() {}

// Not built yet: the rain's drops. Until then none is drawn.
void Simulation::rain() {}

// Not built yet: the falling effects. Until then they stay still and unseen.
void Simulation::fallingEffects() {}

// Not built yet: the sparkles. Until then none is drawn.
void Simulation::sparkles() {}

// Not built yet: the actors and lifts of the area. Until then they neither
// move nor draw.
void Simulation::actors() {}

}  // namespace sim
