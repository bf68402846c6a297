// grovanta_atlas DATA_DIR OUT_DIR: writes OUT_DIR/area_NN.png (the whole area, 192 lines high, drawn
// screen by screen through the program's own area renderer), OUT_DIR/contact_sheet.png (the first
// screen of every area at half size, seven to a row) and OUT_DIR/world_N.png (every area whole, cut into
// strips four screens wide and stacked, a few areas to a page, for looking over the world at a glance).
// For looking at the world; nothing is committed.
// It also prints a table of figures per area, for judging how much shape and variety each one has:
// the distinct heights a hero can stand at, the longest stretch of floor at one height, and the
// distinct 8 x 8 patterns a screen shows (averaged over the area's screens), and the longest stretch
// where nothing changes (the same column of blocks over and over, with no item or actor on it).
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <set>
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

bool cellSolid(const world::Area& area, int cx, int cy) {
  if (cx < 0 || cy < 0 || cy >= 24 || cx >= area.width * 4) return false;
  const std::size_t byte = static_cast<std::size_t>(cx) * 3 + static_cast<std::size_t>(cy / 8);
  return byte < area.collision.size() && ((area.collision[byte] >> (cy & 7)) & 1);
}

struct Figures {
  int floorHeights = 0;  // distinct y of surfaces (a solid cell under an open one)
  int longestFlat = 0;   // pixels of the longest run of 8-pixel columns whose floor is at one height
  double patterns = 0;   // distinct patterns of the blocks on a screen, averaged over the screens
  int longestPlain = 0;  // pixels of the longest run of identical block columns with nothing on them
};

// The longest run of 32-pixel columns that repeat the column before them, with no item or actor
// standing in them: a stretch where the player meets nothing new.
int longestPlainOf(const world::Area& area) {
  std::vector<bool> occupied(static_cast<std::size_t>(area.width), false);
  auto mark = [&](int x) {
    if (x >= 0 && x / 32 < area.width) occupied[static_cast<std::size_t>(x / 32)] = true;
  };
  for (const auto& item : area.items) mark(item.x);
  for (const auto& actor : area.actors)
    if (actor.size() >= 6) mark(static_cast<std::int16_t>((actor[4] << 8) | actor[5]));
  int best = 0, run = 0;
  for (int column = 0; column < area.width; ++column) {
    const auto at = static_cast<std::size_t>(column) * 6;
    const bool same = column > 0 && at + 6 <= area.map.size() &&
                      std::equal(area.map.begin() + static_cast<std::ptrdiff_t>(at),
                                 area.map.begin() + static_cast<std::ptrdiff_t>(at + 6),
                                 area.map.begin() + static_cast<std::ptrdiff_t>(at - 6));
    run = occupied[static_cast<std::size_t>(column)] ? 0 : (same && run > 0 ? run + 1 : 1);
    best = std::max(best, run);
  }
  return best * 32;
}

Figures figuresOf(const world::Area& area) {
  Figures f;
  const int cells = area.width * 4;
  std::set<int> heights;
  int runFloor = -1, run = 0;
  for (int cx = 0; cx < cells; ++cx) {
    for (int cy = 1; cy < 24; ++cy)
      if (cellSolid(area, cx, cy) && !cellSolid(area, cx, cy - 1)) heights.insert(cy * 8);
    // The floor a walker follows: the lowest open cell resting on a solid one.
    int floor = -1;
    for (int cy = 23; cy >= 1; --cy)
      if (cellSolid(area, cx, cy) && !cellSolid(area, cx, cy - 1)) {
        floor = cy * 8;
        break;
      }
    run = (floor >= 0 && floor == runFloor) ? run + 1 : (floor >= 0 ? 1 : 0);
    runFloor = floor;
    f.longestFlat = std::max(f.longestFlat, run * 8);
  }
  f.floorHeights = static_cast<int>(heights.size());
  int screens = 0, total = 0;
  for (int left = 0; left < cells; left += 40) {
    const int first = std::max(0, std::min(left, cells - 40));
    std::set<int> seen;
    for (int cx = first; cx < std::min(cells, first + 40); ++cx)
      for (int cy = 0; cy < 24; ++cy) {
        const std::size_t at = static_cast<std::size_t>(cx / 4) * 6 + static_cast<std::size_t>(cy / 4);
        if (at >= area.map.size() || area.map[at] >= area.blocks.size()) continue;
        seen.insert(area.blocks[area.map[at]][static_cast<std::size_t>(4 * (cx % 4) + cy % 4)] & 0x7FF);
      }
    total += static_cast<int>(seen.size());
    ++screens;
  }
  f.patterns = screens ? static_cast<double>(total) / screens : 0;
  f.longestPlain = longestPlainOf(area);
  return f;
}

// The pages of whole areas: each area cut into strips kStripWidth wide, stacked with a dark gap
// between areas, a new page once a page would pass kPageLines.
class WorldPages {
 public:
  explicit WorldPages(std::filesystem::path out) : out_(std::move(out)) {}

  void add(const std::vector<unsigned char>& image, unsigned width) {
    const unsigned strips = (width + kStripWidth - 1) / kStripWidth;
    const unsigned lines = strips * (kLines + kStripGap) + kAreaGap;
    if (lines_ > 0 && lines_ + lines > kPageLines) flush();
    page_.resize(static_cast<std::size_t>(kStripWidth) * (lines_ + lines) * 4, 0);
    for (unsigned s = 0; s < strips; ++s)
      for (unsigned y = 0; y < kLines; ++y)
        for (unsigned x = 0; x < kStripWidth && s * kStripWidth + x < width; ++x) {
          const std::size_t from = (static_cast<std::size_t>(y) * width + s * kStripWidth + x) * 4;
          const std::size_t to =
              (static_cast<std::size_t>(lines_ + s * (kLines + kStripGap) + y) * kStripWidth + x) * 4;
          std::copy(image.begin() + static_cast<std::ptrdiff_t>(from),
                    image.begin() + static_cast<std::ptrdiff_t>(from + 4),
                    page_.begin() + static_cast<std::ptrdiff_t>(to));
        }
    lines_ += lines;
  }

  void flush() {
    if (lines_ == 0) return;
    char name[32];
    std::snprintf(name, sizeof name, "world_%d.png", ++pages_);
    lodepng::encode((out_ / name).string(), page_, kStripWidth, lines_);
    page_.clear();
    lines_ = 0;
  }

 private:
  static constexpr unsigned kStripWidth = 1280, kStripGap = 2, kAreaGap = 10, kPageLines = 1400;
  std::filesystem::path out_;
  std::vector<unsigned char> page_;
  unsigned lines_ = 0;
  int pages_ = 0;
};

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
  WorldPages pages(out);
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
    if (!area.map.empty()) pages.add(image, width);
  }
  pages.flush();
  std::printf(
      "| area | floor heights | longest flat stretch (px) | patterns on a screen | longest plain stretch (px) "
      "|\n|---|---|---|---|---|\n");
  for (const auto& area : world->areas) {
    if (area.map.empty()) continue;
    const Figures f = figuresOf(area);
    std::printf("| %d | %d | %d | %.1f | %d |\n", area.id, f.floorHeights, f.longestFlat, f.patterns, f.longestPlain);
  }
  lodepng::encode((out / "contact_sheet.png").string(), sheet, perRow * cellW, rows * cellH);
  std::printf("%zu areas drawn into %s\n", world->areas.size() - failures, out.string().c_str());
  return failures ? 1 : 0;
}
