// A picture description: assets/graphics/pictures/*.json beside its sheet, through the picture loader.

#include "render/pictures.h"
#include "fuzz/fuzz_target.h"

GROVANTA_FUZZ_TARGET(picture_json) {
  fuzz::putFile("assets/graphics/pictures/title.json", data, size);
  for (const auto& [block, picture] : render::loadPictures(fuzz::dataDirectory())) {
    // What the renderers index without checks.
    if (picture.names.size() != static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height) ||
        picture.palette.size() != 16)
      __builtin_trap();
  }
  return 0;
}
