// Loading the world from world.json, the area palettes and the hero's sequence table.

#include <exception>
#include <string>

#include "base/log.h"
#include "world/json_file.h"
#include "world/world.h"

namespace world {
namespace {

using nlohmann::json;

// Values are kept by truncation to the width of their field. Only whole numbers are read: a number with a
// fraction or an exponent (1e300, say) would not convert to an integer at all.
std::int64_t whole(const json& j) {
  if (!j.is_number_integer()) throw std::invalid_argument("a number is not a whole number");
  return j.get<std::int64_t>();
}
std::int16_t i16(const json& j) {
  return static_cast<std::int16_t>(whole(j));
}
std::int32_t i32(const json& j) {
  return static_cast<std::int32_t>(whole(j));
}
std::uint8_t u8(const json& j) {
  return static_cast<std::uint8_t>(whole(j));
}
std::uint16_t u16(const json& j) {
  return static_cast<std::uint16_t>(whole(j));
}

// nlohmann iterates a lone number or string as a one-element range: lists must really be arrays.
const json& listAt(const json& j, const char* key) {
  const json& v = j.at(key);
  if (!v.is_array()) throw std::invalid_argument(std::string("\"") + key + "\" is not an array");
  return v;
}

AreaExit readExit(const json& j) {
  return AreaExit{i16(j.at("threshold")), i16(j.at("area")), i16(j.at("x")), i16(j.at("y"))};
}

// Element i (i < 16) gives word i; shorter arrays leave zeros, null gives 16 zeros.
PaletteLine readPaletteLine(const json& j) {
  PaletteLine line(16, 0);
  if (j.is_null()) return line;
  if (!j.is_array()) throw std::invalid_argument("a palette line is not an array");
  for (std::size_t i = 0; i < j.size() && i < 16; ++i) line[i] = u16(j[i]);
  return line;
}

// The cartridge's actor record: type (long), x (word), data bytes 0 and 1, y (word), the other data bytes.
std::optional<std::vector<std::uint8_t>> buildActor(const json& j) {
  std::uint32_t type = static_cast<std::uint32_t>(i32(j.at("type")));
  std::uint16_t x = u16(j.at("x"));
  std::uint16_t y = u16(j.at("y"));
  std::vector<std::uint8_t> data = decodeHexBytes(j.at("data").get<std::string>());
  if (data.size() < 2) return std::nullopt;
  std::vector<std::uint8_t> record;
  record.reserve(data.size() + 8);
  record.push_back(static_cast<std::uint8_t>(type >> 24));
  record.push_back(static_cast<std::uint8_t>(type >> 16));
  record.push_back(static_cast<std::uint8_t>(type >> 8));
  record.push_back(static_cast<std::uint8_t>(type));
  record.push_back(static_cast<std::uint8_t>(x >> 8));
  record.push_back(static_cast<std::uint8_t>(x));
  record.push_back(data[0]);
  record.push_back(data[1]);
  record.push_back(static_cast<std::uint8_t>(y >> 8));
  record.push_back(static_cast<std::uint8_t>(y));
  record.insert(record.end(), data.begin() + 2, data.end());
  return record;
}

std::optional<Area> readArea(const json& j, bool& mapless) {
  Area area;
  area.id = i32(j.at("id"));
  area.width = i32(j.at("width"));
  for (const json& item : listAt(j, "items"))
    area.items.push_back(AreaItem{i16(item.at("flag")), i16(item.at("type")), i16(item.at("x")), i16(item.at("y")),
                                  i16(item.at("frame"))});
  for (const json& actor : listAt(j, "actors")) {
    std::optional<std::vector<std::uint8_t>> record = buildActor(actor);
    if (!record) {
      app::logMessage(app::kError, "world.json: area %d: actor data needs at least 4 hex digits", area.id);
      return std::nullopt;
    }
    area.actors.push_back(std::move(*record));
  }
  area.origin_x = i16(j.at("origin_x"));
  area.min_y = i16(j.at("min_y"));
  area.description = j.contains("description") ? i32(j["description"]) : 0;

  mapless = !j.contains("map") || j["map"].is_null();
  if (mapless) return area;

  for (int k = 0; k < 2; ++k) {
    area.exits_top[k] = readExit(j.at("exits_top").at(k));
    area.exits_bottom[k] = readExit(j.at("exits_bottom").at(k));
  }
  for (const json& block : listAt(j, "blocks")) {
    std::vector<std::uint16_t> words(16);
    for (std::size_t w = 0; w < 16; ++w) words[w] = u16(block.at(w));
    area.blocks.push_back(std::move(words));
  }
  const json& map = j.at("map");
  if (!map.is_array()) throw std::invalid_argument("\"map\" is not an array");
  std::size_t columns = map.size();
  area.map.reserve(columns * 6);
  for (const json& column : map)
    for (std::size_t r = 0; r < 6; ++r) area.map.push_back(u8(column.at(r)));

  for (const json& patch : listAt(j, "map_patches")) {
    MapPatch p{i32(patch.at(0)), u8(patch.at(1))};
    area.map_patches.push_back(p);
    // A patch before the map or past its end is kept but changes nothing.
    if (p.index >= 0 && static_cast<std::size_t>(p.index / 6) < columns)
      area.map[static_cast<std::size_t>(p.index / 6) * 6 + static_cast<std::size_t>(p.index % 6)] = p.value;
  }
  area.collision = decodeHexBytes(j.at("collision").get<std::string>());

  if (j.contains("backdrop") && !j["backdrop"].is_null()) {
    const json& rows = j["backdrop"];
    if (!rows.is_array() || rows.size() != 24) {
      app::logMessage(app::kError, "world.json: area %d: the backdrop needs 24 rows of 32 tile words", area.id);
      return std::nullopt;
    }
    std::vector<std::vector<std::uint16_t>> backdrop;
    for (const json& row : rows) {
      if (!row.is_array()) throw std::invalid_argument("a backdrop row is not an array");
      std::vector<std::uint16_t> words(32);
      for (std::size_t c = 0; c < 32; ++c) words[c] = u16(row.at(c));
      backdrop.push_back(std::move(words));
    }
    area.backdrop = std::move(backdrop);
    area.backdrop_patterns = j.contains("backdrop_patterns") ? i32(j["backdrop_patterns"]) : 0;
  }

  area.patterns = j.at("patterns").get<std::string>();
  if (!j.at("area_patterns").is_number()) throw std::invalid_argument("\"area_patterns\" is not a number");
  area.area_patterns = i32(j["area_patterns"]);
  area.blocks_line3 = j.contains("blocks_line3") ? i32(j["blocks_line3"]) : 0;
  area.backdrop_front = j.contains("backdrop_front") ? j["backdrop_front"].get<bool>() : false;
  for (const json& a : listAt(j, "animations")) {
    BlockAnimation anim{i32(a.at("block")), i32(a.at("delay")), i32(a.at("loop")), {}};
    for (const json& f : listAt(a, "frames")) anim.frames.push_back(i32(f));
    area.animations.push_back(std::move(anim));
  }

  if (area.width < 0 || columns != static_cast<std::size_t>(area.width) ||
      area.collision.size() != static_cast<std::size_t>(area.width) * 12) {
    app::logMessage(app::kError, "world.json: area %d: map or collision does not match its width", area.id);
    return std::nullopt;
  }
  return area;
}

void applyPalette(World& world, const json& entry) {
  std::int32_t id = i32(entry.at("id"));
  Area* area = nullptr;
  for (Area& a : world.areas)
    if (a.id == id) area = &a;  // the last area with that id
  if (!area) return;
  area->line0 = readPaletteLine(entry.at("line0"));
  if (entry.contains("line1") && !entry["line1"].is_null()) area->line1 = readPaletteLine(entry["line1"]);
  if (entry.contains("line3") && !entry["line3"].is_null()) area->line3 = readPaletteLine(entry["line3"]);
  if (entry.contains("variants") && !entry["variants"].is_null()) {
    const json& v = entry["variants"];
    area->variant_index.clear();
    area->variant_lines.clear();
    for (const json& i : listAt(v, "index")) area->variant_index.push_back(i32(i));
    for (const json& line : listAt(v, "lines")) area->variant_lines.push_back(readPaletteLine(line));
  }
}

std::optional<World> buildWorld(const std::filesystem::path& dataDirectory, const json& doc, const json& palettes) {
  World world;
  world.schema = doc.contains("schema") ? i32(doc["schema"]) : 0;
  if (world.schema != 2) {
    app::logMessage(app::kError, "world.json: schema %d, expected 2", world.schema);
    return std::nullopt;
  }
  for (const json& a : listAt(doc, "areas")) {
    bool mapless = false;
    std::optional<Area> area = readArea(a, mapless);
    if (!area) return std::nullopt;
    (mapless ? world.mapless_areas : world.areas).push_back(std::move(*area));
  }
  for (const json& d : listAt(doc, "doors")) {
    Door door{i16(d.at("area")), i16(d.at("target")), i16(d.at("x")), i16(d.at("y")), {}};
    for (std::size_t k = 0; k < 4; ++k) door.rect[k] = i16(d.at("rect").at(k));
    world.doors.push_back(door);
  }
  for (const json& e : listAt(doc, "edges"))
    world.edges.push_back(Edge{i16(e.at("area")), readExit(e.at("left")), readExit(e.at("right"))});
  std::string locks = doc.at("door_locks").get<std::string>();
  std::vector<std::uint8_t> lockBytes = decodeHexBytes(locks.substr(0, 16));
  for (std::size_t k = 0; k < lockBytes.size(); ++k) world.door_locks[k] = lockBytes[k];

  std::filesystem::path tablesPath = dataDirectory / "assets/data/tables.json";
  if (std::optional<json> tables = readJsonFile(tablesPath); tables && tables->contains("tables")) {
    for (const json& t : (*tables)["tables"])
      if (t.contains("name") && t["name"] == "brumo_sequences")
        for (const json& w : listAt(t, "words")) world.brumo_sequences.push_back(u16(w));
  }
  if (world.brumo_sequences.empty()) {
    app::logMessage(app::kError, "assets/data/tables.json: no brumo_sequences");
    return std::nullopt;
  }

  world.brumo_line2 = readPaletteLine(palettes.at("brumo_line2"));
  if (palettes.contains("areas"))
    for (const json& entry : listAt(palettes, "areas")) applyPalette(world, entry);
  return world;
}

}  // namespace

std::optional<World> loadWorld(const std::filesystem::path& dataDirectory) {
  std::filesystem::path worldPath = dataDirectory / "world/world.json";
  std::filesystem::path palettePath = dataDirectory / "assets/palettes/areas.json";
  std::optional<json> doc = readJsonFile(worldPath);
  std::optional<json> palettes = readJsonFile(palettePath);
  if (!doc || !palettes) return std::nullopt;
  // A malformed file (a missing key, a value of the wrong type, digits that are not hex) ends the load
  // with one line naming the error; nothing is returned half-built.
  try {
    return buildWorld(dataDirectory, *doc, *palettes);
  } catch (const std::exception& e) {
    app::logMessage(app::kError, "the world cannot be loaded: %s", e.what());
    return std::nullopt;
  }
}

const Area* findArea(const World& world, int id) {
  for (const Area& a : world.areas)
    if (a.id == id) return &a;
  return nullptr;
}

const Area* findAreaAny(const World& world, int id) {
  if (const Area* a = findArea(world, id)) return a;
  for (const Area& a : world.mapless_areas)
    if (a.id == id) return &a;
  return nullptr;
}

}  // namespace world
