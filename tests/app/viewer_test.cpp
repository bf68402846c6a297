// The area viewer: paging through the world's areas, scrolling, and what it presents.
#include <gtest/gtest.h>

#include <SDL.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "app/viewer.h"
#include "app/world_load.h"
#include "render/area_render.h"
#include "render/render_assets.h"
#include "world/world.h"

namespace {

TEST(Viewer, PagingWrapsAroundTheAreaList) {
  const std::vector<int> areas = {0, 3, 7, 21};
  struct Case {
    int current, direction, expected;
  };
  const Case cases[] = {
      {0, 1, 3},  {3, 1, 7},    {21, 1, 0},  // Page Up: the next one, the last wraps to the first
      {7, -1, 3}, {0, -1, 21},               // Page Down: the previous one, the first wraps to the last
      {99, 1, 0}, {99, -1, 21},              // not in the list: just past its end
  };
  for (const Case& c : cases)
    EXPECT_EQ(app::viewerStepArea(areas, c.current, c.direction), c.expected) << c.current << " " << c.direction;
  EXPECT_EQ(app::viewerStepArea({}, 5, 1), 5);
}

TEST(Viewer, ScrollingStaysWithinTheArea) {
  struct Case {
    int scroll;
    bool left, right, shift;
    int width, expected;
  };
  const Case cases[] = {
      {0, false, true, false, 20, 2},    {0, false, true, true, 20, 8},
      {10, true, false, false, 20, 8},   {6, true, false, true, 20, 0},       // not below 0
      {318, false, true, true, 20, 320}, {320, false, true, false, 20, 320},  // (20 - 10) x 32
      {0, false, true, false, 10, 0},    {0, false, true, false, 4, 0},       // one screen or less: no scroll
      {40, true, true, false, 20, 40},                                        // both held: back and forth
  };
  for (const Case& c : cases)
    EXPECT_EQ(app::viewerScroll(c.scroll, c.left, c.right, c.shift, c.width), c.expected)
        << c.scroll << " " << c.left << c.right << c.shift << " " << c.width;
}

SDL_Event keyDown(SDL_Scancode key) {
  SDL_Event event{};
  event.type = SDL_KEYDOWN;
  event.key.keysym.scancode = key;
  return event;
}

TEST(Viewer, PagesThroughTheAreasOfTheDataSet) {
  setenv("SDL_VIDEODRIVER", "offscreen", 0);
  app::Data data;
  data.dataDirectory = GROVANTA_SOURCE_DIR;
  ASSERT_TRUE(app::loadWorldInto(data));
  const std::vector<world::Area>& areas = data.world->areas;
  ASSERT_GE(areas.size(), 3u);

  app::AreaViewer viewer(data, areas[areas.size() - 2].id, true, 0, true);
  ASSERT_TRUE(viewer.open());
  render::RenderAssets assets(data.dataDirectory, *data.world);
  auto expectShows = [&](int area) {
    ASSERT_TRUE(viewer.pass());
    EXPECT_EQ(viewer.area(), area);
    EXPECT_EQ(viewer.scroll(), 0);
    ASSERT_TRUE(viewer.frame());
    const std::optional<render::Frame> expected = render::renderArea(assets, area, 0, {});
    ASSERT_TRUE(expected);
    EXPECT_EQ(viewer.frame()->pixels, expected->pixels) << "area " << area;
    EXPECT_EQ(viewer.frame()->cram, expected->cram) << "area " << area;
  };
  expectShows(areas[areas.size() - 2].id);
  viewer.handleEvent(keyDown(SDL_SCANCODE_PAGEUP));
  expectShows(areas.back().id);
  viewer.handleEvent(keyDown(SDL_SCANCODE_PAGEUP));
  expectShows(areas.front().id);
  // Checked by hand: the meadow (area 0) at scroll 0 shows open sky between its clouds and its hills, in
  // the backdrop colour, colour 0 of the hero's line ("457" in data/palettes.json: red 4, green 5, blue 7).
  ASSERT_EQ(areas.front().id, 0);
  ASSERT_TRUE(viewer.frame());
  const std::vector<std::uint32_t> shown = render::toRgb(*viewer.frame());
  const std::uint32_t sky = 0xFF000000u | (4 * 255 / 7) << 16 | (5 * 255 / 7) << 8 | (7 * 255 / 7);
  int notSky = 0;
  for (int y = 52; y < 90; ++y)
    for (int x = 40; x < 320; ++x) notSky += shown[static_cast<std::size_t>(y * 320 + x)] != sky;
  EXPECT_EQ(notSky, 0) << "pixels of the meadow's sky (rows 52-89 right of its wall) in another colour";
  viewer.handleEvent(keyDown(SDL_SCANCODE_PAGEDOWN));
  viewer.handleEvent(keyDown(SDL_SCANCODE_PAGEDOWN));
  expectShows(areas[areas.size() - 2].id);

  viewer.handleEvent(keyDown(SDL_SCANCODE_ESCAPE));
  EXPECT_FALSE(viewer.pass());
  EXPECT_EQ(viewer.result(), 0);
  viewer.close();
}

}  // namespace
