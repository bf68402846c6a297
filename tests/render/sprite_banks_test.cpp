// Loading sprite banks: the order in which a selection's cells reach the pattern store, flips, reuse
// records, bank lists with their counts, and every way a bank list fails.
#include "render/sprite_banks.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "sim/cartridge.h"
#include "sim/rom_view.h"

namespace {

using render::Pattern;
using render::Picture;
using render::PictureMap;
using render::SpriteFrame;
using render::SpriteFrameList;
using render::SpriteSelection;
using render::VideoChip;

// Pattern n of a test picture: pixel 0 (top left) holds n % 15 + 1, pixel 7 (top right) 14 and pixel 56
// (bottom left) 15, so the copy names its source and shows how it was mirrored.
Pattern markedPattern(int n) {
  Pattern p{};
  p[0] = static_cast<std::uint8_t>(n % 15 + 1);
  p[7] = 14;
  p[56] = 15;
  return p;
}

// A picture of width x height cells whose cell (row, column) shows pattern row x width + column.
Picture gridPicture(std::uint32_t block, int width, int height) {
  Picture picture;
  picture.block = block;
  picture.width = width;
  picture.height = height;
  picture.palette = std::vector<std::uint16_t>(16, static_cast<std::uint16_t>(block & 0x0EEE));
  for (int n = 0; n < width * height; ++n) {
    picture.names.push_back(static_cast<std::uint16_t>(n));
    picture.patterns.push_back(markedPattern(n));
  }
  return picture;
}

int sourceOf(const Pattern& p) {
  return p[0] - 1;
}  // modulo 15, enough for the small pictures here

struct RomWriter {
  sim::RomView rom;
  void word(std::uint32_t at, std::uint16_t value) {
    const std::uint8_t bytes[2] = {static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)};
    rom.put(at, bytes);
  }
  void longWord(std::uint32_t at, std::uint32_t value) {
    word(at, static_cast<std::uint16_t>(value >> 16));
    word(at + 2, static_cast<std::uint16_t>(value));
  }
  // A selection list at `at`, ended by its marker.
  void selections(std::uint32_t at, const std::vector<SpriteSelection>& records) {
    for (const SpriteSelection& s : records) {
      word(at, s.attribute);
      word(at + 2, static_cast<std::uint16_t>(s.x));
      word(at + 4, static_cast<std::uint16_t>(s.y));
      word(at + 6, s.width);
      word(at + 8, s.height);
      at += 10;
    }
    word(at, 0xFFFF);
  }
  // A bank list at `at` of {bank, selection list} entries, ended by its marker.
  void bankList(std::uint32_t at, const std::vector<std::pair<std::uint32_t, std::uint32_t>>& entries) {
    for (const auto& [bank, list] : entries) {
      longWord(at, bank);
      longWord(at + 4, list);
      at += 8;
    }
    longWord(at, 0xFFFFFFFF);
  }
};

TEST(SpriteSelections, NewFrameLoadsItsCellsInFourByFourPiecesColumnByColumn) {
  PictureMap pictures{{0x040000, gridPicture(0x040000, 8, 6)}};
  VideoChip chip;
  SpriteFrameList list;
  list.next_pattern = 100;
  // A 6 x 5 rectangle from column 1, row 1.
  ASSERT_TRUE(render::loadSelections(chip, pictures, 0x040000, {{3, 1, 1, 6, 5}}, list));
  ASSERT_EQ(1u, list.frames.size());
  EXPECT_EQ((SpriteFrame{100, 6, 5, 3}), list.frames[0]);
  EXPECT_EQ(130, list.next_pattern);
  EXPECT_EQ(pictures.at(0x040000).palette, list.palette);

  // The piece order: columns 1-4 rows 1-4, columns 1-4 row 5, columns 5-6 rows 1-4, columns 5-6 row 5.
  std::vector<int> expected;
  auto piece = [&](int c0, int c1, int r0, int r1) {
    for (int c = c0; c <= c1; ++c)
      for (int r = r0; r <= r1; ++r) expected.push_back((r * 8 + c) % 15);
  };
  piece(1, 4, 1, 4);
  piece(1, 4, 5, 5);
  piece(5, 6, 1, 4);
  piece(5, 6, 5, 5);
  std::vector<int> loaded;
  for (int n = 100; n < 130; ++n) loaded.push_back(sourceOf(chip.patterns[static_cast<std::size_t>(n)]));
  EXPECT_EQ(expected, loaded);
}

