// Nothing in our world floats or sinks: the doors and trees drawn in the maps, and the house doors the
// lane handlers draw as sprites at their fixed places, stand with their feet on solid ground. Read
// from the sources, so a failure names the area and the place to mend.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "area_source.h"
#include "mapped_areas.h"
#include "scratch_data.h"

namespace fs = std::filesystem;

namespace {

using tools_test::kSource;

constexpr int kRows = 6;         // block rows of a map
constexpr int kMapBottom = 192;  // the first pixel row under the map

// Blocks that draw a thing standing up (its picture in the middle two cell columns, down to the
// block's lowest open cell): doors, trees (a crown with no trunk under it is a sapling whose stem ends
// in the air), rock faces, the lighthouse, and the props that stand on the floor (barrels, flowers,
// suits of armour, crystals, boats, nets, mine timbering, the pillars of an arcade).
const std::set<std::string> kStanding = {
    "door",      "door_foot",   "crown",          "trunk",          "trunk_foot",       "rock_face",
    "rock_foot", "door_rock",   "door_rock_foot", "lighthouse_top", "lighthouse_shaft", "lighthouse_foot",
    "barrel",    "flowers",     "armour",         "armour_foot",    "crystal_foot",     "boat_l",
    "boat_r",    "net",         "net_foot",       "timber",         "timber_foot",      "arcade_cap",
    "pillar",    "pillar_foot", "lamp_post",      "lamp_post_foot",
    // carts, signposts, street lamps, flower boxes, ferns and fallen logs
    "cart", "signpost", "lamp", "lamp_foot", "flower_box", "fern", "log"};

// An area's collision, cell by cell, from its map and tileset.
class AreaGround {
 public:
  AreaGround(const builder::AreaSource& area, const builder::Tileset& tiles) : area_(area), tiles_(tiles) {}

  const std::string& blockAt(int row, int column) const { return area_.legend.at(area_.rows[row][column]); }

  bool cellSolid(int cellX, int cellY) const {
    if (cellX < 0 || cellY < 0 || cellY >= kRows * 4 || cellX >= static_cast<int>(area_.rows[0].size()) * 4)
      return false;
    const int block = tiles_.blockIndex.at(blockAt(cellY / 4, cellX / 4));
    return tiles_.solid[block][4 * (cellX % 4) + cellY % 4];
  }

  // The top of the ground under pixel column x, searching down from pixel row y; kMapBottom when none.
  int surfaceBelow(int x, int y) const {
    for (int cy = std::max(0, y / 8); cy < kRows * 4; ++cy)
      if (cellSolid(x / 8, cy)) return cy * 8;
    return kMapBottom;
  }

