#include "base/pattern_sheet.h"

#include <gtest/gtest.h>

#include "render_fixture.h"

namespace {

using render_test::TempDir;

TEST(PatternSheet, SquaresAreReadRowByRowSixteenToARow) {
  TempDir dir;
  const auto path = dir.path() / "sheet.png";
  // Pattern n carries (n + pixel index) mod 16 so both the square and the pixel order show.
  render_test::writeSheet(path, 32, [](int n, int i) { return (n + i) % 16; });
  auto patterns = render::readPatternSheet(path, 20);
  ASSERT_TRUE(patterns);
  ASSERT_EQ(20u, patterns->size());
  for (int n : {0, 1, 15, 16, 19})
    for (int i : {0, 7, 8, 63}) EXPECT_EQ((n + i) % 16, (*patterns)[n][i]) << "pattern " << n << " pixel " << i;
}

struct SheetCase {
  const char* what;
  unsigned width, height;
  unsigned bitDepth;
  int count;
  const char* message;  // nullptr: the read succeeds
};

TEST(PatternSheet, SizeAndFormatRules) {
  const SheetCase cases[] = {
      {"one row, sixteen patterns", 128, 8, 8, 16, nullptr},
      {"one row, seventeen patterns", 128, 8, 8, 17, "128x8 holds fewer than 17 patterns of a 16-wide sheet"},
      {"wrong width, enough squares", 256, 8, 8, 16, "256x8 holds fewer than 16 patterns of a 16-wide sheet"},
      {"height not a multiple of 8", 128, 12, 8, 16, nullptr},
      {"4-bit palette", 128, 8, 4, 1, "not an 8-bit palette PNG"},
      {"zero patterns", 128, 8, 8, 0, nullptr},
  };
  for (const SheetCase& c : cases) {
    TempDir dir;
    const auto path = dir.path() / "sheet.png";
    render_test::writeIndexedPng(path, c.width, c.height, std::vector<std::uint8_t>(c.width * c.height, 1), c.bitDepth);
    testing::internal::CaptureStderr();
    auto patterns = render::readPatternSheet(path, c.count);
    const std::string log = testing::internal::GetCapturedStderr();
    if (c.message) {
      EXPECT_FALSE(patterns) << c.what;
      EXPECT_NE(std::string::npos, log.find(c.message)) << c.what << ": " << log;
    } else {
      ASSERT_TRUE(patterns) << c.what << ": " << log;
      EXPECT_EQ(static_cast<std::size_t>(c.count), patterns->size()) << c.what;
    }
  }
}

TEST(PatternSheet, TrueColourAndBrokenFilesAreRejected) {
  TempDir dir;
  const auto rgb = dir.path() / "rgb.png";
  std::vector<unsigned char> pixels(128 * 8 * 3, 0);
  ASSERT_EQ(0u, lodepng::encode(rgb.string(), pixels, 128, 8, LCT_RGB, 8));
  testing::internal::CaptureStderr();
  EXPECT_FALSE(render::readPatternSheet(rgb, 1));
  EXPECT_NE(std::string::npos, testing::internal::GetCapturedStderr().find("rgb.png: not an 8-bit palette PNG"));

  // A palette PNG cut in half: the decoder's own message, no crash.
  const auto good = dir.path() / "good.png";
  render_test::writeIndexedPng(good, 128, 16, std::vector<std::uint8_t>(128 * 16, 3));
  std::vector<unsigned char> bytes;
  ASSERT_EQ(0u, lodepng::load_file(bytes, good.string()));
  bytes.resize(bytes.size() / 2);
  const auto cut = dir.path() / "cut.png";
  ASSERT_EQ(0u, lodepng::save_file(bytes, cut.string()));
  testing::internal::CaptureStderr();
  EXPECT_FALSE(render::readPatternSheet(cut, 1));
  EXPECT_NE(std::string::npos, testing::internal::GetCapturedStderr().find("cut.png: "));

  testing::internal::CaptureStderr();
  EXPECT_FALSE(render::readPatternSheet(dir.path() / "missing.png", 1));
  testing::internal::GetCapturedStderr();
}

TEST(PatternSheet, PixelValueAboveFifteenRejectsOnlyWhenRead) {
  TempDir dir;
  const auto path = dir.path() / "sheet.png";
  // Square 5 holds a 16 in its last pixel.
  render_test::writeSheet(path, 16, [](int n, int i) { return n == 5 && i == 63 ? 16 : 1; });
  testing::internal::CaptureStderr();
  EXPECT_FALSE(render::readPatternSheet(path, 6));
  EXPECT_NE(std::string::npos, testing::internal::GetCapturedStderr().find("pattern 5 has pixel value 16"));
  // Squares beyond the count are never inspected.
  EXPECT_TRUE(render::readPatternSheet(path, 5));
}

TEST(PatternSheet, PalettePngKeepsStoredIndices) {
  TempDir dir;
  const auto path = dir.path() / "image.png";
  std::vector<std::uint8_t> pixels = {0, 17, 200, 255, 3, 4};
  render_test::writeIndexedPng(path, 3, 2, pixels);
  auto image = render::readPalettePng(path);
  ASSERT_TRUE(image);
  EXPECT_EQ(3, image->width);
  EXPECT_EQ(2, image->height);
  EXPECT_EQ(pixels, image->pixels);
}

}  // namespace
