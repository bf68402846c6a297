#include "sprite_banks.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>

#include <lodepng.h>
#include <nlohmann/json.hpp>

#include "patterns.h"
#include "sim/cartridge.h"
#include "source_error.h"
#include "sprite_art.h"

namespace builder {

namespace fs = std::filesystem;
using json = nlohmann::ordered_json;

namespace {

// What the game logic fixes about the common bank: it numbers the frames itself.
constexpr int kCommonFrames = 78;
constexpr int kFirstObjectSlot = 2, kLastObjectSlot = 33;
constexpr int kEnergyBarFrame = 73;  // the sea and archery copy 11 patterns of a borrowed frame over it
constexpr int kEnergyBarCells = 11;
constexpr int kHeroFrames = 46;
constexpr int kPanelPatterns = 18;  // digits 0-9, the plain tile 16 and the life icon 17
constexpr int kPanelColumns = 40, kPanelRows = 4;
constexpr int kStatusPanelRoom = 2048 - 1920 - kPanelPatterns;  // the panel's patterns end the store
constexpr int kPortraitFramePatterns = 160;
constexpr int kAreaRoom = 1920, kAreaRoomStart = 1824, kStartArea = 21;
constexpr int kLastArea = 50;
constexpr std::uint32_t kAreaListPointers = sim::cart::kAreaBankLists;
constexpr std::uint32_t kCommonEntry = sim::cart::kCommonBank;
constexpr std::uint32_t kSelectionPool = 0x044000;
constexpr int kPictureColumns = 32;

struct Where {
  fs::path file;
  int line = 0;
};

struct Selection {
  std::string art;  // a new frame cut from this art; empty for a reuse
  int reuse = 0;    // frame number reused when art is empty
  int attribute = 0;
  bool replaced = false;  // put in place of an included frame
  Where at;
};

struct Bank {
  std::string name;
  std::uint32_t block = 0;
  std::vector<Selection> selections;
  Where at;
  // Filled when the picture is laid out: each art's place in cells.
  std::map<std::string, std::pair<int, int>> place;
  std::uint32_t selectionAddress = 0;
};

struct BankList {
  std::vector<std::string> banks;
  Where at;
  std::uint32_t address = 0;
  bool fixed = false;  // written at `address` for a screen to name, not in the area table
};

// One frame of an area's expanded list, as the renderer will number it.
struct ListFrame {
  std::string art;  // what it shows (a reuse shows its source's art)
  int cells = 0;    // patterns it loads (0 for a reuse)
};

struct Sources {
  ArtSet arts;
  std::vector<std::pair<std::string, Where>> heroFrames, objectGraphics;
  std::map<int, std::pair<std::string, Where>> panelPatterns;
  struct LegendCell {
    std::string art;
    bool flipH = false, flipV = false;
  };
  std::map<char, LegendCell> panelLegend;
  std::vector<std::pair<std::string, Where>> panelRows;
  std::vector<Bank> banks;
  std::map<std::string, std::size_t> bankIndex;
  std::map<std::string, BankList> lists;
  std::vector<std::string> listOrder;
  std::map<int, std::pair<std::string, Where>> areaLists;
  std::string commonBank;
  Where commonAt;
};

std::vector<std::string> words(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> w;
  for (std::string s; in >> s;) w.push_back(s);
  return w;
}

std::string hex6(std::uint32_t a) {
  char t[16];
  std::snprintf(t, sizeof t, "%06X", a);
  return t;
}

// "3", "2-7": the areas (or frames) named by one word.
std::pair<int, int> range(const std::string& text, const fs::path& file, int line, int lo, int hi, const char* what) {
  auto dash = text.find('-', 1);
  int a = static_cast<int>(parseNumber(text.substr(0, dash), file, line));
  int b = dash == std::string::npos ? a : static_cast<int>(parseNumber(text.substr(dash + 1), file, line));
  if (a > b || a < lo || b > hi)
    fail(file, line,
         std::string(what) + " " + text + " lies outside " + std::to_string(lo) + " to " + std::to_string(hi));
  return {a, b};
}

void readBanks(const fs::path& file, Sources& s) {
  std::istringstream text(readSource(file));
  std::string line;
  Bank* bank = nullptr;
  for (int n = 1; std::getline(text, line); ++n) {
    if (auto hash = line.find('#'); hash != std::string::npos) line.erase(hash);
    auto w = words(line);
    if (w.empty()) continue;
    Where at{file, n};
    const std::string& op = w[0];
    if (op == "hero_frames" || op == "object_graphics") {
      auto& into = op == "hero_frames" ? s.heroFrames : s.objectGraphics;
      for (std::size_t k = 1; k < w.size(); ++k) into.push_back({w[k], at});
    } else if (op == "panel_pattern") {
      if (w.size() != 3) fail(file, n, "expected: panel_pattern NUMBER ART");
      int k = static_cast<int>(parseNumber(w[1], file, n));
      if (k < 0 || k >= kPanelPatterns)
        fail(file, n, "panel pattern " + w[1] + " lies outside 0 to " + std::to_string(kPanelPatterns - 1));
      if (!s.panelPatterns.emplace(k, std::make_pair(w[2], at)).second)
        fail(file, n, "panel pattern " + w[1] + " is given twice");
    } else if (op == "panel_legend") {
      if (w.size() != 3 || w[1].size() != 1) fail(file, n, "expected: panel_legend CHARACTER ART[/h][/v]");
      Sources::LegendCell cell;
      auto slash = w[2].find('/');
      cell.art = w[2].substr(0, slash);
      if (slash != std::string::npos)
        for (char f : w[2].substr(slash + 1)) {
          if (f == 'h')
            cell.flipH = true;
          else if (f == 'v')
            cell.flipV = true;
          else if (f != '/')
            fail(file, n, std::string("unknown flag '") + f + "' (h or v)");
        }
      if (!s.panelLegend.emplace(w[1][0], cell).second) fail(file, n, "panel legend " + w[1] + " is given twice");
    } else if (op == "panel_row") {
      if (w.size() != 2) fail(file, n, "expected: panel_row CHARACTERS (one word of 40)");
      s.panelRows.push_back({w[1], at});
    } else if (op == "bank") {
      if (w.size() != 3) fail(file, n, "expected: bank NAME BLOCK");
      if (s.bankIndex.count(w[1])) fail(file, n, "bank " + w[1] + " is defined twice");
      Bank b;
      b.name = w[1];
      long long block = parseNumber("0x" + w[2], file, n);
      if (w[2].size() != 6 || block <= 0 || block >= 0xFFFFFF)
        fail(file, n, "a bank's block is six hex digits (the picture's cartridge address)");
      b.block = static_cast<std::uint32_t>(block);
      for (const auto& other : s.banks)
        if (other.block == b.block) fail(file, n, "block " + w[2] + " is already the picture of bank " + other.name);
      b.at = at;
      s.bankIndex[b.name] = s.banks.size();
      s.banks.push_back(b);
      bank = &s.banks.back();
    } else if (op == "frame" || op == "reuse") {
      if (!bank) fail(file, n, op + " before any bank");
      if (w.size() < 2) fail(file, n, "expected: " + op + (op == "frame" ? " ART" : " FRAME") + " [attr A] [times N]");
      Selection sel;
      sel.at = at;
      if (op == "frame") {
        sel.art = w[1];
      } else {
        sel.reuse = static_cast<int>(parseNumber(w[1], file, n));
        if (sel.reuse < 1 || sel.reuse > 32767)
          fail(file, n, "a reuse names frame 1 to 32767 (frame 0 cannot be reused)");
      }
      int times = 1;
      for (std::size_t k = 2; k < w.size(); k += 2) {
        if (k + 1 >= w.size()) fail(file, n, "\"" + w[k] + "\" needs a value");
        long long v = parseNumber(w[k + 1], file, n);
        if (w[k] == "attr") {
          // Attribute bits 0-1 pick the palette line and bit 2 the priority; the renderer rotates the
          // word into the sprite's attributes, so higher bits would leak into pattern and flips.
          if (v < 0 || v > 7) fail(file, n, "attr " + w[k + 1] + ": only bits 0-2 (palette line, priority) may be set");
          sel.attribute = static_cast<int>(v);
        } else if (w[k] == "times") {
          if (v < 1 || v > 256) fail(file, n, "times " + w[k + 1] + " lies outside 1 to 256");
          times = static_cast<int>(v);
        } else {
          fail(file, n, "unknown option \"" + w[k] + "\" (attr, times)");
        }
      }
      for (int t = 0; t < times; ++t) bank->selections.push_back(sel);
    } else if (op == "include") {
      if (!bank) fail(file, n, "include before any bank");
      if (w.size() != 2 || !s.bankIndex.count(w[1])) fail(file, n, "expected: include BANK (a bank defined above)");
      auto copy = s.banks[s.bankIndex[w[1]]].selections;
      bank->selections.insert(bank->selections.end(), copy.begin(), copy.end());
    } else if (op == "replace") {
      if (!bank) fail(file, n, "replace before any bank");
      if (w.size() != 3 && !(w.size() == 5 && w[3] == "attr")) fail(file, n, "expected: replace FRAME ART [attr A]");
      long long k = parseNumber(w[1], file, n);
      if (k < 0 || k >= static_cast<long long>(bank->selections.size()))
        fail(file, n,
             "replace " + w[1] + ": bank " + bank->name + " has " + std::to_string(bank->selections.size()) +
                 " frames so far");
      Selection sel;
      sel.art = w[2];
      sel.attribute = bank->selections[static_cast<std::size_t>(k)].attribute;
      if (w.size() == 5) {
        long long v = parseNumber(w[4], file, n);
        if (v < 0 || v > 7) fail(file, n, "attr " + w[4] + ": only bits 0-2 (palette line, priority) may be set");
        sel.attribute = static_cast<int>(v);
      }
      sel.replaced = true;
      sel.at = at;
      bank->selections[static_cast<std::size_t>(k)] = sel;
    } else if (op == "list") {
      bank = nullptr;
      if (w.size() < 3) fail(file, n, "expected: list NAME BANK...");
      if (s.lists.count(w[1])) fail(file, n, "list " + w[1] + " is defined twice");
      BankList l;
      l.at = at;
      std::size_t end = w.size();
      if (end >= 5 && w[end - 2] == "at") {
        long long a = parseNumber(w[end - 1], file, n);
        if (a <= 0 || a >= 0x080000 || a % 2)
          fail(file, n, "at " + w[end - 1] + ": an even cartridge address below 080000");
        l.address = static_cast<std::uint32_t>(a);
        l.fixed = true;
        end -= 2;
      }
      for (std::size_t k = 2; k < end; ++k) {
        if (!s.bankIndex.count(w[k])) fail(file, n, "unknown bank " + w[k]);
        l.banks.push_back(w[k]);
      }
      s.lists[w[1]] = l;
      s.listOrder.push_back(w[1]);
    } else if (op == "areas") {
      bank = nullptr;
      if (w.size() < 3) fail(file, n, "expected: areas LIST AREA...");
      if (!s.lists.count(w[1])) fail(file, n, "unknown list " + w[1]);
      for (std::size_t k = 2; k < w.size(); ++k) {
        auto [a, b] = range(w[k], file, n, 0, kLastArea, "area");
        for (int id = a; id <= b; ++id) {
          auto [it, fresh] = s.areaLists.try_emplace(id, w[1], at);
          if (!fresh)
            fail(file, n,
                 "area " + std::to_string(id) + " already has list " + it->second.first + " (line " +
                     std::to_string(it->second.second.line) + ")");
        }
      }
    } else if (op == "common") {
      bank = nullptr;
      if (w.size() != 2 || !s.bankIndex.count(w[1])) fail(file, n, "expected: common BANK (a defined bank)");
      s.commonBank = w[1];
      s.commonAt = at;
    } else {
      fail(file, n, "unknown statement \"" + op + "\"");
    }
  }
}

// Cuts a cell out of art whose size is a multiple of 8.
Pattern cellOf(const Art& art, int cx, int cy) {
  Pattern p{};
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) p[8 * y + x] = art.at(8 * cx + x, 8 * cy + y);
  return p;
}

const Art& cellArt(const ArtSet& arts, const std::string& name, int wCells, int hCells, const Where& at,
                   const char* what) {
  const Art& a = findArt(arts, name, at.file, at.line);
  if ((wCells && a.width != 8 * wCells) || (hCells && a.height != 8 * hCells))
    fail(at.file, at.line,
         std::string(what) + " " + name + " is " + std::to_string(a.width) + " x " + std::to_string(a.height) +
             " pixels, it must be " + std::to_string(8 * wCells) + " x " + std::to_string(8 * hCells));
  if (a.width % 8 || a.height % 8)
    fail(at.file, at.line,
         std::string(what) + " " + name + " is " + std::to_string(a.width) + " x " + std::to_string(a.height) +
             " pixels, not whole 8 x 8 cells");
  return a;
}

// The sheets carry the sprites' own colours as their PNG palette, so they can be looked at as they
// will appear; the program reads the indices only.
void writeSheet(const fs::path& file, const std::vector<Pattern>& patterns, const SpritePalette& palette,
                int minRows = 1) {
  std::array<SheetColour, 16> colours{};
  for (int i = 0; i < 16; ++i) {
    auto channel = [&](int shift) { return static_cast<unsigned char>(((palette[i] >> shift) & 7) * 255 / 7); };
    colours[static_cast<std::size_t>(i)] = {channel(1), channel(5), channel(9),
                                            static_cast<unsigned char>(i == 0 ? 0 : 255)};
  }
  writePatternSheet(file, patterns, colours, minRows);
}

void writeJson(const fs::path& file, const std::string& text) {
  fs::create_directories(file.parent_path());
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << text;
  if (!out) fail(file, 0, "cannot write");
}

void putWord(std::vector<std::uint8_t>& b, int v) {
  b.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
  b.push_back(static_cast<std::uint8_t>(v & 0xFF));
}
void putLong(std::vector<std::uint8_t>& b, std::uint32_t v) {
  putWord(b, static_cast<int>(v >> 16));
  putWord(b, static_cast<int>(v & 0xFFFF));
}

// Frames of one 2 x 2 or 3 x 3 graphic are stored column by column, each column top to bottom,
// which is the order the renderer loads a sprite's cells in.
void appendColumnMajor(std::vector<Pattern>& out, const Art& art) {
  for (int cx = 0; cx < art.width / 8; ++cx)
    for (int cy = 0; cy < art.height / 8; ++cy) out.push_back(cellOf(art, cx, cy));
}

Sources readSources(const fs::path& dir, const fs::path& banksFile) {
  Sources s;
  std::vector<fs::path> artFiles;
  for (const auto& e : fs::directory_iterator(dir))
    if (e.is_regular_file() && e.path().extension() == ".art") artFiles.push_back(e.path());
  std::sort(artFiles.begin(), artFiles.end());
  for (const auto& f : artFiles) readArtFile(f, s.arts);
  readBanks(banksFile, s);
  return s;
}

// The hero's 46 frames of 3 x 3 cells, the object graphics of 2 x 2 cells each (numbered by the
// objects' kind), and the panel's digits, plain tile and life icon. Returns the files written.
int writeFixedSheets(const Sources& s, const fs::path& banksFile, const fs::path& graphics,
                     const SpritePalette& palette) {
  if (static_cast<int>(s.heroFrames.size()) != kHeroFrames)
    fail(banksFile, 0,
         "hero_frames names " + std::to_string(s.heroFrames.size()) + " frames; the hero has " +
             std::to_string(kHeroFrames));
  std::vector<Pattern> hero;
  for (const auto& [name, at] : s.heroFrames) appendColumnMajor(hero, cellArt(s.arts, name, 3, 3, at, "hero frame"));
  writeSheet(graphics / "brumo_frames.png", hero, palette);

  if (s.objectGraphics.empty()) fail(banksFile, 0, "object_graphics names no graphic");
  std::vector<Pattern> objects;
  for (const auto& [name, at] : s.objectGraphics)
    appendColumnMajor(objects, cellArt(s.arts, name, 2, 2, at, "object graphic"));
  writeSheet(graphics / "object_graphics.png", objects, palette);

  std::vector<Pattern> panel(kPanelPatterns, Pattern{});
  for (int k : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 16, 17})
    if (!s.panelPatterns.count(k))
      fail(banksFile, 0,
           "panel_pattern " + std::to_string(k) + " is missing (digits 0-9, 16 the plain tile, 17 the life icon)");
  for (const auto& [k, src] : s.panelPatterns)
    panel[k] = cellOf(cellArt(s.arts, src.first, 1, 1, src.second, "panel pattern"), 0, 0);
  writeSheet(graphics / "panel_patterns.png", panel, palette);
  return 3;
}

