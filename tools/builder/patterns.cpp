#include "patterns.h"

#include <algorithm>
#include <set>
#include <sstream>

#include <lodepng.h>

#include "source_error.h"

namespace builder {

int PatternSet::add(const std::string& name, const Pattern& p) {
  int n = static_cast<int>(patterns.size());
  names.push_back(name);
  patterns.push_back(p);
  index[name] = n;
  return n;
}

namespace {

int colourOf(char c) {
  if (c == '.') return 0;
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

Pattern applyOp(Pattern p, const std::string& op, const std::filesystem::path& file, int line) {
  if (op == "flip-h") {
    for (int y = 0; y < 8; ++y) std::reverse(p.begin() + 8 * y, p.begin() + 8 * y + 8);
  } else if (op == "flip-v") {
    for (int y = 0; y < 4; ++y) std::swap_ranges(p.begin() + 8 * y, p.begin() + 8 * y + 8, p.begin() + 8 * (7 - y));
  } else if (op.rfind("shade", 0) == 0 && op.size() > 5) {
    int n = static_cast<int>(parseNumber(op.substr(op[5] == '+' ? 6 : 5), file, line));
    for (auto& v : p) {
      if (v != 0) v = static_cast<std::uint8_t>(std::clamp(v + n, 1, 15));
    }
  } else if (op.rfind("swap:", 0) == 0) {
    auto colon = op.find(':', 5);
    if (colon == std::string::npos) fail(file, line, "expected swap:A:B");
    int a = colourOf(op[5]);
    int b = colourOf(op[colon + 1]);
    if (a < 0 || b < 0 || colon != 6 || op.size() != 8) fail(file, line, "expected swap:A:B with two colours");
    for (auto& v : p) {
      if (v == a)
        v = static_cast<std::uint8_t>(b);
      else if (v == b)
        v = static_cast<std::uint8_t>(a);
    }
  } else {
    fail(file, line, "unknown pattern change \"" + op + "\"");
  }
  return p;
}

}  // namespace

void readPatternFile(const std::filesystem::path& file, PatternSet& set, bool redraw) {
  std::istringstream text(readSource(file));
  std::vector<std::string> lines;
  for (std::string l; std::getline(text, l);) {
    if (!l.empty() && l.back() == '\r') l.pop_back();
    lines.push_back(l);
  }
  std::set<std::string> defined;  // names this file has drawn
  auto define = [&](const std::string& name, int n) {
    if (!defined.insert(name).second || (!redraw && set.index.count(name)))
      fail(file, n, "pattern " + name + " defined twice");
  };
  auto put = [&](const std::string& name, const Pattern& p) {
    auto at = set.index.find(name);
    if (at != set.index.end())
      set.patterns[static_cast<std::size_t>(at->second)] = p;
    else
      set.add(name, p);
  };
  for (std::size_t i = 0; i < lines.size(); ++i) {
    int n = static_cast<int>(i) + 1;
    std::istringstream in(lines[i]);
    std::vector<std::string> w;
    for (std::string s; in >> s;) w.push_back(s);
    if (w.empty() || w[0][0] == '#') continue;
    if (w[0] == "pattern") {
      if (w.size() != 2) fail(file, n, "expected: pattern NAME");
      define(w[1], n);
      Pattern p{};
      for (int y = 0; y < 8; ++y) {
        std::size_t at = i + 1 + y;
        if (at >= lines.size()) fail(file, n, "pattern " + w[1] + " needs eight rows");
        const std::string& row = lines[at];
        if (row.size() != 8) fail(file, static_cast<int>(at) + 1, "a pattern row is eight characters");
        for (int x = 0; x < 8; ++x) {
          int c = colourOf(row[x]);
          if (c < 0) fail(file, static_cast<int>(at) + 1, std::string("'") + row[x] + "' is not a colour (. 0-9 a-f)");
          p[8 * y + x] = static_cast<std::uint8_t>(c);
        }
      }
      put(w[1], p);
      i += 8;
    } else if (w[0] == "derive") {
      if (w.size() < 3) fail(file, n, "expected: derive NAME BASE CHANGES...");
      define(w[1], n);
      auto base = set.index.find(w[2]);
      if (base == set.index.end()) fail(file, n, "unknown pattern " + w[2]);
      Pattern p = set.patterns[base->second];
      for (std::size_t k = 3; k < w.size(); ++k) p = applyOp(p, w[k], file, n);
      put(w[1], p);
    } else {
      fail(file, n, "unknown statement \"" + w[0] + "\"");
    }
  }
}

void writePatternSheet(const std::filesystem::path& file, const std::vector<Pattern>& patterns,
                       const std::array<SheetColour, 16>& colours, int minRows) {
  unsigned rows =
      std::max<unsigned>(static_cast<unsigned>(minRows), static_cast<unsigned>((patterns.size() + 15) / 16));
  unsigned w = 128, h = rows * 8;
  std::vector<unsigned char> pixels(w * h, 0);
  for (std::size_t n = 0; n < patterns.size(); ++n) {
    unsigned ox = 8 * (n % 16), oy = 8 * static_cast<unsigned>(n / 16);
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x) pixels[(oy + y) * w + ox + x] = patterns[n][8 * y + x];
  }
  lodepng::State state;
  for (const SheetColour& c : colours) {
    lodepng_palette_add(&state.info_png.color, c[0], c[1], c[2], c[3]);
    lodepng_palette_add(&state.info_raw, c[0], c[1], c[2], c[3]);
  }
  state.info_png.color.colortype = LCT_PALETTE;
  state.info_png.color.bitdepth = 8;
  state.info_raw.colortype = LCT_PALETTE;
  state.info_raw.bitdepth = 8;
  state.encoder.auto_convert = 0;
  std::vector<unsigned char> png;
  unsigned error = lodepng::encode(png, pixels, w, h, state);
  if (error) fail(file, 0, std::string("cannot encode: ") + lodepng_error_text(error));
  std::filesystem::create_directories(file.parent_path());
  if (lodepng::save_file(png, file.string())) fail(file, 0, "cannot write");
}

void writePatternSheet(const std::filesystem::path& file, const std::vector<Pattern>& patterns) {
  std::array<SheetColour, 16> grey{};
  for (int i = 0; i < 16; ++i) {
    const auto g = static_cast<unsigned char>(i * 17);
    grey[static_cast<std::size_t>(i)] = {g, g, g, 255};
  }
  writePatternSheet(file, patterns, grey);
}

}  // namespace builder
