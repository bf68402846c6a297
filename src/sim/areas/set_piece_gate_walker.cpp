// Ashbrook Lane (area 1): the spell that bars the lane's east end (a lamp and a gate of light that rises
// as the hero comes near, until the fairy dust breaks it), and the walker who strolls up and down the lane.
#include <algorithm>
#include <cstdlib>

#include "sim/areas/set_pieces.h"
#include "sim/core/animation.h"
#include "sim/hero/hero.h"

namespace sim::areas {

namespace {

constexpr std::uint32_t kLamp = 0x005FD6, kWalk = 0x006064;
constexpr std::int64_t kLampX = 1288, kLampY = 104, kBarFrame = 6, kWalkerFrame = 10;
constexpr std::size_t kHeight = 6;  // a1_lamp: the gate's height word after the animation record

// a1_walker's words.
constexpr std::size_t kX = 0, kY = 4, kPrevY = 8, kVy = 10, kDirection = 14, kAnim = 16, kLanded = 22, kJumping = 26,
                      kTouch = 28;
constexpr std::int64_t kGravity = 0x3B00, kFallMax = 0x40000, kJump = -0x3F000;
constexpr std::int64_t kWestEnd = 262, kEastEnd = 1720;

void spellBarrier(Context& c) {
  GameState& s = c.state;
  const std::int64_t X = heroX(s), Y = heroY(s);
  if (s.flag_82c8 != 0 || X < 1281 || X > 1307 || Y < 113 || Y > 179) return;
  if (X > 1284) s.x = withWhole(s.x, 1284);
  deathAt(c, 1218, 160, 1, 0x8000);
}

void lampAndGate(Context& c) {
  GameState& s = c.state;
  if (s.camera_x < 961 || s.camera_x > 1320) return;
  auto& lamp = s.a1_lamp;
  std::int64_t h = be::word(lamp, kHeight);
  const std::int64_t X = heroX(s);
  if (s.flag_82c8 != 0) {
    be::setWord(lamp, 0, 5);
    if (h > 0) h -= 1;
  } else if (X < 1197) {
    h = 0;
    if (recordFrame(lamp) == 2)
      restartRecord(lamp);
    else
      stepAnimation(c, lamp, 0, kLamp);
  } else {
    stepAnimation(c, lamp, 0, kLamp);
    h = X < 1210 ? 0 : X < 1282 ? X / 2 - 605 : 35;
  }
  be::setWord(lamp, kHeight, h);
  scenery(c, kLampX, kLampY, recordFrame(lamp), 0, 0);
  if (h == 0) return;
  for (std::int64_t i = 0; i <= (h >> 3); ++i) scenery(c, kLampX, kLampY + 16 + 8 * i, kBarFrame, 0, 0);
}

struct Walker {
  std::vector<std::uint8_t>& r;
  std::int64_t word(std::size_t at) const { return be::word(r, at); }
  void setWord(std::size_t at, std::int64_t v) { be::setWord(r, at, v); }
  std::int64_t lng(std::size_t at) const { return static_cast<std::int32_t>(be::longWord(r, at)); }
  void setLong(std::size_t at, std::int64_t v) { be::setLongWord(r, at, static_cast<std::uint32_t>(v)); }
};

void fallAndLand(Context& c, Walker& w) {
  const std::int64_t x = w.word(kX);
  w.setWord(kPrevY, w.word(kY));
  if (w.word(kLanded) == 0) {
    const std::int64_t vy = std::min(w.lng(kVy) + kGravity, kFallMax);
    w.setLong(kVy, vy);
    w.setLong(kY, static_cast<std::int32_t>(w.lng(kY) + vy));
  }
  const std::int64_t feet = w.word(kY) + 23;
  if (w.lng(kVy) >= 0 && (hero::solid(c, x + 6, feet) || hero::solid(c, x + 18, feet))) {
    w.setLong(kY, (w.word(kY) - 1) * 0x10000);
    w.setLong(kVy, 0);
    w.setWord(kJumping, 0);
    w.setWord(kLanded, 1);
    c.state.flag_82ea = 0;
  }
}

void walk(Context& c, Walker& w) {
  const std::int64_t x = w.word(kX);
  const bool left = w.word(kDirection) != 0;
  if (w.word(kJumping) == 0 && ((x == 1452 && !left) || (x == 1114 && left))) {
    w.setLong(kVy, kJump);
    w.setWord(kJumping, 1);
    w.setWord(kLanded, 0);
  }
  if (c.state.flag_82ea != 0) return;
  std::int64_t next = x + (left ? -1 : 1);
  if (next <= kWestEnd) {
    next = kWestEnd;
    w.setWord(kDirection, 0);
  } else if (next >= kEastEnd) {
    next = kEastEnd;
    w.setWord(kDirection, 1);
  }
  w.setWord(kX, next);
  w.setWord(kLanded, 0);
}

void walker(Context& c) {
  GameState& s = c.state;
  if (s.flag_82eb != 0) return;
  Walker w{s.a1_walker};
  fallAndLand(c, w);
  walk(c, w);
  const std::int64_t x = w.word(kX), y = w.word(kY);
  w.setWord(kTouch, x + 2);
  w.setWord(kTouch + 2, y + 8);
  w.setWord(kTouch + 4, 10);
  w.setWord(kTouch + 6, 10);
  const std::int64_t frame = stepAnimation(c, s.a1_walker, kAnim, kWalk);
  scenery(c, x, y + 8, kWalkerFrame + frame, w.word(kDirection) != 0 ? kMirrored : 0, 0);
}

}  // namespace

void laneGate(Context& c) {
  spellBarrier(c);
  lampAndGate(c);
  walker(c);
}

}  // namespace sim::areas
