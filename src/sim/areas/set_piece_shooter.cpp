// Mossgate Thicket (area 16): the spider that hangs over the way east and spits at the hero until he has
// got past it, and the cart at the thicket's west end that rolls down into the mine.
#include <algorithm>
#include <cstdlib>

#include "sim/areas/set_pieces.h"
#include "sim/core/animation.h"
#include "sim/core/records.h"
#include "sim/hero/hero.h"
#include "sim/rom_view.h"

namespace sim::areas {

namespace {

constexpr std::uint32_t kSwing = 0x014C20, kAims = 0x007956, kSpit = 0x007878, kCartRolls = 0x007C56;
constexpr std::int64_t kPivotX = 1649, kPivotY = 62;
constexpr std::int64_t kEffectSpit = 15, kMinecart = 4;
constexpr std::int64_t kSpiderFrame = 0, kShotFrame = 4, kCartFrame = 5;
constexpr std::uint32_t kThreadFrame = 1;                    // the common rope knot
constexpr std::size_t kSpiderKeeper = 6, kSecondKeeper = 7;  // item_flags bytes of objects 48 and 58
// a16's words.
constexpr std::size_t kAngle = 0, kLength = 2, kActive = 4, kFire = 6, kTarget = 8, kAim = 10;
// A shot: active word, x, y, vx, vy (16.16).
constexpr std::size_t kShotX = 2, kShotY = 6, kShotVx = 10, kShotVy = 14;

std::int64_t word(const GameState& s, std::size_t at) {
  return be::word(s.a16, at);
}
void setWord(GameState& s, std::size_t at, std::int64_t v) {
  be::setWord(s.a16, at, v);
}
std::int64_t towards(std::int64_t v, std::int64_t target, std::int64_t step) {
  return v < target ? std::min(v + step, target) : std::max(v - step, target);
}

// The thread's points from the pivot to the spider (the first point is the spider's end).
void thread(Context& c) {
  GameState& s = c.state;
  const std::uint32_t v = static_cast<std::uint32_t>(word(s, kAngle) >> 1) & 0x3FE;
  const std::int64_t cx = c.rom.signedWordAt(kSwing + v), cy = c.rom.signedWordAt(kSwing + ((v - 256) & 0x3FE));
  const std::int64_t length = word(s, kLength);
  for (std::size_t i = 0; i < 4; ++i) {
    const std::int64_t d = length * (4 - static_cast<std::int64_t>(i)) / 4;
    const std::int64_t x = kPivotX + ((d * cx) >> 13), y = kPivotY + ((d * cy) >> 13);
    be::setWord(s.rope_pts, 4 * i, x);
    be::setWord(s.rope_pts, 4 * i + 2, y);
    const std::int64_t sx = x - 4 - s.camera_x;
    if (i > 0 && sx > -8 && sx < 320)
      addSprite(c, static_cast<std::uint32_t>(sx + 128), static_cast<std::uint32_t>(y + 124) & 0xFFFF, kThreadFrame, 0,
                0x005BA6);
  }
}

void shoot(Context& c, std::int64_t tx, std::int64_t ty) {
  GameState& s = c.state;
  for (std::size_t k = 0; k < rec::kShotSlots; ++k) {
    const std::size_t at = rec::kShotSize * k;
    if (be::word(s.shots, at) != 0) continue;
    const std::int64_t sx = be::word(s.rope_pts, 0) - 4, sy = be::word(s.rope_pts, 2) + 19;
    const std::int64_t dx = tx - sx, dy = ty - sy;
    const std::int64_t d = std::max(std::abs(dx), std::abs(dy));
    std::int64_t vx = 0, vy = 0x10000;
    if (d != 0) {
      const std::int64_t q = 0x28000 / d;
      const std::int64_t k16 = q > 0x7FFF ? -0x8000 : q;
      vx = dx * k16;
      vy = dy * k16;
    }
    be::setWord(s.shots, at, 1);
    be::setLongWord(s.shots, at + kShotX, static_cast<std::uint32_t>(sx << 16));
    be::setLongWord(s.shots, at + kShotY, static_cast<std::uint32_t>(sy << 16));
    be::setLongWord(s.shots, at + kShotVx, static_cast<std::uint32_t>(vx));
    be::setLongWord(s.shots, at + kShotVy, static_cast<std::uint32_t>(vy));
    return;
  }
}

void aim(Context& c) {
  GameState& s = c.state;
  if (word(s, kAim) > 0) {
    setWord(s, kAim, word(s, kAim) - 1);
    return;
  }
  const std::int64_t target = word(s, kTarget);
  setWord(s, kAngle, towards(word(s, kAngle), target, 8));
  if (word(s, kAngle) != target) return;
  std::int64_t next = target;
  while (next == target) next = c.rom.signedWordAt(kAims + 2 * static_cast<std::uint32_t>(random(c, 127) & 3));
  setWord(s, kTarget, next);
  setWord(s, kAim, (random(c, 127) & 31) + 10);
}

void fire(Context& c) {
  GameState& s = c.state;
  const std::int64_t timer = word(s, kFire) - 1;
  setWord(s, kFire, std::max<std::int64_t>(timer, 0));
  if (timer > 0) return;
  const std::int64_t X = heroX(s), Y = heroY(s);
  shoot(c, 1600, 170);
  const std::int64_t tx = X < 1621 ? X + 10 : (random(c, 127) & 31) | 1600;
  const std::int64_t ty = Y > 111 ? Y + 4 : (random(c, 127) & 31) + 116;
  shoot(c, tx, ty);
  requestEffect(c, kEffectSpit);
  setWord(s, kFire, (random(c, 127) & 15) + 7);
}

void spider(Context& c) {
  GameState& s = c.state;
  const std::int64_t X = heroX(s);
  if (s.flag_8301 == 0 && X > 1680) s.flag_8301 = 255;
  const bool first = s.item_flags[kSpiderKeeper] != 0, second = s.item_flags[kSecondKeeper] != 0;
  const bool active = s.flag_8301 == 0 ? X >= 1556 && !first : first || second;
  setWord(s, kActive, active ? 1 : 0);
  std::int64_t frame;
  if (!active) {
    frame = X >= 1546 || word(s, kLength) > 4 ? 1 : 0;
    be::setWord(s.a16_anim, 0, frame);
    setWord(s, kLength, towards(word(s, kLength), X >= 1546 ? 14 : 1, 1));
  } else {
    frame = stepAnimation(c, s.a16_anim, 0, kSpit);
    setWord(s, kLength, towards(word(s, kLength), 29, 2));
    aim(c);
  }
  thread(c);
  if (active) fire(c);
  scenery(c, be::word(s.rope_pts, 0) - 8, be::word(s.rope_pts, 2), kSpiderFrame + frame, 0, 0);
}

void shots(Context& c) {
  GameState& s = c.state;
  const std::int64_t X = heroX(s), Y = heroY(s);
  for (std::size_t k = 0; k < rec::kShotSlots; ++k) {
    const std::size_t at = rec::kShotSize * k;
    if (be::word(s.shots, at) == 0) continue;
    const std::int64_t x =
        static_cast<std::int32_t>(be::longWord(s.shots, at + kShotX) + be::longWord(s.shots, at + kShotVx));
    const std::int64_t y =
        static_cast<std::int32_t>(be::longWord(s.shots, at + kShotY) + be::longWord(s.shots, at + kShotVy));
    be::setLongWord(s.shots, at + kShotX, static_cast<std::uint32_t>(x));
    be::setLongWord(s.shots, at + kShotY, static_cast<std::uint32_t>(y));
    const std::int64_t px = static_cast<std::int16_t>(x >> 16), py = static_cast<std::int16_t>(y >> 16);
    if (static_cast<std::uint16_t>(px - s.camera_x + 16) > 335 || py > 191) {
      be::setWord(s.shots, at, 0);
      continue;
    }
    scenery(c, px, py, kShotFrame, 0, 0);
    if (s.dying != 0 || !(px + 2 < X + 18 && X < px + 14 && py + 2 < Y + 20 && Y < py + 14)) continue;
    s.restart_x = s.flag_8301 != 0 ? 1670 : 1427;
    s.restart_y = 136;
    s.restart_area = 16;
    if ((c.cheats & kCheatNoDamage) == 0) s.dying = 1;
  }
  if (s.dying != 0) hero::addDamage(c, 0x20000, false);
}

// a16_exit: x word, y (16.16) at 4, an animation record at 8.
void cart(Context& c) {
  GameState& s = c.state;
  auto& r = s.a16_exit;
  if (s.flag_82f3 == 0 && heroX(s) <= 125) {
    s.flag_82f3 = 255;
    s.x = static_cast<std::int32_t>(s.x - 0x200000);
    s.flag_82bf = 255;
  }
  std::int64_t frame = recordFrame(r, 8);
  if (s.flag_82f3 != 0) {
    be::setWord(r, 0, be::word(r, 0) - 1);
    be::setLongWord(r, 4, be::longWord(r, 4) + 0x8000u);
    frame = stepAnimation(c, r, 8, kCartRolls);
    if (static_cast<std::int16_t>(be::longWord(r, 4) >> 16) > 114) enterSubgame(c, kMinecart);
  }
  scenery(c, be::word(r, 0), static_cast<std::int16_t>(be::longWord(r, 4) >> 16), kCartFrame + frame, 0, 0);
}

}  // namespace

void thicketShooter(Context& c) {
  spider(c);
  shots(c);
  cart(c);
}

}  // namespace sim::areas
