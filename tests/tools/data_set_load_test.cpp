// The committed data set goes through the program's own loaders: the world, the cartridge tables
// and every area's pattern sheet, and each area draws.
#include <gtest/gtest.h>

#include <filesystem>

#include "render/area_render.h"
#include "render/render_assets.h"
#include "sim/rom_view.h"
#include "world/world.h"

namespace {

const std::filesystem::path kRoot = GROVANTA_SOURCE_DIR;

TEST(DataSet, LoadsThroughTheProgramsLoadersAndEveryAreaDraws) {
  auto world = world::loadWorld(kRoot);
  ASSERT_TRUE(world.has_value());
  EXPECT_EQ(world->areas.size(), 49u);
  ASSERT_EQ(world->mapless_areas.size(), 2u);
  EXPECT_EQ(world->mapless_areas[0].id, 44);
  EXPECT_EQ(world->mapless_areas[1].id, 50);
  EXPECT_EQ(world->doors.size(), 32u);
  EXPECT_EQ(world->edges.size(), 8u);
  EXPECT_EQ(world->door_locks, (std::vector<std::uint8_t>{0x5f, 0x80, 0x00, 0x01, 0, 0, 0, 0}));

  auto rom = sim::loadRomView(kRoot, *world);
  ASSERT_TRUE(rom.loaded());
  // The standing sequence: its delay word sits where the hero's control reads it.
  EXPECT_EQ(rom.wordAt(0x00180C), 30);
  EXPECT_EQ(rom.missingAddress(), 0u);

  render::RenderAssets assets(kRoot, *world, &rom);
  for (const auto& area : world->areas) {
    auto frame = render::renderArea(assets, area.id, 0, {});
    ASSERT_TRUE(frame.has_value()) << "area " << area.id;
    int drawn = 0;
    for (int i = 0; i < 320 * 192; ++i) drawn += frame->pixels[i] != 32;
    EXPECT_GT(drawn, 320 * 16) << "area " << area.id << " shows almost nothing but background";
  }
}

}  // namespace
