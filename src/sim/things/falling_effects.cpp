// Falling effects: a twinkle thrown up where something was eaten or appeared, that rises, stops and falls
// back while it fades through its frames.
#include <cstdint>

#include "sim/core/big_endian.h"
#include "sim/core/records.h"
#include "sim/things/things.h"

namespace sim::things {

namespace {

constexpr std::int64_t kGravity = 1024;  // lost from the upward speed every frame
constexpr std::uint32_t kFrames[4] = {58, 59, 60, 59};
constexpr std::uint32_t kInFront = 16;
constexpr std::uint32_t kCaller = 0x003A5C;

// Bytes of a record: state word (0 free), timer word, x word, y 16.16, upward speed 16.16.
constexpr std::size_t kTimer = 2;
constexpr std::size_t kX = 4;
constexpr std::size_t kY = 6;
constexpr std::size_t kSpeed = 10;

}  // namespace

// $003A5C: every live effect moves; it shows while its timer had time left, and ends once it has none.
void fallingEffects(Context& c) {
  GameState& s = c.state;
  for (std::size_t r = 0; r < rec::kEffectSlots; ++r) {
    const std::size_t at = rec::kEffectSize * r;
    if (be::word(s.effects, at) == 0) continue;
    const auto speed = static_cast<std::int32_t>(be::longWord(s.effects, at + kSpeed) - kGravity);
    be::setLongWord(s.effects, at + kSpeed, static_cast<std::uint32_t>(speed));
    const auto y = static_cast<std::int32_t>(be::longWord(s.effects, at + kY) - static_cast<std::uint32_t>(speed));
    be::setLongWord(s.effects, at + kY, static_cast<std::uint32_t>(y));
    const std::int64_t timer = be::word(s.effects, at + kTimer);
    be::setWord(s.effects, at + kTimer, timer - 1);
    if (timer <= 0) {
      be::setWord(s.effects, at, 0);
      continue;
    }
    const std::int64_t sx = be::word(s.effects, at + kX) - s.camera_x;
    if (sx < -15 || sx > 319) continue;
    const std::int64_t t = timer & 0xFF;
    const std::uint32_t frame = kFrames[static_cast<std::size_t>((((t + 3) >> 2) - 1) & 3)];
    addSprite(c, static_cast<std::uint32_t>(sx + 128), static_cast<std::uint32_t>((y >> 16) + 128), frame, kInFront,
              kCaller);
  }
}

}  // namespace sim::things
