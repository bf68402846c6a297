// Tileset skins: a skin takes another tileset's blocks and redraws them, so an area can change its look
// without touching its map; it may never add a block or change what is solid.
#include <gtest/gtest.h>

#include <ostream>

#include <algorithm>
#include <filesystem>
#include <string>

#include "area_source.h"
#include "scratch_data.h"
#include "source_error.h"

namespace {

namespace fs = std::filesystem;
using tools_test::spit;

// Two patterns, two blocks: enough to see a redrawn pattern keep its number and a redrawn block keep
// its collision.
class SkinFixture : public testing::Test {
 protected:
  void SetUp() override {
    root_ = tools_test::uniqueScratchFolder("skin");
    fs::create_directories(root_);
    spit(root_ / "patterns/base.txt",
         "pattern blank\n........\n........\n........\n........\n........\n........\n........\n........\n"
         "pattern ground\n11111111\n22222222\n22222222\n22222222\n22222222\n22222222\n22222222\n22222222\n"
         "derive ground_dark ground shade-1\n");
    spit(root_ / "tilesets/base.txt",
         "patterns base.txt\n"
         "block air empty\nblank blank blank blank\nblank blank blank blank\nblank blank blank blank\nblank blank "
         "blank blank\n"
         "block floor bottom\nblank blank blank blank\nblank blank blank blank\n"
         "ground ground ground ground\nground_dark ground_dark ground_dark ground_dark\n");
    // Sand instead of ground (its dark form derived again from the new one), and a pebble for the floor.
    spit(root_ / "patterns/sand.txt",
         "pattern ground\n33333333\n44444444\n44444444\n44444444\n44444444\n44444444\n44444444\n44444444\n"
         "derive ground_dark ground shade-1\n"
         "pattern pebble\n........\n........\n........\n........\n........\n...88...\n..8998..\n.888888.\n");
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(root_, ec);
  }

  builder::Tileset read(const std::string& skin) {
    spit(root_ / "tilesets/skin.txt", skin);
    return builder::readTileset(root_ / "tilesets/skin.txt", root_ / "patterns");
  }
  builder::Tileset base() { return builder::readTileset(root_ / "tilesets/base.txt", root_ / "patterns"); }

