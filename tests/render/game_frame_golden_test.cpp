// Golden pictures of our data set: area renders checked through --render-goldens, the comparison's
// report when a golden differs, and the picture of a busy game step. After a deliberate change of the art
// the goldens tool writes them anew; look at the pictures before committing them.
#include <gtest/gtest.h>
#include <lodepng.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "app/data.h"
#include "app/modes.h"
#include "app/options.h"
#include "base/pattern_sheet.h"
#include "golden_cases.h"
#include "render/area_render.h"
#include "render/game_frame.h"
#include "render/render_assets.h"
#include "render_fixture.h"
#include "sim/game_state.h"
#include "sim/rom_view.h"
#include "sim/sim_types.h"
#include "world/world.h"

namespace {

const std::filesystem::path kRoot = GROVANTA_SOURCE_DIR;
const std::filesystem::path kGoldens = render_goldens::goldensFolder(kRoot);

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
  ASSERT_EQ(render_goldens::regenerationRefusal(), "");
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
  render_test::writeIndexedPng(dir.path() / "area_12_0000.png", 320, static_cast<unsigned>(image->height),
                               image->pixels);

  nlohmann::json golden = nlohmann::json::parse(std::ifstream(dir.path() / "area_28_0260.json"));
  golden["cram"][5] = golden["cram"][5].get<int>() ^ 2;
  std::ofstream(dir.path() / "area_28_0260.json") << golden.dump();
  render_test::writeText(dir.path() / "area_01_0000.json", "{\"area\": 1,");
  render_test::writeText(dir.path() / "notes.json", "not a golden, not read");

  const ModeRun run = runGoldens(dir.path());
  EXPECT_EQ(1, run.status);
  EXPECT_EQ(
      "area 12 camera    0: 1 pixels differ\n"
      "area 28 camera  260: 0 pixels differ, CRAM differs\n"
      "2 of 5 area goldens match the original pixel for pixel (palette indices and CRAM)\n",
      run.out);
  EXPECT_NE(std::string::npos, run.err.find("area_01_0000.json: not valid JSON")) << run.err;
}

// One busy step in area 29 at camera 200 (its calls are listed with the goldens' cases).
TEST(GameStepGolden, ABusyStepOfOurDataSet) {
  ASSERT_EQ(render_goldens::regenerationRefusal(), "");
  auto world = world::loadWorld(kRoot);
  ASSERT_TRUE(world);
  sim::RomView rom = sim::loadRomView(kRoot, *world);
  ASSERT_TRUE(rom.loaded());
  render::RenderAssets assets(kRoot, *world, &rom);
  const render_goldens::GameStep step = render_goldens::busyStep();
  std::optional<render::Frame> frame = render::renderGameStep(assets, step.state, step.calls);
  ASSERT_TRUE(frame);
  EXPECT_FALSE(rom.hasMissed());

  const std::filesystem::path png = kGoldens / (std::string(render_goldens::kBusyStepName) + ".png");
  const std::filesystem::path json = kGoldens / (std::string(render_goldens::kBusyStepName) + ".json");
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

// The goldens tool, run into a scratch folder, writes exactly the committed goldens: the same files, byte
// for byte, so the committed ones are what regeneration gives and no golden lies there for a case that
// is gone.
TEST(GoldensTool, WritesExactlyTheCommittedGoldens) {
  render_test::TempDir dir;
  testing::internal::CaptureStderr();
  const int written = render_goldens::writeGoldens(kRoot, dir.path());
  const std::string log = testing::internal::GetCapturedStderr();
  ASSERT_GT(written, 0) << log;
  const auto files = [](const std::filesystem::path& root) {
    std::set<std::string> names;
    for (const auto& e : std::filesystem::recursive_directory_iterator(root))
      if (e.is_regular_file()) names.insert(std::filesystem::relative(e.path(), root).generic_string());
    return names;
  };
  const std::set<std::string> made = files(dir.path());
  ASSERT_EQ(made, files(kGoldens));
  const auto bytes = [](const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  };
  for (const std::string& name : made) EXPECT_EQ(bytes(dir.path() / name), bytes(kGoldens / name)) << name;
}

TEST(AreaGoldens, ADirectoryWithoutGoldensFails) {
  render_test::TempDir dir;
  const ModeRun run = runGoldens(dir.path());
  EXPECT_EQ(1, run.status);
  EXPECT_EQ("0 of 0 area goldens match the original pixel for pixel (palette indices and CRAM)\n", run.out);
  EXPECT_NE(std::string::npos, run.err.find("no area goldens under")) << run.err;
}

}  // namespace
