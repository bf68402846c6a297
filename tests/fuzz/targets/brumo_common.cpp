// assets/graphics/brumo_common.json, the status panel's table, through the render assets.

#include "fuzz/fuzz_target.h"
#include "render/render_assets.h"

namespace {

void loadAll() {
  render::RenderAssets assets(fuzz::dataDirectory(), fuzz::smallWorld());
  assets.loadCommonGraphics();
  assets.loadPortraitFrames();
}

}  // namespace

GROVANTA_FUZZ_TARGET(brumo_common_json) {
  fuzz::putFile("assets/graphics/brumo_common.json", data, size);
  loadAll();
  return 0;
}
