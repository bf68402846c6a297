#pragma once
// The driver of one simulated game for the autopilot and the bot: steps it with pad bytes, keeps every tick
// played (for the recording) and writes the optional per-tick log.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/recording/recording.h"
#include "sim/simulation.h"

namespace sim {
class RomView;
}
namespace world {
struct World;
}

namespace app::pilot {

class Pilot {
 public:
  Pilot(const world::World& world, sim::RomView& rom);
  ~Pilot();
  Pilot(const Pilot&) = delete;
  Pilot& operator=(const Pilot&) = delete;

  // A new game in the language; false (with the stop message) when it stopped.
  bool newGame(std::int64_t extraLives, std::int64_t language = 0);
  // One tick with the pad; false when the game stopped or a life was lost since watchLives() (failure() says).
  bool step(std::uint8_t pad);
  bool play(const std::vector<std::uint8_t>& pads);

  // From now on each tick goes to the stream instead of ticks(), which stays as it is (a long run keeps
  // nothing per tick); null keeps them again.
  void recordTo(RecordingStream* stream) { stream_ = stream; }
  // Every tick played, whether kept or streamed.
  std::int64_t tickCount() const { return played_; }

  // A life lost from now on fails the next step.
  void watchLives() { livesWatched_ = simulation_.state().lives; }
  // Opens the per-tick log; false (logged) when it cannot be written.
  bool openLog(const std::filesystem::path& path);

  sim::Simulation& simulation() { return simulation_; }
  const sim::Simulation& simulation() const { return simulation_; }
  sim::RomView& rom() { return rom_; }
  const std::vector<RecordedTick>& ticks() const { return ticks_; }
  std::int64_t startLives() const { return startLives_; }
  const std::string& failure() const { return failure_; }
  void fail(std::string reason) { failure_ = std::move(reason); }

 private:
  sim::RomView& rom_;
  sim::Simulation simulation_;
  std::vector<RecordedTick> ticks_;
  RecordingStream* stream_ = nullptr;
  std::int64_t played_ = 0;
  std::FILE* log_ = nullptr;
  std::string failure_;
  std::int64_t startLives_ = 0;
  std::int64_t livesWatched_ = -1;
};

// "area 21 x 160 y 152 stars 250 score 0 lives 2 dmg 0 inv -1 -1 -1" with [dying], [subgame], [screen].
std::string stateSummary(const sim::GameState& state);

}  // namespace app::pilot
