#include "render/video_chip.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace render {

namespace {

// A composed layer pixel: colour index in bits 0-5 (0 = nothing), priority in bit 7.
constexpr std::uint8_t kPriorityBit = 0x80;
constexpr std::uint8_t kColourMask = 0x3F;

// Eight pixels at a time, one per byte of a 64-bit word, lowest byte leftmost.
constexpr std::uint64_t kEachByte = 0x0101010101010101ull;

// A pattern row as 8 bytes, mirrored for a horizontal flip.
inline std::uint64_t loadRow(const std::uint8_t* row, bool mirrored) {
  std::uint64_t value;
  std::memcpy(&value, row, 8);
  if constexpr (std::endian::native == std::endian::little) {
    return mirrored ? __builtin_bswap64(value) : value;
  } else {
    return mirrored ? value : __builtin_bswap64(value);
  }
}

// 0xFF in every byte of a pattern row (values 0-15) that is not 0.
inline std::uint64_t opaqueMask(std::uint64_t pixels) {
  return (((pixels + 0x7F * kEachByte) & (0x80 * kEachByte)) >> 7) * 0xFF;
}

// 0xFF in every byte (any value) that is not 0.
inline std::uint64_t nonZeroMask(std::uint64_t bytes) {
  const std::uint64_t high = (((bytes & (0x7F * kEachByte)) + 0x7F * kEachByte) | bytes) & (0x80 * kEachByte);
  return (high >> 7) * 0xFF;
}

// Fills out[0..319] with one line of a plane scrolled by (h, v). Works a cell at a time: the line is drawn
// from the cell holding the first visible pixel into a buffer 8 pixels wider, then the fine offset is
// skipped when copying out.
void drawPlaneLine(const VideoChip& chip, const Plane& plane, int y, std::uint16_t h, std::uint16_t v,
                   std::uint8_t* out) {
  const int widthMask = 8 * plane.width - 1;
  const int heightMask = 8 * plane.height - 1;
  const int ys = (y + v) & heightMask;
  const int rowBase = (ys >> 3) * plane.width;
  const int py = ys & 7;
  const int xs0 = (0 - (h & 0x3FF)) & widthMask;
  const int fine = xs0 & 7;
  int cell = xs0 >> 3;

  std::uint8_t buffer[kScreenWidth + 16];
  const int cellsNeeded = (kScreenWidth + fine + 7) / 8;
  std::uint8_t* dst = buffer;
  for (int i = 0; i < cellsNeeded; ++i, dst += 8) {
    const std::uint16_t word = plane.cells[static_cast<std::size_t>(rowBase + cell)];
    cell = cell + 1 == plane.width ? 0 : cell + 1;
    const std::uint8_t* row = chip.patterns[word & 0x7FF].data() + 8 * ((word & 0x1000) ? 7 - py : py);
    const std::uint8_t attributes =
        static_cast<std::uint8_t>(((word >> 13) & 3) << 4) | ((word & 0x8000) ? kPriorityBit : 0);
    std::uint64_t pixels = loadRow(row, (word & 0x0800) != 0);
    pixels = (pixels | attributes * kEachByte) & opaqueMask(pixels);
    std::memcpy(dst, &pixels, 8);
  }
  std::memcpy(out, buffer + fine, kScreenWidth);
}

// Per-line sprite state of the chip: how many sprites met the line, how many dots they took, whether a
// sprite already occupies it and whether an x = -128 sprite has masked the rest.
struct SpriteLineState {
  int count = 0;
  int dots = 0;
  bool occupied = false;
  bool masked = false;
};

// Rasterises the sprites of one line into out[0..319] (0 = no sprite pixel). The sprite list is walked
// in order for every line, which gives the same counters as walking each sprite over its lines.
void drawSpriteLine(const VideoChip& chip, int y, std::uint8_t* out) {
  std::memset(out, 0, kScreenWidth);
  SpriteLineState line;
  for (const Sprite& sprite : chip.sprites) {
    const int top = sprite.y;
    const int bottom = sprite.y + 8 * sprite.height;
    if (y < top || y >= bottom || y < 0) continue;
    if (line.count >= 20) continue;
    ++line.count;
    if (sprite.x == -128 && line.occupied) line.masked = true;
    line.occupied = true;
    if (line.masked) continue;
    if (line.dots >= kScreenWidth) continue;
    line.dots += 8 * sprite.width;  // the whole sprite line is drawn even past 320 dots

    const int r = y - sprite.y;
    int cellRow = r >> 3;
    int pixelRow = r & 7;
    if (sprite.vflip) {
      cellRow = sprite.height - 1 - cellRow;
      pixelRow = 7 - pixelRow;
    }
    const std::uint8_t attributes =
        static_cast<std::uint8_t>((sprite.palette & 3) << 4) | (sprite.priority ? kPriorityBit : 0);
    // A cell at a time: the pattern row is fetched once per cell, the flip mirrors the cell order and
    // the pixel order within the cell.
    const int flip = sprite.hflip ? 7 : 0;
    for (int cell = 0; cell < sprite.width; ++cell) {
      const int left = sprite.x + 8 * cell;
      if (left >= kScreenWidth || left + 8 <= 0) continue;
      const int cellColumn = sprite.hflip ? sprite.width - 1 - cell : cell;
      const int pattern = (sprite.first + cellColumn * sprite.height + cellRow) & 0x7FF;
      const std::uint8_t* row = chip.patterns[static_cast<std::size_t>(pattern)].data() + 8 * pixelRow;
      if (left >= 0 && left + 8 <= kScreenWidth) {
        std::uint8_t* target = out + left;
        // Whole cell: only empty layer pixels take the sprite's opaque pixels.
        std::uint64_t pixels = loadRow(row, sprite.hflip);
        pixels = (pixels | attributes * kEachByte) & opaqueMask(pixels);
        std::uint64_t layer;
        std::memcpy(&layer, target, 8);
        layer |= pixels & ~nonZeroMask(layer);
        std::memcpy(target, &layer, 8);
        continue;
      }
      const int from = std::max(0, -left), to = std::min(8, kScreenWidth - left);
      for (int pc = from; pc < to; ++pc) {
        const std::uint8_t p = row[pc ^ flip];
        std::uint8_t& target = out[left + pc];
        if (p && !target) target = static_cast<std::uint8_t>(attributes | p);  // earlier sprites stay in front
      }
    }
  }
}

// Whether the window covers the whole line, else the columns [start, end) it covers.
struct WindowSpan {
  int start = 0;
  int end = 0;
};

WindowSpan windowSpan(const VideoChip& chip, int y) {
  const int vBoundary = 8 * (chip.window_v & 31);
  const bool vCovers = (chip.window_v & 0x80) ? y >= vBoundary : y < vBoundary;
  if (vCovers) return {0, kScreenWidth};
  const int hBoundary = std::min(16 * (chip.window_h & 31), kScreenWidth);
  if (chip.window_h & 0x80) return {hBoundary, kScreenWidth};
  return {0, hBoundary};
}

// A layer pixel as rank << 8 | colour: rank `low` (1-3) for a low-priority pixel, low + 3 for a high one,
// 0 for a transparent one.
inline std::uint16_t rankKey(std::uint8_t v, unsigned low) {
  const unsigned opaque = v != 0;
  const unsigned rank = opaque * (low + 3u * (v >> 7));
  return static_cast<std::uint16_t>(rank << 8 | (v & kColourMask));
}

}  // namespace

