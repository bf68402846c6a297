#pragma once
// The play loop's clock: real time is added to an accumulator and the game owes one tick per PAL V-blank
// (1 / 49.7 s) it holds, whatever the display's refresh rate. After a stall at most a quarter of a second is
// caught up; the rest is dropped.

namespace app {

inline constexpr double kTickPeriod = 0.02012072434607646;  // 1 / 49.7 s
inline constexpr double kCatchUpLimit = 0.25;               // seconds

class TickClock {
 public:
  // Adds real seconds, scaled by the speed factor, never holding more than the catch-up limit.
  void addElapsed(double seconds, double factor) {
    accumulator_ += seconds * factor;
    if (accumulator_ > kCatchUpLimit) accumulator_ = kCatchUpLimit;
  }
  // Adds exactly `factor` ticks of game time (the demo under --quit-after-frames), without the cap.
  void addTicks(double factor) { accumulator_ += factor * kTickPeriod; }
  // Whether a tick is owed now.
  bool owes() const { return accumulator_ >= kTickPeriod; }
  // Pays one tick; a forced tick pays what is there and leaves the accumulator at 0.
  void pay() {
    accumulator_ -= kTickPeriod;
    if (accumulator_ < 0.0) accumulator_ = 0.0;
  }
  // One pass of the tick loop: true (and paid) when a tick is owed or a forced one has not run yet.
  bool takeTick(bool& force) {
    if (!owes() && !force) return false;
    pay();
    force = false;
    return true;
  }
  double accumulator() const { return accumulator_; }
  void reset() { accumulator_ = 0.0; }

 private:
  double accumulator_ = 0.0;
};

// The fade in progress as the presented picture shows it: the old picture darkening over the first half,
// the new one brightening over the second. Level 16 is full brightness, 0 black.
struct FadeView {
  bool active = false;      // false: show the current picture as it is
  bool oldPicture = false;  // true: the picture from before the fade, else the current one
  int level = 16;
};

inline FadeView fadeView(int fadeTotal, int fadeLeft) {
  if (fadeLeft < 1) return {};
  const int elapsed = fadeTotal - fadeLeft;
  if (elapsed < fadeTotal / 2) {
    const int level = 2 * (7 - elapsed);
    return {true, true, level < 0 ? 0 : level};
  }
  const int level = 2 * (elapsed - fadeTotal / 2) + 2;
  return {true, false, level > 16 ? 16 : level};
}

}  // namespace app
