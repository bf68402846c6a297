#include "screen_art.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include <nlohmann/json.hpp>

#include "palette.h"
#include "source_error.h"

namespace builder {

namespace fs = std::filesystem;

namespace {

int colourOf(char c) {
  if (c == '.') return 0;
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::vector<std::string> sourceLines(const fs::path& file) {
  std::istringstream text(readSource(file));
  std::vector<std::string> lines;
  for (std::string l; std::getline(text, l);) {
    if (!l.empty() && l.back() == '\r') l.pop_back();
    lines.push_back(l);
  }
  return lines;
}

std::vector<std::string> words(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> out;
  for (std::string w; in >> w;) out.push_back(w);
  return out;
}

// The glyph a character is drawn with; -1 for characters the font does not hold.
int glyphOfChar(unsigned char c) {
  if (c >= 'a' && c <= 'z') return c - 'a';
  if (c >= 'A' && c <= 'Z') return 40 + c - 'A';
  switch (c) {
    case ',':
      return 26;
    case '.':
      return 27;
    case '!':
      return 28;
    case '"':
    case '\'':
      return 29;
    case ' ':
      return 30;
    case '?':
      return 66;
    case '1':
      return 76;
    case '3':
      return 77;
    case '9':
      return 78;
    case '0':
      return 79;
    default:
      return -1;
  }
}

// A picture being drawn, one colour per pixel.
struct Canvas {
  int width = 0, height = 0;  // pixels
  std::vector<std::uint8_t> pixels;
  void set(int x, int y, int c) {
    if (x >= 0 && y >= 0 && x < width && y < height && c >= 0)
      pixels[static_cast<std::size_t>(y * width + x)] = static_cast<std::uint8_t>(c);
  }
};

Pattern flipped(const Pattern& p, bool h, bool v) {
  Pattern out{};
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x)
      out[static_cast<std::size_t>(y * 8 + x)] = p[static_cast<std::size_t>((v ? 7 - y : y) * 8 + (h ? 7 - x : x))];
  return out;
}

void writeFile(const fs::path& file, const std::string& text, int& written) {
  fs::create_directories(file.parent_path());
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << text;
  if (!out) fail(file, 0, "cannot write");
  ++written;
}

void buildPicture(const fs::path& file, const MessageFont& font, const fs::path& outDir,
                  std::set<std::uint32_t>& blocks, int& written) {
  const auto lines = sourceLines(file);
  Canvas canvas;
  long long block = -1;
  std::vector<int> palette;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const int n = static_cast<int>(i) + 1;
    auto w = words(lines[i]);
    if (w.empty() || w[0][0] == '#') continue;
    const std::string& op = w[0];
    auto num = [&](std::size_t k) -> int {
      if (k >= w.size()) fail(file, n, "\"" + op + "\" needs more values");
      return static_cast<int>(parseNumber(w[k], file, n));
    };
    // A colour: '.' for 0, or its number 0-15.
    auto colour = [&](std::size_t k) -> int {
      if (k < w.size() && w[k] == ".") return 0;
      const bool digits = k < w.size() && !w[k].empty() && w[k].size() <= 2 &&
                          std::all_of(w[k].begin(), w[k].end(), [](char ch) { return ch >= '0' && ch <= '9'; });
      const int c = digits ? std::stoi(w[k]) : -1;
      if (c < 0 || c > 15) fail(file, n, "a colour is . or a number 0-15");
      return c;
    };
    if (op == "size") {
      canvas.width = 8 * num(1);
      canvas.height = 8 * num(2);
      if (canvas.width < 8 || canvas.width > 512 || canvas.height < 8 || canvas.height > 256)
        fail(file, n, "a picture is 1 to 64 cells wide and 1 to 32 high");
      canvas.pixels.assign(static_cast<std::size_t>(canvas.width * canvas.height), 0);
      continue;
    }
    if (op == "block") {
      block = num(1);
      if (block < 0 || block > 0xFFFFFF) fail(file, n, "a block is an address of six hexadecimal digits");
      continue;
    }
    if (op == "palette") {
      if (w.size() != 17) fail(file, n, "a palette has 16 colours");
      nlohmann::json line = nlohmann::json::array();
      for (std::size_t k = 1; k < 17; ++k) line.push_back(w[k]);
      auto words = readPaletteLine(line, file, "palette");
      palette.assign(words.begin(), words.end());
      continue;
    }
    if (canvas.width == 0) fail(file, n, "\"size\" must come first");
    if (op == "fill") {
      std::fill(canvas.pixels.begin(), canvas.pixels.end(), static_cast<std::uint8_t>(colour(1)));
    } else if (op == "rect" || op == "dither" || op == "box") {
      const int x0 = num(1), y0 = num(2), rw = num(3), rh = num(4), c1 = colour(5);
      const int c2 = op == "dither" ? colour(6) : c1;
      for (int y = y0; y < y0 + rh; ++y)
        for (int x = x0; x < x0 + rw; ++x) {
          if (op == "box" && x != x0 && y != y0 && x != x0 + rw - 1 && y != y0 + rh - 1) continue;
          canvas.set(x, y, ((x + y) & 1) ? c2 : c1);
        }
    } else if (op == "circle") {
      const int cx = num(1), cy = num(2), r = num(3), c = colour(4);
      for (int y = cy - r; y <= cy + r; ++y)
        for (int x = cx - r; x <= cx + r; ++x)
          if ((x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r) canvas.set(x, y, c);
    } else if (op == "line") {
      // line X0 Y0 X1 Y1 COLOUR [THICKNESS]
      const int x0 = num(1), y0 = num(2), x1 = num(3), y1 = num(4), c = colour(5);
      const int thick = w.size() > 6 ? std::max(1, num(6)) : 1;
      const int steps = std::max(std::abs(x1 - x0), std::abs(y1 - y0));
      for (int k = 0; k <= steps; ++k) {
        const int x = steps ? x0 + (x1 - x0) * k / steps : x0, y = steps ? y0 + (y1 - y0) * k / steps : y0;
        for (int dy = 0; dy < thick; ++dy)
          for (int dx = 0; dx < thick; ++dx) canvas.set(x + dx, y + dy, c);
      }
    } else if (op == "ridge") {
      // A hill line: everything below base + amplitude * sin(2 pi (x + phase) / period) takes the colour.
      const int base = num(1), amp = num(2), period = std::max(1, num(3)), phase = num(4), c = colour(5);
      for (int x = 0; x < canvas.width; ++x) {
        const double t = 2.0 * 3.14159265358979 * (x + phase) / period;
        const int top = base + static_cast<int>(std::lround(amp * std::sin(t)));
        for (int y = top; y < canvas.height; ++y) canvas.set(x, y, c);
      }
    } else if (op == "glyph") {
      // glyph X Y SCALE INK SHADOW N: one glyph of the message font by its number.
      const int x = num(1), y = num(2), scale = std::max(1, num(3)), ink = colour(4);
      const int shadow = w.size() > 5 && w[5] == "-" ? -1 : colour(5);
      const int g = num(6);
      if (g < 0 || g >= 80) fail(file, n, "the font's glyphs are 0 to 79");
      for (int py = 0; py < 16; ++py)
        for (int px = 0; px < 8; ++px) {
          const int v = font.glyphs[static_cast<std::size_t>(g)][static_cast<std::size_t>(py / 8)]
                                   [static_cast<std::size_t>((py % 8) * 8 + px)];
          const int c = v == 1 ? ink : v == 2 ? shadow : -1;
          for (int sy = 0; sy < scale; ++sy)
            for (int sx = 0; sx < scale; ++sx) canvas.set(x + px * scale + sx, y + py * scale + sy, c);
        }
    } else if (op == "text") {
      // text X Y SCALE INK SHADOW WORDS...: the message font, x = -1 centres the line.
      int x = num(1);
      const int y = num(2), scale = std::max(1, num(3)), ink = colour(4);
      const int shadow = w.size() > 5 && w[5] == "-" ? -1 : colour(5);
      const std::string& src = lines[i];
      std::size_t at = 0;
      for (int k = 0; k < 6 && at != std::string::npos; ++k) at = src.find_first_not_of(' ', src.find(' ', at));
      std::string s = at == std::string::npos ? "" : src.substr(at);
      // The letters, with the accented ones the font holds written in UTF-8.
      static const std::map<std::string, int> kAccented = {
          {"\u00FC", 73}, {"\u00E9", 70}, {"\u00E2", 31}, {"\u00E4", 75}, {"\u00E0", 32}, {"\u00E7", 72},
          {"\u00EA", 33}, {"\u00E8", 34}, {"\u00F4", 35}, {"\u00F6", 74}, {"\u00F9", 69}, {"\u00E1", 36},
          {"\u00ED", 37}, {"\u00F3", 38}, {"\u00FA", 39}, {"\u00D1", 71}, {"\u00BF", 68}, {"\u00A1", 67}};
      std::vector<int> glyphs;
      for (std::size_t k = 0; k < s.size(); ++k) {
        const auto ch = static_cast<unsigned char>(s[k]);
        int g = glyphOfChar(ch);
        if (ch >= 0x80 && k + 1 < s.size()) {
          auto it = kAccented.find(s.substr(k, 2));
          if (it != kAccented.end()) g = it->second, ++k;
        }
        if (g < 0) fail(file, n, std::string("the font has no glyph for '") + static_cast<char>(ch) + "'");
        glyphs.push_back(g);
      }
      const int advance = 7 * scale;
      if (x == -1) x = (canvas.width - advance * static_cast<int>(glyphs.size())) / 2;
      for (int g : glyphs) {
        for (int py = 0; py < 16; ++py)
          for (int px = 0; px < 8; ++px) {
            const int v = font.glyphs[static_cast<std::size_t>(g)][static_cast<std::size_t>(py / 8)]
                                     [static_cast<std::size_t>((py % 8) * 8 + px)];
            const int c = v == 1 ? ink : v == 2 ? shadow : -1;
            for (int sy = 0; sy < scale; ++sy)
              for (int sx = 0; sx < scale; ++sx) canvas.set(x + px * scale + sx, y + py * scale + sy, c);
          }
        x += advance;
      }
    } else if (op == "place") {
      const int x0 = num(1), y0 = num(2);
      int row = 0;
      for (++i; i < lines.size() && words(lines[i]) != std::vector<std::string>{"end"}; ++i, ++row) {
        const std::string& r = lines[i];
        for (std::size_t x = 0; x < r.size(); ++x) {
          if (r[x] == '_' || r[x] == ' ') continue;
          const int c = colourOf(r[x]);
          if (c < 0)
            fail(file, static_cast<int>(i) + 1, "a pixel is one of . 1-9 a-f, or _ to keep what lies under it");
          canvas.set(x0 + static_cast<int>(x), y0 + row, c);
        }
      }
      if (i >= lines.size()) fail(file, n, "\"place\" needs an \"end\" line");
    } else {
      fail(file, n, "unknown statement \"" + op + "\"");
    }
  }
  if (canvas.width == 0) fail(file, 0, "a picture needs a size");
  if (block < 0) fail(file, 0, "a picture needs a block");
  if (palette.size() != 16) fail(file, 0, "a picture needs a palette");
  if (!blocks.insert(static_cast<std::uint32_t>(block)).second) fail(file, 0, "another picture has the same block");

  // Cut the canvas into cells, sharing patterns that repeat, also mirrored.
  // Pattern 0 is always blank: screens load a picture from pattern 0 on and clear plane A to tile
  // word 0, which must then show nothing.
  std::vector<Pattern> patterns{Pattern{}};
  std::map<Pattern, int> known{{Pattern{}, 0}};  // pattern -> tile word
  nlohmann::ordered_json names = nlohmann::ordered_json::array();
  for (int cy = 0; cy < canvas.height / 8; ++cy) {
    nlohmann::ordered_json row = nlohmann::ordered_json::array();
    for (int cx = 0; cx < canvas.width / 8; ++cx) {
      Pattern p{};
      for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
          p[static_cast<std::size_t>(y * 8 + x)] =
              canvas.pixels[static_cast<std::size_t>((cy * 8 + y) * canvas.width + cx * 8 + x)];
      auto it = known.find(p);
      if (it == known.end()) {
        const int index = static_cast<int>(patterns.size());
        patterns.push_back(p);
        // A mirrored copy of this cell is this pattern with the flip bits.
        for (int f = 0; f < 4; ++f)
          known.emplace(flipped(p, f & 1, f & 2), index | (f & 1 ? 0x0800 : 0) | (f & 2 ? 0x1000 : 0));
        it = known.find(p);
      }
      row.push_back(it->second);
    }
    names.push_back(row);
  }
  if (patterns.size() > 1024)
    fail(file, 0, "the picture needs " + std::to_string(patterns.size()) + " patterns; 1024 at most");

  char hex[16];
  std::snprintf(hex, sizeof hex, "%06X", static_cast<unsigned>(block));
  const std::string name = file.stem().string();
  std::string json = "{\n  \"block\": \"" + std::string(hex) + "\",\n  \"width\": " + std::to_string(canvas.width / 8) +
                     ",\n  \"height\": " + std::to_string(canvas.height / 8) +
                     ",\n  \"patterns\": " + std::to_string(patterns.size()) +
                     ",\n  \"palette\": " + nlohmann::json(palette).dump() +
                     ",\n  \"second_stream\": false,\n  \"names\": [\n";
  for (std::size_t r = 0; r < names.size(); ++r)
    json += "    " + names[r].dump() + (r + 1 < names.size() ? ",\n" : "\n");
  json += "  ]\n}\n";
  writeFile(outDir / (name + ".json"), json, written);
  writePatternSheet(outDir / (name + ".png"), patterns);
  ++written;
}

}  // namespace

MessageFont readMessageFont(const fs::path& file) {
  const auto lines = sourceLines(file);
  MessageFont font;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    auto w = words(lines[i]);
    if (w.empty() || w[0][0] == '#') continue;
    const int n = static_cast<int>(i) + 1;
    if (w[0] != "glyph" || w.size() < 2) fail(file, n, "expected: glyph N");
    if (parseNumber(w[1], file, n) != static_cast<long long>(font.glyphs.size()))
      fail(file, n, "glyph " + w[1] + " is out of order; expected " + std::to_string(font.glyphs.size()));
    std::array<Pattern, 2> glyph{};
    for (int y = 0; y < 16; ++y) {
      const std::size_t at = i + 1 + static_cast<std::size_t>(y);
      if (at >= lines.size() || lines[at].size() != 8) fail(file, static_cast<int>(at) + 1, "a glyph row is 8 pixels");
      for (int x = 0; x < 8; ++x) {
        const int c = colourOf(lines[at][static_cast<std::size_t>(x)]);
        if (c < 0) fail(file, static_cast<int>(at) + 1, "a pixel is one of . 1-9 a-f");
        glyph[static_cast<std::size_t>(y / 8)][static_cast<std::size_t>((y % 8) * 8 + x)] =
            static_cast<std::uint8_t>(c);
      }
    }
    font.glyphs.push_back(glyph);
    i += 16;
  }
  if (font.glyphs.size() != 80)
    fail(file, 0, "the font needs glyphs 0 to 79, found " + std::to_string(font.glyphs.size()));
  return font;
}

std::vector<Pattern> fontSheet(const MessageFont& font) {
  std::vector<Pattern> sheet;
  for (int half : {0, 40})
    for (int cell : {0, 1})
      for (int g = half; g < half + 40; ++g)
        sheet.push_back(font.glyphs[static_cast<std::size_t>(g)][static_cast<std::size_t>(cell)]);
  return sheet;
}

void buildScreenArt(const fs::path& data, const fs::path& outputRoot, int& written) {
  const MessageFont font = readMessageFont(data / "fonts" / "message_font.txt");
  writePatternSheet(outputRoot / "assets/graphics/portrait_frame_patterns.png", fontSheet(font));
  ++written;

  std::vector<fs::path> files;
  if (fs::exists(data / "pictures"))
    for (const auto& e : fs::directory_iterator(data / "pictures"))
      if (e.is_regular_file() && e.path().extension() == ".txt") files.push_back(e.path());
  std::sort(files.begin(), files.end());
  std::set<std::uint32_t> blocks;
  for (const auto& f : files) buildPicture(f, font, outputRoot / "assets/graphics/pictures", blocks, written);
}

}  // namespace builder