void VideoChip::setPaletteLine(int line, std::span<const std::uint16_t> words) {
  if (line < 0 || line > 3) return;
  for (std::size_t i = 0; i < 16 && i < words.size(); ++i)
    cram[static_cast<std::size_t>(line) * 16 + i] = words[i] & 0x0EEE;
}

void VideoChip::loadPatterns(int first, const std::vector<Pattern>& source) {
  for (std::size_t i = 0; i < source.size(); ++i) {
    const std::size_t target = static_cast<std::size_t>(first) + i;
    if (first < 0 || target >= patterns.size()) break;
    patterns[target] = source[i];
  }
}

Frame compose(const VideoChip& chip) {
  Frame frame;
  frame.cram = chip.cram;
  std::uint8_t lineB[kScreenWidth];
  std::uint8_t lineA[kScreenWidth];
  std::uint8_t lineW[kScreenWidth];
  std::uint8_t lineS[kScreenWidth];
  const bool anySprites = !chip.sprites.empty();

  for (int y = 0; y < kScreenHeight; ++y) {
    const std::uint16_t hA = chip.strip_scroll ? chip.strip_table[static_cast<std::size_t>(y / 8)] : chip.hscroll_a;
    const std::uint16_t hB =
        chip.strip_scroll ? chip.strip_table[static_cast<std::size_t>(32 + y / 8)] : chip.hscroll_b;
    drawPlaneLine(chip, chip.plane_b, y, hB, chip.vscroll_b, lineB);

    const WindowSpan span = windowSpan(chip, y);
    const bool fullWindow = span.start == 0 && span.end == kScreenWidth;
    if (!fullWindow) drawPlaneLine(chip, chip.plane_a, y, hA, chip.vscroll_a, lineA);
    if (span.end > span.start) {
      drawPlaneLine(chip, chip.window, y, 0, 0, lineW);
      std::memcpy(lineA + span.start, lineW + span.start, static_cast<std::size_t>(span.end - span.start));
    }
    if (anySprites)
      drawSpriteLine(chip, y, lineS);
    else
      std::memset(lineS, 0, sizeof lineS);

    std::uint8_t* out = frame.pixels.data() + static_cast<std::size_t>(y) * kScreenWidth;
    // The winning layer is the opaque one of highest rank: background 0, then low B, A and sprites
    // (1-3), then high B, A and sprites (4-6). Each pixel becomes rank << 8 | colour and the largest
    // wins; plain arithmetic without branches, so the compiler can do whole vectors at a time.
    const std::uint16_t background = chip.background & kColourMask;
    for (int x = 0; x < kScreenWidth; ++x) {
      const std::uint16_t key =
          std::max(std::max(background, rankKey(lineB[x], 1)), std::max(rankKey(lineA[x], 2), rankKey(lineS[x], 3)));
      out[x] = static_cast<std::uint8_t>(key & kColourMask);
    }
  }
  return frame;
}

