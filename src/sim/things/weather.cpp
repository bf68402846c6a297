// The weather: showers that come and go on a timer, their drops, and the sparkles that take the rain's place
// in the Ore Chute once its crystals are lit.
#include <algorithm>
#include <cstdint>

#include "sim/rom_view.h"
#include "sim/things/things.h"

namespace sim::things {

namespace {

constexpr std::uint32_t kShowerLengths = 0x004A22;  // four words: frames a shower lasts
constexpr std::uint32_t kDrySpells = 0x004A2A;      // four words: frames until the next shower
constexpr std::int64_t kFullRain = 112;             // the build-up after which the drops thin with the rain left
constexpr std::uint32_t kFrameDrop = 78;
constexpr std::int64_t kCrystalArea = 43;
constexpr std::int64_t kCrystalFrame = 10;  // after the area's bank frames
constexpr std::int64_t kCrystalSparkles = 8;
constexpr std::uint32_t kInFront = 16;

// One sprite at a random place of the screen; the y is drawn first.
void anywhere(Context& c, std::int64_t frame) {
  const std::int64_t y = random(c, 184) + 128;
  const std::int64_t x = random(c, 312) + 128;
  addSprite(c, static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y), static_cast<std::uint32_t>(frame),
            kInFront, kShowerLengths);
}

}  // namespace

// $004A22 table: while it is dry the wait runs down; at its end a shower of one of four lengths starts and
// the next dry spell is drawn.
void rainTimer(Context& c) {
  GameState& s = c.state;
  if (s.rain_left != 0) return;
  s.rain_wait = static_cast<std::int16_t>(s.rain_wait - 1);
  if (s.rain_wait != 0) return;
  s.rain_left = c.rom.wordAt(kShowerLengths + 2 * static_cast<std::uint32_t>(random(c, 127) & 3));
  s.rain_ramp = 0;
  s.rain_wait = c.rom.wordAt(kDrySpells + 2 * static_cast<std::uint32_t>(random(c, 127) & 3));
}

// $004A22 table, drawing: the drops of a shower, more of them as it builds up and fewer as it ends; none
// indoors, though the shower runs on there. The hero looks wet while he stands in it.
void rain(Context& c) {
  GameState& s = c.state;
  if (s.area == kCrystalArea && s.flag_8305 != 0) {
    for (std::int64_t i = 0; i < kCrystalSparkles; ++i) anywhere(c, c.areaCache.firstSelectionFrames + kCrystalFrame);
    return;
  }
  if (s.rain_left == 0) return;
  s.rain_left -= 1;
  s.rain_ramp = std::min(s.rain_ramp + 1, kFullRain);
  if (s.indoors != 0) return;
  s.expression = 2;
  const std::int64_t n = s.rain_ramp < kFullRain ? s.rain_ramp >> 4 : std::min<std::int64_t>(s.rain_left >> 4, 7);
  for (std::int64_t i = 0; i <= n; ++i) anywhere(c, kFrameDrop);
}

}  // namespace sim::things
