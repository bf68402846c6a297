#include "ui/menu_art.h"

#include <algorithm>
#include <map>
#include <optional>

#include "base/log.h"
#include "render/render_assets.h"
#include "render/sprite_banks.h"
#include "render/text_draw.h"
#include "render/video_chip.h"
#include "sim/rom_view.h"
#include "ui/menu_text.h"

namespace ui {
namespace {

constexpr int kCell = 8;
constexpr int kScreensFontMinimum = 144;
constexpr int kNoGlyph = 30;
constexpr int kDigitPattern = 27;

// The glyphs drawn by the program itself, 8 rows of 8 pixels each.
struct DrawnGlyph {
  char character;
  std::uint8_t rows[8];
};
constexpr DrawnGlyph kDrawnGlyphs[] = {
    {':', {0x00, 0x30, 0x30, 0x00, 0x00, 0x30, 0x30, 0x00}},  {'/', {0x02, 0x06, 0x0C, 0x18, 0x30, 0x60, 0x40, 0x00}},
    {'%', {0x62, 0x66, 0x0C, 0x18, 0x30, 0x66, 0x46, 0x00}},  {'<', {0x0C, 0x18, 0x30, 0x60, 0x30, 0x18, 0x0C, 0x00}},
    {'>', {0x30, 0x18, 0x0C, 0x06, 0x0C, 0x18, 0x30, 0x00}},  {'-', {0x00, 0x00, 0x00, 0x7E, 0x00, 0x00, 0x00, 0x00}},
    {'+', {0x00, 0x18, 0x18, 0x7E, 0x18, 0x18, 0x00, 0x00}},  {'?', {0x3C, 0x66, 0x06, 0x0C, 0x18, 0x00, 0x18, 0x00}},
    {'\'', {0x18, 0x18, 0x30, 0x00, 0x00, 0x00, 0x00, 0x00}}, {'.', {0x00, 0x00, 0x00, 0x00, 0x00, 0x18, 0x18, 0x00}},
    {'!', {0x18, 0x18, 0x18, 0x18, 0x18, 0x00, 0x18, 0x00}},
};

const std::uint8_t* drawnGlyph(unsigned char c) {
  for (const DrawnGlyph& glyph : kDrawnGlyphs)
    if (static_cast<unsigned char>(glyph.character) == c) return glyph.rows;
  return nullptr;
}

// The menu letters the screens' font has, as its code page bytes.
struct Accented {
  unsigned code;  // U+00xx
  std::uint8_t byte;
};
constexpr Accented kAccented[] = {{0xE9, 130}, {0xE8, 138}, {0xEA, 136}, {0xE0, 133}, {0xE2, 131},
                                  {0xE7, 135}, {0xF4, 147}, {0xF9, 151}, {0xFC, 129}, {0xE4, 132},
                                  {0xF6, 148}, {0xE1, 160}, {0xED, 161}, {0xF3, 162}, {0xFA, 163},
                                  {0xF1, 165}, {0xD1, 165}, {0xBF, 168}, {0xA1, 173}};

void putPixel(Picture& picture, int x, int y, std::uint32_t colour) {
  if (x < 0 || y < 0 || x >= picture.width || y >= picture.height) return;
  picture.pixels[static_cast<std::size_t>(y) * picture.width + x] = colour;
}

render::Pattern flipped(const render::Pattern& pattern, bool h, bool v) {
  render::Pattern out{};
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) out[y * 8 + x] = pattern[(v ? 7 - y : y) * 8 + (h ? 7 - x : x)];
  return out;
}

// The picture's cells row by row, each resolved through its name table word.
std::vector<render::Pattern> pictureCells(const render::Picture& picture) {
  std::vector<render::Pattern> cells;
  for (std::uint16_t word : picture.names) {
    const std::size_t number = word & 0x7FF;
    const render::Pattern pattern = number < picture.patterns.size() ? picture.patterns[number] : render::Pattern{};
    cells.push_back(flipped(pattern, (word & 0x0800) != 0, (word & 0x1000) != 0));
  }
  return cells;
}

std::uint32_t cramColour(std::uint16_t word) {
  const std::uint32_t r = ((word >> 1) & 7) * 255 / 7;
  const std::uint32_t g = ((word >> 5) & 7) * 255 / 7;
  const std::uint32_t b = ((word >> 9) & 7) * 255 / 7;
  return 0xFF000000u | r << 16 | g << 8 | b;
}

// The selection bar's three pieces: frames 17h-19h of the menus' sprite list.
std::optional<std::array<BarPiece, 3>> loadBar(render::RenderAssets& assets, const sim::RomView& rom) {
  render::VideoChip chip;
  std::optional<render::SpriteFrameList> list = render::loadBankList(chip, rom, assets.pictures, kMenuSpriteList, 0);
  if (!list || list->frames.size() < static_cast<std::size_t>(kBarFirstFrame + 3)) return std::nullopt;
  std::array<BarPiece, 3> pieces;
  for (int k = 0; k < 3; ++k) {
    const render::SpriteFrame& frame = list->frames[static_cast<std::size_t>(kBarFirstFrame + k)];
    const std::uint32_t line = (frame.attribute & 3) == 3 ? kMenuPaletteLine3 : kMenuPaletteLine2;
    std::array<std::uint32_t, 16> palette{};
    for (std::uint32_t i = 0; i < 16; ++i) palette[i] = cramColour(rom.wordAt(line + 2 * i) & 0xEEE);
    BarPiece& piece = pieces[static_cast<std::size_t>(k)];
    piece.width = frame.width * kCell;
    piece.height = frame.height * kCell;
    piece.pixels.assign(static_cast<std::size_t>(piece.width) * piece.height, 0);
    // Patterns run in 4 x 4 pieces: column strips of 4 cells, row strips within, each column by column.
    int number = frame.first;
    for (int cx = 0; cx < frame.width; cx += 4)
      for (int cy = 0; cy < frame.height; cy += 4) {
        const int pw = std::min(4, frame.width - cx), ph = std::min(4, frame.height - cy);
        for (int i = 0; i < pw; ++i)
          for (int j = 0; j < ph; ++j, ++number) {
            if (number >= render::kPatternStoreSize) return std::nullopt;
            const render::Pattern& pattern = chip.patterns[static_cast<std::size_t>(number)];
            for (int p = 0; p < 64; ++p)
              if (pattern[p] != 0)
                piece.pixels[static_cast<std::size_t>((cy + j) * kCell + p / 8) * piece.width + (cx + i) * kCell +
                             p % 8] = palette[pattern[p]];
          }
      }
  }
  return pieces;
}

}  // namespace

