#include "builder.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>

#include <nlohmann/json.hpp>

#include "area_source.h"
#include "icon.h"
#include "objects.h"
#include "palette.h"
#include "patterns.h"
#include "rom_image.h"
#include "screen_art.h"
#include "sim/cartridge.h"
#include "source_error.h"
#include "sprite_banks.h"
#include "star_check.h"
#include "texts.h"

namespace builder {

namespace fs = std::filesystem;
using json = nlohmann::ordered_json;

namespace {

constexpr int kAreaCount = 51;
constexpr int kDoorCount = 32;
constexpr int kEdgeCount = 8;
// The areas the logic enters without a map (the finale's screen and the title's stage).
const std::set<int> kMaplessAreas = {44, 50};
// Pattern store room left for the area before the status panel (1920) or, in the starting area,
// the hint pad (1824). Sprite cells of the area's banks come out of the same room.
constexpr int kPatternRoom = 1920;
constexpr int kPatternRoomStart = 1824;
constexpr int kStartArea = 21;
constexpr int kTowerArea = 47;
constexpr int kTowerPatterns = 401;  // the tower reads its edge collision from the sheet's packed bytes

const char* const kTableNames[] = {"brumo_sequences",   "star_count_display", "rope_records",  "sub1_neighbours",
                                   "sub2_records",      "sub4_track",         "ending_text",   "subgame_sprites",
                                   "sine_tables",       "title_table",        "event_screens", "sprite_banks",
                                   "screen_frame_lists"};

std::string hex6(std::uint32_t a) {
  char t[16];
  std::snprintf(t, sizeof t, "%06X", a);
  return t;
}

std::string hexBytes(const std::vector<std::uint8_t>& bytes) {
  static const char* d = "0123456789abcdef";
  std::string s;
  for (auto b : bytes) {
    s += d[b >> 4];
    s += d[b & 15];
  }
  return s;
}

json readJson(const fs::path& file) {
  std::string text = readSource(file);
  try {
    return json::parse(text);
  } catch (const json::parse_error& e) {
    fail(file, 0, std::string("not valid JSON: ") + e.what());
  }
}

int intAt(const json& obj, const char* key, const fs::path& file, const std::string& where) {
  if (!obj.contains(key) || !obj[key].is_number_integer())
    fail(file, 0, where + ": \"" + key + "\" must be an integer");
  return obj[key].get<int>();
}

// Writes JSON with one element of every top-level array per line: diff-friendly and compact.
std::string layout(const json& doc) {
  std::string out = "{\n";
  bool first = true;
  for (auto it = doc.begin(); it != doc.end(); ++it) {
    if (!first) out += ",\n";
    first = false;
    out += "  " + json(it.key()).dump() + ": ";
    if (it.value().is_array() && !it.value().empty() && it.value()[0].is_object()) {
      out += "[\n";
      for (std::size_t i = 0; i < it.value().size(); ++i) {
        out += "    " + it.value()[i].dump() + (i + 1 < it.value().size() ? ",\n" : "\n");
      }
      out += "  ]";
    } else {
      out += it.value().dump();
    }
  }
  return out + "\n}\n";
}

void writeText(const fs::path& file, const std::string& text, int& count) {
  fs::create_directories(file.parent_path());
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  if (!out) fail(file, 0, "cannot write");
  out << text;
  if (!out) fail(file, 0, "cannot write");
  ++count;
}

struct PaletteSet {
  PaletteLine line0{};
  std::optional<PaletteLine> line1, line3;
  std::vector<PaletteLine> variants;
};

json lineJson(const PaletteLine& l) {
  return json(std::vector<int>(l.begin(), l.end()));
}

json exitJson(const ExitSource& e) {
  return json{{"threshold", e.threshold}, {"area", e.area}, {"x", e.x}, {"y", e.y}};
}

void checkRange(int v, int lo, int hi, const fs::path& file, int line, const std::string& what) {
  if (v < lo || v > hi) {
    fail(file, line,
         what + " " + std::to_string(v) + " lies outside " + std::to_string(lo) + " to " + std::to_string(hi));
  }
}

// The palette sets by name, with the hero's line.
struct Palettes {
  PaletteLine hero{};
  std::map<std::string, PaletteSet> sets;
};

Palettes readPalettes(const fs::path& paletteFile) {
  json palettes = readJson(paletteFile);
  Palettes out;
  out.hero = readPaletteLine(palettes["brumo_line2"], paletteFile, "brumo_line2");
  if (!palettes.contains("sets") || !palettes["sets"].is_object()) fail(paletteFile, 0, "\"sets\" must be an object");
  for (auto it = palettes["sets"].begin(); it != palettes["sets"].end(); ++it) {
    const std::string key = "sets." + it.key();
    PaletteSet s;
    s.line0 = readPaletteLine(it.value()["line0"], paletteFile, key + ".line0");
    if (it.value().contains("line1") && !it.value()["line1"].is_null())
      s.line1 = readPaletteLine(it.value()["line1"], paletteFile, key + ".line1");
    if (it.value().contains("line3") && !it.value()["line3"].is_null())
      s.line3 = readPaletteLine(it.value()["line3"], paletteFile, key + ".line3");
    if (it.value().contains("variants")) {
      const auto& v = it.value()["variants"];
      if (!v.is_array() || v.size() != 4) fail(paletteFile, 0, key + ".variants: four palette lines");
      for (std::size_t k = 0; k < 4; ++k)
        s.variants.push_back(readPaletteLine(v[k], paletteFile, key + ".variants[" + std::to_string(k) + "]"));
    }
    out.sets[it.key()] = s;
  }
  return out;
}

// data/areas/area_NN.txt, exactly 0 to 50, in id order.
std::vector<AreaSource> readAreas(const fs::path& folder) {
  std::vector<AreaSource> areas;
  std::vector<fs::path> areaFiles;
  for (const auto& e : fs::directory_iterator(folder))
    if (e.is_regular_file()) areaFiles.push_back(e.path());
  std::sort(areaFiles.begin(), areaFiles.end());
  for (const auto& f : areaFiles) {
    std::string stem = f.stem().string();
    if (f.extension() != ".txt" || stem.size() != 7 || stem.rfind("area_", 0) != 0 ||
        !std::isdigit(static_cast<unsigned char>(stem[5])) || !std::isdigit(static_cast<unsigned char>(stem[6])))
      fail(f, 0, "area files are named area_NN.txt");
    AreaSource a = readArea(f);
    int expected = std::stoi(stem.substr(5));
    if (a.id != expected) fail(f, 0, "id " + std::to_string(a.id) + " does not match the file name");
    if (expected != static_cast<int>(areas.size()))
      fail(f, 0, "area " + std::to_string(areas.size()) + " is missing before it");
    areas.push_back(std::move(a));
  }
  if (areas.size() != kAreaCount)
    fail(folder, 0, "the world needs " + std::to_string(kAreaCount) + " areas, found " + std::to_string(areas.size()));
  return areas;
}

// The areas as they are built one by one: the tilesets and backdrops read so far, the item flags
// taken, and what the rest of the build takes from them.
struct AreaBuild {
  fs::path data, outputRoot;
  const std::map<std::string, PaletteSet>* palettes = nullptr;
  std::map<std::string, Tileset> tilesets;
  std::map<std::string, Backdrop> backdrops;
  std::map<int, std::pair<fs::path, int>> itemFlags;
  std::map<int, std::vector<std::uint8_t>> collisions;  // by area, for the arrival checks
  std::map<int, int> sheetPatterns;                     // by area, for the sprites' pattern room
  json worldAreas = json::array();
  json paletteAreas = json::array();
  int written = 0;
};

using MapColumn = std::array<std::uint8_t, 6>;

// The area's own numbers and its items, before the map is known.
void checkAreaFields(const AreaSource& a, std::map<int, std::pair<fs::path, int>>& itemFlags) {
  const fs::path& f = a.file;
  const bool mapless = kMaplessAreas.count(a.id) > 0;
  if (mapless != a.mapless)
    fail(f, 0, mapless ? "this area is entered without a map: write map: none" : "this area needs a map");
  if (a.description != 0) checkRange(a.description, 90, 140, f, 0, "description");
  checkRange(a.originX, -32768, 32767, f, 0, "origin_x");
  checkRange(a.minY, -32768, 32767, f, 0, "min_y");
  for (const auto& it : a.items) {
    checkRange(it.type, 0, 5, f, it.line, "item type");
    checkRange(it.flag, 0, 297, f, it.line, "item flag");
    checkRange(it.frame, 0, 55, f, it.line, "item frame");
    // Hazards and variant scenery take their frame as one of four hazard phases, fruit as one of
    // six star phases.
    if (it.type == 0 || it.type == 3) checkRange(it.frame, 0, 3, f, it.line, "phase");
    if (it.type == 5) checkRange(it.frame, 0, 5, f, it.line, "phase");
    checkRange(it.y, -64, 191, f, it.line, "item y");
    if (it.flag != 0) {
      auto [prev, fresh] = itemFlags.try_emplace(it.flag, f, it.line);
      if (!fresh)
        fail(f, it.line,
             "item flag " + std::to_string(it.flag) + " is already used at " + prev->second.first.generic_string() +
                 ":" + std::to_string(prev->second.second));
    }
  }
}

const Tileset* tilesetOf(AreaBuild& build, const AreaSource& a) {
  if (a.tileset.empty()) return nullptr;
  auto it = build.tilesets.find(a.tileset);
  if (it == build.tilesets.end())
    it = build.tilesets
             .emplace(a.tileset, readTileset(build.data / "tilesets" / (a.tileset + ".txt"), build.data / "patterns"))
             .first;
  return &it->second;
}

const Backdrop* backdropOf(AreaBuild& build, const AreaSource& a) {
  if (a.backdrop.empty()) return nullptr;
  auto it = build.backdrops.find(a.backdrop);
  if (it == build.backdrops.end())
    it = build.backdrops
             .emplace(a.backdrop,
                      readBackdrop(build.data / "backdrops" / (a.backdrop + ".txt"), build.data / "patterns"))
             .first;
  return &it->second;
}

// The map's six rows through the legend into block numbers, one column of six a time.
std::vector<MapColumn> readMap(const AreaSource& a, const Tileset* tiles) {
  const fs::path& f = a.file;
  if (!tiles) fail(f, 0, "an area with a map needs tileset:");
  if (a.rows.size() != 6) fail(f, a.mapLine, "a map has six rows, found " + std::to_string(a.rows.size()));
  const int width = static_cast<int>(a.rows[0].size());
  for (int r = 0; r < 6; ++r)
    if (static_cast<int>(a.rows[r].size()) != width)
      fail(
          f, a.mapLine + r,
          "map rows differ in length (" + std::to_string(a.rows[r].size()) + " against " + std::to_string(width) + ")");
  std::vector<MapColumn> map(static_cast<std::size_t>(width));
  for (int c = 0; c < width; ++c)
    for (int r = 0; r < 6; ++r) {
      char ch = a.rows[r][c];
      auto l = a.legend.find(ch);
      if (l == a.legend.end())
        fail(f, a.mapLine + r, std::string("'") + ch + "' in column " + std::to_string(c) + " is not in the legend");
      auto b = tiles->blockIndex.find(l->second);
      if (b == tiles->blockIndex.end())
        fail(f, 0, "legend " + std::string(1, ch) + ": block " + l->second + " is not in tileset " + a.tileset);
      map[c][r] = static_cast<std::uint8_t>(b->second);
    }
  return map;
}

json areaFieldsJson(const AreaSource& a, int width) {
  json area;
  area["id"] = a.id;
  area["name"] = a.name;
  area["region"] = a.region;
  area["width"] = width;
  area["origin_x"] = a.originX;
  area["min_y"] = a.minY;
  if (a.description) area["description"] = a.description;
  json items = json::array();
  for (const auto& it : a.items)
    items.push_back({{"flag", it.flag}, {"type", it.type}, {"x", it.x}, {"y", it.y}, {"frame", it.frame}});
  area["items"] = items;
  json actors = json::array();
  for (const auto& ac : a.actors) actors.push_back({{"type", ac.type}, {"x", ac.x}, {"y", ac.y}, {"data", ac.data}});
  area["actors"] = actors;
  return area;
}

// The area's pattern sheet, block patterns then backdrop patterns, written beside the world.
struct AreaSheet {
  const Backdrop* backdrop = nullptr;
  int blockPatterns = 0, backdropPatterns = 0;
};

AreaSheet writeAreaSheet(AreaBuild& build, const AreaSource& a, const Tileset* tiles, json& area) {
  AreaSheet out;
  if (!tiles) return out;
  const fs::path& f = a.file;
  std::vector<Pattern> sheet = tiles->patterns.patterns;
  out.blockPatterns = static_cast<int>(sheet.size());
  if ((out.backdrop = backdropOf(build, a))) {
    out.backdropPatterns = static_cast<int>(out.backdrop->patterns.patterns.size());
    sheet.insert(sheet.end(), out.backdrop->patterns.patterns.begin(), out.backdrop->patterns.patterns.end());
  }
  int room = a.id == kStartArea ? kPatternRoomStart : kPatternRoom;
  if (static_cast<int>(sheet.size()) > room)
    fail(f, 0,
         "tileset and backdrop hold " + std::to_string(sheet.size()) + " patterns; the area has room for " +
             std::to_string(room));
  if (a.id == kTowerArea && static_cast<int>(sheet.size()) < kTowerPatterns)
    fail(f, 0,
         "the tower's sheet needs at least " + std::to_string(kTowerPatterns) + " patterns, it has " +
             std::to_string(sheet.size()));
  char name[64];
  std::snprintf(name, sizeof name, "assets/graphics/areas/area_%02d.png", a.id);
  writePatternSheet(build.outputRoot / name, sheet);
  build.sheetPatterns[a.id] = static_cast<int>(sheet.size());
  ++build.written;
  area["patterns"] = name;
  return out;
}

// Collision follows what is drawn: each block's 8 x 8 cells mark their bits, one byte per 8-pixel
// column and 64-pixel band, bit (y / 8) mod 8.
std::vector<std::uint8_t> collisionOf(const AreaSource& a, const Tileset& tiles, std::vector<MapColumn> drawn) {
  const int width = static_cast<int>(drawn.size());
  std::vector<std::uint8_t> collision(static_cast<std::size_t>(width) * 12, 0);
  for (auto [index, value] : a.patches) drawn[index / 6][index % 6] = static_cast<std::uint8_t>(value);
  for (int c = 0; c < width; ++c)
    for (int r = 0; r < 6; ++r) {
      const auto& solid = tiles.solid[drawn[c][r]];
      for (int q = 0; q < 4; ++q)
        for (int s = 0; s < 4; ++s) {
          if (!solid[4 * q + s]) continue;
          int px8 = 4 * c + q, row = 4 * r + s;
          collision[static_cast<std::size_t>(px8) * 3 + row / 8] |= static_cast<std::uint8_t>(1 << (row & 7));
        }
    }
  return collision;
}

json animationsJson(const AreaSource& a, const Tileset& tiles) {
  const fs::path& f = a.file;
  if (a.animationWords.size() > 8) fail(f, a.animationLines[8], "at most eight block animations per area");
  json anims = json::array();
  for (std::size_t k = 0; k < a.animationWords.size(); ++k) {
    const auto& w = a.animationWords[k];
    int line = a.animationLines[k];
    auto block = [&](const std::string& name) {
      auto b = tiles.blockIndex.find(name);
      if (b == tiles.blockIndex.end()) fail(f, line, "unknown block " + name);
      return b->second;
    };
    std::vector<int> frames;
    for (std::size_t i = 3; i < w.size(); ++i) frames.push_back(block(w[i]));
    int loop = static_cast<int>(parseNumber(w[2], f, line));
    if (loop < 0 || loop >= static_cast<int>(frames.size()))
      fail(f, line, "the loop index must name one of the frames");
    anims.push_back(
        {{"block", block(w[0])}, {"delay", parseNumber(w[1], f, line)}, {"loop", loop}, {"frames", frames}});
  }
  return anims;
}

// The area's entry in areas.json: its palette set's lines.
json paletteEntry(const AreaBuild& build, const AreaSource& a, const Backdrop* back) {
  const fs::path& f = a.file;
  auto p = build.palettes->find(a.palette);
  if (p == build.palettes->end()) fail(f, 0, "palette " + a.palette + " is not in data/palettes.json");
  json entry{{"id", a.id}, {"line0", lineJson(p->second.line0)}};
  entry["line1"] = p->second.line1 ? lineJson(*p->second.line1) : json(nullptr);
  entry["line3"] = p->second.line3 ? lineJson(*p->second.line3) : json(nullptr);
  if (p->second.variants.empty()) {
    entry["variants"] = nullptr;
  } else {
    json lines = json::array();
    for (const auto& l : p->second.variants) lines.push_back(lineJson(l));
    entry["variants"] = {{"index", {0, 1, 2, 3}}, {"lines", lines}};
  }
  if (a.id == 0 && (!back || !p->second.line1))
    fail(f, 0, "area 0 lends the title its backdrop and line 1: it needs both");
  return entry;
}

// What an area with a map adds to its entry: exits, blocks, map and patches, collision, backdrop
// and animations; and its palette entry.
void addMapFields(AreaBuild& build, const AreaSource& a, const Tileset& tiles, const std::vector<MapColumn>& map,
                  const AreaSheet& sheet, json& area) {
  const fs::path& f = a.file;
  const int width = static_cast<int>(map.size());
  area["exits_top"] = json::array({exitJson(a.exitsTop[0]), exitJson(a.exitsTop[1])});
  area["exits_bottom"] = json::array({exitJson(a.exitsBottom[0]), exitJson(a.exitsBottom[1])});
  json blocks = json::array();
  for (const auto& b : tiles.blocks) blocks.push_back(std::vector<int>(b.begin(), b.end()));
  area["blocks"] = blocks;
  json mapJson = json::array();
  for (const auto& col : map) mapJson.push_back(std::vector<int>(col.begin(), col.end()));
  area["map"] = mapJson;
  json patches = json::array();
  for (auto [index, value] : a.patches) {
    if (index < 0 || index >= width * 6) fail(f, 0, "patch index " + std::to_string(index) + " lies outside the map");
    if (value < 0 || value >= static_cast<int>(tiles.blocks.size())) fail(f, 0, "patch value is not a block");
    patches.push_back({index, value});
  }
  area["map_patches"] = patches;

  std::vector<std::uint8_t> collision = collisionOf(a, tiles, map);
  area["collision"] = hexBytes(collision);
  build.collisions[a.id] = collision;
  if (sheet.backdrop) {
    json rows = json::array();
    for (const auto& row : sheet.backdrop->rows) rows.push_back(std::vector<int>(row.begin(), row.end()));
    area["backdrop"] = rows;
    area["backdrop_patterns"] = sheet.backdropPatterns;
  }
  area["area_patterns"] = sheet.blockPatterns;
  if (a.blocksLine3) area["blocks_line3"] = a.blocksLine3;
  if (a.backdropFront) {
    if (!sheet.backdrop) fail(f, 0, "backdrop_front needs a backdrop");
    area["backdrop_front"] = true;
  }
  area["animations"] = animationsJson(a, tiles);
  build.paletteAreas.push_back(paletteEntry(build, a, sheet.backdrop));
}

void buildArea(AreaBuild& build, const AreaSource& a) {
  checkAreaFields(a, build.itemFlags);
  // Map first: its width bounds the item positions.
  const Tileset* tiles = tilesetOf(build, a);
  std::vector<MapColumn> map;
  if (!a.mapless) map = readMap(a, tiles);
  const int width = a.mapless ? a.width : static_cast<int>(map.size());
  checkRange(width, 10, 96, a.file, a.mapLine, "width");
  for (const auto& it : a.items) checkRange(it.x, 0, width * 32 - 1, a.file, it.line, "item x");

  json area = areaFieldsJson(a, width);
  const AreaSheet sheet = writeAreaSheet(build, a, tiles, area);
  if (a.mapless) {
    area["map"] = nullptr;
  } else {
    addMapFields(build, a, *tiles, map, sheet, area);
  }
  build.worldAreas.push_back(area);
}

// What the objects and the arrival checks see of the areas: map or not, width and collision.
std::vector<AreaGround> groundOf(const std::vector<AreaSource>& areas, const AreaBuild& build) {
  std::vector<AreaGround> ground(areas.size());
  for (const auto& a : areas) {
    ground[a.id].hasMap = !a.mapless;
    ground[a.id].width = build.worldAreas[a.id]["width"].get<int>();
    if (auto c = build.collisions.find(a.id); c != build.collisions.end()) ground[a.id].collision = c->second;
  }
  return ground;
}

// world.json's doors, edges and door locks.
struct Links {
  json source;  // the file as read
  json doors = json::array();
  json edges = json::array();
  std::string locks;
};

Links readLinks(const fs::path& worldFile) {
  Links out;
  json& links = out.source = readJson(worldFile);
  for (const char* key : {"doors", "edges", "objects", "lifts"})
    if (!links.contains(key) || !links[key].is_array())
      fail(worldFile, 0, std::string("\"") + key + "\" must be an array");
  if (links["doors"].size() != kDoorCount)
    fail(worldFile, 0,
         "the world needs " + std::to_string(kDoorCount) + " doors, found " + std::to_string(links["doors"].size()));
  if (links["edges"].size() != kEdgeCount)
    fail(worldFile, 0,
         "the world needs " + std::to_string(kEdgeCount) + " edges, found " + std::to_string(links["edges"].size()));
  for (std::size_t i = 0; i < links["doors"].size(); ++i) {
    const auto& d = links["doors"][i];
    std::string where = "doors[" + std::to_string(i) + "]";
    json door{{"area", intAt(d, "area", worldFile, where)},
              {"target", intAt(d, "target", worldFile, where)},
              {"x", intAt(d, "x", worldFile, where)},
              {"y", intAt(d, "y", worldFile, where)}};
    checkRange(door["area"], 0, kAreaCount - 1, worldFile, 0, where + " area");
    checkRange(door["target"], 0, kAreaCount - 1, worldFile, 0, where + " target");
    if (!d.contains("rect") || !d["rect"].is_array() || d["rect"].size() != 4)
      fail(worldFile, 0, where + ": \"rect\" is four integers");
    door["rect"] = d["rect"];
    out.doors.push_back(door);
  }
  for (std::size_t i = 0; i < links["edges"].size(); ++i) {
    const auto& e = links["edges"][i];
    std::string where = "edges[" + std::to_string(i) + "]";
    int area = intAt(e, "area", worldFile, where);
    checkRange(area, 34, 47, worldFile, 0, where + " area");
    json edge{{"area", area}};
    for (const char* side : {"left", "right"}) {
      if (!e.contains(side)) fail(worldFile, 0, where + ": needs \"" + side + "\"");
      const auto& s = e[side];
      std::string w2 = where + "." + side;
      edge[side] = {{"threshold", intAt(s, "threshold", worldFile, w2)},
                    {"area", intAt(s, "area", worldFile, w2)},
                    {"x", intAt(s, "x", worldFile, w2)},
                    {"y", intAt(s, "y", worldFile, w2)}};
    }
    out.edges.push_back(edge);
  }
  return out;
}

// Where doors, edges, exits and the new game put the hero down.
class ArrivalCheck {
 public:
  ArrivalCheck(const fs::path& worldFile, const AreaBuild& build) : worldFile_(worldFile), build_(build) {}

