// How far the hero gets: the heights and lengths of his jumps, the spring of the loft and a swimming
// stroke, measured by playing them on a flat floor. docs/world.md lists these figures, and the
// world's steps, gaps and ledges are laid out by them; a change of the physics that moves one of
// them fails here first.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "sim/hero/hero_fixture.h"

namespace {

using namespace hero_test;

class HeroReach : public HeroTest {
 protected:
  struct Reach {
    std::int64_t height = 0;    // from the floor to the highest point of his feet
    std::int64_t distance = 0;  // from the take-off to where he stands again
  };

  // Runs `runFrames` frames towards `direction` (none: standing), presses C once and plays the jump
  // out, the direction held throughout.
  // With the loft's spring the hero starts by its place (area 8's handler sets it while he is inside
  // (166, 130, 20, 10)), on a floor at y 160.
  Reach jump(std::uint8_t direction, int runFrames, int areaId = 21, std::int64_t spring = 0) {
    if (spring != 0) {
      start(200, 136, areaId);
      run(0, 4);
      EXPECT_EQ(s().settled, 1);
    } else {
      startStanding(direction == kLeft ? 280 : 8, areaId);
    }
    s().spring = spring;
    run(direction, runFrames);
    const std::int64_t takeOff = ix(s().x), takeOffY = ix(s().y);
    run(static_cast<std::uint8_t>(direction | kC));
    std::int64_t top = ix(s().y);
    for (int frame = 0; frame < 200 && (s().jump != 0 || s().settled == 0); ++frame) {
      run(direction);
      top = std::min(top, ix(s().y));
    }
    EXPECT_EQ(s().jump, 0) << "the jump did not end";
    return {takeOffY - top, std::abs(ix(s().x) - takeOff)};
  }
};

TEST_F(HeroReach, JumpsReachTheHeightsAndLengthsTheWorldIsLaidOutBy) {
  struct Case {
    const char* what;
    std::uint8_t direction;
    int runFrames, area;
    std::int64_t spring, height, distance;
  };
  const Case cases[] = {
      {"standing, straight up", 0, 0, 21, 0, 32, 0},
      {"standing, to the right", kRight, 0, 21, 0, 32, 63},
      {"running, to the right", kRight, 12, 21, 0, 32, 68},
      {"the loft's spring, to the left", kLeft, 12, 8, 255, 41, 76},
  };
  fill(8, 0, 160, 320, 192);
  for (const Case& c : cases) {
    const Reach r = jump(c.direction, c.runFrames, c.area, c.spring);
    std::printf("%-32s height %3lld  length %3lld\n", c.what, static_cast<long long>(r.height),
                static_cast<long long>(r.distance));
    EXPECT_EQ(r.height, c.height) << c.what;
    EXPECT_EQ(r.distance, c.distance) << c.what;
  }
}

// A jump to the right from the floor at a step that starts 40 pixels ahead of his front. His feet top
// out 32 pixels up, but the step meets his body only 10 pixels under his head, so he comes down
// with his feet in a 40-pixel step and climbs out on top; a 48-pixel step stops him.
TEST_F(HeroReach, TheHighestStepAJumpGetsOntoIs40Pixels) {
  struct Case {
    int runFrames;
    std::int64_t height;
    bool landsOnIt;
  };
  const Case cases[] = {{0, 32, true}, {0, 40, true}, {0, 48, false}, {12, 40, true}, {12, 48, false}};
  for (const Case& c : cases) {
    area(21).collision.assign(120, 0);
    fill(21, 0, kFloorTop, 320, 192);
    const std::int64_t shelfX = 8 + 18 + 40 + 24 * (c.runFrames > 0);
    fill(21, shelfX, kFloorTop - c.height, 320, kFloorTop);
    startStanding(8);
    run(kRight, c.runFrames);
    run(kRight | kC);
    for (int frame = 0; frame < 120 && (s().jump != 0 || s().settled == 0); ++frame) run(kRight);
    run(kRight, 60);  // walking on, he stays up there or stands against the step
    const bool up = ix(s().y) + 24 == kFloorTop - c.height;
    EXPECT_EQ(up, c.landsOnIt) << "step " << c.height << ", run " << c.runFrames << ": he stands at y " << ix(s().y)
                               << ", x " << ix(s().x);
  }
}

TEST_F(HeroReach, AStrokeLiftsASwimmerFromTheBottom) {
  startStanding(160);
  swimming();
  s().stroke_ready = 1;
  run(kC);
  std::int64_t top = ix(s().y);
  for (int frame = 0; frame < 60; ++frame) {
    run(0);
    top = std::min(top, ix(s().y));
  }
  std::printf("%-32s height %3lld\n", "a stroke from the bottom", static_cast<long long>(kRestY - top));
  EXPECT_EQ(kRestY - top, 19);
}

}  // namespace
