// Hazards: the leaper, the periodic hazard and the thrown thing, which come and go on their own timers.
#include <algorithm>

#include "sim/cartridge.h"
#include "sim/rom_view.h"
#include "sim/things/actor.h"

namespace sim::things::actor {

namespace {

// Type 11: word 46 the wait, 48 the state (0 leaping, 1 landed, 2 inactive), 52 the wait after a leap
// starts; it leaps from word 32 down to word 34.
constexpr std::size_t kLeapWait = kWord46;
constexpr std::size_t kLeapState = kWord48;
constexpr std::size_t kLeapWaitAgain = kWord52;
constexpr std::int64_t kLeapFrame = 6;     // it moves only while it shows this frame, drawn 4 pixels right
constexpr std::int64_t kHiddenFrame = 10;  // neither drawn nor touching
constexpr std::int64_t kLeapDrain = 0x8004;
constexpr std::size_t kObject24Carried = 4;  // its byte of item_flags

// Type 12: word 46 the timer, 48 the phase of the activity, 50 the timer's reload, 52 set while active.
constexpr std::size_t kHazardTimer = kWord46;
constexpr std::size_t kHazardPhase = kWord48;
constexpr std::size_t kHazardReload = kWord50;
constexpr std::size_t kHazardActive = kWord52;
constexpr std::int64_t kHazardDrain = 0x8006;

// Type 13: word 46 the wait, 48 the wait after each throw; x 16.16 with its speed at 12, the vertical speed
// at 16 grows by the long at 24 up to the long at 36 and starts again at the long at 20; thrown from (word
// 28, word 32) until it falls below word 34.
constexpr std::size_t kThrownWait = kWord46;
constexpr std::size_t kThrownWaitAgain = kWord48;
constexpr std::size_t kThrowSpeed = kFlyX;
constexpr std::size_t kMaxFall = kLimit;

void land(Actor& a) {
  a.setLong(kY, a.word(kHigh) << 16);
  a.setWord(kLeapState, 1);
  restartAnim(a);
  if (a.onScreen(-16)) requestEffect(a.c, 13);
}

void leap(Actor& a) {
  const std::int64_t speed = std::min(a.longAt(kFlyX), a.longAt(kSpeedY) + a.longAt(kAccelY));
  a.setLong(kSpeedY, speed);
  a.setLong(kY, a.longAt(kY) + speed);
  if (a.y() > a.word(kHigh)) land(a);
}

std::int64_t thrownFrame(const Actor& a) {
  const RomView& rom = a.c.rom;
  const std::int64_t speed = a.longAt(kSpeedY);
  for (std::uint32_t i = 0; i < 4; ++i)
    if (static_cast<std::int32_t>(rom.longAt(cart::kThrownFrames + 6 * i)) < speed)
      return rom.signedWordAt(cart::kThrownFrames + 6 * i + 4);
  return rom.signedWordAt(cart::kThrownFrames + 6 * 4 + 4);
}

}  // namespace

// Type 11 (sequences 0x00BEE6 leaping, 0x00BEFA landed): every time its wait runs out it starts again at
// word 32 and leaps down to word 34, moving only on the leap's frame 6; on landing it is heard. It drains
// 4 points unless the hero carries object 24.
void leaper(Actor& a) {
  if (!a.onScreen()) return;
  Context& c = a.c;
  const std::int64_t wait = a.word(kLeapWait);
  a.setWord(kLeapWait, wait - 1);
  if (wait <= 0) {
    a.setWord(kLeapWait, a.word(kLeapWaitAgain));
    a.setWord(kY, a.word(kLow));
    a.setWord(kLeapState, 0);
    restartAnim(a);
    a.setLong(kSpeedY, kHalf);
  }
  const std::int64_t state = a.word(kLeapState);
  if (state == 2) return;
  const std::int64_t frame = stepAnim(a, state == 0 ? cart::kSeqLeaping : cart::kSeqLanded);
  if (state == 0 && frame == kLeapFrame) leap(a);
  if (frame == kHiddenFrame) return;
  const std::int64_t x = a.x(), y = a.y();
  if (c.state.item_flags[kObject24Carried] == 0 && touches(c, {x + 4, x + 6, y + 4, y + 12})) drain(c, kLeapDrain);
  draw(a, frame == kLeapFrame ? 4 : 0, 0, frameBase(c, 11) + frame);
}

// Type 12 (frames 0x00BB82): idle and unseen until its timer runs out, then active through the ROM's frame
// list, each shown 8 frames, up to a negative word; while active it drains 6 points.
void periodicHazard(Actor& a) {
  if (!a.onScreen()) return;
  Context& c = a.c;
  if (a.word(kHazardActive) == 0) {
    const std::int64_t timer = a.word(kHazardTimer);
    if (timer > 0) {
      a.setWord(kHazardTimer, timer - 1);
      return;
    }
    a.setWord(kHazardTimer, a.word(kHazardReload));
    a.setWord(kHazardActive, 1);
    a.setWord(kHazardPhase, 0);
  }
  const std::int64_t phase = a.word(kHazardPhase);
  const std::int64_t frame =
      c.rom.signedWordAt(cart::kHazardFrames + 2 * static_cast<std::uint32_t>((phase >> 3) & 0x1FFF));
  if (frame < 0) {
    a.setWord(kHazardActive, 0);
    return;
  }
  a.setWord(kHazardPhase, phase + 1);
  const std::int64_t x = a.x(), y = a.y();
  if (touches(c, {x + 3, x + 10, y + 3, y + 11})) drain(c, kHazardDrain);
  draw(a, 0, 0, frameBase(c, 10) + frame);
}

// Type 13 (frames by speed 0x00BC78): waits unseen, then flies in an arc from its start point and, once it
// has fallen below word 34, starts over. Its frame follows its vertical speed; touching it costs half a
// point.
void thrownThing(Actor& a) {
  if (!a.onScreen()) return;
  Context& c = a.c;
  const std::int64_t wait = a.word(kThrownWait);
  if (wait != 0) {
    a.setWord(kThrownWait, wait - 1);
    return;
  }
  a.setLong(kX, a.longAt(kX) + a.longAt(kSpeedX));
  const std::int64_t speed = std::min(a.longAt(kSpeedY) + a.longAt(kAccelY), a.longAt(kMaxFall));
  a.setLong(kSpeedY, speed);
  a.setLong(kY, a.longAt(kY) + speed);
  if (a.y() > a.word(kHigh)) {
    a.setLong(kX, a.word(kLeft) << 16);
    a.setLong(kY, a.word(kLow) << 16);
    a.setLong(kSpeedY, a.longAt(kThrowSpeed));
    a.setWord(kThrownWait, a.word(kThrownWaitAgain));
  }
  const std::int64_t x = a.x(), y = a.y();
  if (touches(c, {x + 3, x + 8, y + 2, y + 9})) hurt(c, kHalf);
  draw(a, 0, 0, frameBase(c, 12) + thrownFrame(a), a.longAt(kSpeedX) < 0 ? kMirrored : 0);
}

}  // namespace sim::things::actor
