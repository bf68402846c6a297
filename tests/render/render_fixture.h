#pragma once
// Small files for the render tests: indexed PNGs written with lodepng into a fresh temporary folder.

#include <gtest/gtest.h>
#include <lodepng.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "base/pattern_sheet.h"

namespace render_test {

class TempDir {
 public:
  TempDir() {
    // A random part keeps copies of the suite run at the same time (other checkouts, other builds) out of
    // one another's folders.
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    path_ = std::filesystem::temp_directory_path() / ("grovanta_render_" + std::string(info->test_suite_name()) + "_" +
                                                      info->name() + "_" + std::to_string(std::random_device{}()));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~TempDir() { std::filesystem::remove_all(path_); }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

inline void writeText(const std::filesystem::path& path, const std::string& text) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

// An indexed PNG with the given bit depth (pixel values as given, one per byte).
inline void writeIndexedPng(const std::filesystem::path& path, unsigned width, unsigned height,
                            const std::vector<std::uint8_t>& pixels, unsigned bitDepth = 8) {
  std::filesystem::create_directories(path.parent_path());
  lodepng::State state;
  state.info_raw.colortype = LCT_PALETTE;
  state.info_raw.bitdepth = 8;
  state.info_png.color.colortype = LCT_PALETTE;
  state.info_png.color.bitdepth = bitDepth;
  state.encoder.auto_convert = 0;
  for (int i = 0; i < 256; ++i) {
    lodepng_palette_add(&state.info_png.color, i, i, i, 255);
    lodepng_palette_add(&state.info_raw, i, i, i, 255);
  }
  std::vector<unsigned char> png;
  if (bitDepth < 8) {
    // Lower depths need the raw data in that depth; pack it.
    state.info_raw.bitdepth = bitDepth;
    const unsigned perByte = 8 / bitDepth;
    const unsigned rowBytes = (width + perByte - 1) / perByte;
    std::vector<unsigned char> packed(rowBytes * height, 0);
    for (unsigned y = 0; y < height; ++y)
      for (unsigned x = 0; x < width; ++x)
        packed[y * rowBytes + x / perByte] |=
            static_cast<unsigned char>(pixels[y * width + x] << (8 - bitDepth * (1 + x % perByte)));
    ASSERT_EQ(0u, lodepng::encode(png, packed.data(), width, height, state));
  } else {
    ASSERT_EQ(0u, lodepng::encode(png, pixels.data(), width, height, state));
  }
  ASSERT_EQ(0u, lodepng::save_file(png, path.string()));
}

// A 128-wide sheet whose pattern n is filled with fill(n, pixel index).
template <typename Fill>
void writeSheet(const std::filesystem::path& path, int squares, Fill fill) {
  const int rows = (squares + 15) / 16;
  std::vector<std::uint8_t> pixels(static_cast<std::size_t>(128 * 8 * rows), 0);
  for (int n = 0; n < squares; ++n)
    for (int i = 0; i < 64; ++i)
      pixels[static_cast<std::size_t>((8 * (n / 16) + i / 8) * 128 + 8 * (n % 16) + i % 8)] =
          static_cast<std::uint8_t>(fill(n, i));
  writeIndexedPng(path, 128, static_cast<unsigned>(8 * rows), pixels);
}

inline render::Pattern solidPattern(std::uint8_t value) {
  render::Pattern p;
  p.fill(value);
  return p;
}

}  // namespace render_test
