#pragma once
// The waiting screens of the game: event messages, the inventory, the lives counter and the game over
// sign. Each takes one W tick per frame.

#include <cstdint>

#include "sim/core/context.h"

namespace sim::screens {

// Begins a screen of a kind (ScreenKind) and draws its first frame. In play it ends the step (Suspend);
// in tools' mode the screen runs to its end on the spot.
void showScreen(Context& c, int kind, std::int64_t value);
// One frame of the screen on show.
void screenFrame(Context& c);
// Whether the screen ends on this pad.
bool screenEnds(Context& c, std::uint8_t pad);
void endScreen(Context& c);
// Game over: the music, then the sign's screen in play, or the end message at once in tools' mode.
void beginGameOver(Context& c);

}  // namespace sim::screens
