// The rope the hero swings from: taken at a rope place while the coil is carried, it is let down from its
// hook, swings him across and throws him off at the far side, then is drawn up again.
#include <algorithm>
#include <cstdint>

#include "sim/cartridge.h"
#include "sim/core/big_endian.h"
#include "sim/hero/hero.h"
#include "sim/hero/hero_motion.h"
#include "sim/rom_view.h"
#include "sim/things/object_records.h"
#include "sim/things/things.h"

namespace sim::things {

namespace {

constexpr std::uint32_t kRopeRecords = 0x0051F8;  // ten records of ten words, one per rope place
constexpr std::uint32_t kRecordSize = 20;
constexpr std::uint32_t kRopePlaces = 0x0052C0;  // ten places of five words: area, then a rectangle
constexpr std::uint32_t kPlaceSize = 10;
constexpr std::uint32_t kPlaces = 10;
constexpr std::uint32_t kSwingTable = 0x014C20;  // 512 words, one turn by even byte offset, 8192 straight down
constexpr std::uint32_t kFrameKnot = 1;

// Words of the rope being swung (byte offsets into `rope`).
enum : std::size_t {
  kSwing = 0,   // the swing value of this frame
  kPhase = 2,   // the swing's phase, an even byte offset into the swing table
  kLength = 4,  // from the hook to the hero's hand, in pixels
  kFactor = 6,  // how far the hand end swings out
  kCount = 8,   // segments from the hand to the hook
  kShown = 10,  // segments let down so far
  kPhaseSpeed = 12,
  kRelease = 14,  // the phase at which the hero is thrown
  kPivotX = 16,
  kPivotY = 18,
  kDirection = 20,  // the throw: 0 to the left, else to the right
  kFactorStep = 22  // the swing lost per segment towards the hook
};
// Where the ten words of a record go.
constexpr std::size_t kRecordOrder[10] = {kPivotX, kPivotY, kPhase,      kRelease,   kCount,
                                          kLength, kFactor, kPhaseSpeed, kDirection, kFactorStep};
constexpr std::int64_t kRopePoints = 25;  // rope_pts holds 25 points of 4 bytes
constexpr std::int64_t kThrowSpeed = -0x3F000;

std::int64_t ropeWord(const GameState& s, std::size_t at) {
  return be::word(s.rope, at);
}
void setRopeWord(GameState& s, std::size_t at, std::int64_t v) {
  be::setWord(s.rope, at, v);
}

std::int64_t swingWord(Context& c, std::int64_t offset) {
  return c.rom.signedWordAt(kSwingTable + static_cast<std::uint32_t>(offset & 0x3FE));
}

// The points from the hand (point 0) to the hook, each swung by the factor left to it.
void swing(Context& c) {
  GameState& s = c.state;
  const std::int64_t value = swingWord(c, ropeWord(s, kPhase)) >> 5;
  setRopeWord(s, kSwing, value);
  const std::int64_t count = ropeWord(s, kCount);
  std::int64_t length = ropeWord(s, kLength), factor = ropeWord(s, kFactor);
  // Departure: the console divides by the segment count and faults on a count of 0; such a rope is a
  // single point here.
  const std::int64_t shorter = count == 0 ? 0 : length / count;
  const std::int64_t px = ropeWord(s, kPivotX), py = ropeWord(s, kPivotY);
  for (std::int64_t i = 0; i <= count; ++i) {
    const auto v = static_cast<std::int16_t>(((value * factor) >> 11) * 2);
    const std::int64_t x = px + (((length * swingWord(c, v - 256)) >> 5) >> 8);
    const std::int64_t y = py + (((length * swingWord(c, v)) >> 5) >> 8);
    // Departure: the console writes every point of the count, and a count above 24 runs past the 25 points
    // of rope_pts into the state behind it; the points past the block are not kept.
    if (i < kRopePoints) {
      be::setWord(s.rope_pts, 4 * static_cast<std::size_t>(i), x);
      be::setWord(s.rope_pts, 4 * static_cast<std::size_t>(i) + 2, y);
    }
    length = static_cast<std::int16_t>(length - shorter);
    factor = static_cast<std::int16_t>(factor - ropeWord(s, kFactorStep));
  }
}

// The segments let down so far, from the hook towards the hand.
void draw(Context& c) {
  const GameState& s = c.state;
  const std::int64_t last = std::min(ropeWord(s, kCount), kRopePoints - 1);
  const std::int64_t shown = std::min(ropeWord(s, kShown), kRopePoints);
  for (std::int64_t i = last; i > last - shown && i >= 0; --i) {
    const std::int64_t sx = be::word(s.rope_pts, 4 * static_cast<std::size_t>(i)) - s.camera_x;
    if (sx < 0 || sx > 319) continue;
    const std::int64_t y = be::word(s.rope_pts, 4 * static_cast<std::size_t>(i) + 2);
    addSprite(c, static_cast<std::uint32_t>(sx + 128), static_cast<std::uint32_t>(y + 128), kFrameKnot, 0,
              kRopeRecords);
  }
}

// Off the rope into a side jump in the throw's direction.
void throwHero(Context& c) {
  GameState& s = c.state;
  s.flag_82e6 = 255;
  s.x = hero::withoutFraction(s.x);
  s.y = hero::withoutFraction(s.y);
  s.flag_82bf = s.flag_82e4 = 0;
  s.dx = s.fast = s.speed_l = s.speed_r = s.lock = s.settled = s.fall_max = 0;
  s.vy = kThrowSpeed;
  if (ropeWord(s, kDirection) != 0) {
    s.jump = 3;
    s.speed_r = 1;
    hero::setHeroAnimation(c, cart::kSeqJumpRight);
  } else {
    s.jump = 2;
    s.speed_l = 1;
    hero::setHeroAnimation(c, cart::kSeqJumpLeft);
  }
}

}  // namespace

// $0052C0 places: B inside a place of this area takes its rope, unless a rope is still out.
bool takeRopeHere(Context& c) {
  GameState& s = c.state;
  if (s.flag_82e3 != 0) return false;
  for (std::uint32_t k = 0; k < kPlaces; ++k) {
    const std::uint32_t place = kRopePlaces + kPlaceSize * k;
    if (c.rom.signedWordAt(place) != s.area || !heroInside(c, place + 2)) continue;
    const std::uint32_t record = kRopeRecords + kRecordSize * k;
    for (std::uint32_t w = 0; w < 10; ++w) setRopeWord(s, kRecordOrder[w], c.rom.signedWordAt(record + 2 * w));
    setRopeWord(s, kShown, 0);
    s.flag_82bf = s.flag_82e4 = s.flag_82e3 = 255;
    s.settled = s.flag_82e5 = s.flag_82e6 = 0;
    return true;
  }
  return false;
}

// $0051F8 records: the rope's frame, run by the handler of its area while a rope is out.
void ropeStep(Context& c) {
  GameState& s = c.state;
  swing(c);
  if (s.flag_82e6 == 0) {
    if (ropeWord(s, kShown) < ropeWord(s, kCount)) setRopeWord(s, kShown, ropeWord(s, kShown) + 1);
    if (ropeWord(s, kShown) >= ropeWord(s, kCount)) s.flag_82e5 = 255;
  }
  draw(c);
  if (s.flag_82e5 != 0) {
    setRopeWord(s, kPhase, (ropeWord(s, kPhase) + ropeWord(s, kPhaseSpeed)) & 0x3FE);
    if (s.flag_82e4 != 0 && ropeWord(s, kPhase) >= ropeWord(s, kRelease)) throwHero(c);
  }
  if (s.flag_82e4 != 0) {
    s.x = hero::withIntPart(s.x, be::word(s.rope_pts, 0) - 10);
    s.y = hero::withIntPart(s.y, be::word(s.rope_pts, 2) - 5);
    s.sprite_frame = ropeWord(s, kDirection) != 0 ? 2 : 130;
  }
  if (s.flag_82e6 != 0) {
    setRopeWord(s, kShown, ropeWord(s, kShown) - 1);
    if (ropeWord(s, kShown) < 0) s.flag_82e6 = s.flag_82e3 = 0;
  }
}

}  // namespace sim::things
