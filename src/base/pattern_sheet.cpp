#include "base/pattern_sheet.h"

#include <lodepng.h>

#include <string>

#include "base/asset_store.h"
#include "base/log.h"

namespace render {

namespace {
constexpr int kSheetWidth = 128;
constexpr int kPatternsPerRow = 16;
}  // namespace

std::optional<IndexedImage> readPalettePng(const std::filesystem::path& path) {
  const std::string name = path.string();
  std::optional<app::Bytes> bytes = app::readFile(path);
  if (!bytes) return std::nullopt;  // the asset store has logged why

  lodepng::State state;
  state.decoder.color_convert = 0;  // keep the palette indices as stored
  std::vector<unsigned char> pixels;
  unsigned width = 0, height = 0;
  unsigned error = lodepng::decode(pixels, width, height, state, bytes->data(), bytes->size());
  if (error) {
    app::logMessage(app::kError, "%s: %s", name.c_str(), lodepng_error_text(error));
    return std::nullopt;
  }
  if (state.info_png.color.colortype != LCT_PALETTE || state.info_png.color.bitdepth != 8) {
    app::logMessage(app::kError, "%s: not an 8-bit palette PNG", name.c_str());
    return std::nullopt;
  }
  IndexedImage image;
  image.width = static_cast<std::int32_t>(width);
  image.height = static_cast<std::int32_t>(height);
  image.pixels = std::move(pixels);
  return image;
}

std::optional<std::vector<Pattern>> readPatternSheet(const std::filesystem::path& path, int count) {
  std::optional<IndexedImage> image = readPalettePng(path);
  if (!image) return std::nullopt;
  const std::string name = path.string();
  const long squares = static_cast<long>(image->width / 8) * (image->height / 8);
  if (image->width != kSheetWidth || squares < count) {
    app::logMessage(app::kError, "%s: %dx%d holds fewer than %d patterns of a %d-wide sheet", name.c_str(),
                    image->width, image->height, count, kPatternsPerRow);
    return std::nullopt;
  }
  std::vector<Pattern> patterns(count > 0 ? static_cast<std::size_t>(count) : 0);
  for (int n = 0; n < count; ++n) {
    const int left = 8 * (n % kPatternsPerRow);
    const int top = 8 * (n / kPatternsPerRow);
    Pattern& pattern = patterns[static_cast<std::size_t>(n)];
    for (int row = 0; row < 8; ++row) {
      const std::uint8_t* src = image->pixels.data() + static_cast<std::size_t>(top + row) * kSheetWidth + left;
      for (int col = 0; col < 8; ++col) {
        const std::uint8_t value = src[col];
        if (value > 15) {
          app::logMessage(app::kError, "%s: pattern %d has pixel value %d", name.c_str(), n, value);
          return std::nullopt;
        }
        pattern[static_cast<std::size_t>(row * 8 + col)] = value;
      }
    }
  }
  return patterns;
}

}  // namespace render
