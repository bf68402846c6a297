// The main screens of our own data set, drawn and compared pixel for pixel (palette indices and colour
// memory) with the pictures kept under tests/render/goldens/screens (viewable copies go to build/screens).
// When the art changes on purpose, write them anew with the goldens tool and look at them before committing.
#include "render/screen_render.h"

#include <gtest/gtest.h>
#include <lodepng.h>

#include "golden_cases.h"

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "render/render_assets.h"
#include "sim/game_state.h"
#include "sim/rom_view.h"
#include "world/world.h"

namespace {

namespace fs = std::filesystem;

const fs::path kData = GROVANTA_SOURCE_DIR;
const fs::path kGoldens = fs::path(GROVANTA_SOURCE_DIR) / "tests/render/goldens/screens";
const fs::path kLooks = fs::path(GROVANTA_BINARY_DIR) / "screens";

struct DataSet {
  world::World world;
  sim::RomView rom;
  std::unique_ptr<render::RenderAssets> assets;
  std::unique_ptr<render::TextImages> texts;
};

DataSet* dataSet() {
  static std::unique_ptr<DataSet> data = [] {
    auto d = std::make_unique<DataSet>();
    auto w = world::loadWorld(kData);
    if (!w) return std::unique_ptr<DataSet>{};
    d->world = std::move(*w);
    d->rom = sim::loadRomView(kData, d->world);
    d->assets = std::make_unique<render::RenderAssets>(kData, d->world, &d->rom);
    d->texts = std::make_unique<render::TextImages>(kData);
    return d;
  }();
  return data.get();
}

// The pieces our data set must hold before its screens can be drawn at all.
std::string missingPieces(DataSet& d) {
  std::string missing;
  if (!d.assets->loadCommonGraphics()) missing += " the common sprite graphics;";
  if (!d.assets->loadPortraitFrames()) missing += " the message font;";
  for (int language = 0; language < render::kLanguageCount; ++language)
    if (!render::textsFor(*d.texts, language))
      missing += std::string(" the ") + render::languageCode(language) + " texts;";
  return missing;
}

// A viewable copy: RGBA, for looking at what the test drew.
std::vector<unsigned char> encodeRgb(const render::Frame& frame) {
  std::vector<unsigned char> bytes;
  for (std::uint32_t p : render::toRgb(frame)) {
    bytes.push_back(static_cast<unsigned char>(p >> 16));
    bytes.push_back(static_cast<unsigned char>(p >> 8));
    bytes.push_back(static_cast<unsigned char>(p));
    bytes.push_back(255);
  }
  std::vector<unsigned char> png;
  lodepng::encode(png, bytes, static_cast<unsigned>(frame.width), static_cast<unsigned>(frame.height));
  return png;
}

// Reads a golden back as palette indices and the 64 colours of its palette.
std::optional<render::Frame> readGolden(const fs::path& path) {
  std::vector<unsigned char> png;
  if (lodepng::load_file(png, path.string())) return std::nullopt;
  lodepng::State state;
  state.info_raw.colortype = LCT_PALETTE;
  state.info_raw.bitdepth = 8;
  state.decoder.color_convert = 0;
  std::vector<unsigned char> pixels;
  unsigned w = 0, h = 0;
  if (lodepng::decode(pixels, w, h, state, png) || w != 320 || h != 224 || state.info_png.color.palettesize != 64)
    return std::nullopt;
  render::Frame frame;
  frame.pixels.assign(pixels.begin(), pixels.end());
  for (std::size_t i = 0; i < 64; ++i) {
    const unsigned char* c = state.info_png.color.palette + 4 * i;
    frame.cram[i] = static_cast<std::uint16_t>(((c[2] * 7 + 127) / 255) << 9 | ((c[1] * 7 + 127) / 255) << 5 |
                                               ((c[0] * 7 + 127) / 255) << 1);
  }
  return frame;
}

sim::GameState gameAt(int area) {
  return render_goldens::screenGame(area);
}

TEST(ScreenGoldens, OurMainScreensDrawAsKept) {
  const std::string refusal = render_goldens::regenerationRefusal();
  ASSERT_EQ(refusal, "");
  DataSet* d = dataSet();
  ASSERT_TRUE(d) << "the data set in the source tree does not load";
  ASSERT_EQ(missingPieces(*d), "") << "the data set does not hold these pieces";
  fs::create_directories(kLooks);
  const sim::GameState current = gameAt(21);
  for (const render_goldens::ScreenGolden& c : render_goldens::screenGoldens()) {
    SCOPED_TRACE(c.name);
    std::optional<render::Frame> frame = render::renderScreen(*d->assets, *d->texts, current, c.screen, c.frame);
    ASSERT_TRUE(frame);
    lodepng::save_file(encodeRgb(*frame), (kLooks / (c.name + ".png")).string());
    const fs::path golden = kGoldens / (c.name + ".png");
    std::optional<render::Frame> kept = readGolden(golden);
    ASSERT_TRUE(kept) << golden << " is missing or unreadable";
    int differ = 0;
    for (std::size_t i = 0; i < frame->pixels.size(); ++i) differ += frame->pixels[i] != kept->pixels[i];
    EXPECT_EQ(0, differ) << "pixels differ from " << golden;
    for (std::size_t i = 0; i < 64; ++i) EXPECT_EQ(frame->cram[i] & 0x0EEE, kept->cram[i]) << "colour " << i;
  }
}

}  // namespace

