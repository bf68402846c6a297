// grovanta_goldens SOURCE_DIR [OUT_DIR]: draws the render goldens from the data set under SOURCE_DIR and
// writes them to OUT_DIR (SOURCE_DIR/tests/render/goldens when not given):
//
//   area_AA_CCCC.png/.json   the area goldens (top 192 lines; area, camera, animations and colours)
//   step_29_0200.png/.json   the busy game step (whole frame; its colours)
//   screens/NAME.png         the main screens (whole frame, the 64 colours as the palette)
//
// The golden tests only compare with these files. Exits with 0 when every golden was written, 1 when the
// data set does not load or a picture could not be drawn or written (the log says which), 2 on bad
// arguments.
#include <cstdio>
#include <filesystem>

#include "golden_cases.h"

int main(int argc, char* argv[]) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: grovanta_goldens SOURCE_DIR [OUT_DIR]\n");
    return 2;
  }
  const std::filesystem::path root = argv[1];
  const std::filesystem::path out = argc == 3 ? std::filesystem::path(argv[2]) : render_goldens::goldensFolder(root);
  const int written = render_goldens::writeGoldens(root, out);
  if (written < 0) return 1;
  std::printf("%d goldens written to %s\n", written, out.string().c_str());
  return 0;
}
