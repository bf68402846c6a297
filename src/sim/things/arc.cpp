// The arc of a thrown thing: where it starts and lands, its speeds, and the number of steps it flies.
#include "sim/core/big_endian.h"
#include "sim/things/things.h"

namespace sim::things {

namespace {

constexpr std::int64_t kMostSteps = 0xFFFF;

std::int32_t wrap(std::int64_t v) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
}

}  // namespace

// The fractions of the start and target y (bytes 6-7 and 14-15) and the two bytes at 24 keep
// what they held.
void buildArc(Context& c, std::int64_t startX, std::int64_t startY, std::int64_t targetX, std::int64_t targetY,
              std::int64_t speed, std::int64_t gravity) {
  auto& a = c.state.arc;
  be::setWord(a, 0, startX);
  be::setWord(a, 4, startY);
  be::setWord(a, 8, targetX);
  be::setWord(a, 12, targetY);
  be::setLongWord(a, 16, static_cast<std::uint32_t>(speed));
  be::setLongWord(a, 20, static_cast<std::uint32_t>(gravity));
  be::setWord(a, 26, startX);
  // The steps until the thing falls back to the target's height.
  const std::int32_t bottom = wrap(be::longWord(a, 12));
  std::int32_t v = wrap(speed);
  std::int32_t p = wrap(be::longWord(a, 4));
  std::int64_t n = 0;
  for (;;) {
    v = wrap(static_cast<std::int64_t>(v) + gravity);
    p = wrap(static_cast<std::int64_t>(p) + v);
    if (v >= 0 && p >= bottom) break;
    // Departure: with no pull downwards the console counts for ever; the count stops where its word ends.
    if (++n == kMostSteps) break;
  }
  be::setWord(a, 28, n);
  be::setWord(a, 30, 0);
}

}  // namespace sim::things
