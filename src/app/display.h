#pragma once
// The window and the presentation of each picture: scaled to the window with the aspect kept and black
// bars around it, through OpenGL 3.2 with a sharp-pixel scaler or a CRT filter, or, without OpenGL, through
// SDL's renderer with a sharp-bilinear scheme built from an integer pre-scale.

#include <SDL.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace app {

class CrtShaders;

// A picture to present: rows top to bottom of 0xAARRGGBB pixels.
struct RgbaPicture {
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::vector<std::uint32_t> pixels;
};

// The window icon "assets/icon/icon_64.png" of the data directory; an empty picture when it does not load
// (the window then keeps the system's icon).
RgbaPicture loadWindowIcon(const std::filesystem::path& dataDirectory);

class Display {
 public:
  Display();
  ~Display();
  Display(const Display&) = delete;
  Display& operator=(const Display&) = delete;

  // Opens the window; false (logged) when neither path can be set up. Without `openGl` it goes straight
  // to the renderer path (for checking that path on machines that have OpenGL).
  bool create(const std::string& title, int width, int height, bool hidden, bool openGl = true);
  void setIcon(const RgbaPicture& picture);
  void setFullscreen(bool on);
  void toggleFullscreen();
  bool isFullscreen() const;

  void presentFrame(const RgbaPicture& picture);
  // Shader path only: the picture drawn over a width x height off-screen target, read back top row first.
  bool drawOffscreen(const RgbaPicture& picture, int width, int height, bool crt, std::vector<std::uint32_t>& out);
  void destroy();

  bool shaderPath() const { return shaders != nullptr; }

  SDL_Window* window = nullptr;
  SDL_GLContext glContext = nullptr;
  std::unique_ptr<CrtShaders> shaders;
  bool crt = false;  // use the CRT program
  SDL_Renderer* renderer = nullptr;
  SDL_Texture* streamTexture = nullptr;
  SDL_Texture* targetTexture = nullptr;
  std::int32_t streamWidth = 0;
  std::int32_t streamHeight = 0;
  std::int32_t targetScale = 0;

 private:
  bool createFallback(const std::string& title, int width, int height, bool hidden);
  void presentShaders(const RgbaPicture& picture);
  void presentRenderer(const RgbaPicture& picture);
};

}  // namespace app
