#include "render/screen_sprites.h"

#include <algorithm>

#include "app/log.h"
#include "render/area_render.h"
#include "render/render_assets.h"
#include "sim/game_state.h"
#include "sim/rom_view.h"
#include "world/world.h"

namespace render::screens {

namespace {

constexpr int kMaxBanks = 256;
constexpr int kMaxSelections = 4096;
constexpr std::uint32_t kAreaBankLists = 0x03E844;

// Reads cartridge words and longs, noting whether any byte was not exported (the view records it too).
struct TableReader {
  const sim::RomView& rom;
  bool missing = false;
  std::uint8_t byte(std::uint32_t a) {
    if (!rom.isPresent(a)) missing = true;
    return rom.byteAt(a);
  }
  std::uint16_t word(std::uint32_t a) { return static_cast<std::uint16_t>(byte(a) << 8 | byte(a + 1)); }
  std::uint32_t longAt(std::uint32_t a) { return static_cast<std::uint32_t>(word(a)) << 16 | word(a + 2); }
};

std::vector<Selection> readSelections(TableReader& in, std::uint32_t address) {
  std::vector<Selection> out;
  for (int i = 0; i < kMaxSelections && !in.missing; ++i, address += 10) {
    Selection s;
    s.attribute = in.word(address);
    if (s.attribute == 0xFFFF) break;
    s.x = static_cast<std::int16_t>(in.word(address + 2));
    s.y = static_cast<std::int16_t>(in.word(address + 4));
    s.width = in.word(address + 6);
    s.height = in.word(address + 8);
    out.push_back(s);
  }
  return out;
}

Pattern mirrored(const Pattern& p, bool h, bool v) {
  Pattern out{};
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) out[static_cast<std::size_t>(y * 8 + x)] = p[static_cast<std::size_t>((v ? 7 - y : y) * 8 + (h ? 7 - x : x))];
  return out;
}

std::uint16_t rotr16(std::uint16_t v, int n) { return static_cast<std::uint16_t>((v >> n) | (v << (16 - n))); }

struct Entry {
  std::uint16_t y, size, attr, x;
};

std::vector<Entry> attributeTable(const SpriteFrameList& list, const std::vector<sim::SpriteCall>& calls) {
  std::vector<Entry> table;
  auto link = [&] { return static_cast<std::uint16_t>((table.size() + 1) & 0xFF); };
  for (const auto& call : calls) {
    const auto number = static_cast<std::int32_t>(call.frame);
    if (number < 0 || number >= static_cast<std::int32_t>(list.frames.size())) continue;
    const SpriteFrame& f = list.frames[static_cast<std::size_t>(number)];
    const auto a = f.attribute;
    const auto c = static_cast<std::uint16_t>(call.attributes);
    const auto cx = static_cast<std::uint16_t>(call.x), cy = static_cast<std::uint16_t>(call.y);
    const int w = f.width, h = f.height;
    if (w <= 4 && h <= 4) {
      table.push_back({cy, static_cast<std::uint16_t>(((w - 1) << 2 | (h - 1)) << 8 | link()),
                       static_cast<std::uint16_t>(f.first | rotr16(a, 3) | rotr16(c, 5)), cx});
      continue;
    }
    // A large frame goes out in pieces of at most 4 x 4 cells; only the call's flips and priority apply.
    const bool hf = c & 1, vf = c & 2;
    int x = cx + (hf ? 8 * w - 32 : 0);
    const int startY = cy + (vf ? 8 * h - 32 : 0);
    int o = f.first;
    for (int done = 0; done < w;) {
      const int t = std::min(4, w - done);
      if (t < 4 && hf) x += 8 * (4 - t);
      int y = startY;
      for (int rows = 0; rows < h;) {
        const int u = std::min(4, h - rows);
        if (u < 4 && vf) y += 8 * (4 - u);
        table.push_back({static_cast<std::uint16_t>(y), static_cast<std::uint16_t>(((t - 1) << 2 | (u - 1)) << 8 | link()),
                         static_cast<std::uint16_t>(o | rotr16(a, 3) | rotr16(static_cast<std::uint16_t>(c & 0x13), 5)),
                         static_cast<std::uint16_t>(x)});
        o += u * t;
        y += vf ? -8 * u : 8 * u;
        rows += u;
      }
      x += hf ? -8 * t : 8 * t;
      done += t;
    }
  }
  if (!table.empty()) table.back().size &= 0x0F00;
  return table;
}

std::vector<Sprite> spritesOf(const SpriteFrameList& list, const std::vector<sim::SpriteCall>& calls) {
  auto sep = std::find_if(calls.begin(), calls.end(), [](const sim::SpriteCall& c) { return static_cast<std::int32_t>(c.frame) == -2; });
  if (sep != calls.end()) {
    // The part after the separator is laid down first; the part before overwrites its start.
    std::vector<sim::SpriteCall> head(calls.begin(), sep), tail(sep + 1, calls.end());
    std::vector<Sprite> t = spritesOf(list, tail);
    std::vector<Sprite> h = spritesOf(list, head);
    for (std::size_t i = h.size(); i < t.size(); ++i) h.push_back(t[i]);
    return h;
  }
  std::vector<Sprite> out;
  for (const Entry& e : attributeTable(list, calls)) {
    if (out.size() == 80) break;
    Sprite s;
    s.x = (e.x & 0x1FF) - 128;
    s.y = (e.y & 0x3FF) - 128;
    s.width = ((e.size >> 10) & 3) + 1;
    s.height = ((e.size >> 8) & 3) + 1;
    s.first = static_cast<std::uint16_t>(e.attr & 0x7FF);
    s.hflip = e.attr & 0x0800;
    s.vflip = e.attr & 0x1000;
    s.palette = static_cast<std::uint8_t>((e.attr >> 13) & 3);
    s.priority = e.attr & 0x8000;
    out.push_back(s);
  }
  return out;
}

void uploadObjectGraphics(VideoChip& chip, const SpriteFrameList& list, const sim::GameState& state,
                          const std::vector<Pattern>& objectPatterns) {
  if (list.frames.size() < 3) return;
  int d = list.frames[2].first;
  const auto count = std::min<std::int64_t>(state.objects_here_count, 32);
  auto be32 = [](const std::vector<std::uint8_t>& b, std::size_t at) -> std::uint32_t {
    if (at + 4 > b.size()) return 0;
    return static_cast<std::uint32_t>(b[at]) << 24 | b[at + 1] << 16 | b[at + 2] << 8 | b[at + 3];
  };
  for (std::int64_t i = 0; i < count; ++i, d += 4) {
    const auto address = static_cast<std::int64_t>(be32(state.objects_here, static_cast<std::size_t>(4 * i)));
    const std::int64_t index = (address - 0xFFFFAC62LL) / 16;
    if (index < 0 || index > 61) continue;
    const std::size_t at = static_cast<std::size_t>(16 * index + 6);
    if (at + 2 > state.objects.size()) continue;
    const int g = static_cast<std::int16_t>(state.objects[at] << 8 | state.objects[at + 1]);
    for (int k = 0; k < 4; ++k) {
      const int source = 4 * g + k, target = d + k;
      if (source >= 0 && source < static_cast<int>(objectPatterns.size()) && target < kPatternStoreSize)
        chip.patterns[static_cast<std::size_t>(target)] = objectPatterns[static_cast<std::size_t>(source)];
    }
  }
}

}  // namespace

