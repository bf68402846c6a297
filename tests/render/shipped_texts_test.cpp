// Every message of our data set in every language, read from the text images the screens draw: each
// entry draws without a byte beyond the glyph table or a record running off the image, every letter
// draws as itself (not as the blank or the stray "a" the glyph table gives unknown bytes), no line is
// longer than its record (the screens would cut it), each kind of entry keeps to its part of its
// screen, and no line on an in-game screen is shifted by half a cell (plane A is drawn 4 pixels low
// there, so a shifted line would leave the tails of its g, p and y behind in the next line's strip).
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "render/text_draw.h"
#include "render/texts.h"
#include "render/video_chip.h"
#include "sim/rom_view.h"
#include "world/world.h"

namespace {

const std::filesystem::path kData = GROVANTA_SOURCE_DIR;

enum class Shape { kName, kPage, kDescription };

// Where each range of entries is drawn and the cell rows its lines must keep within. Pages: the scroll
// of the in-game message picture, the front-end pages above the bottom of the screen, the attract
// pages' board. Names: one line beside its slot. Descriptions: above the inventory's first slot.
struct Place {
  int first, last;
  Shape shape;
  int top, bottom;  // rows, inclusive
  bool inGame;
  const char* what;
};

constexpr Place kPlaces[] = {
    {0, 0, Shape::kName, 0, 1, true, "the empty slot's name"},
    {1, 16, Shape::kPage, 12, 22, true, "an in-game event, on the scroll"},
    {17, 19, Shape::kPage, 0, 23, false, "a front-end page"},
    {20, 21, Shape::kPage, 12, 22, true, "an in-game event, on the scroll"},
    {22, 29, Shape::kPage, 14, 21, false, "an attract page, on its board"},
    {30, 89, Shape::kName, 0, 1, true, "an object's name"},
    {90, 140, Shape::kDescription, 2, 5, true, "an area's description"},
};

// The inventory draws plane A 4 pixels low; its first slot's box starts at pixel row 61.
constexpr int kPlaneADrop = 4;
constexpr int kFirstSlotTop = 61;

struct Line {
  std::vector<std::uint8_t> bytes;
  int row;
};

struct Record {
  int left, right;
  std::vector<Line> lines;
};

// The records of a message as the screens read them: a page's records with their headers, or one
// record with the given columns and first row. Nothing when the bytes run off the image.
std::optional<std::vector<Record>> readRecords(const render::TextImage& text, std::size_t offset, Shape shape) {
  std::vector<Record> records;
  std::size_t p = offset;
  auto word = [&](std::size_t at) { return static_cast<int>(text[at] << 8 | text[at + 1]); };
  for (;;) {
    Record record{};
    int row = 0;
    if (shape == Shape::kPage) {
      if (p + 6 > text.size()) return std::nullopt;
      record.left = word(p), record.right = word(p + 2), row = word(p + 4);
      p += 6;
    } else if (shape == Shape::kName) {
      record.left = 13, record.right = 37;
    } else {
      if (p >= text.size()) return std::nullopt;
      record.left = 3, record.right = 37, row = text[p++];
    }
    Line line{{}, row};
    for (;;) {
      if (p >= text.size()) return std::nullopt;
      const std::uint8_t b = text[p++];
      if (b != 0 && b != 255) {
        line.bytes.push_back(b);
        continue;
      }
      record.lines.push_back(line);
      line = Line{{}, line.row + 2};
      if (b == 0) break;
    }
    records.push_back(record);
    if (shape != Shape::kPage) return records;
    if (p >= text.size()) return std::nullopt;
    if (text[p] == 0) return records;
    p = (p + 2) & ~static_cast<std::size_t>(1);
  }
}

TEST(ShippedTexts, EveryEntryDrawsWholeAndInItsPlaceInEveryLanguage) {
  auto world = world::loadWorld(kData);
  ASSERT_TRUE(world) << "the data set in the source tree does not load";
  const sim::RomView rom = sim::loadRomView(kData, *world);
  render::TextImages texts(kData);

  for (int language = 0; language < render::kLanguageCount; ++language) {
    const render::TextImage* text = render::textsFor(texts, language);
    ASSERT_TRUE(text) << render::languageCode(language);
    for (const Place& place : kPlaces) {
      for (int entry = place.first; entry <= place.last; ++entry) {
        SCOPED_TRACE(std::string(render::languageCode(language)) + " entry " + std::to_string(entry) + ", " +
                     place.what);
        const auto offset = render::messageOffset(*text, entry);
        ASSERT_TRUE(offset) << "the entry is empty";

        // Drawn the way the screens draw it, on a chip of its own.
        render::VideoChip chip;
        render::TextContext context;
        context.chip = &chip;
        context.text = text;
        context.rom = &rom;
        testing::internal::CaptureStderr();
        if (place.shape == Shape::kPage) {
          EXPECT_TRUE(render::drawMessageRecords(context, *offset));
        } else {
          context.left = place.shape == Shape::kName ? 13 : 3;
          context.width = place.shape == Shape::kName ? 24 : 34;
          const std::size_t start = place.shape == Shape::kName ? *offset : *offset + 1;
          const int row = place.shape == Shape::kName ? 8 : (*offset < text->size() ? (*text)[*offset] : 0);
          render::drawTextRecord(context, start, row);
        }
        const std::string log = testing::internal::GetCapturedStderr();
        EXPECT_FALSE(context.error) << log;
        EXPECT_EQ("", log);

        const auto records = readRecords(*text, *offset, place.shape);
        ASSERT_TRUE(records) << "the message runs off the text image";
        for (const Record& record : *records) {
          for (const Line& line : record.lines) {
            const std::string shown(line.bytes.begin(), line.bytes.end());
            const int margin = record.right - record.left - static_cast<int>(line.bytes.size());
            EXPECT_GE(margin, 0) << "cut at its width: " << shown;
            if (place.inGame) EXPECT_EQ(0, margin % 2) << "shifted by half a cell: " << shown;
            EXPECT_GE(line.row, place.top) << shown;
            EXPECT_LE(line.row + 1, place.bottom) << shown;
            for (std::uint8_t b : line.bytes) {
              const auto glyph = render::glyphFor(rom, b);
              ASSERT_TRUE(glyph) << "byte " << int{b} << " in " << shown;
              if (b != ' ') EXPECT_NE(30, *glyph) << "byte " << int{b} << " draws blank in " << shown;
              if (b != 'a') EXPECT_NE(0, *glyph) << "byte " << int{b} << " draws as an a in " << shown;
            }
          }
          if (place.shape == Shape::kName) EXPECT_EQ(1u, record.lines.size()) << "a name takes one line";
          if (place.shape == Shape::kDescription) {
            const int lastPixel = 8 * (record.lines.back().row + 2) - 1 + kPlaneADrop;
            EXPECT_LT(lastPixel, kFirstSlotTop) << "the description runs into the first slot";
          }
        }
      }
    }
  }
  EXPECT_FALSE(rom.hasMissed()) << std::hex << rom.missingAddress();
}

}  // namespace
