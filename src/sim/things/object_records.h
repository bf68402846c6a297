#pragma once
// The object records and the inventory as the B action, the use routines and the touch items share them.
// Internal to src/sim/things and its tests.

#include <cstddef>
#include <cstdint>

#include "sim/core/big_endian.h"
#include "sim/core/context.h"
#include "sim/core/records.h"
#include "sim/rom_view.h"

namespace sim::things {

// Words of an object record (records.h gives the record size and the slot).
inline constexpr std::size_t kObjArea = 0;
inline constexpr std::size_t kObjX = 2;
inline constexpr std::size_t kObjY = 4;
inline constexpr std::size_t kObjKind = 6;
inline constexpr std::size_t kObjNumber = 8;
inline constexpr std::size_t kObjUse = 12;  // a long: the use routine
inline constexpr std::int64_t kObjectCount = 62;
// Where the records lie in the console's RAM, as the long of a short address holds it (the 68000's
// addresses have 24 bits: FFAC62).
inline constexpr std::uint32_t kObjectsRam = 0xFFFFAC62;

// Area words with a meaning of their own.
inline constexpr std::int64_t kCarried = -1;
inline constexpr std::int64_t kUsedUp = 100;

// Departure: the console indexes its object records with whatever number an inventory word or the list of
// objects here holds; a number from a damaged save would read and write past the 62 records. Such a
// number stops the game here instead.
void checkObject(Context& c, std::int64_t object);

inline std::int64_t objectWord(const GameState& s, std::int64_t object, std::size_t at) {
  return be::word(s.objects, static_cast<std::size_t>(object) * rec::kObjectSize + at);
}
inline void setObjectWord(GameState& s, std::int64_t object, std::size_t at, std::int64_t v) {
  be::setWord(s.objects, static_cast<std::size_t>(object) * rec::kObjectSize + at, v);
}
inline std::uint32_t objectUse(const GameState& s, std::int64_t object) {
  return be::longWord(s.objects, static_cast<std::size_t>(object) * rec::kObjectSize + kObjUse);
}

// Inventory word k (0 dropping, 1 in transit, 2 to 4 carried).
inline std::int64_t inv(const GameState& s, std::size_t k) {
  return be::word(s.inventory, 2 * k);
}
inline void setInv(GameState& s, std::size_t k, std::int64_t v) {
  be::setWord(s.inventory, 2 * k, v);
}
inline std::int64_t timer(const GameState& s, std::size_t k) {
  return be::word(s.inv_timers, 2 * k);
}
inline void setTimer(GameState& s, std::size_t k, std::int64_t v) {
  be::setWord(s.inv_timers, 2 * k, v);
}
inline constexpr std::size_t kBottom = 4;  // the bottom carried slot, given up first

// The hero's whole position.
inline std::int64_t heroX(const GameState& s) {
  return static_cast<std::int16_t>(s.x >> 16);
}
inline std::int64_t heroY(const GameState& s) {
  return static_cast<std::int16_t>(s.y >> 16);
}

// A ROM rectangle: four signed words x, y, width, height.
struct Rect {
  std::int64_t x, y, w, h;
};
inline Rect romRect(Context& c, std::uint32_t at) {
  auto w = [&](std::uint32_t k) { return static_cast<std::int64_t>(static_cast<std::int16_t>(c.rom.wordAt(at + k))); };
  return {w(0), w(2), w(4), w(6)};
}
// The hero's 20 x 20 box meets the rectangle.
inline bool heroInside(Context& c, const Rect& r) {
  const std::int64_t X = heroX(c.state), Y = heroY(c.state);
  return X < r.x + r.w && r.x < X + 20 && Y < r.y + r.h && r.y < Y + 20;
}
inline bool heroInside(Context& c, std::uint32_t rect) {
  return heroInside(c, romRect(c, rect));
}
// The object's 16 x 16 box meets the rectangle.
inline bool objectOver(Context& c, std::int64_t object, std::uint32_t rect) {
  const Rect r = romRect(c, rect);
  const std::int64_t ox = objectWord(c.state, object, kObjX), oy = objectWord(c.state, object, kObjY);
  return ox < r.x + r.w && r.x < ox + 16 && oy < r.y + r.h && r.y < oy + 16;
}

// The score is a 16-bit count.
inline void addScore(GameState& s, std::int64_t points) {
  s.score = (s.score + points) & 0xFFFF;
}

// The area's own uses of B with no door in front of the hero: true when one took the press.
bool areaActions(Context& c);

// A falling effect (a twinkle thrown up that falls back) at (x, y) in the first free effects record.
void startFallingEffect(Context& c, std::int64_t x, std::int64_t y);

// A star taken: one fewer to find, and the counter spelling the rest.
void starCounter(Context& c);

}  // namespace sim::things
