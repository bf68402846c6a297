// Fliers: bobbing creatures, fliers that patrol, seek a height and wobble, and the eight-direction flier.
#include "sim/cartridge.h"
#include "sim/hero/hero.h"
#include "sim/rom_view.h"
#include "sim/things/actor.h"

namespace sim::things::actor {

namespace {

constexpr Patrol kPatrolKnocking{cart::kKnockingFlierSteps, false, 31, 40};
constexpr Patrol kPatrolBiting{cart::kBitingFlierSteps, true, 15, 30};
constexpr std::int64_t kTitleArea = 50;

// Type 2's state words: 52 the frames at rest, 54 how many it rests.
constexpr std::size_t kRestCount = kWord52;
constexpr std::size_t kRestFrames = kWord54;

// Type 8: direction vectors (16.16 x and y longs by direction), the wall lists (a long per wall
// combination: a count word, then directions) and the box's bottom.
constexpr std::int64_t kEightWayBottom = 128;
constexpr std::int64_t kEightWayDrain = 0x8002;
constexpr std::size_t kDirection = kWord46;
constexpr std::size_t kFlyTimer = kWord48;
constexpr std::size_t kFlapTimer = kWord50;
constexpr std::size_t kFlapping = kWord52;

// Type 4 throws the hero into a side jump the way it flies.
void knockBack(Actor& a) {
  Context& c = a.c;
  GameState& s = c.state;
  const bool left = a.longAt(kFlyX) < 0;
  s.vy = -0x3F000;
  s.settled = 0;
  s.fall_max = 42;
  s.jump = left ? 2 : 3;
  hero::setHeroAnimation(c, left ? cart::kSeqJumpLeft : cart::kSeqJumpRight);
  requestEffect(c, 15);
}

// A new direction when the box stopped the flier: from the list of the walls it met.
void bounce(Actor& a, std::int64_t walls) {
  Context& c = a.c;
  const std::uint32_t list = c.rom.longAt(cart::kEightWayWalls + 4 * static_cast<std::uint32_t>(walls));
  if (list == 0) stopWith(c, "type 8 hit an impossible wall combination ($00B5DC: the error screen)");
  const std::int64_t pick = random(c, c.rom.wordAt(list));
  a.setWord(kDirection, c.rom.signedWordAt(list + 2 + 2 * static_cast<std::uint32_t>(pick)));
}

// Moves by the direction's vector and keeps inside the box; the walls met, as bits 1 left, 2 right, 4 top,
// 8 bottom.
std::int64_t flyInBox(Actor& a) {
  Context& c = a.c;
  const auto d = static_cast<std::uint32_t>(a.word(kDirection));
  a.setLong(kX, a.longAt(kX) + static_cast<std::int32_t>(c.rom.longAt(cart::kEightWaySteps + 8 * d)));
  a.setLong(kY, a.longAt(kY) + static_cast<std::int32_t>(c.rom.longAt(cart::kEightWaySteps + 4 + 8 * d)));
  std::int64_t walls = 0;
  const auto clamp = [&](std::size_t at, std::int64_t limit, std::int64_t bit) {
    a.setLong(at, limit << 16);
    walls |= bit;
  };
  if (a.x() < a.word(kLeft)) clamp(kX, a.word(kLeft), 1);
  if (a.x() > a.word(kRight)) clamp(kX, a.word(kRight), 2);
  if (a.y() < a.word(kLow)) clamp(kY, a.word(kLow), 4);
  if (a.y() > kEightWayBottom) clamp(kY, kEightWayBottom, 8);
  return walls;
}

}  // namespace

// Type 1 (sequence 0x00BDC4): bobs up and down (its speed limit the long at 36); state word 46 picks its
// frame base (word 2 of frame_bases while set, else word 1). Touching it costs half a point.
void bobber(Actor& a) {
  if (!a.onScreen()) return;
  const std::int64_t frame = stepAnim(a, cart::kSeqBobber);
  bob(a, kLimit);
  const std::int64_t x = a.x(), y = a.y();
  if (touches(a.c, {x + 2, x + 16, y + 2, y + 21})) hurt(a.c, kHalf);
  draw(a, 0, 0, frameBase(a.c, a.word(kWord46) != 0 ? 2 : 1) + frame);
}

// Type 2 (sequence 0x00BDD2): bobs (its speed limit the long at 20) but rests at the bottom of each bob,
// word 54 frames, and starts its animation again as it leaves. Seen from 40 pixels left of the screen on.
void restingBobber(Actor& a) {
  if (!a.onScreen(-40)) return;
  const std::int64_t frame = stepAnim(a, cart::kSeqRestingBobber);
  if (a.longAt(kSpeedY) == 0 && a.longAt(kAccelY) < 0) {
    const std::int64_t count = a.word(kRestCount) + 1;
    a.setWord(kRestCount, count);
    if (count > a.word(kRestFrames)) {
      a.setWord(kRestCount, 0);
      restartAnim(a);
      bob(a, kFlyX);
    }
  } else {
    bob(a, kFlyX);
  }
  const std::int64_t x = a.x(), y = a.y();
  if (touches(a.c, {x + 14, x + 32, y + 2, y + 30})) hurt(a.c, kHalf);
  draw(a, 0, 0, frameBase(a.c, 3) + frame);
}

// Type 4 (sequence 0x00BDE4, on the title 0x00BDEE; steps 0x00AFB0; wobble 0x00C674): patrols between its
// x limits with 16.16 steps (the long at 20; x 16.16 at 4), seeks heights in its y range and wobbles.
// It throws a free hero into a side jump the way it flies; on the title it touches nothing.
void knockingFlier(Actor& a) {
  if (!a.onScreen()) return;
  Context& c = a.c;
  const bool title = c.state.area == kTitleArea;
  const std::int64_t frame = stepAnim(a, title ? cart::kSeqKnockingFlierTitle : cart::kSeqKnockingFlier);
  patrol(a, kPatrolKnocking);
  seek(a);
  const std::int64_t w = wobble(a, cart::kHintWobble);
  const GameState& s = c.state;
  const std::int64_t x = a.x(), y = a.y() + w;
  if (!title && s.lock == 0 && s.stun == 0 && s.fall_max < 42 && touches(c, {x + 2, x + 14, y + 2, y + 14}))
    knockBack(a);
  draw(a, 0, w, frameBase(c, 4) + frame);
}

// Type 5 (sequence 0x00BDF8; steps 0x00B172; wobble 0x00C634): patrols with whole-pixel steps (the word at
// 20, the step's integer part, added to the x word), seeks and wobbles; touching it costs half a point.
void bitingFlier(Actor& a) {
  if (!a.onScreen()) return;
  const std::int64_t frame = stepAnim(a, cart::kSeqBitingFlier);
  patrol(a, kPatrolBiting);
  seek(a);
  const std::int64_t w = wobble(a, cart::kWobble);
  const std::int64_t x = a.x(), y = a.y() + w;
  if (touches(a.c, {x + 2, x + 14, y + 2, y + 14})) hurt(a.c, kHalf);
  draw(a, 0, w, frameBase(a.c, 5) + frame);
}

// Type 8 (vectors 0x00B662, wall lists 0x00B59C, error screen $00B5DC): flies in one of eight directions
// (word 46) inside x word 28..word 30, y word 32..128 (x and y 16.16). Stopped by the box it takes a
// direction from the list of the walls it met; otherwise its timer (word 48) runs out now and then and it
// takes any direction. Its wings flap (word 52, timed by word 50): closed 4 frames, open 3. Its frames
// follow the area's own: direction + 3, or + 11 with the wings open. It drains 2 points.
void eightWayFlier(Actor& a) {
  if (!a.onScreen()) return;
  Context& c = a.c;
  const std::int64_t walls = flyInBox(a);
  if (walls != 0) {
    bounce(a, walls);
  } else if (a.word(kFlyTimer) > 0) {
    a.setWord(kFlyTimer, a.word(kFlyTimer) - 1);
  } else {
    a.setWord(kFlyTimer, (random(c, 127) & 63) + 24);
    a.setWord(kDirection, random(c, 127) & 7);
  }
  const std::int64_t flap = a.word(kFlapTimer) - 1;
  if (flap < 0) {
    const std::int64_t flapping = a.word(kFlapping) != 0 ? 0 : 1;
    a.setWord(kFlapping, flapping);
    a.setWord(kFlapTimer, flapping != 0 ? 2 : 3);
  } else {
    a.setWord(kFlapTimer, flap);
  }
  const std::int64_t x = a.x(), y = a.y();
  if (touches(c, {x + 6, x + 18, y + 2, y + 10})) drain(c, kEightWayDrain);
  draw(a, 0, 0, c.areaCache.firstSelectionFrames + a.word(kDirection) + (a.word(kFlapping) != 0 ? 11 : 3));
}

}  // namespace sim::things::actor
