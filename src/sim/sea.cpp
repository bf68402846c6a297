// The plank and bubbles subgame.
#include "sim/simulation.h"
#include "sim/subgames.h"

namespace sim {

// Not built yet: the plank and bubbles subgame's set-up. Until then it prepares nothing.
void setUpSea(Simulation&) {}

// Not built yet: the plank and bubbles subgame's frame. Until then it draws nothing and is over at once.
std::string seaFrame(Simulation&, std::uint8_t, std::int64_t) { return kSubgameNotBuilt; }

}  // namespace sim
