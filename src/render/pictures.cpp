#include "render/pictures.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <exception>
#include <stdexcept>

#include "base/asset_store.h"
#include "base/log.h"

namespace render {

namespace {

// A whole number of the file, as T. A number with a fraction or an exponent is refused: one beyond T's
// range would not convert at all.
template <class T>
T whole(const nlohmann::json& j) {
  if (!j.is_number_integer()) throw std::invalid_argument("a number is not a whole number");
  return j.get<T>();
}

// Reads one description; nothing (logged) when it cannot be used. A key of the wrong type, a block that
// is not hex or a name table that does not match the size rejects the picture rather than ending the
// program: pictures are loaded mid-game.
std::optional<Picture> readPicture(const std::filesystem::path& jsonPath) {
  const std::string name = jsonPath.string();
  std::optional<std::string> text = app::readTextFile(jsonPath);
  if (!text) return std::nullopt;
  nlohmann::json json = nlohmann::json::parse(*text, nullptr, false);
  if (json.is_discarded()) {
    app::logMessage(app::kError, "%s: not valid JSON", name.c_str());
    return std::nullopt;
  }
  Picture picture;
  int patternCount = 0;
  try {
    picture.name = jsonPath.stem().string();
    picture.width = whole<std::int32_t>(json.at("width"));
    picture.height = whole<std::int32_t>(json.at("height"));
    patternCount = whole<int>(json.at("patterns"));
    picture.palette.assign(16, 0);
    const nlohmann::json& palette = json.at("palette");
    for (std::size_t i = 0; i < 16; ++i) picture.palette[i] = whole<std::uint16_t>(palette.at(i));
    for (const nlohmann::json& row : json.at("names"))
      for (const nlohmann::json& word : row) picture.names.push_back(whole<std::uint16_t>(word));
    const std::string block = json.at("block").get<std::string>();
    std::size_t used = 0;
    const unsigned long value = std::stoul(block, &used, 16);
    if (used != block.size() || value > 0xFFFFFFFFul) throw std::invalid_argument("block is not hex");
    picture.block = static_cast<std::uint32_t>(value);
  } catch (const std::exception& error) {
    app::logMessage(app::kError, "%s: %s", name.c_str(), error.what());
    return std::nullopt;
  }
  if (picture.width <= 0 || picture.height <= 0 || patternCount < 0 ||
      picture.names.size() != static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height)) {
    app::logMessage(app::kError, "%s: a %dx%d name table needs %d words, not %zu", name.c_str(), picture.width,
                    picture.height, picture.width * picture.height, picture.names.size());
    return std::nullopt;
  }
  std::filesystem::path sheetPath = jsonPath;
  sheetPath.replace_extension(".png");
  std::optional<std::vector<Pattern>> patterns = readPatternSheet(sheetPath, patternCount);
  if (!patterns) return std::nullopt;
  picture.patterns = std::move(*patterns);
  return picture;
}

}  // namespace

PictureMap loadPictures(const std::filesystem::path& dataRoot) {
  const std::filesystem::path directory = dataRoot / "assets" / "graphics" / "pictures";
  std::vector<std::filesystem::path> files;
  std::vector<std::filesystem::path> sheets;
  try {
    files = app::listFiles(directory, ".json");
    sheets = app::listFiles(directory, ".png");
  } catch (const std::exception& error) {
    // A partial data directory may lack the folder; that is a missing set of pictures, not a crash.
    app::logMessage(app::kError, "%s: %s", directory.string().c_str(), error.what());
    files.clear();
    sheets.clear();
  }
  // Pictures are found by their description, so one that lost it would simply never be drawn: a sheet
  // without its description is a missing file, as a description without its sheet is.
  for (const std::filesystem::path& sheet : sheets) {
    std::filesystem::path description = sheet;
    description.replace_extension(".json");
    if (std::find(files.begin(), files.end(), description) == files.end()) {
      app::logMessage(app::kError, "cannot open %s (the description of %s)", description.string().c_str(),
                      sheet.filename().string().c_str());
      return {};
    }
  }
  PictureMap pictures;
  for (const std::filesystem::path& file : files) {
    std::optional<Picture> picture = readPicture(file);
    if (!picture) return {};
    pictures[picture->block] = std::move(*picture);
  }
  if (pictures.empty()) app::logMessage(app::kError, "no pictures under %s", directory.string().c_str());
  return pictures;
}

}  // namespace render
