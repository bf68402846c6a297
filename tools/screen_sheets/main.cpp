// grovanta_screen_sheets DATA_DIR OUT_DIR: every message entry of every language drawn on the screen
// that shows it, through the program's own screen renderer, as contact sheets for looking at the texts:
//
//   events_LL_N.png     the in-game event screens 1-16, 20 and 21 (with its two hands), over area 21
//                       at its start
//   front_LL_N.png      the story page (17), the language menu (18), the code menu (19, the selection
//                       bar's ends beside all seven choices) and the attract pages 22-29 at rest
//   inventory_LL_N.png  one inventory per area 0-50 with that area's description; the slots show the
//                       names 0 and 30-89 in turn, three to a screen
//
// LL is the language's code; each sheet holds up to twelve screens, three across, in that order. A screen
// that cannot be drawn is left dark red (the log says why) and the tool exits with 1. Nothing is committed.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <lodepng.h>

#include "render/render_assets.h"
#include "render/screen_render.h"
#include "render/sprite_banks.h"
#include "render/texts.h"
#include "render/video_chip.h"
#include "sim/game_state.h"
#include "sim/rom_view.h"
#include "world/world.h"

namespace {

namespace fs = std::filesystem;

constexpr std::uint32_t kEventRecords = 0x03E470;
constexpr std::uint32_t kObjectNames = 0x03E6D6;  // per object h, at + 4h: its name's entry
constexpr std::uint32_t kCommonSelections = 0x03EC80;
constexpr std::uint32_t kLanguageLetters = 0x012E1E;  // 48 letter pieces per language
constexpr int kObjects = 62;
constexpr int kAreas = 51;
constexpr int kPerRow = 3, kPerSheet = 12, kGap = 8;
constexpr unsigned kBackground = 0xFF303030u, kFailed = 0xFF600000u;

struct Shot {
  sim::Screen screen;
  int frame = 0;
};

// The frames of a bank list's first bank: where the record's own frame numbers start counting.
std::int64_t firstBankFrames(const sim::RomView& rom, std::uint32_t bankList) {
  if (rom.longAt(bankList) == 0xFFFFFFFFu) return 0;
  return static_cast<std::int64_t>(render::readSelectionList(rom, rom.longAt(bankList + 4)).size());
}

// The sprites an event record places, moved by (dx, dy), as the game logic calls them.
std::vector<sim::SpriteCall> recordSprites(const sim::RomView& rom, int event, int dy, std::uint32_t caller) {
  const std::uint32_t record = rom.longAt(kEventRecords + 4 * static_cast<std::uint32_t>(event));
  const std::int64_t c = firstBankFrames(rom, rom.longAt(record + 4));
  std::vector<sim::SpriteCall> calls;
  for (std::uint32_t at = record + 10; at < record + 512; at += 6) {
    if (rom.wordAt(at) == 0xFFFF) break;
    calls.push_back({static_cast<std::uint32_t>(rom.signedWordAt(at) & 0xFFFF),
                     static_cast<std::uint32_t>((rom.signedWordAt(at + 2) + dy) & 0xFFFF),
                     static_cast<std::uint32_t>((c + rom.signedWordAt(at + 4)) & 0xFFFF), 0, caller ? caller : record});
  }
  return calls;
}

// The help screen's two hands as the game draws them before the record's sprites from its second
// frame on, here at the middle of their bob: one pointing up at A, one flipped pointing down at B,
// both 3 pixels nearer the pad in the languages other than English.
std::vector<sim::SpriteCall> helpHands(const sim::RomView& rom, int language) {
  const std::uint32_t record = rom.longAt(kEventRecords + 4 * 21);
  const auto hand = static_cast<std::uint32_t>(firstBankFrames(rom, rom.longAt(record + 4)) + 1);
  const std::uint32_t g = language != 0 ? 3 : 0;
  return {{293, 232 - g, hand, 0, record}, {303, 196 + g, hand, 2, record}};
}

std::vector<Shot> eventShots(const sim::RomView& rom, int language) {
  std::vector<Shot> shots;
  for (int event = 1; event <= 21; ++event) {
    if (event >= 17 && event <= 19) continue;
    Shot shot;
    shot.screen.event = event;
    shot.screen.area = 21;
    shot.screen.language = language;
    shot.screen.frames = {recordSprites(rom, event, 0, 0)};
    if (event == 21) {
      const std::vector<sim::SpriteCall> hands = helpHands(rom, language);
      shot.screen.frames[0].insert(shot.screen.frames[0].begin(), hands.begin(), hands.end());
    }
    shots.push_back(shot);
  }
  return shots;
}

std::vector<Shot> frontShots(const sim::RomView& rom, int language) {
  std::vector<Shot> shots;
  Shot story;
  story.screen.event = 17;
  story.screen.language = language;
  story.screen.picture = 3;
  story.screen.frames = {{}};
  shots.push_back(story);

  Shot menu;
  menu.screen.event = 18;
  menu.screen.language = language;
  menu.screen.picture = 1;
  std::vector<sim::SpriteCall> letters;
  for (std::uint32_t j = 0; j < 48; ++j)
    letters.push_back({320 + (j % 8) * 5, 268 + (j / 8) * 4,
                       rom.byteAt(kLanguageLetters + 48 * static_cast<std::uint32_t>(language) + j) + 7u, 0, 0});
  menu.screen.frames = {letters};
  shots.push_back(menu);

  Shot code;
  code.screen.event = 19;
  code.screen.language = language;
  code.screen.picture = 5;
  std::vector<sim::SpriteCall> marks;
  for (std::uint32_t k = 0; k < 7; ++k) {
    marks.push_back({128 + 40, 128 + 64 + 16 * k, 0x17, 0, 0});
    marks.push_back({128 + 272, 128 + 64 + 16 * k, 0x19, 0, 0});
  }
  code.screen.frames = {marks};
  shots.push_back(code);

  for (int event = 22; event <= 29; ++event) {
    Shot page;
    page.screen.event = event;
    page.screen.language = language;
    page.screen.picture = 4;
    const auto calls = recordSprites(rom, event, 16, 0x0157E8);
    page.screen.frames = {calls, calls};
    page.screen.values_b = {0, 0};
    page.screen.values_c = {16, 16};
    page.frame = 1;
    shots.push_back(page);
  }
  return shots;
}

// The names in the order the inventory sheets show them: the empty slot's, then 30-89.
std::vector<int> nameEntries() {
  std::vector<int> names = {0};
  for (int e = 30; e <= 89; ++e) names.push_back(e);
  return names;
}

// Three objects whose names are different entries: the slots the sheets show every name through.
std::optional<std::array<int, 3>> slotObjects(const sim::RomView& rom) {
  std::array<int, 3> objects{};
  std::vector<int> seen;
  int found = 0;
  for (int h = 0; h < kObjects && found < 3; ++h) {
    const int entry = rom.wordAt(kObjectNames + 4 * static_cast<std::uint32_t>(h));
    if (std::find(seen.begin(), seen.end(), entry) != seen.end()) continue;
    seen.push_back(entry);
    objects[static_cast<std::size_t>(found++)] = h;
  }
  if (found < 3) return std::nullopt;
  return objects;
}

// A copy of the text image whose entry `from` leads to the message of entry `to`.
void redirect(render::TextImage& image, const render::TextImage& original, int from, int to) {
  const auto f = static_cast<std::size_t>(2 * from), t = static_cast<std::size_t>(2 * to);
  if (f + 1 >= image.size() || t + 1 >= original.size()) return;
  image[f] = original[t];
  image[f + 1] = original[t + 1];
}

void blit(std::vector<unsigned char>& sheet, unsigned sheetWidth, unsigned left, unsigned top,
          const std::vector<std::uint32_t>& pixels) {
  for (unsigned y = 0; y < 224; ++y)
    for (unsigned x = 0; x < 320; ++x) {
      const std::uint32_t p = pixels.empty() ? kFailed : pixels[y * 320 + x];
      const std::size_t at = (static_cast<std::size_t>(top + y) * sheetWidth + left + x) * 4;
      sheet[at] = static_cast<unsigned char>(p >> 16);
      sheet[at + 1] = static_cast<unsigned char>(p >> 8);
      sheet[at + 2] = static_cast<unsigned char>(p);
      sheet[at + 3] = 255;
    }
}

// Writes the drawn screens as sheets NAME_1.png, NAME_2.png, ...; false when one cannot be written.
bool writeSheets(const fs::path& out, const std::string& name, const std::vector<std::vector<std::uint32_t>>& shots) {
  bool ok = true;
  for (std::size_t first = 0, part = 1; first < shots.size(); first += kPerSheet, ++part) {
    const std::size_t count = std::min<std::size_t>(kPerSheet, shots.size() - first);
    const unsigned columns = static_cast<unsigned>(std::min<std::size_t>(kPerRow, count));
    const unsigned rows = static_cast<unsigned>((count + kPerRow - 1) / kPerRow);
    const unsigned width = kGap + columns * (320 + kGap), height = kGap + rows * (224 + kGap);
    std::vector<unsigned char> sheet(static_cast<std::size_t>(width) * height * 4);
    for (std::size_t i = 0; i < sheet.size(); i += 4) {
      sheet[i] = sheet[i + 1] = sheet[i + 2] = static_cast<unsigned char>(kBackground);
      sheet[i + 3] = 255;
    }
    for (std::size_t i = 0; i < count; ++i)
      blit(sheet, width, kGap + static_cast<unsigned>(i % kPerRow) * (320 + kGap),
           kGap + static_cast<unsigned>(i / kPerRow) * (224 + kGap), shots[first + i]);
    const fs::path file = out / (name + "_" + std::to_string(part) + ".png");
    if (lodepng::encode(file.string(), sheet, width, height)) {
      std::fprintf(stderr, "%s cannot be written\n", file.string().c_str());
      ok = false;
    }
  }
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: grovanta_screen_sheets DATA_DIR OUT_DIR\n");
    return 2;
  }
  const fs::path data = argv[1], out = argv[2];
  auto world = world::loadWorld(data);
  if (!world) return 2;
  sim::RomView rom = sim::loadRomView(data, *world);
  render::RenderAssets assets(data, *world, &rom);
  render::TextImages texts(data);
  if (!assets.loadCommonGraphics() || !assets.loadPortraitFrames()) {
    std::fprintf(stderr, "the data set does not hold the common sprite graphics or the message font\n");
    return 2;
  }
  const auto slots = slotObjects(rom);
  if (!slots) {
    std::fprintf(stderr, "the object table does not name three different entries\n");
    return 2;
  }
  std::error_code error;
  fs::create_directories(out, error);

