#include "area_source.h"

#include <optional>
#include <set>
#include <sstream>

#include "source_error.h"

namespace builder {

namespace {

std::vector<std::string> readLines(const std::filesystem::path& file) {
  std::istringstream text(readSource(file));
  std::vector<std::string> lines;
  for (std::string l; std::getline(text, l);) {
    if (!l.empty() && l.back() == '\r') l.pop_back();
    lines.push_back(l);
  }
  return lines;
}

std::vector<std::string> words(const std::string& line) {
  // A comment starts with a '#' that begins a word, so the '#' inside a collision mask is kept.
  std::size_t comment = 0;
  while ((comment = line.find('#', comment)) != std::string::npos && comment > 0 && line[comment - 1] != ' ' &&
         line[comment - 1] != '\t')
    ++comment;
  std::istringstream in(line.substr(0, comment));
  std::vector<std::string> w;
  for (std::string s; in >> s;) w.push_back(s);
  return w;
}

int num(const std::string& s, const std::filesystem::path& file, int line) {
  return static_cast<int>(parseNumber(s, file, line));
}

// "name" or "name/FLAGS" with flags h (flip), v (flip), p (priority), 0-3 (palette line).
std::uint16_t tileWord(const std::string& token, const PatternSet& set, const std::filesystem::path& file, int line) {
  auto slash = token.find('/');
  std::string name = token.substr(0, slash);
  auto it = set.index.find(name);
  if (it == set.index.end()) fail(file, line, "unknown pattern " + name);
  std::uint16_t word = static_cast<std::uint16_t>(it->second);
  if (slash != std::string::npos) {
    for (char f : token.substr(slash + 1)) {
      if (f == 'h')
        word |= 0x0800;
      else if (f == 'v')
        word |= 0x1000;
      else if (f == 'p')
        word |= 0x8000;
      else if (f >= '0' && f <= '3')
        word = static_cast<std::uint16_t>(word | ((f - '0') << 13));
      else
        fail(file, line, std::string("unknown cell flag '") + f + "' (h v p 0-3)");
    }
  }
  return word;
}

// A cell that shows nothing: its pattern is all colour 0.
bool isClear(const PatternSet& set, std::uint16_t word) {
  const auto& p = set.patterns[static_cast<std::size_t>(word & 0x07FF)];
  for (auto px : p)
    if (px != 0) return false;
  return true;
}

bool isOpaque(const PatternSet& set, std::uint16_t word) {
  const auto& p = set.patterns[static_cast<std::size_t>(word & 0x07FF)];
  for (auto px : p)
    if (px == 0) return false;
  return true;
}

// The pixel of a cell as it is seen, its flips applied.
std::uint8_t seen(const PatternSet& set, std::uint16_t word, int x, int y) {
  if (word & 0x0800) x = 7 - x;
  if (word & 0x1000) y = 7 - y;
  return set.patterns[static_cast<std::size_t>(word & 0x07FF)][static_cast<std::size_t>(8 * y + x)];
}

// The cell drawn over the backing cell, as one unflipped pattern (made once per pair); the cell's
// priority is kept.
std::uint16_t backed(PatternSet& set, std::uint16_t cell, std::uint16_t back) {
  const std::string name = "backed:" + std::to_string(cell & 0x1FFF) + ":" + std::to_string(back);
  auto found = set.index.find(name);
  if (found == set.index.end()) {
    Pattern p{};
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x) {
        const std::uint8_t front = seen(set, cell, x, y);
        p[static_cast<std::size_t>(8 * y + x)] = front != 0 ? front : seen(set, back, x, y);
      }
    set.add(name, p);
    found = set.index.find(name);
  }
  return static_cast<std::uint16_t>((cell & 0x8000) | found->second);
}

std::array<bool, 16> collisionOf(const std::string& rule, const std::filesystem::path& file, int line) {
  // Masks are written row by row (top first) for the eye; the result is column-major like the words.
  std::array<std::string, 4> rows;
  if (rule == "solid")
    rows = {"####", "####", "####", "####"};
  else if (rule == "empty")
    rows = {"....", "....", "....", "...."};
  else if (rule == "top")
    rows = {"####", "....", "....", "...."};
  else if (rule == "bottom")
    rows = {"....", "....", "####", "####"};
  else if (rule.rfind("mask:", 0) == 0 && rule.size() == 5 + 19) {
    for (int r = 0; r < 4; ++r) rows[r] = rule.substr(5 + 5 * r, 4);
  } else {
    fail(file, line, "collision is solid, empty, top, bottom or mask:####/..../..../....");
  }
  std::array<bool, 16> solid{};
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) {
      char ch = rows[r][c];
      if (ch != '#' && ch != '.') fail(file, line, "a collision mask holds only # and .");
      solid[4 * c + r] = ch == '#';
    }
  return solid;
}