TEST(SpriteSelections, NameFlipsMirrorTheCopyAndMissingPatternsStillTakeTheirPlace) {
  Picture picture = gridPicture(0x040000, 5, 1);
  picture.names[1] |= 0x0800;  // mirrored left-right
  picture.names[2] |= 0x1000;  // top-bottom
  picture.names[3] = 200;      // past the picture's patterns: nothing loaded
  PictureMap pictures{{0x040000, picture}};
  VideoChip chip;
  chip.patterns[13][0] = 9;
  SpriteFrameList list;
  list.next_pattern = 10;
  ASSERT_TRUE(render::loadSelections(chip, pictures, 0x040000, {{0, 0, 0, 5, 1}}, list));
  EXPECT_EQ(15, list.next_pattern);
  EXPECT_EQ(1, chip.patterns[10][0]);
  EXPECT_EQ(14, chip.patterns[11][0]);  // the top-right pixel came to the left
  EXPECT_EQ(2, chip.patterns[11][7]);
  EXPECT_EQ(15, chip.patterns[12][0]);  // the bottom-left pixel came to the top
  EXPECT_EQ(3, chip.patterns[12][56]);
  EXPECT_EQ(9, chip.patterns[13][0]);  // left as it was
  EXPECT_EQ(5, chip.patterns[14][0]);
}

TEST(SpriteSelections, LoadsStopAtTheEndOfTheStoreButTheCountGoesOn) {
  PictureMap pictures{{0x040000, gridPicture(0x040000, 4, 1)}};
  VideoChip chip;
  SpriteFrameList list;
  list.next_pattern = 2046;
  ASSERT_TRUE(render::loadSelections(chip, pictures, 0x040000, {{0, 0, 0, 4, 1}, {0, 1, 0, 1, 1}}, list));
  EXPECT_EQ(2051, list.next_pattern);
  EXPECT_EQ(1, chip.patterns[2046][0]);
  EXPECT_EQ(2, chip.patterns[2047][0]);
  EXPECT_EQ(2050, list.frames[1].first);
}

TEST(SpriteSelections, ReuseCopiesAFrameWithItsOwnAttribute) {
  PictureMap pictures{{0x040000, gridPicture(0x040000, 4, 4)}};
  VideoChip chip;
  SpriteFrameList list;
  list.next_pattern = 50;
  // On an empty list a reuse becomes a frame at pattern 0 of its own size.
  ASSERT_TRUE(
      render::loadSelections(chip, pictures, 0x040000, {{1, -3, 0, 2, 3}, {2, 0, 0, 2, 2}, {7, -1, 9, 4, 4}}, list));
  ASSERT_EQ(3u, list.frames.size());
  EXPECT_EQ((SpriteFrame{0, 2, 3, 1}), list.frames[0]);
  EXPECT_EQ((SpriteFrame{50, 2, 2, 2}), list.frames[1]);
  EXPECT_EQ((SpriteFrame{50, 2, 2, 7}), list.frames[2]);  // frame 1's patterns and size, the new attribute
  EXPECT_EQ(54, list.next_pattern);                       // reuses load nothing
}

