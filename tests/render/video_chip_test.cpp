#include "render/video_chip.h"

#include <gtest/gtest.h>

#include <random>

#include "render_fixture.h"

namespace {

using render::Sprite;
using render::VideoChip;
using render_test::solidPattern;

// Pattern n (1-15) is filled with colour n; pattern 20 shows its column (pixel = column + 1), pattern 21
// its row (pixel = row + 1).
VideoChip makeChip() {
  VideoChip chip;
  for (int n = 1; n < 16; ++n) chip.patterns[n] = solidPattern(static_cast<std::uint8_t>(n));
  for (int i = 0; i < 64; ++i) {
    chip.patterns[20][i] = static_cast<std::uint8_t>(i % 8 + 1);
    chip.patterns[21][i] = static_cast<std::uint8_t>(i / 8 + 1);
  }
  return chip;
}

void fillPlane(render::Plane& plane, std::uint16_t word) {
  plane.cells.assign(plane.cells.size(), word);
}

int pixel(const render::Frame& frame, int x, int y) {
  return frame.pixels[static_cast<std::size_t>(y * 320 + x)];
}

Sprite sprite(int x, int y, int w, int h, int first, int palette = 0, bool priority = false) {
  Sprite s;
  s.x = x;
  s.y = y;
  s.width = w;
  s.height = h;
  s.first = static_cast<std::uint16_t>(first);
  s.palette = static_cast<std::uint8_t>(palette);
  s.priority = priority;
  return s;
}

TEST(Compose, LayerPriorities) {
  // Each layer: pattern (0 = transparent) and priority. B uses line 1, A line 2, sprites line 3, so the
  // colour names the winning layer.
  struct Case {
    int b, bp, a, ap, s, sp;
    int expected;  // colour index
  };
  const Case cases[] = {
      {0, 0, 0, 0, 0, 0, 5},       // background only
      {1, 0, 0, 0, 0, 0, 16 + 1},  // plane B
      {1, 0, 2, 0, 0, 0, 32 + 2},  // A over B
      {1, 0, 2, 0, 3, 0, 48 + 3},  // sprite over both
      {1, 1, 2, 0, 3, 0, 16 + 1},  // high B over low A and low sprite
      {1, 1, 2, 1, 3, 0, 32 + 2},  // high A over high B
      {1, 1, 2, 1, 3, 1, 48 + 3},  // high sprite over everything
      {1, 0, 2, 1, 3, 0, 32 + 2},  // high A over low sprite
      {1, 0, 0, 1, 0, 0, 16 + 1},  // a transparent high-priority cell hides nothing
      {0, 1, 2, 0, 0, 1, 32 + 2},  // transparent layers with priority change nothing
  };
  for (const Case& c : cases) {
    VideoChip chip = makeChip();
    chip.background = 5;
    fillPlane(chip.plane_b, static_cast<std::uint16_t>((c.bp ? 0x8000 : 0) | 0x2000 | c.b));
    fillPlane(chip.plane_a, static_cast<std::uint16_t>((c.ap ? 0x8000 : 0) | 0x4000 | c.a));
    chip.sprites.push_back(sprite(0, 0, 1, 1, c.s, 3, c.sp != 0));
    const render::Frame frame = render::compose(chip);
    EXPECT_EQ(c.expected, pixel(frame, 3, 3))
        << "B " << c.b << "/" << c.bp << " A " << c.a << "/" << c.ap << " S " << c.s << "/" << c.sp;
  }
}

TEST(Compose, WindowReplacesPlaneAInItsRowsOrColumns) {
  struct Case {
    std::uint8_t h, v;
    int x, y;
    bool window;
  };
  const Case cases[] = {
      {0x00, 0x98, 0, 191, false}, {0x00, 0x98, 0, 192, true},  {0x00, 0x98, 319, 223, true},
      {0x00, 0x03, 5, 23, true},   {0x00, 0x03, 5, 24, false},  {0x82, 0x00, 31, 100, false},
      {0x82, 0x00, 32, 100, true}, {0x02, 0x00, 31, 100, true}, {0x02, 0x00, 32, 100, false},
      {0x00, 0x00, 0, 0, false},
  };
  for (const Case& c : cases) {
    VideoChip chip = makeChip();
    fillPlane(chip.plane_a, 1);
    fillPlane(chip.window, 2);
    chip.hscroll_a = 3;  // the window does not scroll
    chip.window_h = c.h;
    chip.window_v = c.v;
    EXPECT_EQ(c.window ? 2 : 1, pixel(render::compose(chip), c.x, c.y))
        << std::hex << "h " << int(c.h) << " v " << int(c.v) << std::dec << " at " << c.x << "," << c.y;
  }
  // The window sits on plane A's level: a high plane B still shows over a low window cell.
  VideoChip chip = makeChip();
  fillPlane(chip.window, 2);
  fillPlane(chip.plane_b, 0x8000 | 3);
  chip.window_v = 0x98;
  EXPECT_EQ(3, pixel(render::compose(chip), 0, 200));
}

TEST(Compose, ScrollAndFlipsSelectTheSampledPixel) {
  VideoChip chip = makeChip();
  // Column c of plane A holds pattern 20 (pixel = column in cell + 1) with palette line c % 4; rows use
  // pattern 21 on plane B.
  for (int row = 0; row < 32; ++row)
    for (int column = 0; column < 64; ++column) {
      chip.plane_a.set(row, column, static_cast<std::uint16_t>(((column % 4) << 13) | 20));
      chip.plane_b.set(row, column, static_cast<std::uint16_t>(((row % 4) << 13) | 21));
    }
  chip.hscroll_a = 0x3F3;   // only the low 10 bits count: 0x3F3 -> shifted left by 1011 -> xs = x + 13
  chip.vscroll_b = 0xFFFD;  // ys = (y - 3) & 255
  const render::Frame frame = render::compose(chip);
  for (int x : {0, 2, 3, 100, 319}) {
    const int xs = (x - 0x3F3) & 511;
    EXPECT_EQ(((xs / 8) % 4) * 16 + xs % 8 + 1, pixel(frame, x, 0)) << "x " << x;
  }

  // Plane B: make A transparent to see it.
  fillPlane(chip.plane_a, 0);
  const render::Frame back = render::compose(chip);
  for (int y : {0, 2, 3, 10, 223}) {
    const int ys = (y - 3) & 255;
    EXPECT_EQ(((ys / 8) % 4) * 16 + ys % 8 + 1, pixel(back, 0, y)) << "y " << y;
  }

  // Flips mirror within the cell.
  VideoChip flips = makeChip();
  flips.plane_a.set(0, 0, 0x0800 | 20);  // horizontal: column 0 shows pixel 7
  flips.plane_a.set(0, 1, 0x1000 | 21);  // vertical: row 0 shows row 7
  const render::Frame f = render::compose(flips);
  EXPECT_EQ(8, pixel(f, 0, 0));
  EXPECT_EQ(1, pixel(f, 7, 0));
  EXPECT_EQ(8, pixel(f, 8, 0));
  EXPECT_EQ(1, pixel(f, 8, 7));
}

TEST(Compose, StripScrollUsesOneValuePerEightLines) {
  VideoChip chip = makeChip();
  for (int column = 0; column < 64; ++column) chip.plane_a.set(1, column, static_cast<std::uint16_t>(1 + column % 15));
  chip.strip_scroll = true;
  chip.hscroll_a = 100;     // ignored while strips are on
  chip.strip_table[1] = 8;  // line 8-15: one cell to the right
  const render::Frame frame = render::compose(chip);
  EXPECT_EQ(1 + 63 % 15, pixel(frame, 0, 8));  // column (0 - 8) & 511 -> cell 63
  EXPECT_EQ(1, pixel(frame, 8, 15));
}

TEST(Sprites, CellsRunColumnByColumnAndFlipWhole) {
  struct Case {
    bool hflip, vflip;
    int topLeft, topRight, bottomLeft;
  };
  // Patterns 10-13: cell (column 0, row 0), (0, 1), (1, 0), (1, 1) of a 2 x 2 sprite.
  const Case cases[] = {
      {false, false, 10, 12, 11}, {true, false, 12, 10, 13}, {false, true, 11, 13, 10}, {true, true, 13, 11, 12}};
  for (const Case& c : cases) {
    VideoChip chip = makeChip();
    for (int n = 10; n < 14; ++n) chip.patterns[n] = solidPattern(static_cast<std::uint8_t>(n));
    Sprite s = sprite(40, 50, 2, 2, 10);
    s.hflip = c.hflip;
    s.vflip = c.vflip;
    chip.sprites.push_back(s);
    const render::Frame frame = render::compose(chip);
    EXPECT_EQ(c.topLeft, pixel(frame, 40, 50)) << c.hflip << c.vflip;
    EXPECT_EQ(c.topRight, pixel(frame, 48, 50)) << c.hflip << c.vflip;
    EXPECT_EQ(c.bottomLeft, pixel(frame, 40, 58)) << c.hflip << c.vflip;
  }
  // Pixel order inside a flipped cell, and clipping at the left and top edges.
  VideoChip chip = makeChip();
  Sprite s = sprite(-3, -2, 1, 1, 20);
  s.hflip = true;
  chip.sprites.push_back(s);
  const render::Frame frame = render::compose(chip);
  EXPECT_EQ(5, pixel(frame, 0, 0));  // j = 3, mirrored to column 4
  EXPECT_EQ(1, pixel(frame, 4, 5));
  EXPECT_EQ(0, pixel(frame, 5, 0));
}

TEST(Compose, FlippedLowSpriteBetweenPlanesPicture) {
  // b = plane B (low), A = a high-priority triangle on plane A, s = a low sprite whose cells are the left
  // half of a pattern, mirrored by the flip.
  VideoChip chip = makeChip();
  fillPlane(chip.plane_b, 1);
  for (int i = 0; i < 64; ++i) {
    chip.patterns[30][i] = chip.patterns[31][i] = i % 8 < 4 ? 3 : 0;
    chip.patterns[32][i] = i % 8 <= i / 8 ? 2 : 0;
  }
  chip.plane_a.set(0, 1, 0x8000 | 32);
  Sprite s = sprite(4, 0, 2, 1, 30);
  s.hflip = true;
  chip.sprites.push_back(s);
  const render::Frame frame = render::compose(chip);
  std::string picture;
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 24; ++x) picture += " bAs"[pixel(frame, x, y)];
    picture += "\n";
  }
  EXPECT_EQ(
      "bbbbbbbbAsssbbbbssssbbbb\n"
      "bbbbbbbbAAssbbbbssssbbbb\n"
      "bbbbbbbbAAAsbbbbssssbbbb\n"
      "bbbbbbbbAAAAbbbbssssbbbb\n"
      "bbbbbbbbAAAAAbbbssssbbbb\n"
      "bbbbbbbbAAAAAAbbssssbbbb\n"
      "bbbbbbbbAAAAAAAbssssbbbb\n"
      "bbbbbbbbAAAAAAAAssssbbbb\n",
      picture);
}