void readPatternsLine(const std::vector<std::string>& w, PatternSet& set, const std::filesystem::path& patternDir) {
  for (std::size_t i = 1; i < w.size(); ++i) readPatternFile(patternDir / w[i], set);
}

}  // namespace

namespace {

// `base` is set while reading the tileset a skin names, which must not be a skin in turn.
Tileset readTilesetFile(const std::filesystem::path& file, const std::filesystem::path& patternDir,
                        const std::string& base) {
  Tileset t;
  std::set<std::string> redrawn;                         // the blocks a skin has drawn anew
  std::optional<std::array<std::uint16_t, 16>> backing;  // column-major like a block's words
  auto lines = readLines(file);
  bool first = true;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    int n = static_cast<int>(i) + 1;
    auto w = words(lines[i]);
    if (w.empty()) continue;
    const bool opening = first;
    first = false;
    if (w[0] == "skin") {
      if (w.size() != 2) fail(file, n, "expected: skin BASE");
      if (!opening) fail(file, n, "skin comes first in a tileset, before its patterns and blocks");
      if (!base.empty())
        fail(file, n, "tileset " + base + " is itself a skin; a skin names a tileset with its own blocks");
      t = readTilesetFile(file.parent_path() / (w[1] + ".txt"), patternDir, w[1]);
      t.skinOf = w[1];
    } else if (w[0] == "patterns") {
      for (std::size_t k = 1; k < w.size(); ++k) readPatternFile(patternDir / w[k], t.patterns, !t.skinOf.empty());
    } else if (w[0] == "block") {
      if (w.size() != 3) fail(file, n, "expected: block NAME COLLISION");
      std::array<std::uint16_t, 16> cells{};
      for (int r = 0; r < 4; ++r) {
        std::size_t at = i + 1 + r;
        auto cw = at < lines.size() ? words(lines[at]) : std::vector<std::string>{};
        if (cw.size() != 4)
          fail(file, static_cast<int>(at) + 1, "block " + w[1] + ": each of its four rows holds four cells");
        for (int c = 0; c < 4; ++c) cells[4 * c + r] = tileWord(cw[c], t.patterns, file, static_cast<int>(at) + 1);
      }
      const auto solid = collisionOf(w[2], file, n);
      if (!t.skinOf.empty()) {
        auto base = t.blockIndex.find(w[1]);
        if (base == t.blockIndex.end())
          fail(file, n, "block " + w[1] + " is not in tileset " + t.skinOf + ": a skin only redraws its blocks");
        if (!redrawn.insert(w[1]).second) fail(file, n, "block " + w[1] + " redrawn twice");
        const auto k = static_cast<std::size_t>(base->second);
        if (t.solid[k] != solid) fail(file, n, "block " + w[1] + " must keep its collision in tileset " + t.skinOf);
        t.blocks[k] = cells;
      } else {
        if (t.blockIndex.count(w[1])) fail(file, n, "block " + w[1] + " defined twice");
        t.blockIndex[w[1]] = static_cast<int>(t.blocks.size());
        t.blocks.push_back(cells);
        t.solid.push_back(solid);
      }
      i += 4;
    } else if (w[0] == "backing") {
      if (w.size() != 1) fail(file, n, "expected: backing, then four rows of four cells");
      if (backing) fail(file, n, "a tileset has one backing");
      backing.emplace();
      for (int r = 0; r < 4; ++r) {
        std::size_t at = i + 1 + r;
        auto cw = at < lines.size() ? words(lines[at]) : std::vector<std::string>{};
        if (cw.size() != 4) fail(file, static_cast<int>(at) + 1, "backing: each of its four rows holds four cells");
        for (int c = 0; c < 4; ++c) {
          const std::uint16_t word = tileWord(cw[c], t.patterns, file, static_cast<int>(at) + 1);
          if (isClear(t.patterns, word))
            fail(file, static_cast<int>(at) + 1, "backing: " + cw[c] + " is all colour 0 and would back nothing");
          (*backing)[static_cast<std::size_t>(4 * c + r)] = word;
        }
      }
      i += 4;
    } else {
      fail(file, n, "unknown statement \"" + w[0] + "\"");
    }
  }
  // The backing fills every clear cell of every block, the base's and the redrawn alike, by its place
  // in the block; the blank pattern itself stays clear for everything else that draws with it.
  // A cell that is only partly drawn (a plank, spikes, a ladder) gets a pattern of its own with the
  // backing showing through its open pixels.
  if (backing)
    for (auto& block : t.blocks)
      for (std::size_t k = 0; k < block.size(); ++k) {
        if (isClear(t.patterns, block[k]))
          block[k] = (*backing)[k];
        else if ((block[k] & 0x6000) == 0 && !isOpaque(t.patterns, block[k]))
          block[k] = backed(t.patterns, block[k], (*backing)[k]);
      }
  if (t.blocks.empty()) fail(file, 0, "a tileset needs at least one block");
  if (t.blocks.size() > 256) fail(file, 0, "more than 256 blocks: the map holds one byte per block");
  return t;
}

}  // namespace

