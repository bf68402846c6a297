// Doors: the door rule that turns UP into B, the passage through a door,
// and the doors that open with an animation once their key is used.
#include "sim/simulation.h"
#include "world/world.h"

namespace sim {

namespace {

constexpr std::uint8_t kUp = 0x01, kLeft = 0x04, kRight = 0x08, kB = 0x10;
constexpr std::size_t kDoorSlots = 32;            // door_locks holds one bit per door
constexpr std::uint32_t kDoorOpening = 0x0099A2;  // the opening sequence: frames 0 to 4
constexpr std::int64_t kOpenFrame = 4;
constexpr std::uint32_t kStanding = 0x00180C;

bool locked(std::int64_t locks, std::size_t door) {
    return door >= kDoorSlots || ((static_cast<std::uint64_t>(locks) >> (31 - door)) & 1) != 0;
}

std::int64_t wordAt(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::int16_t>(b[at] << 8 | b[at + 1]);
}

void putWord(std::vector<std::uint8_t>& b, std::size_t at, std::int64_t v) {
    b[at] = static_cast<std::uint8_t>(v >> 8);
    b[at + 1] = static_cast<std::uint8_t>(v);
}

}  // namespace

int Simulation::doorAtHero() const {
    const GameState& s = state_;
    const std::int64_t X = static_cast<std::int16_t>(s.x >> 16);
    const std::int64_t Y = static_cast<std::int16_t>(s.y >> 16);
    const auto& doors = world_.doors;
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
std::uint8_t Simulation::doorRule(std::uint8_t pad) {
    if ((pad & (kUp | kLeft | kRight)) != kUp) return pad;
    return doorAtHero() >= 0 ? static_cast<std::uint8_t>(pad | kB) : pad;
}

bool Simulation::doorPassage() {
    GameState& s = state_;
    const int i = doorAtHero();
    if (i < 0) return false;
    const world::Door& d = world_.doors[static_cast<std::size_t>(i)];
    s.x = static_cast<std::int32_t>(static_cast<std::uint32_t>(d.x) << 16);
    s.y = static_cast<std::int32_t>(static_cast<std::uint32_t>(d.y) << 16);
    s.area = d.target;
    s.restart_x = d.x;
    s.restart_y = d.y;
    s.restart_area = d.target;
    s.lock = 0;
    s.anim = kStanding;
    s.anim_count = 0;
    s.anim_index = -1;
    loadArea(s.area);
    updateCamera();
    enterArea();
    return true;
}

// door_states record: state word (0 closed, 1 opening, 2 open), then an
// animation record (frame, timer, index). The door is drawn until it has
// opened; on its last frame it unlocks for good and pays 100 points.
void Simulation::animatedDoor(int record, int door, std::int64_t x, std::int64_t y) {
    GameState& s = state_;
    const std::size_t at = 8 * static_cast<std::size_t>(record);
    const std::int64_t doorState = wordAt(s.door_states, at);
    if (doorState == 2) return;
    if (doorState == 1 && stepAnimation(s.door_states, at + 2, kDoorOpening) == kOpenFrame) {
        putWord(s.door_states, at, 2);
        s.flag_82fc = 255;
        s.door_locks &= ~(std::int64_t{1} << (31 - door));
        s.score = (s.score + 100) & 0xFFFF;
        requestEffect(2);
        return;
    }
    const std::int64_t screenX = x - s.camera_x;
    if (screenX <= -32 || screenX >= 320) return;
    const std::int64_t frame = areaCache_.firstSelectionFrames + wordAt(s.door_states, at + 2);
    addSprite(static_cast<std::uint32_t>(screenX + 128) & 0xFFFF, static_cast<std::uint32_t>(y + 128) & 0xFFFF,
              static_cast<std::uint32_t>(frame) & 0xFFFF, 0, 0x0099A0);
}

}  // namespace sim
