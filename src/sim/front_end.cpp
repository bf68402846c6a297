// The front end (language menu, title, attract pages, code menu, story
// screen) and the game over sign.
#include "sim/simulation.h"

namespace sim {

// Not built yet: the language menu. Until then the front end opens without a
// picture and waits.
void Simulation::openLanguageMenu() {
    state_.front = 1;
    state_.front_step = 0;
}

// Not built yet: the title with its attract pages. Until then the front end
// opens without a picture and waits.
void Simulation::showTitle() {
    state_.front = 1;
    state_.front_step = 0;
}

// Not built yet: one front-end frame. Until then it reads no pad and draws
// nothing, so the front end never ends.
void Simulation::frontEndFrame(std::uint8_t) {}

// Not built yet: the game over sign's frame. Until then the sign stays where
// it begins, and the screen does not end.
void Simulation::gameOverFrame(bool) {}

bool Simulation::openCodeMenu() {
    if (state_.front == 0) return false;
    // Not built yet: the code menu. Until then it does not open.
    return stopMessage_.empty();
}

}  // namespace sim
