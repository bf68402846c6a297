// Meadow of First Light (area 0): the bridge over the stream once the plank is laid, the stream's deadly
// bed, and the owl in the tree that watches the hero (and flies off once the spirit has had its gift).
#include "sim/areas/set_pieces.h"
#include "sim/core/animation.h"

namespace sim::areas {

namespace {

constexpr std::int64_t kOwlX = 420, kOwlY = 96;
constexpr std::int64_t kAhead = 1, kRight = 5, kLeft = 6, kBlink = 7, kBridgeFrame = 10;

void bridge(Context& c) {
  GameState& s = c.state;
  meadowBridgeFloor(c);
  if (s.flag_82b1 != 0) scenery(c, 1344, 144, kBridgeFrame, 0, 0);
  // Not built yet: the stream's deadly bed, a death inside (1342, 168, 96, 24) with the restart point
  // (1275, 144, area 0). Our world still asks the hero to cross the stream before he can have the plank (the
  // fairy dust and the meadow spirit lie west of it, the plank beyond the spell the dust breaks), so the bed
  // waits until the world's order lets the bridge come first.
}

void watcher(Context& c) {
  static const std::vector<std::uint16_t> kTakeOff = {9, 0, 2, 4, 3};
  static const std::vector<std::uint16_t> kButterfly = {8, 0, 8, 9};
  GameState& s = c.state;
  if (s.flag_811a != 0) {
    scenery(c, kOwlX, kOwlY, stepProgramSequence(c, s.a0_anim1, 0, kTakeOff), 0, 0);
    scenery(c, 380, 130, stepProgramSequence(c, s.a0_anim2, 0, kButterfly), 0, 0);
    return;
  }
  if (s.camera_x < 96 || s.camera_x > 455) return;
  const std::int64_t X = heroX(s);
  if (X >= 316 && X < 391) {
    scenery(c, kOwlX, kOwlY, kLeft, 0, 0);
  } else if (X >= 456 && X < 531) {
    scenery(c, kOwlX, kOwlY, kRight, 0, 0);
  } else {
    scenery(c, kOwlX, kOwlY, kAhead, 0, 0);
    if (s.a0_blink > 0) {
      s.a0_blink -= 1;
      scenery(c, kOwlX, kOwlY, kBlink, 0, 0);
    }
  }
  s.area_timer = static_cast<std::int16_t>(s.area_timer - 1);
  if (s.area_timer < 0) {
    s.area_timer = (random(c, 512) & 127) + 60;
    s.a0_blink = 8;
  }
}

}  // namespace

void meadowBridgeFloor(Context& c) {
  if (c.state.flag_82b1 != 0) setColumns(c, 506, 12, 0x04);
}

void meadowBridge(Context& c) {
  bridge(c);
  watcher(c);
}

}  // namespace sim::areas
