#pragma once
// The state search: from a game state, tries groups of ticks of a few pad bytes on copies of the game, best
// first (ticks played plus a weighted estimate of the distance left), until a state meets the goal.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "app/pilot/conditions.h"
#include "app/pilot/route.h"
#include "sim/game_state.h"

namespace sim {
class Simulation;
class RomView;
}  // namespace sim
namespace world {
struct World;
}

namespace app::pilot {

struct SearchGoal {
  std::vector<Condition> conditions;
  std::vector<std::int64_t> via;  // areas the path may cross
  std::size_t nodes = 300000;     // overrides the "nodes" option when non-zero
};

enum Prune : int {
  kPruneDying,
  kPruneLife,
  kPruneEnergy,
  kPruneScreen,
  kPruneSubgame,
  kPruneArea,
  kPruneOther,
  kPruneCount
};

struct SearchResult {
  bool found = false;
  bool nodeLimit = false;
  std::vector<std::uint8_t> pads;  // the inputs that reach the goal
  std::size_t states = 0;
  std::int64_t expanded = 0;
  std::int64_t steps = 0;  // simulation steps run
  std::array<std::int64_t, kPruneCount> pruned{};
};

// Searches from the state of `from` (which it does not change); `tickBase` numbers the ticks.
SearchResult searchStates(const sim::Simulation& from, sim::RomView& rom, const SearchGoal& goal,
                          const CommandStart& start, std::int64_t tickBase, bool timed);

// Searches, printing the search's lines; a search stopped by its node limit is run once more, timed.
SearchResult searchAndReport(const sim::Simulation& from, sim::RomView& rom, const SearchGoal& goal,
                             const CommandStart& start, std::int64_t tickBase);

}  // namespace app::pilot
