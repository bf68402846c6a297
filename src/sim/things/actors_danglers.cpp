// Danglers: creatures that drop from a fixed point on a thread and climb back up it.
#include "sim/cartridge.h"
#include "sim/things/actor.h"

namespace sim::things::actor {

namespace {

constexpr std::int64_t kThreadFrame = 71;
constexpr std::int64_t kThreadDrain = 0x8014;  // 20 points
constexpr std::int64_t kDropStart = 0x2000;

// Type 0's state words.
constexpr std::size_t kWait = kWord46;
constexpr std::size_t kHold = kWord48;
constexpr std::size_t kDirection = kWord52;
constexpr std::size_t kOffset = kWord54;

// Type 3's state words; its thread length L is 16.16 at 54..57.
constexpr std::size_t kClimbing = kWord46;
constexpr std::size_t kTopPause = kWord48;
constexpr std::size_t kBottomPause = kWord50;
constexpr std::size_t kPause = kWord52;
constexpr std::size_t kLength = kWord54;

// A thread of n + 1 pieces of 8 pixels from y + top down, at x + 8.
void drawThread(Actor& a, std::int64_t length, std::int64_t top, std::int64_t frame) {
  const std::int64_t pieces = (length >> 3) + 1;
  for (std::int64_t i = 0; i < pieces; ++i) draw(a, 8, top + (length & 7) + 8 * i, frame);
}

void moveDangler(Actor& a) {
  Context& c = a.c;
  const std::int64_t wait = a.word(kWait);
  a.setWord(kWait, wait - 1);
  if (wait <= 0) {
    a.setWord(kWait, (random(c, 64) & 31) + a.word(kLeft));
    a.setWord(kDirection, 1);
  }
  const std::int64_t direction = a.word(kDirection);
  std::int64_t offset = a.word(kOffset);
  if (direction > 0) {
    if (offset < a.word(kHigh)) a.setWord(kOffset, ++offset);
    if (offset >= a.word(kHigh)) {
      a.setWord(kDirection, 0);
      a.setWord(kHold, (random(c, 64) & 31) + a.word(kRight));
    }
  } else if (direction == 0) {
    const std::int64_t hold = a.word(kHold);
    a.setWord(kHold, hold - 1);
    if (hold < 2) a.setWord(kDirection, -1);
  } else {
    a.setWord(kOffset, offset += direction);
    if (offset <= a.word(kLow)) a.setWord(kDirection, 0);
  }
}

std::int64_t threadLength(const Actor& a) {
  return a.word(kLength);
}
void setThreadLength(Actor& a, std::int64_t pixels) {
  a.setLong(kLength, (pixels << 16) | (a.longAt(kLength) & 0xFFFF));
}

void turnThreadDangler(Actor& a) {
  if (a.word(kClimbing) == 0) {
    a.setWord(kClimbing, 1);
    return;
  }
  a.setWord(kClimbing, 0);
  a.setLong(kAccelY, kDropStart);
  a.setLong(kSpeedY, kDropStart);
  a.setLong(kLength, a.longAt(kLength) & ~0xFFFFLL);
}

void moveThreadDangler(Actor& a) {
  Context& c = a.c;
  const std::int64_t pause = a.word(kPause);
  if (pause != 0) {
    a.setWord(kPause, pause - 1);
    if (pause == 1) turnThreadDangler(a);
    return;
  }
  if (a.word(kClimbing) != 0) {
    if (threadLength(a) > 11 || random(c, 127) <= 120) {
      setThreadLength(a, threadLength(a) - 1);
      if (threadLength(a) < a.word(kLow)) {
        setThreadLength(a, a.word(kLow));
        a.setWord(kPause, a.word(kTopPause) + (random(c, 127) & 15));
      }
    } else {
      turnThreadDangler(a);
    }
    return;
  }
  const std::int64_t speed = static_cast<std::int32_t>(a.longAt(kSpeedY) + a.longAt(kAccelY));
  a.setLong(kSpeedY, speed);
  a.setLong(kLength, a.longAt(kLength) + speed);
  if (threadLength(a) > a.word(kHigh)) {
    setThreadLength(a, a.word(kHigh));
    a.setWord(kPause, a.word(kBottomPause) + (random(c, 127) & 15));
  }
}

}  // namespace

// Type 0 (the body's sequence 0x00BDB6): waits (its wait restarts at word 28 plus up to 31 frames), drops
// to word 34 one pixel a frame, holds there (word 30 plus up to 31 frames) and climbs back to word 32.
// Touching the body costs a whole point. Off screen it stands still.
void dangler(Actor& a) {
  if (!a.onScreen()) return;
  const std::int64_t frame = stepAnim(a, cart::kSeqDangler);
  moveDangler(a);
  const std::int64_t offset = a.word(kOffset);
  const std::int64_t x = a.x(), y = a.y() + offset;
  if (touches(a.c, {x + 2, x + 16, y + 2, y + 13})) hurt(a.c, kWhole);
  draw(a, 0, offset, frameBase(a.c, 0) + frame);
  if (offset > 0) drawThread(a, offset, -7, kThreadFrame);
}

// Type 3: drops with growing speed to word 34, pauses (word 50 plus up to 15 frames), climbs back a pixel
// a frame to word 32 (near the top it may stop and drop again) and pauses there (word 48 plus up to 15).
// Only while it drops it drains 20 points.
void threadDangler(Actor& a) {
  if (((a.screenX() + 24) & 0xFFFF) > 343) return;
  moveThreadDangler(a);
  const std::int64_t length = threadLength(a);
  const std::int64_t x = a.x(), y = a.y() + length;
  if (a.word(kClimbing) == 0 && a.word(kPause) == 0 && touches(a.c, {x + 1, x + 15, y + 2, y + 19}))
    drain(a.c, kThreadDrain);
  const std::int64_t base = frameBase(a.c, 0);
  draw(a, -1, a.word(kHigh) + 5, base);
  drawThread(a, length, -7, base + 2);
  draw(a, 0, length, base + 1);
}

}  // namespace sim::things::actor
