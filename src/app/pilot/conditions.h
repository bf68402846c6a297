#pragma once
// The terms of route conditions, read from a simulated game.

#include <cstdint>
#include <string>
#include <vector>

#include "app/pilot/route.h"

namespace sim {
class Simulation;
struct GameState;
}  // namespace sim

namespace app::pilot {

// What a command remembers from its start, for the terms "taken" and "eaten".
struct CommandStart {
  std::int64_t starsLeft = 0;
  std::int64_t fruitTaken = 0;
};

// The number of fruit items (types 1 and 5) of every area already taken.
std::int64_t fruitTaken(const sim::Simulation& simulation);
CommandStart commandStart(const sim::Simulation& simulation);

bool holds(const Condition& condition, const sim::Simulation& simulation, const CommandStart& start);
bool allHold(const std::vector<Condition>& conditions, const sim::Simulation& simulation, const CommandStart& start);

// Whether the term is one of the search's options, which widen or limit the search and always hold.
bool isSearchOption(const std::string& name);

// The hero is standing still on the ground (not jumping, falling, struck, bent, dying or held by a set piece).
bool standing(const sim::GameState& state);
// Whether item `flag` was taken (its bit of the flags block).
bool itemTaken(const sim::GameState& state, std::int64_t flag);
// The hero's whole-pixel position.
std::int64_t heroX(const sim::GameState& state);
std::int64_t heroY(const sim::GameState& state);

}  // namespace app::pilot