Tileset readTileset(const std::filesystem::path& file, const std::filesystem::path& patternDir) {
  return readTilesetFile(file, patternDir, "");
}

Backdrop readBackdrop(const std::filesystem::path& file, const std::filesystem::path& patternDir) {
  Backdrop b;
  std::map<char, std::string> legend;
  auto lines = readLines(file);
  std::size_t i = 0;
  for (; i < lines.size(); ++i) {
    int n = static_cast<int>(i) + 1;
    auto w = words(lines[i]);
    if (w.empty()) continue;
    if (w[0] == "patterns")
      readPatternsLine(w, b.patterns, patternDir);
    else if (w[0] == "legend") {
      if (w.size() != 3 || w[1].size() != 1) fail(file, n, "expected: legend CHARACTER PATTERN");
      legend[w[1][0]] = w[2];
    } else if (w[0] == "grid") {
      ++i;
      break;
    } else
      fail(file, n, "unknown statement \"" + w[0] + "\"");
  }
  for (; i < lines.size() && b.rows.size() < 24; ++i) {
    int n = static_cast<int>(i) + 1;
    const std::string& row = lines[i];
    if (row.size() != 32) fail(file, n, "a backdrop row is 32 characters");
    std::array<std::uint16_t, 32> words{};
    for (int c = 0; c < 32; ++c) {
      auto it = legend.find(row[c]);
      if (it == legend.end()) fail(file, n, std::string("'") + row[c] + "' is not in the legend");
      std::uint16_t w = tileWord(it->second, b.patterns, file, n);
      if (w & 0xE000) fail(file, n, "backdrop cells take flips only (the renderer sets their line and priority)");
      words[c] = w;
    }
    b.rows.push_back(words);
  }
  if (b.rows.size() != 24) fail(file, 0, "a backdrop needs 24 rows after \"grid\"");
  return b;
}

