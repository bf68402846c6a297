// The attract pages over the title picture: each page slides in from one side,
// rests, slides on out while it fades, and the next one follows from the other
// side. Any button goes to the story; after the last page the title returns.
#include "sim/cartridge.h"
#include "sim/core/ram.h"
#include "sim/front/front.h"
#include "sim/front/front_pieces.h"
#include "sim/pad.h"
#include "sim/rom_view.h"

namespace sim::front {

namespace {

constexpr std::uint32_t kSpeed = 0xFF83F8;     // v, 16.16
constexpr std::uint32_t kPosition = 0xFF83FC;  // p, 16.16
constexpr std::uint32_t kShown = 0xFF8400;     // p's integer part at the frame's start
constexpr std::uint32_t kRest = 0xFF8404;      // frames at rest, from 0 or -300
constexpr std::uint32_t kPage = 0xFF8406;      // k, the pages begun

constexpr std::int64_t kOne = 0x10000;
constexpr std::int64_t kTopSpeed = 0x3F000;  // sliding out at this speed starts the fade

constexpr std::uint32_t kPageCaller = 0x0157E8;

std::int64_t integerPart(std::int64_t fixed) {
  return static_cast<std::int32_t>(fixed) >> 16;
}

void beginAttractPicture(Context& c);
void drawAttractSprites(Context& c, std::int64_t event, std::int64_t offset);

}  // namespace

void beginAttract(Context& c) {
  GameState& s = c.state;
  c.fadeVBlanks += 20;
  s.front = 4;
  s.fade_delta = s.fade_shown = s.fade_level = 0;
  setTitleWord(c, kPage, 0);
  beginAttractPicture(c);
}

namespace {

void beginAttractPicture(Context& c) {
  GameState& s = c.state;
  const std::int64_t k = titleWord(c, kPage);
  const std::int64_t event = k >= 8 ? 22 : 22 + k;
  // The eighth page is the same in every language.
  Screen& screen = pushFrontScreen(c, event, k < 7 ? s.language : 0, 4);
  beginFrame(c);
  // The page's sprites still stand where the last page left off.
  drawAttractSprites(c, event, integerPart(titleLong(c, kPosition)));
  screen.frames.push_back(c.frameSprites);
  screen.values_b.push_back(0);
  screen.values_c.push_back(s.fade_shown);
  s.att_side = s.att_side != 0 ? 0 : 1;
  if (s.att_side != 0) {
    setTitleLong(c, kPosition, 193 * kOne);
    setTitleLong(c, kSpeed, -5 * kOne);
  } else {
    setTitleLong(c, kPosition, -193 * kOne);
    setTitleLong(c, kSpeed, 5 * kOne);
  }
  s.fade_delta = 1;
  s.att_fade = 0;
  s.att_out = 0;
  setTitleWord(c, kRest, k == 7 ? -300 : 0);
  setTitleWord(c, kPage, k + 1);
}

// The sprites of the page's event record, moved across by the slide offset.
void drawAttractSprites(Context& c, std::int64_t event, std::int64_t offset) {
  const RomView& rom = c.rom;
  const std::uint32_t record = rom.longAt(cart::kEventRecords + 4 * static_cast<std::uint32_t>(event));
  const std::int64_t first = firstBankFrames(c, rom.longAt(record + 4));
  for (std::uint32_t at = record + 10; at < record + 512; at += 6) {
    if (rom.wordAt(at) == 0xFFFF) break;
    const std::int64_t x = rom.signedWordAt(at), y = rom.signedWordAt(at + 2);
    const std::int64_t frame = rom.signedWordAt(at + 4);
    addSprite(c, static_cast<std::uint16_t>(offset + x), static_cast<std::uint16_t>(y + 16),
              static_cast<std::uint16_t>(first + frame), 0, kPageCaller);
  }
}

}  // namespace

void attractFrame(Context& c, std::uint8_t pad) {
  GameState& s = c.state;
  if (s.fade_delta != 0) s.fade_shown = s.fade_level;
  beginFrame(c);
  std::int64_t p = titleLong(c, kPosition), v = titleLong(c, kSpeed);
  const std::int64_t shown = integerPart(p);
  setTitleWord(c, kShown, shown);
  const bool fromRight = s.att_side != 0;
  if (s.att_out != 0) {
    // Sliding out, faster and faster; the fade starts at a set speed.
    if (v == (fromRight ? -kTopSpeed : kTopSpeed)) {
      s.fade_delta = -1;
      s.att_fade = 1;
    }
    v += fromRight ? -0x1000 : 0x1000;
    p += v;
  } else if (p == 0) {
    const std::int64_t rest = titleWord(c, kRest) + 1;
    setTitleWord(c, kRest, rest);
    if (rest > 100) s.att_out = 1;
  } else if (fromRight) {
    // Sliding in, slower and slower, until it stops at 0.
    v += 0x1000;
    if (p + v >= kOne)
      p += v;
    else
      p = 0;
  } else {
    v -= 0x1000;
    p += v;
    if (p >= 0) p = 0;
  }
  setTitleLong(c, kPosition, p);
  setTitleLong(c, kSpeed, v);
  p = titleLong(c, kPosition);

  const std::int64_t page = titleWord(c, kPage) - 1;  // the page on show
  drawAttractSprites(c, page >= 8 || page < 0 ? 22 : 22 + page, integerPart(p));
  if (!c.screens.empty()) {
    Screen& screen = c.screens.back();
    screen.frames.push_back(c.frameSprites);
    screen.values_b.push_back(shown);
    screen.values_c.push_back(s.fade_shown);
  }

  if (s.fade_delta != 0) {
    s.fade_level += s.fade_delta;
    if (s.fade_level < 0) {
      s.fade_level = 0;
      s.fade_delta = 0;
    } else if (s.fade_level > 16) {
      s.fade_level = 16;
      s.fade_delta = 0;
    }
  }
  if (s.att_fade != 0 && s.fade_delta == 0) beginAttractPicture(c);

  if (titleWord(c, kPage) > 8 || pad != 0) {
    c.fadeVBlanks += 10;
    if (titleWord(c, kPage) > 8) {
      showTitle(c);
    } else {
      s.title_bonus = pad == kPadBonusLife ? 1 : 0;
      beginStory(c);
    }
  }
}

}  // namespace sim::front