// The status panel: 40 x 4 cells from the legend, each distinct pattern stored once (flips in the
// tile word); and the pattern streams' counts. Returns the files written.
int writeStatusPanel(const Sources& s, const fs::path& banksFile, const fs::path& graphics,
                     const SpritePalette& palette) {
  if (static_cast<int>(s.panelRows.size()) != kPanelRows)
    fail(banksFile, 0,
         "the status panel has " + std::to_string(kPanelRows) + " panel_row lines, found " +
             std::to_string(s.panelRows.size()));
  std::vector<Pattern> common;
  std::map<std::string, int> commonIndex;
  json panelTable = json::array();
  for (const auto& [row, at] : s.panelRows) {
    if (static_cast<int>(row.size()) != kPanelColumns)
      fail(at.file, at.line,
           "a panel row is " + std::to_string(kPanelColumns) + " characters, found " + std::to_string(row.size()));
    for (char c : row) {
      auto l = s.panelLegend.find(c);
      if (l == s.panelLegend.end()) fail(at.file, at.line, std::string("'") + c + "' is not in the panel legend");
      auto [it, fresh] = commonIndex.try_emplace(l->second.art, static_cast<int>(common.size()));
      if (fresh) common.push_back(cellOf(cellArt(s.arts, l->second.art, 1, 1, at, "panel cell"), 0, 0));
      panelTable.push_back(it->second | (l->second.flipH ? 0x800 : 0) | (l->second.flipV ? 0x1000 : 0));
    }
  }
  if (static_cast<int>(common.size()) > kStatusPanelRoom)
    fail(banksFile, 0,
         "the status panel uses " + std::to_string(common.size()) + " patterns; the pattern store has room for " +
             std::to_string(kStatusPanelRoom));
  writeSheet(graphics / "brumo_common.png", common, palette);
  writeJson(graphics / "brumo_common.json", json{{"count", common.size()}, {"table", panelTable}}.dump() + "\n");
  // The minecart's patterns are not drawn yet: an empty sheet keeps the common set loadable.
  writeSheet(graphics / "sub4_patterns.png", {}, palette);
  writeJson(graphics / "pattern_streams.json", json{{"panel_patterns", kPanelPatterns},
                                                    {"portrait_frame_patterns", kPortraitFramePatterns},
                                                    {"sub4_patterns", 0}}
                                                       .dump() +
                                                   "\n");
  return 4;
}

