// The hero's walking, jumping and falling against the area's collision map.
#include "sim/hero/hero_motion.h"

#include <algorithm>

#include "sim/core/big_endian.h"
#include "sim/core/records.h"
#include "sim/hero/hero.h"
#include "sim/rom_view.h"

namespace sim::hero {

namespace {

// Walking speed by run index: 1 to 2 pixels per frame in eighths. The index
// grows by one each frame of a run, so the top speed is reached on the ninth.
constexpr std::int64_t kWalkSpeeds[10] = {0,       0x10000, 0x12000, 0x14000, 0x16000,
                                          0x18000, 0x1A000, 0x1C000, 0x1E000, 0x20000};

constexpr std::int64_t kGravity = 0x3B00;
constexpr std::int64_t kTopFallSpeed = 0x40000;
constexpr std::int64_t kTopSinkSpeed = 0x18000;  // in water
constexpr std::int64_t kJumpSpeed = -0x3F000;
constexpr std::int64_t kSpringJumpSpeed = -0x47000;
constexpr std::int64_t kSinkingJumpExtra = -0x4000;
constexpr std::int64_t kStrokeSpeed = -0x30000;

// Lift records in RAM from FFA278; lift_near holds the low word.
constexpr std::int64_t kLiftSize = rec::kLiftSize;

constexpr std::uint32_t kPlatformRamBase = 0xFF9F0C;
constexpr std::uint32_t kRomEnd = 0x80000;

}  // namespace

int Motion::liftIndex(const GameState& s) {
  if (s.lift_near == 0) return -1;
  const std::int64_t offset = (s.lift_near & 0xFFFF) - rec::kLiftRam;
  if (offset < 0 || offset % kLiftSize != 0) return -1;
  const std::int64_t k = offset / kLiftSize;
  if (static_cast<std::size_t>(k + 1) * kLiftSize > s.lifts.size()) return -1;
  return static_cast<int>(k);
}

std::int64_t Motion::liftWord(const GameState& s, int lift, std::size_t at) {
  return be::word(s.lifts, static_cast<std::size_t>(lift) * rec::kLiftSize + at);
}

bool Motion::onStandingLift(const GameState& s) {
  const int k = liftIndex(s);
  return k >= 0 && liftWord(s, k, rec::kLiftStanding) != 0;
}

bool Motion::onMovingLift(const GameState& s) {
  const int k = liftIndex(s);
  return k >= 0 && liftWord(s, k, rec::kLiftStanding) != 0 && liftWord(s, k, rec::kLiftSpeed) != 0;
}

// --- the two control modes ---

void Motion::walkingMode() {
  s_.surfaced = s_.stroke_ready = s_.stroke_stand = 0;
  if (s_.dying >= 2) {
    deathStep();
    return;
  }
  if (s_.stun > 0) {
    s_.stun -= 1;  // stunned: no control, not even gravity
  } else {
    walkingInput();
    horizontalMove();
    jumpStart();
    fallStep();
    ceilingCheck();
  }
  platforms();
  landingAndJumpEnd();
  if (s_.dying == 1) {
    if (s_.hazard_hit != 0) {
      setHeroAnimation(c_, kSeqDieByHazard);
      s_.dying = 2;
    } else if (inWater()) {
      setHeroAnimation(c_, kSeqDrown);
      s_.dying = 2;
    } else if (s_.settled != 0) {
      // A hero killed in the air falls on and dies once he lands.
      setHeroAnimation(c_, kSeqDieOnLand);
      s_.dying = 2;
    }
  }
}

void Motion::swimmingMode() {
  s_.jump = 0;
  s_.stroke_stand = 0;
  if (s_.dying > 1) {
    deathStep();
    return;
  }
  walkingInput();
  horizontalMove();
  if (s_.lock == 0) {
    if ((pad_ & kPadC) != 0) {
      if (s_.stroke_ready != 0) {
        const bool standing = s_.settled != 0 || s_.on_object != 0;
        s_.stroke_stand = standing ? 1 : 0;
        std::uint32_t sequence = 0;
        if ((pad_ & kPadLeft) != 0) {
          s_.dx = -1;
          sequence = kSeqStrokeLeft;
        } else if ((pad_ & kPadRight) != 0) {
          s_.dx = 1;
          sequence = kSeqStrokeRight;
        } else if (standing) {
          // Pushing off the bottom straight up.
          s_.dx = 0;
          sequence = kSeqStand;
        }
        if (sequence != 0) {
          s_.stroke_ready = 0;
          s_.settled = 0;
          s_.fall_max = 0;
          s_.vy = kStrokeSpeed;
          if (s_.anim != sequence) setHeroAnimation(c_, sequence);
        }
      }
    } else {
      s_.stroke_ready = 1;  // one stroke per press of C
    }
  }
  fallStep();
  ceilingCheck();
  // The surface holds a swimmer under it unless he pushed off from the bottom.
  const std::int64_t surface = s_.water_surface;
  if (s_.surfaced == 0 && surface != 0 && s_.vy < 0 && intPart(s_.y) < surface - 8) {
    if (s_.stroke_stand != 0) {
      s_.surfaced = 1;
    } else {
      s_.y = withIntPart(s_.y, surface - 8);
      s_.vy &= 0xFFFF;
    }
  }
  platforms();
  landingAndJumpEnd();
  if (s_.dying == 1) {
    s_.dying = 2;
    setHeroAnimation(c_, kSeqDrown);
  }
}

void Motion::landingAndJumpEnd() {
  landingCheck();
  jumpEndCheck();
  if (s_.fast != 0) {
    landingCheck();
    jumpEndCheck();
  }
}

// --- walking ---

void Motion::walkingInput() {
  if (s_.lock != 0) return;
  if (s_.jump != 0) {
    if (s_.jump == 2) step(-1);
    if (s_.jump == 3) step(1);
    return;
  }
  if (s_.air != 0) {
    if (s_.dx < 0) step(-1);
    if (s_.dx > 0) step(1);
    return;
  }
  auto walkAnimation = [&](std::uint32_t sequence) {
    if (s_.anim != sequence) setHeroAnimation(c_, sequence);
  };
  if ((pad_ & kPadLeft) != 0) {
    walkAnimation(kSeqWalkLeft);
    step(-1);
  } else if ((pad_ & kPadRight) == 0) {
    walkAnimation(kSeqStand);
    s_.dx = s_.fast = s_.speed_r = s_.speed_l = 0;
    s_.x = withoutFraction(s_.x);
  } else {
    walkAnimation(kSeqWalkRight);
    step(1);
  }
}

void Motion::step(int direction) {
  std::int64_t& run = direction < 0 ? s_.speed_l : s_.speed_r;
  const std::int64_t index = std::min<std::int64_t>(run + 1, 9);
  run = index;
  (direction < 0 ? s_.speed_r : s_.speed_l) = 0;
  s_.dx = 0;
  s_.fast = 0;
  s_.x_next = wrap32(s_.x + direction * kWalkSpeeds[index]);
  const std::int64_t moved = static_cast<std::int16_t>(intPart(s_.x_next) - intPart(s_.x));
  if (moved != 0) {
    s_.dx = moved;
    s_.fast = (moved == 1 || moved == -1) ? 0 : 1;
  }
  s_.settled = 0;
}

void Motion::horizontalMove() {
  // Departure: the console keeps dx in a word and probes that many pixels; a
  // state loaded from a file may hold a wider value, which would loop for
  // ages here, so only its low word counts, as the console would read it.
  const std::int64_t d = static_cast<std::int16_t>(s_.dx);
  if (d == 0) return;
  const std::int64_t unit = d > 0 ? 1 : -1;
  const std::int64_t row = intPart(s_.y) + 10;
  const std::int64_t startX = intPart(s_.x);
  std::int64_t column = startX + (d > 0 ? 18 : 6);
  const std::int64_t count = d > 0 ? d : -d;
  for (std::int64_t passed = 0; passed < count; ++passed) {
    column += unit;
    if (row < 192 && solid(c_, column, row)) {
      s_.x = withIntPart(s_.x, startX + unit * passed);
      return;
    }
  }
  s_.x = s_.x_next;
}

// --- jumping and falling ---

void Motion::jumpStart() {
  if (s_.lock != 0 || s_.jump != 0 || s_.air != 0 || (pad_ & kPadC) == 0) return;
  // In a lift's basket the hero somersaults where he stands.
  if (!onStandingLift(s_)) {
    s_.vy = (s_.area == 8 && s_.spring != 0 && s_.dx < 0) ? kSpringJumpSpeed : kJumpSpeed;
    if (s_.sinking != 0) s_.vy += kSinkingJumpExtra;
  }
  s_.jump = 1;
  s_.settled = 0;
  s_.fall_max = 0;
  std::uint32_t sequence = inWater() ? kSeqJumpUpInWater : kSeqJumpUp;
  if (s_.dx < 0) {
    s_.jump = 2;
    sequence = kSeqJumpLeft;
  } else if (s_.dx > 0) {
    s_.jump = 3;
    sequence = kSeqJumpRight;
  }
  setHeroAnimation(c_, sequence);
}

void Motion::fallStep() {
  s_.y_prev = intPart(s_.y);
  if (s_.settled != 0) {
    // Giving ground lets a standing hero sink slowly.
    if (s_.sinking != 0) {
      s_.settled = 0;
      s_.y = wrap32(s_.y + 0x2000);
    }
    return;
  }
  const std::int64_t v = s_.vy + kGravity;
  if (inWater()) {
    s_.fall_max = 0;
    s_.air = 1;
    s_.vy = std::min(v, kTopSinkSpeed);
    s_.y = wrap32(s_.y + s_.vy);
    return;
  }
  if (v >= kTopFallSpeed) {
    s_.fall_max += 1;
    s_.vy = kTopFallSpeed;
  } else {
    s_.vy = v;
  }
  s_.y = wrap32(s_.y + s_.vy);
  s_.settled = 0;
  s_.air = 1;
}

void Motion::ceilingCheck() {
  if (s_.vy >= 0) return;
  const std::int64_t minY = c_.areaCache.minY;
  if (minY != 0) {
    if (intPart(s_.y) < minY) s_.y = withIntPart(s_.y, minY);
    return;
  }
  const std::int64_t start = s_.y_prev;
  const std::int64_t risen = static_cast<std::int16_t>(start - intPart(s_.y));
  if (risen == 0) return;
  // Rise again pixel by pixel from where the frame began, stopping under the
  // first solid row; vy is kept, so gravity turns the hero in its own time.
  const std::int64_t X = intPart(s_.x);
  std::int64_t row = start;
  std::int64_t free = 0;
  for (std::int64_t i = 0; i < risen; ++i) {
    --row;
    if (solid(c_, X + 6, row) || solid(c_, X + 14, row) || solid(c_, X + 18, row)) break;
    ++free;
  }
  s_.y = withIntPart(s_.y, start - free);
}

void Motion::landingCheck() {
  if (s_.vy < 0) return;
  const std::int64_t X = intPart(s_.x), feet = intPart(s_.y) + 23;
  if (!solid(c_, X + 6, feet) && !solid(c_, X + 18, feet) && s_.on_object == 0) return;
  s_.vy = 0;
  s_.air = 0;
  s_.settled = 1;
  if (s_.sinking == 0) {
    s_.y = withoutFraction(s_.y);
    // Feet inside the ground: climb out one pixel per frame.
    if (s_.on_object == 0) s_.y = wrap32(s_.y - 0x10000);
  }
  if (s_.jump == 0) {
    if (s_.fall_max > kHardLandingFrames) {
      setHeroAnimation(c_, kSeqStunned);
      s_.stun = kStunFrames;
    }
    s_.fall_max = 0;
  }
  if (s_.on_object != 0) s_.settled = 0;
}

void Motion::jumpEndCheck() {
  if (!onStandingLift(s_) && s_.on_object == 0 && s_.settled == 0) return;
  if (s_.jump == 0) return;
  const std::int64_t endFrame = s_.jump == 1 ? kStraightJumpEndFrame : kSideJumpEndFrame;
  if ((s_.sprite_frame & 0x7F) != endFrame) return;
  if (s_.fall_max > kHardLandingFrames) {
    s_.fall_max = 0;
    setHeroAnimation(c_, kSeqStunned);
    s_.stun = kStunFrames;
  }
  s_.jump = 0;
}

// Platforms offered this frame (by the area handler and the actors of the
// previous frame): the hero stands on one when his feet row lies inside it.
void Motion::platforms() {
  s_.on_object = 0;
  const std::int64_t X = intPart(s_.x), feet = intPart(s_.y) + 23;
  const RomView& rom = c_.rom;
  for (std::size_t i = 0; i + 3 < s_.platforms.size(); i += 4) {
    const std::uint32_t address = be::longWord(s_.platforms, i);
    if (address == 0) break;
    std::int64_t w[6];
    if (address < kRomEnd) {
      for (int k = 0; k < 6; ++k) w[k] = rom.signedWordAt(address + 2 * static_cast<std::uint32_t>(k));
    } else {
      const std::int64_t index = static_cast<std::int64_t>(address & 0xFFFFFF) - kPlatformRamBase;
      if (index < 0 || static_cast<std::size_t>(index) + 12 > s_.platform_recs.size())
        stopWith(c_, "a platform record outside FF9F0C");
      for (int k = 0; k < 6; ++k) w[k] = be::word(s_.platform_recs, static_cast<std::size_t>(index) + 2 * k);
    }
    const std::int64_t id = w[0], left = w[5] + w[1], top = w[2], width = w[3], height = w[4];
    if (left < X + 18 && X + 6 < left + width && top < feet && feet < top + height) s_.on_object = id;
  }
}

// --- death ---

void Motion::deathStep() {
  if (s_.hazard_hit != 0) {
    if (s_.death_timer == 0) s_.death_timer = 120;
    return;
  }
  if (!inWater()) {
    // The hero stays where he stands; the timer starts once he has fallen.
    landingCheck();
    jumpEndCheck();
    if (s_.sprite_frame == kLandDeathFrame && s_.death_timer == 0) s_.death_timer = 100;
    return;
  }
  // A drowned hero floats up to float_y, or until something is above him.
  const std::int64_t X = intPart(s_.x), above = intPart(s_.y) - 1;
  if (!solid(c_, X + 6, above) && !solid(c_, X + 14, above) && !solid(c_, X + 18, above)) {
    s_.y = wrap32(s_.y - 0x10000);
    if (intPart(s_.y) > s_.float_y) return;
    s_.y = withIntPart(s_.y, s_.float_y);
  }
  if (s_.death_timer == 0) s_.death_timer = 120;
}

}  // namespace sim::hero
