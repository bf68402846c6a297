// Lifts: baskets hanging on ropes that carry the hero up and down, follow him when idle and take his B press.
#include <algorithm>
#include <cstdint>

#include "sim/cartridge.h"
#include "sim/core/big_endian.h"
#include "sim/core/records.h"
#include "sim/hero/hero.h"
#include "sim/hero/hero_motion.h"
#include "sim/things/things.h"

namespace sim::things {

namespace {

constexpr std::uint32_t kCallerLift = 0x0065B4;  // the lift table the drawing belongs to
constexpr std::uint32_t kFrameBasket = 79;
constexpr std::uint32_t kFrameRope = 80;
constexpr std::int64_t kEffectLiftStart = 14;
constexpr std::int64_t kEffectLiftStop = 23;

// Word offsets of a lift record.
enum Field : std::size_t {
  kActive = 0,
  kX = 2,
  kY = 4,
  kRopeMin = 6,
  kRopeMax = 8,
  kRope = 10,
  kSpeed = rec::kLiftSpeed,
  kCentred = 14,
  kStanding = rec::kLiftStanding
};

struct Lift {
  GameState& s;
  std::size_t base;
  std::int64_t get(Field f) const { return be::word(s.lifts, base + f); }
  void set(Field f, std::int64_t v) { be::setWord(s.lifts, base + f, v); }
};

bool validLift(const GameState& s, int k) {
  return k >= 0 && static_cast<std::size_t>(k + 1) * rec::kLiftSize <= s.lifts.size();
}

void drawLift(Context& c, const Lift& l) {
  const std::int64_t sx = l.get(kX) - c.state.camera_x + 128;
  const std::int64_t rope = l.get(kRope);
  addSprite(c, static_cast<std::uint32_t>(sx), static_cast<std::uint32_t>(l.get(kY) + rope + 128), kFrameBasket, 0,
            kCallerLift);
  const std::int64_t pieces = (rope >> 3) + 1;
  for (std::int64_t i = 0; i < pieces; ++i)
    addSprite(c, static_cast<std::uint32_t>(sx + 8), static_cast<std::uint32_t>(l.get(kY) + 121 + (rope & 7) + 8 * i),
              kFrameRope, 0, kCallerLift);
}

// The hero lands in the basket when he comes down onto its top; centred when he is over its middle.
void landing(Context& c, Lift& l) {
  GameState& s = c.state;
  l.set(kStanding, 0);
  l.set(kCentred, 0);
  const std::int64_t hx = s.x >> 16, hy = s.y >> 16;
  const std::int64_t x = l.get(kX), bottom = l.get(kY) + l.get(kRope);
  const std::int64_t top = bottom + 29;
  if (s.vy < 0 || !(x + 2 < hx + 18 && hx < x + 14) || !(top < hy + 20 && hy + 18 < bottom + 36)) return;
  s.vy = 0;
  s.air = 0;
  s.settled = 1;
  s.y = (bottom << 16) + 0xAFFFF;
  l.set(kStanding, 1);
  if (x + 8 < hx + 18 && hx < x + 10) l.set(kCentred, 1);
}

// An idle lift comes toward the hero when he is well below or above the basket.
void follow(Context& c, Lift& l) {
  const std::int64_t hy = c.state.y >> 16, bottom = l.get(kY) + l.get(kRope);
  if (bottom + 60 < hy && l.get(kRope) != l.get(kRopeMax)) {
    l.set(kSpeed, 3);
    requestEffect(c, kEffectLiftStart);
  } else if (hy < std::max<std::int64_t>(0, bottom - 50) && l.get(kRope) != l.get(kRopeMin)) {
    l.set(kSpeed, -3);
    requestEffect(c, kEffectLiftStart);
  }
}

void move(Context& c, Lift& l) {
  const std::int64_t speed = l.get(kSpeed);
  const std::int64_t rope = l.get(kRope) + speed;
  const std::int64_t target = speed < 0 ? l.get(kRopeMin) : l.get(kRopeMax);
  l.set(kRope, rope);
  if (speed < 0 ? rope < target : rope > target) {
    l.set(kRope, target);
    l.set(kSpeed, 0);
    requestEffect(c, kEffectLiftStop);
  } else if (l.get(kStanding) != 0) {
    c.state.expression = 1;
    c.state.y += speed << 16;
  }
}

}  // namespace

// 0x0065B4 table: one lift's step, run by the handler of its area every frame.
void lift(Context& c, int k) {
  GameState& s = c.state;
  if (!validLift(s, k)) return;
  Lift l{s, static_cast<std::size_t>(k) * rec::kLiftSize};
  const std::int64_t sx = l.get(kX) - s.camera_x;
  if (sx < -24 || sx > 319) return;
  s.lift_near = static_cast<std::int16_t>(rec::kLiftRam + k * static_cast<std::int64_t>(rec::kLiftSize));
  drawLift(c, l);
  landing(c, l);
  if (l.get(kActive) == 0) return;
  if (l.get(kSpeed) == 0 && l.get(kStanding) == 0) follow(c, l);
  if (l.get(kSpeed) != 0) move(c, l);
}

bool liftTakesB(Context& c) {
  GameState& s = c.state;
  const int k = hero::Motion::liftIndex(s);
  if (k < 0) return false;
  Lift l{s, static_cast<std::size_t>(k) * rec::kLiftSize};
  if (l.get(kActive) == 0 || l.get(kStanding) == 0 || l.get(kCentred) == 0 || l.get(kSpeed) != 0) return false;
  requestEffect(c, kEffectLiftStart);
  l.set(kSpeed, l.get(kRope) == l.get(kRopeMax) ? -1 : 1);
  s.lock = 0;
  hero::setHeroAnimation(c, cart::kSeqStand);
  return true;
}

bool activateLiftByKey(Context& c, int k) {
  if (!validLift(c.state, k)) return false;
  Lift l{c.state, static_cast<std::size_t>(k) * rec::kLiftSize};
  if (l.get(kCentred) == 0) return false;
  l.set(kActive, 1);
  l.set(kSpeed, -1);
  return true;
}

}  // namespace sim::things
