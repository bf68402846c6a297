// grovanta_sprite_preview ROOT OUT: draws, from ROOT/assets/graphics, the hero's frames, the object
// graphics, the status panel and every sprite picture as RGBA PNGs in OUT, scaled up three times,
// on a light backdrop so that transparent pixels stand out.
#include <array>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <lodepng.h>
#include <nlohmann/json.hpp>

namespace fs = std::filesystem;

namespace {

struct Sheet {
  unsigned width = 0, height = 0;
  std::vector<unsigned char> index;    // one palette index per pixel
  std::vector<unsigned char> colours;  // the PNG's own palette, RGBA
};

bool readSheet(const fs::path& file, Sheet& out) {
  std::vector<unsigned char> png;
  if (lodepng::load_file(png, file.string())) return false;
  lodepng::State state;
  state.decoder.color_convert = 0;
  if (lodepng::decode(out.index, out.width, out.height, state, png)) return false;
  const auto& pal = state.info_png.color;
  out.colours.assign(pal.palette, pal.palette + 4 * pal.palettesize);
  return true;
}

// A canvas of cells; each cell copies a pattern of a sheet, optionally mirrored.
struct Canvas {
  unsigned w, h;
  std::vector<unsigned char> rgba;
  Canvas(unsigned cw, unsigned ch) : w(cw * 8), h(ch * 8), rgba(static_cast<std::size_t>(w) * h * 4) {
    for (std::size_t i = 0; i < rgba.size(); i += 4) {
      bool check = ((i / 4 % w) / 4 + (i / 4 / w) / 4) % 2;
      rgba[i] = rgba[i + 1] = rgba[i + 2] = check ? 200 : 220;
      rgba[i + 3] = 255;
    }
  }
  void cell(const Sheet& s, int pattern, unsigned cx, unsigned cy, bool fh = false, bool fv = false) {
    unsigned sx = 8 * (pattern % 16), sy = 8 * (pattern / 16);
    if (sy + 8 > s.height) return;
    for (unsigned y = 0; y < 8; ++y)
      for (unsigned x = 0; x < 8; ++x) {
        unsigned v = s.index[(sy + (fv ? 7 - y : y)) * s.width + sx + (fh ? 7 - x : x)];
        if (v == 0 || 4 * v + 3 >= s.colours.size()) continue;
        std::size_t o = ((cy * 8 + y) * static_cast<std::size_t>(w) + cx * 8 + x) * 4;
        for (int c = 0; c < 3; ++c) rgba[o + c] = s.colours[4 * v + c];
      }
  }
  bool save(const fs::path& file, unsigned scale = 3) const {
    std::vector<unsigned char> big(static_cast<std::size_t>(w) * h * 4 * scale * scale);
    for (unsigned y = 0; y < h * scale; ++y)
      for (unsigned x = 0; x < w * scale; ++x)
        for (int c = 0; c < 4; ++c)
          big[(static_cast<std::size_t>(y) * w * scale + x) * 4 + c] =
              rgba[((y / scale) * static_cast<std::size_t>(w) + x / scale) * 4 + c];
    return lodepng::encode(file.string(), big, w * scale, h * scale) == 0;
  }
};

// Frames of several cells stored column by column, laid out `across` to a row with a gap.
bool framesPreview(const fs::path& in, const fs::path& out, unsigned fw, unsigned fh, unsigned across) {
  Sheet s;
  if (!readSheet(in, s)) return false;
  unsigned per = fw * fh, count = (s.width / 8) * (s.height / 8) / per;
  unsigned rows = (count + across - 1) / across;
  Canvas c(across * (fw + 1), rows * (fh + 1));
  for (unsigned f = 0; f < count; ++f)
    for (unsigned k = 0; k < per; ++k)
      c.cell(s, static_cast<int>(f * per + k), (f % across) * (fw + 1) + k / fh, (f / across) * (fh + 1) + k % fh);
  return c.save(out);
}

// The cartridge bytes of the data set's raw ranges, by address (enough to follow the common entry).
std::map<std::uint32_t, unsigned char> romBytes(const fs::path& root) {
  std::map<std::uint32_t, unsigned char> bytes;
  std::ifstream in(root / "assets/data/rule_tables.json");
  auto doc = nlohmann::json::parse(in, nullptr, false);
  if (doc.is_discarded()) return bytes;
  for (const auto& t : doc["tables"]) {
    std::uint32_t a = std::stoul(t["address"].get<std::string>(), nullptr, 16);
    const std::string hex = t["bytes"];
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
      bytes[a + static_cast<std::uint32_t>(i / 2)] =
          static_cast<unsigned char>(std::stoul(hex.substr(i, 2), nullptr, 16));
  }
  return bytes;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr,
                 "usage: grovanta_sprite_preview ROOT OUT   or   grovanta_sprite_preview PICTURE.png OUT.png\n");
    return 2;
  }
  if (fs::path(argv[1]).extension() == ".png") {
    // Any picture (a rendered frame, say) scaled up three times.
    std::vector<unsigned char> rgba;
    unsigned w = 0, h = 0;
    if (lodepng::decode(rgba, w, h, argv[1])) return 1;
    Canvas c(w / 8, h / 8);
    c.rgba = rgba;
    return c.save(argv[2]) ? 0 : 1;
  }
  const fs::path g = fs::path(argv[1]) / "assets/graphics";
  const fs::path out = argv[2];
  fs::create_directories(out);
  bool ok = framesPreview(g / "brumo_frames.png", out / "hero_frames.png", 3, 3, 12);
  ok = framesPreview(g / "object_graphics.png", out / "object_graphics.png", 2, 2, 16) && ok;
  Sheet panel;
  if (readSheet(g / "brumo_common.png", panel)) {
    std::ifstream in(g / "brumo_common.json");
    auto doc = nlohmann::json::parse(in, nullptr, false);
    Sheet digits;
    readSheet(g / "panel_patterns.png", digits);
    Canvas c(40, 4);
    const auto& table = doc["table"];
    for (unsigned i = 0; i < table.size() && i < 160; ++i) {
      int word = table[i].get<int>();
      c.cell(digits, 16, i % 40, i / 40);
      c.cell(panel, word & 0x7FF, i % 40, i / 40, word & 0x800, word & 0x1000);
    }
    // A sample score and three lives, where the game writes them.
    const int score[6] = {0, 1, 2, 3, 4, 0};
    for (int k = 0; k < 6; ++k) c.cell(digits, score[k], 4 + k, 2);
    for (int k = 0; k < 3; ++k) c.cell(digits, 17, 30 + k, 2);
    ok = c.save(out / "status_panel.png") && ok;
    // The same panel with the sprites the game draws over it: the rail, the dividers, three carried
    // objects in the tray and, below, the energy bar at 40 points, placed as the logic places them.
    auto rom = romBytes(argv[1]);
    auto word = [&](std::uint32_t a) { return rom.count(a) && rom.count(a + 1) ? rom[a] << 8 | rom[a + 1] : -1; };
    std::uint32_t block = static_cast<std::uint32_t>(word(0x03EC7C) << 16 | word(0x03EC7E));
    std::uint32_t list = static_cast<std::uint32_t>(word(0x03EC80) << 16 | word(0x03EC82));
    char name[32];
    std::snprintf(name, sizeof name, "sprites_common");
    Sheet pic;
    std::ifstream pj(g / "pictures" / (std::string(name) + ".json"));
    auto pdoc = nlohmann::json::parse(pj, nullptr, false);
    if (!pdoc.is_discarded() && readSheet(g / "pictures" / (std::string(name) + ".png"), pic) &&
        std::stoul(pdoc["block"].get<std::string>(), nullptr, 16) == block) {
      std::vector<std::array<int, 4>> frames;  // x, y, w, h in cells
      for (std::uint32_t a = list; word(a) != 0xFFFF && word(a) >= 0; a += 10)
        frames.push_back({static_cast<std::int16_t>(word(a + 2)), word(a + 4), word(a + 6), word(a + 8)});
      Canvas both(40, 8);
      for (int half = 0; half < 2; ++half)
        for (unsigned i = 0; i < 160; ++i) {
          int w = table[i].get<int>();
          both.cell(digits, 16, i % 40, i / 40 + 4 * half);
          both.cell(panel, w & 0x7FF, i % 40, i / 40 + 4 * half, w & 0x800, w & 0x1000);
        }
      // Sprite drawing in pixels onto the canvas (screen y 192 is canvas row 0).
      auto sprite = [&](int frame, int sx, int sy, int half) {
        if (frame >= static_cast<int>(frames.size())) return;
        auto [fx, fy, fw, fh] = frames[static_cast<std::size_t>(frame)];
        for (int cy = 0; cy < fh; ++cy)
          for (int cx = 0; cx < fw; ++cx) {
            int nword = pdoc["names"][fy + cy][fx + cx];
            int pat = nword & 0x7FF;
            unsigned px = 8 * (pat % 16), py = 8 * (pat / 16);
            for (int y = 0; y < 8; ++y)
              for (int x = 0; x < 8; ++x) {
                int tx = sx - 128 + 8 * cx + x, ty = sy - 128 - 192 + 8 * cy + y + 32 * half;
                if (tx < 0 || ty < 32 * half || tx >= 320 || ty >= 32 * (half + 1)) continue;
                unsigned v = pic.index[(py + y) * pic.width + px + x];
                if (!v) continue;
                std::size_t o = (static_cast<std::size_t>(ty) * both.w + tx) * 4;
                for (int c = 0; c < 3; ++c) both.rgba[o + c] = pic.colours[4 * v + c];
              }
          }
      };
      for (int half = 0; half < 2; ++half)
        for (int k = 0; k < 4; ++k) sprite(51, 232 + 32 * k, 320, half);
      sprite(72, 261, 328, 0);
      sprite(72, 301, 328, 0);
      sprite(73, 243, 329, 1);
      sprite(77, 248, 338, 1);
      const int damage = 40;
      for (int i = 0; i <= (damage - ((damage & 7) == 0 ? 1 : 0)) / 8; ++i)
        sprite(75, ((damage & 7) ? ((damage & 7) | 0xF8) : 256) + 8 * i, 338, 1);
      ok = both.save(out / "status_panel_sprites.png") && ok;
    }
  } else {
    ok = false;
  }
  for (const auto& e : fs::directory_iterator(g / "pictures")) {
    if (e.path().extension() != ".json" || e.path().stem().string().rfind("sprites_", 0) != 0) continue;
    std::ifstream in(e.path());
    auto doc = nlohmann::json::parse(in, nullptr, false);
    Sheet s;
    fs::path png = e.path();
    if (doc.is_discarded() || !readSheet(png.replace_extension(".png"), s)) {
      ok = false;
      continue;
    }
    unsigned w = doc["width"], h = doc["height"];
    Canvas c(w, h);
    for (unsigned y = 0; y < h; ++y)
      for (unsigned x = 0; x < w; ++x) {
        int word = doc["names"][y][x];
        c.cell(s, word & 0x7FF, x, y, word & 0x800, word & 0x1000);
      }
    ok = c.save(out / e.path().filename().replace_extension(".png")) && ok;
  }
  std::printf("%s\n", ok ? "previews written" : "some previews failed");
  return ok ? 0 : 1;
}
