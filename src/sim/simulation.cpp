// The Simulation: the host's interface over the game logic's context.
#include "sim/simulation.h"

#include <limits>
#include <utility>

#include "base/log.h"
#include "sim/areas/areas.h"
#include "sim/core/step.h"
#include "sim/front/front.h"
#include "world/world.h"

namespace sim {

Simulation::Simulation(const world::World& world, RomView& rom) : ctx_(world, rom) {}

// --- start of a run and of a game ---

void Simulation::newStart(bool languageMenu) {
  clearMessages(ctx_);
  ctx_.screens.clear();
  runGuarded(ctx_, [&] {
    if (languageMenu) {
      requestSound(ctx_, kSoundMusic, 0);
      front::openLanguageMenu(ctx_);
    } else {
      requestMusic(ctx_, 11);
      front::showTitle(ctx_);
    }
  });
}

bool Simulation::newGame(std::int64_t extraLives) {
  return sim::newGame(ctx_, extraLives);
}

// --- the step ---

char Simulation::tickKind() const {
  const GameState& s = ctx_.state;
  if (s.front != 0) return 0;
  if (s.screen_kind != 0) return 'W';
  if (s.in_subgame != 0) return 'G';
  return 'S';
}

void Simulation::step(std::uint8_t pad, std::int64_t tick) {
  sim::step(ctx_, pad, tick);
}

void Simulation::runGameStep(std::uint8_t pad, std::int32_t eventFrames, std::int32_t livesFrames, SubgameHook hook) {
  ctx_.eventFrames = eventFrames;
  ctx_.livesFrames = livesFrames;
  if (hook)
    ctx_.subgameHook = [this, hook = std::move(hook)] { return hook(*this); };
  else
    ctx_.subgameHook = nullptr;
  sim::runGameStep(ctx_, pad);
}

// --- state access for the host ---

std::shared_ptr<const GameState> Simulation::snapshot() const {
  return std::make_shared<const GameState>(ctx_.state);
}

bool Simulation::loadState(const GameState& given) {
  // A state whose area is not in this world is refused before anything
  // changes, so the running game goes on untouched.
  if (!world::findArea(ctx_.world, static_cast<int>(given.area))) return false;
  GameState& state = ctx_.state;
  std::vector<std::uint8_t> towerEdge;
  const bool keepEdge = given.tower_edge.size() != state.tower_edge.size();
  if (keepEdge) towerEdge = std::move(state.tower_edge);
  state = given;
  if (keepEdge) state.tower_edge = std::move(towerEdge);
  clearMessages(ctx_);
  ctx_.frameSprites.clear();
  ctx_.stepSprites.clear();
  ctx_.previousSprites.clear();
  ctx_.screens.clear();
  if (!areas::refreshAreaCache(ctx_, state.area)) return false;
  areas::reapplyKeptCollision(ctx_);
  return true;
}

bool Simulation::isAtRest() const {
  const GameState& s = ctx_.state;
  return s.front == 0 && s.in_subgame == 0 && s.screen_kind == 0 && s.step_stage == 0 && s.mode == 0 && s.dying == 0 &&
         ctx_.stopMessage.empty() && ctx_.endMessage.empty();
}

bool Simulation::teleport(std::int64_t area, std::int64_t x, std::int64_t y) {
  // An area number beyond an int would be cut down to some other area's number on the way to the lookup.
  if (area < 0 || area > std::numeric_limits<int>::max() || !world::findArea(ctx_.world, static_cast<int>(area)))
    return false;  // nothing changes
  // A teleport that stops halfway is undone, so the game never goes on from
  // a half-moved hero.
  const GameState before = ctx_.state;
  ctx_.stopMessage.clear();
  runGuarded(ctx_, [&] { areas::teleportHero(ctx_, area, x, y); });
  missingTableCheck(ctx_);
  ctx_.frameSprites.clear();
  if (ctx_.stopMessage.empty()) return true;
  app::logMessage(app::kError, "teleport to area %d stopped: %s", static_cast<int>(area), ctx_.stopMessage.c_str());
  ctx_.state = before;
  areas::refreshAreaCache(ctx_, ctx_.state.area);
  return false;
}

bool Simulation::openCodeMenu() {
  return front::openCodeMenu(ctx_);
}

}  // namespace sim
