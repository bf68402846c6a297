// The archery subgame.
#include "sim/simulation.h"
#include "sim/subgames.h"

namespace sim {

// Not built yet: the archery subgame's set-up. Until then it prepares nothing.
void setUpArchery(Simulation&) {}

// Not built yet: the archery subgame's frame. Until then it draws nothing and is over at once.
std::string archeryFrame(Simulation&, std::uint8_t, std::int64_t) { return kSubgameNotBuilt; }

}  // namespace sim
