// The message texts: the builder lays every entry out as the screens draw it and refuses texts the
// font cannot draw or that do not fit their place, naming the file and line; the shipped texts of
// all five languages load through the program's own loader.
#include <gtest/gtest.h>

#include <ostream>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "render/texts.h"
#include "scratch_data.h"
#include "source_error.h"
#include "texts.h"
#include "world/world.h"

namespace fs = std::filesystem;

namespace {

const fs::path kRoot = GROVANTA_SOURCE_DIR;
const char* const kCodes[] = {"en", "fr", "de", "es", "it"};

using tools_test::spit;

// A small text folder: entry 0 is a page of two boxes, entry 1 an area description, entry 3 an
// in-game page, the rest names. Every language gets the same words unless a test spoils one.
class TextFixture {
 public:
  explicit TextFixture(const std::string& name) : root_(tools_test::uniqueScratchFolder("texts")) {
    root_ += '_';
    root_ += name;
    fs::remove_all(root_);
    spit(root_ / "layout.txt",
         "# a fixture\n"
         "0 box 2 12 0 3  box 4 8 10 15\n"
         "1 description 20 23\n"
         "2 name\n"
         "3 box 2 38 12 22 in-game\n"
         "4-140 name\n");
    std::string text = "@0\nTitle\n--\nOne\nTwo\n@1\nA place\n";
    for (int e = 2; e < 141; ++e) {
      text += '@';
      text += std::to_string(e);
      text += "\nThing\n";
    }
    for (const char* code : kCodes) spit(root_ / (std::string(code) + ".txt"), text);
  }
  ~TextFixture() { fs::remove_all(root_); }
  const fs::path& root() const { return root_; }

  void replace(const std::string& file, const std::string& from, const std::string& to) {
    fs::path p = root_ / file;
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    std::string text = s.str();
    auto at = text.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    text.replace(at, from.size(), to);
    spit(p, text);
  }

  // Builds and writes the files where the program's loader looks for them.
  std::vector<builder::TextFile> buildInto(const fs::path& dataDirectory) const {
    auto files = builder::buildTexts(root_);
    for (const auto& f : files) spit(dataDirectory / "assets/text" / (f.code + ".json"), f.json);
    return files;
  }