 private:
  const builder::AreaSource& area_;
  const builder::Tileset& tiles_;
};

struct Loaded {
  std::vector<builder::AreaSource> areas;
  std::map<std::string, builder::Tileset> tilesets;
};

const Loaded& loaded() {
  static const Loaded l = [] {
    Loaded r;
    const fs::path data = kSource / "data";
    readMappedAreas(data, r.tilesets, [&](int, builder::AreaSource&& a) { r.areas.push_back(std::move(a)); });
    return r;
  }();
  return l;
}

TEST(Grounding, EveryDoorAndTreeOfTheMapsStandsOnSolidGround) {
  for (const auto& area : loaded().areas) {
    const AreaGround ground(area, loaded().tilesets.at(area.tileset));
    const int columns = static_cast<int>(area.rows[0].size());
    for (int row = 0; row < kRows; ++row) {
      for (int column = 0; column < columns; ++column) {
        if (!kStanding.count(ground.blockAt(row, column))) continue;
        // Only the lowest block of a stack (a tree's trunk over its foot) has to reach the ground.
        if (row + 1 < kRows && kStanding.count(ground.blockAt(row + 1, column))) continue;
        for (int cx = column * 4 + 1; cx <= column * 4 + 2; ++cx) {
          int cy = row * 4 + 3;
          while (cy >= row * 4 && ground.cellSolid(cx, cy)) --cy;  // the thing's lowest drawn cell
          if (ground.cellSolid(cx, cy + 1)) continue;
          ADD_FAILURE() << area.file.filename().string() << ": the " << ground.blockAt(row, column) << " at x "
                        << column * 32 << ".." << column * 32 + 31 << " ends at y " << (cy + 1) * 8
                        << " over no ground";
          break;  // one line per block
        }
      }
    }
  }
}

// Things hung from above: banners, chains, lanterns and roots. The top of each
// stack of them meets the vault, a wall or a beam (solid) over its middle.
const std::set<std::string> kHanging = {"banner", "banner_low", "chain", "lantern", "roots"};
// Drawn masonry a hung thing may hang from besides solid ground: the arch with a banner at its crown.
const std::set<std::string> kHangers = {"arcade_arch_banner"};

TEST(Grounding, EveryHungThingHangsFromSomethingSolid) {
  for (const auto& area : loaded().areas) {
    const AreaGround ground(area, loaded().tilesets.at(area.tileset));
    const int columns = static_cast<int>(area.rows[0].size());
    for (int row = 0; row < kRows; ++row)
      for (int column = 0; column < columns; ++column) {
        if (!kHanging.count(ground.blockAt(row, column))) continue;
        if (row > 0 &&
            (kHanging.count(ground.blockAt(row - 1, column)) || kHangers.count(ground.blockAt(row - 1, column))))
          continue;              // hung from the one above
        if (row == 0) continue;  // hung from the top of the screen, the vault beyond the map
        const int cy = row * 4 - 1;
        if (ground.cellSolid(column * 4 + 1, cy) || ground.cellSolid(column * 4 + 2, cy)) continue;
        ADD_FAILURE() << area.file.filename().string() << ": the " << ground.blockAt(row, column) << " at x "
                      << column * 32 << ".." << column * 32 + 31 << " hangs from nothing at y " << row * 32;
      }
  }
}

// A thing standing in the floor is drawn as a block named NAME_foot; one left out of the list above
// would never be checked.
TEST(Grounding, EveryFootBlockOfTheTilesetsIsCheckedAsStanding) {
  for (const auto& [name, tiles] : loaded().tilesets)
    for (const auto& [block, index] : tiles.blockIndex) {
      const std::string suffix = "_foot";
      if (block.size() > suffix.size() && block.compare(block.size() - suffix.size(), suffix.size(), suffix) == 0)
        EXPECT_TRUE(kStanding.count(block)) << "tileset " << name << ": block " << block;
    }
}

// The doors the area handlers draw as 32 x 48 sprites at fixed places (top-left): the house doors of the
// lanes, areas 2 to 7 in order, and the castle door of the green. Read from the handlers' own tables,
// so that a place changed there is checked against the ground here.
struct SpriteDoor {
  int area, x, y;
};

// The {record, door, x, y} initialisers that follow `name` in the handlers' source.
std::vector<std::array<int, 4>> doorsInitialised(const std::string& source, const std::string& name) {
  std::vector<std::array<int, 4>> doors;
  const std::size_t at = source.find(name);
  if (at == std::string::npos) return doors;
  const std::size_t end = source.find(';', at);
  const std::regex door(R"(\{\s*(\d+)\s*,\s*(\d+)\s*,\s*(\d+)\s*,\s*(\d+)\s*\})");
  const std::string text = source.substr(at, end - at);
  for (std::sregex_iterator it(text.begin(), text.end(), door), last; it != last; ++it)
    doors.push_back({std::stoi((*it)[1]), std::stoi((*it)[2]), std::stoi((*it)[3]), std::stoi((*it)[4])});
  return doors;
}

std::vector<SpriteDoor> spriteDoors() {
  std::ifstream in(kSource / "src" / "sim" / "areas" / "handlers.cpp");
  std::stringstream text;
  text << in.rdbuf();
  std::vector<SpriteDoor> doors;
  int area = 2;
  for (const auto& d : doorsInitialised(text.str(), "kLaneDoors[")) doors.push_back({area++, d[2], d[3]});
  for (const auto& d : doorsInitialised(text.str(), "kGreenDoor =")) doors.push_back({21, d[2], d[3]});
  return doors;
}

constexpr int kDoorWidth = 32, kDoorHeight = 48;
// Collision comes in 8-pixel rows, so a door may stand up to 3 pixels above or into its ground. A door
// drawn lower than the map reaches (areas 5 and 6: its foot at 197) stands in the deepest floor a
// map can have, the last cell row.
constexpr int kSlack = 3;
constexpr int kDeepestFloor = kMapBottom - 8;

TEST(Grounding, TheHouseDoorsDrawnAtFixedPlacesMeetTheGroundUnderThem) {
  const std::vector<SpriteDoor> doors = spriteDoors();
  ASSERT_EQ(doors.size(), 7u) << "the six lane doors and the green's, from src/sim/areas/handlers.cpp";
  for (const SpriteDoor& d : doors) {
    const auto& areas = loaded().areas;
    const auto it = std::find_if(areas.begin(), areas.end(), [&](const auto& a) { return a.id == d.area; });
    ASSERT_NE(it, areas.end()) << "area " << d.area;
    const AreaGround ground(*it, loaded().tilesets.at(it->tileset));
    const int foot = std::min(d.y + kDoorHeight, kDeepestFloor);
    for (int x = d.x; x < d.x + kDoorWidth; ++x) {
      const int surface = ground.surfaceBelow(x, d.y + kDoorHeight / 2);
      EXPECT_LE(std::abs(surface - foot), kSlack)
          << "area " << d.area << ": the door at (" << d.x << ", " << d.y << ") has its foot at y " << foot
          << " but the ground under x " << x << " is at y " << surface;
    }
  }
}

// The lamp of Chandler Court, drawn by the logic as a 16 x 24 sprite at (895, 125) while the camera is
// between 576 and 935: its base (x 899..906, last row at y 147) rests on the top of a post the map
// plants in the floor (or on ground within half a cell of it), and the post itself is checked with the
// standing things above.
TEST(Grounding, TheLampOfChandlerCourtRestsOnItsPost) {
  constexpr int kArea = 6, kBaseLeft = 899, kBaseRight = 906, kFoot = 148;
  const auto& areas = loaded().areas;
  const auto it = std::find_if(areas.begin(), areas.end(), [&](const auto& a) { return a.id == kArea; });
  ASSERT_NE(it, areas.end());
  const AreaGround ground(*it, loaded().tilesets.at(it->tileset));
  for (int x : {kBaseLeft, kBaseRight}) {
    const std::string& block = ground.blockAt(kFoot / 32, x / 32);
    EXPECT_TRUE(block == "lamp_post" || std::abs(ground.surfaceBelow(x, kFoot - 8) - kFoot) <= 4)
        << "under the lamp's base at x " << x << ", y " << kFoot << ": " << block;
  }
}

}  // namespace