// Banks that only lend their frames to others (through include) need no picture or table.
std::set<std::string> usedBanks(const Sources& s) {
  std::set<std::string> used{s.commonBank};
  for (const auto& [name, l] : s.lists) used.insert(l.banks.begin(), l.banks.end());
  return used;
}

// A bank's picture holds every art it cuts frames from, packed in rows of at most 32 cells; each
// art's place goes into the bank for its selection list. Writes the picture's sheet and JSON.
void writeBankPicture(Bank& b, const ArtSet& arts, const fs::path& graphics, const SpritePalette& palette) {
  if (b.selections.empty()) fail(b.at.file, b.at.line, "bank " + b.name + " has no frames");
  std::vector<std::string> shown;
  for (const auto& sel : b.selections)
    if (!sel.art.empty() && std::find(shown.begin(), shown.end(), sel.art) == shown.end()) {
      cellArt(arts, sel.art, 0, 0, sel.at, "sprite");
      shown.push_back(sel.art);
    }
  int x = 0, y = 0, shelf = 0, width = 2;
  for (const auto& name : shown) {
    const Art& a = arts.items.at(name);
    int w = a.width / 8, h = a.height / 8;
    if (x + w > kPictureColumns && x > 0) {
      x = 0;
      y += shelf;
      shelf = 0;
    }
    b.place[name] = {x, y};
    x += w;
    width = std::max(width, x);
    shelf = std::max(shelf, h);
  }
  int height = std::max(1, y + shelf);
  std::vector<Pattern> patterns(1, Pattern{});  // pattern 0: the empty cell
  std::map<Pattern, int> known{{Pattern{}, 0}};
  std::vector<std::vector<int>> names(static_cast<std::size_t>(height),
                                      std::vector<int>(static_cast<std::size_t>(width), 0));
  for (const auto& name : shown) {
    const Art& a = arts.items.at(name);
    auto [px, py] = b.place[name];
    for (int cy = 0; cy < a.height / 8; ++cy)
      for (int cx = 0; cx < a.width / 8; ++cx) {
        Pattern p = cellOf(a, cx, cy);
        auto [it, fresh] = known.try_emplace(p, static_cast<int>(patterns.size()));
        if (fresh) patterns.push_back(p);
        names[static_cast<std::size_t>(py + cy)][static_cast<std::size_t>(px + cx)] = it->second;
      }
  }
  const std::string stem = "sprites_" + b.name;
  writeSheet(graphics / "pictures" / (stem + ".png"), patterns, palette);
  json pic;
  pic["block"] = hex6(b.block);
  pic["width"] = width;
  pic["height"] = height;
  pic["patterns"] = patterns.size();
  pic["palette"] = std::vector<int>(palette.begin(), palette.end());
  std::string text = pic.dump();
  text.pop_back();
  text += ",\"names\":[\n";
  for (std::size_t r = 0; r < names.size(); ++r) text += json(names[r]).dump() + (r + 1 < names.size() ? ",\n" : "\n");
  text += "],\"second_stream\":false}\n";
  writeJson(graphics / "pictures" / (stem + ".json"), text);
}

