// Owlbough (area 17): the machine behind the stone wall. Once the cogwheel is in and the lever pulled it
// turns, takes the cogwheel in, and its arm swings the wall open.
#include "sim/areas/set_pieces.h"
#include "sim/core/animation.h"
#include "sim/core/records.h"

namespace sim::areas {

namespace {

constexpr std::uint32_t kArm = 0x007CF6, kWall = 0x007D7E, kWheel = 0x007E04, kBelt = 0x007E78;
constexpr std::int64_t kTakenFrame = 6, kOpenFrame = 8;
constexpr std::int64_t kCogwheel = 38, kEffectTaken = 5;
constexpr std::size_t kWallByte = 543;
// Where each of the four records is drawn, and the frame its sequence counts from.
struct Part {
  std::int64_t x, y, base;
};
constexpr Part kParts[4] = {{1456, 24, 0}, {1448, 24, 4}, {1472, 40, 13}, {1465, 49, 28}};

std::size_t recordAt(int k) {
  return rec::kAnimSize * static_cast<std::size_t>(k);
}

}  // namespace

void owlboughMachineWall(Context& c) {
  const GameState& s = c.state;
  if (s.flag_82e1 != 0 && recordFrame(s.a17_anims, recordAt(1)) == kOpenFrame &&
      kWallByte < c.areaCache.collision.size())
    c.areaCache.collision[kWallByte] &= 0x07;
}

void owlboughMachine(Context& c) {
  GameState& s = c.state;
  auto& a = s.a17_anims;
  if (s.flag_82e2 != 0) {
    const std::int64_t wheel = stepAnimation(c, a, recordAt(3), kWheel);
    stepAnimation(c, a, recordAt(2), kBelt);
    if (wheel == kTakenFrame && s.flag_82e1 == 0) {
      s.flag_82e1 = 255;
      setObjectArea(s, kCogwheel, 100);
      requestEffect(c, kEffectTaken);
    }
  }
  if (s.flag_82e1 != 0) {
    stepAnimation(c, a, recordAt(0), kArm);
    stepAnimation(c, a, recordAt(1), kWall);
    owlboughMachineWall(c);
  }
  for (int k = 0; k < 4; ++k) scenery(c, kParts[k].x, kParts[k].y, kParts[k].base + recordFrame(a, recordAt(k)), 0, 0);
}

}  // namespace sim::areas
