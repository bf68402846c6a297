#pragma once
// The front end: the language menu, the title with its attract pages, the story screen, the code menu,
// and the game over sign.

#include <cstdint>

#include "sim/core/context.h"

namespace sim::front {

void openLanguageMenu(Context& c);
// The title on a fresh state (only the player's choices and the random generator carry over).
void showTitle(Context& c);
// One front-end frame of the phase in `front`.
void frontEndFrame(Context& c, std::uint8_t pad);
// Opens the code menu while the front end runs; false when it did not open or a stop occurred.
bool openCodeMenu(Context& c);
// One frame of the game over sign ($0044A2).
void gameOverFrame(Context& c, bool first);

}  // namespace sim::front