std::uint32_t blend(std::uint32_t a, int wa, std::uint32_t b, int wb) {
  std::uint32_t out = 0xFF000000u;
  for (int shift = 0; shift <= 16; shift += 8) {
    const std::uint32_t v = (((a >> shift) & 0xFF) * wa + ((b >> shift) & 0xFF) * wb) >> 8;
    out |= std::min(v, 255u) << shift;
  }
  return out;
}

std::vector<std::uint8_t> screensBytes(std::string_view text) {
  std::vector<std::uint8_t> bytes;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
      bytes.push_back(c);
      continue;
    }
    if ((c & 0xE0) == 0xC0 && i + 1 < text.size()) {
      const unsigned code = (c & 0x1Fu) << 6 | (static_cast<unsigned char>(text[i + 1]) & 0x3Fu);
      const auto found =
          std::find_if(std::begin(kAccented), std::end(kAccented), [&](const Accented& a) { return a.code == code; });
      if (found != std::end(kAccented)) {
        bytes.push_back(found->byte);
        ++i;
        continue;
      }
      for (char folded : foldText(text.substr(i, 2))) bytes.push_back(static_cast<std::uint8_t>(folded));
      ++i;
      continue;
    }
    // Longer sequences are dropped whole.
    while (i + 1 < text.size() && (static_cast<unsigned char>(text[i + 1]) & 0xC0) == 0x80) ++i;
  }
  return bytes;
}

