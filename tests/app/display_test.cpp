// Presentation: the scaling arithmetic, and both shader programs drawing through a real OpenGL context.
#include <gtest/gtest.h>

#include <SDL.h>

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <vector>

#include "app/display.h"
#include "app/display_scaling.h"
#include "open_gl_needed.h"

namespace {

using app::placePicture;

TEST(DisplayScaling, PicturesFitTheWindowWithTheirAspectKept) {
  struct Case {
    int outputWidth, outputHeight;
    double scale;
    int x, y, width, height;
  };
  const Case cases[] = {
      {1000, 700, 3.125, 0, 0, 1000, 700},  // fills the window exactly
      {960, 1000, 3.0, 0, 164, 960, 672},   // bars of 164 above and below
      {960, 672, 3.0, 0, 0, 960, 672},
      {1920, 1080, 1080.0 / 224.0, 188, 0, 1543, 1080},  // bars left and right (188.5 rounds down)
      {100, 50, 50.0 / 224.0, 14, 0, 71, 50},            // smaller than the picture
  };
  for (const Case& c : cases) {
    const std::optional<app::Placement> p = placePicture(c.outputWidth, c.outputHeight, 320, 224);
    ASSERT_TRUE(p) << c.outputWidth << "x" << c.outputHeight;
    EXPECT_DOUBLE_EQ(p->scale, c.scale) << c.outputWidth << "x" << c.outputHeight;
    EXPECT_EQ(p->x, c.x) << c.outputWidth << "x" << c.outputHeight;
    EXPECT_EQ(p->y, c.y) << c.outputWidth << "x" << c.outputHeight;
    EXPECT_EQ(p->width, c.width) << c.outputWidth << "x" << c.outputHeight;
    EXPECT_EQ(p->height, c.height) << c.outputWidth << "x" << c.outputHeight;
  }
  // A minimised window (or an empty picture) draws nothing.
  EXPECT_FALSE(placePicture(0, 0, 320, 224));
  EXPECT_FALSE(placePicture(960, 0, 320, 224));
  EXPECT_FALSE(placePicture(960, 672, 0, 224));
  // A tiny window still gets a picture of at least one pixel.
  const auto tiny = placePicture(1, 1000, 320, 224);
  ASSERT_TRUE(tiny);
  EXPECT_EQ(tiny->width, 1);
  EXPECT_EQ(tiny->height, 1);
}

TEST(DisplayScaling, TheRendererPathPreScalesByTheNextWholeFactor) {
  EXPECT_FALSE(app::isExactScale(3.125));
  EXPECT_EQ(app::preScaleFactor(3.125), 4);  // 1000 x 700: drawn at 1280 x 896, then linearly
  EXPECT_TRUE(app::isExactScale(3.0));
  EXPECT_TRUE(app::isExactScale(2.0000004));
  EXPECT_TRUE(app::isExactScale(1.0));
  EXPECT_FALSE(app::isExactScale(0.5));
  EXPECT_FALSE(app::isExactScale(0.0));
  EXPECT_EQ(app::preScaleFactor(0.5), 1);
  EXPECT_EQ(app::preScaleFactor(1.5), 2);
}

// A hidden window on the offscreen video driver (OpenGL through Mesa).
class GlDisplay : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
    ASSERT_TRUE(display.create("Grovanta", 960, 672, true));
    ASSERT_TRUE(display.shaderPath()) << testing_support::kNoOpenGl;
  }
  void TearDown() override {
    display.destroy();
    SDL_Quit();
  }

  // A 320 x 224 picture of 8 x 8 blocks in eight colours.
  static app::RgbaPicture checkerboard() {
    static const std::uint32_t kColours[] = {0xFF000000, 0xFFFF0000, 0xFF00FF00, 0xFF0000FF,
                                             0xFFFFFF00, 0xFF00FFFF, 0xFFFF00FF, 0xFFFFFFFF};
    app::RgbaPicture picture{320, 224, std::vector<std::uint32_t>(320 * 224)};
    for (int y = 0; y < 224; ++y)
      for (int x = 0; x < 320; ++x) picture.pixels[y * 320 + x] = kColours[(x / 8 + 3 * (y / 8)) % 8];
    return picture;
  }

  app::Display display;
};

int channelDistance(std::uint32_t a, std::uint32_t b) {
  int worst = 0;
  for (int shift : {0, 8, 16}) {
    const int d = std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF));
    if (d > worst) worst = d;
  }
  return worst;
}

TEST_F(GlDisplay, ThePlainProgramDrawsSharpPixelsTheRightWayUp) {
  const app::RgbaPicture picture = checkerboard();
  std::vector<std::uint32_t> out;
  ASSERT_TRUE(display.drawOffscreen(picture, 960, 672, false, out));
  ASSERT_EQ(out.size(), 960u * 672u);
  // At three times the size every output pixel is its source pixel, alpha 255, top row first.
  int wrong = 0;
  for (int y = 0; y < 672; ++y)
    for (int x = 0; x < 960; ++x)
      if (channelDistance(out[y * 960 + x], picture.pixels[(y / 3) * 320 + x / 3]) > 2 ||
          (out[y * 960 + x] >> 24) != 0xFF)
        ++wrong;
  EXPECT_EQ(wrong, 0);

  // At a fractional scale only the edges between source pixels blend.
  ASSERT_TRUE(display.drawOffscreen(picture, 1000, 700, false, out));
  ASSERT_EQ(out.size(), 1000u * 700u);
  const double s = 3.125;
  int centresWrong = 0;
  for (int sy = 0; sy < 224; sy += 5)
    for (int sx = 0; sx < 320; sx += 5) {
      const int ox = static_cast<int>((sx + 0.5) * s), oy = static_cast<int>((sy + 0.5) * s);
      if (channelDistance(out[oy * 1000 + ox], picture.pixels[sy * 320 + sx]) > 2) ++centresWrong;
    }
  EXPECT_EQ(centresWrong, 0);
}

