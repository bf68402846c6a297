// The items that act on touch: hazards, food, stars, fruit and the scenery shown late in the day, with the
// phase rotations that animate them.
#include "sim/core/big_endian.h"
#include "sim/core/ram.h"
#include "sim/hero/hero.h"
#include "sim/things/object_records.h"
#include "sim/things/things.h"
#include "world/world.h"

namespace sim::things {

namespace {

constexpr std::uint32_t kCallerItems = 0x00375C;
enum ItemType : std::int16_t { kHazard = 0, kFood = 1, kStar = 2, kScenery = 3, kTowerStar = 4, kFruit = 5 };
constexpr std::int64_t kHazardDamage = 0x8000;  // 0.5
constexpr std::int64_t kShowFrames = 120;
constexpr std::size_t kFlagBits = 1024;

// The last word of a block of phase words moves to the front every sixth frame.
void rotatePhases(std::int64_t& timer, std::vector<std::uint8_t>& phases) {
  timer = static_cast<std::int16_t>(timer - 1);
  if (timer >= 0) return;
  timer = 5;
  const std::size_t n = phases.size();
  const std::uint8_t hi = phases[n - 2], lo = phases[n - 1];
  for (std::size_t i = n - 1; i >= 2; --i) phases[i] = phases[i - 2];
  phases[0] = hi;
  phases[1] = lo;
}

// Departure: a flag number addresses a bit of the 1024 in `flags`; the console reads and writes past
// the block for a larger one. Such an item is left out here: never drawn, never taken.
bool outOfFlags(const world::AreaItem& item) {
  return static_cast<std::uint16_t>(item.flag) >= kFlagBits;
}
bool gone(const GameState& s, const world::AreaItem& item) {
  const auto f = static_cast<std::uint16_t>(item.flag);
  return (s.flags[f >> 3] & (1u << (f & 7))) != 0;
}
void take(GameState& s, const world::AreaItem& item) {
  const auto f = static_cast<std::uint16_t>(item.flag);
  s.flags[f >> 3] = static_cast<std::uint8_t>(s.flags[f >> 3] | (1u << (f & 7)));
}

bool touched(const GameState& s, const world::AreaItem& item) {
  const std::int64_t X = heroX(s), Y = heroY(s);
  return item.x + 2 < X + 18 && X < item.x + 12 && item.y - 1 < Y + 20 && Y < item.y + 11;
}

void sprite(Context& c, std::int64_t x, std::int64_t y, std::int64_t frame, std::uint32_t attributes) {
  addSprite(c, static_cast<std::uint32_t>(x & 0xFFFF), static_cast<std::uint32_t>(y & 0xFFFF),
            static_cast<std::uint32_t>(frame & 0xFFFF), attributes, kCallerItems);
}

// Food and fruit heal; a twinkle rises from where it lay.
void eat(Context& c, const world::AreaItem& item, int effect, std::int64_t ramp) {
  GameState& s = c.state;
  take(s, item);
  requestEffect(c, effect);
  s.energy_ramp = ramp;
  if (static_cast<std::int16_t>(s.damage >> 16) >= 1) s.damage_show = kShowFrames;
  startFallingEffect(c, item.x, item.y);
}

void starTaken(Context& c, const world::AreaItem& item) {
  GameState& s = c.state;
  take(s, item);
  addScore(s, 20);
  requestEffect(c, 10);
  starCounter(c);
}

// The scenery item of the evening: two pictures by the phase's low bit.
void scenery(Context& c, const world::AreaItem& item, std::int64_t phase) {
  const GameState& s = c.state;
  if (s.palette_variant < 2) return;
  const std::int64_t offset = s.palette_variant == 2 ? 136 : 128;
  const std::int64_t bit = phase & 1;
  const std::int64_t frame = c.areaCache.firstSelectionFrames + (s.palette_variant == 2 ? (2 | bit) : bit);
  sprite(c, item.x - s.camera_x + offset, item.y + offset, frame, 0);
}

void item(Context& c, const world::AreaItem& item) {
  GameState& s = c.state;
  if (item.type < 0 || item.type > kFruit) stopWith(c, "an item type above 5 ($00375C)");
  const auto phase = static_cast<std::uint16_t>(item.frame);
  if ((item.type == kHazard || item.type == kScenery) && phase > 3) stopWith(c, "a hazard phase outside FFA06C");
  if (item.type == kFruit && phase > 5) stopWith(c, "a fruit phase outside FFA074");
  if (item.type == kScenery) {
    scenery(c, item, be::word(s.hazard_phases, 2 * phase));
    return;
  }
  const std::int64_t firstStar = be::word(s.star_phases, 0);
  if (item.type == kTowerStar) {
    const std::int64_t scroll = s.in_subgame != 0 ? subRamWord(c, kSubWord910C) : s.w910c;
    if (item.y >= -16 && item.y <= 199) sprite(c, item.x - scroll + 128, item.y + 128, firstStar, 16);
    if (touched(s, item)) starTaken(c, item);
    return;
  }
  const std::int64_t sx = item.x - s.camera_x;
  if (sx >= -16 && sx <= 319) {
    std::int64_t frame = item.frame;
    std::uint32_t attributes = 0;
    if (item.type == kHazard) frame = be::word(s.hazard_phases, 2 * phase) + 40;
    if (item.type == kStar) frame = firstStar, attributes = 16;
    if (item.type == kFruit) frame = be::word(s.star_phases, 2 * phase) + be::word(s.frame_bases, 2 * 13) - 52;
    sprite(c, sx + 128, item.y + 128, frame, attributes);
  }
  if (!touched(s, item)) return;
  switch (item.type) {
    case kHazard:
      hero::addDamage(c, kHazardDamage, true);
      break;
    case kFood:
      eat(c, item, 9, 30);
      break;
    case kStar:
      starTaken(c, item);
      break;
    case kFruit:
      eat(c, item, 18, 63);
      break;
    default:
      break;
  }
}

}  // namespace

void startFallingEffect(Context& c, std::int64_t x, std::int64_t y) {
  auto& e = c.state.effects;
  for (std::size_t r = 0; r < rec::kEffectSlots; ++r) {
    const std::size_t at = rec::kEffectSize * r;
    if (be::word(e, at) != 0) continue;
    be::setWord(e, at, 1);
    be::setWord(e, at + 2, 24);  // frames it shows
    be::setWord(e, at + 4, x);
    be::setLongWord(e, at + 6, static_cast<std::uint32_t>(y << 16));
    be::setLongWord(e, at + 10, 0x18000);  // its upward speed
    return;
  }
}

// Items and hazards, with the phase rotations ($00375C).
void itemsAndHazards(Context& c) {
  GameState& s = c.state;
  rotatePhases(s.hazard_phase_timer, s.hazard_phases);
  rotatePhases(s.star_phase_timer, s.star_phases);
  if (!c.areaCache.area) return;
  for (const world::AreaItem& it : c.areaCache.area->items) {
    if (outOfFlags(it) || gone(s, it)) continue;
    item(c, it);
  }
}

}  // namespace sim::things
