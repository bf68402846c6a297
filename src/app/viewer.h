#pragma once
// The area viewer (--viewer): one area of the world at a time, paged with Page Up and Page Down and
// scrolled with the arrow keys, for looking at the world's art.

#include <SDL.h>

#include <cstdint>
#include <optional>
#include <vector>

#include "app/data.h"
#include "app/display.h"
#include "render/video_chip.h"

namespace app {

// The next (+1) or previous (-1) area of the list, wrapping around; an area that is not in the list counts
// as the position just past its end. The area itself when the list is empty.
int viewerStepArea(const std::vector<int>& areas, int current, int direction);

// The scroll after one pass with Left and/or Right held: 2 pixels, or 8 with Left Shift, kept within
// 0 .. (width in 32-pixel columns - 10) x 32.
int viewerScroll(int scroll, bool left, bool right, bool shift, int widthColumns);

class AreaViewer {
 public:
  AreaViewer(Data& data, int firstArea, bool windowed, std::int32_t quitAfterFrames, bool hiddenWindow = false);
  ~AreaViewer();
  AreaViewer(const AreaViewer&) = delete;
  AreaViewer& operator=(const AreaViewer&) = delete;

  // SDL and the window; false (logged) when they cannot start.
  bool open();
  // One pass: events, keyboard, composing when something changed, presenting. False once the viewer ends.
  bool pass();
  void handleEvent(const SDL_Event& event);
  void close();

  int result() const { return result_; }
  int area() const { return area_; }
  int scroll() const { return scroll_; }
  const std::optional<render::Frame>& frame() const { return frame_; }

 private:
  int widthColumns() const;

  Data& data_;
  bool windowed_;
  std::int32_t quitAfterFrames_;
  bool hiddenWindow_;
  std::vector<int> areas_;
  int area_;
  int scroll_ = 0;
  bool changed_ = true;
  bool running_ = true;
  int result_ = 0;
  std::int32_t presented_ = 0;
  bool sdlStarted_ = false;
  Display display_;
  std::optional<render::Frame> frame_;
  RgbaPicture picture_;
};

}  // namespace app
