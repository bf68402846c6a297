#include "sprite_art.h"

#include <algorithm>
#include <sstream>

#include "source_error.h"

namespace builder {

namespace {

int colourOf(char c) {
  if (c == '.') return 0;
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

Art blank(int w, int h) {
  Art a;
  a.width = w;
  a.height = h;
  a.pixels.assign(static_cast<std::size_t>(w) * h, 0);
  return a;
}

Art change(const Art& in, const std::string& op, const std::filesystem::path& file, int line) {
  if (op == "flip-h" || op == "flip-v" || op == "rot-180") {
    Art out = blank(in.width, in.height);
    for (int y = 0; y < in.height; ++y)
      for (int x = 0; x < in.width; ++x) {
        int sx = op == "flip-v" ? x : in.width - 1 - x;
        int sy = op == "flip-h" ? y : in.height - 1 - y;
        out.pixels[static_cast<std::size_t>(y) * out.width + x] = in.at(sx, sy);
      }
    return out;
  }
  if (op == "rot-r" || op == "rot-l") {
    // A quarter turn swaps width and height: clockwise, the left column becomes the top row.
    Art out = blank(in.height, in.width);
    for (int y = 0; y < out.height; ++y)
      for (int x = 0; x < out.width; ++x) {
        int sx = op == "rot-r" ? y : in.width - 1 - y;
        int sy = op == "rot-r" ? in.height - 1 - x : x;
        out.pixels[static_cast<std::size_t>(y) * out.width + x] = in.at(sx, sy);
      }
    return out;
  }
  if (op.rfind("shade", 0) == 0 && op.size() > 6 && (op[5] == '+' || op[5] == '-')) {
    int n = static_cast<int>(parseNumber(op.substr(op[5] == '+' ? 6 : 5), file, line));
    Art out = in;
    for (auto& v : out.pixels)
      if (v != 0) v = static_cast<std::uint8_t>(std::clamp(v + n, 1, 15));
    return out;
  }
  if (op.size() == 8 && op.rfind("swap:", 0) == 0 && op[6] == ':') {
    int a = colourOf(op[5]), b = colourOf(op[7]);
    if (a < 0 || b < 0) fail(file, line, "expected swap:A:B with two colours");
    Art out = in;
    for (auto& v : out.pixels) {
      if (v == a)
        v = static_cast<std::uint8_t>(b);
      else if (v == b)
        v = static_cast<std::uint8_t>(a);
    }
    return out;
  }
  if (op.size() == 9 && op.rfind("paint:", 0) == 0 && op[7] == ':') {
    int a = colourOf(op[6]), b = colourOf(op[8]);
    if (a < 0 || b < 0) fail(file, line, "expected paint:A:B with two colours");
    Art out = in;
    for (auto& v : out.pixels)
      if (v == a) v = static_cast<std::uint8_t>(b);
    return out;
  }
  fail(file, line, "unknown art change \"" + op + "\"");
}

int sizeArg(const std::string& text, const std::filesystem::path& file, int line, const char* what) {
  long long v = parseNumber(text, file, line);
  if (v < 1 || v > 512) fail(file, line, std::string(what) + " " + text + " lies outside 1 to 512");
  return static_cast<int>(v);
}

}  // namespace

const Art& findArt(const ArtSet& set, const std::string& name, const std::filesystem::path& file, int line) {
  auto it = set.items.find(name);
  if (it == set.items.end()) fail(file, line, "unknown art " + name);
  return it->second;
}

void readArtFile(const std::filesystem::path& file, ArtSet& set) {
  std::istringstream text(readSource(file));
  std::vector<std::string> lines;
  for (std::string l; std::getline(text, l);) {
    if (!l.empty() && l.back() == '\r') l.pop_back();
    lines.push_back(l);
  }
  auto define = [&](const std::string& name, Art art, int line) {
    if (set.items.count(name)) {
      const Art& prev = set.items.at(name);
      fail(file, line,
           "art " + name + " is already defined at " + prev.file.generic_string() + ":" + std::to_string(prev.line));
    }
    art.file = file;
    art.line = line;
    set.items.emplace(name, std::move(art));
  };
  for (std::size_t i = 0; i < lines.size(); ++i) {
    int n = static_cast<int>(i) + 1;
    std::istringstream in(lines[i]);
    std::vector<std::string> w;
    for (std::string s; in >> s;) w.push_back(s);
    if (w.empty() || w[0][0] == '#') continue;
    if (w[0] == "art") {
      if (w.size() != 4) fail(file, n, "expected: art NAME WIDTH HEIGHT");
      Art a = blank(sizeArg(w[2], file, n, "width"), sizeArg(w[3], file, n, "height"));
      for (int y = 0; y < a.height; ++y) {
        std::size_t at = i + 1 + static_cast<std::size_t>(y);
        if (at >= lines.size()) fail(file, n, "art " + w[1] + " needs " + std::to_string(a.height) + " rows");
        const std::string& row = lines[at];
        if (static_cast<int>(row.size()) != a.width)
          fail(file, static_cast<int>(at) + 1,
               "a row of art " + w[1] + " is " + std::to_string(a.width) + " characters, found " +
                   std::to_string(row.size()));
        for (int x = 0; x < a.width; ++x) {
          int c = colourOf(row[x]);
          if (c < 0) fail(file, static_cast<int>(at) + 1, std::string("'") + row[x] + "' is not a colour (. 0-9 a-f)");
          a.pixels[static_cast<std::size_t>(y) * a.width + x] = static_cast<std::uint8_t>(c);
        }
      }
      define(w[1], std::move(a), n);
      i += static_cast<std::size_t>(std::stoi(w[3]));
    } else if (w[0] == "derive") {
      if (w.size() < 3) fail(file, n, "expected: derive NAME BASE CHANGES...");
      Art a = findArt(set, w[2], file, n);
      for (std::size_t k = 3; k < w.size(); ++k) a = change(a, w[k], file, n);
      define(w[1], std::move(a), n);
    } else if (w[0] == "compose") {
      if (w.size() < 5) fail(file, n, "expected: compose NAME WIDTH HEIGHT PART@X,Y...");
      Art a = blank(sizeArg(w[2], file, n, "width"), sizeArg(w[3], file, n, "height"));
      for (std::size_t k = 4; k < w.size(); ++k) {
        auto atSign = w[k].find('@');
        auto comma = w[k].find(',', atSign == std::string::npos ? 0 : atSign);
        if (atSign == std::string::npos || comma == std::string::npos)
          fail(file, n, "expected PART@X,Y, found \"" + w[k] + "\"");
        const Art& part = findArt(set, w[k].substr(0, atSign), file, n);
        int ox = static_cast<int>(parseNumber(w[k].substr(atSign + 1, comma - atSign - 1), file, n));
        int oy = static_cast<int>(parseNumber(w[k].substr(comma + 1), file, n));
        for (int y = 0; y < part.height; ++y)
          for (int x = 0; x < part.width; ++x) {
            std::uint8_t v = part.at(x, y);
            int tx = ox + x, ty = oy + y;
            if (v != 0 && tx >= 0 && ty >= 0 && tx < a.width && ty < a.height)
              a.pixels[static_cast<std::size_t>(ty) * a.width + tx] = v;
          }
      }
      define(w[1], std::move(a), n);
    } else {
      fail(file, n, "unknown statement \"" + w[0] + "\"");
    }
  }
}

}  // namespace builder
