// Walkers: creatures that walk to and fro between two x limits, by steps or at an even speed.
#include "sim/cartridge.h"
#include "sim/rom_view.h"
#include "sim/things/actor.h"

namespace sim::things::actor {

namespace {

constexpr std::int64_t kTitleArea = 50;
constexpr std::int64_t kTitleFrameShift = 53;

// Type 6: sequences by word 36; word 52 the direction (negative: left).
constexpr std::int64_t kStepWalkerDrain = 0x8006;
constexpr std::size_t kDirection = kWord52;

// The generic patroller (types 7 and 14): sequence tables by word 36; word 38 picks type 7's frame base.
constexpr std::size_t kLook = 38;

// Type 10: word 36 the state (0 idle, 1 stopping, 2 stepping left, 3 stepping right), word 52 the idle
// count, word 54 the idle frames, word 56 the direction (0 left).
constexpr std::int64_t kCreeperDrain = 0x8004;
constexpr std::size_t kCreeperState = kLimit;
constexpr std::size_t kIdleCount = kWord52;
constexpr std::size_t kIdleFrames = kWord54;
constexpr std::size_t kCreeperRight = kWord56;
constexpr std::int64_t kCreeperStride = 4;

std::uint32_t sequenceFrom(const Actor& a, std::uint32_t table) {
  return a.c.rom.longAt(table + 4 * static_cast<std::uint32_t>(a.word(kLimit)));
}

// The generic patroller: x 16.16 moves by the speed at 12 the way word 52 says; at a limit it stops there
// and turns. Drawn mirrored while it goes right; returns the frame.
std::int64_t patrolEvenly(Actor& a, std::uint32_t table) {
  const std::int64_t frame = stepAnim(a, sequenceFrom(a, table));
  const std::int64_t speed = a.longAt(kSpeedX);
  a.setLong(kX, a.longAt(kX) + (a.word(kDirection) < 0 ? -speed : speed));
  const bool left = a.x()<a.word(kLeft), right = a.x()> a.word(kRight);
  if (left || right) {
    a.setLong(kX, a.word(left ? kLeft : kRight) << 16);
    a.setWord(kDirection, a.word(kDirection) < 0 ? 1 : -1);
  }
  return frame;
}

std::uint32_t facing(const Actor& a) {
  return a.word(kDirection) < 0 ? 0 : kMirrored;
}

void flipCreeper(Actor& a) {
  a.setWord(kCreeperRight, a.word(kCreeperRight) != 0 ? 0 : 1);
}

// An idle creeper counts; when it has waited long enough a step begins (a step left moves at once).
void creeperIdle(Actor& a) {
  const std::int64_t count = a.word(kIdleCount) + 1;
  a.setWord(kIdleCount, count);
  if (count <= a.word(kIdleFrames)) return;
  a.setWord(kIdleCount, 0);
  if (a.word(kCreeperRight) != 0) {
    a.setWord(kCreeperState, 3);
    return;
  }
  a.setWord(kCreeperState, 2);
  a.setWord(kX, a.x() - kCreeperStride);
  if (a.x() == a.word(kLeft)) flipCreeper(a);
}

// The step's last frame: a step right lands now; the next state comes from the ROM's list.
void creeperStepEnds(Actor& a) {
  Context& c = a.c;
  if (a.word(kCreeperState) == 3) {
    a.setWord(kX, a.x() + kCreeperStride);
    if (a.x() == a.word(kRight)) flipCreeper(a);
  }
  restartAnim(a);
  a.setWord(kAnim, 1);
  a.setWord(kCreeperState, c.rom.byteAt(cart::kCreeperNextStates + static_cast<std::uint32_t>(random(c, 127) & 7)));
}

}  // namespace

// Type 6 (sequences 0x00B266 by word 36): walks 2 pixels whenever its animation goes from frame 65 to 64
// or from 66 to 65, turning at its limits. It drains 6 points. On the title its frames lie 53 lower and
// it stands in front.
void stepWalker(Actor& a) {
  if (!a.onScreen()) return;
  Context& c = a.c;
  const std::int64_t before = animFrame(a);
  const std::int64_t frame = stepAnim(a, sequenceFrom(a, cart::kStepWalkerSequences));
  if ((before == 65 && frame == 64) || (before == 66 && frame == 65)) {
    const bool left = a.word(kDirection) < 0;
    a.setWord(kX, a.x() + (left ? -2 : 2));
    if (left && a.x() <= a.word(kLeft)) {
      a.setWord(kX, a.word(kLeft));
      a.setWord(kDirection, 1);
    } else if (!left && a.x() >= a.word(kRight)) {
      a.setWord(kX, a.word(kRight));
      a.setWord(kDirection, -1);
    }
  }
  const std::int64_t x = a.x(), y = a.y();
  if (touches(c, {x + 2, x + 18, y + 4, y + 14})) drain(c, kStepWalkerDrain);
  const bool title = c.state.area == kTitleArea;
  draw(a, 0, 0, frameBase(c, 6) + frame - (title ? kTitleFrameShift : 0), facing(a) | (title ? kInFront : 0));
}

// Type 7 (sequences 0x00B39A by word 36): the generic patroller; word 38 chooses its frame base (words 4 to
// 7 of frame_bases). Touching it costs half a point.
void patroller7(Actor& a) {
  if (!a.onScreen()) return;
  const std::int64_t frame = patrolEvenly(a, cart::kPatroller7Sequences);
  const std::int64_t x = a.x(), y = a.y();
  if (touches(a.c, {x + 2, x + 20, y, y + 14})) hurt(a.c, kHalf);
  const std::int64_t look = a.word(kLook);
  draw(a, 0, 0, frameBase(a.c, look >= 0 && look <= 2 ? 4 + static_cast<int>(look) : 7) + frame, facing(a));
}

// Type 14 (sequences 0x00BD28 by word 36): the generic patroller with a lower touch box.
void patroller14(Actor& a) {
  if (!a.onScreen()) return;
  const std::int64_t frame = patrolEvenly(a, cart::kPatroller14Sequences);
  const std::int64_t x = a.x(), y = a.y();
  if (touches(a.c, {x + 2, x + 20, y + 4, y + 12})) hurt(a.c, kHalf);
  draw(a, 0, 0, frameBase(a.c, 14) + frame, facing(a));
}

// Type 10 (sequences 0x00B898 by state, next states 0x00B90E): idles, then steps 4 pixels the way it faces,
// turning at its limits; after each step it idles or stops. It drains 4 points and stands in front.
void creeper(Actor& a) {
  if (!a.onScreen()) return;
  Context& c = a.c;
  if (a.word(kCreeperState) == 0) creeperIdle(a);
  const std::int64_t state = a.word(kCreeperState);
  const std::int64_t frame = stepAnim(a, c.rom.longAt(cart::kCreeperSequences + 4 * static_cast<std::uint32_t>(state)));
  if (state == 1 && frame == 1) {
    a.setWord(kCreeperState, 0);
    restartAnim(a);
  } else if ((state == 2 || state == 3) && frame == 10) {
    creeperStepEnds(a);
  }
  const std::int64_t x = a.x(), y = a.y();
  if (touches(c, {x + 6, x + 20, y, y + 8})) drain(c, kCreeperDrain);
  draw(a, 0, 0, frameBase(c, 9) + animFrame(a), kInFront);
}

}  // namespace sim::things::actor
