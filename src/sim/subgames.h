#pragma once
// The subgames' set-up and per-frame routines. A frame returns an empty text
// while the subgame goes on, a non-empty one ("won", "lost") when it is over.

#include <cstdint>
#include <string>

namespace sim {

class Simulation;

// What the frame of a subgame that is not built yet reports: it is over on its
// first frame, so the game goes on where it goes after that subgame.
inline constexpr const char kSubgameNotBuilt[] = "not built";

void setUpSwapPuzzle(Simulation& sim);  // modes 0 and 1
std::string swapPuzzleFrame(Simulation& sim, std::uint8_t pad, std::int64_t tick);
void setUpSea(Simulation& sim);  // mode 2: plank and bubbles
std::string seaFrame(Simulation& sim, std::uint8_t pad, std::int64_t tick);
void setUpMinecart(Simulation& sim);  // mode 4
std::string minecartFrame(Simulation& sim, std::uint8_t pad, std::int64_t tick);
void setUpArchery(Simulation& sim);  // modes 5 to 8
std::string archeryFrame(Simulation& sim, std::uint8_t pad, std::int64_t tick);
void setUpTower(Simulation& sim);  // mode 9
std::string towerFrame(Simulation& sim, std::uint8_t pad, std::int64_t tick);
// After a waiting screen that a subgame raised has ended.
void towerAfterScreen(Simulation& sim);

}  // namespace sim