TEST(SpriteSelections, FailuresNameTheBank) {
  struct Case {
    const char* what;
    std::uint32_t bank;
    std::vector<SpriteSelection> selections;
    std::string message;
    std::size_t framesKept;  // what was loaded before the failure stays
  };
  const std::vector<Case> cases = {
      {"a bank that is not a picture", 0x012345, {{0, 0, 0, 1, 1}}, "sprite bank 012345 is not an exported picture", 0},
      {"a reuse ahead of the frames",
       0x040000,
       {{0, 0, 0, 1, 1}, {0, -2, 0, 1, 1}},
       "a sprite selection of bank 040000 reuses frame 2 before it exists",
       1},
      {"a rectangle past the right edge",
       0x040000,
       {{0, 0, 0, 1, 1}, {0, 2, 0, 3, 1}},
       "a sprite selection of bank 040000 is outside it",
       2},
      {"a rectangle past the bottom",
       0x040000,
       {{0, 0, 3, 1, 2}},
       "a sprite selection of bank 040000 is outside it",
       1},
      {"a rectangle above the top", 0x040000, {{0, 0, -1, 1, 2}}, "a sprite selection of bank 040000 is outside it", 1},
  };
  for (const Case& c : cases) {
    PictureMap pictures{{0x040000, gridPicture(0x040000, 4, 4)}};
    VideoChip chip;
    SpriteFrameList list;
    list.next_pattern = 20;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(render::loadSelections(chip, pictures, c.bank, c.selections, list)) << c.what;
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(std::string::npos, log.find(c.message)) << c.what << ": " << log;
    EXPECT_EQ(c.framesKept, list.frames.size()) << c.what;
  }
  // The cells before the one outside were loaded: columns 2 and 3 of the 3-wide rectangle.
  PictureMap pictures{{0x040000, gridPicture(0x040000, 4, 4)}};
  VideoChip chip;
  SpriteFrameList list;
  testing::internal::CaptureStderr();
  EXPECT_FALSE(render::loadSelections(chip, pictures, 0x040000, {{0, 2, 0, 3, 1}}, list));
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(3, chip.patterns[0][0]);
  EXPECT_EQ(4, chip.patterns[1][0]);
}

TEST(SpriteBankList, ChainsBanksAndCountsTheFirstBank) {
  RomWriter w;
  w.bankList(0x010000, {{0x040000, 0x011000}, {0x050000, 0x011100}, {0x040000, 0x011200}});
  w.selections(0x011000, {{0, 0, 0, 2, 2}, {5, 2, 0, 1, 1}});
  w.selections(0x011100, {{2, 0, 0, 1, 1}, {3, -1, 0, 0, 0}});
  w.selections(0x011200, {});  // a bank may add nothing
  PictureMap pictures{{0x040000, gridPicture(0x040000, 4, 4)}, {0x050000, gridPicture(0x050EEE, 2, 2)}};
  VideoChip chip;
  std::optional<SpriteFrameList> list = render::loadBankList(chip, w.rom, pictures, 0x010000, 300);
  ASSERT_TRUE(list);
  ASSERT_EQ(4u, list->frames.size());
  EXPECT_EQ(2, list->first_bank_frames);
  EXPECT_EQ((SpriteFrame{300, 2, 2, 0}), list->frames[0]);
  EXPECT_EQ((SpriteFrame{304, 1, 1, 5}), list->frames[1]);
  EXPECT_EQ((SpriteFrame{305, 1, 1, 2}), list->frames[2]);
  EXPECT_EQ((SpriteFrame{304, 1, 1, 3}), list->frames[3]);  // a reuse reaches back into the first bank
  EXPECT_EQ(306, list->next_pattern);
  EXPECT_EQ(pictures.at(0x040000).palette, list->palette);  // the last bank loaded, even an empty one
  EXPECT_FALSE(w.rom.hasMissed());
}

TEST(SpriteBankList, FirstBankCountWaitsForABankThatAddsFrames) {
  RomWriter w;
  w.bankList(0x010000, {{0x040000, 0x011000}, {0x040000, 0x011100}, {0x040000, 0x011100}});
  w.selections(0x011000, {});
  w.selections(0x011100, {{0, 0, 0, 1, 1}, {0, 1, 0, 1, 1}, {0, 2, 0, 1, 1}});
  PictureMap pictures{{0x040000, gridPicture(0x040000, 4, 4)}};
  VideoChip chip;
  std::optional<SpriteFrameList> list = render::loadBankList(chip, w.rom, pictures, 0x010000, 0);
  ASSERT_TRUE(list);
  EXPECT_EQ(3, list->first_bank_frames);
  EXPECT_EQ(6u, list->frames.size());
}

