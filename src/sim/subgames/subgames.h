#pragma once
// The subgames' flow: entering one from the game step, its frames, resolving it through the tools' hook,
// leaving it, and the hero's return to the main game. The subgames themselves are reached through the
// table in flow.cpp by mode.

#include <cstdint>
#include <string>

#include "sim/core/context.h"

namespace sim::subgames {

// Saves the hero, clears sub_ram and sets up the subgame of `mode`; in_subgame = 1.
void enterSubgame(Context& c);
// One frame of the subgame of a mode: empty while it goes on, non-empty ("won", "lost") when it is over.
std::string subgameFrame(Context& c, std::int64_t mode, std::uint8_t pad, std::int64_t tick);
// After a waiting screen that a subgame raised has ended.
void subgameAfterScreen(Context& c);
// The frame returned a result: the hero comes back and the game step goes on from its loss stage.
void leaveSubgame(Context& c, std::uint8_t pad);
// Stage 2 with the tools' hook installed: the subgame's end state taken from the hook.
void resolveSubgameWithHook(Context& c);
// Stage 8: a lost subgame costs a life or ends the game.
void subgameLoss(Context& c);
// Stage 9: the hero is put back where the subgame's result sends him.
void subgameReturn(Context& c);
// The hero's place, frame, animation, camera and shown damage from the push fields.
void restoreHeroFromPush(Context& c);

}  // namespace sim::subgames