  sim::GameState current;
  current.area = 21;
  current.score = 1230;
  current.lives = 3;
  current.sprite_frame = 16;

  int failures = 0, sheets = 0;
  bool written = true;
  auto draw = [&](const Shot& shot, const sim::GameState& state) {
    auto frame = render::renderScreen(assets, texts, state, shot.screen, shot.frame);
    if (!frame) {
      std::fprintf(stderr, "screen %lld in %s cannot be drawn\n", static_cast<long long>(shot.screen.event),
                   render::languageCode(static_cast<int>(shot.screen.language)));
      ++failures;
      return std::vector<std::uint32_t>{};
    }
    return render::toRgb(*frame);
  };

  const std::vector<int> names = nameEntries();
  for (int language = 0; language < render::kLanguageCount; ++language) {
    const std::string code = render::languageCode(language);
    const render::TextImage* loaded = render::textsFor(texts, language);
    if (!loaded) {
      ++failures;
      continue;
    }
    const render::TextImage original = *loaded;
    std::vector<std::vector<std::uint32_t>> drawn;
    for (const Shot& shot : eventShots(rom, language)) drawn.push_back(draw(shot, current));
    written &= writeSheets(out, "events_" + code, drawn);
    drawn.clear();
    for (const Shot& shot : frontShots(rom, language)) drawn.push_back(draw(shot, current));
    written &= writeSheets(out, "front_" + code, drawn);
    drawn.clear();

    // The inventory: the slots hold three objects with different name entries, and the image is
    // altered so that those entries lead to the names on show.
    const std::uint32_t commonFrames =
        static_cast<std::uint32_t>(render::readSelectionList(rom, rom.longAt(kCommonSelections)).size());
    for (int area = 0; area < kAreas; ++area) {
      render::TextImage image = original;
      for (std::size_t slot = 0; slot < 3; ++slot) {
        const int h = (*slots)[slot];
        const int shown = names[(3 * static_cast<std::size_t>(area) + slot) % names.size()];
        redirect(image, original, rom.wordAt(kObjectNames + 4 * static_cast<std::uint32_t>(h)), shown);
      }
      render::replaceTexts(texts, language, std::move(image));
      Shot shot;
      shot.screen.area = area;
      shot.screen.language = language;
      shot.screen.held = {(*slots)[0], (*slots)[1], (*slots)[2]};
      shot.screen.frames = {
          {{176, 192, commonFrames, 0, 0}, {176, 232, commonFrames + 1, 0, 0}, {176, 272, commonFrames + 2, 0, 0}}};
      // A mapless area has no game frame of its own: its inventory is drawn over area 21.
      sim::GameState there = current;
      there.area = world::findArea(*world, area) ? area : 21;
      drawn.push_back(draw(shot, there));
    }
    render::replaceTexts(texts, language, original);
    written &= writeSheets(out, "inventory_" + code, drawn);
    sheets += 3;
  }
  std::printf("the screens of %d languages drawn into %s, %d could not be drawn\n", sheets / 3, out.string().c_str(),
              failures);
  if (!written) return 1;
  return failures ? 1 : 0;
}
