#include "render/area_render.h"

#include <array>
#include <cstdio>
#include <span>

#include "base/asset_store.h"
#include "base/log.h"
#include "render/frame_png.h"
#include "render/render_assets.h"
#include "world/world.h"

namespace render {

namespace {

constexpr int kPanelFirstPattern = 0x780;          // panel patterns live at the end of the store
constexpr std::uint16_t kPanelPlainTile = 0x4790;  // pattern 1936, palette line 2
constexpr int kPlayFieldLines = 192;

// The line-1 palette of a variant, or nullptr when the area has none or the index points nowhere.
const world::PaletteLine* variantLine(const world::Area& area, int variant) {
  if (area.variant_index.empty() || area.variant_lines.empty()) return nullptr;
  const std::size_t slot = static_cast<std::size_t>(variant & 3);
  if (slot >= area.variant_index.size()) return nullptr;
  const std::int32_t index = area.variant_index[slot];
  if (index < 0 || static_cast<std::size_t>(index) >= area.variant_lines.size()) return nullptr;
  return &area.variant_lines[static_cast<std::size_t>(index)];
}

std::uint16_t wordAt(std::span<const std::uint16_t> line, std::size_t i) {
  return i < line.size() ? line[i] : 0;
}

}  // namespace

void setUpArea(VideoChip& chip, const world::World& world, const world::Area& area,
               const std::vector<Pattern>& areaPatterns, int paletteVariant) {
  chip.loadPatterns(0, areaPatterns);

  chip.cram.fill(0);
  chip.setPaletteLine(0, area.line0);
  if (const world::PaletteLine* variant = variantLine(area, paletteVariant))
    chip.setPaletteLine(1, *variant);
  else if (area.line1)
    chip.setPaletteLine(1, *area.line1);
  chip.setPaletteLine(2, world.brumo_line2);
  if (area.line3) chip.setPaletteLine(3, *area.line3);

  chip.background = 32;  // colour 0 of line 2
  chip.plane_a.clear();
  chip.plane_b.clear();

  if (!area.backdrop) return;
  // The backdrop uses line 1 and follows the block patterns in the store; it is repeated across plane B
  // when it scrolls, and drawn once with priority when it stands in front.
  const std::uint16_t base = area.backdrop_front ? 0xA000 : 0x2000;
  const auto& rows = *area.backdrop;
  for (int r = 0; r < 24 && static_cast<std::size_t>(r) < rows.size(); ++r) {
    const auto& row = rows[static_cast<std::size_t>(r)];
    for (int c = 0; c < 32 && static_cast<std::size_t>(c) < row.size(); ++c) {
      const std::uint16_t word =
          static_cast<std::uint16_t>((base | row[static_cast<std::size_t>(c)]) + area.area_patterns);
      chip.plane_b.set(r, c, word);
      if (!area.backdrop_front) chip.plane_b.set(r, c + 32, word);
    }
  }
}

void drawArea(VideoChip& chip, const world::Area& area, int cameraX, const std::vector<int>& animationBlocks) {
  std::array<int, 256> blockMap;
  for (int b = 0; b < 256; ++b) blockMap[static_cast<std::size_t>(b)] = b;
  for (std::size_t i = 0; i < area.animations.size(); ++i) {
    const world::BlockAnimation& animation = area.animations[i];
    if (animation.block < 0 || animation.block > 255 || animation.frames.empty()) continue;
    blockMap[static_cast<std::size_t>(animation.block)] =
        i < animationBlocks.size() ? animationBlocks[i] : animation.frames[0];
  }

  const int blockCount = static_cast<int>(area.blocks.size());
  const int firstColumn = (cameraX - 32) >> 5;
  for (int k = firstColumn; k < firstColumn + 12; ++k) {
    if (k < 0 || k >= area.width) continue;
    const int base = (4 * k) & 63;
    for (int j = 0; j < 6; ++j) {
      const std::size_t mapIndex = static_cast<std::size_t>(k) * 6 + static_cast<std::size_t>(j);
      if (mapIndex >= area.map.size()) continue;
      const int n = blockMap[area.map[mapIndex]];
      if (n < 0 || n >= blockCount) continue;
      const std::uint16_t line3 = n < area.blocks_line3 ? 0x6000 : 0;
      const std::vector<std::uint16_t>& block = area.blocks[static_cast<std::size_t>(n)];
      for (int q = 0; q < 4; ++q)
        for (int s = 0; s < 4; ++s) {
          const std::size_t w = static_cast<std::size_t>(4 * q + s);
          if (w < block.size()) chip.plane_a.set(4 * j + s, base + q, block[w] | line3);
        }
    }
  }
}

void scrollArea(VideoChip& chip, const world::Area& area, int cameraX) {
  const std::uint16_t s = static_cast<std::uint16_t>((511 - cameraX) & 511);
  chip.hscroll_a = area.width == 10 ? 0 : s;
  chip.hscroll_b = area.backdrop_front ? 32 : static_cast<std::uint16_t>(s >> 1);
  chip.vscroll_a = 0;
  chip.vscroll_b = 0;
}

void fadeVariant(VideoChip& chip, const world::Area& area, int paletteVariant, int paletteFadeStep) {
  const world::PaletteLine* from = variantLine(area, paletteVariant - 1);
  const world::PaletteLine* to = variantLine(area, paletteVariant);
  if (!from || !to) return;
  if (paletteFadeStep <= 0) {
    chip.setPaletteLine(1, *from);
    return;
  }
  const int k = (paletteFadeStep - 1) >> 1;
  std::vector<std::uint16_t> line(16, 0);
  for (std::size_t i = 0; i < 16; ++i) {
    const std::uint16_t f = wordAt(*from, i), t = wordAt(*to, i);
    if (k == 0)
      line[i] = f;
    else if (k == 16)
      line[i] = t;
    else {
      std::uint16_t mixed = 0;
      for (int shift = 0; shift <= 8; shift += 4) {
        const int fg = (f >> shift) & 0xF, tg = (t >> shift) & 0xF;
        mixed = static_cast<std::uint16_t>(mixed | (((fg + (((tg - fg) * k) >> 4)) & 0xF) << shift));
      }
      line[i] = mixed;
    }
  }
  chip.setPaletteLine(1, line);
}

void drawStatusPanel(VideoChip& chip, const RenderAssets& assets) {
  chip.loadPatterns(kPanelFirstPattern, assets.panel_patterns);
  chip.loadPatterns(kPanelFirstPattern + static_cast<int>(assets.panel_patterns.size()), assets.status_panel_patterns);
  const int tableBase = kPanelFirstPattern + static_cast<int>(assets.panel_patterns.size());
  for (int i = 0; i < 4; ++i) {
    for (int column = 0; column < 64; ++column) {
      const std::size_t index = static_cast<std::size_t>(40 * i + column);
      std::uint16_t word = 0;
      if (column < 40 && index < assets.status_panel_table.size())
        word = static_cast<std::uint16_t>((assets.status_panel_table[index] | 0xC000) + tableBase);
      chip.window.set(24 + i, column, word);
      chip.plane_b.set(24 + i, column, kPanelPlainTile);
    }
  }
  chip.window.set(26, 9, 0xC780);
  chip.window_h = 0x00;
  chip.window_v = 0x98;  // the window covers lines 192 and below
}

void drawPanelNumbers(VideoChip& chip, std::int64_t score, std::int64_t lives) {
  int value = static_cast<int>(static_cast<std::uint16_t>(score));
  for (int column = 8; column >= 4; --column) {
    chip.window.set(26, column, static_cast<std::uint16_t>(0xC000 | (kPanelFirstPattern + value % 10)));
    value /= 10;
  }
  for (int k = 0; k < 6; ++k)
    chip.window.set(26, 30 + k, static_cast<std::uint16_t>(0xC000 | (0x790 + (lives > k ? 1 : 0))));
}

std::optional<std::vector<int>> advanceBlockAnimations(std::vector<std::uint8_t>& blockAnims, const world::Area& area) {
  const std::size_t count = area.animations.size();
  if (blockAnims.size() < 8 * count) return std::nullopt;
  auto readWord = [&](std::size_t at) {
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(blockAnims[at] << 8 | blockAnims[at + 1]));
  };
  auto writeWord = [&](std::size_t at, int value) {
    blockAnims[at] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
    blockAnims[at + 1] = static_cast<std::uint8_t>(value & 0xFF);
  };
  std::vector<int> current;
  current.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    const world::BlockAnimation& animation = area.animations[i];
    const std::size_t record = 8 * i;
    std::int16_t timer = static_cast<std::int16_t>(static_cast<std::uint16_t>(readWord(record + 2) - 1));
    writeWord(record + 2, timer);
    if (timer < 0) {
      writeWord(record + 2, animation.delay);
      int index = readWord(record + 4) + 1;
      const int frames = static_cast<int>(animation.frames.size());
      if (index < 0 || index >= frames) index = animation.loop;
      if (index < 0 || index >= frames) return std::nullopt;
      writeWord(record + 4, index);
      writeWord(record, animation.frames[static_cast<std::size_t>(index)]);
    }
    current.push_back(readWord(record));
  }
  return current;
}

