// Golden pictures of our data set: area renders checked through --render-goldens, the comparison's
// report when a golden differs, and the picture of a busy game step. Set GROVANTA_REGENERATE_GOLDENS=1 to rewrite the goldens after a
// deliberate change of the art, then look at the pictures before committing them.
#include <gtest/gtest.h>
#include <lodepng.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "app/data.h"
#include "app/modes.h"
#include "app/options.h"
#include "render/area_render.h"
#include "render/game_frame.h"
#include "base/pattern_sheet.h"
#include "render/render_assets.h"
#include "render_fixture.h"
#include "sim/game_state.h"
#include "sim/rom_view.h"
#include "sim/sim_types.h"
#include "world/world.h"

namespace {

const std::filesystem::path kRoot = GROVANTA_SOURCE_DIR;
const std::filesystem::path kGoldens = kRoot / "tests" / "render" / "goldens";

bool regenerating() {
  const char* flag = std::getenv("GROVANTA_REGENERATE_GOLDENS");
  return flag && *flag && std::string(flag) != "0";
}

// Writes an indexed PNG of the frame's top `lines` lines with its 64 colours as the palette.
void writeFramePng(const render::Frame& frame, int lines, const std::filesystem::path& path) {
  lodepng::State state;
  state.info_raw.colortype = LCT_PALETTE;
  state.info_raw.bitdepth = 8;
  state.info_png.color.colortype = LCT_PALETTE;
  state.info_png.color.bitdepth = 8;
  state.encoder.auto_convert = 0;
  for (std::uint16_t word : frame.cram) {
    const std::uint32_t rgb = render::cramToRgb(word);
    const unsigned char r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
    lodepng_palette_add(&state.info_png.color, r, g, b, 255);
    lodepng_palette_add(&state.info_raw, r, g, b, 255);
  }
  std::vector<unsigned char> png;
  ASSERT_EQ(0u, lodepng::encode(png, frame.pixels.data(), 320, static_cast<unsigned>(lines), state));
  ASSERT_EQ(0u, lodepng::save_file(png, path.string()));
}

struct GoldenCase {
  int area, camera;
  std::vector<int> animations;
};
// Plain areas, a one-screen area, an animated block shown in its second frame, a backdrop in front.
const std::vector<GoldenCase> kAreaGoldens = {
    {1, 0, {}}, {12, 0, {}}, {21, 200, {}}, {28, 260, {13}}, {36, 1000, {}}};

void regenerateAreaGoldens() {
  auto world = world::loadWorld(kRoot);
  ASSERT_TRUE(world);
  render::RenderAssets assets(kRoot, *world);
  std::filesystem::create_directories(kGoldens);
  for (const GoldenCase& c : kAreaGoldens) {
    std::optional<render::Frame> frame = render::renderArea(assets, c.area, c.camera, c.animations);
    ASSERT_TRUE(frame);
    char name[64];
    std::snprintf(name, sizeof name, "area_%02d_%04d", c.area, c.camera);
    writeFramePng(*frame, 192, kGoldens / (std::string(name) + ".png"));
    nlohmann::json json = {{"area", c.area}, {"camera_x", c.camera}, {"animations", c.animations},
                           {"cram", std::vector<int>(frame->cram.begin(), frame->cram.end())}};
    std::ofstream(kGoldens / (std::string(name) + ".json")) << json.dump() << "\n";
  }
}

struct ModeRun {
  int status = 0;
  std::string out, err;
};

ModeRun runGoldens(const std::filesystem::path& directory) {
  app::Data data;
  data.dataDirectory = kRoot;
  auto world = world::loadWorld(kRoot);
  if (!world) return {-1, "", "no world"};
  data.world = std::make_shared<const world::World>(std::move(*world));
  app::Options options;
  options.renderGoldens = directory.string();
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  ModeRun run;
  run.status = app::runGoldenRenderer(data, options);
  run.out = testing::internal::GetCapturedStdout();
  run.err = testing::internal::GetCapturedStderr();
  return run;
}

TEST(AreaGoldens, OurDataSetRendersAsItsGoldens) {
  if (regenerating()) regenerateAreaGoldens();
  const ModeRun run = runGoldens(kGoldens);
  EXPECT_EQ(0, run.status) << run.out << run.err;
  EXPECT_EQ("5 of 5 area goldens match the original pixel for pixel (palette indices and CRAM)\n", run.out) << run.err;
}

TEST(AreaGoldens, DifferencesAndBadGoldensAreReportedAndFail) {
  render_test::TempDir dir;
  for (const auto& entry : std::filesystem::directory_iterator(kGoldens))
    if (entry.path().filename().string().rfind("area_", 0) == 0)
      std::filesystem::copy_file(entry.path(), dir.path() / entry.path().filename());

  // One pixel of area 12, one colour of area 28, and area 1's description broken.
  std::optional<render::IndexedImage> image = render::readPalettePng(dir.path() / "area_12_0000.png");
  ASSERT_TRUE(image);
  image->pixels[100 * 320 + 17] ^= 1;
  render_test::writeIndexedPng(dir.path() / "area_12_0000.png", 320, static_cast<unsigned>(image->height), image->pixels);

  nlohmann::json golden = nlohmann::json::parse(std::ifstream(dir.path() / "area_28_0260.json"));
  golden["cram"][5] = golden["cram"][5].get<int>() ^ 2;
  std::ofstream(dir.path() / "area_28_0260.json") << golden.dump();
  render_test::writeText(dir.path() / "area_01_0000.json", "{\"area\": 1,");
  render_test::writeText(dir.path() / "notes.json", "not a golden, not read");

  const ModeRun run = runGoldens(dir.path());
  EXPECT_EQ(1, run.status);
  EXPECT_EQ("area 12 camera    0: 1 pixels differ\n"
            "area 28 camera  260: 0 pixels differ, CRAM differs\n"
            "2 of 5 area goldens match the original pixel for pixel (palette indices and CRAM)\n",
            run.out);
  EXPECT_NE(std::string::npos, run.err.find("area_01_0000.json: not valid JSON")) << run.err;
}

// One busy step in area 29 (lanterns, rain) at camera 200: the hero walking left, two objects lying
// here and one carried in the panel, stars, lanterns, raindrops after a separator, the panel's rail and
// energy bar.
struct GameStep {
  sim::GameState state;
  std::vector<sim::SpriteCall> calls;
};

GameStep busyStep() {
  GameStep step;
  sim::GameState& s = step.state;
  s.area = 29;
  s.camera_x = 200;
  s.score = 1230;
  s.lives = 3;
  s.sprite_frame = 5;
  s.objects_here_count = 3;
  const std::int16_t graphics[3] = {7, 14, 0};
  for (int slot = 0; slot < 3; ++slot) {
    const std::uint32_t address = 0xFFFFAC62 + 16 * static_cast<std::uint32_t>(slot + 4);
    for (int b = 0; b < 4; ++b)
      s.objects_here[static_cast<std::size_t>(4 * slot + b)] = static_cast<std::uint8_t>(address >> (24 - 8 * b));
    s.objects[static_cast<std::size_t>(16 * (slot + 4) + 7)] = static_cast<std::uint8_t>(graphics[slot]);
  }
  auto call = [&](int frame, int x, int y, std::uint32_t attributes = 0) {
    step.calls.push_back({static_cast<std::uint32_t>(x + 128), static_cast<std::uint32_t>(y + 128),
                          static_cast<std::uint32_t>(frame), attributes, 0});
  };
  call(0, 150, 104, 1);  // the hero, facing left
  call(2, 60, 150);
  call(3, 250, 150);
  call(4, 116, 204);     // carried, at the first place of the panel's tray
  call(52, 200, 60);
  call(54, 90, 80);
  call(85, 30, 40);
  call(86, 280, 40);
  for (int i = 0; i < 4; ++i) call(51, 80 * i, 188);
  call(73, 168, 198);
  call(77, 248, 198);
  call(-2, 0, 0);
  for (int i = 0; i < 30; ++i) call(78, (37 * i) % 320, (53 * i) % 180);
  return step;
}

TEST(GameStepGolden, ABusyStepOfOurDataSet) {
  auto world = world::loadWorld(kRoot);
  ASSERT_TRUE(world);
  sim::RomView rom = sim::loadRomView(kRoot, *world);
  ASSERT_TRUE(rom.loaded());
  render::RenderAssets assets(kRoot, *world, &rom);
  const GameStep step = busyStep();
  std::optional<render::Frame> frame = render::renderGameStep(assets, step.state, step.calls);
  ASSERT_TRUE(frame);
  EXPECT_FALSE(rom.hasMissed());

  const std::filesystem::path png = kGoldens / "step_29_0200.png";
  const std::filesystem::path json = kGoldens / "step_29_0200.json";
  if (regenerating()) {
    writeFramePng(*frame, 224, png);
    std::ofstream(json) << nlohmann::json{{"cram", std::vector<int>(frame->cram.begin(), frame->cram.end())}}.dump()
                        << "\n";
  }
  std::optional<render::IndexedImage> golden = render::readPalettePng(png);
  ASSERT_TRUE(golden);
  ASSERT_EQ(320, golden->width);
  ASSERT_EQ(224, golden->height);
  int differing = 0;
  for (std::size_t i = 0; i < golden->pixels.size(); ++i) differing += golden->pixels[i] != frame->pixels[i];
  EXPECT_EQ(0, differing) << "pixels differ from " << png;
  const std::vector<int> cram = nlohmann::json::parse(std::ifstream(json)).at("cram").get<std::vector<int>>();
  EXPECT_EQ(cram, std::vector<int>(frame->cram.begin(), frame->cram.end()));
}

TEST(AreaGoldens, ADirectoryWithoutGoldensFails) {
  render_test::TempDir dir;
  const ModeRun run = runGoldens(dir.path());
  EXPECT_EQ(1, run.status);
  EXPECT_EQ("0 of 0 area goldens match the original pixel for pixel (palette indices and CRAM)\n", run.out);
  EXPECT_NE(std::string::npos, run.err.find("no area goldens under")) << run.err;
}

}  // namespace
