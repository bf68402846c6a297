// The swimmer: a creature that swims to and fro, speeding up, braking and turning round, and bobs as it
// goes.
#include "sim/cartridge.h"
#include "sim/rom_view.h"
#include "sim/things/actor.h"

namespace sim::things::actor {

namespace {

// Word 52 the state (0 right, 1 left, 2 and 3 turning to the left and to the right), word 54 set while it
// brakes; x 16.16 with its speed at 12, the acceleration at 20, the top speed at 28, the bob's speed limit
// at 32; the sequence in use at 36.
constexpr std::size_t kSwimState = kWord52;
constexpr std::size_t kBraking = kWord54;
constexpr std::size_t kTopSpeed = kLeft;
constexpr std::size_t kSequence = kLimit;
constexpr std::size_t kBobLimit = kLow;
constexpr std::int64_t kMirrorBit = 0x40;

void swim(Actor& a, std::int64_t state) {
  const bool left = state == 1;
  const std::int64_t accel = left ? -a.longAt(kFlyX) : a.longAt(kFlyX);
  const std::int64_t top = left ? -a.longAt(kTopSpeed) : a.longAt(kTopSpeed);
  std::int64_t speed = a.longAt(kSpeedX);
  if (a.word(kBraking) != 0) {
    if (speed == accel) a.setWord(kSwimState, left ? 3 : 2);
    speed -= accel;
  } else {
    speed += accel;
    if (left ? speed < top : speed > top) {
      speed = top;
      a.setWord(kBraking, 1);
    }
  }
  a.setLong(kSpeedX, speed);
}

}  // namespace

// Type 9 (sequences 0x00B740 by state): swims right or left up to its top speed, brakes to a stop, turns
// (the turn ends on frame 5 to the left, on frame 3 to the right) and swims back. Seen from 64 pixels
// left of the screen on; frames with bit 6 are drawn mirrored. Touching it costs half a point.
void swimmer(Actor& a) {
  if (!a.onScreen(-64)) return;
  Context& c = a.c;
  const std::int64_t state = a.word(kSwimState);
  if (state == 0 || state == 1) swim(a, state);
  a.setLong(kX, a.longAt(kX) + a.longAt(kSpeedX));
  bob(a, kBobLimit);
  const std::int64_t now = a.word(kSwimState);
  const std::uint32_t sequence = c.rom.longAt(cart::kSwimSequences + 4 * static_cast<std::uint32_t>(now));
  if (sequence != static_cast<std::uint32_t>(a.longAt(kSequence))) {
    a.setLong(kSequence, sequence);
    restartAnim(a);
  }
  const std::int64_t frame = stepAnim(a, sequence);
  if ((now == 2 && frame == 5) || (now == 3 && frame == 3)) {
    a.setWord(kSwimState, now == 2 ? 1 : 0);
    a.setWord(kBraking, 0);
  }
  const std::int64_t x = a.x(), y = a.y();
  if (touches(c, {x + 14, x + 46, y + 3, y + 11})) hurt(c, kHalf);
  draw(a, 0, 0, frameBase(c, 8) + (frame & 0x3F), (frame & kMirrorBit) != 0 ? kMirrored : 0);
}

}  // namespace sim::things::actor
