#pragma once
// Where a picture goes in a window: scaled as large as fits with its aspect kept, centred, black bars
// around it; and the renderer path's integer pre-scale for sharp-bilinear drawing.

#include <optional>

namespace app {

struct Placement {
  double scale = 0.0;  // window pixels per picture pixel
  int x = 0, y = 0;    // top left corner in the output, whole pixels
  int width = 0, height = 0;
};

// Nothing when the output or the picture has no area (a minimised window): nothing is drawn then.
std::optional<Placement> placePicture(int outputWidth, int outputHeight, int pictureWidth, int pictureHeight);

// Whether a scale is a whole factor of at least 1 (within 1e-6): drawn nearest-neighbour as it is.
bool isExactScale(double scale);

// The integer factor the renderer path pre-scales by before its linear scaling: ceil(scale), 1 below 1.
int preScaleFactor(double scale);

}  // namespace app
