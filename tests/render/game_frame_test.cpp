// The picture of a game step from a small in-memory world: the area, the status panel, the hero's frame,
// the object graphics and the sprite calls, and the failures that leave no picture.
#include "render/game_frame.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "render/render_assets.h"
#include "render/sprite_banks.h"
#include "sim/cartridge.h"
#include "sim/game_state.h"
#include "sim/rom_view.h"
#include "world/world.h"

namespace {

constexpr int kArea = 3;
constexpr std::uint32_t kList = 0x010000;
constexpr std::uint32_t kSelections = 0x011000;
constexpr std::uint32_t kBank = 0x040000;

render::Pattern solid(int value) {
  render::Pattern p;
  p.fill(static_cast<std::uint8_t>(value));
  return p;
}

void putWord(sim::RomView& rom, std::uint32_t at, std::uint16_t value) {
  const std::uint8_t bytes[2] = {static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)};
  rom.put(at, bytes);
}
void putLong(sim::RomView& rom, std::uint32_t at, std::uint32_t value) {
  putWord(rom, at, static_cast<std::uint16_t>(value >> 16));
  putWord(rom, at + 2, static_cast<std::uint16_t>(value));
}

// Area 3: 20 columns of block 0 (empty) with block 1 (pattern 1, colour 1 of line 0) in map column 5,
// animated to block 2 (pattern 2, colour 2). Six area patterns, so the sprite region starts at 6.
// The common bank cuts a 3 x 3 hero placeholder, a 1 x 1 frame and two 2 x 2 object slots out of a
// picture whose cells all show colour 6.
struct GameFrameFixture : testing::Test {
  world::World world;
  sim::RomView rom;
  std::unique_ptr<render::RenderAssets> assets;
  sim::GameState state;

  void SetUp() override {
    world.brumo_line2 = world::PaletteLine(16, 0x0020);
    world::Area area;
    area.id = kArea;
    area.width = 20;
    area.area_patterns = 6;
    area.patterns = "unused.png";
    area.line0 = world::PaletteLine(16, 0x0002);
    area.variant_lines = {world::PaletteLine(16, 0x0200), world::PaletteLine(16, 0x0400)};
    area.variant_index = {0, 1, 0, 1};
    area.blocks = {std::vector<std::uint16_t>(16, 0), std::vector<std::uint16_t>(16, 1),
                   std::vector<std::uint16_t>(16, 2)};
    area.map.assign(20 * 6, 0);
    for (int j = 0; j < 6; ++j) area.map[5 * 6 + static_cast<std::size_t>(j)] = 1;
    area.animations = {{1, 3, 0, {1, 2}}};
    world.areas.push_back(area);

    putLong(rom, sim::cart::kAreaBankLists + 4 * kArea, kList);
    putLong(rom, kList, kBank);
    putLong(rom, kList + 4, kSelections);
    putLong(rom, kList + 8, 0xFFFFFFFF);
    const std::vector<std::array<std::uint16_t, 5>> selections = {
        {0, 0, 0, 3, 3}, {0, 3, 0, 1, 1}, {0, 0, 3, 2, 2}, {0, 2, 3, 2, 2}};
    std::uint32_t at = kSelections;
    for (const auto& s : selections) {
      for (std::uint16_t word : s) {
        putWord(rom, at, word);
        at += 2;
      }
    }
    putWord(rom, at, 0xFFFF);

    assets = std::make_unique<render::RenderAssets>("unused", world, &rom);
    assets->area_sheets[kArea] = {solid(0), solid(1), solid(2), solid(3), solid(4), solid(5)};
    for (int f = 0; f < 46; ++f)
      for (int k = 0; k < 9; ++k) assets->hero_frames.push_back(solid(f % 15 + 1));
    for (int g = 0; g < 4; ++g)
      for (int k = 0; k < 4; ++k) assets->object_patterns.push_back(solid(8 + g));
    for (int n = 0; n < 18; ++n) assets->panel_patterns.push_back(solid(n < 10 ? n + 1 : n == 17 ? 14 : 12));
    assets->status_panel_patterns = {solid(13)};
    assets->status_panel_table = std::vector<std::uint16_t>(160, 0);
    render::Picture picture;
    picture.block = kBank;
    picture.width = 4;
    picture.height = 5;
    picture.names.assign(20, 0);
    picture.patterns = {solid(6)};
    picture.palette = std::vector<std::uint16_t>(16, 0x0222);
    assets->pictures[kBank] = picture;

    state.area = kArea;
    state.camera_x = 0;
    state.lives = 2;
    state.score = 12345;
    // The animation's timer runs out in this frame: the picture shows its next block.
    state.block_anims[0] = 0;
    state.block_anims[1] = 1;
  }

  static int pixel(const render::Frame& frame, int x, int y) {
    return frame.pixels[static_cast<std::size_t>(y * 320 + x)];
  }
};

sim::SpriteCall at(int frame, int x, int y, std::uint32_t attributes = 0) {
  return {static_cast<std::uint32_t>(x + 128), static_cast<std::uint32_t>(y + 128), static_cast<std::uint32_t>(frame),
          attributes, 0};
}

