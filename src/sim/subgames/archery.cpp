// The archery subgame.
#include "sim/subgames/games.h"

namespace sim::subgames {

// Not built yet: the archery subgame's set-up. Until then it prepares nothing.
void setUpArchery(Context&) {}

// Not built yet: the archery subgame's frame. Until then it draws nothing and is over at once.
std::string archeryFrame(Context&, std::uint8_t, std::int64_t) {
  return kSubgameNotBuilt;
}

}  // namespace sim::subgames
