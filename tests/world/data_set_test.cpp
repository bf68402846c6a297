// The data set committed in the source tree, and the one compiled in, load through every loader here.

#include <gtest/gtest.h>

#include "base/asset_store.h"
#include "render/texts.h"
#include "sim/rom_view.h"
#include "world/world.h"

namespace {

TEST(DataSet, WorldTablesAndTextsLoad) {
  const std::filesystem::path root = GROVANTA_SOURCE_DIR;
  ASSERT_TRUE(app::hasWorld(root)) << "no data set in the source tree";
  std::optional<world::World> w = world::loadWorld(root);
  ASSERT_TRUE(w);
  EXPECT_FALSE(w->areas.empty());
  for (const world::Area& a : w->areas) {
    SCOPED_TRACE(a.id);
    EXPECT_EQ(a.map.size(), static_cast<std::size_t>(a.width) * 6);
    for (const auto& actor : a.actors) EXPECT_GE(actor.size(), 10u);
  }
  sim::RomView rom = sim::loadRomView(root, *w);
  EXPECT_TRUE(rom.loaded());
  // The new game reads the first door-lock long from the table built from the world.
  EXPECT_EQ(rom.byteAt(0x0025E0), w->door_locks[0]);
  EXPECT_FALSE(rom.hasMissed());
  for (int language = 0; language < render::kLanguageCount; ++language) {
    std::filesystem::path file = root / "assets/text" / (std::string(render::languageCode(language)) + ".json");
    SCOPED_TRACE(language);
    EXPECT_TRUE(std::filesystem::exists(file)) << file;
    EXPECT_TRUE(render::loadTexts(root, language));
  }
}

TEST(DataSet, CompiledInWorldLoads) {
  const std::filesystem::path root{std::string(app::kEmbeddedMarker)};
  ASSERT_TRUE(app::hasWorld(root)) << "no data set compiled in";
  std::optional<world::World> w = world::loadWorld(root);
  ASSERT_TRUE(w);
  EXPECT_TRUE(sim::loadRomView(root, *w).loaded());
}

}  // namespace