MenuArt MenuArt::build(render::RenderAssets& assets, const sim::RomView& rom) {
  MenuArt art;
  const render::Picture* parchment = assets.findPicture(kParchmentBlock);
  const render::Picture* credits = assets.findPicture(kCreditsFontBlock);
  const bool screens = assets.loadPortraitFrames() &&
                       assets.portrait_frame_patterns.size() >= static_cast<std::size_t>(kScreensFontMinimum);
  if (!parchment || !credits || !screens || parchment->width <= 6 || parchment->height <= 6) {
    app::logMessage(app::kError,
                    "the pause menu's art: the parchment 071804, the credits' font 0671C4 or the screens' font is "
                    "missing");
    return art;
  }
  art.parchmentWidth = parchment->width;
  art.parchmentHeight = parchment->height;
  art.parchmentCells = pictureCells(*parchment);
  for (std::size_t i = 0; i < 16 && i < parchment->palette.size(); ++i)
    art.colours[i] = cramColour(parchment->palette[i] & 0xEEE);
  art.creditsFont = pictureCells(*credits);
  for (std::uint32_t i = 0; i < 96; ++i) art.characterMap[i] = rom.byteAt(kCreditsCharacterMap + i);
  art.screensFont = assets.portrait_frame_patterns;
  for (std::uint32_t i = 0; i < 144; ++i) art.glyphTable[i] = rom.byteAt(render::kGlyphTable + i);
  std::optional<std::array<BarPiece, 3>> bar = loadBar(assets, rom);
  if (!bar) {
    app::logMessage(app::kError, "the pause menu's art: the code menu's box (0680EC frames 17h - 19h) did not load");
    return art;
  }
  art.bar = std::move(*bar);
  art.chooseTextColours();
  art.ready = true;
  return art;
}

void MenuArt::chooseTextColours() {
  auto mostUsed = [](const std::map<int, int>& counts) {
    int best = 1, bestCount = -1;
    for (const auto& [index, count] : counts)
      if (count > bestCount) best = index, bestCount = count;
    return best;
  };
  std::map<int, int> fontCounts;
  for (std::size_t p = 0; p < 26 && p < screensFont.size(); ++p)
    for (std::uint8_t v : screensFont[p])
      if (v != 0) ++fontCounts[v & 15];
  firstColour = colours[static_cast<std::size_t>(mostUsed(fontCounts))] | 0xFF000000u;
  std::map<int, int> middleCounts;
  for (int row = 8; row < 16 && row < parchmentHeight; ++row)
    for (int column = 12; column < 28 && column < parchmentWidth; ++column)
      for (std::uint8_t v : parchmentCells[static_cast<std::size_t>(row * parchmentWidth + column)])
        if (v != 0) ++middleCounts[v & 15];
  const std::uint32_t middle = colours[static_cast<std::size_t>(mostUsed(middleCounts))];
  secondColour = blend(middle, 146, firstColour, 110);
  emptySegmentColour = blend(colours[1], 186, secondColour, 70);
}

void MenuArt::fillRect(Picture& picture, int x, int y, int w, int h, std::uint32_t colour) {
  for (int j = std::max(0, y); j < std::min(picture.height, y + h); ++j)
    for (int i = std::max(0, x); i < std::min(picture.width, x + w); ++i)
      picture.pixels[static_cast<std::size_t>(j) * picture.width + i] = colour;
}

void MenuArt::drawPanel(Picture& picture, int x, int y, int w, int h) const {
  if (parchmentWidth <= 6 || parchmentHeight <= 6) return;
  auto source = [](int i, int count, int size) {
    if (i < 3) return i;
    if (i >= count - 3) return size - (count - i);
    return 3 + (i - 3) % (size - 6);
  };
  for (int row = 0; row < h; ++row) {
    const int sr = source(row, h, parchmentHeight);
    for (int column = 0; column < w; ++column) {
      const int sc = source(column, w, parchmentWidth);
      if (sr < 0 || sc < 0) continue;
      const render::Pattern& cell = parchmentCells[static_cast<std::size_t>(sr * parchmentWidth + sc)];
      for (int p = 0; p < 64; ++p)
        if (cell[p] != 0) putPixel(picture, x + column * kCell + p % 8, y + row * kCell + p / 8, colours[cell[p]]);
    }
  }
}

