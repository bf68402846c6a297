#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <lodepng.h>

#include "app/data.h"
#include "app/modes.h"
#include "sim/rom_view.h"
#include "world/world.h"
#include "world/world_fixture.h"

namespace {

using world_test::DataDir;
using world_test::json;
using Bytes = std::vector<std::uint8_t>;

TEST(RomViewReads, PresentBytesReadBigEndianAndMissesAreRecordedOnce) {
  sim::RomView rom;
  rom.put(0x100, Bytes{0x12, 0x34, 0x56, 0x78, 0xFF, 0xFE});
  EXPECT_EQ(rom.byteAt(0x100), 0x12);
  EXPECT_EQ(rom.wordAt(0x100), 0x1234);
  EXPECT_EQ(rom.longAt(0x100), 0x12345678u);
  EXPECT_EQ(rom.signedWordAt(0x104), -2);
  EXPECT_FALSE(rom.hasMissed());
  EXPECT_EQ(rom.missingAddress(), 0u);

  // The first byte of the word is there, the second is not.
  EXPECT_EQ(rom.wordAt(0x105), 0xFE00);
  EXPECT_EQ(rom.missingAddress(), 0x106u);
  EXPECT_EQ(rom.byteAt(0x200), 0);
  EXPECT_EQ(rom.missingAddress(), 0x106u);  // only the first miss is kept

  rom.clearMissingAddress();
  EXPECT_FALSE(rom.hasMissed());
  rom.put(0x7FFFF, Bytes{0xAB, 0xCD});  // the second byte falls off the image
  EXPECT_EQ(rom.wordAt(0x7FFFF), 0xAB00);
  EXPECT_EQ(rom.missingAddress(), 0x80000u);

  // A miss at address 0 is still a miss.
  rom.clearMissingAddress();
  EXPECT_EQ(rom.byteAt(0), 0);
  EXPECT_TRUE(rom.hasMissed());
  EXPECT_EQ(rom.missingAddress(), 0u);
}

TEST(RomViewReads, PutDropsBytesOutsideTheImageAndLaterPutsWin) {
  sim::RomView rom;
  rom.put(-2, Bytes{1, 2, 3, 4});
  EXPECT_EQ(rom.wordAt(0), 0x0304);
  EXPECT_FALSE(rom.hasMissed());
  rom.put(1, Bytes{9});
  EXPECT_EQ(rom.wordAt(0), 0x0309);
  rom.put(0x90000, Bytes{1});
  EXPECT_FALSE(rom.isPresent(0x90000));
}

// The fixture's world with its two doors, one edge, one object and one lift, plus tables that overlap.
struct LoadedRom {
  DataDir dir;
  world::World world;
  sim::RomView rom;
};

std::unique_ptr<LoadedRom> loadFixture(const json& rules, const json& tables,
                                       const json& worldDoc = world_test::worldDocument()) {
  auto r = std::make_unique<LoadedRom>();
  r->dir.writeAll(worldDoc, world_test::paletteDocument(), tables, rules);
  std::optional<world::World> w = world::loadWorld(r->dir.root());
  EXPECT_TRUE(w);
  if (w) r->world = std::move(*w);
  r->rom = sim::loadRomView(r->dir.root(), r->world);
  return r;
}

json overlappingRules() {
  return json{{"tables", json::array({json{{"address", "0017DE"}, {"bytes", "aabbccddeeff"}},
                                      json{{"address", "000010"}, {"bytes", "01020"}},
                                      json{{"address", "000020"}, {"bytes", "7"}},
                                      json{{"address", "0025E0"}, {"bytes", "99999999999999999999"}}})}};
}

TEST(RomViewLoad, LaterSourcesReplaceEarlierBytes) {
  json tables = world_test::tablesDocument();
  tables["tables"].push_back(json{{"name", "other"}, {"address", "003000"}, {"words", {0x12345, -1}}, {"tail", "abc"}});
  auto r = loadFixture(overlappingRules(), tables);
  const sim::RomView& rom = r->rom;
  ASSERT_TRUE(rom.loaded());
  // rule bytes aa bb cc dd ee ff at 17DE; tables.json's words 0102 FFFF from 17E0 on replace cc dd ee ff.
  EXPECT_EQ(rom.longAt(0x17DE), 0xAABB0102u);
  EXPECT_EQ(rom.wordAt(0x17E2), 0xFFFF);
  // Odd strings lose their last digit; a one-digit string gives nothing.
  EXPECT_EQ(rom.wordAt(0x10), 0x0102);
  EXPECT_FALSE(rom.isPresent(0x12));
  EXPECT_FALSE(rom.isPresent(0x20));
  // Words keep their low 16 bits; the tail follows them.
  EXPECT_EQ(rom.longAt(0x3000), 0x2345FFFFu);
  EXPECT_EQ(rom.byteAt(0x3004), 0xAB);
  EXPECT_FALSE(rom.isPresent(0x3005));
  // The world's door locks replace the rule table's bytes at 25E0.
  EXPECT_EQ(rom.longAt(0x25E0), 0x5F800001u);
  EXPECT_EQ(rom.longAt(0x25E4), 0u);
  EXPECT_FALSE(rom.hasMissed());
}

TEST(RomViewLoad, BuildsTheWorldTables) {
  auto r = loadFixture(world_test::ruleTablesDocument(), world_test::tablesDocument());
  const sim::RomView& rom = r->rom;
  ASSERT_TRUE(rom.loaded());
  // Two doors of 12 bytes, the end mark, then their rectangles from 25EA + 24 = 2602 on.
  EXPECT_EQ(rom.wordAt(0x25E8), 0);
  EXPECT_EQ(rom.wordAt(0x25EA), 1);
  EXPECT_EQ(rom.wordAt(0x25EC), 40);
  EXPECT_EQ(rom.longAt(0x25F0), 0x2602u);
  EXPECT_EQ(rom.signedWordAt(0x25F8), -4);
  EXPECT_EQ(rom.longAt(0x25FC), 0x260Au);
  EXPECT_EQ(rom.wordAt(0x2600), 0xFFFF);
  EXPECT_EQ(rom.longAt(0x2602), 0x000A0014u);
  EXPECT_EQ(rom.longAt(0x2606), 0x00100020u);
  EXPECT_EQ(rom.wordAt(0x2610), 4);
  EXPECT_FALSE(rom.isPresent(0x2612));
  // One edge of nine words, then FFFF.
  const Bytes edge = {0, 0, 0, 1, 0, 2, 0, 3, 0, 4, 0, 5, 0, 6, 0, 7, 0xFF, 0xFF, 0xFF, 0xFF};
  for (std::size_t i = 0; i < edge.size(); ++i)
    EXPECT_EQ(rom.byteAt(0x297C + static_cast<std::uint32_t>(i)), edge[i]) << i;
  // One object: six words and the routine's long; no end mark.
  EXPECT_EQ(rom.wordAt(0x2B68 + 10), 5);
  EXPECT_EQ(rom.longAt(0x2B68 + 12), 0x00ABCDEFu);
  EXPECT_FALSE(rom.isPresent(0x2B68 + 16));
  // One lift of nine words.
  EXPECT_EQ(rom.wordAt(0x65B4), 1);
  EXPECT_EQ(rom.wordAt(0x65B4 + 16), 9);
  EXPECT_FALSE(rom.isPresent(0x65B4 + 18));
  EXPECT_FALSE(rom.hasMissed());
}

TEST(RomViewLoad, NoDoorsLeaveOnlyTheEndMark) {
  json doc = world_test::worldDocument();
  doc["doors"] = json::array();
  auto r = loadFixture(world_test::ruleTablesDocument(), world_test::tablesDocument(), doc);
  ASSERT_TRUE(r->rom.loaded());
  EXPECT_EQ(r->rom.wordAt(0x25E8), 0xFFFF);
  EXPECT_FALSE(r->rom.isPresent(0x25EA));
}

TEST(RomViewLoad, KeepsTheSubgameBlocksThatExist) {
  DataDir dir;
  dir.writeAll();
  dir.write("assets/data/subgames/sub4_track_grid.bin", std::string("\x01\x00\x02", 3));
  std::optional<world::World> w = world::loadWorld(dir.root());
  ASSERT_TRUE(w);
  sim::RomView rom = sim::loadRomView(dir.root(), *w);
  ASSERT_NE(rom.block("sub4_track_grid"), nullptr);
  EXPECT_EQ(*rom.block("sub4_track_grid"), (Bytes{1, 0, 2}));
  EXPECT_EQ(rom.block("sub2_screen"), nullptr);
}

TEST(RomViewLoad, UnreadableOrMalformedSourcesLeaveAViewThatIsNotLoaded) {
  struct Case {
    const char* what;
    json rules;
    json tables;
    const char* message;
  };
  json badAddress = json{{"tables", json::array({json{{"address", "zz"}, {"bytes", "00"}}})}};
  json badWord = world_test::tablesDocument();
  badWord["tables"].push_back(json{{"name", "other"}, {"address", "3000"}, {"words", {"1"}}});
  json badPair = json{{"tables", json::array({json{{"address", "10"}, {"bytes", "0001g1"}}})}};
  const Case cases[] = {
      {"address not hex", badAddress, world_test::tablesDocument(), "the cartridge tables cannot be loaded"},
      {"word a string", world_test::ruleTablesDocument(), badWord, "the cartridge tables cannot be loaded"},
      {"byte pair not hex", badPair, world_test::tablesDocument(), "the cartridge tables cannot be loaded"},
      {"no tables key", json::object(), world_test::tablesDocument(), "the cartridge tables cannot be loaded"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    testing::internal::CaptureStderr();
    auto r = loadFixture(c.rules, c.tables);
    std::string log = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(r->rom.loaded());
    EXPECT_NE(log.find(c.message), std::string::npos) << log;
    EXPECT_FALSE(r->rom.isPresent(0x25E0));  // nothing half-filled
  }

  DataDir dir;
  dir.writeAll();
  std::optional<world::World> w = world::loadWorld(dir.root());
  ASSERT_TRUE(w);
  dir.write("assets/data/rule_tables.json", std::string("[1,"));
  testing::internal::CaptureStderr();
  sim::RomView rom = sim::loadRomView(dir.root(), *w);
  std::string log = testing::internal::GetCapturedStderr();
  EXPECT_FALSE(rom.loaded());
  EXPECT_NE(log.find("the rule tables, tables.json or world.json cannot be read"), std::string::npos) << log;
}

TEST(RomViewSheet, PacksAnAreaSheetTwoPixelsPerByte) {
  DataDir dir;
  json doc = world_test::worldDocument();
  doc["areas"][0]["area_patterns"] = 1;
  doc["areas"][0]["backdrop"] = json::array();
  for (int r = 0; r < 24; ++r) doc["areas"][0]["backdrop"].push_back(std::vector<int>(32, 0));
  doc["areas"][0]["backdrop_patterns"] = 1;
  dir.writeAll(doc);
  // A 128 x 8 sheet: pattern 0 counts 0-15 along its rows, pattern 1 is all 7.
  std::vector<unsigned char> pixels(128 * 8, 0);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 16; ++x)
      pixels[static_cast<std::size_t>(y * 128 + x)] = x < 8 ? static_cast<unsigned char>((y * 8 + x) % 16) : 7;
  lodepng::State state;
  state.info_raw.colortype = LCT_PALETTE;
  state.info_raw.bitdepth = 8;
  state.info_png.color.colortype = LCT_PALETTE;
  state.info_png.color.bitdepth = 8;
  state.encoder.auto_convert = 0;
  for (int i = 0; i < 16; ++i) {
    lodepng_palette_add(&state.info_png.color, static_cast<unsigned char>(i * 16), 0, 0, 255);
    lodepng_palette_add(&state.info_raw, static_cast<unsigned char>(i * 16), 0, 0, 255);
  }
  std::vector<unsigned char> png;
  ASSERT_EQ(lodepng::encode(png, pixels, 128, 8, state), 0u);
  dir.write("assets/graphics/areas/area_00.png", std::string(png.begin(), png.end()));

  std::optional<world::World> w = world::loadWorld(dir.root());
  ASSERT_TRUE(w);
  sim::RomView rom = sim::loadRomView(dir.root(), *w);
  const Bytes* sheet = rom.areaSheet(0);
  ASSERT_NE(sheet, nullptr);
  ASSERT_EQ(sheet->size(), 64u);
  EXPECT_EQ((*sheet)[0], 0x01);
  EXPECT_EQ((*sheet)[1], 0x23);
  EXPECT_EQ((*sheet)[31], 0xEF);
  EXPECT_EQ((*sheet)[32], 0x77);
  EXPECT_EQ(rom.areaSheet(0), sheet);    // cached
  EXPECT_EQ(rom.areaSheet(1), nullptr);  // no map, so no sheet
}

}  // namespace

namespace {

using world_test::DataDir;

TEST(CartridgeTables, LoadIntoTheContextOnlyWhenTheyRead) {
  DataDir dir;
  dir.writeAll();
  app::Data data;
  data.dataDirectory = dir.root();
  testing::internal::CaptureStderr();
  EXPECT_FALSE(app::loadCartridgeTables(data));  // no world yet
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(data.rom, nullptr);

  std::optional<world::World> w = world::loadWorld(dir.root());
  ASSERT_TRUE(w);
  data.world = std::make_shared<const world::World>(std::move(*w));
  ASSERT_TRUE(app::loadCartridgeTables(data));
  ASSERT_NE(data.rom, nullptr);
  EXPECT_EQ(data.rom->wordAt(0x0025E0), 0x5F80);

  std::filesystem::remove(dir.root() / "assets/data/rule_tables.json");
  data.rom.reset();
  testing::internal::CaptureStderr();
  EXPECT_FALSE(app::loadCartridgeTables(data));
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(data.rom, nullptr);
}

}  // namespace
