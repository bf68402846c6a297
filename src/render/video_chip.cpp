#include "render/video_chip.h"

#include <algorithm>
#include <cstring>

namespace render {

namespace {

// A composed layer pixel: colour index in bits 0-5 (0 = nothing), priority in bit 7.
constexpr std::uint8_t kPriorityBit = 0x80;
constexpr std::uint8_t kColourMask = 0x3F;

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
    cell = (cell + 1) & (plane.width - 1);
    const std::uint8_t* row = chip.patterns[word & 0x7FF].data() + 8 * ((word & 0x1000) ? 7 - py : py);
    const std::uint8_t attributes =
        static_cast<std::uint8_t>(((word >> 13) & 3) << 4) | ((word & 0x8000) ? kPriorityBit : 0);
    if (word & 0x0800) {
      for (int px = 0; px < 8; ++px) {
        const std::uint8_t p = row[7 - px];
        dst[px] = p ? static_cast<std::uint8_t>(attributes | p) : 0;
      }
    } else {
      for (int px = 0; px < 8; ++px) {
        const std::uint8_t p = row[px];
        dst[px] = p ? static_cast<std::uint8_t>(attributes | p) : 0;
      }
    }
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
    const std::uint8_t attributes = static_cast<std::uint8_t>((sprite.palette & 3) << 4) |
                                    (sprite.priority ? kPriorityBit : 0);
    const int span = 8 * sprite.width;
    const int jStart = std::max(0, -sprite.x);
    const int jEnd = std::min(span, kScreenWidth - sprite.x);
    for (int j = jStart; j < jEnd; ++j) {
      std::uint8_t& target = out[sprite.x + j];
      if (target) continue;  // earlier sprites stay in front
      int cellColumn = j >> 3;
      int pixelColumn = j & 7;
      if (sprite.hflip) {
        cellColumn = sprite.width - 1 - cellColumn;
        pixelColumn = 7 - pixelColumn;
      }
      const int pattern = (sprite.first + cellColumn * sprite.height + cellRow) & 0x7FF;
      const std::uint8_t p = chip.patterns[static_cast<std::size_t>(pattern)][static_cast<std::size_t>(pixelRow * 8 + pixelColumn)];
      if (p) target = static_cast<std::uint8_t>(attributes | p);
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

}  // namespace

void VideoChip::setPaletteLine(int line, const std::vector<std::uint16_t>& words) {
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
    if (anySprites) drawSpriteLine(chip, y, lineS);
    else std::memset(lineS, 0, sizeof lineS);

    std::uint8_t* out = frame.pixels.data() + static_cast<std::size_t>(y) * kScreenWidth;
    const std::uint8_t background = chip.background;
    for (int x = 0; x < kScreenWidth; ++x) {
      const std::uint8_t b = lineB[x], a = lineA[x], s = lineS[x];
      // Low-priority layers first (B, A, sprites), then the high-priority ones in the same order; each
      // opaque layer overrides what came before.
      std::uint8_t c = background;
      if (b && !(b & kPriorityBit)) c = b;
      if (a && !(a & kPriorityBit)) c = a;
      if (s && !(s & kPriorityBit)) c = s;
      if (b & kPriorityBit) c = b;
      if (a & kPriorityBit) c = a;
      if (s & kPriorityBit) c = s;
      out[x] = c & kColourMask;
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