TEST(Sprites, EarlierSpritesStayInFront) {
  VideoChip chip = makeChip();
  chip.sprites.push_back(sprite(0, 0, 1, 1, 1, 0, false));
  chip.sprites.push_back(sprite(4, 0, 1, 1, 2, 0, true));
  const render::Frame frame = render::compose(chip);
  EXPECT_EQ(1, pixel(frame, 4, 0));  // the first sprite wins even against a later high-priority one
  EXPECT_EQ(2, pixel(frame, 8, 0));
}

TEST(Sprites, TwentyPerLine) {
  VideoChip chip = makeChip();
  for (int i = 0; i < 20; ++i) chip.sprites.push_back(sprite(8 * i, 0, 1, 1, 1));
  chip.sprites.push_back(sprite(200, 0, 1, 2, 2));  // 21st on lines 0-7, alone on 8-15
  chip.sprites.push_back(sprite(220, 8, 1, 1, 3));  // later sprites on other lines are unaffected
  const render::Frame frame = render::compose(chip);
  EXPECT_EQ(1, pixel(frame, 152, 0));  // the 20th
  EXPECT_EQ(0, pixel(frame, 200, 0));
  EXPECT_EQ(3, pixel(frame, 200, 8));  // its second cell row: pattern 3
  EXPECT_EQ(3, pixel(frame, 220, 8));
}

