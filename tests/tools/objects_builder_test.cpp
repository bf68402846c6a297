// The builder's objects, lifts and stars: the committed sources give the tables the logic reads,
// and faults in them stop the build with the file and line.
#include <gtest/gtest.h>

#include <ostream>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <nlohmann/json.hpp>

#include "builder.h"
#include "scratch_data.h"

namespace fs = std::filesystem;

namespace {

const fs::path kSource = GROVANTA_SOURCE_DIR;

std::string slurp(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// The line of the committed source on which `text` starts.
int lineOf(const std::string& file, const std::string& text) {
  const std::string all = slurp(kSource / "data" / file);
  const auto at = all.find(text);
  if (at == std::string::npos) return -1;
  return 1 + static_cast<int>(std::count(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(at), '\n'));
}

struct Spoilt {
  const char* name;
  const char* file;
  const char* from;  // text to replace
  const char* to;
  const char* expect;  // part of the message after "FILE:LINE: " (LINE where `from` starts), or
                       // after "FILE: " when `line` is false
  bool line = true;
  const char* messageFile = nullptr;  // the file the message names, when not `file`
};

class ObjectSourcesRefused : public testing::TestWithParam<Spoilt> {};

TEST_P(ObjectSourcesRefused, WithTheFileAndLine) {
  const auto& c = GetParam();
  const tools_test::ScratchData scratch(std::string("objects_") + c.name);
  const fs::path& root = scratch.root();
  const fs::path file = root / "data" / c.file;
  std::string text = slurp(file);
  const auto at = text.find(c.from);
  ASSERT_NE(at, std::string::npos) << c.from;
  text.replace(at, std::string(c.from).size(), c.to);
  std::ofstream(file, std::ios::binary | std::ios::trunc) << text;

  const auto result = builder::buildDataSet(root, root);
  ASSERT_FALSE(result.ok);
  std::string expect = std::string(c.messageFile ? c.messageFile : c.file) + ":";
  if (c.line) expect += std::to_string(lineOf(c.file, c.from)) + ":";
  expect += std::string(" ") + c.expect;
  EXPECT_NE(result.error.find(expect), std::string::npos) << result.error << "\nexpected: " << expect;
}

// A case prints as its name (ctest lists it so), not as its bytes.
void PrintTo(const Spoilt& c, std::ostream* os) {
  *os << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    BadSources, ObjectSourcesRefused,
    testing::Values(
        Spoilt{"out_of_order", "objects.txt", "object  2   2", "object  3   2",
               "object 3 out of order: object 2 comes next"},
        Spoilt{"unknown_routine", "objects.txt", "009CB8", "009CB9", "the logic has no use routine 009CB9"},
        Spoilt{"in_the_air", "objects.txt", "object  1   1  700   160", "object  1   1  700   100",
               "object 1 at (700, 100) does not lie on the ground of area 1"},
        Spoilt{"mapless_area", "objects.txt", "object  1   1  700", "object  1  44  700",
               "area 44 has no map to lie in"},
        Spoilt{"past_the_end", "objects.txt", "object  1   1  700", "object  1   1 1760", "x 1760 lies outside area 1"},
        Spoilt{"lift_key_kind", "objects.txt", "object  9  15 1000   160    6", "object  9  15 1000   160    5",
               "a lift key is a lift stone: kind 6"},
        Spoilt{"short_line", "objects.txt", "object  4   4 1000   160    1    1   31 009D00",
               "object  4   4 1000   160    1    1   31", "expected: object NUMBER AREA X Y KIND ICON NAME USE"},
        Spoilt{"icon", "objects.txt", "object  4   4 1000   160    1    1", "object  4   4 1000   160    1   20",
               "icon 20 lies outside 0 to 19"},
        Spoilt{"pointing_hand_icon", "objects.txt", "object  4   4 1000   160    1    1",
               "object  4   4 1000   160    1   16", "icon 16 is the pointing hand, not an object's square"},
        Spoilt{"name_entry", "objects.txt", "object  4   4 1000   160    1    1   31",
               "object  4   4 1000   160    1    1   90", "name entry 90 lies outside 30 to 89"},
        Spoilt{"one_missing", "objects.txt", "object 61", "# object 61", "the world needs 62 objects, found 61", false},
        Spoilt{"lift_elsewhere", "lifts.txt", "lift 4 15", "lift 4 16",
               "lift 4 is run by the handler of area 15, not 16"},
        Spoilt{"basket_in_the_air", "lifts.txt", "lift 5 16 1000 0 78 142 142", "lift 5 16 1000 0 78 120 120",
               "at rope_max the basket of lift 5 does not meet the floor"},
        Spoilt{"rope_past_its_end", "lifts.txt", "lift 6 17  500 0 78 142 142", "lift 6 17  500 0 78 142 150",
               "rope 150 lies outside 78 to 142"},
        Spoilt{"objects_in_world_json", "world.json", "\"objects\": []", "\"objects\": [{}]",
               "\"objects\" stays empty: they are written in data/objects.txt", false},
        Spoilt{"star_out_of_reach", "areas/area_21.txt", "item: star 490 120 69 0", "item: star 490 20 69 0",
               "the star at (490, 20) lies 156 pixels above the ground, out of the hero's reach"},
        Spoilt{"star_in_the_floor", "areas/area_21.txt", "item: star 490 120 69 0", "item: star 490 168 69 0",
               "the star at (490, 168) lies inside a wall"},
        Spoilt{"star_lost", "areas/area_21.txt", "item: star 430 120 68 0", "item: food 430 120 68 0",
               "the areas hold 219 stars; with the subgames' 30 the game needs 250, so the areas need 220", false,
               "data/areas"}),
    [](const testing::TestParamInfo<Spoilt>& info) { return std::string(info.param.name); });

TEST(ObjectTables, WorldJsonCarriesTheObjectsAndLiftsTheNewGameCopies) {
  const auto world = nlohmann::json::parse(slurp(kSource / "world/world.json"));
  const auto& objects = world["objects"];
  ASSERT_EQ(objects.size(), 62u);
  for (std::size_t i = 0; i < objects.size(); ++i) EXPECT_EQ(objects[i]["number"], static_cast<int>(i));
  // The objects whose numbers the logic tests are in their places.
  EXPECT_EQ(objects[0]["area"], 21);               // the castle key, in the starting area
  EXPECT_EQ(objects[0]["use_routine"], "009C70");  // it opens area 21's door
  for (int given : {47, 49, 53, 55}) EXPECT_EQ(objects[given]["area"], 100) << given;  // handed over by set pieces
  EXPECT_EQ(world["lifts"].size(), 9u);
}

}  // namespace
