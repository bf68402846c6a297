#include "render/text_draw.h"

#include <algorithm>

#include "base/log.h"
#include "sim/rom_view.h"

namespace render {

std::optional<int> glyphFor(const sim::RomView& rom, std::uint8_t byte) {
  const std::uint8_t index = static_cast<std::uint8_t>(byte - 32);
  if (index >= kGlyphTableSize) return std::nullopt;
  return rom.byteAt(kGlyphTable + index);
}

namespace {

int floorHalf(int d) {
  return d >= 0 ? d / 2 : -((-d + 1) / 2);
}

// Draws one line's characters; false when a byte lies beyond the glyph table.
bool drawLine(TextContext& c, const std::vector<std::uint8_t>& line, int row) {
  const int count = std::min(static_cast<int>(line.size()), kMaxLineCharacters);
  const int d = c.width - count;
  const int first = std::max(1, c.left + floorHalf(d));
  VideoChip& chip = *c.chip;
  for (int i = 0; i < count; ++i) {
    const std::uint8_t b = line[static_cast<std::size_t>(i)];
    auto glyph = glyphFor(*c.rom, b);
    if (!glyph) {
      app::logMessage(app::kError, "a character beyond the glyph table ($005626 + %02X)",
                      static_cast<unsigned>(static_cast<std::uint8_t>(b - 32)));
      return false;
    }
    const int column = first + i;
    if (column > 63) continue;
    const int t = glyphTopPattern(*glyph);
    const auto top = static_cast<std::uint16_t>((c.fontBase + t) | 0x2000);
    const auto bottom = static_cast<std::uint16_t>((c.fontBase + t + 40) | 0x2000);
    if (row >= 0 && row <= 31) chip.plane_a.set(row, column, top);
    if (row + 1 >= 0 && row + 1 <= 31) chip.plane_a.set(row + 1, column, bottom);
  }
  // An odd margin cannot be split in whole cells: both rows of the line move half a cell right.
  if (d % 2 != 0) {
    for (int r : {row, row + 1}) {
      if (r < 0 || r >= 32) continue;
      chip.strip_table[static_cast<std::size_t>(r)] = 4;
      chip.strip_table[static_cast<std::size_t>(32 + r)] = 0;
    }
  }
  return true;
}

}  // namespace

std::size_t drawTextRecord(TextContext& c, std::size_t offset, int row) {
  const TextImage& text = *c.text;
  const int keep = std::max(0, c.width);
  std::size_t p = offset;
  for (;;) {
    std::vector<std::uint8_t> line;
    std::uint8_t end = 0;
    for (;;) {
      if (p >= text.size()) {
        c.error = true;
        return p;
      }
      const std::uint8_t b = text[p++];
      if (b == 0 || b == 255) {
        end = b;
        break;
      }
      // A line longer than the record is cut: the byte after the kept ones ends it unseen.
      if (static_cast<int>(line.size()) == keep) {
        end = 255;
        break;
      }
      line.push_back(b);
    }
    if (c.lineHook) c.lineHook(line);
    if (!drawLine(c, line, row)) {
      c.error = true;
      return p;
    }
    if (end == 0) return p;
    row += 2;
  }
}

std::optional<std::size_t> messageOffset(const TextImage& text, int entry) {
  if (entry < 0) return std::nullopt;
  const std::size_t at = 2 * static_cast<std::size_t>(entry);
  if (at + 1 >= text.size()) return std::nullopt;
  const std::size_t offset = static_cast<std::size_t>(text[at]) << 8 | text[at + 1];
  if (offset == 0) return std::nullopt;
  return offset;
}

bool drawMessageRecords(TextContext& c, std::size_t offset) {
  const TextImage& text = *c.text;
  auto word = [&](std::size_t at) { return static_cast<int>(text[at] << 8 | text[at + 1]); };
  std::size_t p = offset;
  for (;;) {
    if (p + 6 > text.size()) return false;
    const int left = word(p), right = word(p + 2), row = word(p + 4);
    c.left = left;
    c.width = right - left;
    p = drawTextRecord(c, p + 6, row);
    if (c.error || p >= text.size()) return false;
    if (text[p] == 0) return true;
    // The next record's header starts at the first even offset after the continuation byte.
    p = (p + 2) & ~static_cast<std::size_t>(1);
  }
}

}  // namespace render
