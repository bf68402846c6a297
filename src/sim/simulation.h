#pragma once
// The game logic as the host sees it: the console game's routines, advancing one console frame
// (one V-blank) per call of step(). The whole game lives in one GameState;
// beside it the Simulation keeps the cheat bits and the outputs of the step
// (sprites, screens, sound requests, fade V-blanks, end and stop messages).
// The routines themselves live in the subsystem folders and share one Context.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "audio/sound_request.h"
#include "sim/core/context.h"
#include "sim/game_state.h"
#include "sim/sim_types.h"

namespace world {
struct World;
}

namespace sim {

class RomView;
class Simulation;

// Resolves the subgame being entered: the state reached at its end, or nothing.
using SubgameHook = std::function<std::optional<GameState>(Simulation&)>;

class Simulation {
 public:
  Simulation(const world::World& world, RomView& rom);

  void newStart(bool languageMenu);
  bool newGame(std::int64_t extraLives);
  void step(std::uint8_t pad, std::int64_t tick);  // never throws
  char tickKind() const;                           // 'S', 'W', 'G' or 0 for front-end frames
  const GameState& state() const { return ctx_.state; }
  GameState& mutableState() { return ctx_.state; }
  std::shared_ptr<const GameState> snapshot() const;
  bool loadState(const GameState& given);
  bool isAtRest() const;
  bool teleport(std::int64_t area, std::int64_t x, std::int64_t y);
  bool openCodeMenu();
  // The S tick of the tools: screens run eventFrames and livesFrames frames inside the call (-1: as in
  // play), and the hook, when given, resolves subgames.
  void runGameStep(std::uint8_t pad, std::int32_t eventFrames, std::int32_t livesFrames, SubgameHook hook);

  // --- outputs of the last step ---
  std::vector<audio::SoundRequest>& soundRequests() { return ctx_.soundRequests; }
  const std::vector<Screen>& screens() const { return ctx_.screens; }
  // The host keeps only the newest screen while the front end runs (it draws nothing else).
  void keepNewestScreen() {
    if (ctx_.screens.size() > 1) ctx_.screens.erase(ctx_.screens.begin(), ctx_.screens.end() - 1);
  }
  const std::vector<SpriteCall>& frameSprites() const { return ctx_.frameSprites; }
  const std::vector<SpriteCall>& previousSprites() const { return ctx_.previousSprites; }
  const std::vector<SpriteCall>& stepSprites() const { return ctx_.stepSprites; }
  std::int32_t fadeVBlanks() const { return ctx_.fadeVBlanks; }
  const std::string& endMessage() const { return ctx_.endMessage; }
  const std::string& stopMessage() const { return ctx_.stopMessage; }
  std::int64_t subgamesSkipped() const { return ctx_.subgamesSkipped; }
  std::uint8_t stepPad() const { return ctx_.stepPad; }
  std::int64_t tickNumber() const { return ctx_.tickNumber; }
  const AreaCache& areaCache() const { return ctx_.areaCache; }
  std::uint32_t cheats() const { return ctx_.cheats; }
  void setCheats(std::uint32_t bits) { ctx_.cheats = bits; }
  bool suspendMode() const { return ctx_.suspendMode; }
  void setSuspendMode(bool on) { ctx_.suspendMode = on; }
  const world::World& world() const { return ctx_.world; }
  const RomView& rom() const { return ctx_.rom; }

  // The game logic's context, for the tools and the tests that drive single routines.
  Context& context() { return ctx_; }
  const Context& context() const { return ctx_; }

 private:
  Context ctx_;
};

}  // namespace sim
