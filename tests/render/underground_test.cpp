// The under-road's look: its rock lip is drawn in front of the play field, so the blocks themselves
// must fill everything behind it; the sky (the background colour) may show nowhere above the panel.
// The blank pattern stays clear, since the screens drawn over an area clear their planes to it.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "render/area_render.h"
#include "render/render_assets.h"
#include "world/world.h"

namespace {

const std::filesystem::path kRoot = GROVANTA_SOURCE_DIR;

TEST(Underground, NoSkyShowsInTheTunnels) {
  auto world = world::loadWorld(kRoot);
  ASSERT_TRUE(world) << "the data set in the source tree does not load";
  render::RenderAssets assets(kRoot, *world);
  for (int id = 34; id <= 40; ++id) {
    const world::Area* area = world::findArea(*world, id);
    ASSERT_NE(area, nullptr) << id;
    const auto* patterns = assets.areaPatterns(*area);
    ASSERT_NE(patterns, nullptr) << id;
    const auto& blank = patterns->front();
    EXPECT_TRUE(std::all_of(blank.begin(), blank.end(), [](auto p) { return p == 0; })) << "area " << id;
    // The first screen and the last.
    for (int camera : {-1, area->width * 32 - 321}) {
      auto frame = render::renderArea(assets, id, camera, {});
      ASSERT_TRUE(frame) << id;
      const auto end = frame->pixels.begin() + 192 * frame->width;
      EXPECT_EQ(std::count(frame->pixels.begin(), end, 32), 0) << "area " << id << " camera " << camera;
    }
  }
}

}  // namespace
