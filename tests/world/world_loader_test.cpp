#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "world/world.h"
#include "world/world_fixture.h"

namespace {

using world_test::DataDir;
using world_test::json;

std::optional<world::World> loadFixture(const json& worldDoc, const json& palettes = world_test::paletteDocument(),
                                        const json& tables = world_test::tablesDocument()) {
  DataDir dir;
  dir.writeAll(worldDoc, palettes, tables);
  return world::loadWorld(dir.root());
}

TEST(WorldLoader, ReadsAreasDoorsEdgesLocksAndSequences) {
  std::optional<world::World> w = loadFixture(world_test::worldDocument());
  ASSERT_TRUE(w);
  EXPECT_EQ(w->schema, 2);
  ASSERT_EQ(w->areas.size(), 1u);
  ASSERT_EQ(w->mapless_areas.size(), 1u);

  const world::Area& a = w->areas[0];
  EXPECT_EQ(a.width, 2);
  EXPECT_EQ(a.origin_x, -10816);
  EXPECT_EQ(a.min_y, -32);
  EXPECT_EQ(a.description, 90);
  ASSERT_EQ(a.items.size(), 1u);
  EXPECT_EQ(a.items[0].flag, 297);
  EXPECT_EQ(a.items[0].y, -9);
  // Only the first two exits of a list are read.
  EXPECT_EQ(a.exits_top[1].threshold, 200);
  EXPECT_EQ(a.exits_top[0].x, -1);
  EXPECT_EQ(a.exits_bottom[1].area, 7);
  ASSERT_EQ(a.blocks.size(), 3u);
  EXPECT_EQ(a.blocks[2][15], 47);
  // Patch 7 lands in column 1, row 1; patch 12 lies past the 2-column map and is only kept.
  EXPECT_EQ(a.map, (std::vector<std::uint8_t>{0, 1, 2, 0, 1, 2, 2, 9, 2, 1, 1, 1}));
  ASSERT_EQ(a.map_patches.size(), 2u);
  EXPECT_EQ(a.map_patches[1].index, 12);
  EXPECT_EQ(a.map_patches[1].value, 4);
  // 49 digits: the last one is ignored, 24 bytes remain.
  EXPECT_EQ(a.collision, std::vector<std::uint8_t>(24, 0));
  EXPECT_FALSE(a.backdrop);
  EXPECT_EQ(a.backdrop_patterns, 0);
  EXPECT_EQ(a.patterns, "assets/graphics/areas/area_00.png");
  EXPECT_EQ(a.area_patterns, 3);
  EXPECT_EQ(a.blocks_line3, 0);
  EXPECT_FALSE(a.backdrop_front);
  ASSERT_EQ(a.animations.size(), 1u);
  EXPECT_EQ(a.animations[0].delay, 4);
  EXPECT_EQ(a.animations[0].frames, (std::vector<std::int32_t>{1, 2}));

  const world::Area& m = w->mapless_areas[0];
  EXPECT_EQ(m.id, 1);
  EXPECT_EQ(m.width, 10);
  EXPECT_EQ(m.description, 0);
  EXPECT_EQ(m.items.size(), 1u);
  EXPECT_EQ(m.actors.size(), 1u);
  EXPECT_TRUE(m.blocks.empty());
  EXPECT_TRUE(m.patterns.empty());

  ASSERT_EQ(w->doors.size(), 2u);
  EXPECT_EQ(w->doors[1].x, -4);
  EXPECT_EQ(w->doors[0].rect[3], 32);
  ASSERT_EQ(w->edges.size(), 1u);
  EXPECT_EQ(w->edges[0].right.area, 6);
  EXPECT_EQ(w->edges[0].right.y, -1);
  EXPECT_EQ(w->door_locks, (std::vector<std::uint8_t>{0x5f, 0x80, 0, 1, 0, 0, 0, 0}));
  EXPECT_EQ(w->brumo_sequences, (std::vector<std::uint16_t>{0x0102, 0xFFFF}));
}

TEST(WorldLoader, BuildsActorRecordsInTheCartridgeLayout) {
  json doc = world_test::worldDocument();
  doc["areas"][0]["actors"].push_back(json{{"type", -1}, {"x", 1}, {"y", 2}, {"data", "abcd"}});
  std::optional<world::World> w = loadFixture(doc);
  ASSERT_TRUE(w);
  const auto& actors = w->areas[0].actors;
  ASSERT_EQ(actors.size(), 2u);
  // type 00012345, x 300, data a1 b2, y -2, then the other data bytes.
  EXPECT_EQ(actors[0],
            (std::vector<std::uint8_t>{0x00, 0x01, 0x23, 0x45, 0x01, 0x2C, 0xA1, 0xB2, 0xFF, 0xFE, 0xC3, 0xD4, 0xE5}));
  // Four digits are the shortest data: a 10-byte record.
  EXPECT_EQ(actors[1], (std::vector<std::uint8_t>{0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x01, 0xAB, 0xCD, 0x00, 0x02}));
}

TEST(WorldLoader, FindsAreasWithAndWithoutAMap) {
  json doc = world_test::worldDocument();
  // A mapless area keeps nothing of its layout even when it carries some.
  doc["areas"][1]["backdrop"] = json::array();
  std::optional<world::World> w = loadFixture(doc);
  ASSERT_TRUE(w);
  EXPECT_EQ(world::findArea(*w, 0), &w->areas[0]);
  EXPECT_EQ(world::findArea(*w, 1), nullptr);
  EXPECT_EQ(world::findAreaAny(*w, 1), &w->mapless_areas[0]);
  EXPECT_FALSE(w->mapless_areas[0].backdrop);
  EXPECT_EQ(world::findAreaAny(*w, 5), nullptr);
}

TEST(WorldLoader, AppliesPalettesToAreasWithAMapOnly) {
  std::optional<world::World> w = loadFixture(world_test::worldDocument());
  ASSERT_TRUE(w);
  EXPECT_EQ(w->brumo_line2[15], 30);
  const world::Area& a = w->areas[0];
  // Short lines are padded with zeros; a null line1 stays absent.
  EXPECT_EQ(a.line0, (world::PaletteLine{0x0EEE, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_FALSE(a.line1);
  ASSERT_TRUE(a.line3);
  EXPECT_EQ((*a.line3)[1], 6);
  EXPECT_EQ(a.variant_index, (std::vector<std::int32_t>{1, 2}));
  ASSERT_EQ(a.variant_lines.size(), 2u);
  EXPECT_EQ(a.variant_lines[0][0], 8);
  EXPECT_EQ(a.variant_lines[1], world::PaletteLine(16, 0));
  // The entry for the mapless area 1 and the one for unknown area 33 change nothing.
  EXPECT_EQ(w->mapless_areas[0].line0, world::PaletteLine(16, 0));
}

TEST(WorldLoader, ReadsBackdropsAndTheLastPaletteEntryOfAnId) {
  json doc = world_test::worldDocument();
  json row = json::array();
  for (int c = 0; c < 33; ++c) row.push_back(c);  // elements past 31 are not read
  doc["areas"][0]["backdrop"] = json::array();
  for (int r = 0; r < 24; ++r) doc["areas"][0]["backdrop"].push_back(row);
  doc["areas"][0]["backdrop_patterns"] = 5;
  doc["areas"][0]["backdrop_front"] = true;
  doc["areas"][0]["blocks_line3"] = 21;
  doc["door_locks"] = "0102030405";
  json palettes = world_test::paletteDocument();
  palettes["areas"].push_back(json{{"id", 0}, {"line0", {9}}});
  std::optional<world::World> w = loadFixture(doc, palettes);
  ASSERT_TRUE(w);
  const world::Area& a = w->areas[0];
  ASSERT_TRUE(a.backdrop);
  ASSERT_EQ(a.backdrop->size(), 24u);
  EXPECT_EQ((*a.backdrop)[23].size(), 32u);
  EXPECT_EQ((*a.backdrop)[23][31], 31);
  EXPECT_EQ(a.backdrop_patterns, 5);
  EXPECT_TRUE(a.backdrop_front);
  EXPECT_EQ(a.blocks_line3, 21);
  EXPECT_EQ(a.line0[0], 9);
  EXPECT_EQ(w->door_locks, (std::vector<std::uint8_t>{1, 2, 3, 4, 5, 0, 0, 0}));
}

struct BadWorld {
  const char* what;
  std::function<void(json& worldDoc, json& palettes, json& tables)> change;
  const char* message;  // the part of the logged line that tells the reader what is wrong
};

TEST(WorldLoader, RefusesBrokenDataWithOneLine) {
  const BadWorld cases[] = {
      {"no schema", [](json& w, json&, json&) { w.erase("schema"); }, "world.json: schema 0, expected 2"},
      {"schema 3", [](json& w, json&, json&) { w["schema"] = 3; }, "world.json: schema 3, expected 2"},
      {"map narrower than width", [](json& w, json&, json&) { w["areas"][0]["width"] = 3; },
       "world.json: area 0: map or collision does not match its width"},
      {"short collision", [](json& w, json&, json&) { w["areas"][0]["collision"] = std::string(46, '0'); },
       "world.json: area 0: map or collision does not match its width"},
      {"no sequences", [](json&, json&, json& t) { t["tables"][0]["name"] = "other"; },
       "assets/data/tables.json: no brumo_sequences"},
      {"23 backdrop rows",
       [](json& w, json&, json&) {
         w["areas"][0]["backdrop"] = json::array();
         for (int r = 0; r < 23; ++r) w["areas"][0]["backdrop"].push_back(json::array());
       },
       "world.json: area 0: the backdrop needs 24 rows of 32 tile words"},
      {"backdrop row too short",
       [](json& w, json&, json&) {
         w["areas"][0]["backdrop"] = json::array();
         for (int r = 0; r < 24; ++r) w["areas"][0]["backdrop"].push_back(json::array({1}));
       },
       "the world cannot be loaded"},
      {"actor data of 3 digits", [](json& w, json&, json&) { w["areas"][0]["actors"][0]["data"] = "abc"; },
       "world.json: area 0: actor data needs at least 4 hex digits"},
      {"collision not hex", [](json& w, json&, json&) { w["areas"][0]["collision"] = "zz" + std::string(46, '0'); },
       "the world cannot be loaded"},
      {"id a string", [](json& w, json&, json&) { w["areas"][0]["id"] = "0"; }, "the world cannot be loaded"},
      {"no patterns", [](json& w, json&, json&) { w["areas"][0].erase("patterns"); }, "the world cannot be loaded"},
      {"area_patterns a string", [](json& w, json&, json&) { w["areas"][0]["area_patterns"] = "3"; },
       "the world cannot be loaded"},
      {"one top exit",
       [](json& w, json&, json&) { w["areas"][0]["exits_top"] = json::array({w["areas"][0]["exits_top"][0]}); },
       "the world cannot be loaded"},
      {"palette line an object", [](json&, json& p, json&) { p["areas"][0]["line0"] = json::object(); },
       "the world cannot be loaded"},
      {"door rect of 3", [](json& w, json&, json&) { w["doors"][0]["rect"].erase(3); }, "the world cannot be loaded"},
      {"door_locks a number", [](json& w, json&, json&) { w["door_locks"] = 5; }, "the world cannot be loaded"},
      {"items a number", [](json& w, json&, json&) { w["areas"][0]["items"] = 3; }, "\"items\" is not an array"},
      {"frames a number", [](json& w, json&, json&) { w["areas"][0]["animations"][0]["frames"] = 1; },
       "\"frames\" is not an array"},
      {"areas an object",
       [](json& w, json&, json&) {
         w["areas"] = json::object({{"id", 1}});
       },
       "the world cannot be loaded"},
  };
  for (const BadWorld& c : cases) {
    SCOPED_TRACE(c.what);
    json w = world_test::worldDocument(), p = world_test::paletteDocument(), t = world_test::tablesDocument();
    c.change(w, p, t);
    testing::internal::CaptureStderr();
    std::optional<world::World> loaded = loadFixture(w, p, t);
    std::string log = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(loaded);
    EXPECT_NE(log.find(c.message), std::string::npos) << log;
  }
}

TEST(WorldLoader, RefusesMissingOrBrokenFiles) {
  DataDir dir;
  dir.writeAll();
  dir.write("world/world.json", std::string("{\"schema\": 2, "));
  testing::internal::CaptureStderr();
  EXPECT_FALSE(world::loadWorld(dir.root()));
  std::string log = testing::internal::GetCapturedStderr();
  EXPECT_NE(log.find("world.json: not valid JSON"), std::string::npos) << log;

  dir.writeAll();
  std::filesystem::remove(dir.root() / "assets/palettes/areas.json");
  testing::internal::CaptureStderr();
  EXPECT_FALSE(world::loadWorld(dir.root()));
  testing::internal::GetCapturedStderr();

  // A missing tables.json only contributes no sequences.
  dir.writeAll();
  std::filesystem::remove(dir.root() / "assets/data/tables.json");
  testing::internal::CaptureStderr();
  EXPECT_FALSE(world::loadWorld(dir.root()));
  log = testing::internal::GetCapturedStderr();
  EXPECT_NE(log.find("no brumo_sequences"), std::string::npos) << log;
}

TEST(WorldLoader, IgnoresMapPatchesOutsideTheMap) {
  json doc = world_test::worldDocument();
  doc["areas"][0]["map_patches"] = json::array({json::array({-1, 7}), json::array({-6, 7}), json::array({11, 8})});
  std::optional<world::World> w = loadFixture(doc);
  ASSERT_TRUE(w);
  // Negative indexes are kept and change nothing; 11 is the last byte of the map.
  EXPECT_EQ(w->areas[0].map, (std::vector<std::uint8_t>{0, 1, 2, 0, 1, 2, 2, 2, 2, 1, 1, 8}));
  EXPECT_EQ(w->areas[0].map_patches.size(), 3u);
}

}  // namespace
