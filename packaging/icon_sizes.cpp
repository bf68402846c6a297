// grovanta_icon_sizes ICON_64 OUT_DIR: the window icon (a 32 x 32 picture drawn at twice its size) in the
// sizes of the hicolor icon theme, as OUT_DIR/NxN/apps/grovanta.png. Every size is taken from the 32 x 32
// pixels by nearest neighbour, so whole multiples keep the pixels square.
#include <cstdio>
#include <filesystem>
#include <vector>

#include <lodepng.h>

namespace {

constexpr unsigned kSource = 32;
constexpr unsigned kSizes[] = {32, 48, 64, 128, 256};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: grovanta_icon_sizes ICON_64 OUT_DIR\n");
    return 2;
  }
  std::vector<unsigned char> big;
  unsigned w = 0, h = 0;
  if (unsigned error = lodepng::decode(big, w, h, argv[1])) {
    std::fprintf(stderr, "%s: %s\n", argv[1], lodepng_error_text(error));
    return 1;
  }
  if (w != 2 * kSource || h != 2 * kSource) {
    std::fprintf(stderr, "%s: expected %u x %u pixels, found %u x %u\n", argv[1], 2 * kSource, 2 * kSource, w, h);
    return 1;
  }
  for (unsigned size : kSizes) {
    std::vector<unsigned char> out(4u * size * size);
    for (unsigned y = 0; y < size; ++y)
      for (unsigned x = 0; x < size; ++x) {
        const unsigned sx = 2 * (x * kSource / size), sy = 2 * (y * kSource / size);
        for (unsigned c = 0; c < 4; ++c) out[4 * (y * size + x) + c] = big[4 * (sy * w + sx) + c];
      }
    const std::filesystem::path dir =
        std::filesystem::path(argv[2]) / (std::to_string(size) + "x" + std::to_string(size)) / "apps";
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    const std::string file = (dir / "grovanta.png").string();
    if (unsigned error = lodepng::encode(file, out, size, size)) {
      std::fprintf(stderr, "%s: %s\n", file.c_str(), lodepng_error_text(error));
      return 1;
    }
  }
  return 0;
}