TEST(Sprites, DotLimitDrawsTheSpriteThatReachesItWhole) {
  VideoChip chip = makeChip();
  for (int i = 0; i < 9; ++i) chip.sprites.push_back(sprite(-40, 0, 4, 1, 1));  // 288 dots off screen
  chip.sprites.push_back(sprite(0, 0, 4, 1, 2));                                // 288 -> 320: still drawn, all 32 dots
  chip.sprites.push_back(sprite(100, 0, 1, 1, 3));                              // past the limit
  const render::Frame frame = render::compose(chip);
  EXPECT_EQ(2, pixel(frame, 0, 0));
  EXPECT_EQ(5, pixel(frame, 31, 0));  // its fourth cell: pattern 2 + 3
  EXPECT_EQ(0, pixel(frame, 100, 0));
}

TEST(Sprites, MaskingSpriteHidesLaterSpritesOnOccupiedLines) {
  VideoChip chip = makeChip();
  chip.sprites.push_back(sprite(10, 0, 1, 1, 1));    // occupies lines 0-7
  chip.sprites.push_back(sprite(-128, 0, 1, 2, 4));  // masks lines 0-7 only
  chip.sprites.push_back(sprite(50, 0, 1, 2, 2));
  const render::Frame frame = render::compose(chip);
  EXPECT_EQ(1, pixel(frame, 10, 0));
  EXPECT_EQ(0, pixel(frame, 50, 0));
  EXPECT_EQ(3, pixel(frame, 50, 8));  // the masking sprite came first on this line: no mask

  VideoChip alone = makeChip();
  alone.sprites.push_back(sprite(-128, 0, 1, 1, 4));
  alone.sprites.push_back(sprite(50, 0, 1, 1, 2));
  EXPECT_EQ(2, pixel(render::compose(alone), 50, 0));
}

