#include "app/viewer.h"

#include <algorithm>
#include <memory>

#include "app/modes.h"
#include "base/log.h"
#include "render/area_render.h"
#include "render/render_assets.h"
#include "world/world.h"

namespace app {

int viewerStepArea(const std::vector<int>& areas, int current, int direction) {
  if (areas.empty()) return current;
  const int size = static_cast<int>(areas.size());
  const auto found = std::find(areas.begin(), areas.end(), current);
  const int position = static_cast<int>(found - areas.begin());  // size when it is not in the list
  int next = position + (direction >= 0 ? 1 : -1);
  if (next >= size) next = 0;
  if (next < 0) next = size - 1;
  return areas[static_cast<std::size_t>(next)];
}

int viewerScroll(int scroll, bool left, bool right, bool shift, int widthColumns) {
  const int step = shift ? 8 : 2;
  const int limit = std::max(0, (widthColumns - 10) * 32);
  if (left) scroll = std::max(0, scroll - step);
  if (right) scroll = std::min(limit, scroll + step);
  return scroll;
}

AreaViewer::AreaViewer(Data& data, int firstArea, bool windowed, std::int32_t quitAfterFrames, bool hiddenWindow)
    : data_(data),
      windowed_(windowed),
      quitAfterFrames_(quitAfterFrames),
      hiddenWindow_(hiddenWindow),
      area_(firstArea) {
  if (data_.world)
    for (const world::Area& area : data_.world->areas) areas_.push_back(area.id);
}

AreaViewer::~AreaViewer() {
  close();
}

bool AreaViewer::open() {
  if (!data_.world) {
    logMessage(kError, "--viewer: no world is loaded");
    return false;
  }
  if (!data_.renderAssets)
    data_.renderAssets = std::make_shared<render::RenderAssets>(data_.dataDirectory, *data_.world, data_.rom.get());
  if (SDL_Init(SDL_INIT_VIDEO) != 0) {
    logMessage(kError, "SDL_Init: %s", SDL_GetError());
    return false;
  }
  sdlStarted_ = true;
  if (!display_.create("Grovanta", 960, 672, hiddenWindow_)) return false;
  display_.setIcon(loadWindowIcon(data_.dataDirectory));
  if (!windowed_) display_.setFullscreen(true);
  display_.crt = false;  // the viewer shows the art as it is
  return true;
}

int AreaViewer::widthColumns() const {
  const world::Area* area = data_.world ? world::findArea(*data_.world, area_) : nullptr;
  return area ? area->width : 0;
}

void AreaViewer::handleEvent(const SDL_Event& event) {
  if (event.type == SDL_QUIT) {
    running_ = false;
    return;
  }
  if (event.type != SDL_KEYDOWN) return;
  const SDL_Scancode key = event.key.keysym.scancode;
  if (key == SDL_SCANCODE_ESCAPE) {
    running_ = false;
  } else if (key == SDL_SCANCODE_F11 || (key == SDL_SCANCODE_RETURN && (event.key.keysym.mod & KMOD_ALT) != 0)) {
    display_.toggleFullscreen();
  } else if (key == SDL_SCANCODE_PAGEUP || key == SDL_SCANCODE_PAGEDOWN) {
    area_ = viewerStepArea(areas_, area_, key == SDL_SCANCODE_PAGEUP ? 1 : -1);
    scroll_ = 0;
    changed_ = true;
  }
}

bool AreaViewer::pass() {
  if (!running_) return false;
  SDL_Event event;
  while (SDL_PollEvent(&event)) handleEvent(event);
  if (!running_) return false;

  int count = 0;
  const Uint8* keys = SDL_GetKeyboardState(&count);
  auto held = [&](SDL_Scancode code) { return keys != nullptr && code < count && keys[code] != 0; };
  const int scrolled = viewerScroll(scroll_, held(SDL_SCANCODE_LEFT), held(SDL_SCANCODE_RIGHT),
                                    held(SDL_SCANCODE_LSHIFT), widthColumns());
  if (scrolled != scroll_) {
    scroll_ = scrolled;
    changed_ = true;
  }

  if (changed_) {
    changed_ = false;
    frame_ = render::renderArea(*data_.renderAssets, area_, scroll_, {});
    if (!frame_) {
      result_ = 1;
      running_ = false;
      return false;
    }
    picture_ = RgbaPicture{frame_->width, frame_->height, render::toRgb(*frame_)};
  }
  display_.presentFrame(picture_);

  if (quitAfterFrames_ > 0 && ++presented_ >= quitAfterFrames_) {
    logMessage(kInfo, "presented %d frames", presented_);
    running_ = false;
    return false;
  }
  return true;
}

void AreaViewer::close() {
  display_.destroy();
  if (sdlStarted_) SDL_Quit();
  sdlStarted_ = false;
}

int runViewer(Data& data, const Options& options) {
  AreaViewer viewer(data, options.area, options.windowed, options.quitAfterFrames);
  if (!viewer.open()) return 1;
  while (viewer.pass()) {
  }
  viewer.close();
  return viewer.result();
}

}  // namespace app
