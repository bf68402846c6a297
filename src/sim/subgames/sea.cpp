// The plank and bubbles subgame.
#include "sim/subgames/games.h"

namespace sim::subgames {

// Not built yet: the plank and bubbles subgame's set-up. Until then it prepares nothing.
void setUpSea(Context&) {}

// Not built yet: the plank and bubbles subgame's frame. Until then it draws nothing and never ends.
std::string seaFrame(Context&, std::uint8_t, std::int64_t) { return {}; }

}  // namespace sim::subgames
