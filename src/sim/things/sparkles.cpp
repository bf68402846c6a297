// Sparkles: the burst of twinkling points the fairy dust leaves where it is used, drifting apart and thinning
// out as it fades.
#include <algorithm>
#include <cstdint>

#include "sim/core/big_endian.h"
#include "sim/rom_view.h"
#include "sim/things/things.h"

namespace sim::things {

namespace {

constexpr std::uint32_t kDrift = 0x001C52;  // per record a pair of signed words: its step across and down
constexpr std::size_t kRecordSize = 6;      // x word, y word, phase word
constexpr std::size_t kPhase = 4;
constexpr std::uint32_t kFirstFrame = 81;
// Departure: the console runs up to eight records, but a burst fills only the first seven; the eighth,
// never written, would twinkle at whatever place its bytes hold (the area's top-left corner after a new
// game). Only the seven filled records run here.
constexpr std::int64_t kBurstRecords = 7;

}  // namespace

// $001C52 table: while a burst runs, its records step apart every fourth frame of their phase and twinkle
// through four frames; fewer of them show as its time runs out.
void sparkles(Context& c) {
  GameState& s = c.state;
  if (s.flag_82c7 == 0) return;
  const std::int64_t count = std::min<std::int64_t>(std::min<std::int64_t>(s.sparkle_timer / 8, 7) + 1, kBurstRecords);
  for (std::int64_t k = 0; k < count; ++k) {
    const std::size_t at = kRecordSize * static_cast<std::size_t>(k);
    const std::int64_t phase = be::word(s.sparkles, at + kPhase);
    std::int64_t x = be::word(s.sparkles, at), y = be::word(s.sparkles, at + 2);
    if ((phase & 3) == 0) {
      const std::uint32_t step = kDrift + 4 * static_cast<std::uint32_t>(k);
      x += c.rom.signedWordAt(step);
      y += c.rom.signedWordAt(step + 2);
      be::setWord(s.sparkles, at, x);
      be::setWord(s.sparkles, at + 2, y);
    }
    be::setWord(s.sparkles, at + kPhase, phase + 1);
    const std::int64_t sx = x - s.camera_x;
    if (sx < 0 || sx > 319) continue;
    const std::uint32_t frame = kFirstFrame + static_cast<std::uint32_t>(((phase + 1) & 0xFF) >> 2 & 3);
    addSprite(c, static_cast<std::uint32_t>(sx + 128), static_cast<std::uint32_t>(y + 128), frame, 0, kDrift);
  }
  s.sparkle_timer = static_cast<std::int16_t>(s.sparkle_timer - 1);
  if (s.sparkle_timer == 0) s.flag_82c7 = 0;
}

}  // namespace sim::things
