#pragma once
// One record of the actors block and what the actor types share: the record's fields, the screen test,
// the animation record, drawing, the touch test, damage and drains, bobbing, seeking, patrolling and
// wobbling. Internal to src/sim/things and its tests.
//
// A record is 58 bytes (big-endian): the type long at 0, x at 4 (a word, or 16.16 for the types that move
// by fractions), y as 16.16 at 8, speeds at 12, 16 and 20, the vertical acceleration at 24, the type's
// parameters at 28..39 (for walkers and fliers the x limits at 28 and 30, the y range at 32 and 34, a limit
// value at 36), the animation record at 40 and the type's state words at 46..57. Each type's routine below
// names the words it keeps there.

#include <cstddef>
#include <cstdint>

#include "sim/core/big_endian.h"
#include "sim/core/context.h"

namespace sim::things::actor {

// Byte offsets inside a record.
inline constexpr std::size_t kType = 0;
inline constexpr std::size_t kX = 4;
inline constexpr std::size_t kY = 8;
inline constexpr std::size_t kSpeedX = 12;  // 16.16, the walkers' and swimmers' horizontal speed
inline constexpr std::size_t kSpeedY = 16;  // 16.16, down positive
inline constexpr std::size_t kFlyX = 20;    // the fliers' horizontal step
inline constexpr std::size_t kAccelY = 24;  // 16.16
inline constexpr std::size_t kLeft = 28;
inline constexpr std::size_t kRight = 30;
inline constexpr std::size_t kLow = 32;
inline constexpr std::size_t kHigh = 34;
inline constexpr std::size_t kLimit = 36;
inline constexpr std::size_t kAnim = 40;
inline constexpr std::size_t kWord46 = 46;
inline constexpr std::size_t kWord48 = 48;
inline constexpr std::size_t kWord50 = 50;
inline constexpr std::size_t kWord52 = 52;
inline constexpr std::size_t kWord54 = 54;
inline constexpr std::size_t kWord56 = 56;

// The drawing routine the actors' sprite calls name: the actor step.
inline constexpr std::uint32_t kCallerActors = 0x009B7C;
// Sprite attributes: bit 0 mirrors, bit 4 puts the sprite in front.
inline constexpr std::uint32_t kMirrored = 1;
inline constexpr std::uint32_t kInFront = 16;

// Amounts of damage (16.16) and drains (energy_ramp: bit 15 drains, the low bits count points).
inline constexpr std::int64_t kHalf = 0x8000;
inline constexpr std::int64_t kWhole = 0x10000;

struct Actor {
  Context& c;
  std::size_t base;  // the record's first byte in the actors block

  std::int64_t word(std::size_t at) const { return be::word(c.state.actors, base + at); }
  void setWord(std::size_t at, std::int64_t v) { be::setWord(c.state.actors, base + at, v); }
  // A signed 32-bit long.
  std::int64_t longAt(std::size_t at) const {
    return static_cast<std::int32_t>(be::longWord(c.state.actors, base + at));
  }
  void setLong(std::size_t at, std::int64_t v) {
    be::setLongWord(c.state.actors, base + at, static_cast<std::uint32_t>(v));
  }
  std::int64_t x() const { return word(kX); }
  std::int64_t y() const { return word(kY); }
  std::int64_t screenX() const { return x() - c.state.camera_x; }
  bool onScreen(std::int64_t from = -24) const { return screenX() >= from && screenX() <= 319; }
};

// A touch box in area pixels: [left, right) x [top, bottom).
struct Box {
  std::int64_t left, right, top, bottom;
};

// The animation record: one step with a ROM sequence (returns the frame), its frame, and a restart (the
// next step shows the sequence's first frame).
std::int64_t stepAnim(Actor& a, std::uint32_t sequence);
std::int64_t animFrame(const Actor& a);
void restartAnim(Actor& a);

// Word k of frame_bases: the area's base frame for an actor type.
std::int64_t frameBase(const Context& c, int k);
// A sprite at the actor's place moved by (dx, dy).
void draw(Actor& a, std::int64_t dx, std::int64_t dy, std::int64_t frame, std::uint32_t attributes = 0);

// The hero's box [X, X + 18) x [Y, Y + 20) against the actor's.
bool touches(const Context& c, const Box& box);
// Damage of a 16.16 amount, ignored while the hero dies.
void hurt(Context& c, std::int64_t amount);
// A drain: the energy runs down by the points of the ramp, and the bar shows.
void drain(Context& c, std::int64_t ramp);

// Bob: the vertical speed grows by the acceleration, which changes sign when the speed reaches plus or
// minus the limit (the long at limitAt); y moves by the speed.
void bob(Actor& a, std::size_t limitAt);

// The fliers' seek, patrol and wobble. State words: 46 the turn timer, 48 the y target, 50 the wobble
// phase.
inline constexpr std::size_t kTurnTimer = kWord46;
inline constexpr std::size_t kTarget = kWord48;
inline constexpr std::size_t kWobblePhase = kWord50;
// Seek: y moves half a pixel a frame toward its target; on it, a new target is drawn inside the y range.
void seek(Actor& a);
// How a flier patrols: its step table (longs of 16.16 steps kept in the long at 20 and added to a 16.16 x,
// or words of whole pixels kept in the word at 20, the step's integer part, and added to the x word), and
// its turn timer after a turn at a limit, (random(127) & mask) + add.
struct Patrol {
  std::uint32_t steps;
  bool wholePixels;
  std::int64_t timerMask, timerAdd;
};
void patrol(Actor& a, const Patrol& p);
// Wobble: the phase moves on by 2 and the table gives the extra y offset.
std::int64_t wobble(Actor& a, std::uint32_t table);

// The types, by family (actors_*.cpp); actors.cpp holds the table from type to routine.
void dangler(Actor& a);         // type 0
void bobber(Actor& a);          // type 1
void restingBobber(Actor& a);   // type 2
void threadDangler(Actor& a);   // type 3
void knockingFlier(Actor& a);   // type 4
void bitingFlier(Actor& a);     // type 5
void stepWalker(Actor& a);      // type 6
void patroller7(Actor& a);      // type 7
void eightWayFlier(Actor& a);   // type 8
void swimmer(Actor& a);         // type 9
void creeper(Actor& a);         // type 10
void leaper(Actor& a);          // type 11
void periodicHazard(Actor& a);  // type 12
void thrownThing(Actor& a);     // type 13
void patroller14(Actor& a);     // type 14

}  // namespace sim::things::actor
