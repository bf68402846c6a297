#pragma once
// Byte offsets inside the records that the state's blocks hold, as the console lays them out in its RAM.
// Words and longs are big-endian (see big_endian.h).

#include <cstddef>
#include <cstdint>

namespace sim::rec {

// Animation record, 6 bytes: frame word, timer word, index word.
inline constexpr std::size_t kAnimFrame = 0;
inline constexpr std::size_t kAnimTimer = 2;
inline constexpr std::size_t kAnimIndex = 4;
inline constexpr std::size_t kAnimSize = 6;

// block_anims: 8-byte records of an area's animated blocks, an animation record each.
inline constexpr std::size_t kBlockAnimSize = 8;

// a28_timers: four 8-byte records, an animation record and a pause word.
inline constexpr std::size_t kA28TimerSize = 8;
inline constexpr std::size_t kA28Pause = 6;

// door_states: 8-byte records, a state word (0 closed, 1 opening, 2 open) and an animation record.
inline constexpr std::size_t kDoorSize = 8;
inline constexpr std::size_t kDoorState = 0;
inline constexpr std::size_t kDoorAnim = 2;

// actors: 40 records of 58 bytes; a slot starting with FF FF FF FF ends the list.
inline constexpr std::size_t kActorSize = 58;
inline constexpr std::size_t kActorSlots = 40;
inline constexpr std::size_t kActorEndMark = 4;

// shots: 16 records of 18 bytes, the first word their state (0 none).
inline constexpr std::size_t kShotSize = 18;
inline constexpr std::size_t kShotSlots = 16;
// bubbles: 12 records of 18 bytes, the first word FFFF when the slot is free.
inline constexpr std::size_t kBubbleSize = 18;
inline constexpr std::size_t kBubbleSlots = 12;
// effects: 8 records of 14 bytes, the first word their state (0 none).
inline constexpr std::size_t kEffectSize = 14;
inline constexpr std::size_t kEffectSlots = 8;

// Object records, 16 bytes: area, x, y, kind, number and slot words, then the use routine (a long). The
// slot word is the sprite frame the object's graphics were loaded into.
inline constexpr std::size_t kObjectSize = 16;
inline constexpr std::size_t kObjectSlot = 10;

// Lift records, 18 bytes in RAM from FFA278: nine words, among them the speed and the standing flag.
inline constexpr std::size_t kLiftSize = 18;
// Low 16 bits of the first lift record's RAM address (lift_near holds it).
inline constexpr std::int64_t kLiftRam = 0xA278;
inline constexpr std::size_t kLiftSpeed = 12;
inline constexpr std::size_t kLiftStanding = 16;

// inventory: five words, the object being dropped, the one in transit to the panel, three carried.
inline constexpr std::size_t kInvDropping = 0;
inline constexpr std::size_t kInvTransit = 2;
inline constexpr std::size_t kInvCarried = 4;  // three words from here, the top one first
// inv_timers: seven words of the panel's slides.
inline constexpr std::size_t kInvSlideX = 0;     // the x of the object sliding in
inline constexpr std::size_t kInvSlideIn = 2;    // frames left of the slide into the panel
inline constexpr std::size_t kInvShiftDown = 4;  // frames left of the carried row's shift
inline constexpr std::size_t kInvShift = 6;      // the carried row's offset while it shifts
inline constexpr std::size_t kInvPanelBusy = 8;  // non-zero while the panel is busy; cleared when a slide in ends

// chain (area 8): words state, speed, angle.
inline constexpr std::size_t kChainSpeed = 2;
inline constexpr std::size_t kChainAngle = 4;

// a16 (the shooter of area 16): words angle, length, active, fire timer, target angle, aim timer.
inline constexpr std::size_t kShooterFireTimer = 6;
// a16_exit (the cart of area 16): x word, y (16.16) at 4, an animation record at 8.
inline constexpr std::size_t kCartX = 0;
inline constexpr std::size_t kCartY = 4;

// a1_walker (area 1): x word, y (16.16) at 4, ..., its touch rectangle (x, y, width, height) at 28.
inline constexpr std::size_t kWalkerX = 0;
inline constexpr std::size_t kWalkerY = 4;
inline constexpr std::size_t kWalkerTouch = 28;

// scripted_obj (areas 20 and 31): x and y (16.16) at 0..7, vx 8, vy 12, phase word 16, counter word 18.
inline constexpr std::size_t kScriptedPhase = 16;
inline constexpr std::size_t kScriptedCounter = 18;

// particles: 10-byte records after a marker byte; an FF marks a free record.
inline constexpr std::size_t kParticleSize = 10;

}  // namespace sim::rec
