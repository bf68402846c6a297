// Animation records: 6-byte records of frame, timer and index words
// (big-endian, signed) stepped through a sequence: delay word, loop index
// word, frame words, FFFF. Each frame shows for delay + 1 steps.
#include "sim/core/animation.h"

#include "sim/cartridge.h"
#include "sim/core/big_endian.h"
#include "sim/core/records.h"
#include "sim/rom_view.h"

namespace sim {

using rec::kAnimFrame, rec::kAnimIndex, rec::kAnimTimer;

// $009BC4
std::int64_t stepAnimation(Context& c, std::vector<std::uint8_t>& block, std::size_t offset, std::uint32_t seq) {
  const std::int64_t t = be::word(block, offset + kAnimTimer);
  be::setWord(block, offset + kAnimTimer, t - 1);
  if (t > 0) return be::word(block, offset + kAnimFrame);
  be::setWord(block, offset + kAnimTimer, c.rom.wordAt(seq));
  std::int64_t index = static_cast<std::int16_t>(be::word(block, offset + kAnimIndex) + 1);
  std::uint16_t frame = c.rom.wordAt(seq + cart::kSeqFirstFrame + 2 * static_cast<std::uint32_t>(index));
  if (frame == 0xFFFF) {
    index = c.rom.signedWordAt(seq + 2);
    frame = c.rom.wordAt(seq + cart::kSeqFirstFrame + 2 * static_cast<std::uint32_t>(index));
    if (frame == 0xFFFF) stopWith(c, "$009BC4 never ends: a sequence restarts on FFFFh");
  }
  be::setWord(block, offset + kAnimIndex, index);
  be::setWord(block, offset + kAnimFrame, frame);
  return static_cast<std::int16_t>(frame);
}

std::int64_t stepProgramSequence(Context& c, std::vector<std::uint8_t>& block, std::size_t offset,
                                 const std::vector<std::uint16_t>& sequence) {
  const std::int64_t t = be::word(block, offset + kAnimTimer);
  be::setWord(block, offset + kAnimTimer, t - 1);
  if (t > 0) return be::word(block, offset + kAnimFrame);
  const auto at = [&](std::int64_t i) -> std::uint16_t {
    return i >= 0 && static_cast<std::size_t>(i) < sequence.size() ? sequence[i] : 0xFFFF;
  };
  be::setWord(block, offset + kAnimTimer, at(0));
  std::int64_t index = static_cast<std::int16_t>(be::word(block, offset + kAnimIndex) + 1);
  std::uint16_t frame = at(2 + index);
  if (frame == 0xFFFF) {
    index = static_cast<std::int16_t>(at(1));
    frame = at(2 + index);
    if (frame == 0xFFFF) stopWith(c, "$009BC4 never ends: a sequence restarts on FFFFh");
  }
  be::setWord(block, offset + kAnimIndex, index);
  be::setWord(block, offset + kAnimFrame, frame);
  return static_cast<std::int16_t>(frame);
}

}  // namespace sim
