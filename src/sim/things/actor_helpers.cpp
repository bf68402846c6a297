// What the actor types share: the animation record, drawing, the touch test, damage, drains, bobbing,
// seeking, patrolling and wobbling.
#include "sim/core/animation.h"
#include "sim/core/records.h"
#include "sim/hero/hero.h"
#include "sim/rom_view.h"
#include "sim/things/actor.h"

namespace sim::things::actor {

namespace {

constexpr std::int64_t kShowFrames = 120;
constexpr std::int64_t kSeekStep = 0x8000;
constexpr std::int64_t kTurnTimerAfterPause = 87;

std::int64_t heroX(const GameState& s) {
  return static_cast<std::int16_t>(s.x >> 16);
}
std::int64_t heroY(const GameState& s) {
  return static_cast<std::int16_t>(s.y >> 16);
}

}  // namespace

std::int64_t stepAnim(Actor& a, std::uint32_t sequence) {
  return stepAnimation(a.c, a.c.state.actors, a.base + kAnim, sequence);
}

std::int64_t animFrame(const Actor& a) {
  return a.word(kAnim + rec::kAnimFrame);
}

void restartAnim(Actor& a) {
  a.setWord(kAnim + rec::kAnimTimer, 0);
  a.setWord(kAnim + rec::kAnimIndex, -1);
}

std::int64_t frameBase(const Context& c, int k) {
  return be::word(c.state.frame_bases, 2 * static_cast<std::size_t>(k));
}

void draw(Actor& a, std::int64_t dx, std::int64_t dy, std::int64_t frame, std::uint32_t attributes) {
  addSprite(a.c, static_cast<std::uint32_t>((a.screenX() + dx + 128) & 0xFFFF),
            static_cast<std::uint32_t>((a.y() + dy + 128) & 0xFFFF), static_cast<std::uint32_t>(frame & 0xFFFF),
            attributes, kCallerActors);
}

bool touches(const Context& c, const Box& box) {
  const std::int64_t X = heroX(c.state), Y = heroY(c.state);
  return box.left < X + 18 && X < box.right && box.top < Y + 20 && Y < box.bottom;
}

void hurt(Context& c, std::int64_t amount) {
  hero::addDamage(c, amount, true);
}

void drain(Context& c, std::int64_t ramp) {
  c.state.energy_ramp = ramp;
  c.state.damage_show = kShowFrames;
}

void bob(Actor& a, std::size_t limitAt) {
  const std::int64_t limit = a.longAt(limitAt);
  const std::int64_t speed = static_cast<std::int32_t>(a.longAt(kSpeedY) + a.longAt(kAccelY));
  a.setLong(kSpeedY, speed);
  if (speed >= limit || speed <= -limit) a.setLong(kAccelY, -a.longAt(kAccelY));
  a.setLong(kY, a.longAt(kY) + speed);
}

void seek(Actor& a) {
  if (a.y() == a.word(kTarget)) {
    const std::int64_t low = a.word(kLow);
    a.setWord(kTarget, low + random(a.c, a.word(kHigh) - low));
  }
  const std::int64_t target = a.word(kTarget);
  if (a.y() < target) a.setLong(kY, a.longAt(kY) + kSeekStep);
  if (a.y() > target) a.setLong(kY, a.longAt(kY) - kSeekStep);
}

namespace {

// A turn: a new step from the table, signed against the current direction.
void turnRound(Actor& a, const Patrol& p) {
  const std::int64_t i = random(a.c, 127) & 3;
  const std::int64_t step =
      p.wholePixels ? a.c.rom.signedWordAt(p.steps + 2 * static_cast<std::uint32_t>(i))
                    : static_cast<std::int32_t>(a.c.rom.longAt(p.steps + 4 * static_cast<std::uint32_t>(i)));
  if (p.wholePixels) {
    a.setWord(kFlyX, a.word(kFlyX) > 0 ? -step : step);
  } else {
    a.setLong(kFlyX, a.longAt(kFlyX) > 0 ? -step : step);
  }
}

}  // namespace

void patrol(Actor& a, const Patrol& p) {
  if (p.wholePixels) {
    a.setWord(kX, a.x() + a.word(kFlyX));
  } else {
    a.setLong(kX, a.longAt(kX) + a.longAt(kFlyX));
  }
  const bool left = a.x()<a.word(kLeft), right = a.x()> a.word(kRight);
  if (left || right) {
    const std::int64_t limit = a.word(left ? kLeft : kRight);
    if (p.wholePixels) {
      a.setWord(kX, limit);
    } else {
      a.setLong(kX, limit << 16);
    }
    turnRound(a, p);
    a.setWord(kTurnTimer, (random(a.c, 127) & p.timerMask) + p.timerAdd);
  }
  if (a.word(kTurnTimer) != 0) {
    a.setWord(kTurnTimer, a.word(kTurnTimer) - 1);
  } else {
    turnRound(a, p);
    a.setWord(kTurnTimer, kTurnTimerAfterPause);
  }
}

std::int64_t wobble(Actor& a, std::uint32_t table) {
  const std::int64_t phase = (a.word(kWobblePhase) + 2) & 0xFFFF;
  a.setWord(kWobblePhase, phase);
  return a.c.rom.signedWordAt(table + static_cast<std::uint32_t>(phase & 0x3E));
}

}  // namespace sim::things::actor