TEST(SpriteBankList, TablesThatWereNotExportedFailTheList) {
  struct Case {
    const char* what;
    std::function<void(RomWriter&)> build;
    std::string message;
  };
  const std::vector<Case> cases = {
      {"no list at all", [](RomWriter&) {}, "the sprite bank list 010000 reads a ROM table that was not exported"},
      {"a selection list that is missing",
       [](RomWriter& w) {
         w.bankList(0x010000, {{0x040000, 0x020000}});
       },
       "the sprite bank list 010000 reads a ROM table that was not exported"},
      {"a list without its end marker",
       [](RomWriter& w) {
         w.longWord(0x010000, 0x040000);
         w.longWord(0x010004, 0x011000);
         w.selections(0x011000, {});
       },
       "the sprite bank list 010000 reads a ROM table that was not exported"},
      {"a selection list without its end marker",
       [](RomWriter& w) {
         w.bankList(0x010000, {{0x040000, 0x011000}});
         w.word(0x011000, 0);
         w.word(0x011002, 0);
       },
       "the sprite bank list 010000 reads a ROM table that was not exported"},
      {"a bank that is not a picture",
       [](RomWriter& w) {
         w.bankList(0x010000, {{0x041000, 0x011000}});
         w.selections(0x011000, {});
       },
       "sprite bank 041000 is not an exported picture"},
  };
  for (const Case& c : cases) {
    RomWriter w;
    c.build(w);
    PictureMap pictures{{0x040000, gridPicture(0x040000, 4, 4)}};
    VideoChip chip;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(render::loadBankList(chip, w.rom, pictures, 0x010000, 0)) << c.what;
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(std::string::npos, log.find(c.message)) << c.what << ": " << log;
    // The renderer's own misses are not left for the game logic to stop on.
    EXPECT_FALSE(w.rom.hasMissed()) << c.what;
  }
}

TEST(SpriteBankList, AMissTheGameLogicRecordedIsKept) {
  RomWriter w;
  w.bankList(0x010000, {{0x040000, 0x011000}});
  w.selections(0x011000, {{0, 0, 0, 1, 1}});
  static_cast<void>(w.rom.byteAt(0x07ABCD));  // a read the step made and has not reported yet
  PictureMap pictures{{0x040000, gridPicture(0x040000, 4, 4)}};
  VideoChip chip;
  ASSERT_TRUE(render::loadBankList(chip, w.rom, pictures, 0x010000, 0));
  EXPECT_TRUE(w.rom.hasMissed());
  EXPECT_EQ(0x07ABCDu, w.rom.missingAddress());
}

TEST(SpriteBankList, AreaListsAndSingleEntries) {
  RomWriter w;
  w.longWord(sim::cart::kAreaBankLists + 4 * 3, 0x010000);
  w.bankList(0x010000, {{0x040000, 0x011000}});
  w.selections(0x011000, {{0, 0, 0, 1, 1}, {0, 1, 0, 1, 1}});
  w.longWord(0x012000, 0x050000);  // a single entry
  w.longWord(0x012004, 0x011100);
  w.selections(0x011100, {{1, 0, 0, 2, 2}});
  PictureMap pictures{{0x040000, gridPicture(0x040000, 4, 4)}, {0x050000, gridPicture(0x050000, 2, 2)}};

  VideoChip chip;
  std::optional<SpriteFrameList> list = render::loadAreaBankList(chip, w.rom, pictures, 3, 40);
  ASSERT_TRUE(list);
  EXPECT_EQ(2u, list->frames.size());
  EXPECT_EQ(40, list->frames[0].first);

  ASSERT_TRUE(render::loadBankEntry(chip, w.rom, pictures, 0x012000, *list));
  EXPECT_EQ(3u, list->frames.size());
  EXPECT_EQ(2, list->first_bank_frames);
  EXPECT_EQ((SpriteFrame{42, 2, 2, 1}), list->frames[2]);
  EXPECT_EQ(46, list->next_pattern);
  EXPECT_EQ(pictures.at(0x050000).palette, list->palette);

  // An entry loaded into an empty list is its first bank.
  SpriteFrameList fresh;
  fresh.next_pattern = 2;
  ASSERT_TRUE(render::loadBankEntry(chip, w.rom, pictures, 0x012000, fresh));
  EXPECT_EQ(1, fresh.first_bank_frames);

  testing::internal::CaptureStderr();
  EXPECT_FALSE(render::loadAreaBankList(chip, w.rom, pictures, 4, 40));
  EXPECT_FALSE(render::loadBankEntry(chip, w.rom, pictures, 0x013000, fresh));
  const std::string log = testing::internal::GetCapturedStderr();
  EXPECT_NE(std::string::npos, log.find("the sprite bank list 03E854 reads a ROM table that was not exported")) << log;
  EXPECT_NE(std::string::npos, log.find("the sprite bank entry 013000 reads a ROM table that was not exported")) << log;
  EXPECT_FALSE(w.rom.hasMissed());
}

}  // namespace