// A list's first bank is the common bank, or one that starts with all of its frames. A frame put in
// place of a common one keeps its size (a spare frame that reuses another, the size of the one it
// reuses), so every frame keeps the shape the logic draws it with.
void checkStartsWithCommon(const Sources& s, const std::string& name, const BankList& l) {
  const auto& common = s.banks[s.bankIndex.at(s.commonBank)].selections;
  const auto& first = s.banks[s.bankIndex.at(l.banks.front())].selections;
  bool startsWithCommon = first.size() >= common.size();
  auto artOf = [&](std::size_t k) -> const std::string& {
    const auto reused = static_cast<std::size_t>(common[k].reuse);
    return common[k].art.empty() && reused < common.size() ? common[reused].art : common[k].art;
  };
  for (std::size_t k = 0; startsWithCommon && k < common.size(); ++k) {
    if (first[k].replaced && !artOf(k).empty()) {
      const Art& mine = cellArt(s.arts, first[k].art, 0, 0, first[k].at, "sprite");
      const Art& theirs = s.arts.items.at(artOf(k));
      if (mine.width != theirs.width || mine.height != theirs.height)
        fail(first[k].at.file, first[k].at.line,
             first[k].art + " takes the place of common frame " + std::to_string(k) + " (" + artOf(k) +
                 ") and must have its size");
      continue;
    }
    startsWithCommon =
        first[k].art == common[k].art && first[k].reuse == common[k].reuse && first[k].attribute == common[k].attribute;
  }
  if (!startsWithCommon)
    fail(l.at.file, l.at.line,
         "list " + name + " must start with the common bank " + s.commonBank +
             " or a bank that includes it first (the logic numbers its frames 0-77)");
}

