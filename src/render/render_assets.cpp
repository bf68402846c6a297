#include "render/render_assets.h"

#include <nlohmann/json.hpp>

#include <exception>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>

#include "base/asset_store.h"
#include "base/log.h"
#include "world/world.h"

namespace render {

namespace {

// Parses a JSON file read through the asset store; discarded value when it does not parse, nothing when
// it cannot be read (the asset store logged it).
std::optional<nlohmann::json> readJson(const std::filesystem::path& path) {
  std::optional<std::string> text = app::readTextFile(path);
  if (!text) return std::nullopt;
  return nlohmann::json::parse(*text, nullptr, false);
}

// A whole number of the file, as T. A number with a fraction or an exponent is refused: one beyond T's
// range would not convert at all.
template <class T>
T whole(const nlohmann::json& j) {
  if (!j.is_number_integer()) throw std::invalid_argument("a number is not a whole number");
  return j.get<T>();
}

// A count from pattern_streams.json; a missing key counts as 0.
int streamCount(const nlohmann::json& streams, const char* key) {
  auto it = streams.find(key);
  return it == streams.end() ? 0 : whole<int>(*it);
}

}  // namespace

RenderAssets::RenderAssets(std::filesystem::path dataRoot, const world::World& world, const sim::RomView* rom)
    : dataRoot_(std::move(dataRoot)), world_(world), rom_(rom) {}

const std::vector<Pattern>* RenderAssets::areaPatterns(const world::Area& area) {
  auto found = area_sheets.find(area.id);
  if (found != area_sheets.end()) return &found->second;
  std::optional<std::vector<Pattern>> patterns =
      readPatternSheet(dataRoot_ / area.patterns, area.area_patterns + area.backdrop_patterns);
  if (!patterns) return nullptr;
  return &area_sheets.emplace(area.id, std::move(*patterns)).first->second;
}

bool RenderAssets::loadAreaSheets() {
  bool all = true;
  for (const world::Area& area : world_.areas) all = areaPatterns(area) != nullptr && all;
  return all;
}

bool RenderAssets::loadCommonGraphics() {
  if (!hero_frames.empty()) return true;
  const std::filesystem::path graphics = dataRoot_ / "assets" / "graphics";

  std::optional<std::vector<Pattern>> hero = readPatternSheet(graphics / "brumo_frames.png", 414);
  std::optional<IndexedImage> objectSheet = readPalettePng(graphics / "object_graphics.png");
  std::optional<nlohmann::json> streams = readJson(graphics / "pattern_streams.json");
  std::optional<nlohmann::json> common = readJson(graphics / "brumo_common.json");
  if (!hero || !objectSheet || !streams || !common) return false;
  if (streams->is_discarded() || common->is_discarded()) {
    app::logMessage(app::kError, "pattern_streams.json or brumo_common.json is not valid JSON");
    return false;
  }

  int panelCount = 0, commonCount = 0, minecartCount = 0;
  std::vector<std::uint16_t> table;
  try {
    panelCount = streamCount(*streams, "panel_patterns");
    minecartCount = streamCount(*streams, "sub4_patterns");
    commonCount = whole<int>(common->at("count"));
    for (const nlohmann::json& word : common->at("table")) table.push_back(whole<std::uint16_t>(word));
  } catch (const std::exception& error) {
    // A wrongly typed key would otherwise end the program on the first game frame.
    app::logMessage(app::kError, "pattern_streams.json or brumo_common.json: %s", error.what());
    return false;
  }

  std::optional<std::vector<Pattern>> objects =
      readPatternSheet(graphics / "object_graphics.png", (objectSheet->height / 8) * 16);
  std::optional<std::vector<Pattern>> panel = readPatternSheet(graphics / "panel_patterns.png", panelCount);
  std::optional<std::vector<Pattern>> statusPanel = readPatternSheet(graphics / "brumo_common.png", commonCount);
  std::optional<std::vector<Pattern>> minecart = readPatternSheet(graphics / "sub4_patterns.png", minecartCount);
  pictures = loadPictures(dataRoot_);
  if (!objects || !panel || !statusPanel || !minecart || pictures.empty()) return false;

  minecart_patterns = std::move(*minecart);
  status_panel_table = std::move(table);
  object_patterns = std::move(*objects);
  panel_patterns = std::move(*panel);
  status_panel_patterns = std::move(*statusPanel);
  hero_frames = std::move(*hero);
  return true;
}

bool RenderAssets::loadPortraitFrames() {
  if (!portrait_frame_patterns.empty()) return true;
  const std::filesystem::path graphics = dataRoot_ / "assets" / "graphics";
  std::optional<nlohmann::json> streams = readJson(graphics / "pattern_streams.json");
  if (!streams || streams->is_discarded()) return false;
  int count = 0;
  try {
    count = streamCount(*streams, "portrait_frame_patterns");
  } catch (const std::exception& error) {
    app::logMessage(app::kError, "pattern_streams.json: %s", error.what());
    return false;
  }
  std::optional<std::vector<Pattern>> patterns = readPatternSheet(graphics / "portrait_frame_patterns.png", count);
  if (!patterns) return false;
  portrait_frame_patterns = std::move(*patterns);
  return true;
}

const Picture* RenderAssets::findPicture(std::uint32_t block) const {
  auto found = pictures.find(block);
  return found == pictures.end() ? nullptr : &found->second;
}

}  // namespace render
