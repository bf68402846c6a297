// grovanta_atlas DATA_DIR OUT_DIR: writes OUT_DIR/area_NN.png (the whole area, 192 lines high, drawn
// screen by screen through the program's own area renderer) and OUT_DIR/contact_sheet.png (the first
// screen of every area at half size, seven to a row). For looking at the world; nothing is committed.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <vector>

#include <lodepng.h>

#include "render/area_render.h"
#include "render/render_assets.h"
#include "render/video_chip.h"
#include "sim/rom_view.h"
#include "world/world.h"

namespace {

constexpr unsigned kLines = 192;

void putRgba(std::vector<unsigned char>& image, unsigned width, unsigned x, unsigned y, std::uint32_t argb) {
  std::size_t at = (static_cast<std::size_t>(y) * width + x) * 4;
  image[at] = static_cast<unsigned char>(argb >> 16);
  image[at + 1] = static_cast<unsigned char>(argb >> 8);
  image[at + 2] = static_cast<unsigned char>(argb);
  image[at + 3] = 255;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: grovanta_atlas DATA_DIR OUT_DIR\n");
    return 2;
  }
  std::filesystem::path data = argv[1], out = argv[2];
  auto world = world::loadWorld(data);
  if (!world) return 1;
  auto rom = sim::loadRomView(data, *world);
  render::RenderAssets assets(data, *world, &rom);
  std::filesystem::create_directories(out);

  const unsigned perRow = 7, cellW = 160, cellH = kLines / 2;
  const unsigned rows = static_cast<unsigned>((world->areas.size() + perRow - 1) / perRow);
  std::vector<unsigned char> sheet(static_cast<std::size_t>(perRow * cellW) * rows * cellH * 4, 0);
  int failures = 0;
  for (std::size_t n = 0; n < world->areas.size(); ++n) {
    const auto& area = world->areas[n];
    const unsigned width = static_cast<unsigned>(area.width) * 32;
    std::vector<unsigned char> image(static_cast<std::size_t>(width) * kLines * 4, 0);
    for (unsigned left = 0; left < width; left += 320) {
      // Screen x shows area x + camera_x + 1.
      int camera = static_cast<int>(std::min(left, width - 320)) - 1;
      auto frame = render::renderArea(assets, area.id, camera, {});
      if (!frame) {
        ++failures;
        break;
      }
      auto rgb = render::toRgb(*frame);
      for (unsigned y = 0; y < kLines; ++y)
        for (unsigned x = 0; x < 320; ++x) {
          unsigned ax = static_cast<unsigned>(camera + 1) + x;
          if (ax < width) putRgba(image, width, ax, y, rgb[y * 320 + x]);
          if (left == 0 && x % 2 == 0 && y % 2 == 0)
            putRgba(sheet, perRow * cellW, static_cast<unsigned>(n % perRow) * cellW + x / 2,
                    static_cast<unsigned>(n / perRow) * cellH + y / 2, rgb[y * 320 + x]);
        }
    }
    char name[32];
    std::snprintf(name, sizeof name, "area_%02d.png", area.id);
    lodepng::encode((out / name).string(), image, width, kLines);
  }
  lodepng::encode((out / "contact_sheet.png").string(), sheet, perRow * cellW, rows * cellH);
  std::printf("%zu areas drawn into %s\n", world->areas.size() - failures, out.string().c_str());
  return failures ? 1 : 0;
}