using ExpandedLists = std::map<std::string, std::vector<ListFrame>>;

// Every list expanded into the frames the renderer will number, checking reuses as it would.
ExpandedLists expandLists(const Sources& s, const fs::path& banksFile) {
  ExpandedLists expanded;
  if (s.commonBank.empty()) fail(banksFile, 0, "no common bank: write common BANK");
  for (const auto& name : s.listOrder) {
    const BankList& l = s.lists.at(name);
    checkStartsWithCommon(s, name, l);
    auto& frames = expanded[name];
    for (const auto& bn : l.banks) {
      const Bank& b = s.banks[s.bankIndex.at(bn)];
      for (const auto& sel : b.selections) {
        if (sel.art.empty()) {
          if (sel.reuse >= static_cast<int>(frames.size()))
            fail(sel.at.file, sel.at.line,
                 "reuse " + std::to_string(sel.reuse) + " names a frame after it (list " + name + " has " +
                     std::to_string(frames.size()) + " frames here)");
          frames.push_back({frames[static_cast<std::size_t>(sel.reuse)].art, 0});
        } else {
          const Art& a = s.arts.items.at(sel.art);
          frames.push_back({sel.art, (a.width / 8) * (a.height / 8)});
        }
      }
    }
  }
  return expanded;
}

// The common bank's shape is fixed by the logic and the renderers.
void checkCommonBank(const Sources& s) {
  const Bank& c = s.banks[s.bankIndex.at(s.commonBank)];
  const Where& at = c.at;
  if (static_cast<int>(c.selections.size()) != kCommonFrames)
    fail(at.file, at.line,
         "the common bank has " + std::to_string(c.selections.size()) + " frames; the logic numbers exactly " +
             std::to_string(kCommonFrames));
  auto shape = [&](int k, int w, int h, const char* what) {
    const Selection& sel = c.selections[static_cast<std::size_t>(k)];
    if (sel.art.empty())
      fail(sel.at.file, sel.at.line, "frame " + std::to_string(k) + " (" + what + ") must be a new frame, not a reuse");
    const Art& a = s.arts.items.at(sel.art);
    if (a.width != 8 * w || a.height != 8 * h)
      fail(sel.at.file, sel.at.line,
           "frame " + std::to_string(k) + " (" + what + ") must be " + std::to_string(w) + " x " + std::to_string(h) +
               " cells");
  };
  shape(0, 3, 3, "the hero, refilled every frame");
  for (int k = kFirstObjectSlot; k <= kLastObjectSlot; ++k) shape(k, 2, 2, "an object slot, refilled every frame");
  const Selection& bar = c.selections[kEnergyBarFrame];
  if (bar.art.empty() || s.arts.items.at(bar.art).width / 8 * (s.arts.items.at(bar.art).height / 8) < kEnergyBarCells)
    fail(bar.at.file, bar.at.line,
         "frame 73 (the energy bar) needs at least 11 cells of its own: the sea and archery copy 11 patterns over it");
}