 private:
  fs::path root_;
};

int word(const render::TextImage& image, std::size_t at) {
  return image.at(at) << 8 | image.at(at + 1);
}

TEST(TextBuilder, LaysOutPagesNamesAndDescriptionsAsTheScreensReadThem) {
  TextFixture fixture("layout");
  const fs::path out = fixture.root() / "out";
  auto files = fixture.buildInto(out);
  ASSERT_EQ(files.size(), 5u);
  auto image = render::loadTexts(out, 1);
  ASSERT_TRUE(image.has_value());

  // Entry 0: the first record "Title" centred in rows 0-3 (one line: row 1); the continuation
  // byte 1 is followed by padding so the second header starts even; that record's two lines are
  // centred in rows 10-15 (row 11); a 0 continuation ends the page.
  std::size_t page = word(*image, 0);
  EXPECT_EQ(page, 282u);
  std::vector<int> expected = {0, 2, 0, 12, 0,  1,   'T', 'i', 't', 'l', 'e', 0,   1, 0, 0,
                               4, 0, 8, 0,  11, 'O', 'n', 'e', 255, 'T', 'w', 'o', 0, 0, 0};
  ASSERT_GE(image->size(), page + expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(image->at(page + i), expected[i]) << "byte " << i;

  // Entry 1: the row byte first (one line centred in rows 20-23), then the text. On the in-game
  // screens a line with an odd margin gets a trailing blank (34 - 7 is odd), where the front-end
  // page above kept "Title" as it is.
  std::size_t description = word(*image, 2);
  EXPECT_EQ(image->at(description), 21);
  EXPECT_EQ(std::string(image->begin() + description + 1, image->begin() + description + 10),
            std::string("A place \0", 9));

  // Names are plain text ended by 0, on whole cells too; every message starts at an even offset.
  std::size_t name = word(*image, 4);
  EXPECT_EQ(std::string(image->begin() + name, image->begin() + name + 7), std::string("Thing \0", 7));
  for (int e = 0; e < 141; ++e) EXPECT_EQ(word(*image, 2 * e) % 2, 0) << "entry " << e;

  // An in-game page: "Thing" in 36 columns gets its blank, a line with an even margin does not.
  std::size_t event = word(*image, 6);
  EXPECT_EQ(std::vector<int>(image->begin() + event, image->begin() + event + 14),
            (std::vector<int>{0, 2, 0, 38, 0, 16, 'T', 'h', 'i', 'n', 'g', ' ', 0, 0}));
}

TEST(TextBuilder, KeepsTheLettersTheFontDraws) {
  TextFixture fixture("accents");
  fixture.replace("es.txt", "@2\nThing", "@2\n¿Qué? ¡Ñu!");
  fixture.replace("de.txt", "@2\nThing", "@2\nFüsse");
  fixture.replace("it.txt", "@0\n", "\xEF\xBB\xBF@0\n");  // a byte order mark is not text
  const fs::path out = fixture.root() / "out";
  fixture.buildInto(out);
  auto es = render::loadTexts(out, 3);
  auto de = render::loadTexts(out, 2);
  ASSERT_TRUE(es && de);
  std::size_t at = word(*es, 4);
  EXPECT_EQ(std::vector<int>(es->begin() + at, es->begin() + at + 11),
            (std::vector<int>{168, 'Q', 'u', 130, '?', ' ', 173, 165, 'u', '!', 0}));
  at = word(*de, 4);
  EXPECT_EQ(std::vector<int>(de->begin() + at, de->begin() + at + 7),
            (std::vector<int>{'F', 129, 's', 's', 'e', ' ', 0}));
}

// An entry the screens draw in English only is left out of the translations, whose blocks carry the
// English words in its place; a translation that still holds it is refused.
TEST(TextBuilder, AnEnglishOnlyEntryCarriesTheEnglishWordsIntoEveryBlock) {
  TextFixture fixture("english_only");
  fixture.replace("layout.txt", "4-140 name", "4 box 2 38 14 21 english\n5-140 name");
  fixture.replace("en.txt", "@4\nThing", "@4\nPress Start");
  for (const char* code : {"fr.txt", "de.txt", "es.txt"}) fixture.replace(code, "@4\nThing\n", "");
  try {
    builder::buildTexts(fixture.root());
    FAIL() << "built with entry 4 in it.txt";
  } catch (const builder::SourceError& e) {
    EXPECT_NE(std::string(e.what()).find("it.txt:12: entry 4 is drawn in English only (layout.txt:6)"),
              std::string::npos)
        << e.what();
  }
  fixture.replace("it.txt", "@4\nThing\n", "");
  const fs::path out = fixture.root() / "out";
  fixture.buildInto(out);
  for (int language = 0; language < render::kLanguageCount; ++language) {
    auto image = render::loadTexts(out, language);
    ASSERT_TRUE(image) << kCodes[language];
    const std::size_t at = word(*image, 8) + 6;  // past the record's header
    EXPECT_EQ(std::string(image->begin() + at, image->begin() + at + 12), std::string("Press Start\0", 12))
        << kCodes[language];
    EXPECT_EQ(std::string(image->begin() + word(*image, 10), image->begin() + word(*image, 10) + 5), "Thing")
        << kCodes[language];
  }
}

struct BadText {
  const char* name;
  const char* file;
  const char* from;
  const char* to;
  const char* expect;
};

class TextBuilderRefuses : public testing::TestWithParam<BadText> {};

TEST_P(TextBuilderRefuses, WithTheFileAndLine) {
  const auto& c = GetParam();
  TextFixture fixture(c.name);
  fixture.replace(c.file, c.from, c.to);
  try {
    builder::buildTexts(fixture.root());
    FAIL() << "built despite: " << c.expect;
  } catch (const builder::SourceError& e) {
    EXPECT_NE(std::string(e.what()).find(c.expect), std::string::npos) << e.what();
  }
}

// Lines of the fixture's language files: 1 "@0", 2 "Title", 3 "--", 4 "One", 5 "Two", 6 "@1",
// 7 "A place", then two lines per name from entry 2 on (entry e's text on line 2e + 5).
// A case prints as its name (ctest lists it so), not as its bytes.
void PrintTo(const BadText& c, std::ostream* os) {
  *os << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    BadTexts, TextBuilderRefuses,
    testing::Values(
        BadText{"no_glyph", "es.txt", "@3\nThing", "@3\nNiño", "es.txt:11: \"ñ\" cannot be drawn"},
        BadText{"blank_digit", "fr.txt", "Two", "Tw2", "fr.txt:5: \"2\" cannot be drawn"},
        BadText{"beyond_the_font", "de.txt", "@4\nThing", "@4\nStraße", "de.txt:13: \"ß\" cannot be drawn"},
        BadText{"hyphen", "it.txt", "A place", "A well-lit place", "it.txt:7: \"-\" cannot be drawn"},
        BadText{"control_byte", "en.txt", "One", "O\tne", "en.txt:4: byte 09 cannot be drawn"},
        BadText{"bad_utf8", "en.txt", "One", "O\xC3ne", "en.txt:4: not valid UTF-8"},
        BadText{"wide_line", "fr.txt", "Title", "Titles here",
                "fr.txt:2: this line has 11 characters; entry 0's box 1 takes at most 10"},
        BadText{"too_many_lines", "fr.txt", "Two", "Two\nSix\nTen",
                "fr.txt:4: entry 0's box 2 has room for 3 lines, this text has 4"},
        BadText{"long_name", "de.txt", "@9\nThing", "@9\nA name of twenty five lets",
                "de.txt:23: this line has 26 characters; an object name takes at most 24"},
        BadText{"two_line_name", "de.txt", "@9\nThing", "@9\nThing\nMore",
                "de.txt:24: entry 9 is an object name: one line"},
        BadText{"long_description", "it.txt", "A place", "A place\nwith far\ntoo many lines",
                "it.txt:7: an area description has room for 2 lines"},
        BadText{"missing_entry", "es.txt", "@5\nThing\n", "", "es.txt:14: entry 5 is missing (before entry 6)"},
        BadText{"missing_last", "en.txt", "@140\nThing\n", "", "en.txt:283: entry 140 is missing (the file ends)"},
        BadText{"skipped", "en.txt", "@3\nThing\n@4", "@4\nThing\n@3",
                "en.txt:10: entry 3 is missing (before entry 4)"},
        BadText{"repeated", "en.txt", "@3\n", "@2\n", "en.txt:10: entry 2 comes after entry 2: entries go in order"},
        BadText{"wrong_parts", "it.txt", "Two", "Two\n--\nThree",
                "it.txt:1: entry 0 has 3 parts; its layout (layout.txt:2) has 2"},
        BadText{"empty_part", "it.txt", "--\nOne\nTwo", "--\n", "it.txt:1: entry 0 has an empty part"},
        BadText{"unlaid_entry", "layout.txt", "4-140 name", "4-139 name", "layout.txt:6: entry 140 is not laid out"},
        BadText{"laid_twice", "layout.txt", "4-140 name", "3-140 name",
                "layout.txt:6: entry 3 is already laid out at line 5"},
        BadText{"box_past_the_screen", "layout.txt", "box 4 8 10 15", "box 4 8 10 32",
                "layout.txt:2: row 32 lies outside 11 to 31"}),
    [](const testing::TestParamInfo<BadText>& info) { return std::string(info.param.name); });

TEST(TextBuilder, ShippedTextsHaveEveryEntryInEveryLanguage) {
  auto world = world::loadWorld(kRoot);
  ASSERT_TRUE(world.has_value());
  for (int language = 0; language < render::kLanguageCount; ++language) {
    SCOPED_TRACE(kCodes[language]);
    auto image = render::loadTexts(kRoot, language);
    ASSERT_TRUE(image.has_value());
    ASSERT_GE(image->size(), 282u);
    for (int e = 0; e < 141; ++e) {
      int at = word(*image, 2 * e);
      EXPECT_GE(at, 282) << "entry " << e;
      EXPECT_EQ(at % 2, 0) << "entry " << e;
    }
    // Every area's description starts with a row above the first slot, below the parchment's edge.
    for (const auto* areas : {&world->areas, &world->mapless_areas}) {
      for (const auto& area : *areas) {
        ASSERT_GE(area.description, 90) << "area " << area.id;
        ASSERT_LE(area.description, 140) << "area " << area.id;
        int row = image->at(word(*image, 2 * area.description));
        EXPECT_GE(row, 2) << "area " << area.id;
        EXPECT_LE(row, 4) << "area " << area.id;
      }
    }
    // The help screen names the buttons as lone letters " A" and " B", which the hint buttons
    // replace by the bound buttons' labels.
    std::size_t help = word(*image, 2 * 21) + 6;
    std::string text;
    while (help < image->size() && image->at(help) != 0) text += static_cast<char>(image->at(help++));
    text += '\xFF';
    for (const char* button : {" A", " B"}) {
      bool found = false;
      for (auto at = text.find(button); at != std::string::npos && !found; at = text.find(button, at + 1)) {
        char after = text[at + 2];
        found = after == ' ' || after == ',' || after == '\xFF';
      }
      EXPECT_TRUE(found) << "the help text names no lone" << button;
    }
    // A lone letter at a line's start has no space before it and would keep its letter.
    for (std::size_t start = 0; start + 1 < text.size(); start = text.find('\xFF', start) + 1) {
      const char first = text[start], after = text[start + 1];
      EXPECT_FALSE((first == 'A' || first == 'B') && (after == ' ' || after == ',' || after == '\xFF'))
          << "a help line starts with a lone " << first;
    }
  }
}

}  // namespace
