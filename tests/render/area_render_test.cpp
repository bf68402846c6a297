#include "render/area_render.h"

#include <gtest/gtest.h>

#include "render/render_assets.h"
#include "render_fixture.h"
#include "world/world.h"

namespace {

using render::VideoChip;

// A 12-column area: block b (0-3) uses pattern b + 1 in every cell, so a drawn pixel names its block;
// column k of the map holds block k % 4 in every row.
world::Area makeArea(int width = 12) {
  world::Area area;
  area.id = 7;
  area.width = width;
  for (int b = 0; b < 4; ++b) area.blocks.push_back(std::vector<std::uint16_t>(16, static_cast<std::uint16_t>(b + 1)));
  for (int k = 0; k < width; ++k)
    for (int j = 0; j < 6; ++j) area.map.push_back(static_cast<std::uint8_t>(k % 4));
  area.patterns = "assets/graphics/areas/area_07.png";
  area.area_patterns = 8;
  area.line0 = world::PaletteLine(16, 0x0002);
  return area;
}

int pixel(const render::Frame& frame, int x, int y) {
  return frame.pixels[static_cast<std::size_t>(y * 320 + x)];
}

std::vector<render::Pattern> solidPatterns(int count) {
  std::vector<render::Pattern> patterns;
  for (int n = 0; n < count; ++n) patterns.push_back(render_test::solidPattern(static_cast<std::uint8_t>(n % 16)));
  return patterns;
}

TEST(AreaSetUp, PalettesBackgroundAndStore) {
  world::World world;
  world.brumo_line2 = world::PaletteLine(16, 0x0020);
  world::Area area = makeArea();
  area.line0[3] = 4095;  // stray bits are dropped when the word enters the colour memory
  area.line1 = world::PaletteLine(16, 0x0200);
  area.line3 = world::PaletteLine(16, 0x0444);

  VideoChip chip;
  chip.cram.fill(0x0AAA);
  render::setUpArea(chip, world, area, solidPatterns(5), 0);
  EXPECT_EQ(0x0002, chip.cram[0]);
  EXPECT_EQ(0x0EEE, chip.cram[3]);
  EXPECT_EQ(0x0200, chip.cram[16]);
  EXPECT_EQ(0x0020, chip.cram[32]);
  EXPECT_EQ(0x0444, chip.cram[48]);
  EXPECT_EQ(32, chip.background);
  EXPECT_EQ(4, chip.patterns[4][0]);

  // Variants win over line1; without line3 that line is cleared.
  area.line3.reset();
  area.variant_lines = {world::PaletteLine(16, 0x0006), world::PaletteLine(16, 0x0008)};
  area.variant_index = {1, 0, 1, 0};
  render::setUpArea(chip, world, area, solidPatterns(5), 4);  // variant 4 & 3 = 0 -> line 1
  EXPECT_EQ(0x0008, chip.cram[16]);
  EXPECT_EQ(0, chip.cram[48]);

  // A variant index that points past the lines falls back to line1 instead of reading outside.
  area.variant_index = {9, -1, 0, 0};
  render::setUpArea(chip, world, area, solidPatterns(5), 1);
  EXPECT_EQ(0x0200, chip.cram[16]);
}

TEST(AreaSetUp, BackdropBehindRepeatsAndInFrontHasPriority) {
  world::World world;
  world::Area area = makeArea();
  area.backdrop = std::vector<std::vector<std::uint16_t>>(24, std::vector<std::uint16_t>(32, 1));
  (*area.backdrop)[0][0] = 0x0802;

  VideoChip chip;
  render::setUpArea(chip, world, area, solidPatterns(10), 0);
  EXPECT_EQ(0x2000 | (0x0802 + 8), chip.plane_b.at(0, 0));
  EXPECT_EQ(0x2000 | (0x0802 + 8), chip.plane_b.at(0, 32));
  EXPECT_EQ(0x2000 | 9, chip.plane_b.at(23, 63));
  EXPECT_EQ(0, chip.plane_b.at(24, 0));

  area.backdrop_front = true;
  render::setUpArea(chip, world, area, solidPatterns(10), 0);
  EXPECT_EQ(0xA000 | 9, chip.plane_b.at(5, 5));
  EXPECT_EQ(0, chip.plane_b.at(5, 37));

  // In front: the backdrop shows from screen x 32 to 287 over plane A's low cells.
  render::drawArea(chip, area, 0, {});
  render::scrollArea(chip, area, 0);
  const render::Frame frame = render::compose(chip);
  EXPECT_EQ(16 + 9, pixel(frame, 32, 50));
  EXPECT_EQ(16 + 9, pixel(frame, 287, 50));
  EXPECT_NE(16 + 9, pixel(frame, 31, 50));
  EXPECT_NE(16 + 9, pixel(frame, 288, 50));

  // Short backdrop rows are treated as empty cells rather than read past.
  area.backdrop = std::vector<std::vector<std::uint16_t>>(2, std::vector<std::uint16_t>(3, 1));
  render::setUpArea(chip, world, area, solidPatterns(10), 0);
  EXPECT_EQ(0, chip.plane_b.at(2, 0));
  EXPECT_EQ(0, chip.plane_b.at(0, 3));
}

TEST(AreaDrawing, CameraZeroShowsColumnOneAtTheLeftEdge) {
  world::World world;
  world::Area area = makeArea(20);
  area.map[6 * 1] = 9;  // a block number past the list is skipped (column 1, top row)
  VideoChip chip;
  render::setUpArea(chip, world, area, solidPatterns(8), 0);
  render::drawArea(chip, area, 0, {});
  render::scrollArea(chip, area, 0);
  EXPECT_EQ(511, chip.hscroll_a);
  EXPECT_EQ(255, chip.hscroll_b);
  EXPECT_EQ(1, chip.plane_a.at(0, 0));   // column 0, block 0
  EXPECT_EQ(0, chip.plane_a.at(0, 4));   // column 1's skipped block
  EXPECT_EQ(2, chip.plane_a.at(4, 4));   // column 1, block 1
  EXPECT_EQ(3, chip.plane_a.at(0, 43));  // column 10, block 2
  EXPECT_EQ(0, chip.plane_a.at(0, 44));  // column 11 is not drawn
  const render::Frame frame = render::compose(chip);
  EXPECT_EQ(1, pixel(frame, 0, 0));        // area x 1
  EXPECT_EQ(1, pixel(frame, 30, 0));       // area x 31
  EXPECT_EQ(32 + 0, pixel(frame, 31, 0));  // area x 32: the skipped block shows the background
  EXPECT_EQ(2, pixel(frame, 31, 40));

  // Far along: the columns wrap around plane A's 64 cells.
  VideoChip far;
  render::setUpArea(far, world, area, solidPatterns(8), 0);
  render::drawArea(far, area, 400, {});
  EXPECT_EQ(1 + (16 % 4), far.plane_a.at(0, (4 * 16) & 63));
  EXPECT_EQ(1 + (11 % 4), far.plane_a.at(0, (4 * 11) & 63));
  EXPECT_EQ(0, far.plane_a.at(0, 40));  // column 10 lies left of the drawn range
}

TEST(AreaDrawing, LineThreeBlocksAndAnimations) {
  world::World world;
  world::Area area = makeArea();
  area.blocks_line3 = 2;
  area.animations.push_back({1, 5, 0, {3, 0}});
  area.animations.push_back({2, 5, 0, {}});   // no frames: ignored
  area.animations.push_back({1, 5, 0, {2}});  // a later animation of the same block wins
  VideoChip chip;
  render::drawArea(chip, area, 32, {});
  EXPECT_EQ(0x6000 | 1, chip.plane_a.at(0, 0));  // block 0 < 2: line 3
  EXPECT_EQ(3, chip.plane_a.at(0, 4));           // block 1 shown as frames[0] of the last animation: 2
  render::drawArea(chip, area, 32, {0, 0, 3});
  EXPECT_EQ(4, chip.plane_a.at(0, 4));  // the current block given for that animation
}

TEST(AreaDrawing, BlockCellsRunColumnByColumn) {
  world::Area area = makeArea();
  for (int w = 0; w < 16; ++w)
    area.blocks[2][static_cast<std::size_t>(w)] = static_cast<std::uint16_t>(0x0800 | (100 + w));
  VideoChip chip;
  render::drawArea(chip, area, 32, {});
  // Map column 2, row 3 holds block 2: plane A cells (12-15, 8-11); word 4q + s is cell column q, row s.
  for (int q = 0; q < 4; ++q)
    for (int s = 0; s < 4; ++s) EXPECT_EQ(0x0800 | (100 + 4 * q + s), chip.plane_a.at(12 + s, 8 + q)) << q << "," << s;
}

TEST(AreaDrawing, ScrollValues) {
  world::Area area = makeArea();
  struct Case {
    int width, camera;
    bool front;
    std::uint16_t a, b;
  };
  const Case cases[] = {{12, 0, false, 511, 255},
                        {12, 100, false, 411, 205},
                        {12, 600, false, 423, 211},
                        {10, 100, false, 0, 205},
                        {12, 100, true, 411, 32}};
  for (const Case& c : cases) {
    area.width = c.width;
    area.backdrop_front = c.front;
    VideoChip chip;
    chip.vscroll_a = chip.vscroll_b = 7;
    render::scrollArea(chip, area, c.camera);
    EXPECT_EQ(c.a, chip.hscroll_a) << c.width << " " << c.camera;
    EXPECT_EQ(c.b, chip.hscroll_b) << c.width << " " << c.camera;
    EXPECT_EQ(0, chip.vscroll_a);
    EXPECT_EQ(0, chip.vscroll_b);
  }
}

TEST(PaletteFade, StepsBetweenVariants) {
  world::Area area = makeArea();
  area.variant_lines = {world::PaletteLine(16, 0x0000), world::PaletteLine(16, 0x0EEE)};
  area.variant_index = {0, 1, 0, 1};
  struct Case {
    int step;
    std::uint16_t colour;
  };
  // Variant 1 fades from line 0 (black) to line 1 (white); k = (step - 1) >> 1.
  const Case cases[] = {{0, 0x0000},           {1, 0x0000},  {2, 0x0000},  {17, 0x0777 & 0x0EEE},
                        {18, 0x0777 & 0x0EEE}, {33, 0x0EEE}, {34, 0x0EEE}, {9, 0x0333 & 0x0EEE}};
  for (const Case& c : cases) {
    VideoChip chip;
    render::fadeVariant(chip, area, 1, c.step);
    EXPECT_EQ(c.colour, chip.cram[16]) << "step " << c.step;
  }
  // Fading down rounds the other way (arithmetic shift of a negative difference).
  VideoChip down;
  render::fadeVariant(down, area, 2, 17);
  EXPECT_EQ(0x0666, down.cram[16]);  // 14 + ((-14 * 8) >> 4) = 7 -> masked 6

  world::Area plain = makeArea();
  VideoChip untouched;
  untouched.cram[16] = 0x0123;
  render::fadeVariant(untouched, plain, 1, 10);
  EXPECT_EQ(0x0123, untouched.cram[16]);
}

TEST(StatusPanel, TilesDigitsAndLives) {
  world::World world;
  render::RenderAssets assets("/nonexistent", world);
  assets.panel_patterns = std::vector<render::Pattern>(18, render_test::solidPattern(1));
  assets.status_panel_patterns = std::vector<render::Pattern>(3, render_test::solidPattern(2));
  assets.status_panel_table = std::vector<std::uint16_t>(160, 0);
  assets.status_panel_table[0] = 0x0801;  // flipped second pattern
  assets.status_panel_table[159] = 2;

  VideoChip chip;
  render::drawStatusPanel(chip, assets);
  EXPECT_EQ(2, chip.patterns[0x780 + 18 + 1][0]);
  EXPECT_EQ(1, chip.patterns[0x780][0]);
  EXPECT_EQ(0xC000 + 0x0801 + 0x780 + 18, chip.window.at(24, 0));
  EXPECT_EQ(0xC000 + 2 + 0x780 + 18, chip.window.at(27, 39));
  EXPECT_EQ(0, chip.window.at(27, 40));
  EXPECT_EQ(0xC780, chip.window.at(26, 9));
  EXPECT_EQ(0x4790, chip.plane_b.at(24, 63));
  EXPECT_EQ(0x00, chip.window_h);
  EXPECT_EQ(0x98, chip.window_v);

  struct Case {
    std::int64_t score, lives;
    int digits[5];
    int icons;
  };
  const Case cases[] = {
      {65535, 7, {6, 5, 5, 3, 5}, 6}, {65536 + 42, 0, {0, 0, 0, 4, 2}, 0}, {-1, 3, {6, 5, 5, 3, 5}, 3}};
  for (const Case& c : cases) {
    render::drawPanelNumbers(chip, c.score, c.lives);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(0xC000 | (0x780 + c.digits[i]), chip.window.at(26, 4 + i)) << c.score;
    for (int k = 0; k < 6; ++k)
      EXPECT_EQ(0xC000 | (0x790 + (k < c.icons ? 1 : 0)), chip.window.at(26, 30 + k)) << c.lives;
  }
}

TEST(BlockAnimations, TimersFramesAndLoops) {
  world::Area area = makeArea();
  area.animations.push_back({1, 3, 1, {10, 11, 12}});
  area.animations.push_back({2, 0, 0, {20}});
  // Record 0: block 11, timer 0, index 2 (last frame: wraps to loop 1). Record 1: block 20, timer 5.
  std::vector<std::uint8_t> records = {0, 11, 0, 0, 0, 2, 0, 0, 0, 20, 0, 5, 0, 0, 0, 0};
  auto current = render::advanceBlockAnimations(records, area);
  ASSERT_TRUE(current);
  EXPECT_EQ((std::vector<int>{11, 20}), *current);
  EXPECT_EQ((std::vector<std::uint8_t>{0, 11, 0, 3, 0, 1, 0, 0, 0, 20, 0, 4, 0, 0, 0, 0}), records);

  // A loop index outside the frames fails; so do records that are too short.
  area.animations[0].loop = 3;
  std::vector<std::uint8_t> bad = {0, 11, 0, 0, 0, 2, 0, 0, 0, 20, 0, 5, 0, 0, 0, 0};
  EXPECT_FALSE(render::advanceBlockAnimations(bad, area));
  std::vector<std::uint8_t> shortRecords(15, 0);
  EXPECT_FALSE(render::advanceBlockAnimations(shortRecords, area));
}

TEST(RenderArea, WritesThePlayFieldAsAnIndexedPng) {
  render_test::TempDir dir;
  world::World world;
  world.areas.push_back(makeArea());
  world.areas[0].line0[1] = 0x000E;  // red for colour 1
  render_test::writeSheet(dir.path() / world.areas[0].patterns, 8, [](int n, int) { return n; });
  render::RenderAssets assets(dir.path(), world);

  testing::internal::CaptureStdout();
  const auto out = dir.path() / "out" / "area.png";
  EXPECT_EQ(0, render::renderAreaToFile(assets, 7, 0, out));
  EXPECT_EQ("area 7 at camera 0 -> " + out.string() + "\n", testing::internal::GetCapturedStdout());

  std::vector<unsigned char> bytes, pixels;
  ASSERT_EQ(0u, lodepng::load_file(bytes, out.string()));
  lodepng::State state;
  state.decoder.color_convert = 0;
  unsigned w = 0, h = 0;
  ASSERT_EQ(0u, lodepng::decode(pixels, w, h, state, bytes));
  EXPECT_EQ(320u, w);
  EXPECT_EQ(192u, h);
  EXPECT_EQ(LCT_PALETTE, state.info_png.color.colortype);
  EXPECT_EQ(8u, state.info_png.color.bitdepth);
  ASSERT_EQ(64u, state.info_png.color.palettesize);
  EXPECT_EQ(255, state.info_png.color.palette[4 * 1]);  // colour 1 is red
  EXPECT_EQ(1, pixels[0]);                              // area column 0: block 0, pattern 1
  EXPECT_EQ(2, pixels[31]);                             // area column 1: block 1, pattern 2
  EXPECT_EQ(1u, assets.area_sheets.count(7));

  testing::internal::CaptureStderr();
  EXPECT_EQ(1, render::renderAreaToFile(assets, 8, 0, dir.path() / "none.png"));
  EXPECT_NE(std::string::npos, testing::internal::GetCapturedStderr().find("no area 8"));
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "none.png"));

  // A missing sheet: no frame, and the failure is not cached.
  world.areas.push_back(makeArea());
  world.areas[1].id = 9;
  world.areas[1].patterns = "missing.png";
  testing::internal::CaptureStderr();
  EXPECT_FALSE(render::renderArea(assets, 9, 0, {}));
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(0u, assets.area_sheets.count(9));
}

}  // namespace
