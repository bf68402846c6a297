// The minecart subgame.
#include "sim/subgames/games.h"

namespace sim::subgames {

// Not built yet: the minecart subgame's set-up. Until then it prepares nothing.
void setUpMinecart(Context&) {}

// Not built yet: the minecart subgame's frame. Until then it draws nothing and is over at once.
std::string minecartFrame(Context&, std::uint8_t, std::int64_t) {
  return kSubgameNotBuilt;
}

}  // namespace sim::subgames
