// assets/graphics/pattern_streams.json, the pattern counts of the common sheets, through the render assets.

#include "fuzz/fuzz_target.h"
#include "render/render_assets.h"

namespace {

void loadAll() {
  render::RenderAssets assets(fuzz::dataDirectory(), fuzz::smallWorld());
  assets.loadCommonGraphics();
  assets.loadPortraitFrames();
}

}  // namespace

GROVANTA_FUZZ_TARGET(pattern_streams_json) {
  fuzz::putFile("assets/graphics/pattern_streams.json", data, size);
  loadAll();
  return 0;
}
