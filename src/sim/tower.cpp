// The tower subgame.
#include "sim/simulation.h"
#include "sim/subgames.h"

namespace sim {

// Not built yet: the tower subgame's set-up. Until then it prepares nothing.
void setUpTower(Simulation&) {}

// Not built yet: the tower subgame's frame. Until then it draws nothing and is over at once.
std::string towerFrame(Simulation&, std::uint8_t, std::int64_t) { return kSubgameNotBuilt; }

}  // namespace sim

namespace sim {

// Not built yet: what the subgame does after its waiting screen. Until then nothing.
void towerAfterScreen(Simulation&) {}

}  // namespace sim
