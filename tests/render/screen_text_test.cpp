#include "render/text_draw.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sim/rom_view.h"

namespace {

using render::TextContext;
using render::TextImage;

// The glyph table as the cartridge holds it, written out from its description rather than from the data
// set: letters, the few punctuation marks and digits that have glyphs, and the accented letters.
std::vector<std::uint8_t> glyphTable() {
  std::vector<std::uint8_t> t(144, 0);
  auto at = [&](int byte, int glyph) { t[static_cast<std::size_t>(byte - 32)] = static_cast<std::uint8_t>(glyph); };
  for (int b = 32; b <= 64; ++b) at(b, 30);
  for (int b = 91; b <= 96; ++b) at(b, 30);
  for (int i = 0; i < 26; ++i) at('A' + i, 40 + i), at('a' + i, i);
  at('!', 28), at('"', 29), at('\'', 29), at(',', 26), at('.', 27), at('?', 66);
  at('0', 79), at('1', 76), at('3', 77), at('9', 78);
  at(130, 70), at(165, 71), at(174, 100);
  return t;
}

struct Fixture {
  sim::RomView rom;
  render::VideoChip chip;
  TextImage text;
  TextContext context;

  explicit Fixture(TextImage image, int left = 5, int width = 24) : text(std::move(image)) {
    rom.put(render::kGlyphTable, glyphTable());
    context.chip = &chip;
    context.text = &text;
    context.rom = &rom;
    context.fontBase = 1000;
    context.left = left;
    context.width = width;
  }
  std::uint16_t at(int row, int column) const { return chip.plane_a.at(row, column); }
};

TextImage bytes(const std::string& s) {
  return TextImage(s.begin(), s.end());
}
std::uint16_t top(int glyph) {
  return static_cast<std::uint16_t>((1000 + render::glyphTopPattern(glyph)) | 0x2000);
}
std::uint16_t bottom(int glyph) {
  return static_cast<std::uint16_t>((1040 + render::glyphTopPattern(glyph)) | 0x2000);
}

TEST(TextRecord, LinesAreCentredAndOddMarginsShiftHalfACell) {
  struct Case {
    int length;
    int firstColumn;
    bool halfCell;
  };
  for (const Case c : {Case{24, 5, false}, Case{23, 5, true}, Case{20, 7, false}, Case{1, 16, true}}) {
    SCOPED_TRACE(c.length);
    Fixture f(bytes(std::string(static_cast<std::size_t>(c.length), 'B') + '\0'));
    EXPECT_EQ(static_cast<std::size_t>(c.length + 1), render::drawTextRecord(f.context, 0, 6));
    EXPECT_FALSE(f.context.error);
    EXPECT_EQ(0, f.at(6, c.firstColumn - 1));
    EXPECT_EQ(top(41), f.at(6, c.firstColumn));
    EXPECT_EQ(bottom(41), f.at(7, c.firstColumn));
    EXPECT_EQ(top(41), f.at(6, c.firstColumn + c.length - 1));
    EXPECT_EQ(0, f.at(6, c.firstColumn + c.length));
    for (int row : {6, 7}) {
      EXPECT_EQ(c.halfCell ? 4 : 0, f.chip.strip_table[static_cast<std::size_t>(row)]);
      EXPECT_EQ(0, f.chip.strip_table[static_cast<std::size_t>(32 + row)]);
    }
    EXPECT_EQ(0, f.chip.strip_table[8]);
  }
}

TEST(TextRecord, GlyphsBelowAndAbove40UseTheirOwnRowsOfTheFont) {
  Fixture f(bytes(std::string("aA.0") + '\0'), 0, 4);
  render::drawTextRecord(f.context, 0, 0);
  // Glyph 0 ('a') is pattern 0 over 40; glyph 40 ('A') is 80 over 120; '.' 27; '0' is glyph 79.
  EXPECT_EQ(0x2000 | 1000, f.at(0, 1) & 0xFFFF) << "a lone margin of 0 still starts at column 1";
  EXPECT_EQ(0x2000 | 1040, f.at(1, 1));
  EXPECT_EQ(0x2000 | 1080, f.at(0, 2));
  EXPECT_EQ(0x2000 | 1120, f.at(1, 2));
  EXPECT_EQ(top(27), f.at(0, 3));
  EXPECT_EQ(0x2000 | 1119, f.at(0, 4));
  EXPECT_EQ(0x2000 | 1159, f.at(1, 4));
}

TEST(TextRecord, LongLinesAreCutAtTheWidthAndLineBreaksMoveTwoRows) {
  // 30 letters in a width of 24: 24 are drawn, the 25th is swallowed as the line's end, and the last
  // five go on two rows lower; then a line break and one more line.
  std::string line;
  for (int i = 0; i < 30; ++i) line += static_cast<char>('a' + i % 26);
  Fixture f(bytes(line + "\xFF" + "Hi" + '\0' + "zz"));
  const std::size_t end = render::drawTextRecord(f.context, 0, 2);
  EXPECT_EQ(line.size() + 4, end);
  EXPECT_FALSE(f.context.error);
  EXPECT_EQ(top(0), f.at(2, 5));
  EXPECT_EQ(top(23), f.at(2, 28));  // 'x', the 24th
  EXPECT_EQ(0, f.at(2, 29));
  // "zabcd" (26th to 30th) centred: margin 19, first column 5 + 9.
  EXPECT_EQ(top(25), f.at(4, 14));
  EXPECT_EQ(top(3), f.at(4, 18));
  EXPECT_EQ(4, f.chip.strip_table[4]);
  EXPECT_EQ(top(47), f.at(6, 16));  // "Hi": margin 22
  EXPECT_EQ(top(8), f.at(6, 17));
  EXPECT_EQ(0, f.chip.strip_table[6]);
}

TEST(TextRecord, ErrorsStopTheRecord) {
  struct Case {
    const char* what;
    TextImage text;
    const char* log;
  };
  const Case cases[] = {
      {"a control byte", TextImage{'A', 0x15, 'B', 0}, "a character beyond the glyph table ($005626 + F5)"},
      {"a byte past the table", TextImage{'A', 176, 0}, "a character beyond the glyph table ($005626 + 90)"},
      {"the end of the image",
       bytes("ABC\xFF"
             "DE"),
       nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Fixture f(c.text);
    testing::internal::CaptureStderr();
    render::drawTextRecord(f.context, 0, 3);
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(f.context.error);
    if (c.log) {
      EXPECT_NE(std::string::npos, log.find(c.log)) << log;
      EXPECT_EQ(0, f.at(3, 17)) << "nothing after the bad byte is drawn";
    }
  }
}

TEST(TextRecord, TheHookRewritesEachLine) {
  Fixture f(bytes(std::string("press A") + '\0'), 0, 10);
  f.context.lineHook = [](std::vector<std::uint8_t>& line) { line.back() = 'C'; };
  render::drawTextRecord(f.context, 0, 0);
  EXPECT_EQ(top(42), f.at(0, 7));
}

TEST(TextMessage, RecordsFollowEachOtherUntilAContinuationOf0) {
  // Entry 0 -> offset 2. Record one: columns 4-12, row 3, "Hi", continuation 1, padding to even;
  // record two: columns 10-14, row 9, "Yo" and a continuation of 0.
  TextImage t = {0, 2, 0, 4, 0, 12, 0, 3, 'H', 'i', 0, 1, 0, 10, 0, 14, 0, 9, 'Y', 'o', 0, 0};
  Fixture f(t);
  auto offset = render::messageOffset(f.text, 0);
  ASSERT_TRUE(offset);
  EXPECT_TRUE(render::drawMessageRecords(f.context, *offset));
  EXPECT_EQ(top(47), f.at(3, 7));
  EXPECT_EQ(top(64), f.at(9, 11));

  // Odd record length: "Hey" ends at an odd offset, so the next header starts one byte later.
  TextImage odd = {0, 2, 0, 4, 0, 12, 0, 3, 'H', 'e', 'y', 0, 1, 0, 0, 10, 0, 14, 0, 9, 'Y', 'o', 0, 0};
  Fixture g(odd);
  EXPECT_TRUE(render::drawMessageRecords(g.context, 2));
  EXPECT_EQ(top(64), g.at(9, 11));

  // A message whose continuation never reaches 0 runs off the image.
  TextImage endless = {0, 2, 0, 4, 0, 12, 0, 3, 'H', 'i', 0, 1};
  Fixture h(endless);
  EXPECT_FALSE(render::drawMessageRecords(h.context, 2));
  EXPECT_FALSE(render::messageOffset(h.text, 6)) << "an entry past the table";
  EXPECT_FALSE(render::messageOffset(TextImage{0, 0, 1, 2}, 0)) << "a null entry";
}

}  // namespace
