// Saltwind Dunes (area 31): past the dunes' end a great seesaw takes the hero; a log drops on its other end,
// throws him up, and once it has settled the plank and bubbles subgame begins.
#include <algorithm>
#include <cstdlib>

#include "sim/areas/set_pieces.h"
#include "sim/cartridge.h"
#include "sim/core/animation.h"
#include "sim/hero/hero.h"

namespace sim::areas {

namespace {

constexpr std::int64_t kSeaMusic = 9, kSea = 2;
constexpr std::int64_t kGravity = 0x4000, kFallMax = 0x38000, kBounce = -0x20000;
constexpr std::int64_t kLogFrame = 0;

// scripted_obj: x and y (16.16), vx, vy, then the phase and counter words.
std::int64_t longAt(const GameState& s, std::size_t at) {
  return static_cast<std::int32_t>(be::longWord(s.scripted_obj, at));
}
void setLong(GameState& s, std::size_t at, std::int64_t v) {
  be::setLongWord(s.scripted_obj, at, static_cast<std::uint32_t>(v));
}

void takeHero(Context& c) {
  GameState& s = c.state;
  if (s.jump != 0) {
    s.x = withWhole(s.x, 1157);
    return;
  }
  if (s.settled == 0) return;
  s.flag_82bf = 255;
  hero::setHeroAnimation(c, cart::kSeqStand);
  setLong(s, 0, 1100 * 0x10000);
  setLong(s, 4, -50 * 0x10000);
  setLong(s, 8, 0x8000);
  setLong(s, 12, 0x8000);
  be::setWord(s.scripted_obj, 16, 0);
  be::setWord(s.scripted_obj, 18, 0);
  restartRecord(s.anim_8186);
  s.flag_82f2 = 255;
}

void throwHero(GameState& s) {
  s.vy = -0x14000;
  s.jump = 0;
  s.air = 1;
  s.settled = 0;
  s.fall_max = 120;
  s.flag_82bf = 0;
  s.x &= ~std::int64_t{0xFFFF};
  s.y &= ~std::int64_t{0xFFFF};
  s.speed_r = 0;
}

void logFalls(Context& c) {
  static const std::vector<std::uint16_t> kTumble = {8, 0, 4, 5, 6};
  GameState& s = c.state;
  if (s.music != kSeaMusic) requestMusic(c, kSeaMusic);
  const std::int64_t x = longAt(s, 0) + longAt(s, 8);
  const std::int64_t vy = std::min(longAt(s, 12) + kGravity, kFallMax);
  std::int64_t y = static_cast<std::int32_t>(longAt(s, 4) + vy);
  setLong(s, 0, x);
  setLong(s, 12, vy);
  std::int64_t phase = be::word(s.scripted_obj, 16);
  if (static_cast<std::int16_t>(y >> 16) > 24) {
    y = withWhole(y, 25);
    if (phase == 0) {
      setLong(s, 12, kBounce);
      phase = 1;
      throwHero(s);
    } else if (phase == 1) {
      phase = 2;
      setLong(s, 8, 0);
    }
  }
  setLong(s, 4, y);
  be::setWord(s.scripted_obj, 16, phase);
  if (phase == 2) {
    const std::int64_t counter = be::word(s.scripted_obj, 18) + 1;
    be::setWord(s.scripted_obj, 18, counter);
    if (counter == 70) enterSubgame(c, kSea);
  }
  const std::int64_t frame = stepProgramSequence(c, s.anim_8186, 0, kTumble);
  scenery(c, static_cast<std::int16_t>(x >> 16), static_cast<std::int16_t>(y >> 16), kLogFrame + frame, 0, 0);
}

}  // namespace

void dunesCatapult(Context& c) {
  GameState& s = c.state;
  if (s.flag_82f2 == 0 && heroX(s) > 1156) takeHero(c);
  if (s.flag_82f2 != 0) logFalls(c);
}

}  // namespace sim::areas
