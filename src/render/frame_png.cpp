#include "render/frame_png.h"

#include <lodepng.h>

namespace render {

std::vector<unsigned char> encodeIndexedPng(const Frame& frame, int lines, std::string* error) {
  if (lines <= 0 || lines > frame.height) lines = frame.height;
  lodepng::State state;
  state.info_raw.colortype = LCT_PALETTE;
  state.info_raw.bitdepth = 8;
  state.info_png.color.colortype = LCT_PALETTE;
  state.info_png.color.bitdepth = 8;
  state.encoder.auto_convert = 0;
  for (std::uint16_t word : frame.cram) {
    const std::uint32_t rgb = cramToRgb(word);
    const auto r = static_cast<unsigned char>(rgb >> 16), g = static_cast<unsigned char>(rgb >> 8),
               b = static_cast<unsigned char>(rgb);
    lodepng_palette_add(&state.info_png.color, r, g, b, 255);
    lodepng_palette_add(&state.info_raw, r, g, b, 255);
  }
  std::vector<unsigned char> png;
  const unsigned failure = lodepng::encode(png, frame.pixels.data(), static_cast<unsigned>(frame.width),
                                           static_cast<unsigned>(lines), state);
  if (failure) {
    if (error) *error = lodepng_error_text(failure);
    return {};
  }
  return png;
}

}  // namespace render
