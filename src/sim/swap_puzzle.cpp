// The swap puzzle.
#include "sim/simulation.h"
#include "sim/subgames.h"

namespace sim {

// Not built yet: the swap puzzle's set-up. Until then it prepares nothing.
void setUpSwapPuzzle(Simulation&) {}

// Not built yet: the swap puzzle's frame. Until then it draws nothing and is over at once.
std::string swapPuzzleFrame(Simulation&, std::uint8_t, std::int64_t) { return kSubgameNotBuilt; }

}  // namespace sim
