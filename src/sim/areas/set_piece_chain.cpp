// Tanner Loft (area 8): the hatch on the hill top. Once the iron weight has dropped on it the floor gives
// way and its two flaps swing down on their chains until they hang still.
#include <algorithm>
#include <cstdlib>

#include "sim/areas/set_pieces.h"
#include "sim/core/records.h"
#include "sim/rom_view.h"

namespace sim::areas {

namespace {

constexpr std::uint32_t kSwing = 0x014C20;  // a turn of 512 words, largest first
constexpr std::int64_t kPivotX = 819, kPivotY = 88, kLength = 48, kMirrorX = 847;
constexpr std::int64_t kLinkFrame = 19;  // past the bats' frames (+3 to +18)
// The angle each state swings past before the next one begins (states 0, 2, 4 swing up, 1 and 3 back).
constexpr std::int64_t kTurnAt[5] = {600, 504, 532, 516, 510};

void swing(GameState& s) {
  auto& ch = s.chain;
  const std::int64_t state = be::word(ch, 0);
  if (state >= 5) return;
  std::int64_t v = be::word(ch, rec::kChainSpeed);
  const bool up = state % 2 == 0;
  v = up ? std::min<std::int64_t>(v + 1, 8) : std::max<std::int64_t>(v - 1, -8);
  const std::int64_t a = (be::word(ch, rec::kChainAngle) + v) & 0x7FE;
  be::setWord(ch, rec::kChainSpeed, v);
  be::setWord(ch, rec::kChainAngle, a);
  if (up ? a > kTurnAt[state] : a < kTurnAt[state]) be::setWord(ch, 0, state + 1);
}

}  // namespace

void loftHatchOpen(Context& c) {
  if (c.state.flag_82ce != 0) clearColumns(c, 310, 7, 0x08);
}

void loftChain(Context& c) {
  GameState& s = c.state;
  loftHatchOpen(c);
  swing(s);
  const std::uint32_t v = static_cast<std::uint32_t>(be::word(s.chain, rec::kChainAngle) >> 1) & 0x3FE;
  const std::int64_t cx = c.rom.signedWordAt(kSwing + v), cy = c.rom.signedWordAt(kSwing + ((v - 256) & 0x3FE));
  for (std::size_t i = 0; i < 4; ++i) {
    const std::int64_t d = kLength - 16 * static_cast<std::int64_t>(i);
    const std::int64_t x = kPivotX + ((d * cx) >> 13), y = kPivotY + ((d * cy) >> 13);
    be::setWord(s.rope_pts, 4 * i, x);
    be::setWord(s.rope_pts, 4 * i + 2, y);
    scenery(c, x - 4, y - 4, kLinkFrame, 0, 0);
    scenery(c, 2 * kMirrorX - x - 4, y - 4, kLinkFrame, kMirrored, 0);
  }
}

}  // namespace sim::areas
