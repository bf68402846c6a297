#pragma once
// Pieces shared by the front end's pages; internal to src/sim/front.

#include <cstdint>

#include "sim/core/context.h"

namespace sim::front {

// A front-end screen with the palette words of the state; returns it.
Screen& pushFrontScreen(Context& c, std::int64_t event, std::int64_t language, std::int64_t picture);
// The sprites drawn since beginFrame() become the last screen's next frame.
void appendFrontFrame(Context& c);
// UP and DOWN move the highlighted entry by one per press, from 0 to last.
void moveMenuCursor(Context& c, std::uint8_t pad, std::int64_t last);
void beginStory(Context& c);
// The frames of the phases.
void languageMenuFrame(Context& c, std::uint8_t pad);
void titleFrame(Context& c, std::uint8_t pad);
void attractFrame(Context& c, std::uint8_t pad);
void codeMenuFrame(Context& c, std::uint8_t pad);
void beginAttract(Context& c);
void openCodeMenuScreen(Context& c);

}  // namespace sim::front
