#pragma once
// The routines of each subgame, reached through the table of flow.cpp; internal to src/sim/subgames. A
// frame returns an empty text while the subgame goes on, a non-empty one ("won", "lost") when it is over.

#include <cstdint>
#include <string>

#include "sim/core/context.h"

namespace sim::subgames {

// What the frame of a subgame that is not built yet reports: it is over on its
// first frame, so the game goes on where it goes after that subgame.
inline constexpr const char kSubgameNotBuilt[] = "not built";

void setUpSwapPuzzle(Context& c);  // modes 0 and 1
std::string swapPuzzleFrame(Context& c, std::uint8_t pad, std::int64_t tick);
void setUpSea(Context& c);  // mode 2: plank and bubbles
std::string seaFrame(Context& c, std::uint8_t pad, std::int64_t tick);
void setUpMinecart(Context& c);  // mode 4
std::string minecartFrame(Context& c, std::uint8_t pad, std::int64_t tick);
void setUpArchery(Context& c);  // modes 5 to 8
std::string archeryFrame(Context& c, std::uint8_t pad, std::int64_t tick);
void setUpTower(Context& c);  // mode 9
std::string towerFrame(Context& c, std::uint8_t pad, std::int64_t tick);
// After a waiting screen that a subgame raised has ended.
void towerAfterScreen(Context& c);

}  // namespace sim::subgames