bool loadSelections(VideoChip& chip, const PictureMap& pictures, std::uint32_t bank,
                    const std::vector<Selection>& selections, SpriteFrameList& list) {
  auto it = pictures.find(bank);
  if (it == pictures.end()) {
    app::logMessage(app::kError, "sprite bank %06X is not an exported picture", bank);
    return false;
  }
  const Picture& pic = it->second;
  list.palette = pic.palette;
  for (const Selection& s : selections) {
    if (s.x < 0) {
      const std::size_t k = static_cast<std::size_t>(-static_cast<int>(s.x));
      if (k >= list.frames.size()) {
        if (list.frames.empty()) {
          list.frames.push_back({0, s.width, s.height, s.attribute});
          continue;
        }
        app::logMessage(app::kError, "a sprite selection of bank %06X reuses frame %zu before it exists", bank, k);
        return false;
      }
      SpriteFrame copy = list.frames[k];
      copy.attribute = s.attribute;
      list.frames.push_back(copy);
      continue;
    }
    list.frames.push_back({list.next_pattern, s.width, s.height, s.attribute});
    for (int c0 = 0; c0 < s.width; c0 += 4) {
      for (int r0 = 0; r0 < s.height; r0 += 4) {
        for (int c = c0; c < std::min<int>(c0 + 4, s.width); ++c) {
          for (int r = r0; r < std::min<int>(r0 + 4, s.height); ++r) {
            const int column = s.x + c, row = s.y + r;
            if (column >= pic.width || row >= pic.height) {
              app::logMessage(app::kError, "a sprite selection of bank %06X is outside it", bank);
              return false;
            }
            const std::uint16_t n = pic.names[static_cast<std::size_t>(row * pic.width + column)];
            if ((n & 0x7FF) < pic.patterns.size() && list.next_pattern < kPatternStoreSize)
              chip.patterns[static_cast<std::size_t>(list.next_pattern)] = mirrored(pic.patterns[n & 0x7FF], n & 0x0800, n & 0x1000);
            ++list.next_pattern;
          }
        }
      }
    }
  }
  return true;
}

