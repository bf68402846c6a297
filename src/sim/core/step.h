#pragma once
// The step: one console frame of whichever kind the state asks for, the game step and its stages, and the
// new game.

#include <cstdint>

#include "sim/core/context.h"

namespace sim {

// One console frame: a front-end frame, a waiting screen's frame, a subgame frame or a game step. Never
// throws.
void step(Context& c, std::uint8_t pad, std::int64_t tick);
// The game step (an S tick) as the context's eventFrames, livesFrames and hook say.
void runGameStep(Context& c, std::uint8_t pad);
// Runs the game step's stages from `stage` on until stage 7 (or an end) returns.
void runStages(Context& c, int stage, std::uint8_t pad);
// Stage 7: START after the pause delay pauses (the pause is the host's menu).
bool stagePause(Context& c, std::uint8_t pad);

// A new game from the title; false when it stopped.
bool newGame(Context& c, std::int64_t extraLives);
// The game's own start values (door locks and states, phases, score, stars, lives, scenery records),
// shared by the new game and the code menu.
void applyGameStartValues(Context& c);

}  // namespace sim
