// The star counter: the stars still to find, spelled out in dots that spin and grow in the middle of the
// screen after a star is taken.
#include <algorithm>

#include "sim/cartridge.h"
#include "sim/core/big_endian.h"
#include "sim/things/object_records.h"
#include "sim/things/things.h"

namespace sim::things {

namespace {

constexpr std::uint32_t kDotFont = 0x003E4E;    // 15 bytes a digit: 5 rows of 3 columns, non-zero a dot
constexpr std::uint32_t kDotPlaces = 0x003D5E;  // 5 rows of 12 points (x, y words) from the centre
constexpr std::uint32_t kCallerStars = 0x003B8C;
constexpr std::size_t kMostPoints = 46;  // what star_points holds
constexpr std::uint8_t kEndMark[4] = {0x44, 0x45, 0x4C, 0x21};
constexpr std::int64_t kShowFrames = 200;
constexpr std::int64_t kFullScale = 0x7FFF;
constexpr std::int64_t kSmallest = 9216;
constexpr std::int64_t kScaleStep = 528;
constexpr std::int64_t kTurnBack = 41;  // from here on the counter grows back

std::int64_t s16(std::int64_t v) {
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(v));
}

}  // namespace

void starCounter(Context& c) {
  GameState& s = c.state;
  if (s.stars_left > 0) s.stars_left -= 1;
  const std::int64_t value = ((s.stars_left % 1000) + 1000) % 1000;
  const std::int64_t digits[3] = {value / 100, value / 10 % 10, value % 10};
  const std::int64_t f = digits[0] != 0 ? 0 : digits[1] != 0 ? 1 : 2;
  std::size_t n = 0;
  for (std::int64_t k = f; k <= 2; ++k) {
    const auto d = static_cast<std::uint32_t>(digits[k]);
    for (std::uint32_t j = 0; j < 5; ++j) {
      for (std::uint32_t col = 0; col < 3; ++col) {
        if (c.rom.byteAt(kDotFont + 15 * d + 3 * j + col) == 0) continue;
        const auto o = static_cast<std::uint32_t>(16 * k + 48 * j - 8 * f);
        be::setWord(s.star_points, 4 * n, c.rom.wordAt(kDotPlaces + 4 * col + o));
        be::setWord(s.star_points, 4 * n + 2, c.rom.wordAt(kDotPlaces + 2 + 4 * col + o));
        ++n;
      }
    }
  }
  std::copy(std::begin(kEndMark), std::end(kEndMark), s.star_points.begin() + static_cast<std::ptrdiff_t>(4 * n));
  s.star_points_n = static_cast<std::int64_t>(n);
  s.star_angle = 180;
  s.star_scale = kFullScale;
  s.star_show = kShowFrames;
}

// The counter's dots turned by star_angle and sized by star_scale around the screen's centre.
void starCountDisplay(Context& c) {
  GameState& s = c.state;
  if (s.star_show == 0) return;
  const auto angle = static_cast<std::uint32_t>(s.star_angle & 0x1FE);
  const std::int64_t cs = c.rom.signedWordAt(cart::kCosine + angle);
  const std::int64_t sn = c.rom.signedWordAt(cart::kSine + angle);
  const std::int64_t scale = s16(s.star_scale);
  // Departure: the point count comes back from saves as it was written; the console would read past the
  // 46 points its block holds for a larger one, so no more than those are read here.
  const std::size_t n = static_cast<std::size_t>(std::clamp<std::int64_t>(s.star_points_n, 0, kMostPoints));
  for (std::size_t i = 0; i < n; ++i) {
    const std::int64_t x = be::word(s.star_points, 4 * i), y = be::word(s.star_points, 4 * i + 2);
    const std::int64_t X = s16(((scale * s16((cs * x - sn * y) >> 15)) >> 15) + 288);
    const std::int64_t Y = s16(((scale * s16((cs * y + sn * x) >> 15)) >> 15) + 224);
    if (X <= 112 || X >= 448) continue;
    const std::int64_t frame = be::word(s.star_phases, 2 * ((i + 1) & 3));
    addSprite(c, static_cast<std::uint32_t>(X & 0xFFFF), static_cast<std::uint32_t>(Y & 0xFFFF),
              static_cast<std::uint32_t>(frame & 0xFFFF), 16, kCallerStars);
  }
  const std::int64_t t = s.star_show;
  s.star_show -= 1;
  auto turn = [&] { s.star_angle = (s.star_angle - 4) & 0x1FE; };
  if (t == kTurnBack) {
    turn();
    if (s.star_angle != 0) turn();
  } else if (s.star_angle != 0) {
    turn();
  }
  if (t > kTurnBack) {
    s.star_scale = std::max(s.star_scale - kScaleStep, kSmallest);
  } else {
    s.star_scale = std::min(s.star_scale + kScaleStep, kFullScale);
  }
}

}  // namespace sim::things