// A straightforward pixel-by-pixel model of the composition rules, to hold the line-based compose to.
int referencePixel(const VideoChip& chip, const std::vector<std::pair<int, int>>& spriteLayer, int x, int y) {
  auto sample = [&](const render::Plane& plane, int h, int v, int& priority) {
    const int xs = (x - (h & 0x3FF)) & (8 * plane.width - 1);
    const int ys = (y + v) & (8 * plane.height - 1);
    const std::uint16_t word = plane.at(ys / 8, xs / 8);
    int px = xs % 8, py = ys % 8;
    if (word & 0x0800) px = 7 - px;
    if (word & 0x1000) py = 7 - py;
    const int p = chip.patterns[word & 0x7FF][py * 8 + px];
    priority = word >> 15;
    return p ? ((word >> 13) & 3) * 16 + p : 0;
  };
  const int hA = chip.strip_scroll ? chip.strip_table[y / 8] : chip.hscroll_a;
  const int hB = chip.strip_scroll ? chip.strip_table[32 + y / 8] : chip.hscroll_b;
  int bp = 0, ap = 0;
  const int b = sample(chip.plane_b, hB, chip.vscroll_b, bp);
  const bool inWindow = ((chip.window_v & 0x80) ? y >= 8 * (chip.window_v & 31) : y < 8 * (chip.window_v & 31)) ||
                        ((chip.window_h & 0x80) ? x >= 16 * (chip.window_h & 31) : x < 16 * (chip.window_h & 31));
  const int a = inWindow ? sample(chip.window, 0, 0, ap) : sample(chip.plane_a, hA, chip.vscroll_a, ap);
  const auto [s, sp] = spriteLayer[static_cast<std::size_t>(y * 320 + x)];
  int c = chip.background;
  if (b && !bp) c = b;
  if (a && !ap) c = a;
  if (s && !sp) c = s;
  if (b && bp) c = b;
  if (a && ap) c = a;
  if (s && sp) c = s;
  return c;
}

std::vector<std::pair<int, int>> referenceSprites(const VideoChip& chip) {
  std::vector<std::pair<int, int>> layer(320 * 224, {0, 0});
  std::vector<int> count(224, 0), dots(224, 0), occupied(224, 0), masked(224, 0);
  for (const Sprite& s : chip.sprites)
    for (int y = std::max(s.y, 0); y < std::min(s.y + 8 * s.height, 224); ++y) {
      if (count[y] >= 20) continue;
      ++count[y];
      if (s.x == -128 && occupied[y]) masked[y] = 1;
      occupied[y] = 1;
      if (masked[y] || dots[y] >= 320) continue;
      dots[y] += 8 * s.width;
      int r = y - s.y, cr = r / 8, pr = r % 8;
      if (s.vflip) cr = s.height - 1 - cr, pr = 7 - pr;
      for (int j = 0; j < 8 * s.width; ++j) {
        const int x = s.x + j;
        if (x < 0 || x >= 320 || layer[y * 320 + x].first) continue;
        int cc = j / 8, pc = j % 8;
        if (s.hflip) cc = s.width - 1 - cc, pc = 7 - pc;
        const int p = chip.patterns[(s.first + cc * s.height + cr) & 0x7FF][pr * 8 + pc];
        if (p) layer[y * 320 + x] = {s.palette * 16 + p, s.priority ? 1 : 0};
      }
    }
  return layer;
}

