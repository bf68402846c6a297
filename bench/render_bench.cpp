// Composing a full game picture: both planes, the status panel window and 80 sprites.
#include <benchmark/benchmark.h>

#include <random>

#include "render/video_chip.h"

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
