// Doors: the door rule that turns UP into B, the passage through a door,
// and the doors that open with an animation once their key is used.
#include "sim/areas/areas.h"
#include "sim/cartridge.h"
#include "sim/core/animation.h"
#include "sim/core/big_endian.h"
#include "sim/core/records.h"
#include "sim/pad.h"
#include "world/world.h"

namespace sim::areas {

namespace {

constexpr std::size_t kDoorSlots = 32;  // door_locks holds one bit per door
constexpr std::int64_t kOpenFrame = 4;  // the last frame of the opening sequence
constexpr std::uint32_t kDoorCaller = 0x0099A0;

bool locked(std::int64_t locks, std::size_t door) {
  return door >= kDoorSlots || ((static_cast<std::uint64_t>(locks) >> (31 - door)) & 1) != 0;
}

}  // namespace

int doorAtHero(const Context& c) {
  const GameState& s = c.state;
  const std::int64_t X = static_cast<std::int16_t>(s.x >> 16);
  const std::int64_t Y = static_cast<std::int16_t>(s.y >> 16);
  const auto& doors = c.world.doors;
  for (std::size_t i = 0; i < doors.size() && i < kDoorSlots; ++i) {
    const world::Door& d = doors[i];
    if (locked(s.door_locks, i) || d.area != s.area) continue;
    const std::int64_t rx = d.rect[0], ry = d.rect[1], rw = d.rect[2], rh = d.rect[3];
    if (X < rx + rw && rx < X + 20 && Y < ry + rh && ry < Y + 20) return static_cast<int>(i);
  }
  return -1;
}

// UP alone (DOWN may be held too, LEFT or RIGHT may not) in front of an open
// door acts as B, so the B action takes the hero through.
std::uint8_t doorRule(const Context& c, std::uint8_t pad) {
  if ((pad & (kPadUp | kPadLeft | kPadRight)) != kPadUp) return pad;
  return doorAtHero(c) >= 0 ? static_cast<std::uint8_t>(pad | kPadB) : pad;
}

bool doorPassage(Context& c) {
  GameState& s = c.state;
  const int i = doorAtHero(c);
  if (i < 0) return false;
  const world::Door& d = c.world.doors[static_cast<std::size_t>(i)];
  s.x = static_cast<std::int32_t>(static_cast<std::uint32_t>(d.x) << 16);
  s.y = static_cast<std::int32_t>(static_cast<std::uint32_t>(d.y) << 16);
  s.area = d.target;
  s.restart_x = d.x;
  s.restart_y = d.y;
  s.restart_area = d.target;
  s.lock = 0;
  s.anim = cart::kSeqStand;
  s.anim_count = 0;
  s.anim_index = -1;
  loadArea(c, s.area);
  updateCamera(c);
  enterArea(c);
  return true;
}

// door_states record: state word (0 closed, 1 opening, 2 open), then an
// animation record (frame, timer, index). The door is drawn until it has
// opened; on its last frame it unlocks for good and pays 100 points.
void animatedDoor(Context& c, int record, int door, std::int64_t x, std::int64_t y) {
  GameState& s = c.state;
  const std::size_t at = rec::kDoorSize * static_cast<std::size_t>(record);
  const std::int64_t doorState = be::word(s.door_states, at + rec::kDoorState);
  if (doorState == 2) return;
  if (doorState == 1 && stepAnimation(c, s.door_states, at + rec::kDoorAnim, cart::kDoorOpening) == kOpenFrame) {
    be::setWord(s.door_states, at + rec::kDoorState, 2);
    s.flag_82fc = 255;
    s.door_locks &= ~(std::int64_t{1} << (31 - door));
    s.score = (s.score + 100) & 0xFFFF;
    requestEffect(c, 2);
    return;
  }
  const std::int64_t screenX = x - s.camera_x;
  if (screenX <= -32 || screenX >= 320) return;
  const std::int64_t frame =
      c.areaCache.firstSelectionFrames + be::word(s.door_states, at + rec::kDoorAnim + rec::kAnimFrame);
  addSprite(c, static_cast<std::uint32_t>(screenX + 128) & 0xFFFF, static_cast<std::uint32_t>(y + 128) & 0xFFFF,
            static_cast<std::uint32_t>(frame) & 0xFFFF, 0, kDoorCaller);
}

}  // namespace sim::areas
