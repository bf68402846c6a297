#include "app/display_scaling.h"

#include <algorithm>
#include <cmath>

namespace app {

std::optional<Placement> placePicture(int outputWidth, int outputHeight, int pictureWidth, int pictureHeight) {
  if (outputWidth <= 0 || outputHeight <= 0 || pictureWidth <= 0 || pictureHeight <= 0) return std::nullopt;
  Placement p;
  p.scale =
      std::min(static_cast<double>(outputHeight) / pictureHeight, static_cast<double>(outputWidth) / pictureWidth);
  p.width = std::max(1, static_cast<int>(std::lround(p.scale * pictureWidth)));
  p.height = std::max(1, static_cast<int>(std::lround(p.scale * pictureHeight)));
  p.x = (outputWidth - p.width) / 2;
  p.y = (outputHeight - p.height) / 2;
  return p;
}

bool isExactScale(double scale) {
  return scale >= 1.0 - 1e-6 && std::fabs(scale - std::round(scale)) <= 1e-6;
}

int preScaleFactor(double scale) {
  return scale < 1.0 ? 1 : static_cast<int>(std::ceil(scale));
}

}  // namespace app