  // Every arrival must land inside an area that has a map: the logic stops on a door, edge or exit
  // into a mapless area, and a position past the area's end leaves the hero outside the picture.
  void inArea(int area, int x, const std::string& where) const {
    if (area < 0 || area >= kAreaCount || kMaplessAreas.count(area))
      fail(worldFile_, 0, where + ": leads to area " + std::to_string(area) + ", which has no map");
    int limit = build_.worldAreas[area]["width"].get<int>() * 32;
    if (x != -1 && (x < 0 || x >= limit))
      fail(worldFile_, 0, where + ": arrival x " + std::to_string(x) + " lies outside area " + std::to_string(area));
  }

  // A door puts the hero down at its arrival point: he must stand on ground there, with room for
  // his 24-pixel height above it. He tests the ground under him at x + 6 and x + 18 and his head
  // room at x + 6, x + 14 and x + 18, so a place counts as open ground only as he sees it.
  void standing(const fs::path& file, int area, int x, int y, const std::string& where) const {
    bool clear = true;
    for (int px : {x + 6, x + 14, x + 18})
      for (int dy = 0; dy < 24; ++dy) clear = clear && !solidAt(area, px, y + dy);
    if (!clear || !(solidAt(area, x + 6, y + 24) || solidAt(area, x + 18, y + 24)))
      fail(file, 0,
           where + ": (" + std::to_string(x) + ", " + std::to_string(y) + ") in area " + std::to_string(area) +
               " is not open ground");
  }
  void standing(int area, int x, int y, const std::string& where) const { standing(worldFile_, area, x, y, where); }