void MenuArt::drawBits(Picture& picture, int x, int y, const std::uint8_t* rows, std::uint32_t colour) {
  for (int j = 0; j < 8; ++j)
    for (int i = 0; i < 8; ++i)
      if ((rows[j] << i) & 0x80) putPixel(picture, x + i, y + j, colour);
}

int MenuArt::creditsWidth(std::string_view text) {
  return static_cast<int>(foldText(text).size()) * kCell;
}

void MenuArt::drawCredits(Picture& picture, int x, int y, std::string_view text, std::uint32_t colour) const {
  const std::string folded = foldText(text);
  for (std::size_t k = 0; k < folded.size(); ++k) {
    const auto c = static_cast<unsigned char>(folded[k]);
    const int cx = x + static_cast<int>(k) * kCell;
    if (const std::uint8_t* rows = drawnGlyph(c)) {
      drawBits(picture, cx, y, rows, colour);
      continue;
    }
    if (c < '!' || c > '_') continue;
    const int number = c >= '0' && c <= '9' ? kDigitPattern + (c - '0') : characterMap[c - 32];
    if (number == 0 || number >= static_cast<int>(creditsFont.size())) continue;
    const render::Pattern& pattern = creditsFont[static_cast<std::size_t>(number)];
    for (int p = 0; p < 64; ++p)
      if (pattern[p] != 0) putPixel(picture, cx + p % 8, y + p / 8, colour);
  }
}

int MenuArt::screensWidth(std::string_view text) {
  return static_cast<int>(screensBytes(text).size()) * kCell;
}

void MenuArt::drawScreens(Picture& picture, int x, int y, std::string_view text, bool disabled) const {
  const std::vector<std::uint8_t> bytes = screensBytes(text);
  const std::uint32_t single = disabled ? secondColour : firstColour;
  for (std::size_t k = 0; k < bytes.size(); ++k) {
    const std::uint8_t c = bytes[k];
    const int cx = x + static_cast<int>(k) * kCell;
    if (c == ' ') continue;
    if (c >= '0' && c <= '9') {
      const std::size_t number = static_cast<std::size_t>(kDigitPattern + (c - '0'));
      if (number < creditsFont.size())
        for (int p = 0; p < 64; ++p)
          if (creditsFont[number][p] != 0) putPixel(picture, cx + p % 8, y + 1 + p / 8, single);
      continue;
    }
    const int glyph = c >= 32 && c < 176 ? glyphTable[c - 32] : kNoGlyph;
    const int top = render::glyphTopPattern(glyph);
    if (glyph != kNoGlyph && top + 40 < static_cast<int>(screensFont.size())) {
      for (int half = 0; half < 2; ++half) {
        const render::Pattern& pattern = screensFont[static_cast<std::size_t>(top + 40 * half)];
        for (int p = 0; p < 64; ++p) {
          if (pattern[p] == 0) continue;
          const std::uint32_t colour = colours[pattern[p] & 15];
          putPixel(picture, cx + p % 8, y + half * kCell + p / 8,
                   disabled ? blend(secondColour, 166, colour, 90) : colour);
        }
      }
      continue;
    }
    if (const std::uint8_t* rows = drawnGlyph(c)) drawBits(picture, cx, y + 1, rows, single);
  }
}

void MenuArt::drawBar(Picture& picture, int x, int y, int width) const {
  auto stamp = [&](const BarPiece& piece, int px) {
    for (int j = 0; j < piece.height; ++j)
      for (int i = 0; i < piece.width; ++i) {
        const std::uint32_t colour = piece.pixels[static_cast<std::size_t>(j) * piece.width + i];
        if (colour != 0) putPixel(picture, px + i, y + j, colour);
      }
  };
  const BarPiece& left = bar[0];
  const BarPiece& middle = bar[1];
  const BarPiece& right = bar[2];
  if (left.width <= 0 || middle.width <= 0 || right.width <= 0) return;
  const int end = x + width - right.width;
  stamp(left, x);
  for (int px = x + left.width; px < end; px += middle.width) stamp(middle, px);
  stamp(right, end);
}

}  // namespace ui