// Every area has a list, and its sprites fit beside its own patterns below the status panel.
void checkAreaRoom(const Sources& s, const ExpandedLists& expanded, const std::map<int, int>& areaPatterns,
                   const fs::path& banksFile) {
  for (int id = 0; id <= kLastArea; ++id) {
    auto it = s.areaLists.find(id);
    if (it == s.areaLists.end())
      fail(banksFile, 0, "area " + std::to_string(id) + " has no bank list (areas LIST " + std::to_string(id) + ")");
    auto sheet = areaPatterns.find(id);
    if (sheet == areaPatterns.end()) continue;
    int cells = 0;
    if (auto list = expanded.find(it->second.first); list != expanded.end())
      for (const auto& f : list->second) cells += f.cells;
    int room = id == kStartArea ? kAreaRoomStart : kAreaRoom;
    if (sheet->second + cells > room)
      fail(it->second.second.file, it->second.second.line,
           "area " + std::to_string(id) + ": its " + std::to_string(sheet->second) + " patterns and the " +
               std::to_string(cells) + " sprite cells of list " + it->second.first + " need " +
               std::to_string(sheet->second + cells) + " patterns; there is room for " + std::to_string(room));
  }
}

// The frame numbers the logic draws in each area must show what it means there.
void checkFrameUses(const fs::path& usesFile, const Sources& s, ExpandedLists& expanded) {
  std::istringstream text(readSource(usesFile));
  std::map<std::pair<int, int>, std::pair<std::string, int>> wanted;  // (area, frame) -> art, line
  std::string line;
  for (int n = 1; std::getline(text, line); ++n) {
    if (auto hash = line.find('#'); hash != std::string::npos) line.erase(hash);
    auto w = words(line);
    if (w.empty()) continue;
    if (w[0] != "use" || w.size() < 4) fail(usesFile, n, "expected: use FRAMES ART AREAS...");
    auto [f0, f1] = range(w[1], usesFile, n, 0, 2047, "frame");
    findArt(s.arts, w[2], usesFile, n);
    for (std::size_t k = 3; k < w.size(); ++k) {
      auto [a0, a1] = w[k] == "all" ? std::make_pair(0, kLastArea - 1) : range(w[k], usesFile, n, 0, kLastArea, "area");
      for (int area = a0; area <= a1; ++area)
        for (int f = f0; f <= f1; ++f) {
          auto [it, fresh] = wanted.try_emplace({area, f}, w[2], n);
          if (!fresh && it->second.first != w[2])
            fail(usesFile, n,
                 "area " + std::to_string(area) + " frame " + std::to_string(f) + " is wanted as " + w[2] +
                     " here and as " + it->second.first + " on line " + std::to_string(it->second.second) +
                     ": choose one");
          const std::string& list = s.areaLists.at(area).first;
          const auto& frames = expanded[list];
          if (f >= static_cast<int>(frames.size()))
            fail(usesFile, n,
                 "area " + std::to_string(area) + " draws frame " + std::to_string(f) + " (" + w[2] +
                     "), but its list " + list + " has only " + std::to_string(frames.size()) + " frames");
          if (frames[static_cast<std::size_t>(f)].art != w[2])
            fail(usesFile, n,
                 "area " + std::to_string(area) + " frame " + std::to_string(f) + " shows " +
                     frames[static_cast<std::size_t>(f)].art + " (list " + list + "), not " + w[2]);
        }
    }
  }
}

