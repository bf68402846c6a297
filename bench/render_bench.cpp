// Composing a full game picture: both planes, the status panel window and 80 sprites.
#include <benchmark/benchmark.h>

#include <random>

#include "render/area_render.h"
#include "render/video_chip.h"
#include "world/world.h"

namespace {

render::VideoChip makeGamePicture() {
  std::mt19937 random(7);
  render::VideoChip chip;
  for (auto& pattern : chip.patterns)
    for (auto& p : pattern) p = static_cast<std::uint8_t>(random() % 4 == 0 ? 0 : random() % 16);
  for (render::Plane* plane : {&chip.plane_a, &chip.plane_b, &chip.window})
    for (auto& cell : plane->cells) cell = static_cast<std::uint16_t>(random() & 0xFFFF);
  chip.hscroll_a = 137;
  chip.hscroll_b = 68;
  chip.window_v = 0x98;  // panel under line 192
  chip.background = 32;
  for (int i = 0; i < 80; ++i) {
    render::Sprite s;
    s.x = static_cast<int>(random() % 352) - 16;
    s.y = static_cast<int>(random() % 224) - 16;
    s.width = 1 + static_cast<int>(random() % 4);
    s.height = 1 + static_cast<int>(random() % 4);
    s.first = static_cast<std::uint16_t>(random() % 2048);
    s.palette = static_cast<std::uint8_t>(random() % 4);
    s.priority = random() % 2;
    s.hflip = random() % 2;
    s.vflip = random() % 2;
    chip.sprites.push_back(s);
  }
  return chip;
}

void BM_ComposeGamePicture(benchmark::State& state) {
  const render::VideoChip chip = makeGamePicture();
  for (auto _ : state) {
    render::Frame frame = render::compose(chip);
    benchmark::DoNotOptimize(frame.pixels.data());
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ComposeGamePicture);

void BM_ToRgb(benchmark::State& state) {
  const render::Frame frame = render::compose(makeGamePicture());
  for (auto _ : state) {
    auto rgb = render::toRgb(frame);
    benchmark::DoNotOptimize(rgb.data());
  }
}
BENCHMARK(BM_ToRgb);

}  // namespace

namespace {

// A fresh chip per frame, as the game renderer makes one: set-up, blocks, scroll and composition of a
// 40-column area with a backdrop behind.
void BM_AreaFrame(benchmark::State& state) {
  world::World world;
  world::Area area;
  area.id = 1;
  area.width = 40;
  area.area_patterns = 600;
  area.backdrop_patterns = 300;
  for (int b = 0; b < 120; ++b) {
    std::vector<std::uint16_t> block(16);
    for (int w = 0; w < 16; ++w) block[static_cast<std::size_t>(w)] = static_cast<std::uint16_t>((b * 16 + w) % 600);
    area.blocks.push_back(block);
  }
  for (int i = 0; i < 40 * 6; ++i) area.map.push_back(static_cast<std::uint8_t>(i * 7 % 120));
  area.backdrop = std::vector<std::vector<std::uint16_t>>(24, std::vector<std::uint16_t>(32, 5));
  std::mt19937 random(3);
  std::vector<render::Pattern> patterns(900);
  for (auto& pattern : patterns)
    for (auto& p : pattern) p = static_cast<std::uint8_t>(random() % 16);
  int camera = 0;
  for (auto _ : state) {
    render::VideoChip chip;
    render::setUpArea(chip, world, area, patterns, 0);
    render::drawArea(chip, area, camera, {});
    render::scrollArea(chip, area, camera);
    render::Frame frame = render::compose(chip);
    benchmark::DoNotOptimize(frame.pixels.data());
    camera = (camera + 3) % 900;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_AreaFrame);

}  // namespace