TEST_F(GlDisplay, TheCrtProgramCurvesDarkensTheCornersAndKeepsTheMiddle) {
  app::RgbaPicture white{320, 224, std::vector<std::uint32_t>(320 * 224, 0xFFFFFFFF)};
  std::vector<std::uint32_t> out;
  ASSERT_TRUE(display.drawOffscreen(white, 960, 672, true, out));
  ASSERT_EQ(out.size(), 960u * 672u);
  // The rounded corners are black.
  for (auto [x, y] : {std::pair{0, 0}, {959, 0}, {0, 671}, {959, 671}})
    EXPECT_EQ(out[y * 960 + x] & 0xFFFFFF, 0u) << x << "," << y;
  // The middle is lit, and the scan lines make rows of different brightness within one source line.
  int brightest = 0, darkest = 255;
  for (int y = 330; y < 342; ++y) {
    const int green = (out[y * 960 + 480] >> 8) & 0xFF;
    brightest = std::max(brightest, green);
    darkest = std::min(darkest, green);
  }
  EXPECT_GT(brightest, 200);
  EXPECT_LT(darkest, brightest);
  // Every pixel is opaque.
  for (std::uint32_t p : out) ASSERT_EQ(p >> 24, 0xFFu);

  // The picture comes out the right way up: a red top half and a blue bottom half.
  app::RgbaPicture halves{320, 224, std::vector<std::uint32_t>(320 * 224, 0xFF0000FF)};
  std::fill(halves.pixels.begin(), halves.pixels.begin() + 320 * 112, 0xFFFF0000);
  ASSERT_TRUE(display.drawOffscreen(halves, 960, 672, true, out));
  const std::uint32_t top = out[168 * 960 + 480], bottom = out[504 * 960 + 480];
  EXPECT_GT((top >> 16) & 0xFF, top & 0xFF);
  EXPECT_GT(bottom & 0xFF, (bottom >> 16) & 0xFF);
}

TEST_F(GlDisplay, PresentingFollowsTheWindowAndTogglesFullScreen) {
  const app::RgbaPicture picture = checkerboard();
  display.presentFrame(picture);
  display.presentFrame(picture);  // the second upload replaces the texels
  EXPECT_FALSE(display.isFullscreen());
  display.toggleFullscreen();
  EXPECT_TRUE(display.isFullscreen());
  display.setFullscreen(false);
  EXPECT_FALSE(display.isFullscreen());
  // A picture that is smaller than its stated size is not drawn (and does not read past its pixels).
  app::RgbaPicture broken{320, 224, std::vector<std::uint32_t>(10)};
  display.presentFrame(broken);
  std::vector<std::uint32_t> out;
  EXPECT_FALSE(display.drawOffscreen(broken, 960, 672, true, out));
}

}  // namespace

namespace {

// The renderer path on the same offscreen driver: the pre-scale target follows the window's size.
TEST(RendererDisplay, PreScalesToTheNextWholeFactorAndKeepsExactScalesSharp) {
  setenv("SDL_VIDEODRIVER", "offscreen", 0);
  ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
  app::Display display;
  ASSERT_TRUE(display.create("Grovanta", 960, 672, true, false));
  EXPECT_FALSE(display.shaderPath());
  ASSERT_NE(display.renderer, nullptr);
  app::RgbaPicture picture{320, 224, std::vector<std::uint32_t>(320 * 224, 0xFF336699)};

  display.presentFrame(picture);  // 960 x 672: an exact 3, drawn nearest-neighbour without a target
  EXPECT_EQ(display.streamWidth, 320);
  EXPECT_EQ(display.streamHeight, 224);
  EXPECT_EQ(display.targetTexture, nullptr);

  SDL_SetWindowSize(display.window, 1000, 700);
  int width = 0, height = 0;
  SDL_GetRendererOutputSize(display.renderer, &width, &height);
  ASSERT_EQ(width, 1000);
  ASSERT_EQ(height, 700);
  display.presentFrame(picture);  // 3.125: pre-scaled to 1280 x 896, then drawn linearly
  EXPECT_EQ(display.targetScale, 4);
  ASSERT_NE(display.targetTexture, nullptr);
  int tw = 0, th = 0;
  SDL_QueryTexture(display.targetTexture, nullptr, nullptr, &tw, &th);
  EXPECT_EQ(tw, 1280);
  EXPECT_EQ(th, 896);
  // A picture of another size makes a new streaming texture.
  app::RgbaPicture small{64, 32, std::vector<std::uint32_t>(64 * 32, 0xFFFFFFFF)};
  display.presentFrame(small);
  EXPECT_EQ(display.streamWidth, 64);
  // The CRT flag changes nothing on this path, and off-screen drawing needs the shaders.
  std::vector<std::uint32_t> out;
  EXPECT_FALSE(display.drawOffscreen(picture, 960, 672, true, out));
  display.destroy();
  EXPECT_EQ(display.window, nullptr);
  EXPECT_EQ(display.renderer, nullptr);
  SDL_Quit();
}

}  // namespace
