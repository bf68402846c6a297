// The minecart subgame.
#include "sim/simulation.h"
#include "sim/subgames.h"

namespace sim {

// Not built yet: the minecart subgame's set-up. Until then it prepares nothing.
void setUpMinecart(Simulation&) {}

// Not built yet: the minecart subgame's frame. Until then it draws nothing and is over at once.
std::string minecartFrame(Simulation&, std::uint8_t, std::int64_t) { return kSubgameNotBuilt; }

}  // namespace sim