namespace {

// The palette choice gives a page its line 0 (and line 2 when asked); the page's picture and text keep
// line 1 and its sprites line 3, which a choice that cleared them would turn black on black.
TEST(ScreenPages, PaletteChoiceKeepsThePicturesColoursAndBrightnessScalesThem) {
  DataSet* d = dataSet();
  ASSERT_TRUE(d);
  ASSERT_EQ(missingPieces(*d), "") << "the data set does not hold these pieces";
  const sim::GameState current = gameAt(21);
  const render::Picture* title = d->assets->findPicture(render::kTitlePicture);
  ASSERT_TRUE(title);

  sim::Screen story;
  story.event = 17;
  story.picture = 3;
  story.frames = {{}};
  auto frame = render::renderScreen(*d->assets, *d->texts, current, story, 0);
  ASSERT_TRUE(frame);
  const std::uint32_t record = d->rom.longAt(0x03E470 + 4 * 17);
  const render::Picture* page = d->assets->findPicture(d->rom.longAt(record));
  ASSERT_TRUE(page);
  for (std::size_t i = 0; i < 16; ++i) {
    EXPECT_EQ(title->palette[i] & 0x0EEE, frame->cram[i]) << "line 0 from the title's picture, colour " << i;
    EXPECT_EQ(page->palette[i] & 0x0EEE, frame->cram[16 + i]) << "line 1 stays the page's, colour " << i;
    EXPECT_EQ(0, frame->cram[32 + i]) << "line 2 only when the page asks for it";
  }
  story.cram_line2 = 1;
  frame = render::renderScreen(*d->assets, *d->texts, current, story, 0);
  ASSERT_TRUE(frame);
  EXPECT_EQ(d->rom.wordAt(0x0139F2) & 0x0EEE, frame->cram[32]);

  // The attract pages fade through their brightness: 16 leaves every colour, 8 halves each channel
  // (its lowest bit dropped), 0 is black.
  sim::Screen attract;
  attract.event = 22;
  attract.picture = 4;
  attract.frames = {{}, {}, {}};
  attract.values_b = {0, 0, 0};
  attract.values_c = {16, 8, 0};
  auto full = render::renderScreen(*d->assets, *d->texts, current, attract, 0);
  auto half = render::renderScreen(*d->assets, *d->texts, current, attract, 1);
  auto none = render::renderScreen(*d->assets, *d->texts, current, attract, 2);
  ASSERT_TRUE(full && half && none);
  for (std::size_t i = 0; i < 64; ++i) {
    std::uint16_t halved = 0;
    for (int shift : {0, 4, 8})
      halved |= static_cast<std::uint16_t>(((8 * ((full->cram[i] >> shift) & 0xF) / 16) & 0xE) << shift);
    EXPECT_EQ(halved, half->cram[i]) << "colour " << i;
    EXPECT_EQ(0, none->cram[i]) << "colour " << i;
  }
  EXPECT_NE(0, full->cram[17]) << "the page's own colours are there to fade";
}

// An empty hand shows the name of object 80, and a missing picture leaves the screen undrawn.
TEST(ScreenPages, InventoryNamesAndMissingPictures) {
  DataSet* d = dataSet();
  ASSERT_TRUE(d);
  ASSERT_EQ(missingPieces(*d), "") << "the data set does not hold these pieces";
  const sim::GameState current = gameAt(21);
  sim::Screen inventory;
  inventory.area = 21;
  inventory.held = {-1, -1, -1};
  inventory.frames = {{}};
  auto empty = render::renderScreen(*d->assets, *d->texts, current, inventory, 0);
  inventory.held = {80, 80, 80};
  auto eighty = render::renderScreen(*d->assets, *d->texts, current, inventory, 0);
  ASSERT_TRUE(empty && eighty);
  EXPECT_EQ(empty->pixels, eighty->pixels);

  render::RenderAssets bare(kData, d->world, &d->rom);
  ASSERT_TRUE(bare.loadCommonGraphics());
  bare.pictures.erase(render::kSunsetPicture);
  sim::Screen over;
  over.area = 21;
  over.over_flag = 1;
  over.frames = {{}};
  testing::internal::CaptureStderr();
  auto frame = render::renderScreen(bare, *d->texts, current, over, 0);
  const std::string log = testing::internal::GetCapturedStderr();
  EXPECT_FALSE(frame);
  EXPECT_NE(std::string::npos, log.find("the game over screen's picture 07276E is not an exported picture")) << log;
}

}  // namespace

