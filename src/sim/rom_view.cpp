// Building the cartridge-table view from the exported tables and the world, and the area sheets it hands
// out in the console's pattern form.

#include "sim/rom_view.h"

#include <algorithm>
#include <exception>
#include <string>

#include <nlohmann/json.hpp>

#include "base/asset_store.h"
#include "base/log.h"
#include "base/pattern_sheet.h"
#include "sim/cartridge.h"
#include "world/json_file.h"
#include "world/world.h"

namespace sim {
namespace {

using nlohmann::json;

constexpr const char* kBlockNames[] = {"sub2_script_buffer", "sub2_screen",     "sub2_seabed_bitmap",
                                       "sub4_name_table",    "sub4_track_grid", "sub9_tower_bitmap"};

void pushWord(std::vector<std::uint8_t>& out, std::uint32_t w) {
  out.push_back(static_cast<std::uint8_t>(w >> 8));
  out.push_back(static_cast<std::uint8_t>(w));
}
void pushLong(std::vector<std::uint8_t>& out, std::uint32_t l) {
  pushWord(out, l >> 16);
  pushWord(out, l & 0xFFFF);
}
std::uint32_t word(const json& j) {
  return static_cast<std::uint32_t>(j.get<std::int64_t>()) & 0xFFFF;
}

std::int64_t address(const json& j) {
  return std::stoi(j.get<std::string>(), nullptr, 16);
}

void pushExit(std::vector<std::uint8_t>& out, const world::AreaExit& e) {
  pushWord(out, static_cast<std::uint16_t>(e.threshold));
  pushWord(out, static_cast<std::uint16_t>(e.area));
  pushWord(out, static_cast<std::uint16_t>(e.x));
  pushWord(out, static_cast<std::uint16_t>(e.y));
}

}  // namespace

// Fills the image; throws on a value of the wrong type or digits that do not convert.
static void fillImage(RomView& view, const json& rules, const json& tables, const json& worldDoc,
                      const world::World& world) {
  auto list = [](const json& j, const char* key) -> const json& {
    const json& v = j.at(key);
    if (!v.is_array()) throw std::invalid_argument(std::string("\"") + key + "\" is not an array");
    return v;
  };
  for (const json& t : list(rules, "tables"))
    view.put(address(t.at("address")), world::decodeHexBytes(t.at("bytes").get<std::string>()));

  for (const json& t : list(tables, "tables")) {
    std::vector<std::uint8_t> bytes;
    for (const json& w : list(t, "words")) pushWord(bytes, word(w));
    if (t.contains("tail")) {
      std::vector<std::uint8_t> tail = world::decodeHexBytes(t["tail"].get<std::string>());
      bytes.insert(bytes.end(), tail.begin(), tail.end());
    }
    view.put(address(t.at("address")), bytes);
  }

  view.put(cart::kDoorLocks, world::decodeHexBytes(worldDoc.at("door_locks").get<std::string>()));

  // Door records with the address of their rectangle, the end mark, then the rectangles.
  std::vector<std::uint8_t> doors;
  const std::uint32_t firstRect = cart::kDoors + 2 + 12 * static_cast<std::uint32_t>(world.doors.size());
  for (std::size_t k = 0; k < world.doors.size(); ++k) {
    const world::Door& d = world.doors[k];
    pushWord(doors, static_cast<std::uint16_t>(d.area));
    pushWord(doors, static_cast<std::uint16_t>(d.target));
    pushWord(doors, static_cast<std::uint16_t>(d.x));
    pushWord(doors, static_cast<std::uint16_t>(d.y));
    pushLong(doors, firstRect + 8 * static_cast<std::uint32_t>(k));
  }
  pushWord(doors, 0xFFFF);
  for (const world::Door& d : world.doors)
    for (std::int16_t v : d.rect) pushWord(doors, static_cast<std::uint16_t>(v));
  view.put(cart::kDoors, doors);

  std::vector<std::uint8_t> edges;
  for (const world::Edge& e : world.edges) {
    pushWord(edges, static_cast<std::uint16_t>(e.area));
    pushExit(edges, e.left);
    pushExit(edges, e.right);
  }
  pushWord(edges, 0xFFFF);
  view.put(cart::kEdges, edges);

  std::vector<std::uint8_t> objects;
  if (worldDoc.contains("objects"))
    for (const json& o : worldDoc["objects"]) {
      for (const char* key : {"area", "x", "y", "kind", "number", "slot"}) pushWord(objects, word(o.at(key)));
      pushLong(objects, static_cast<std::uint32_t>(std::stoll(o.at("use_routine").get<std::string>(), nullptr, 16)));
    }
  view.put(cart::kObjects, objects);

  std::vector<std::uint8_t> lifts;
  if (worldDoc.contains("lifts"))
    for (const json& l : worldDoc["lifts"])
      for (const char* key : {"active", "x", "y", "rope_min", "rope_max", "rope", "speed", "centred", "standing"})
        pushWord(lifts, word(l.at(key)));
  view.put(cart::kLifts, lifts);
}

RomView loadRomView(const std::filesystem::path& dataDir, const world::World& world) {
  RomView view;
  view.dataDir_ = dataDir;
  for (const world::Area& a : world.areas)
    view.sheetNames_[a.id] = RomView::SheetName{a.patterns, a.area_patterns + a.backdrop_patterns};

  // A block that is not in the data set is skipped without a word: the subgame that needs it says so.
  const std::filesystem::path blockDir = dataDir / "assets/data/subgames";
  std::vector<std::filesystem::path> present;
  std::error_code ec;
  const bool embedded = dataDir == std::filesystem::path(app::kEmbeddedMarker);
  if (embedded || std::filesystem::is_directory(blockDir, ec)) present = app::listFiles(blockDir, ".bin");
  for (const char* name : kBlockNames) {
    const std::string file = std::string(name) + ".bin";
    bool listed = std::any_of(present.begin(), present.end(),
                              [&](const std::filesystem::path& p) { return p.filename() == file; });
    if (!listed) continue;
    if (std::optional<app::Bytes> bytes = app::readFile(blockDir / file)) view.blocks_[name] = std::move(*bytes);
  }

  std::optional<json> rules = world::readJsonFile(dataDir / "assets/data/rule_tables.json");
  std::optional<json> tables = world::readJsonFile(dataDir / "assets/data/tables.json");
  std::optional<json> worldDoc = world::readJsonFile(dataDir / "world/world.json");
  if (!rules || !tables || !worldDoc) {
    app::logMessage(app::kError, "the rule tables, tables.json or world.json cannot be read");
    return view;
  }
  try {
    fillImage(view, *rules, *tables, *worldDoc, world);
  } catch (const std::exception& e) {
    // Malformed tables leave no half-filled image behind: the view keeps its blocks and reads nothing.
    app::logMessage(app::kError, "the cartridge tables cannot be loaded: %s", e.what());
    RomView empty;
    empty.dataDir_ = view.dataDir_;
    empty.sheetNames_ = std::move(view.sheetNames_);
    empty.blocks_ = std::move(view.blocks_);
    return empty;
  }
  view.loaded_ = true;
  return view;
}

const std::vector<std::uint8_t>* RomView::areaSheet(int area) const {
  if (auto it = sheetCache_.find(area); it != sheetCache_.end()) return &it->second;
  auto name = sheetNames_.find(area);
  if (name == sheetNames_.end()) return nullptr;
  std::optional<std::vector<render::Pattern>> patterns =
      render::readPatternSheet(dataDir_ / name->second.name, name->second.count);
  if (!patterns) return nullptr;
  std::vector<std::uint8_t> packed;
  packed.reserve(patterns->size() * 32);
  for (const render::Pattern& p : *patterns)
    for (std::size_t i = 0; i < 64; i += 2)
      packed.push_back(static_cast<std::uint8_t>((p[i] & 0x0F) << 4 | (p[i + 1] & 0x0F)));
  return &sheetCache_.emplace(area, std::move(packed)).first->second;
}

}  // namespace sim