std::optional<Frame> renderArea(RenderAssets& assets, int areaId, int cameraX,
                                const std::vector<int>& animationBlocks) {
  const world::Area* area = world::findArea(assets.world(), areaId);
  if (!area) {
    app::logMessage(app::kError, "no area %d", areaId);
    return std::nullopt;
  }
  const std::vector<Pattern>* patterns = assets.areaPatterns(*area);
  if (!patterns) return std::nullopt;
  VideoChip chip;
  setUpArea(chip, assets.world(), *area, *patterns, 0);
  drawArea(chip, *area, cameraX, animationBlocks);
  scrollArea(chip, *area, cameraX);
  return compose(chip);
}

int renderAreaToFile(RenderAssets& assets, int areaId, int cameraX, const std::filesystem::path& path) {
  std::optional<Frame> frame = renderArea(assets, areaId, cameraX, {});
  if (!frame) return 1;

  std::string error;
  const std::vector<unsigned char> png = encodeIndexedPng(*frame, kPlayFieldLines, &error);
  if (png.empty()) {
    app::logMessage(app::kError, "%s: %s", path.string().c_str(), error.c_str());
    return 1;
  }
  if (!app::writeFile(path, png)) return 1;  // the writer has logged why
  std::printf("area %d at camera %d -> %s\n", areaId, cameraX, path.string().c_str());
  return 0;
}

}  // namespace render
