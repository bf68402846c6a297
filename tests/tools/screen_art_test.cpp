// The screens' art sources: the font sheet's cell order, shared cells in pictures, and bad picture
// sources stopped with their file and line.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include <nlohmann/json.hpp>

#include "scratch_data.h"
#include "screen_art.h"
#include "source_error.h"

namespace fs = std::filesystem;

namespace {

const fs::path kSource = GROVANTA_SOURCE_DIR;

class Scratch {
 public:
  explicit Scratch(const std::string& name) : root_(tools_test::uniqueScratchFolder("screen_art_" + name)) {
    fs::remove_all(root_);
    fs::create_directories(root_ / "data/fonts");
    fs::create_directories(root_ / "data/pictures");
    fs::copy_file(kSource / "data/fonts/message_font.txt", root_ / "data/fonts/message_font.txt");
  }
  ~Scratch() { fs::remove_all(root_); }
  const fs::path& root() const { return root_; }
  void picture(const std::string& name, const std::string& text) const {
    std::ofstream(root_ / "data/pictures" / (name + ".txt"), std::ios::binary) << text;
  }

 private:
  fs::path root_;
};

const std::string kPalette = "palette 000 111 222 333 444 555 666 777 000 111 222 333 444 555 666 777\n";

TEST(ScreenArt, FontSheetHoldsTopsThenBottomsInTwoHalves) {
  builder::MessageFont font;
  for (int g = 0; g < 80; ++g) {
    std::array<builder::Pattern, 2> glyph{};
    glyph[0].fill(static_cast<std::uint8_t>(g % 16));
    glyph[1][0] = static_cast<std::uint8_t>(g % 16);
    glyph[1][1] = static_cast<std::uint8_t>(g / 16);
    font.glyphs.push_back(glyph);
  }
  auto sheet = builder::fontSheet(font);
  ASSERT_EQ(160u, sheet.size());
  for (int g : {0, 39, 40, 79}) {
    const int top = g < 40 ? g : g + 40;
    SCOPED_TRACE(g);
    EXPECT_EQ(font.glyphs[static_cast<std::size_t>(g)][0], sheet[static_cast<std::size_t>(top)]);
    EXPECT_EQ(font.glyphs[static_cast<std::size_t>(g)][1], sheet[static_cast<std::size_t>(top + 40)]);
  }
}

TEST(ScreenArt, RepeatedAndMirroredCellsShareAPattern) {
  Scratch s("share");
  // Two cells: a diagonal and its mirror image, over a plain background.
  s.picture("p", "block 0x070000\nsize 4 1\n" + kPalette + "fill 3\nline 0 0 7 7 5\nline 23 0 16 7 5\n");
  int written = 0;
  builder::buildScreenArt(s.root() / "data", s.root(), written);
  EXPECT_EQ(3, written);
  std::ifstream in(s.root() / "assets/graphics/pictures/p.json");
  auto j = nlohmann::json::parse(in);
  EXPECT_EQ("070000", j["block"]);
  EXPECT_EQ(3, j["patterns"]) << "a blank pattern 0, the diagonal and the plain background";
  const auto& row = j["names"][0];
  EXPECT_EQ(1, row[0]);
  EXPECT_EQ(2, row[1]);
  EXPECT_EQ(0x0801, row[2]) << "the mirrored diagonal is the diagonal flipped";
  EXPECT_EQ(2, row[3]);
}

TEST(ScreenArt, BadPictureSourcesNameTheirLine) {
  struct Case {
    const char* what;
    std::string text;
    const char* message;
  };
  const Case cases[] = {
      {"unknown statement", "block 1\nsize 2 2\n" + kPalette + "blob 1\n", "p.txt:4: unknown statement \"blob\""},
      {"bad colour", "block 1\nsize 2 2\n" + kPalette + "fill 16\n", "p.txt:4: a colour is . or a number 0-15"},
      {"drawing before the size", "block 1\nrect 0 0 1 1 1\n", "p.txt:2: \"size\" must come first"},
      {"no palette", "block 1\nsize 2 2\n", "p.txt: a picture needs a palette"},
      {"a letter the font lacks", "block 1\nsize 4 4\n" + kPalette + "text 0 0 1 1 - A2\n",
       "p.txt:4: the font has no glyph for '2'"},
      {"place without end", "block 1\nsize 1 1\n" + kPalette + "place 0 0\n12\n",
       "p.txt:4: \"place\" needs an \"end\" line"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Scratch s("bad");
    s.picture("p", c.text);
    int written = 0;
    try {
      builder::buildScreenArt(s.root() / "data", s.root(), written);
      ADD_FAILURE() << "the build went through";
    } catch (const builder::SourceError& e) {
      EXPECT_NE(std::string::npos, std::string(e.what()).find(c.message)) << e.what();
    }
  }
}

}  // namespace
