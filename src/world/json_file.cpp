#include "world/json_file.h"

#include "base/asset_store.h"
#include "base/log.h"

namespace world {

std::optional<nlohmann::json> readJsonFile(const std::filesystem::path& path, bool quiet) {
  std::optional<std::string> text = app::readTextFile(path);
  if (!text) return std::nullopt;
  nlohmann::json doc = nlohmann::json::parse(*text, nullptr, false);
  if (doc.is_discarded()) {
    if (!quiet) app::logMessage(app::kError, "%s: not valid JSON", path.string().c_str());
    return std::nullopt;
  }
  return doc;
}

std::vector<std::uint8_t> decodeHexBytes(const std::string& hex) {
  std::vector<std::uint8_t> bytes;
  bytes.reserve(hex.size() / 2);
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
    bytes.push_back(static_cast<std::uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
  return bytes;
}

}  // namespace world
