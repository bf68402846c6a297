#include "app/display.h"

#include <lodepng.h>

#include <cstring>
#include <string>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#define GROVANTA_LEAK_CHECKED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define GROVANTA_LEAK_CHECKED 1
#endif
#endif
#ifdef GROVANTA_LEAK_CHECKED
#include <dlfcn.h>
#include <link.h>
#endif

#include "app/display_scaling.h"
#include "app/display_shaders.h"
#include "base/asset_store.h"
#include "base/log.h"

namespace app {

namespace {

// Under the leak checker only. The graphics driver keeps some allocations to the end of the process, and
// SDL unloads it when it quits, before the check runs: the driver's frames then name no module, so the
// suppressions by module (tests/sanitizers/lsan.supp) cannot match them. Every module loaded once the
// window can draw stays loaded to the end; our own allocations are checked as before.
void keepDriverLoaded() {
#ifdef GROVANTA_LEAK_CHECKED
  std::vector<std::string> names;
  dl_iterate_phdr(
      [](dl_phdr_info* info, std::size_t, void* out) {
        if (info->dlpi_name != nullptr && info->dlpi_name[0] != '\0')
          static_cast<std::vector<std::string>*>(out)->emplace_back(info->dlpi_name);
        return 0;
      },
      &names);
  // Outside the walk: dlopen may take the loader's lock that the walk holds.
  for (const std::string& name : names) dlopen(name.c_str(), RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
#endif
}

}  // namespace

RgbaPicture loadWindowIcon(const std::filesystem::path& dataDirectory) {
  RgbaPicture icon;
  const std::optional<Bytes> bytes = readFile(dataDirectory / "assets" / "icon" / "icon_64.png");
  if (!bytes) return icon;
  std::vector<unsigned char> rgba;
  unsigned width = 0, height = 0;
  if (lodepng::decode(rgba, width, height, *bytes, LCT_RGBA, 8) != 0) return icon;
  icon.width = static_cast<std::int32_t>(width);
  icon.height = static_cast<std::int32_t>(height);
  icon.pixels.resize(static_cast<std::size_t>(width) * height);
  for (std::size_t i = 0; i < icon.pixels.size(); ++i) {
    icon.pixels[i] = static_cast<std::uint32_t>(rgba[4 * i + 3]) << 24 | static_cast<std::uint32_t>(rgba[4 * i]) << 16 |
                     static_cast<std::uint32_t>(rgba[4 * i + 1]) << 8 | rgba[4 * i + 2];
  }
  return icon;
}

Display::Display() = default;

Display::~Display() {
  destroy();
}

bool Display::create(const std::string& title, int width, int height, bool hidden, bool openGl) {
  if (!openGl) return createFallback(title, width, height, hidden);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 2);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_FLAGS, SDL_GL_CONTEXT_FORWARD_COMPATIBLE_FLAG);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);

  const Uint32 hiddenFlag = hidden ? SDL_WINDOW_HIDDEN : 0;
  window = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height,
                            SDL_WINDOW_OPENGL | SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI | hiddenFlag);
  // A window that cannot have OpenGL at all (no GL library) takes the same way out as a missing context.
  if (window != nullptr) glContext = SDL_GL_CreateContext(window);
  // Before a failed context's window is closed, which would unload the driver it loaded.
  keepDriverLoaded();
  if (glContext == nullptr) {
    logMessage(kInfo, "no OpenGL 3.2 (%s): plain scaling, no CRT", SDL_GetError());
    return createFallback(title, width, height, hidden);
  }
  SDL_GL_MakeCurrent(window, glContext);
  SDL_GL_SetSwapInterval(1);
  shaders = CrtShaders::build();
  if (!shaders) {
    SDL_GL_DeleteContext(glContext);
    glContext = nullptr;
    logMessage(kInfo, "OpenGL shaders unavailable: plain scaling, no CRT");
    return createFallback(title, width, height, hidden);
  }
  return true;
}

bool Display::createFallback(const std::string& title, int width, int height, bool hidden) {
  if (window != nullptr) SDL_DestroyWindow(window);
  // SDL's own renderers make their contexts as they need them, not as the core profile asked above.
  SDL_GL_ResetAttributes();
  window = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height,
                            SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI | (hidden ? SDL_WINDOW_HIDDEN : 0));
  if (window == nullptr) {
    logMessage(kError, "SDL_CreateWindow: %s", SDL_GetError());
    return false;
  }
  renderer =
      SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC | SDL_RENDERER_TARGETTEXTURE);
  if (renderer == nullptr)
    renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE | SDL_RENDERER_TARGETTEXTURE);
  if (renderer == nullptr) {
    logMessage(kError, "SDL_CreateRenderer: %s", SDL_GetError());
    return false;
  }
  keepDriverLoaded();
  return true;
}

void Display::setIcon(const RgbaPicture& picture) {
  if (window == nullptr || picture.pixels.empty() || picture.width <= 0 || picture.height <= 0) return;
  SDL_Surface* surface =
      SDL_CreateRGBSurfaceWithFormatFrom(const_cast<std::uint32_t*>(picture.pixels.data()), picture.width,
                                         picture.height, 32, picture.width * 4, SDL_PIXELFORMAT_ARGB8888);
  if (surface == nullptr) return;
  SDL_SetWindowIcon(window, surface);
  SDL_FreeSurface(surface);
}

bool Display::isFullscreen() const {
  if (window == nullptr) return false;
  return (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN_DESKTOP) == SDL_WINDOW_FULLSCREEN_DESKTOP;
}

