// Bubbles: the air the hero breathes out under water while he carries the air shell, rising to the surface
// or a ceiling and bursting there.
#include <cstdint>

#include "sim/core/big_endian.h"
#include "sim/core/records.h"
#include "sim/hero/hero.h"
#include "sim/rom_view.h"
#include "sim/things/object_records.h"
#include "sim/things/things.h"

namespace sim::things {

namespace {

constexpr std::uint32_t kSpeeds = 0x001BD2;  // 16 pairs of longs: speed and its gain per frame (16.16)
constexpr std::int64_t kBurstFrames = 4;
constexpr std::uint32_t kFrameRising = 34;
constexpr std::uint32_t kFrameBursting = 37;
constexpr std::size_t kAirShell = 0;  // item_flags byte: object 20 carried

// Bytes of a record: kind word (FFFF free), delay word (frames of the burst left), x word, y 16.16,
// speed 16.16, acceleration 16.16.
constexpr std::size_t kDelay = 2;
constexpr std::size_t kX = 4;
constexpr std::size_t kY = 6;
constexpr std::size_t kSpeed = 10;
constexpr std::size_t kAcceleration = 14;

std::int32_t longAt(const std::vector<std::uint8_t>& b, std::size_t at) {
  return static_cast<std::int32_t>(be::longWord(b, at));
}

// A rising bubble moves; under a ceiling or above the surface it starts to burst. A bursting one ends when
// its delay runs out. True while it lives.
bool move(Context& c, std::size_t at) {
  GameState& s = c.state;
  const std::int64_t delay = be::word(s.bubbles, at + kDelay);
  if (delay != 0) {
    be::setWord(s.bubbles, at + kDelay, delay - 1);
    if (delay != 1) return true;
    be::setWord(s.bubbles, at, -1);
    return false;
  }
  const std::int32_t speed = longAt(s.bubbles, at + kSpeed) + longAt(s.bubbles, at + kAcceleration);
  be::setLongWord(s.bubbles, at + kSpeed, static_cast<std::uint32_t>(speed));
  const std::int32_t y = static_cast<std::int32_t>(static_cast<std::uint32_t>(longAt(s.bubbles, at + kY)) +
                                                   static_cast<std::uint32_t>(speed));
  be::setLongWord(s.bubbles, at + kY, static_cast<std::uint32_t>(y));
  const std::int64_t x = be::word(s.bubbles, at + kX);
  const std::int64_t top = static_cast<std::int16_t>(y >> 16);
  if (hero::solid(c, x + 4, top + 4) || top < s.water_surface) be::setWord(s.bubbles, at + kDelay, kBurstFrames);
  return true;
}

void draw(Context& c, std::size_t at) {
  const GameState& s = c.state;
  const std::int64_t sx = be::word(s.bubbles, at + kX) - s.camera_x;
  if (sx < 0 || sx > 319) return;
  const std::int64_t kind = be::word(s.bubbles, at);
  const std::uint32_t base = be::word(s.bubbles, at + kDelay) != 0 ? kFrameBursting : kFrameRising;
  const std::int64_t y = static_cast<std::int16_t>(be::longWord(s.bubbles, at + kY) >> 16);
  addSprite(c, static_cast<std::uint32_t>(sx + 128), static_cast<std::uint32_t>(y + 128),
            base + static_cast<std::uint32_t>(kind), 0, kSpeeds);
}

// In water with the air shell the hero breathes out a bubble now and then, into the first free record.
void breathe(Context& c) {
  GameState& s = c.state;
  if (s.variant_ad == 0 || s.item_flags.empty() || s.item_flags[kAirShell] == 0) return;
  s.bubble_timer = static_cast<std::int16_t>(s.bubble_timer - 1);
  if (s.bubble_timer >= 0) return;
  const std::int64_t r = random(c, 127);
  s.bubble_timer = (r & 15) + 8;
  for (std::size_t k = 0; k < rec::kBubbleSlots; ++k) {
    const std::size_t at = rec::kBubbleSize * k;
    if (s.bubbles[at] < 0x80) continue;
    be::setWord(s.bubbles, at, (r & 3) == 3 ? 0 : r & 3);
    be::setWord(s.bubbles, at + kDelay, 0);
    be::setWord(s.bubbles, at + kX, (random(c, 512) & 7) + heroX(s) + 2);
    be::setLongWord(s.bubbles, at + kY, static_cast<std::uint32_t>((heroY(s) + 7) << 16));
    const std::uint32_t pair = kSpeeds + 8 * static_cast<std::uint32_t>(random(c, 127) & 15);
    be::setLongWord(s.bubbles, at + kSpeed, c.rom.longAt(pair));
    be::setLongWord(s.bubbles, at + kAcceleration, c.rom.longAt(pair + 4));
    return;
  }
}

}  // namespace

// $001BD2 table: the bubbles of an area with water, run by its handler every frame.
void bubbles(Context& c) {
  GameState& s = c.state;
  for (std::size_t k = 0; k < rec::kBubbleSlots; ++k) {
    const std::size_t at = rec::kBubbleSize * k;
    if (at >= s.bubbles.size() || s.bubbles[at] >= 0x80) continue;
    if (move(c, at)) draw(c, at);
  }
  breathe(c);
}

}  // namespace sim::things
