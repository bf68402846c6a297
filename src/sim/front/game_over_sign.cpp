// The game over sign: two words that fly in from either side, growing as they
// fall, rest over the sunset, and shrink away when a button is pressed (not
// before 300 frames) or after about twenty minutes.
#include <algorithm>

#include "sim/cartridge.h"
#include "sim/front/front.h"
#include "sim/pad.h"
#include "sim/rom_view.h"

namespace sim::front {

namespace {

// The words' outlines: 8 rows of 32 bits each (4 bytes, the left column in the
// top bit). The first word is drawn at the sign's place and scale, the second
// at its mirrored copy's.
constexpr std::uint32_t kFirstWord = cart::kGameOverFirstWord;
constexpr std::uint32_t kSecondWord = cart::kGameOverSecondWord;
constexpr std::uint32_t kSignCaller = 0x0044A2;
// Palette line 3 of the call attributes: its colour 15 is the sign's white.
constexpr std::uint32_t kSignAttributes = 0x0C;

// The sign's routine keeps 16.16 values as 32-bit patterns in the go_ fields.
std::int64_t fixed(std::int64_t field) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(field));
}
std::int64_t pattern(std::int64_t value) {
  return static_cast<std::uint32_t>(value);
}
std::int64_t integerPart(std::int64_t field) {
  return fixed(field) >> 16;
}

void drawGameOverWord(Context& c, std::uint32_t table, std::int64_t x, std::int64_t y, std::int64_t scaleX,
                      std::int64_t scaleY);

}  // namespace

void gameOverFrame(Context& c, bool first) {
  GameState& s = c.state;
  beginFrame(c);
  // camera_x counts the sign's frames for the sky's slow drift; it starts
  // over with the sign.
  if (first) s.camera_x = 0;
  s.camera_x = (s.camera_x + 1) & 0xFFF;

  switch (s.go_phase) {
    case 0: {
      std::int64_t x = fixed(s.go_x), y = fixed(s.go_y), sx = fixed(s.go_sx), sy = fixed(s.go_sy);
      std::int64_t vx = fixed(s.go_vx), vy = fixed(s.go_vy);
      if (y < 0xB20000) {
        vy += 0x700;
        y += vy;
      }
      if (x < 0x1410000) vx += 10240;
      if (vy >= 0) {
        // Falling, it comes nearer.
        const std::int64_t g = (sx >> 16) * ((vy >> 4) & 0xFFFF);
        sy += g;
        sx += g + g / 4;
      }
      x += vx;
      s.go_x = pattern(x), s.go_y = pattern(y), s.go_sx = pattern(sx), s.go_sy = pattern(sy);
      s.go_vx = pattern(vx), s.go_vy = pattern(vy);
      s.go_x2 = (576 - (fixed(s.go_x) >> 16)) & 0xFFFF;
      s.go_y2 = (406 - (fixed(s.go_y) >> 16)) & 0xFFFF;
      s.go_sx2 = fixed(s.go_sx) >> 16;
      s.go_sy2 = fixed(s.go_sy) >> 16;
      if (fixed(s.go_y) >= 0xB20000) {
        s.go_phase = 1;
        s.go_timer = 60000;
      }
      break;
    }
    case 1: {
      // The timer stands at 0 while the sign shrinks: once begun, the
      // shrinking runs to its end whatever the pad does.
      bool shrinking = s.go_timer == 0;
      if (!shrinking) {
        s.go_timer = (s.go_timer - 1) & 0xFFFF;
        const bool dismissed = static_cast<std::int16_t>(s.go_timer) < -5835 && c.stepPad >= kPadB;
        shrinking = dismissed || s.go_timer == 0;
        if (shrinking) s.go_timer = 0;
      }
      if (shrinking) {
        if (fixed(s.go_sx) >= 0x10000) {
          s.go_y = pattern(fixed(s.go_y) + 0xF000);
          s.go_sy = pattern(fixed(s.go_sy) - 0xD000);
          s.go_sx = pattern(fixed(s.go_sx) - 0x10000);
        } else {
          s.go_phase = 2;
          s.go_timer = 25;
        }
      }
      break;
    }
    default:
      if (s.go_timer > 0) s.go_timer -= 1;
      break;
  }

  drawGameOverWord(c, kFirstWord, integerPart(s.go_x), integerPart(s.go_y), integerPart(s.go_sx), integerPart(s.go_sy));
  drawGameOverWord(c, kSecondWord, static_cast<std::int16_t>(s.go_x2), static_cast<std::int16_t>(s.go_y2), s.go_sx2,
                   s.go_sy2);
  if (!c.screens.empty()) c.screens.back().values_a.push_back(s.camera_x);
}

// One word of the sign centred on (x, y): each byte of a row is scaleX pixels
// wide (at most 32) and each row scaleY / 8 pixels high (at most 8), so the
// whole word is at most 128 x 64. Runs of set bits become solid bars, frame
// (h - 1) * 32 + (w - 1) for a bar w pixels wide (w <= 32) and h high.
namespace {

void drawGameOverWord(Context& c, std::uint32_t table, std::int64_t x, std::int64_t y, std::int64_t scaleX,
                      std::int64_t scaleY) {
  const std::int64_t byteWidth = std::clamp<std::int64_t>(scaleX, 0, 32);
  const std::int64_t rowHeight = std::clamp<std::int64_t>(scaleY >> 3, 0, 8);
  if (byteWidth == 0 || rowHeight == 0) return;
  const std::int64_t left = x - 2 * byteWidth;  // 4 bytes wide, centred
  const std::int64_t top = y - 4 * rowHeight;   // 8 rows high, centred
  auto columnX = [&](std::int64_t column) { return left + column * byteWidth / 8; };
  for (std::uint32_t row = 0; row < 8; ++row) {
    const std::uint32_t bits = c.rom.longAt(table + 4 * row);
    const std::int64_t rowY = top + row * rowHeight;
    std::int64_t column = 0;
    while (column < 32) {
      if ((bits >> (31 - column) & 1) == 0) {
        ++column;
        continue;
      }
      std::int64_t end = column;
      while (end < 32 && (bits >> (31 - end) & 1) != 0) ++end;
      for (std::int64_t from = columnX(column), to = columnX(end); from < to; from += 32) {
        const std::int64_t w = std::min<std::int64_t>(32, to - from);
        addSprite(c, static_cast<std::uint16_t>(from), static_cast<std::uint16_t>(rowY),
                  static_cast<std::uint32_t>((rowHeight - 1) * 32 + (w - 1)), kSignAttributes, kSignCaller);
      }
      column = end;
    }
  }
}

}  // namespace

}  // namespace sim::front
