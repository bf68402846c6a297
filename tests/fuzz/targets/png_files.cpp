// PNG files: the pattern sheets and palette pictures (indexed, read without conversion) and the window
// icon (decoded to RGBA).

#include "app/display.h"
#include "base/pattern_sheet.h"
#include "fuzz/fuzz_target.h"

GROVANTA_FUZZ_TARGET(png) {
  const auto sheet = fuzz::putFile("sheet.png", data, size);
  if (auto image = render::readPalettePng(sheet)) {
    if (image->pixels.size() != static_cast<std::size_t>(image->width) * static_cast<std::size_t>(image->height))
      __builtin_trap();
    render::readPatternSheet(sheet, (image->height / 8) * 16);
  }
  render::readPatternSheet(sheet, 16);
  fuzz::putFile("assets/icon/icon_64.png", data, size);
  app::loadWindowIcon(fuzz::dataDirectory());
  return 0;
}