namespace {

// Every message of our data set draws in every language: the events on their own screens, every
// object's name and every area's description on the inventory.
TEST(ScreenPages, EveryTextOfOurDataSetDrawsInEveryLanguage) {
  DataSet* d = dataSet();
  ASSERT_TRUE(d);
  ASSERT_EQ(missingPieces(*d), "") << "the data set does not hold these pieces";
  const sim::GameState current = gameAt(21);
  for (int language = 0; language < render::kLanguageCount; ++language) {
    for (int event = 1; event <= 29; ++event) {
      sim::Screen screen;
      screen.event = event;
      screen.area = 21;
      screen.language = language;
      screen.frames = {{}};
      screen.picture = event == 17 ? 3 : event == 18 ? 1 : event == 19 ? 5 : event >= 22 ? 4 : 0;
      if (screen.picture == 4) screen.values_b = {0}, screen.values_c = {16};
      EXPECT_TRUE(render::renderScreen(*d->assets, *d->texts, current, screen, 0))
          << "event " << event << ", language " << language;
    }
    for (int object = 0; object < 62; object += 3) {
      sim::Screen inventory;
      inventory.language = language;
      inventory.held = {object, object + 1 < 62 ? object + 1 : 80, object + 2 < 62 ? object + 2 : 80};
      inventory.frames = {{}};
      for (const auto& area : d->world.areas) {
        inventory.area = area.id;
        sim::GameState there = gameAt(area.id);
        EXPECT_TRUE(render::renderScreen(*d->assets, *d->texts, there, inventory, 0))
            << "objects from " << object << ", area " << area.id << ", language " << language;
        if (object > 0) break;  // the descriptions once per language are enough
      }
    }
    EXPECT_FALSE(d->rom.hasMissed()) << std::hex << d->rom.missingAddress();
  }
}

}  // namespace

namespace {

// A screen that reads a table the data set lacks says so and is not drawn, even when an earlier miss is
// still pending; and drawing leaves the view as it found it, so that the game logic's next step does not
// stop on the renderer's reads.
TEST(ScreenPages, ATableTheDataSetLacksIsReportedByTheScreenAndLeftWithIt) {
  DataSet* d = dataSet();
  ASSERT_TRUE(d);
  ASSERT_EQ(missingPieces(*d), "") << "the data set does not hold these pieces";
  const sim::GameState current = gameAt(21);
  // An object number whose icon and name words lie where nothing was exported.
  std::int64_t object = 62;
  while (d->rom.isPresent(0x03E6D4 + 4 * static_cast<std::uint32_t>(object)) ||
         d->rom.isPresent(0x03E6D6 + 4 * static_cast<std::uint32_t>(object)))
    ++object;
  std::uint32_t gap = 0x07FFFF;
  while (d->rom.isPresent(gap)) --gap;

  for (bool pending : {false, true}) {
    SCOPED_TRACE(pending ? "a miss pending before" : "no miss before");
    d->rom.clearMissingAddress();
    if (pending) static_cast<void>(d->rom.byteAt(gap));

    sim::Screen inventory;
    inventory.area = 21;
    inventory.held = {object, -1, -1};
    inventory.frames = {{}};
    testing::internal::CaptureStderr();
    auto frame = render::renderScreen(*d->assets, *d->texts, current, inventory, 0);
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(frame);
    EXPECT_NE(std::string::npos, log.find("screen 0 reads a ROM table that was not exported")) << log;
    EXPECT_EQ(pending, d->rom.hasMissed());
    if (pending) EXPECT_EQ(gap, d->rom.missingAddress());

    // A screen that reads only what is there draws and leaves the pending miss alone.
    inventory.held = {-1, -1, -1};
    EXPECT_TRUE(render::renderScreen(*d->assets, *d->texts, current, inventory, 0));
    EXPECT_EQ(pending, d->rom.hasMissed());
  }
  d->rom.clearMissingAddress();
}

}  // namespace

