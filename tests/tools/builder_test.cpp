// The data-set builder: the committed data set is exactly what the sources build, and bad sources
// stop the build with a message that names the file and line.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <set>
#include <sstream>
#include <string>

#include <nlohmann/json.hpp>

#include "builder.h"
#include "rom_image.h"
#include "scratch_data.h"
#include "source_error.h"

namespace fs = std::filesystem;

namespace {

using tools_test::kSource;
using tools_test::ScratchData;
using tools_test::slurp;
using tools_test::spit;

// The files directly in a folder (not in its subfolders), as paths under `root`; the folders' dot files
// (the marks that keep an empty folder in the repository) are left out.
std::set<std::string> filesIn(const fs::path& root, const std::string& folder) {
  std::set<std::string> files;
  std::error_code error;
  for (const auto& e : fs::directory_iterator(root / folder, error)) {
    const std::string name = e.path().filename().string();
    if (e.is_regular_file() && name[0] != '.') files.insert(folder + "/" + name);
  }
  return files;
}

std::string listed(const std::set<std::string>& files) {
  std::string text;
  for (const std::string& f : files) text += "\n  " + f;
  return text;
}

// The folders the builder writes hold exactly the files it builds, byte for byte: a committed file it no
// longer builds, a built file never committed, and a built file outside them all fail. Files made
// otherwise (the sound driver's image) live in folders of their own.
TEST(Builder, RebuildReproducesTheCommittedDataSetExactly) {
  ScratchData scratch("rebuild");
  auto result = builder::buildDataSet(kSource, scratch.root());
  ASSERT_TRUE(result.ok) << result.error;
  const std::string kFolders[] = {
      "world",       "assets/data",     "assets/graphics", "assets/graphics/areas", "assets/graphics/pictures",
      "assets/icon", "assets/palettes", "assets/text"};
  std::set<std::string> built, committed;
  for (const std::string& folder : kFolders) {
    built.merge(filesIn(scratch.root(), folder));
    committed.merge(filesIn(kSource, folder));
  }
  int written = 0;
  for (const auto& dir : {"world", "assets"}) {
    for (const auto& e : fs::recursive_directory_iterator(scratch.root() / dir)) {
      if (!e.is_regular_file()) continue;
      ++written;
      const std::string rel = fs::relative(e.path(), scratch.root()).generic_string();
      EXPECT_TRUE(built.count(rel)) << rel << " is built outside the builder's folders";
    }
  }
  EXPECT_EQ(written, result.filesWritten);
  ASSERT_FALSE(built.empty());

  std::set<std::string> onlyBuilt, onlyCommitted;
  std::set_difference(built.begin(), built.end(), committed.begin(), committed.end(),
                      std::inserter(onlyBuilt, onlyBuilt.end()));
  std::set_difference(committed.begin(), committed.end(), built.begin(), built.end(),
                      std::inserter(onlyCommitted, onlyCommitted.end()));
  EXPECT_TRUE(onlyBuilt.empty()) << "built but not committed:" << listed(onlyBuilt);
  EXPECT_TRUE(onlyCommitted.empty()) << "committed but no longer built:" << listed(onlyCommitted);
  for (const std::string& rel : built) {
    if (!committed.count(rel)) continue;
    EXPECT_EQ(slurp(scratch.root() / rel), slurp(kSource / rel)) << rel << " differs from the committed file";
  }
}

TEST(Builder, TheNewGameStandsOnTheFloorOfTheStartingArea) {
  // The new game puts the hero at (160, 152) in area 21; his feet (24 pixels tall) must meet solid
  // ground at y 176 with open air above it.
  auto world = nlohmann::json::parse(slurp(kSource / "world/world.json"));
  const auto& area = world["areas"][21];
  ASSERT_EQ(area["id"], 21);
  std::string hex = area["collision"];
  auto solid = [&](int x, int y) {
    std::size_t byte = static_cast<std::size_t>(x / 8) * 3 + y / 64;
    int value = std::stoi(hex.substr(2 * byte, 2), nullptr, 16);
    return (value >> ((y >> 3) & 7)) & 1;
  };
  EXPECT_TRUE(solid(160, 176));
  for (int y = 120; y < 176; y += 8) EXPECT_FALSE(solid(160, y)) << "y " << y;
}

struct BadSource {
  const char* name;
  const char* file;
  const char* from;  // text to replace; empty to append `to`
  const char* to;
  const char* expect;  // expected part of the message, which starts with the file (and line);
                       // "{map+N}" stands for the line N below the file's "map:" line
};

// Resolves "{map+N}" in an expected message against the (unspoilt) source file.
std::string expectedMessage(const BadSource& c) {
  std::string expect = c.expect;
  auto open = expect.find("{map+");
  if (open == std::string::npos) return expect;
  auto close = expect.find('}', open);
  int offset = std::stoi(expect.substr(open + 5, close - open - 5));
  std::istringstream text(slurp(kSource / "data" / c.file));
  int n = 0;
  for (std::string line; std::getline(text, line);) {
    ++n;
    if (line == "map:") break;
  }
  return expect.replace(open, close - open + 1, std::to_string(n + offset));
}

class BuilderRefuses : public testing::TestWithParam<BadSource> {};

TEST_P(BuilderRefuses, WithTheFileAndLine) {
  const auto& c = GetParam();
  ScratchData scratch(c.name);
  if (*c.from)
    scratch.replace(c.file, c.from, c.to);
  else
    scratch.append(c.file, c.to);
  auto result = builder::buildDataSet(scratch.root(), scratch.root());
  ASSERT_FALSE(result.ok);
  EXPECT_NE(result.error.find(expectedMessage(c)), std::string::npos) << result.error;
}

// A case prints as its name (ctest lists it so), not as its bytes.
void PrintTo(const BadSource& c, std::ostream* os) {
  *os << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    BadSources, BuilderRefuses,
    testing::Values(
        BadSource{"unknown_letter", "areas/area_21.txt", "map:\n.......................W",
                  "map:\n.......Z...............W", "area_21.txt:{map+1}: 'Z' in column 7 is not in the legend"},
        BadSource{"legend_twice", "areas/area_21.txt", "legend: D door\n", "legend: D door\nlegend: D barrel\n",
                  "area_21.txt:36: 'D' is already in the legend as door"},
        BadSource{"ragged_map", "areas/area_21.txt", "map:\n.......................W",
                  "map:\n........................W", "area_21.txt:{map+2}: map rows differ in length (24 against 25)"},
        BadSource{"too_narrow", "areas/area_44.txt", "width: 72", "width: 9",
                  "area_44.txt: width 9 lies outside 10 to 96"},
        BadSource{"five_rows", "areas/area_21.txt", "__p___%p!__b,:_________W\n", "",
                  "area_21.txt:{map+1}: a map has six rows, found 5"},
        BadSource{"shared_flag", "areas/area_21.txt", "item: star 490 120 69 0", "item: star 490 120 68 0",
                  "area_21.txt:14: item flag 68 is already used at"},
        BadSource{"item_outside", "areas/area_21.txt", "item: star 490 120 69 0", "item: star 768 120 69 0",
                  "area_21.txt:14: item x 768 lies outside 0 to 767"},
        BadSource{"hazard_phase", "areas/area_21.txt", "item: star 430 120 68 0", "item: hazard 430 120 0 4",
                  "area_21.txt:13: phase 4 lies outside 0 to 3"},
        BadSource{"bad_colour", "patterns/land.txt", ".6...6..", ".6...6.g", "land.txt:15: 'g' is not a colour"},
        BadSource{"unknown_pattern", "tilesets/land.txt", "plank plank plank plank", "plank plank plonk plank",
                  "tilesets/land.txt:31: unknown pattern plonk"},
        BadSource{"tower_too_small", "areas/area_47.txt", "tileset: tower", "tileset: land",
                  "the tower's sheet needs at least 401 patterns"},
        BadSource{"tunnel_backdrop", "areas/area_36.txt", "backdrop_front: yes\n", "",
                  "area_36.txt: the tunnel areas 34 to 40"},
        BadSource{"door_missing", "world.json", "    {\"area\": 21, \"target\": 1,",
                  "    {\"area\": 21, \"target\": 1, \"x\": 0, \"y\": 0, \"rect\": [0,0,16,32]}, {\"area\": 21, "
                  "\"target\": 1,",
                  "the world needs 32 doors, found 33"},
        BadSource{"door_to_mapless", "world.json", "{\"area\": 21, \"target\": 22,", "{\"area\": 21, \"target\": 50,",
                  "world.json: doors[1]: leads to area 50, which has no map"},
        BadSource{"edge_past_the_end", "world.json", "\"right\": {\"threshold\": 1568, \"area\": 35, \"x\": 24,",
                  "\"right\": {\"threshold\": 1568, \"area\": 35, \"x\": 9999,",
                  "edges[0].right: arrival x 9999 lies outside area 35"},
        BadSource{"door_in_the_air", "world.json", "\"x\": 196, \"y\": 152", "\"x\": 196, \"y\": 100",
                  "world.json: doors[0]: (196, 100) in area 1 is not open ground"},
        BadSource{"edge_in_the_air", "world.json", "\"area\": 35, \"x\": 24, \"y\": 152}}",
                  "\"area\": 35, \"x\": 24, \"y\": 100}}",
                  "world.json: edges[0].right: (24, 100) in area 35 is not open ground"},
        BadSource{"exit_restart_in_a_wall", "areas/area_21.txt", "exits_bottom: 0 0 1568 152",
                  "exits_bottom: 0 0 0 152", "area_21.txt: exits_bottom[0]: (0, 152) in area 0 is not open ground"},
        BadSource{"exit_to_mapless_area", "areas/area_21.txt", "exits_bottom: 0 0 1568 152",
                  "exits_bottom: 0 44 100 152",
                  "world.json: area 21 exits_bottom[0]: leads to area 44, which has no map"},
        BadSource{"wrong_address", "rom/brumo_sequences.txt", "word 4 0  0 1 2 3 4 5 6 7  0xFFFF",
                  "word 4 0  0 1 2 3 4 5 6  0xFFFF",
                  "brumo_sequences.txt:8: this point lies at 00180A, expected 00180C"},
        BadSource{"disagreeing_overlap", "rom/placeholders.txt", "", "rule 0x0017E0\nword 5\n",
                  "byte at 0017E1 disagrees with the one placed by"},
        BadSource{"into_door_table", "rom/placeholders.txt", "", "rule 0x002600\nbyte 1\n",
                  "byte at 002600 lies in the door table built from world.json"},
        BadSource{"far_pointer", "rom/placeholders.txt", "", "rule 0x020000\nptr 0x080000\n",
                  "placeholders.txt:17: pointer 0x080000 lies at or past the cartridge end 080000"},
        BadSource{"unknown_label", "rom/placeholders.txt", "", "rule 0x020000\nptr @nowhere\n",
                  "placeholders.txt:17: unknown label @nowhere"},
        BadSource{"bad_palette", "palettes.json", "\"457\"", "\"458\"",
                  "palettes.json: brumo_line2[0]: a colour is three digits 0-7"}),
    [](const testing::TestParamInfo<BadSource>& info) { return std::string(info.param.name); });

TEST(RomImage, AgreeingOverlapsAreAcceptedAndLabelsResolveForward) {
  ScratchData scratch("labels");
  fs::path file = scratch.root() / "data/rom/ptr.txt";
  spit(file,
       "rule 0x001000\n"
       "ptr @target\n"
       "rule 0x001002\n"
       "word 0x1010   # the low word of the pointer, placed twice with the same bytes\n"
       "rule 0x001010\n"
       "label target\n"
       "byte 7\n");
  builder::RomImage image;
  builder::assembleRomSource(file, image);
  ASSERT_EQ(image.sections().size(), 3u);
  EXPECT_EQ(image.sections()[0].bytes, (std::vector<std::uint8_t>{0x00, 0x00, 0x10, 0x10}));
}

}  // namespace
