// The front end: the frame dispatch by phase, the story screen that starts a
// game, and the pieces the pages share. The language menu, the title, the
// attract pages, the code menu and the game over sign have files of their own.
#include "sim/front/front.h"

#include <cstdio>

#include "sim/core/step.h"
#include "sim/front/front_pieces.h"
#include "sim/pad.h"

namespace sim::front {

// --- shared pieces ---

Screen& pushFrontScreen(Context& c, std::int64_t event, std::int64_t language, std::int64_t picture) {
  Screen screen;
  screen.event = event;
  screen.area = c.state.area;
  screen.language = language;
  screen.picture = picture;
  // Every front-end screen carries the palette words; the story, attract and
  // code menu pages choose their colours by them.
  screen.cram_line0 = c.state.cram_line0;
  screen.cram_line2 = c.state.cram_line2;
  c.screens.push_back(std::move(screen));
  return c.screens.back();
}

// The sprites drawn since beginFrame() become the last screen's next frame.
void appendFrontFrame(Context& c) {
  if (!c.screens.empty()) c.screens.back().frames.push_back(c.frameSprites);
}

// UP and DOWN move the highlighted entry by one per press: a direction acts
// once and again only after it has been let go.
void moveMenuCursor(Context& c, std::uint8_t pad, std::int64_t last) {
  GameState& s = c.state;
  if (s.menu_latch == 1 && (pad & kPadUp) == 0) s.menu_latch = 0;
  if (s.menu_latch == 2 && (pad & kPadDown) == 0) s.menu_latch = 0;
  if (s.menu_latch == 1 || s.menu_latch == 2) return;
  if (pad & kPadUp) {
    if (s.menu_cursor > 0) --s.menu_cursor;
    s.menu_latch = 1;
  } else if (pad & kPadDown) {
    if (s.menu_cursor < last) ++s.menu_cursor;
    s.menu_latch = 2;
  }
}

// --- the frame ---

namespace {

void storyFrame(Context& c, std::uint8_t pad);

// The frame of each front-end phase, 1 to 5.
using PhaseFrame = void (*)(Context&, std::uint8_t);
constexpr PhaseFrame kPhases[5] = {languageMenuFrame, titleFrame, storyFrame, attractFrame, codeMenuFrame};

}  // namespace

void frontEndFrame(Context& c, std::uint8_t pad) {
  const std::int64_t phase = c.state.front;
  if (phase < 1 || phase > 5) {
    char text[64];
    std::snprintf(text, sizeof text, "a front-end phase %lld", static_cast<long long>(phase));
    stopWith(c, text);
  }
  kPhases[phase - 1](c, pad);
}

// --- the story screen ---

void beginStory(Context& c) {
  GameState& s = c.state;
  // The story's song is also the first area's: kept as `music`, it plays on
  // into the new game instead of starting over when the area's music check
  // finds another number there.
  requestMusic(c, 13);
  s.front = 3;
  s.front_step = 0;
  pushFrontScreen(c, 17, s.language, 3);
  c.fadeVBlanks += 10;
}

namespace {

// The page reads no button for its first eleven frames, then any of B, C, A or
// START starts the game; after 1500 frames it starts by itself.
void storyFrame(Context& c, std::uint8_t pad) {
  GameState& s = c.state;
  beginFrame(c);
  s.front_step += 1;
  appendFrontFrame(c);
  if ((s.front_step > 10 && pad >= kPadB) || s.front_step > 1500) {
    c.fadeVBlanks += 10;
    s.front = 0;
    newGame(c, s.title_bonus);
  }
}

}  // namespace

// --- the code menu, opened by the host ---

bool openCodeMenu(Context& c) {
  GameState& s = c.state;
  if (s.front == 0 || s.front == 5) return false;
  c.stopMessage.clear();
  s.menu_cursor = 0;
  s.menu_prev = 0;
  runGuarded(c, [&] { openCodeMenuScreen(c); });
  return c.stopMessage.empty();
}

}  // namespace sim::front