// The selection lists of the used banks, one after another from the pool's address; each bank learns
// where its list lies.
std::vector<std::uint8_t> selectionPool(Sources& s, const std::set<std::string>& used) {
  std::vector<std::uint8_t> pool;
  for (auto& b : s.banks) {
    if (!used.count(b.name)) continue;
    b.selectionAddress = kSelectionPool + static_cast<std::uint32_t>(pool.size());
    for (const auto& sel : b.selections) {
      putWord(pool, sel.attribute);
      if (sel.art.empty()) {
        putWord(pool, -sel.reuse);
        putWord(pool, 0);
        putWord(pool, 0);
        putWord(pool, 0);
      } else {
        const Art& a = s.arts.items.at(sel.art);
        auto [px, py] = b.place.at(sel.art);
        putWord(pool, px);
        putWord(pool, py);
        putWord(pool, a.width / 8);
        putWord(pool, a.height / 8);
      }
    }
    putWord(pool, 0xFFFF);
  }
  return pool;
}

// The cartridge tables. Selection lists go to a pool of their own; the area pointers and the bank
// lists fill the named table from 03E844 up to the common entry at 03EC7C; a list a screen names
// goes to its own address.
void placeBankTables(Sources& s, const std::set<std::string>& used, const fs::path& banksFile, RomImage& rom) {
  const std::vector<std::uint8_t> pool = selectionPool(s, used);
  std::vector<std::uint8_t> table;
  std::uint32_t listStart = kAreaListPointers + 4 * (kLastArea + 1);
  std::vector<std::uint8_t> lists;
  const std::string where = banksFile.generic_string();
  auto listBytes = [&](const BankList& l, std::vector<std::uint8_t>& out) {
    for (const auto& bn : l.banks) {
      const Bank& b = s.banks[s.bankIndex[bn]];
      putLong(out, b.block);
      putLong(out, b.selectionAddress);
    }
    putLong(out, 0xFFFFFFFF);
  };
  for (const auto& name : s.listOrder) {
    auto& l = s.lists[name];
    if (l.fixed) {
      std::vector<std::uint8_t> bytes;
      listBytes(l, bytes);
      rom.put(l.address, bytes, where + ":" + std::to_string(l.at.line));
      rom.addSection(RomSection{"", "", l.address, bytes});
      continue;
    }
    l.address = listStart + static_cast<std::uint32_t>(lists.size());
    listBytes(l, lists);
  }
  for (int id = 0; id <= kLastArea; ++id) putLong(table, s.lists[s.areaLists[id].first].address);
  table.insert(table.end(), lists.begin(), lists.end());
  if (kAreaListPointers + table.size() > kCommonEntry)
    fail(banksFile, 0,
         "the area pointers and bank lists need " + std::to_string(table.size()) +
             " bytes from 03E844 and would run past the common entry at 03EC7C");
  rom.put(kAreaListPointers, table, where);
  rom.addSection(RomSection{"sprite_banks", "loadArea loadBankList", kAreaListPointers, table});
  const Bank& c = s.banks[s.bankIndex[s.commonBank]];
  std::vector<std::uint8_t> entry;
  putLong(entry, c.block);
  putLong(entry, c.selectionAddress);
  rom.put(kCommonEntry, entry, where);
  rom.addSection(RomSection{"", "", kCommonEntry, entry});
  rom.put(kSelectionPool, pool, where);
  rom.addSection(RomSection{"", "", kSelectionPool, pool});
}

}  // namespace

int buildSprites(const SpriteBuildInput& input, RomImage& rom) {
  const fs::path dir = input.data / "sprites";
  const fs::path banksFile = dir / "banks.txt";
  Sources s = readSources(dir, banksFile);
  const fs::path graphics = input.output / "assets/graphics";
  int written = writeFixedSheets(s, banksFile, graphics, input.palette);
  written += writeStatusPanel(s, banksFile, graphics, input.palette);

  const std::set<std::string> used = usedBanks(s);
  for (auto& b : s.banks) {
    if (!used.count(b.name)) continue;
    writeBankPicture(b, s.arts, graphics, input.palette);
    written += 2;
  }

  checkCommonBank(s);  // first: every list numbers its frames after the common bank's
  ExpandedLists expanded = expandLists(s, banksFile);
  checkAreaRoom(s, expanded, input.areaPatterns, banksFile);
  checkFrameUses(dir / "frame_uses.txt", s, expanded);
  placeBankTables(s, used, banksFile, rom);
  return written;
}

}  // namespace builder