  fs::path root_;
};

constexpr const char* kFloorRedrawn =
    "block floor bottom\nblank blank blank blank\nblank pebble/h blank pebble\n"
    "ground ground ground ground\nground_dark ground_dark ground_dark ground_dark\n";

TEST_F(SkinFixture, RedrawsPatternsInPlaceAndKeepsTheBlocks) {
  const auto plain = base();
  const auto skin = read(std::string("skin base\npatterns sand.txt\n") + kFloorRedrawn);

  EXPECT_EQ(skin.skinOf, "base");
  ASSERT_EQ(skin.blocks.size(), plain.blocks.size());
  EXPECT_EQ(skin.blockIndex, plain.blockIndex);
  EXPECT_EQ(skin.solid, plain.solid);
  // The redrawn patterns keep their numbers, so every block of the base still finds them; the new
  // pattern comes after the base's.
  const int ground = plain.patterns.index.at("ground");
  const int dark = plain.patterns.index.at("ground_dark");
  EXPECT_EQ(skin.patterns.index.at("ground"), ground);
  EXPECT_EQ(skin.patterns.index.at("ground_dark"), dark);
  EXPECT_EQ(skin.patterns.index.at("pebble"), static_cast<int>(plain.patterns.patterns.size()));
  EXPECT_EQ(skin.patterns.patterns[static_cast<std::size_t>(ground)][8], 4);  // sand, not soil
  EXPECT_EQ(skin.patterns.patterns[static_cast<std::size_t>(dark)][8], 3);    // derived from the sand
  EXPECT_EQ(skin.blocks[0], plain.blocks[0]);
  // The floor's second row now shows the pebble (cells are column-major: word 4 * column + row).
  EXPECT_EQ(skin.blocks[1][4 * 1 + 1], skin.patterns.index.at("pebble") | 0x0800);
  EXPECT_EQ(skin.blocks[1][4 * 3 + 1], skin.patterns.index.at("pebble"));
  EXPECT_EQ(skin.blocks[1][4 * 0 + 2], plain.blocks[1][4 * 0 + 2]);
}

// A backing fills the clear cells of every block by their place in the block, the base's blocks and
// the redrawn ones alike, and shows through the open pixels of partly drawn cells; fully drawn cells
// and collision stay, and the blank pattern itself stays clear.
TEST_F(SkinFixture, BackingFillsTheClearCellsOfEveryBlock) {
  const auto plain = base();
  const auto skin = read(std::string("skin base\npatterns sand.txt\n") + kFloorRedrawn +
                         "backing\n"
                         "ground ground_dark ground ground_dark\nground_dark ground ground_dark ground\n"
                         "ground ground_dark ground ground_dark\nground_dark ground ground_dark ground\n");
  const auto ground = static_cast<std::uint16_t>(skin.patterns.index.at("ground"));
  const auto dark = static_cast<std::uint16_t>(skin.patterns.index.at("ground_dark"));
  EXPECT_EQ(skin.solid, plain.solid);
  // Cells are column-major: word 4 * column + row.
  EXPECT_EQ(skin.blocks[0][4 * 0 + 0], ground);
  EXPECT_EQ(skin.blocks[0][4 * 1 + 0], dark);
  EXPECT_EQ(skin.blocks[0][4 * 0 + 1], dark);
  EXPECT_EQ(skin.blocks[1][4 * 0 + 0], ground);  // the floor's open top
  EXPECT_EQ(skin.blocks[1][4 * 0 + 1], dark);    // beside the pebbles
  // The pebble is only partly drawn: it gets a pattern of its own, the sand showing round it.
  const auto pebble = skin.blocks[1][4 * 1 + 1];
  ASSERT_GE(pebble, skin.patterns.patterns.size() - 2);
  const auto& seen = skin.patterns.patterns[pebble];
  EXPECT_EQ(seen[0], 3);          // the backing's ground (sand) in the open
  EXPECT_EQ(seen[8 * 6 + 3], 9);  // the pebble where it is drawn
  EXPECT_EQ(skin.blocks[1][4 * 0 + 2], plain.blocks[1][4 * 0 + 2]);
  const auto& blank = skin.patterns.patterns[static_cast<std::size_t>(skin.patterns.index.at("blank"))];
  EXPECT_EQ(std::count(blank.begin(), blank.end(), 0), 64);
}

struct BadSkin {
  const char* name;
  std::string text;
  const char* expect;
};

class SkinRefused : public SkinFixture, public testing::WithParamInterface<BadSkin> {};

TEST_P(SkinRefused, WithTheFileAndLine) {
  try {
    read(GetParam().text);
    FAIL() << "the skin was accepted";
  } catch (const builder::SourceError& e) {
    EXPECT_NE(std::string(e.what()).find(GetParam().expect), std::string::npos) << e.what();
  }
}

// A case prints as its name (ctest lists it so), not as its bytes.
void PrintTo(const BadSkin& c, std::ostream* os) {
  *os << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Skins, SkinRefused,
    testing::Values(
        BadSkin{"changed_collision",
                "skin base\npatterns sand.txt\nblock floor solid\nblank blank blank blank\nblank blank blank blank\n"
                "ground ground ground ground\nground_dark ground_dark ground_dark ground_dark\n",
                "skin.txt:3: block floor must keep its collision in tileset base"},
        BadSkin{"new_block",
                "skin base\nblock roof empty\nblank blank blank blank\nblank blank blank blank\n"
                "blank blank blank blank\nblank blank blank blank\n",
                "skin.txt:2: block roof is not in tileset base: a skin only redraws its blocks"},
        BadSkin{"skin_late", "patterns sand.txt\nskin base\n", "skin.txt:2: skin comes first"},
        // A clear backing cell would leave the play field showing through.
        BadSkin{"clear_backing",
                "skin base\nbacking\nground ground ground ground\nground blank ground ground\n"
                "ground ground ground ground\nground ground ground ground\n",
                "skin.txt:4: backing: blank is all colour 0"},
        BadSkin{"short_backing", "skin base\nbacking\nground ground ground ground\nground ground\n",
                "skin.txt:4: backing: each of its four rows holds four cells"},
        // A skin of a skin (here of itself) would hide which blocks it redraws, and could loop.
        BadSkin{"skin_of_a_skin", "skin skin\n", "skin.txt:1: tileset skin is itself a skin"}),
    [](const testing::TestParamInfo<BadSkin>& info) { return std::string(info.param.name); });

}  // namespace