namespace {

// The lives counter is the tile word 0xC000 | (0x780 + n), taken whole: a count that reaches past the
// digits' 11 bits changes the word's other bits too (here its palette line, 2 -> 3).
TEST(ScreenPages, TheLivesCounterIsOneTileWordTakenWhole) {
  DataSet* d = dataSet();
  ASSERT_TRUE(d);
  ASSERT_EQ(missingPieces(*d), "") << "the data set does not hold these pieces";
  const sim::GameState current = gameAt(21);
  auto livesScreen = [&](std::int64_t shown) {
    sim::Screen lives;
    lives.area = 21;
    lives.lives_flag = 1;
    lives.stars = 5;
    lives.frames = {{}};
    lives.lives_frames = {{shown, 16, 0}};
    lives.snapshot = std::make_shared<const sim::GameState>(current);
    return render::renderScreen(*d->assets, *d->texts, current, lives, 0);
  };
  auto two = livesScreen(2);
  auto wrapped = livesScreen(2 + 0x2000);
  ASSERT_TRUE(two && wrapped);
  int lit = 0;
  for (int y = 88; y < 96; ++y) {
    for (int x = 176; x < 184; ++x) {
      const std::size_t i = static_cast<std::size_t>(y * 320 + x);
      if (two->pixels[i] <= 32 || two->pixels[i] >= 48) continue;  // the background, or not the digit's line
      ++lit;
      EXPECT_EQ(two->pixels[i] + 16, wrapped->pixels[i]) << x << ", " << y;
    }
  }
  EXPECT_GT(lit, 0) << "the digit draws in line 2";
}

}  // namespace

namespace {

// The help screen's hands bob towards the pad and, outside English, come 3 pixels nearer still; at no
// point of the bob, in no language, may a finger hide a button's letter that the text tells the player
// to press. The letters are the pixels of the pad's letter colour when the pad is drawn alone.
TEST(ScreenPages, TheHelpPadsLettersStayInSightThroughTheHandsBobInEveryLanguage) {
  DataSet* d = dataSet();
  ASSERT_TRUE(d);
  ASSERT_EQ(missingPieces(*d), "") << "the data set does not hold these pieces";
  const sim::GameState current = gameAt(21);
  const std::uint32_t record = d->rom.longAt(0x03E470 + 4 * 21);
  ASSERT_NE(d->rom.wordAt(record + 10), 0xFFFF) << "the record places no pad";
  const sim::SpriteCall pad{d->rom.wordAt(record + 10), d->rom.wordAt(record + 12), 78, 0, record};
  constexpr std::uint8_t kLetter = 2 * 16 + 10;  // the pad's line 2, colour 10

  for (int language = 0; language < render::kLanguageCount; ++language) {
    SCOPED_TRACE(std::string("language ") + render::languageCode(language));
    sim::Screen help;
    help.event = 21;
    help.area = 21;
    help.language = language;
    help.frames = {{pad}};
    const std::optional<render::Frame> alone = render::renderScreen(*d->assets, *d->texts, current, help, 0);
    ASSERT_TRUE(alone);
    std::vector<std::size_t> letters;
    for (std::size_t i = 0; i < alone->pixels.size(); ++i)
      if (alone->pixels[i] == kLetter) letters.push_back(i);
    ASSERT_GE(letters.size(), 15u) << "the pad shows no letters A, B and C";

    const std::uint32_t g = language != 0 ? 3 : 0;
    for (std::uint32_t phase = 0; phase < 64; phase += 2) {
      const auto w = static_cast<std::uint32_t>(d->rom.signedWordAt(0x00C674 + phase));
      help.frames = {{{293, (w - g + 232) & 0xFFFF, 79, 0, record}, {303, (g - w + 196) & 0xFFFF, 79, 2, record}, pad}};
      const std::optional<render::Frame> frame = render::renderScreen(*d->assets, *d->texts, current, help, 0);
      ASSERT_TRUE(frame);
      int hidden = 0;
      for (std::size_t i : letters) hidden += frame->pixels[i] != kLetter;
      EXPECT_EQ(hidden, 0) << "letter pixels under the hands at bob phase " << phase;
    }
  }
}

}  // namespace
