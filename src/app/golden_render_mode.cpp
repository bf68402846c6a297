// --render-goldens DIR: renders every area golden of a directory ("area_*.json" with the expected indexed
// picture beside it as "area_*.png") and compares palette indices and colour memory. Any golden that does
// not match, cannot be read or cannot be drawn makes the exit code 1, so that a script can rely on it.
#include <cstdio>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "app/modes.h"
#include "base/asset_store.h"
#include "base/log.h"
#include "base/pattern_sheet.h"
#include "render/area_render.h"
#include "render/render_assets.h"
#include "world/world.h"

namespace app {

namespace {

struct AreaGolden {
  int area = 0;
  int cameraX = 0;
  std::vector<int> animations;
  std::vector<std::uint16_t> cram;
};

std::optional<AreaGolden> readGolden(const std::filesystem::path& path) {
  std::optional<std::string> text = readTextFile(path);
  if (!text) return std::nullopt;
  const nlohmann::json json = nlohmann::json::parse(*text, nullptr, false);
  if (json.is_discarded()) {
    logMessage(kError, "%s: not valid JSON", path.string().c_str());
    return std::nullopt;
  }
  try {
    AreaGolden golden;
    golden.area = json.at("area").get<int>();
    golden.cameraX = json.at("camera_x").get<int>();
    golden.animations = json.at("animations").get<std::vector<int>>();
    golden.cram = json.at("cram").get<std::vector<std::uint16_t>>();
    return golden;
  } catch (const std::exception& error) {
    logMessage(kError, "%s: %s", path.string().c_str(), error.what());
    return std::nullopt;
  }
}

// Whether one golden matches; prints its line when it does not.
bool checkGolden(render::RenderAssets& assets, const std::filesystem::path& jsonPath) {
  std::optional<AreaGolden> golden = readGolden(jsonPath);
  if (!golden) return false;
  std::filesystem::path pngPath = jsonPath;
  pngPath.replace_extension(".png");
  std::optional<render::IndexedImage> expected = render::readPalettePng(pngPath);
  if (!expected) return false;
  if (expected->width != render::kScreenWidth || expected->height <= 0 || expected->height > render::kScreenHeight) {
    logMessage(kError, "%s: a golden is %d pixels wide and at most %d high", pngPath.string().c_str(),
               render::kScreenWidth, render::kScreenHeight);
    return false;
  }
  std::optional<render::Frame> frame = render::renderArea(assets, golden->area, golden->cameraX, golden->animations);
  if (!frame) return false;  // the renderer has logged why

  int differing = 0;
  const std::size_t pixels = static_cast<std::size_t>(expected->width) * static_cast<std::size_t>(expected->height);
  for (std::size_t i = 0; i < pixels; ++i) differing += frame->pixels[i] != expected->pixels[i];
  bool cramDiffers = golden->cram.size() != frame->cram.size();
  for (std::size_t i = 0; !cramDiffers && i < frame->cram.size(); ++i) cramDiffers = golden->cram[i] != frame->cram[i];
  if (differing == 0 && !cramDiffers) return true;
  std::printf("area %2d camera %4d: %d pixels differ%s\n", golden->area, golden->cameraX, differing,
              cramDiffers ? ", CRAM differs" : "");
  return false;
}

}  // namespace

int runGoldenRenderer(Data& data, const Options& options) {
  if (!data.world) {
    logMessage(kError, "--render-goldens: no world is loaded");
    return 1;
  }
  if (!data.renderAssets)
    data.renderAssets = std::make_shared<render::RenderAssets>(data.dataDirectory, *data.world, data.rom.get());

  const std::filesystem::path directory = options.renderGoldens;
  std::vector<std::filesystem::path> goldens;
  for (const std::filesystem::path& path : listFiles(directory, ".json"))
    if (path.filename().string().rfind("area_", 0) == 0) goldens.push_back(path);

  int matching = 0;
  for (const std::filesystem::path& path : goldens) matching += checkGolden(*data.renderAssets, path);
  const int total = static_cast<int>(goldens.size());
  std::printf("%d of %d area goldens match the original pixel for pixel (palette indices and CRAM)\n", matching, total);
  if (total == 0) {
    logMessage(kError, "--render-goldens: no area goldens under %s", directory.string().c_str());
    return 1;
  }
  return matching == total ? 0 : 1;
}

}  // namespace app
