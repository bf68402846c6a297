#pragma once
// The autopilot: plays a route script on a simulated game into an input recording.

#include <filesystem>
#include <string>

namespace sim {
class RomView;
}
namespace world {
struct World;
}

namespace app::pilot {

struct AutopilotFiles {
  std::filesystem::path route;
  std::filesystem::path out;     // the recording
  std::filesystem::path log;     // optional per-tick TSV
  std::filesystem::path states;  // optional state lines
};

// 0 when the route completed, 2 when it failed (its lines say why).
int runRoute(const world::World& world, sim::RomView& rom, const AutopilotFiles& files);

// The random bot: seeded random input after an optional recorded prefix. 0 when the ticks ran out or the game
// ended, 2 when it stopped or a file failed.
struct BotRun {
  std::int64_t seed = 0;
  std::int64_t ticks = 20000;
  std::int64_t language = 0;
  std::filesystem::path prefix;
  std::filesystem::path out;
};
int runRandomBot(const world::World& world, sim::RomView& rom, const BotRun& run);

}  // namespace app::pilot