TEST_F(GameFrameFixture, AreaPanelHeroAndObjects) {
  state.sprite_frame = 4;
  state.expression = 0;
  state.palette_variant = 1;
  // Object slot 0 shows object record 2, whose graphic is 3; slot 1 points outside the table.
  state.objects_here_count = 2;
  const std::uint32_t record2 = 0xFFFFAC62 + 2 * 16;
  for (int b = 0; b < 4; ++b)
    state.objects_here[static_cast<std::size_t>(b)] = static_cast<std::uint8_t>(record2 >> (24 - 8 * b));
  state.objects[2 * 16 + 7] = 3;

  const std::vector<sim::SpriteCall> calls = {at(0, 100, 80, 0x08), at(2, 40, 40), at(3, 60, 40), at(1, 0, 0)};
  std::optional<render::Frame> frame = render::renderGameStep(*assets, state, calls);
  ASSERT_TRUE(frame);

  // Screen x shows area x + camera + 1: map column 5 (area x 160-191) is at screen 159-190, showing the
  // animation's next block.
  EXPECT_EQ(2, pixel(*frame, 170, 10));
  EXPECT_EQ(32, pixel(*frame, 150, 10));  // background: colour 0 of line 2
  EXPECT_EQ(0x0400, frame->cram[16]);     // variant 1's line 1

  // The hero's frame 4 in place of the placeholder, in the call's palette line 2.
  EXPECT_EQ(32 + 5, pixel(*frame, 100, 80));
  EXPECT_EQ(32 + 5, pixel(*frame, 123, 103));
  // Object graphic 3 in slot 0; slot 1 keeps the bank's own cells.
  EXPECT_EQ(8 + 3, pixel(*frame, 40, 40));
  EXPECT_EQ(6, pixel(*frame, 60, 40));
  // The status panel: score digits in window row 26 (line 208), columns 4-8; two lives of six.
  for (int d = 0; d < 5; ++d) EXPECT_EQ(32 + d + 2, pixel(*frame, 8 * (4 + d), 208)) << "digit " << d;
  EXPECT_EQ(32 + 14, pixel(*frame, 8 * 31, 208));  // the second life icon (pattern 17)
  EXPECT_EQ(32 + 12, pixel(*frame, 8 * 32, 208));  // the plain tile (pattern 16)
}

TEST_F(GameFrameFixture, ExpressionAndTheHintHook) {
  state.sprite_frame = 1;
  state.expression = 1;
  int hooked = 0;
  render::SpriteCallHook hook = [&](render::VideoChip&, render::SpriteFrameList& list,
                                    std::vector<sim::SpriteCall>& calls) {
    ++hooked;
    EXPECT_EQ(4u, list.frames.size());
    calls.push_back(at(1, 200, 100, 0x04));
  };
  std::optional<render::Frame> frame = render::renderGameStep(*assets, state, std::vector{at(0, 100, 80)}, hook);
  ASSERT_TRUE(frame);
  EXPECT_EQ(0, hooked);  // only in the treehouse area
  EXPECT_EQ(29 % 15 + 1, pixel(*frame, 100, 80));

  world.areas[0].id = 21;
  putLong(rom, sim::cart::kAreaBankLists + 4 * 21, kList);
  assets->area_sheets[21] = assets->area_sheets[kArea];
  state.area = 21;
  frame = render::renderGameStep(*assets, state, std::vector{at(0, 100, 80)}, hook);
  ASSERT_TRUE(frame);
  EXPECT_EQ(1, hooked);
  EXPECT_EQ(16 + 6, pixel(*frame, 200, 100));  // the call the hook added
}

TEST_F(GameFrameFixture, FailuresLeaveNoPicture) {
  world::Area unlisted = world.areas[0];
  unlisted.id = 4;  // no bank list pointer
  world.areas.push_back(unlisted);
  assets->area_sheets[4] = assets->area_sheets[kArea];
  render::RenderAssets withoutTables("unused", world, nullptr);
  withoutTables.area_sheets = assets->area_sheets;
  struct Case {
    const char* what;
    std::int64_t area;
    bool tables;
    bool picture;
    std::string message;
  };
  const std::vector<Case> cases = {
      {"an unknown area", 9, true, true, "no area 9"},
      {"no cartridge tables", kArea, false, true, "the game frame needs the cartridge tables"},
      {"an area without a bank list", 4, true, true,
       "the sprite bank list 03E854 reads a ROM table that was not exported"},
      {"a bank without its picture", kArea, true, false, "sprite bank 040000 is not an exported picture"},
  };
  for (const Case& c : cases) {
    state.area = c.area;
    if (!c.picture) assets->pictures.clear();
    testing::internal::CaptureStderr();
    EXPECT_FALSE(render::renderGameStep(c.tables ? *assets : withoutTables, state, std::vector{at(0, 0, 0)})) << c.what;
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(std::string::npos, log.find(c.message)) << c.what << ": " << log;
  }
}

}  // namespace
