#pragma once
// The hero's control and physics, shared by hero.cpp (the two control modes,
// death, animation) and hero_motion.cpp (walking, jumping, falling and the
// collision probes). Internal to src/sim/hero and its tests.

#include <cstdint>

#include "sim/cartridge.h"
#include "sim/core/context.h"
#include "sim/pad.h"

namespace sim::hero {

using cart::kSeqDieByHazard, cart::kSeqDieOnLand, cart::kSeqDrown, cart::kSeqJumpLeft, cart::kSeqJumpRight,
    cart::kSeqJumpUp, cart::kSeqJumpUpInWater, cart::kSeqStand, cart::kSeqStrokeLeft, cart::kSeqStrokeRight,
    cart::kSeqStunned, cart::kSeqWalkLeft, cart::kSeqWalkRight;

// Frames (sprite_frame & 0x7F) on which a jump may end on the ground, and the
// frame of a land death after which its timer starts.
inline constexpr std::int64_t kStraightJumpEndFrame = 23;
inline constexpr std::int64_t kSideJumpEndFrame = 16;
inline constexpr std::int64_t kLandDeathFrame = 27;

// A hard landing follows a fall of more than this many frames at top speed.
inline constexpr std::int64_t kHardLandingFrames = 40;
inline constexpr std::int64_t kStunFrames = 100;

// 16.16 helpers. Positions live in 32 bits on the console; their integer part
// is a signed word.
inline std::int64_t wrap32(std::int64_t v) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
}
inline std::int64_t intPart(std::int64_t v) {
  return static_cast<std::int16_t>(v >> 16);
}
inline std::int64_t withIntPart(std::int64_t v, std::int64_t i) {
  return wrap32(
      static_cast<std::int64_t>((static_cast<std::uint64_t>(i) << 16) | static_cast<std::uint64_t>(v & 0xFFFF)));
}
inline std::int64_t withoutFraction(std::int64_t v) {
  return wrap32(v & ~std::int64_t{0xFFFF});
}

// One frame of the hero's motion on the current state and pad.
class Motion {
 public:
  Motion(Context& c, std::uint8_t pad) : c_(c), s_(c.state), pad_(pad) {}

  void walkingMode();
  void swimmingMode();

  // The pieces, public for the tests of single rules.
  void walkingInput();
  void step(int direction);
  void horizontalMove();
  void jumpStart();
  void fallStep();
  void ceilingCheck();
  void landingCheck();
  void jumpEndCheck();
  void platforms();
  void deathStep();

  // The lift record the hero is near (lift_near), or -1.
  static int liftIndex(const GameState& s);
  static std::int64_t liftWord(const GameState& s, int lift, std::size_t at);  // a word at a byte offset
  static bool onStandingLift(const GameState& s);
  static bool onMovingLift(const GameState& s);

 private:
  bool inWater() const { return s_.variant_ad != 0; }
  void landingAndJumpEnd();

  Context& c_;
  GameState& s_;
  std::uint8_t pad_;
};

}  // namespace sim::hero
