// B in a lift: the lift's control.
#include "sim/cartridge.h"
#include "sim/core/big_endian.h"
#include "sim/core/records.h"
#include "sim/hero/hero.h"
#include "sim/hero/hero_motion.h"
#include "sim/things/things.h"

namespace sim::things {

// B with the hero standing in the middle of a still, active lift sends it to its other end.
bool liftTakesB(Context& c) {
  GameState& s = c.state;
  const int k = hero::Motion::liftIndex(s);
  if (k < 0) return false;
  const std::size_t at = rec::kLiftSize * static_cast<std::size_t>(k);
  auto word = [&](std::size_t w) { return be::word(s.lifts, at + 2 * w); };
  // Words: active, x, y, rope_min, rope_max, rope, speed, centred, standing.
  if (word(0) == 0 || word(8) == 0 || word(7) == 0 || word(6) != 0) return false;
  requestEffect(c, 14);
  be::setWord(s.lifts, at + 12, word(5) == word(4) ? -1 : 1);
  s.lock = 0;
  hero::setHeroAnimation(c, cart::kSeqStand);
  return true;
}

}  // namespace sim::things
