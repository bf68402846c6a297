// --render-area: one area at a camera position, written as an indexed PNG of the play field.
#include <cstdio>
#include <memory>

#include "app/modes.h"
#include "base/log.h"
#include "render/area_render.h"
#include "render/render_assets.h"
#include "world/world.h"

namespace app {

int runRenderArea(Data& data, const Options& options) {
  if (options.camera < 0 || options.out.empty()) {
    std::fprintf(stderr, "--render-area needs --camera X and --out FILE\n");
    return 2;
  }
  if (!data.world) {
    logMessage(kError, "--render-area: no world is loaded");
    return 1;
  }
  if (!data.renderAssets)
    data.renderAssets = std::make_shared<render::RenderAssets>(data.dataDirectory, *data.world, data.rom.get());
  return render::renderAreaToFile(*data.renderAssets, options.renderArea, options.camera, options.out);
}

}  // namespace app
