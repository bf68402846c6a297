#include "render/screen_render.h"

#include <algorithm>

#include "base/log.h"
#include "render/game_frame.h"
#include "render/own_misses.h"
#include "render/render_assets.h"
#include "render/sprite_banks.h"
#include "render/sprite_placement.h"
#include "render/sprite_uploads.h"
#include "render/text_draw.h"
#include "sim/cartridge.h"
#include "sim/game_state.h"
#include "sim/rom_view.h"
#include "world/world.h"

namespace render {

namespace {

using Calls = std::vector<sim::SpriteCall>;

using sim::cart::kCommonBank, sim::cart::kEventRecords, sim::cart::kLivesBankList, sim::cart::kObjectIcons;
constexpr std::uint32_t kCommonSelections = kCommonBank + 4;  // the common entry's selection list
constexpr std::uint32_t kIconBank = kCommonBank + 8;
constexpr std::uint32_t kTitleBankList = 0x015D62;
constexpr std::uint32_t kMenuBankList = 0x0680EC;
constexpr std::uint32_t kCodeMenuBankList = 0x06811C;
constexpr std::uint32_t kMenuLine3 = 0x0139D2;
constexpr std::uint32_t kMenuLine2 = 0x0139F2;
constexpr std::uint32_t kCodeMenuLine3 = 0x013A12;
constexpr std::uint32_t kStoryLine0 = 0x013872;
constexpr std::uint32_t kMinecartLine0 = 0x013892;
constexpr std::uint32_t kSeaLine0 = 0x0138D2;
constexpr int kFontPatterns = 160;
constexpr int kNothingHeld = 80;                // the object whose name an empty slot shows
constexpr std::uint16_t kFrontScroll = 0x07F0;  // front-end pages show 16 pixels lower

std::array<std::uint16_t, 16> romLine(const sim::RomView& rom, std::uint32_t address) {
  std::array<std::uint16_t, 16> line{};
  for (std::size_t i = 0; i < 16; ++i) line[i] = rom.wordAt(address + 2 * static_cast<std::uint32_t>(i));
  return line;
}

// The calls of the frame shown: the last frame once the index runs past the list.
const Calls& callsAt(const sim::Screen& screen, int index, bool stepBack) {
  static const Calls kNone;
  if (screen.frames.empty() || index < 0) return kNone;
  std::size_t k = std::min(static_cast<std::size_t>(index), screen.frames.size() - 1);
  if (stepBack)
    while (k > 0 && screen.frames[k].empty()) --k;
  return screen.frames[k];
}

SpriteFrameList joined(SpriteFrameList first, const SpriteFrameList* second) {
  if (second) first.frames.insert(first.frames.end(), second->frames.begin(), second->frames.end());
  return first;
}

void scaleCram(VideoChip& chip, std::int64_t level) {
  for (auto& word : chip.cram) {
    std::uint16_t out = 0;
    for (int shift : {0, 4, 8}) {
      const std::int64_t n = (word >> shift) & 0xF;
      out |= static_cast<std::uint16_t>(((level * n / 16) & 0xE) << shift);
    }
    word = out;
  }
}

// Everything a screen draws with.
struct Job {
  RenderAssets& assets;
  const sim::RomView& rom;
  const TextImage& text;
  VideoChip chip;
};

// The message and inventory screens, which the front-end pages build on. `calls` are the sprites shown;
// `game` the frame list of the game drawn underneath, when there is one.
bool drawEventScreen(Job& job, const sim::Screen& screen, const Calls& calls, const SpriteFrameList* game,
                     SpriteFrameList* result) {
  VideoChip& chip = job.chip;
  const sim::RomView& rom = job.rom;
  const std::int64_t e = screen.event;
  // Any table this screen reads that was not exported is reported here, whatever was read before.
  OwnMisses misses(rom);

  chip.plane_a.clear();
  for (int r = 0; r < (e != 0 ? 32 : 24); ++r)
    for (int c = 0; c < 64; ++c) chip.plane_b.set(r, c, 0);
  chip.strip_scroll = true;
  chip.strip_table.fill(0);
  chip.hscroll_a = 0;
  chip.vscroll_a = 2044;  // the text sits half a cell lower

  const std::uint32_t record = e != 0 ? rom.longAt(kEventRecords + 4 * static_cast<std::uint32_t>(e)) : 0;
  const std::uint32_t pictureBlock = e != 0 ? rom.longAt(record) : kInventoryPicture;
  const Picture* picture = job.assets.findPicture(pictureBlock);
  if (!picture) {
    app::logMessage(app::kError, "screen picture %06X is not an exported picture", pictureBlock);
    return false;
  }
  const int fontBase = drawPictureOnPlaneB(chip, *picture, 0);
  chip.loadPatterns(fontBase, job.assets.portrait_frame_patterns);
  const int spriteRegion = fontBase + kFontPatterns;

  SpriteFrameList frames;
  if (e != 0) {
    auto list = loadBankList(chip, rom, job.assets.pictures, rom.longAt(record + 4), spriteRegion);
    if (!list) return false;
    frames = std::move(*list);
  } else {
    frames.next_pattern = spriteRegion;
    const std::vector<SpriteSelection> common = readSelectionList(rom, rom.longAt(kCommonSelections));
    if (!loadSelections(chip, job.assets.pictures, rom.longAt(kCommonBank), common, frames)) return false;
    const std::uint32_t iconBank = rom.longAt(kIconBank);
    for (std::int64_t held : screen.held) {
      const std::int64_t h = std::max<std::int64_t>(held, 0);
      const int g = rom.signedWordAt(kObjectIcons + 4 * static_cast<std::uint32_t>(h));
      SpriteSelection icon{3, static_cast<std::int16_t>(4 * (g % 10)), static_cast<std::int16_t>(4 * (g / 10)), 4, 4};
      if (!loadSelections(chip, job.assets.pictures, iconBank, {icon}, frames)) return false;
    }
  }
  if (!frames.palette.empty()) chip.setPaletteLine(3, frames.palette);

  TextContext text;
  text.chip = &chip;
  text.text = &job.text;
  text.rom = &rom;
  text.fontBase = fontBase;
  bool readable = true;
  if (e != 0) {
    // Event 21's hint buttons (when they are active) would rewrite its lines here.
    if (auto offset = messageOffset(job.text, rom.wordAt(record + 8))) readable = drawMessageRecords(text, *offset);
  } else {
    const int rows[3] = {8, 13, 18};
    for (int slot = 0; slot < 3 && readable; ++slot) {
      const std::int64_t h =
          screen.held[static_cast<std::size_t>(slot)] < 0 ? kNothingHeld : screen.held[static_cast<std::size_t>(slot)];
      auto offset = messageOffset(job.text, rom.wordAt(kObjectIcons + 2 + 4 * static_cast<std::uint32_t>(h)));
      if (!offset) continue;
      text.left = 13;
      text.width = 24;
      drawTextRecord(text, *offset, rows[slot]);
      readable = !text.error;
    }
    const world::Area* area = world::findAreaAny(job.assets.world(), static_cast<int>(screen.area));
    if (readable && area && area->description != 0) {
      if (auto offset = messageOffset(job.text, area->description)) {
        if (*offset >= job.text.size()) {
          readable = false;
        } else {
          text.left = 3;
          text.width = 34;
          drawTextRecord(text, *offset + 1, job.text[*offset]);
          readable = !text.error;
        }
      }
    }
  }
  if (!readable) {
    app::logMessage(app::kError, "screen %lld reads past its text", static_cast<long long>(e));
    return false;
  }
  if (misses.missed()) {
    app::logMessage(app::kError, "screen %lld reads a ROM table that was not exported", static_cast<long long>(e));
    return false;
  }
  SpriteFrameList all = joined(frames, game);
  placeSprites(chip, all, calls);
  if (result) *result = std::move(all);
  return true;
}

bool drawGameOver(Job& job, const sim::Screen& screen, int index, const SpriteFrameList& game) {
  VideoChip& chip = job.chip;
  const Picture* sky = job.assets.findPicture(kSunsetPicture);
  if (!sky) {
    app::logMessage(app::kError, "the game over screen's picture %06X is not an exported picture", kSunsetPicture);
    return false;
  }
  chip.window_h = chip.window_v = 0;
  chip.plane_a.clear();
  for (int r = 0; r < 24; ++r)
    for (int c = 0; c < 64; ++c) chip.plane_b.set(r, c, 0);
  chip.loadPatterns(1, sky->patterns);
  for (int r = 0; r < std::min(sky->height, 32); ++r)
    for (int c = 0; c < 64; ++c)
      chip.plane_b.set(r, c,
                       static_cast<std::uint16_t>(
                           (sky->names[static_cast<std::size_t>(r * sky->width + c % sky->width)] + 1) | 0x2000));
  chip.setPaletteLine(1, sky->palette);
  chip.cram[63] = 0x0EEE;

  // The sky bands drift at three speeds; the rest of plane B stays put.
  chip.strip_scroll = true;
  chip.hscroll_a = 0;
  for (int i = 0; i < 32; ++i) chip.strip_table[static_cast<std::size_t>(i)] = 0;
  std::int64_t v = 0;
  if (!screen.values_a.empty()) {
    std::size_t k = std::min(static_cast<std::size_t>(std::max(index, 0)), screen.values_a.size() - 1);
    if (k + 1 < screen.values_a.size() && k + 1 < screen.frames.size() && screen.frames[k + 1].empty()) ++k;
    v = screen.values_a[k];
  }
  for (int s = 0; s < 26; ++s) {
    std::uint16_t value = 32;
    if (s <= 2)
      value = static_cast<std::uint8_t>((v >> 1) ^ 0xFF);
    else if (s <= 6)
      value = static_cast<std::uint8_t>((v >> 2) ^ 0xFF);
    else if (s <= 9)
      value = static_cast<std::uint8_t>((v >> 3) ^ 0xFF);
    chip.strip_table[static_cast<std::size_t>(32 + s)] = value;
  }

  // The sign's letters are built from solid bars: one frame for every height of 1-8 pixels and width of
  // 1-32 pixels, in colour 15.
  SpriteFrameList frames;
  int next = 1 + static_cast<int>(sky->patterns.size());
  for (int h = 1; h <= 8; ++h) {
    for (int w = 1; w <= 32; ++w) {
      const int cells = (w + 7) / 8;
      frames.frames.push_back({next, cells, 1, 0});
      for (int j = 0; j < cells; ++j, ++next) {
        if (next >= kPatternStoreSize) continue;
        Pattern p{};
        const int lit = std::min(8, w - 8 * j);
        for (int y = 0; y < h; ++y)
          for (int x = 0; x < lit; ++x) p[static_cast<std::size_t>(y * 8 + x)] = 15;
        chip.patterns[static_cast<std::size_t>(next)] = p;
      }
    }
  }
  placeSprites(chip, joined(std::move(frames), &game), callsAt(screen, index, true));
  return true;
}

bool drawLivesScreen(Job& job, const sim::Screen& screen, int index, const SpriteFrameList& game) {
  VideoChip& chip = job.chip;
  if (screen.frames.empty() || screen.lives_frames.empty() || job.assets.hero_frames.empty()) return false;
  chip.window_h = chip.window_v = 0;
  chip.hscroll_a = chip.hscroll_b = chip.vscroll_a = chip.vscroll_b = 0;
  chip.strip_table.fill(0);
  chip.plane_a.clear();
  for (int r = 0; r < 24; ++r)
    for (int c = 0; c < 64; ++c) chip.plane_b.set(r, c, 0);

  auto frames = loadBankList(chip, job.rom, job.assets.pictures, kLivesBankList, 1);
  if (!frames) return false;
  if (!frames->palette.empty()) chip.setPaletteLine(3, frames->palette);
  const std::size_t last = screen.lives_frames.size() - 1;
  const std::size_t k = std::min(static_cast<std::size_t>(std::max(index, 0)), last);
  const sim::LivesFrame& shown = screen.lives_frames[k];
  uploadHeroFrame(chip, 1, shown.heroFrame, shown.expression, job.assets.hero_frames);

  // The counter runs two frames ahead of the hero.
  const std::int64_t lives = screen.lives_frames[std::min(k + 2, last)].lives;
  // The digit is added to the whole tile word: a count past the digits runs on into its other bits.
  chip.plane_a.set(11, 22, static_cast<std::uint16_t>(0xC000 | (0x780 + lives)));
  const std::int64_t stars = screen.stars;
  const std::int64_t digits[3] = {stars / 100 % 10, stars / 10 % 10, stars % 10};
  for (int i = 0; i < 3; ++i) chip.plane_a.set(14, 21 + i, static_cast<std::uint16_t>(0xC000 | (0x780 + digits[i])));
  placeSprites(chip, joined(std::move(*frames), &game), callsAt(screen, index, false));
  return true;
}

bool drawTitle(Job& job, const sim::Screen& screen, int index) {
  VideoChip& chip = job.chip;
  const Picture* title = job.assets.findPicture(kTitlePicture);
  const world::Area* area0 = world::findArea(job.assets.world(), 0);
  const std::vector<Pattern>* sheet = area0 ? job.assets.areaPatterns(*area0) : nullptr;
  if (!title || !sheet || !area0->backdrop) {
    app::logMessage(app::kError, "the title's picture %06X or area 0's backdrop is missing", kTitlePicture);
    return false;
  }
  chip.background = 32;
  chip.window_h = chip.window_v = 0;
  chip.cram.fill(0);
  chip.loadPatterns(1, title->patterns);
  for (int r = 0; r < std::min(title->height, 32); ++r)
    for (int c = 0; c < std::min(title->width, 64); ++c)
      chip.plane_a.set(
          r, c,
          static_cast<std::uint16_t>((title->names[static_cast<std::size_t>(r * title->width + c)] + 1) | 0x8000));
  chip.setPaletteLine(0, title->palette);

  const int backdropFirst = 1 + static_cast<int>(title->patterns.size());
  const int backdropCount = std::max(0, area0->backdrop_patterns);
  for (int i = 0; i < backdropCount; ++i) {
    const std::size_t source = static_cast<std::size_t>(area0->area_patterns + i);
    const int target = backdropFirst + i;
    if (source < sheet->size() && target < kPatternStoreSize)
      chip.patterns[static_cast<std::size_t>(target)] = (*sheet)[source];
  }
  const auto& backdrop = *area0->backdrop;
  for (int r = 0; r < 24 && r < static_cast<int>(backdrop.size()); ++r)
    for (int c = 0; c < 64; ++c) {
      const auto& row = backdrop[static_cast<std::size_t>(r)];
      if (row.size() < 32) continue;
      chip.plane_b.set(r, c,
                       static_cast<std::uint16_t>((row[static_cast<std::size_t>(c % 32)] | 0x2000) + backdropFirst));
    }
  if (area0->line1) chip.setPaletteLine(1, *area0->line1);
  chip.hscroll_a = 0;
  chip.strip_scroll = false;

  auto frames = loadBankList(chip, job.rom, job.assets.pictures, kTitleBankList, backdropFirst + backdropCount);
  if (!frames) return false;
  if (!frames->palette.empty()) chip.setPaletteLine(3, frames->palette);
  placeSprites(chip, *frames, callsAt(screen, index, false));
  return true;
}

// The palette choice supplies lines 0 and 2 of a page. Lines 1 and 3 keep the page picture's palette
// (which its text shares) and the sprites' palette: a choice that cleared them would leave the page's
// picture and text black on black.
void applyPaletteChoice(VideoChip& chip, const std::array<std::uint16_t, 64>& choice) {
  chip.setPaletteLine(0, std::span<const std::uint16_t>(choice.data(), 16));
  chip.setPaletteLine(2, std::span<const std::uint16_t>(choice.data() + 32, 16));
}

bool drawAttractPage(Job& job, const sim::Screen& screen, int index) {
  VideoChip& chip = job.chip;
  const std::size_t n = screen.frames.size();
  if (n == 0 || screen.values_b.size() != n || screen.values_c.size() != n) return false;
  const std::size_t k = std::min(static_cast<std::size_t>(std::max(index, 0)), n - 1);
  // The page's sprites trail its picture by one frame.
  sim::Screen page = screen;
  page.frames = {screen.frames[k > 0 ? k - 1 : 0]};
  chip.background = 32;
  chip.window_h = chip.window_v = 0;
  if (!drawEventScreen(job, page, page.frames[0], nullptr, nullptr)) return false;
  if (!job.assets.findPicture(kTitlePicture)) {
    app::logMessage(app::kError, "the title's picture %06X is not an exported picture", kTitlePicture);
    return false;
  }
  auto choice = paletteChoice(job.assets, screen.cram_line0, screen.cram_line2);
  if (!choice) return false;
  applyPaletteChoice(chip, *choice);

  bool shifted[24];
  for (int i = 0; i < 24; ++i) shifted[i] = chip.strip_table[static_cast<std::size_t>(i)] == 4;
  chip.strip_table.fill(0);
  if (k > 0) {
    const auto offset = static_cast<std::uint16_t>(screen.values_b[k]);
    for (int i = 0; i < 24; ++i) {
      chip.strip_table[static_cast<std::size_t>(i + 2)] = static_cast<std::uint16_t>(offset + (shifted[i] ? 4 : 0));
      chip.strip_table[static_cast<std::size_t>(32 + i + 2)] = offset;
    }
  }
  chip.vscroll_a = chip.vscroll_b = kFrontScroll;
  scaleCram(chip, screen.values_c[k]);
  return true;
}

bool drawMenuPage(Job& job, const sim::Screen& screen, int index) {
  VideoChip& chip = job.chip;
  const sim::RomView& rom = job.rom;
  sim::Screen page = screen;
  page.frames.clear();
  chip.background = 32;
  SpriteFrameList frames;
  if (!drawEventScreen(job, page, {}, nullptr, &frames)) return false;
  chip.vscroll_a = chip.vscroll_b = kFrontScroll;
  for (int base : {0, 32}) {
    for (int i = 31; i >= 2; --i)
      chip.strip_table[static_cast<std::size_t>(base + i)] = chip.strip_table[static_cast<std::size_t>(base + i - 2)];
    chip.strip_table[static_cast<std::size_t>(base)] = chip.strip_table[static_cast<std::size_t>(base + 1)] = 0;
  }
  if (screen.picture == 3 || screen.picture == 5) {
    auto choice = paletteChoice(job.assets, screen.cram_line0, screen.cram_line2);
    if (!choice) return false;
    applyPaletteChoice(chip, *choice);
  }
  if (screen.picture == 1 || screen.picture == 5) {
    const Picture* menu = job.assets.findPicture(kLanguageMenuPicture);
    if (!menu) {
      app::logMessage(app::kError,
                      screen.picture == 1 ? "the language menu's picture %06X is not an exported picture"
                                          : "the code menu's picture %06X is not an exported picture",
                      kLanguageMenuPicture);
      return false;
    }
    const int first = frames.next_pattern;
    chip.loadPatterns(first, menu->patterns);
    if (screen.picture == 1) {
      for (int r = 0; r < std::min(menu->height, 10); ++r)
        for (int c = 0; c < std::min(menu->width, 24); ++c)
          chip.plane_a.set(2 + r, 8 + c,
                           static_cast<std::uint16_t>(
                               (first + menu->names[static_cast<std::size_t>(r * menu->width + c)]) | 0x6000));
    }
    int next = first + static_cast<int>(menu->patterns.size());
    for (std::uint32_t list : {kMenuBankList, kCodeMenuBankList}) {
      auto more = loadBankList(chip, rom, job.assets.pictures, list, next);
      if (!more) return false;
      frames.frames.insert(frames.frames.end(), more->frames.begin(), more->frames.end());
      next = more->next_pattern;
      if (screen.picture == 1) break;
    }
    chip.setPaletteLine(3, romLine(rom, screen.picture == 1 ? kMenuLine3 : kCodeMenuLine3));
    chip.setPaletteLine(2, romLine(rom, kMenuLine2));
  }
  placeSprites(chip, frames, callsAt(screen, index, true));
  return true;
}

}  // namespace

int drawPictureOnPlaneB(VideoChip& chip, const Picture& picture, int first) {
  chip.loadPatterns(first, picture.patterns);
  for (int r = 0; r < std::min(picture.height, 32); ++r)
    for (int c = 0; c < std::min(picture.width, 64); ++c)
      chip.plane_b.set(r, c,
                       static_cast<std::uint16_t>(
                           (first + picture.names[static_cast<std::size_t>(r * picture.width + c)]) | 0x2000));
  chip.setPaletteLine(1, picture.palette);
  return first + static_cast<int>(picture.patterns.size());
}

std::optional<std::array<std::uint16_t, 64>> paletteChoice(const RenderAssets& assets, std::int64_t cramLine0,
                                                           std::int64_t cramLine2) {
  std::array<std::uint16_t, 64> cram{};
  const sim::RomView* rom = assets.rom();
  auto put = [&](int line, const auto& words) {
    for (std::size_t i = 0; i < 16 && i < words.size(); ++i) cram[static_cast<std::size_t>(line) * 16 + i] = words[i];
  };
  auto pictureLine = [&](std::uint32_t block) -> bool {
    const Picture* picture = assets.findPicture(block);
    if (!picture) {
      app::logMessage(app::kError, "the picture %06X is not an exported picture", block);
      return false;
    }
    put(0, picture->palette);
    return true;
  };
  if (cramLine0 == 1 || cramLine0 == 2 || cramLine0 == 5 || cramLine0 == 3) {
    if (!rom) return std::nullopt;
    put(0, romLine(*rom, cramLine0 == 5 ? kMinecartLine0 : cramLine0 == 3 ? kSeaLine0 : kStoryLine0));
  } else if (cramLine0 == 10) {
    const world::Area* tower = world::findArea(assets.world(), 47);
    if (!tower) {
      app::logMessage(app::kError, "area 47 (Vors' tower's palette) is missing");
      return std::nullopt;
    }
    put(0, tower->line0);
  } else if (cramLine0 >= 6 && cramLine0 <= 9) {
    if (!pictureLine(kCastlePicture)) return std::nullopt;
  } else if (!pictureLine(kTitlePicture)) {
    return std::nullopt;
  }
  if (cramLine2 != 0 && rom) put(2, romLine(*rom, kMenuLine2));
  return cram;
}

std::optional<Frame> renderScreen(RenderAssets& assets, TextImages& texts, const sim::GameState& current,
                                  const sim::Screen& screen, int frameIndex) {
  const sim::RomView* rom = assets.rom();
  if (!rom) return std::nullopt;
  // Drawing leaves no miss behind for the game logic's next step to report as its own.
  OwnMisses misses(*rom);
  if (screen.picture != 0) {
    if (!assets.loadCommonGraphics() || !assets.loadPortraitFrames()) return std::nullopt;
    const TextImage* text = textsFor(texts, screen.language);
    if (!text) return std::nullopt;
    Job job{assets, *rom, *text, VideoChip{}};
    bool drawn = screen.picture == 2   ? drawTitle(job, screen, frameIndex)
                 : screen.picture == 4 ? drawAttractPage(job, screen, frameIndex)
                                       : drawMenuPage(job, screen, frameIndex);
    if (!drawn) return std::nullopt;
    return compose(job.chip);
  }

  sim::GameState state = screen.snapshot ? *screen.snapshot : current;
  // The tower's screens are drawn over the tower's area.
  if (state.in_subgame != 0 && state.mode == 9) state.area = 47;
  const TextImage* text = textsFor(texts, screen.language);
  if (!text) return std::nullopt;
  Job job{assets, *rom, *text, VideoChip{}};
  auto game = prepareGameFrame(assets, state, job.chip);
  if (!game || !assets.loadPortraitFrames()) return std::nullopt;
  bool drawn = screen.over_flag    ? drawGameOver(job, screen, frameIndex, *game)
               : screen.lives_flag ? drawLivesScreen(job, screen, frameIndex, *game)
                                   : drawEventScreen(job, screen, callsAt(screen, frameIndex, false), &*game, nullptr);
  if (!drawn) return std::nullopt;
  return compose(job.chip);
}

}  // namespace render
