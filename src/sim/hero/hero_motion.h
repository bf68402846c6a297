#pragma once
// The hero's control and physics, shared by hero.cpp (the two control modes,
// death, animation) and hero_motion.cpp (walking, jumping, falling and the
// collision probes). Internal to the simulation.

#include <cstdint>

#include "sim/simulation.h"

namespace sim::hero {

// Pad bits as the game logic reads them.
inline constexpr std::uint8_t kPadLeft = 0x04;
inline constexpr std::uint8_t kPadRight = 0x08;
inline constexpr std::uint8_t kPadC = 0x20;

// The hero's sequences in the brumo_sequences table.
inline constexpr std::uint32_t kSeqWalkLeft = 0x0017E0;
inline constexpr std::uint32_t kSeqWalkRight = 0x0017F6;
inline constexpr std::uint32_t kSeqStand = 0x00180C;
inline constexpr std::uint32_t kSeqJumpLeft = 0x00183E;
inline constexpr std::uint32_t kSeqJumpRight = 0x001852;
inline constexpr std::uint32_t kSeqJumpUp = 0x001866;
inline constexpr std::uint32_t kSeqJumpUpInWater = 0x00187A;
inline constexpr std::uint32_t kSeqStrokeRight = 0x00188E;
inline constexpr std::uint32_t kSeqStrokeLeft = 0x00189C;
inline constexpr std::uint32_t kSeqStunned = 0x0018AA;
inline constexpr std::uint32_t kSeqDieOnLand = 0x0018B8;
inline constexpr std::uint32_t kSeqDrown = 0x0018CA;
inline constexpr std::uint32_t kSeqDieByHazard = 0x0018DC;

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
inline std::int64_t wrap32(std::int64_t v) { return static_cast<std::int32_t>(static_cast<std::uint32_t>(v)); }
inline std::int64_t intPart(std::int64_t v) { return static_cast<std::int16_t>(v >> 16); }
inline std::int64_t withIntPart(std::int64_t v, std::int64_t i) {
    return wrap32(static_cast<std::int64_t>((static_cast<std::uint64_t>(i) << 16) | static_cast<std::uint64_t>(v & 0xFFFF)));
}
inline std::int64_t withoutFraction(std::int64_t v) { return wrap32(v & ~std::int64_t{0xFFFF}); }

// One frame of the hero's motion on the current state and pad.
class Motion {
public:
    Motion(Simulation& sim, std::uint8_t pad) : sim_(sim), s_(sim.mutableState()), pad_(pad) {}

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
    static std::int64_t liftWord(const GameState& s, int lift, int word);
    static bool onStandingLift(const GameState& s);
    static bool onMovingLift(const GameState& s);

private:
    bool inWater() const { return s_.variant_ad != 0; }
    void landingAndJumpEnd();

    Simulation& sim_;
    GameState& s_;
    std::uint8_t pad_;
};

}  // namespace sim::hero