AreaSource readArea(const std::filesystem::path& file) {
  AreaSource a;
  a.file = file;
  auto lines = readLines(file);
  bool inMap = false;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    int n = static_cast<int>(i) + 1;
    if (inMap) {
      if (words(lines[i]).empty()) continue;
      if (a.rows.size() == 6) fail(file, n, "a map has six rows");
      if (a.rows.empty()) a.mapLine = n;
      a.rows.push_back(lines[i]);
      continue;
    }
    auto w = words(lines[i]);
    if (w.empty()) continue;
    std::string key = w[0];
    if (key.back() != ':') fail(file, n, "expected KEY: VALUE");
    key.pop_back();
    auto need = [&](std::size_t count) {
      if (w.size() != count + 1) fail(file, n, key + ": expected " + std::to_string(count) + " values");
    };
    if (key == "id") {
      need(1);
      a.id = num(w[1], file, n);
    } else if (key == "name") {
      a.name = lines[i].substr(lines[i].find(':') + 1);
      a.name.erase(0, a.name.find_first_not_of(' '));
    } else if (key == "region") {
      need(1);
      a.region = w[1];
    } else if (key == "width") {
      need(1);
      a.width = num(w[1], file, n);
    } else if (key == "tileset") {
      need(1);
      a.tileset = w[1];
    } else if (key == "backdrop") {
      need(1);
      a.backdrop = w[1];
    } else if (key == "palette") {
      need(1);
      a.palette = w[1];
    } else if (key == "backdrop_front") {
      need(1);
      a.backdropFront = w[1] == "yes";
    } else if (key == "origin_x") {
      need(1);
      a.originX = num(w[1], file, n);
    } else if (key == "min_y") {
      need(1);
      a.minY = num(w[1], file, n);
    } else if (key == "description") {
      need(1);
      a.description = num(w[1], file, n);
    } else if (key == "blocks_line3") {
      need(1);
      a.blocksLine3 = num(w[1], file, n);
    } else if (key == "exits_top" || key == "exits_bottom") {
      need(8);
      auto& e = key == "exits_top" ? a.exitsTop : a.exitsBottom;
      for (int k = 0; k < 2; ++k)
        e[k] = {num(w[1 + 4 * k], file, n), num(w[2 + 4 * k], file, n), num(w[3 + 4 * k], file, n),
                num(w[4 + 4 * k], file, n)};
    } else if (key == "item") {
      need(5);
      // Item types by name: what the logic does with each.
      static const std::map<std::string, int> kTypes = {{"hazard", 0},  {"food", 1},       {"star", 2},
                                                        {"scenery", 3}, {"tower_star", 4}, {"fruit", 5}};
      auto named = kTypes.find(w[1]);
      int type = named != kTypes.end() ? named->second : num(w[1], file, n);
      a.items.push_back({num(w[4], file, n), type, num(w[2], file, n), num(w[3], file, n), num(w[5], file, n), n});
    } else if (key == "actor") {
      need(4);
      a.actors.push_back({num(w[1], file, n), num(w[2], file, n), num(w[3], file, n), w[4]});
      const std::string& d = w[4];
      if (d.size() < 4 || d.size() % 2 || d.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
        fail(file, n, "actor data is an even number (at least 4) of hex digits");
    } else if (key == "scenery") {
      need(4);
      a.scenery.push_back({num(w[1], file, n), num(w[2], file, n), num(w[3], file, n), num(w[4], file, n), n});
      if (a.scenery.back().width <= 0 || a.scenery.back().height <= 0)
        fail(file, n, "scenery: X Y WIDTH HEIGHT, with a width and a height");
    } else if (key == "patch") {
      need(2);
      a.patches.push_back({num(w[1], file, n), num(w[2], file, n)});
    } else if (key == "anim") {
      if (w.size() < 5) fail(file, n, "expected: anim: BLOCK DELAY LOOP FRAME...");
      a.animationWords.push_back(std::vector<std::string>(w.begin() + 1, w.end()));
      a.animationLines.push_back(n);
    } else if (key == "legend") {
      need(2);
      if (w[1].size() != 1) fail(file, n, "legend: one character, then a block name");
      // A second line for the same character would silently turn every earlier use of it into another
      // block.
      if (!a.legend.emplace(w[1][0], w[2]).second)
        fail(file, n, std::string("'") + w[1][0] + "' is already in the legend as " + a.legend.at(w[1][0]));
    } else if (key == "map") {
      if (w.size() == 2 && w[1] == "none")
        a.mapless = true;
      else if (w.size() == 1)
        inMap = true;
      else
        fail(file, n, "map: on its own line, then six rows (or map: none)");
    } else {
      fail(file, n, "unknown key \"" + key + "\"");
    }
  }
  return a;
}

}  // namespace builder
