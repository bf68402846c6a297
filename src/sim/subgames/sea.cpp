// The plank and bubbles subgame.
#include "sim/subgames/games.h"

namespace sim::subgames {

// Not built yet: the plank and bubbles subgame's set-up. Until then it prepares nothing.
void setUpSea(Context&) {}

// Not built yet: the plank and bubbles subgame's frame. Until then it draws nothing and is over at once.
std::string seaFrame(Context&, std::uint8_t, std::int64_t) {
  return kSubgameNotBuilt;
}

}  // namespace sim::subgames