void Display::setFullscreen(bool on) {
  if (window == nullptr || isFullscreen() == on) return;
  SDL_SetWindowFullscreen(window, on ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
}

void Display::toggleFullscreen() {
  setFullscreen(!isFullscreen());
}

void Display::presentFrame(const RgbaPicture& picture) {
  if (window == nullptr) return;
  if (picture.pixels.size() < static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height))
    return;
  if (shaders)
    presentShaders(picture);
  else if (renderer != nullptr)
    presentRenderer(picture);
}

void Display::presentShaders(const RgbaPicture& picture) {
  int outputWidth = 0, outputHeight = 0;
  SDL_GL_GetDrawableSize(window, &outputWidth, &outputHeight);
  const std::optional<Placement> place = placePicture(outputWidth, outputHeight, picture.width, picture.height);
  if (!place) return;  // a minimised window: nothing to draw
  // OpenGL counts rows from the bottom; the bars above and below are equal but for an odd pixel.
  const GlRect target{place->x, outputHeight - place->y - place->height, place->width, place->height};
  shaders->draw(picture.pixels, picture.width, picture.height, outputWidth, outputHeight, target, crt);
  SDL_GL_SwapWindow(window);
}

void Display::presentRenderer(const RgbaPicture& picture) {
  int outputWidth = 0, outputHeight = 0;
  if (SDL_GetRendererOutputSize(renderer, &outputWidth, &outputHeight) != 0) return;
  const std::optional<Placement> place = placePicture(outputWidth, outputHeight, picture.width, picture.height);
  if (!place) return;
  const bool exact = isExactScale(place->scale);
  const int factor = exact ? 1 : preScaleFactor(place->scale);

  if (streamTexture == nullptr || streamWidth != picture.width || streamHeight != picture.height) {
    if (streamTexture != nullptr) SDL_DestroyTexture(streamTexture);
    streamTexture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, picture.width,
                                      picture.height);
    streamWidth = streamTexture ? picture.width : 0;
    streamHeight = streamTexture ? picture.height : 0;
    if (streamTexture == nullptr) {
      logMessage(kError, "SDL_CreateTexture: %s", SDL_GetError());
      return;
    }
  }

  SDL_RendererInfo info{};
  const bool targets = SDL_GetRendererInfo(renderer, &info) == 0 && (info.flags & SDL_RENDERER_TARGETTEXTURE) != 0;
  const bool preScale = factor > 1 && targets && !exact;
  if (preScale && (targetTexture == nullptr || targetScale != factor)) {
    if (targetTexture != nullptr) SDL_DestroyTexture(targetTexture);
    targetTexture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_TARGET,
                                      picture.width * factor, picture.height * factor);
    targetScale = targetTexture ? factor : 0;
    if (targetTexture == nullptr) {
      logMessage(kError, "SDL_CreateTexture (target): %s", SDL_GetError());
      return;
    }
    SDL_SetTextureScaleMode(targetTexture, SDL_ScaleModeLinear);
  }

  void* texels = nullptr;
  int pitch = 0;
  if (SDL_LockTexture(streamTexture, nullptr, &texels, &pitch) == 0) {
    const std::size_t rowBytes = static_cast<std::size_t>(picture.width) * 4;
    for (int y = 0; y < picture.height; ++y) {
      std::memcpy(static_cast<std::uint8_t*>(texels) + static_cast<std::size_t>(y) * static_cast<std::size_t>(pitch),
                  picture.pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(picture.width),
                  rowBytes);
    }
    SDL_UnlockTexture(streamTexture);
  }

  SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
  SDL_RenderClear(renderer);
  const SDL_Rect destination{place->x, place->y, place->width, place->height};
  if (exact) {
    SDL_SetTextureScaleMode(streamTexture, SDL_ScaleModeNearest);
    SDL_RenderCopy(renderer, streamTexture, nullptr, &destination);
  } else if (preScale) {
    // Nearest-neighbour up to a whole multiple, then linear down to the window: sharp pixels whose edges
    // blend over about one window pixel.
    SDL_SetTextureScaleMode(streamTexture, SDL_ScaleModeNearest);
    SDL_SetRenderTarget(renderer, targetTexture);
    SDL_RenderCopy(renderer, streamTexture, nullptr, nullptr);
    SDL_SetRenderTarget(renderer, nullptr);
    SDL_RenderCopy(renderer, targetTexture, nullptr, &destination);
  } else {
    SDL_SetTextureScaleMode(streamTexture, SDL_ScaleModeLinear);
    SDL_RenderCopy(renderer, streamTexture, nullptr, &destination);
  }
  SDL_RenderPresent(renderer);
}

bool Display::drawOffscreen(const RgbaPicture& picture, int width, int height, bool useCrt,
                            std::vector<std::uint32_t>& out) {
  if (!shaders) return false;
  if (picture.pixels.size() < static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height))
    return false;
  return shaders->drawOffscreen(picture.pixels, picture.width, picture.height, width, height, useCrt, out);
}

void Display::destroy() {
  shaders.reset();
  if (glContext != nullptr) SDL_GL_DeleteContext(glContext);
  glContext = nullptr;
  if (streamTexture != nullptr) SDL_DestroyTexture(streamTexture);
  streamTexture = nullptr;
  if (targetTexture != nullptr) SDL_DestroyTexture(targetTexture);
  targetTexture = nullptr;
  streamWidth = streamHeight = targetScale = 0;
  if (renderer != nullptr) SDL_DestroyRenderer(renderer);
  renderer = nullptr;
  if (window != nullptr) SDL_DestroyWindow(window);
  window = nullptr;
}

}  // namespace app