 private:
  bool solidAt(int area, int x, int y) const {
    auto found = build_.collisions.find(area);
    if (found == build_.collisions.end()) return false;
    const auto& c = found->second;
    std::size_t byte = static_cast<std::size_t>(x / 8) * 3 + static_cast<std::size_t>(y / 64);
    return y >= 0 && y < 192 && byte < c.size() && ((c[byte] >> ((y >> 3) & 7)) & 1);
  }

  const fs::path& worldFile_;
  const AreaBuild& build_;
};

void checkArrivals(const fs::path& worldFile, const Links& links, const std::vector<AreaSource>& areas,
                   const AreaBuild& build) {
  const ArrivalCheck check(worldFile, build);
  for (std::size_t i = 0; i < links.doors.size(); ++i) {
    std::string where = "doors[" + std::to_string(i) + "]";
    check.inArea(links.doors[i]["target"], links.doors[i]["x"], where);
    check.standing(links.doors[i]["target"], links.doors[i]["x"], links.doors[i]["y"], where);
  }
  check.standing(kStartArea, 160, 152, "the new game's start");
  // An exit into another area restarts the hero at its x and y (unless x is -1): on open ground.
  for (const json& area : build.worldAreas) {
    if (!area.contains("exits_top")) continue;
    for (const char* key : {"exits_top", "exits_bottom"})
      for (int k = 0; k < 2; ++k) {
        const json& e = area[key][k];
        if (e["area"] == area["id"] || e["x"] == -1) continue;
        const int id = area["id"];
        std::string where = std::string(key) + "[" + std::to_string(k) + "]";
        check.inArea(e["area"], e["x"], "area " + std::to_string(id) + " " + where);
        check.standing(areas[static_cast<std::size_t>(id)].file, e["area"], e["x"], e["y"], where);
      }
  }
  for (std::size_t i = 0; i < links.edges.size(); ++i)
    for (const char* side : {"left", "right"}) {
      std::string where = "edges[" + std::to_string(i) + "]." + side;
      const json& e = links.edges[i][side];
      check.inArea(e["area"], e["x"], where);
      // The record of an edge that cannot be reached (thresholds at the ends of the number range)
      // only has to name an area with a map.
      int threshold = e["threshold"];
      if (threshold > -32768 && threshold < 32767) check.standing(e["area"], e["x"], e["y"], where);
    }
}

// The actors of every area, against its stars and the places where doors, edges, exits and the new
// game put the hero down.
void checkAreaActors(const Links& links, const std::vector<AreaSource>& areas, const AreaBuild& build,
                     const std::vector<AreaGround>& ground) {
  std::vector<ActorArea> actorAreas;
  for (const AreaSource& a : areas) {
    ActorArea area{a.file, a.id, &a.actors, {}, {}, {}};
    for (const auto& it : a.items)
      if (it.type == 2) area.stars.push_back({it.x, it.y, it.line});
    actorAreas.push_back(area);
  }
  auto arrive = [&](int area, int x, int y) {
    if (area >= 0 && area < static_cast<int>(actorAreas.size()) && x != -1 && y != -1)
      actorAreas[static_cast<std::size_t>(area)].arrivals.push_back({x, y});
  };
  for (const json& d : links.doors) arrive(d["target"], d["x"], d["y"]);
  for (const json& e : links.edges)
    for (const char* side : {"left", "right"}) arrive(e[side]["area"], e[side]["x"], e[side]["y"]);
  for (const json& area : build.worldAreas) {
    if (!area.contains("exits_top")) continue;
    for (const char* key : {"exits_top", "exits_bottom"})
      for (int k = 0; k < 2; ++k) arrive(area[key][k]["area"], area[key][k]["x"], area[key][k]["y"]);
    // Through the bottom of an area the hero drops in at the top of the next one and falls to its floor.
    for (int k = 0; k < 2; ++k) {
      const json& e = area["exits_bottom"][k];
      const int target = e["area"], x = e["x"], y = e["y"];
      if (target != area["id"] && target >= 0 && target < static_cast<int>(actorAreas.size()) && x != -1 && y != -1)
        actorAreas[static_cast<std::size_t>(target)].drops.push_back({x, y});
    }
  }
  arrive(kStartArea, 160, 152);
  checkActors(actorAreas, ground);
}

// The cartridge image: the ranges the program builds from the world are kept clear, then the
// objects, lifts and every rom source are placed.
RomImage assembleRom(const fs::path& data, const fs::path& worldFile, const Links& links,
                     const std::vector<AreaGround>& ground, ObjectTables& things) {
  RomImage rom;
  const auto nDoors = static_cast<std::uint32_t>(links.doors.size());
  const auto nEdges = static_cast<std::uint32_t>(links.edges.size());
  rom.reserve(sim::cart::kDoorLocks, 8, "the door locks built from world.json");
  rom.reserve(sim::cart::kDoors, 12 * nDoors + 2 + 8 * nDoors, "the door table built from world.json");
  rom.reserve(sim::cart::kEdges, 18 * nEdges + 2, "the edge table built from world.json");
  // Objects and lifts have their own sources; world.json keeps its two keys empty.
  for (const char* key : {"objects", "lifts"})
    if (!links.source[key].empty())
      fail(worldFile, 0, std::string("\"") + key + "\" stays empty: they are written in data/" + key + ".txt");
  things = readObjectTables(data / "objects.txt", data / "lifts.txt", ground, rom);
  rom.reserve(sim::cart::kObjects, 16 * static_cast<std::uint32_t>(things.objects.size()),
              "the object table built from world.json");
  rom.reserve(sim::cart::kLifts, 18 * static_cast<std::uint32_t>(things.lifts.size()),
              "the lift table built from world.json");
  std::vector<fs::path> romFiles;
  for (const auto& e : fs::directory_iterator(data / "rom"))
    if (e.is_regular_file() && e.path().extension() == ".txt") romFiles.push_back(e.path());
  std::sort(romFiles.begin(), romFiles.end());
  for (const auto& f : romFiles) assembleRomSource(f, rom);
  return rom;
}

// The image's sections in address order as tables.json (the named tables, as words) and
// rule_tables.json (the raw ranges).
struct RomTables {
  json tables = json::array();
  json rules = json::array();
};

RomTables romTables(const RomImage& rom, const fs::path& romFolder) {
  auto sections = rom.sections();
  std::stable_sort(sections.begin(), sections.end(),
                   [](const RomSection& x, const RomSection& y) { return x.address < y.address; });
  RomTables out;
  std::set<std::string> names;
  for (const auto& s : sections) {
    if (s.name.empty()) {
      out.rules.push_back({{"address", hex6(s.address)}, {"bytes", hexBytes(s.bytes)}});
      continue;
    }
    if (!names.insert(s.name).second) fail(romFolder, 0, "table " + s.name + " is defined twice");
    std::vector<int> words;
    for (std::size_t i = 0; i + 1 < s.bytes.size(); i += 2) words.push_back(s.bytes[i] << 8 | s.bytes[i + 1]);
    std::vector<std::uint8_t> tail;
    if (s.bytes.size() % 2) tail.push_back(s.bytes.back());
    out.tables.push_back({{"name", s.name},
                          {"address", hex6(s.address)},
                          {"reader", s.reader},
                          {"words", words},
                          {"tail", hexBytes(tail)}});
  }
  for (const char* name : kTableNames)
    if (!names.count(name)) fail(romFolder, 0, std::string("the named table ") + name + " is missing");
  if (names.size() != std::size(kTableNames))
    fail(romFolder, 0, "only the 13 named tables may carry a name; use rule for other ranges");
  return out;
}

}  // namespace

BuildResult buildDataSet(const fs::path& sourceRoot, const fs::path& outputRoot) {
  BuildResult result;
  try {
    const fs::path data = sourceRoot / "data";
    const Palettes palettes = readPalettes(data / "palettes.json");
    const std::vector<AreaSource> areas = readAreas(data / "areas");

    AreaBuild build;
    build.data = data;
    build.outputRoot = outputRoot;
    build.palettes = &palettes.sets;
    for (const auto& a : areas) buildArea(build, a);
    for (int id = 34; id <= 40; ++id)
      if (!areas[id].backdropFront)
        fail(areas[id].file, 0, "the tunnel areas 34 to 40 draw their backdrop in front: backdrop_front: yes");
    const std::vector<AreaGround> ground = groundOf(areas, build);
    checkStars(areas, ground);

    // Doors, edges and locks.
    const fs::path worldFile = data / "world.json";
    const Links links = readLinks(worldFile);
    checkArrivals(worldFile, links, areas, build);
    checkAreaActors(links, areas, build, ground);
    std::string locks = links.source.value("door_locks", "");
    if (locks.size() != 16 || locks.find_first_not_of("0123456789abcdef") != std::string::npos)
      fail(worldFile, 0, "door_locks: 16 lower-case hex digits (8 bytes)");

    ObjectTables things;
    RomImage rom = assembleRom(data, worldFile, links, ground, things);
    // The sprites: sheets, pictures and the sprite bank tables.
    int written = build.written;
    written += buildSprites(SpriteBuildInput{data, outputRoot, build.sheetPatterns, palettes.hero}, rom);
    written += buildIcon(data, outputRoot, palettes.hero);
    const RomTables tables = romTables(rom, data / "rom");

    json world;
    world["schema"] = 2;
    world["door_locks"] = locks;
    world["doors"] = links.doors;
    world["edges"] = links.edges;
    world["objects"] = things.objects;
    world["lifts"] = things.lifts;
    world["areas"] = build.worldAreas;
    writeText(outputRoot / "world/world.json", layout(world), written);
    json pal;
    pal["brumo_line2"] = lineJson(palettes.hero);
    pal["areas"] = build.paletteAreas;
    writeText(outputRoot / "assets/palettes/areas.json", layout(pal), written);
    writeText(outputRoot / "assets/data/tables.json", layout(json{{"tables", tables.tables}}), written);
    writeText(outputRoot / "assets/data/rule_tables.json", layout(json{{"tables", tables.rules}}), written);
    buildScreenArt(data, outputRoot, written);
    for (const auto& t : buildTexts(data / "text"))
      writeText(outputRoot / ("assets/text/" + t.code + ".json"), t.json, written);
    result.filesWritten = written;
    result.ok = true;
  } catch (const SourceError& e) {
    result.error = e.what();
  } catch (const fs::filesystem_error& e) {
    result.error = e.what();
  } catch (const json::exception& e) {
    result.error = std::string("data: ") + e.what();
  }
  return result;
}

}  // namespace builder