std::optional<SpriteFrameList> loadBankList(VideoChip& chip, const sim::RomView& rom, const PictureMap& pictures,
                                      std::uint32_t address, int first) {
  SpriteFrameList list;
  list.next_pattern = first;
  bool counted = false;
  for (int i = 0; i < kMaxBanks; ++i) {
    TableReader in{rom};
    const std::uint32_t entry = address + 8 * static_cast<std::uint32_t>(i);
    const std::uint32_t bank = in.longAt(entry);
    if (!in.missing && bank == 0xFFFFFFFF) break;
    std::vector<Selection> selections;
    if (!in.missing) selections = readSelections(in, in.longAt(entry + 4));
    if (in.missing) {
      app::logMessage(app::kError, "the sprite bank list %06X reads a ROM table that was not exported", address);
      return std::nullopt;
    }
    if (!loadSelections(chip, pictures, bank, selections, list)) return std::nullopt;
    if (!counted && !list.frames.empty()) {
      list.first_bank_frames = static_cast<std::int32_t>(list.frames.size());
      counted = true;
    }
  }
  return list;
}

bool loadBankEntry(VideoChip& chip, const sim::RomView& rom, const PictureMap& pictures, std::uint32_t entry,
                   SpriteFrameList& list) {
  TableReader in{rom};
  const std::uint32_t bank = in.longAt(entry);
  std::vector<Selection> selections;
  if (!in.missing) selections = readSelections(in, in.longAt(entry + 4));
  if (in.missing) {
    app::logMessage(app::kError, "the sprite bank entry %06X reads a ROM table that was not exported", entry);
    return false;
  }
  return loadSelections(chip, pictures, bank, selections, list);
}

void placeSprites(VideoChip& chip, const SpriteFrameList& frames, const std::vector<sim::SpriteCall>& calls) {
  chip.sprites = spritesOf(frames, calls);
}

void uploadHeroFrame(VideoChip& chip, int first, std::int64_t spriteFrame, std::int64_t expression,
                     const std::vector<Pattern>& heroFrames) {
  int f = static_cast<std::int16_t>(spriteFrame);
  if (f < 2) f += expression == 1 ? 28 : expression == 2 ? 38 : 0;
  f &= 0x7F;
  for (int k = 0; k < 9; ++k) {
    const int source = 9 * f + k, target = first + k;
    if (source < static_cast<int>(heroFrames.size()) && target >= 0 && target < kPatternStoreSize)
      chip.patterns[static_cast<std::size_t>(target)] = heroFrames[static_cast<std::size_t>(source)];
  }
}

std::optional<SpriteFrameList> prepareGameFrame(RenderAssets& assets, const sim::GameState& state, VideoChip& chip) {
  const world::Area* area = world::findArea(assets.world(), static_cast<int>(state.area));
  if (!area || !assets.rom()) return std::nullopt;
  const auto* patterns = assets.areaPatterns(*area);
  if (!patterns || !assets.loadCommonGraphics()) return std::nullopt;

  setUpArea(chip, assets.world(), *area, *patterns, static_cast<int>(state.palette_variant));
  if (state.palette_fading != 0)
    fadeVariant(chip, *area, static_cast<int>(state.palette_variant), static_cast<int>(state.palette_fade_step));
  drawStatusPanel(chip, assets);
  drawPanelNumbers(chip, state.score, state.lives);

  std::vector<std::uint8_t> anims = state.block_anims;
  std::vector<int> blocks = advanceBlockAnimations(anims, *area).value_or(std::vector<int>{});
  drawArea(chip, *area, static_cast<int>(state.camera_x), blocks);
  scrollArea(chip, *area, static_cast<int>(state.camera_x));

  const int first = area->area_patterns + area->backdrop_patterns;
  const std::uint32_t list = assets.rom()->longAt(kAreaBankLists + 4 * static_cast<std::uint32_t>(area->id));
  auto frames = loadBankList(chip, *assets.rom(), assets.pictures, list, first);
  if (!frames) return std::nullopt;
  uploadObjectGraphics(chip, *frames, state, assets.object_patterns);
  uploadHeroFrame(chip, first, state.sprite_frame, state.expression, assets.hero_frames);
  return frames;
}

}  // namespace render::screens
