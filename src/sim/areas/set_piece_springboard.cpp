// Ore Chute (area 43): the springboard that throws a standing hero up, and the two places where the
// sceptre is exchanged.
#include "sim/areas/set_pieces.h"
#include "sim/cartridge.h"
#include "sim/hero/hero.h"
#include "sim/pad.h"

namespace sim::areas {

namespace {

constexpr std::int64_t kSpringId = 5;
constexpr std::int64_t kSpringSpeed = -0x60000;
constexpr std::size_t kSpringKeeper = 3;  // item_flags byte of object 50
constexpr std::int64_t kOld = 54, kNew = 55;
constexpr std::uint32_t kExchangeEast = 0x00951C, kExchangeWest = 0x009524;

void springboard(Context& c) {
  GameState& s = c.state;
  const std::uint8_t pad = c.stepPad;
  if ((pad & kPadDown) != 0) return;
  if (s.item_flags[kSpringKeeper] == 0) offerPlatform(c, kPlatformSpring);
  if (s.on_object != kSpringId || s.vy < 0) return;
  s.on_object = 0;
  s.vy = kSpringSpeed;
  s.settled = 0;
  s.fall_max = 0;
  if ((pad & kPadLeft) != 0) {
    s.jump = 2;
    hero::setHeroAnimation(c, cart::kSeqJumpLeft);
  } else if ((pad & kPadRight) != 0) {
    s.jump = 3;
    hero::setHeroAnimation(c, cart::kSeqJumpRight);
  } else {
    s.jump = 1;
    hero::setHeroAnimation(c, cart::kSeqJumpUp);
  }
}

void exchange(Context& c) {
  GameState& s = c.state;
  if (!heroInsideRom(c, kExchangeEast) && !heroInsideRom(c, kExchangeWest)) return;
  for (std::size_t w = 1; w <= 4; ++w) {
    if (be::word(s.inventory, 2 * w) != kOld) continue;
    be::setWord(s.inventory, 2 * w, kNew);
    setObjectArea(s, kOld, 100);
    setObjectArea(s, kNew, -1);
    s.score = (s.score + 100) & 0xFFFF;
    return;
  }
}

}  // namespace

void chuteSpringboard(Context& c) {
  springboard(c);
  exchange(c);
}

}  // namespace sim::areas
