#include "icon.h"

#include <lodepng.h>

#include <string>
#include <vector>

#include "source_error.h"
#include "sprite_art.h"

namespace builder {

int buildIcon(const std::filesystem::path& data, const std::filesystem::path& outputRoot, const PaletteLine& heroLine) {
  const std::filesystem::path source = data / "icon" / "icon.art";
  ArtSet arts;
  readArtFile(data / "sprites" / "brumo.art", arts);
  readArtFile(source, arts);
  const Art& icon = findArt(arts, "icon", source, 0);
  if (icon.width != 32 || icon.height != 32) fail(source, icon.line, "the icon must be 32 x 32 pixels");

  constexpr unsigned kSize = 64;
  std::vector<unsigned char> rgba(kSize * kSize * 4, 0);
  for (unsigned y = 0; y < kSize; ++y)
    for (unsigned x = 0; x < kSize; ++x) {
      const std::uint8_t colour = icon.at(static_cast<int>(x / 2), static_cast<int>(y / 2));
      if (colour == 0) continue;
      const std::uint16_t word = heroLine[colour];
      unsigned char* p = &rgba[4 * (y * kSize + x)];
      p[0] = static_cast<unsigned char>(((word >> 1) & 7) * 255 / 7);
      p[1] = static_cast<unsigned char>(((word >> 5) & 7) * 255 / 7);
      p[2] = static_cast<unsigned char>(((word >> 9) & 7) * 255 / 7);
      p[3] = 255;
    }
  std::vector<unsigned char> png;
  const std::filesystem::path file = outputRoot / "assets" / "icon" / "icon_64.png";
  if (unsigned error = lodepng::encode(png, rgba, kSize, kSize, LCT_RGBA, 8))
    fail(file, 0, std::string("cannot encode: ") + lodepng_error_text(error));
  std::filesystem::create_directories(file.parent_path());
  if (lodepng::save_file(png, file.string())) fail(file, 0, "cannot write");
  return 1;
}

}  // namespace builder