std::uint32_t cramToRgb(std::uint16_t word) {
  const std::uint32_t r = ((word >> 1) & 7) * 255 / 7;
  const std::uint32_t g = ((word >> 5) & 7) * 255 / 7;
  const std::uint32_t b = ((word >> 9) & 7) * 255 / 7;
  return 0xFF000000u | r << 16 | g << 8 | b;
}

std::vector<std::uint32_t> toRgb(const Frame& frame) {
  std::array<std::uint32_t, 64> colours;
  for (std::size_t i = 0; i < 64; ++i) colours[i] = cramToRgb(frame.cram[i]);
  std::vector<std::uint32_t> rgb(frame.pixels.size());
  for (std::size_t i = 0; i < frame.pixels.size(); ++i) rgb[i] = colours[frame.pixels[i] & 0x3F];
  return rgb;
}

Frame fadeFrame(const Frame& frame, int level) {
  Frame faded = frame;
  for (std::uint16_t& word : faded.cram) {
    std::uint16_t scaled = 0;
    for (int shift = 0; shift <= 8; shift += 4) {
      const int n = (word >> shift) & 0xF;
      scaled = static_cast<std::uint16_t>(scaled | (((level * n / 16) & 0xE) << shift));
    }
    word = scaled;
  }
  return faded;
}

}  // namespace render
