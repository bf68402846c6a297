// The swap puzzle.
#include "sim/subgames/games.h"

namespace sim::subgames {

// Not built yet: the swap puzzle's set-up. Until then it prepares nothing.
void setUpSwapPuzzle(Context&) {}

// Not built yet: the swap puzzle's frame. Until then it draws nothing and is over at once.
std::string swapPuzzleFrame(Context&, std::uint8_t, std::int64_t) {
  return kSubgameNotBuilt;
}

}  // namespace sim::subgames
