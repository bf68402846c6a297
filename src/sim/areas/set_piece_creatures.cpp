// Grain Store (area 9): the rat that drops from its perch over the spikes (its back, once down, is a way
// over them) and the dog that charges the hero from the west until a meaty bone draws it off.
#include "sim/areas/set_pieces.h"
#include "sim/cartridge.h"
#include "sim/core/animation.h"
#include "sim/hero/hero.h"

namespace sim::areas {

namespace {

constexpr std::uint32_t kDropping = 0x006A74, kClimbing = 0x006A82;
constexpr std::int64_t kRatFrame = 19, kDogFrame = 28;  // past the bats' frames (+3 to +18)
// The area9 record's fields.
constexpr std::size_t kX = 0, kY = 4, kSpeed = 8, kState = 12, kTimer = 14, kAnim = 16, kIndex = 20, kCx = 22, kCy = 24,
                      kFacing = 26, kCstate = 28;

struct Record {
  std::vector<std::uint8_t>& r;
  std::int64_t get(std::size_t at) const { return be::word(r, at); }
  void set(std::size_t at, std::int64_t v) { be::setWord(r, at, v); }
  std::int64_t lng(std::size_t at) const { return static_cast<std::int32_t>(be::longWord(r, at)); }
  void setLong(std::size_t at, std::int64_t v) { be::setLongWord(r, at, static_cast<std::uint32_t>(v)); }
  std::int64_t whole(std::size_t at) const { return static_cast<std::int16_t>(lng(at) >> 16); }
};

// Falls one frame, faster each frame up to a pixel a frame.
void fall(Record& a) {
  std::int64_t speed = a.lng(kSpeed) + 512;
  if (speed >= 65025) speed = 0x10000;
  a.setLong(kSpeed, speed);
  a.setLong(kY, a.lng(kY) + speed);
}

void rat(Context& c, Record& a) {
  const std::int64_t state = a.get(kState);
  if (state == 0 || state == 2) {
    a.set(kTimer, a.get(kTimer) - 1);
    if (a.get(kTimer) > 0) return;
    a.set(kState, state + 1);
    a.setLong(kSpeed, 0);
    a.set(kAnim + 2, 0);
    a.set(kIndex, -1);
    return;
  }
  if (state == 1) {
    if (stepAnimation(c, a.r, kAnim, kDropping) <= 1) return;
    fall(a);
    if (a.whole(kY) > 128) a.set(kAnim, 2);
    if (a.whole(kY) > 131) {
      a.setLong(kY, 131 << 16);
      a.set(kState, 2);
      a.set(kTimer, 60);
    }
    return;
  }
  if (state != 3) return;
  const std::size_t p = platformRecord(kPlatformDropper);
  be::setWord(c.state.platform_recs, p + 4, a.whole(kY));
  offerPlatform(c, kPlatformDropper);
  if (stepAnimation(c, a.r, kAnim, kClimbing) != 8) return;
  fall(a);
  if (a.whole(kY) <= 190) return;
  a.set(kTimer, 20);
  a.set(kState, 0);
  a.setLong(kX, 430 << 16);
  a.setLong(kY, 67 << 16);
  a.setLong(kSpeed, 0);
}

void knockedBack(Context& c) {
  GameState& s = c.state;
  if (s.lock != 0 || s.stun != 0 || s.dying != 0) return;
  s.vy = -0x3F000;
  s.jump = 3;
  s.settled = 0;
  s.fall_max = 42;
  hero::setHeroAnimation(c, cart::kSeqJumpRight);
  requestEffect(c, 4);
  s.energy_ramp = 0x801E;
  s.damage_show = 120;
  s.restart_x = 1300;
  s.restart_y = 56;
  s.restart_area = 9;
}

void dog(Context& c, Record& a) {
  GameState& s = c.state;
  const std::int64_t X = heroX(s);
  const std::int64_t cstate = a.get(kCstate);
  if (cstate == 0 && X <= 1179) {
    a.set(kFacing, 0);
    a.set(kCx, 876);
    a.set(kCy, 104);
    restartRecord(s.a9_canim);
    a.set(kCstate, 1);
  } else if (cstate == 1) {
    a.set(kCx, a.get(kCx) + 2);
    if (X < a.get(kCx) + 38) {
      knockedBack(c);
      a.set(kFacing, 1);
      a.set(kCstate, 2);
    } else if (a.get(kCx) > 1200) {
      a.set(kCx, 1200);
      a.set(kFacing, 1);
      a.set(kCstate, 2);
    }
  } else if (cstate == 2) {
    a.set(kCx, a.get(kCx) - 2);
    if (s.flag_82c5 == 0 && a.get(kCx) < 876) {
      a.set(kCx, 876);
      a.set(kFacing, 0);
      a.set(kCstate, X >= 1180 ? 0 : 1);
    } else if (s.flag_82c5 != 0 && a.get(kCx) < be::word(s.arc, 8)) {
      a.set(kCstate, 3);
      s.flag_82bf = 0;
    }
  }
}

void draw(Context& c, Record& a, bool step) {
  static const std::vector<std::uint16_t> kRun = {4, 0, 0, 1, 2, 3, 4};
  GameState& s = c.state;
  const std::int64_t state = a.get(kState);
  if ((state == 1 || state == 3) && a.get(kIndex) >= 0)
    scenery(c, a.whole(kX), a.whole(kY), kRatFrame + a.get(kAnim), 0, 0);
  const std::int64_t cstate = a.get(kCstate);
  if (cstate == 0 || cstate == 3) return;
  const std::int64_t frame = step ? stepProgramSequence(c, s.a9_canim, 0, kRun) : recordFrame(s.a9_canim);
  scenery(c, a.get(kCx), a.get(kCy), kDogFrame + frame, a.get(kFacing) != 0 ? kMirrored : 0, 0);
}

}  // namespace

void storeCreatures(Context& c) {
  GameState& s = c.state;
  Record a{s.area9};
  if (s.flag_82c4 != 0 && flyArc(c, s.w822c)) s.flag_82c4 = 0;
  if (a.get(kCstate) != 3 && heroX(s) < 512) s.flag_8300 = 255;
  const bool still = s.flag_8300 != 0;
  if (!still) {
    if (heroInside(s, {220, 0, 450, 190})) {
      hazardRecord(c, 0x00365C);
      rat(c, a);
    }
    dog(c, a);
  }
  draw(c, a, !still);
}

}  // namespace sim::areas
