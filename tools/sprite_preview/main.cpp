// grovanta_sprite_preview ROOT OUT: draws, from ROOT/assets/graphics, the hero's frames, the object
// graphics, the status panel and every sprite picture as RGBA PNGs in OUT, scaled up three times,
// on a light backdrop so that transparent pixels stand out.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <lodepng.h>
#include <nlohmann/json.hpp>

namespace fs = std::filesystem;

namespace {

struct Sheet {
  unsigned width = 0, height = 0;
  std::vector<unsigned char> index;   // one palette index per pixel
  std::vector<unsigned char> colours; // the PNG's own palette, RGBA
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
        for (int c = 0; c < 4; ++c) big[(static_cast<std::size_t>(y) * w * scale + x) * 4 + c] = rgba[((y / scale) * static_cast<std::size_t>(w) + x / scale) * 4 + c];
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
    for (unsigned k = 0; k < per; ++k) c.cell(s, static_cast<int>(f * per + k), (f % across) * (fw + 1) + k / fh, (f / across) * (fh + 1) + k % fh);
  return c.save(out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: grovanta_sprite_preview ROOT OUT\n");
    return 2;
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
