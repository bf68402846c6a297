// The tick scheduler's arithmetic and the fade's brightness levels.
#include <gtest/gtest.h>

#include <vector>

#include "app/play_timing.h"

namespace {

using app::fadeView;
using app::kTickPeriod;
using app::TickClock;

// Runs one presented frame's ticks after `seconds` of real time, as the play loop does.
int frameTicks(TickClock& clock, double seconds, bool force = false) {
  clock.addElapsed(seconds, 1.0);
  int ticks = 0;
  while (clock.takeTick(force)) ++ticks;
  return ticks;
}

TEST(TickClock, SixtyHertzDisplayMakesFortyNinePointSevenStepsASecond) {
  TickClock clock;
  int ticks = 0, idleFrames = 0, doubleFrames = 0;
  for (int frame = 0; frame < 600; ++frame) {  // ten seconds
    const int n = frameTicks(clock, 1.0 / 60.0);
    ticks += n;
    idleFrames += n == 0;
    doubleFrames += n > 1;
  }
  EXPECT_GE(ticks, 496);
  EXPECT_LE(ticks, 497);
  EXPECT_EQ(doubleFrames, 0);
  // About every sixth presented frame runs no step.
  EXPECT_EQ(idleFrames, 600 - ticks);
}

TEST(TickClock, AStallCatchesUpAQuarterSecondAtMost) {
  TickClock clock;
  EXPECT_EQ(frameTicks(clock, 2.0), 12);  // not 99
  // The rest was dropped: the next ordinary frame is back to normal.
  EXPECT_LE(frameTicks(clock, 1.0 / 50.0), 1);

  TickClock small;
  EXPECT_EQ(frameTicks(small, 0.1), 4);  // below the cap every owed tick runs
}

TEST(TickClock, AForcedTickRunsOnceAndEmptiesTheAccumulator) {
  TickClock clock;
  // --quit-after-frames: at least one V-blank per frame even when no time passed.
  EXPECT_EQ(frameTicks(clock, 0.0, true), 1);
  EXPECT_DOUBLE_EQ(clock.accumulator(), 0.0);
  // On a display of 50 Hz or more exactly one: the forced tick pays what the frame added.
  for (double hz : {50.0, 60.0, 144.0}) {
    TickClock c;
    for (int frame = 0; frame < 100; ++frame) EXPECT_EQ(frameTicks(c, 1.0 / hz, true), 1) << hz;
  }
  // A slower display still runs the ticks it owes.
  TickClock slow;
  EXPECT_EQ(frameTicks(slow, 0.05, true), 2);
}

TEST(FadeView, TwentyVBlanksDarkenTheOldPictureThenBrightenTheNewOne) {
  std::vector<int> oldLevels, newLevels;
  // The step sets fadeTotal = fadeLeft = 20; the frame after each V-blank shows the view for what is left.
  for (int left = 20; left >= 1; --left) {
    const app::FadeView view = fadeView(20, left);
    ASSERT_TRUE(view.active);
    (view.oldPicture ? oldLevels : newLevels).push_back(view.level);
  }
  EXPECT_EQ(oldLevels, (std::vector<int>{14, 12, 10, 8, 6, 4, 2, 0, 0, 0}));
  EXPECT_EQ(newLevels, (std::vector<int>{2, 4, 6, 8, 10, 12, 14, 16, 16, 16}));
  EXPECT_FALSE(fadeView(20, 0).active);
  EXPECT_FALSE(fadeView(0, 0).active);

  // An odd length puts the extra V-blank in the second half; a one-V-blank fade shows the new picture dimmed.
  EXPECT_TRUE(fadeView(5, 5).oldPicture);
  EXPECT_TRUE(fadeView(5, 4).oldPicture);
  EXPECT_FALSE(fadeView(5, 3).oldPicture);
  EXPECT_EQ(fadeView(5, 3).level, 2);
  EXPECT_FALSE(fadeView(1, 1).oldPicture);
  EXPECT_EQ(fadeView(1, 1).level, 2);
}

}  // namespace
