// Platforms: the records an area or an actor offers each frame for the hero to stand on in the next one, and
// the carrying of a hero who stands on one that moves.
#include <cstdint>

#include "sim/core/big_endian.h"
#include "sim/hero/hero_motion.h"
#include "sim/things/things.h"

namespace sim::things {

// $00A9C0 records: the long goes into the first free entry of the eight; a full list leaves it out.
void offerPlatform(Context& c, std::uint32_t record) {
  auto& list = c.state.platforms;
  for (std::size_t at = 0; at + 3 < list.size(); at += 4) {
    if (be::longWord(list, at) != 0) continue;
    be::setLongWord(list, at, record);
    return;
  }
}

// A hero standing on the platform with this id rides its top: his feet row stays one pixel inside it.
void carryOnPlatform(Context& c, std::int64_t id, std::int64_t top) {
  GameState& s = c.state;
  if (id == 0 || s.on_object != id) return;
  s.y = hero::withIntPart(s.y, top - 22);
}

}  // namespace sim::things
