#pragma once
// The pause menu's art: the parchment panel, the two fonts, the selection bar and the two text colours,
// built once from the graphics and the cartridge tables, and the drawing of each onto a picture.

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "base/pattern_sheet.h"
#include "ui/saves.h"

namespace render {
class RenderAssets;
}
namespace sim {
class RomView;
}

namespace ui {

inline constexpr std::uint32_t kParchmentBlock = 0x071804;
inline constexpr std::uint32_t kCreditsFontBlock = 0x0671C4;
inline constexpr std::uint32_t kCreditsCharacterMap = 0x013620;  // 96 pattern numbers from the space on
inline constexpr std::uint32_t kMenuSpriteList = 0x0680EC;
inline constexpr std::uint32_t kMenuPaletteLine2 = 0x0139F2;
inline constexpr std::uint32_t kMenuPaletteLine3 = 0x013A12;
inline constexpr int kBarFirstFrame = 0x17;  // left end, middle, right end

// An RGBA image of a few pixels (a piece of the selection bar).
struct BarPiece {
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::vector<std::uint32_t> pixels;  // 0 = transparent
};

class MenuArt {
 public:
  // The art from the data set; not ready (logged) when a part is missing.
  static MenuArt build(render::RenderAssets& assets, const sim::RomView& rom);

  bool ready = false;

  // The parchment's cells, row by row, with its 16 colours.
  std::int32_t parchmentWidth = 0;  // cells
  std::int32_t parchmentHeight = 0;
  std::vector<render::Pattern> parchmentCells;
  std::array<std::uint32_t, 16> colours{};
  // The credits' font by pattern number, and the pattern of each character from the space on.
  std::vector<render::Pattern> creditsFont;
  std::array<std::uint8_t, 96> characterMap{};
  // The screens' font (the message font's sheet) and the glyph of each text byte 32-175.
  std::vector<render::Pattern> screensFont;
  std::array<std::uint8_t, 144> glyphTable{};
  std::uint32_t firstColour = 0xFF000000u;
  std::uint32_t secondColour = 0xFF000000u;
  std::uint32_t emptySegmentColour = 0xFF000000u;
  std::array<BarPiece, 3> bar;

  // Works out the two text colours from the fonts and the parchment.
  void chooseTextColours();

  // A panel of w x h cells at (x, y).
  void drawPanel(Picture& picture, int x, int y, int w, int h) const;
  // Text in the credits' font (folded to capitals), 8 pixels a character.
  void drawCredits(Picture& picture, int x, int y, std::string_view text, std::uint32_t colour) const;
  static int creditsWidth(std::string_view text);
  // Text in the screens' font, 8 x 16 a character; `disabled` blends it with the second colour.
  void drawScreens(Picture& picture, int x, int y, std::string_view text, bool disabled) const;
  static int screensWidth(std::string_view text);
  // One of the drawn 8 x 8 glyphs (a row a byte, bit 7 leftmost).
  static void drawBits(Picture& picture, int x, int y, const std::uint8_t* rows, std::uint32_t colour);
  // The selection bar, `width` pixels wide, from (x, y).
  void drawBar(Picture& picture, int x, int y, int width) const;
  static void fillRect(Picture& picture, int x, int y, int w, int h, std::uint32_t colour);
};

// The screens' font's bytes for a text: ASCII as it is, the accented letters of the menus as the font's
// code page bytes, other Latin-1 letters folded, anything else dropped.
std::vector<std::uint8_t> screensBytes(std::string_view text);

// (a * wa + b * wb) >> 8 per channel, opaque.
std::uint32_t blend(std::uint32_t a, int wa, std::uint32_t b, int wb);

}  // namespace ui
