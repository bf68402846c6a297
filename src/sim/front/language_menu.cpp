// The language menu of the first start: five languages, the highlighted one
// shown as a small picture of 48 letter pieces that fly to new places and
// change letters whenever the highlight moves.
#include <array>

#include "sim/cartridge.h"
#include "sim/core/ram.h"
#include "sim/front/front.h"
#include "sim/front/front_pieces.h"
#include "sim/pad.h"
#include "sim/rom_view.h"

namespace sim::front {

namespace {

constexpr std::uint32_t kLetters = cart::kLanguageLetters;  // 48 letter bytes per language
constexpr std::uint32_t kPieces = 0xFF954A;                 // 48 records of six words in sub_ram
constexpr std::uint32_t kMoveStep = 0xFF9E6A;               // the animation step t, 0..16
constexpr std::uint32_t kPieceCaller = 0x012B5C;
constexpr std::int64_t kPieceCount = 48;
constexpr std::int64_t kLastLanguage = 4;

// The highlight: the menu's cursor (frame 0 of its frame list, an arrow) on
// either side of the highlighted language's name, the right one mirrored.
// Language k's name is shown at screen y 36 + 14k, centred on x 160, at most
// 80 pixels wide.
constexpr std::uint32_t kCursorFrame = 0;
constexpr std::uint32_t kMirrored = 1;  // a sprite call's horizontal flip
constexpr std::uint32_t kMarkLeftX = 128 + 100;
constexpr std::uint32_t kMarkRightX = 128 + 204;
constexpr std::int64_t kFirstNameY = 128 + 36;
constexpr std::int64_t kNameSpacing = 14;
constexpr std::uint32_t kMarkCaller = 0x012B9E;

void shuffleLetterPieces(Context& c);
void drawLetterPieces(Context& c, std::int64_t t);
void drawRestingLetters(Context& c);
void chooseLanguage(Context& c);

// The marks of the highlighted language. The menu draws them with every frame
// it draws; frames it leaves empty go on showing the last one drawn.
void drawLanguageMarks(Context& c) {
  const std::int64_t y = kFirstNameY + kNameSpacing * c.state.menu_cursor;
  addSprite(c, kMarkLeftX, static_cast<std::uint16_t>(y), kCursorFrame, 0, kMarkCaller);
  addSprite(c, kMarkRightX, static_cast<std::uint16_t>(y), kCursorFrame, kMirrored, kMarkCaller);
}

}  // namespace

void openLanguageMenu(Context& c) {
  GameState& s = c.state;
  requestMusic(c, 17);
  s.front = 1;
  s.front_step = 0;
  pushFrontScreen(c, 18, s.language, 1);
  s.menu_prev = s.menu_cursor = s.menu_latch = 0;
  s.menu_frames = 0;
  beginFrame(c);
  drawRestingLetters(c);
  appendFrontFrame(c);
  c.fadeVBlanks += 10;
}

void languageMenuFrame(Context& c, std::uint8_t pad) {
  GameState& s = c.state;
  beginFrame(c);
  bool choose = false;
  // The idle frames: the highlight stays; the menu picks it by itself after a
  // minute, or when START has been pressed and let go.
  auto idle = [&] {
    s.menu_prev = s.menu_cursor;
    const std::int64_t limit = s.refresh_hz == 60 ? 3600 : 3000;
    if (s.menu_frames == limit) {
      choose = true;
      return;
    }
    s.menu_frames += 1;
    if (pad & kPadStart) s.front_step = 5;
  };
  switch (s.front_step) {
    case 0:
      moveMenuCursor(c, pad, kLastLanguage);
      if (s.menu_cursor == s.menu_prev) {
        idle();
      } else {
        setSubRamWord(c, kMoveStep, 0);
        s.front_step = 1;
      }
      break;
    case 1:
      shuffleLetterPieces(c);
      s.front_step = 2;
      break;
    case 2: {
      const std::int64_t t = subRamWord(c, kMoveStep);
      drawLetterPieces(c, t);
      if (t == 16)
        s.front_step = 3;
      else
        setSubRamWord(c, kMoveStep, t + 1);
      break;
    }
    case 3:
      // Departure: the console's pieces stop on the 17th step, one short of
      // their places (up to 2 pixels off), and nothing is drawn afterwards,
      // so the picture rested scrambled. We draw it whole once they land.
      drawRestingLetters(c);
      requestEffect(c, 18);
      s.menu_frames = 0;
      s.front_step = 4;
      break;
    case 4:
      s.front_step = 0;
      idle();
      break;
    case 5:
      if ((pad & kPadStart) == 0) choose = true;
      break;
    default:
      // Only a hand-made state gets here; the menu starts over at rest.
      s.front_step = 0;
      break;
  }
  appendFrontFrame(c);
  if (choose) chooseLanguage(c);
}

namespace {

// Each piece i gets a place j other than its own that no piece has taken yet
// ($012AD4). The console draws until it finds one; the last piece can be left
// with only its own place, where the console would draw for ever.
void shuffleLetterPieces(Context& c) {
  const GameState& s = c.state;
  std::array<bool, kPieceCount> taken{};
  for (std::int64_t i = 0; i < kPieceCount; ++i) {
    std::int64_t j = 0;
    for (std::int64_t draws = 1;; ++draws) {
      // Departure: the console draws for ever when only the piece's own
      // place is left; here the game stops after 100001 draws.
      if (draws > 100001) stopWith(c, "the language menu's shuffle has only a piece's own place left ($012AD4)");
      j = random(c, kPieceCount);
      if (j != i && !taken[static_cast<std::size_t>(j)]) break;
    }
    taken[static_cast<std::size_t>(j)] = true;
    const auto at = kPieces + 12 * static_cast<std::uint32_t>(i);
    setSubRamWord(c, at, (i & 7) * 5);
    setSubRamWord(c, at + 2, (i >> 3) * 4);
    setSubRamWord(c, at + 4, (j % 8) * 5);
    setSubRamWord(c, at + 6, (j / 8) * 4);
    setSubRamWord(
        c, at + 8,
        c.rom.byteAt(kLetters + 48 * static_cast<std::uint32_t>(s.menu_prev) + static_cast<std::uint32_t>(i)));
    setSubRamWord(
        c, at + 10,
        c.rom.byteAt(kLetters + 48 * static_cast<std::uint32_t>(s.menu_cursor) + static_cast<std::uint32_t>(j)));
  }
}

// Step t of 17: every piece on its way from its place to its new one, with its
// old letter for the first half of the way and its new letter after; the marks
// stand at the new language's line already.
void drawLetterPieces(Context& c, std::int64_t t) {
  for (std::int64_t i = 0; i < kPieceCount; ++i) {
    const auto at = kPieces + 12 * static_cast<std::uint32_t>(i);
    const std::int64_t sc = subRamWord(c, at), sr = subRamWord(c, at + 2);
    const std::int64_t dc = subRamWord(c, at + 4), dr = subRamWord(c, at + 6);
    const std::int64_t letter = t < 8 ? subRamWord(c, at + 8) : subRamWord(c, at + 10);
    const std::int64_t x = 320 + sc + (dc - sc) * t / 17;
    const std::int64_t y = 268 + sr + (dr - sr) * t / 17;
    addSprite(c, static_cast<std::uint32_t>(x & 0xFFFF), static_cast<std::uint32_t>(y & 0xFFFF),
              static_cast<std::uint32_t>((letter + 7) & 0xFFFF), 0, kPieceCaller);
  }
  drawLanguageMarks(c);
}

// The picture of the highlighted language with every piece at its place, and
// the marks of its line.
void drawRestingLetters(Context& c) {
  const auto language = static_cast<std::uint32_t>(c.state.menu_cursor);
  for (std::uint32_t j = 0; j < kPieceCount; ++j) {
    const std::uint32_t letter = c.rom.byteAt(kLetters + 48 * language + j);
    addSprite(c, 320 + (j % 8) * 5, 268 + (j / 8) * 4, letter + 7, 0, kPieceCaller);
  }
  drawLanguageMarks(c);
}

void chooseLanguage(Context& c) {
  GameState& s = c.state;
  c.fadeVBlanks += 10;
  s.language = s.menu_cursor;
  requestMusic(c, 11);
  showTitle(c);
}

}  // namespace

}  // namespace sim::front
