// The tower subgame.
#include "sim/subgames/games.h"

namespace sim::subgames {

// Not built yet: the tower subgame's set-up. Until then it prepares nothing.
void setUpTower(Context&) {}

// Not built yet: the tower subgame's frame. Until then it draws nothing and is over at once.
std::string towerFrame(Context&, std::uint8_t, std::int64_t) {
  return kSubgameNotBuilt;
}

}  // namespace sim::subgames

namespace sim::subgames {

// Not built yet: what the subgame does after its waiting screen. Until then nothing.
void towerAfterScreen(Context&) {}

}  // namespace sim::subgames
