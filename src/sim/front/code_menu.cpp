// The code menu: a practice list of the six subgames plus the attract pages,
// opened by the title's secret sequence or by the host. A subgame started here
// runs on the menu's frames and returns to the menu when it is over.
#include <algorithm>

#include "sim/areas/areas.h"
#include "sim/cartridge.h"
#include "sim/core/ram.h"
#include "sim/core/step.h"
#include "sim/front/front.h"
#include "sim/front/front_pieces.h"
#include "sim/hero/hero.h"
#include "sim/pad.h"
#include "sim/rom_view.h"
#include "sim/screens/screens.h"
#include "sim/subgames/subgames.h"

namespace sim::front {

namespace {

constexpr std::uint32_t kMoveStep = 0xFF90E6;  // the highlight's animation step t, 0..16
constexpr std::int64_t kLastEntry = 6;         // entry 6: the attract pages
constexpr std::uint32_t kMarkCaller = 0x0130A4;

// The highlight: the selection bar's two end pieces of the menu's frame list,
// beside the entry's line. Entry k's line is drawn at cell row 6 + 2k, which
// the menu shows at screen y 64 + 16k.
constexpr std::uint32_t kMarkLeftFrame = 0x17;
constexpr std::uint32_t kMarkRightFrame = 0x19;
constexpr std::int64_t kMarkLeftX = 128 + 40;
constexpr std::int64_t kMarkRightX = 128 + 272;
constexpr std::int64_t kFirstEntryY = 128 + 64;
constexpr std::int64_t kEntrySpacing = 16;

void drawCodeMenuMarks(Context& c, std::int64_t from, std::int64_t to, std::int64_t t);
void codeMenuSubgameFrame(Context& c, std::uint8_t pad);
void startCodeMenuChoice(Context& c);

}  // namespace

void openCodeMenuScreen(Context& c) {
  GameState& s = c.state;
  s.code_menu = 1;
  s.front = 5;
  s.front_step = 0;
  s.event = 19;
  pushFrontScreen(c, 19, 0, 5);
  s.menu_latch = 0;
  setSubRamWord(c, kMoveStep, 0);
  c.fadeVBlanks += 20;
  // The highlight is shown from the first frame on.
  beginFrame(c);
  drawCodeMenuMarks(c, s.menu_cursor, s.menu_cursor, 0);
  appendFrontFrame(c);
}

namespace {

// The highlight on its way from entry `from` to entry `to`, at step t of 17.
void drawCodeMenuMarks(Context& c, std::int64_t from, std::int64_t to, std::int64_t t) {
  const std::int64_t y = kFirstEntryY + kEntrySpacing * from + kEntrySpacing * (to - from) * t / 17;
  addSprite(c, kMarkLeftX, static_cast<std::uint16_t>(y), kMarkLeftFrame, 0, kMarkCaller);
  addSprite(c, kMarkRightX, static_cast<std::uint16_t>(y), kMarkRightFrame, 0, kMarkCaller);
}

}  // namespace

void codeMenuFrame(Context& c, std::uint8_t pad) {
  GameState& s = c.state;
  if (s.front_step == 7) {
    codeMenuSubgameFrame(c, pad);
    return;
  }
  beginFrame(c);
  switch (s.front_step) {
    case 0:
      moveMenuCursor(c, pad, kLastEntry);
      if (s.menu_cursor == s.menu_prev) {
        if (pad & kPadStart) s.front_step = 5;
      } else {
        setSubRamWord(c, kMoveStep, 0);
        s.front_step = 1;
      }
      break;
    case 1:
      s.front_step = 2;
      break;
    case 2: {
      const std::int64_t t = subRamWord(c, kMoveStep);
      drawCodeMenuMarks(c, s.menu_prev, s.menu_cursor, t);
      if (t == 16)
        s.front_step = 3;
      else
        setSubRamWord(c, kMoveStep, t + 1);
      break;
    }
    case 3:
      // Departure: as in the language menu, the highlight's move stops one
      // step short of the line (a pixel per line moved) and is not drawn
      // again; we draw it at the line once it lands.
      drawCodeMenuMarks(c, s.menu_cursor, s.menu_cursor, 0);
      requestEffect(c, 7);
      s.front_step = 4;
      break;
    case 4:
      s.front_step = 0;
      s.menu_prev = s.menu_cursor;
      break;
    case 5:
      // The last picture stays until START is let go.
      for (const SpriteCall& call : c.previousSprites)
        addSprite(c, call.x, call.y, call.frame, call.attributes, call.caller);
      if ((pad & kPadStart) == 0) s.front_step = 6;
      break;
    case 6:
      appendFrontFrame(c);
      startCodeMenuChoice(c);
      return;
    default:
      s.front_step = 0;
      break;
  }
  appendFrontFrame(c);
}

namespace {

void startCodeMenuChoice(Context& c) {
  GameState& s = c.state;
  c.fadeVBlanks += 10;
  if (s.menu_cursor == kLastEntry) {
    beginAttract(c);
    return;
  }
  s.mode =
      static_cast<std::int16_t>(c.rom.wordAt(cart::kCodeMenuModes + 2 * static_cast<std::uint32_t>(s.menu_cursor)));
  std::fill(s.flags.begin(), s.flags.end(), 0);
  applyGameStartValues(c);
  hero::resetHeroAndEnergy(c);
  s.x = 160 << 16;
  s.y = 152 << 16;
  s.lives = 0;
  s.front_step = 7;
  c.suspendMode = true;
  subgames::enterSubgame(c);
}

// A subgame frame; when the subgame is over the hero and the music come back
// and the menu opens again with the palette of the subgame just played.
void codeMenuSubgameFrame(Context& c, std::uint8_t pad) {
  GameState& s = c.state;
  c.suspendMode = true;
  c.stepPad = pad;
  if (s.screen_kind != kNoScreen) {
    // A waiting screen that the subgame raised.
    screens::screenFrame(c);
    if (screens::screenEnds(c, pad)) {
      screens::endScreen(c);
      subgames::subgameAfterScreen(c);
    }
    return;
  }
  std::string result;
  try {
    result = subgames::subgameFrame(c, s.mode, pad, c.tickNumber);
  } catch (const Suspend&) {
  }
  s.w910c = subRamWord(c, kSubWord910C);
  if (result.empty()) return;

  s.in_subgame = 0;
  s.sub_result = subRamWord(c, kSubResult);
  const std::int64_t mode = s.mode;
  if (mode <= 1 && s.sub_result == -1) requestMusic(c, s.push_music);
  subgames::restoreHeroFromPush(c);
  s.cram_line0 = mode + 1;
  if (mode <= 1) s.mode = 0;
  areas::cancelPaletteFade(c);
  if (s.menu_cursor > 1) requestMusic(c, 11);
  openCodeMenuScreen(c);
}

}  // namespace

}  // namespace sim::front
