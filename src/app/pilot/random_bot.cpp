#include <cstdio>
#include <random>

#include "app/data.h"
#include "app/modes.h"
#include "app/options.h"
#include "app/pilot/autopilot.h"
#include "app/pilot/pilot.h"
#include "base/log.h"
#include "sim/simulation.h"

namespace app::pilot {
namespace {

constexpr std::int64_t kFrameCountBase = 1000;

// Pads of a subgame tick, each held for 1 to 30 ticks.
constexpr std::uint8_t kSubgamePads[10] = {0x00, 0x08, 0x04, 0x20, 0x28, 0x24, 0x01, 0x02, 0x10, 0x40};

// The walking policy: mostly runs and jumps either way, now and then up (doors), B (objects), down, or a rest;
// the inventory button rarely.
constexpr std::uint8_t kWalkPads[16] = {0x08, 0x08, 0x04, 0x04, 0x28, 0x28, 0x24, 0x24,
                                        0x20, 0x00, 0x01, 0x10, 0x02, 0x18, 0x14, 0x40};

class Bot {
 public:
  Bot(Pilot& pilot, std::uint32_t seed) : pilot_(pilot), random_(seed) {}

  std::uint8_t nextPad(char kind) {
    if (kind == 'W') {
      switch (random_() % 40) {
        case 0:
          return 0x20;
        case 1:
          return 0x40;
        case 2:
          return 0x10;
        case 3:
          return 0x80;
        default:
          return 0;
      }
    }
    if (held_ > 0 && kind == heldKind_) {
      --held_;
      return heldPad_;
    }
    heldKind_ = kind;
    if (kind == 'G') {
      heldPad_ = kSubgamePads[random_() % 10];
      held_ = static_cast<int>(random_() % 30);
    } else {
      heldPad_ = kWalkPads[random_() % 16];
      // The inventory button only once in a while: a tap, not a hold.
      held_ = heldPad_ == 0x40 ? 0 : static_cast<int>(random_() % 40);
    }
    return heldPad_;
  }

 private:
  Pilot& pilot_;
  std::mt19937 random_;
  int held_ = 0;
  char heldKind_ = 0;
  std::uint8_t heldPad_ = 0;
};

}  // namespace

int runRandomBot(const world::World& world, sim::RomView& rom, const BotRun& run) {
  InputRecording prefix;
  if (!run.prefix.empty()) {
    prefix = loadRecording(run.prefix);
    if (!prefix.valid) return 2;
  }
  Pilot pilot(world, rom);
  if (!pilot.newGame(0, run.language)) {
    std::printf("the new game: %s\n", pilot.failure().c_str());
    return 2;
  }
  const auto seed = static_cast<std::uint32_t>(run.seed);
  Bot bot(pilot, seed);
  const sim::Simulation& m = pilot.simulation();
  // Written as it is played: a run of millions of ticks keeps none of them in memory.
  RecordingStream recording;
  if (!recording.open(run.out, run.language, pilot.startLives(), kFrameCountBase)) return 2;
  pilot.recordTo(&recording);

  std::string ending = "the ticks ran out";
  std::vector<std::string> endReasons;
  bool stopped = false;
  for (std::size_t i = 0; i < prefix.ticks.size(); ++i) {
    const char kind = m.tickKind();
    if (prefix.ticks[i].kind != static_cast<std::uint8_t>(kind)) {
      std::printf("the prefix does not fit: tick %lld is a %c, the simulation runs a %c\n",
                  static_cast<long long>(i + 1), static_cast<char>(prefix.ticks[i].kind), kind == 0 ? '-' : kind);
      return 2;
    }
    if (!pilot.step(prefix.ticks[i].pad)) {
      stopped = true;
      break;
    }
  }

  std::int64_t areaChanges = 0, screens = 0, subgames = 0, livesLost = 0;
  for (std::int64_t t = 0; !stopped && t < run.ticks; ++t) {
    const sim::GameState& s = m.state();
    const std::int64_t area = s.area, screen = s.screen_kind, subgame = s.in_subgame, lives = s.lives;
    if (!pilot.step(bot.nextPad(m.tickKind()))) {
      stopped = true;
      break;
    }
    if (m.state().area != area) ++areaChanges;
    if (screen == 0 && m.state().screen_kind != 0) ++screens;
    if (subgame == 0 && m.state().in_subgame != 0) ++subgames;
    if (m.state().lives < lives) ++livesLost;
    if (!m.endMessage().empty()) {
      ending = m.endMessage();
      break;
    }
  }
  int code = 0;
  if (stopped) {
    std::printf("PARTIAL: tick %lld: %s\n", static_cast<long long>(pilot.tickCount()), m.stopMessage().c_str());
    ending = "the game stopped: " + m.stopMessage();
    code = 2;
  }
  if (!recording.finish({ending})) code = 2;
  std::printf(
      "seed %u (%zu ticks of prefix): %s; %lld area changes, %lld screens, %lld subgames, %lld lives lost -> %s\n",
      seed, prefix.ticks.size(), ending.c_str(), static_cast<long long>(areaChanges), static_cast<long long>(screens),
      static_cast<long long>(subgames), static_cast<long long>(livesLost), run.out.string().c_str());
  std::fflush(stdout);
  return code;
}

}  // namespace app::pilot

namespace app {

int runBot(Data& data, const Options& options) {
  pilot::BotRun run{options.bot, options.ticks, options.language, options.prefix, options.out};
  return pilot::runRandomBot(*data.world, *data.rom, run);
}

}  // namespace app