TEST(Compose, MatchesPixelModelOnRandomPictures) {
  std::mt19937 random(12345);
  for (int round = 0; round < 6; ++round) {
    VideoChip chip;
    for (int n = 0; n < 64; ++n)
      for (auto& p : chip.patterns[n]) p = static_cast<std::uint8_t>(random() % 3 == 0 ? 0 : random() % 16);
    for (render::Plane* plane : {&chip.plane_a, &chip.plane_b, &chip.window})
      for (auto& cell : plane->cells) cell = static_cast<std::uint16_t>((random() & 0xF800) | (random() % 64));
    chip.hscroll_a = static_cast<std::uint16_t>(random());
    chip.hscroll_b = static_cast<std::uint16_t>(random());
    chip.vscroll_a = static_cast<std::uint16_t>(random());
    chip.vscroll_b = static_cast<std::uint16_t>(random());
    chip.strip_scroll = round % 2 == 1;
    for (auto& entry : chip.strip_table) entry = static_cast<std::uint16_t>(random());
    chip.window_h = static_cast<std::uint8_t>(random() & 0x9F);
    chip.window_v = static_cast<std::uint8_t>(random() & 0x9F);
    chip.background = static_cast<std::uint8_t>(random() % 64);
    for (int i = 0; i < 80; ++i) {
      Sprite s = sprite(static_cast<int>(random() % 400) - 64, static_cast<int>(random() % 260) - 32,
                        1 + static_cast<int>(random() % 4), 1 + static_cast<int>(random() % 4),
                        static_cast<int>(random() % 64), static_cast<int>(random() % 4), random() % 2 == 0);
      if (random() % 10 == 0) s.x = -128;
      s.hflip = random() % 2;
      s.vflip = random() % 2;
      chip.sprites.push_back(s);
    }
    const render::Frame frame = render::compose(chip);
    const auto layer = referenceSprites(chip);
    int differences = 0;
    for (int y = 0; y < 224; ++y)
      for (int x = 0; x < 320; ++x)
        if (pixel(frame, x, y) != referencePixel(chip, layer, x, y) && ++differences <= 3)
          ADD_FAILURE() << "round " << round << " pixel " << x << "," << y;
    EXPECT_EQ(0, differences) << "round " << round;
    EXPECT_EQ(chip.cram, frame.cram);
  }
}

TEST(Colours, ToRgbAndFades) {
  render::Frame frame;
  frame.cram[0] = 0x0EEE;
  frame.cram[5] = 0x0002;  // red 1
  frame.cram[6] = 0x0E00;  // blue 7
  frame.pixels[0] = 0;
  frame.pixels[1] = 64 + 5;  // indices are masked to 6 bits
  frame.pixels[2] = 6;
  const std::vector<std::uint32_t> rgb = render::toRgb(frame);
  EXPECT_EQ(0xFFFFFFFFu, rgb[0]);
  EXPECT_EQ(0xFF240000u, rgb[1]);
  EXPECT_EQ(0xFF0000FFu, rgb[2]);

  struct Case {
    int level;
    std::uint16_t in, out;
  };
  const Case cases[] = {{8, 0x0EEE, 0x0666}, {16, 0x0EEE, 0x0EEE}, {0, 0x0EEE, 0},
                        {8, 0xFFFF, 0x0666}, {4, 0x0642, 0x0000},  {12, 0x0EEE, 0x0AAA}};
  for (const Case& c : cases) {
    frame.cram[1] = c.in;
    const render::Frame faded = render::fadeFrame(frame, c.level);
    EXPECT_EQ(c.out, faded.cram[1]) << "level " << c.level << " word " << std::hex << c.in;
    EXPECT_EQ(frame.pixels, faded.pixels);
  }
}

}  // namespace
