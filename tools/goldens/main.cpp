// grovanta_goldens SOURCE_DIR [OUT_DIR]: draws the render goldens from the data set under SOURCE_DIR and
// writes them to OUT_DIR (SOURCE_DIR/tests/render/goldens when not given):
//
//   area_AA_CCCC.png/.json   the area goldens (top 192 lines; area, camera, animations and colours)
//   step_29_0200.png/.json   the busy game step (whole frame; its colours)
//   screens/NAME.png         the main screens (whole frame, the 64 colours as the palette)
//
// The golden tests only compare with these files. Exits with 0 when every golden was written, 1 when a
// picture could not be drawn or written, 2 on bad arguments or a data set that does not load.
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "app/asset_store.h"
#include "golden_cases.h"
#include "render/area_render.h"
#include "render/frame_png.h"
#include "render/game_frame.h"
#include "render/render_assets.h"
#include "render/screen_render.h"
#include "render/texts.h"
#include "sim/rom_view.h"
#include "world/world.h"

namespace {

namespace fs = std::filesystem;

std::vector<int> colours(const render::Frame& frame) {
  return {frame.cram.begin(), frame.cram.end()};
}

class Writer {
 public:
  explicit Writer(fs::path folder) : folder_(std::move(folder)) {}

  void picture(const std::string& name, const std::optional<render::Frame>& frame, int lines) {
    if (!frame) {
      std::fprintf(stderr, "%s: the picture cannot be drawn\n", name.c_str());
      ++failed_;
      return;
    }
    std::string error;
    const std::vector<unsigned char> png = render::encodeIndexedPng(*frame, lines, &error);
    if (png.empty() || !app::writeFile(folder_ / (name + ".png"), std::span<const std::uint8_t>(png))) {
      std::fprintf(stderr, "%s: the picture cannot be written %s\n", name.c_str(), error.c_str());
      ++failed_;
      return;
    }
    ++written_;
  }

  void json(const std::string& name, const nlohmann::json& value) {
    if (!app::writeFile(folder_ / (name + ".json"), value.dump() + "\n")) ++failed_;
  }

  int finish() const {
    std::printf("%d goldens written to %s\n", written_, folder_.string().c_str());
    return failed_ == 0 ? 0 : 1;
  }

 private:
  fs::path folder_;
  int written_ = 0, failed_ = 0;
};

}  // namespace

int main(int argc, char* argv[]) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: grovanta_goldens SOURCE_DIR [OUT_DIR]\n");
    return 2;
  }
  const fs::path root = argv[1];
  const fs::path out = argc == 3 ? fs::path(argv[2]) : render_goldens::goldensFolder(root);
  std::optional<world::World> world = world::loadWorld(root);
  if (!world) return 2;
  const sim::RomView rom = sim::loadRomView(root, *world);
  if (!rom.loaded()) return 2;
  Writer writer(out);

  render::RenderAssets areaAssets(root, *world);
  for (const render_goldens::AreaGolden& golden : render_goldens::areaGoldens()) {
    const std::optional<render::Frame> frame =
        render::renderArea(areaAssets, golden.area, golden.camera, golden.animations);
    writer.picture(golden.name(), frame, 192);
    if (frame)
      writer.json(golden.name(), {{"area", golden.area},
                                  {"camera_x", golden.camera},
                                  {"animations", golden.animations},
                                  {"cram", colours(*frame)}});
  }

  render::RenderAssets assets(root, *world, &rom);
  const render_goldens::GameStep step = render_goldens::busyStep();
  const std::optional<render::Frame> stepFrame = render::renderGameStep(assets, step.state, step.calls);
  writer.picture(render_goldens::kBusyStepName, stepFrame, 224);
  if (stepFrame) writer.json(render_goldens::kBusyStepName, {{"cram", colours(*stepFrame)}});

  if (!assets.loadCommonGraphics() || !assets.loadPortraitFrames()) return 2;
  render::TextImages texts(root);
  const sim::GameState current = render_goldens::screenGame(21);
  for (const render_goldens::ScreenGolden& golden : render_goldens::screenGoldens())
    writer.picture("screens/" + golden.name, render::renderScreen(assets, texts, current, golden.screen, golden.frame),
                   224);
  return writer.finish();
}
