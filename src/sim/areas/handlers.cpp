// The per-area handlers and set pieces, reached through a table by area id.
// A set piece or region of its own gets a file of its own beside this one,
// its handler declared in an internal header and entered in kHandlers.
#include <array>
#include <string>

#include "sim/areas/areas.h"
#include "sim/things/things.h"

namespace sim::areas {

namespace {

// The doors that open with an animation once their key is used: the
// door_states record, the door and where it is drawn, for areas 2 to 7.
struct AnimatedDoor {
  int record, door;
  std::int64_t x, y;
};
constexpr AnimatedDoor kLaneDoors[6] = {
    {1, 3, 1893, 117}, {2, 4, 1253, 85}, {3, 5, 453, 117}, {4, 6, 901, 149}, {5, 7, 357, 149}, {6, 8, 581, 117},
};
constexpr AnimatedDoor kGreenDoor = {0, 1, 415, 136};

void laneDoor(Context& c) {
  const AnimatedDoor& d = kLaneDoors[c.state.area - 2];
  animatedDoor(c, d.record, d.door, d.x, d.y);
}

void greenDoor(Context& c) {
  animatedDoor(c, kGreenDoor.record, kGreenDoor.door, kGreenDoor.x, kGreenDoor.y);
}

using Handler = void (*)(Context&);

// The lifts each area runs every frame (-1: none).
struct AreaLifts {
  int area, first, second;
};
constexpr AreaLifts kAreaLifts[] = {
    {0, 0, -1}, {3, 1, -1}, {4, 2, -1}, {5, 3, -1}, {15, 4, -1}, {16, 5, -1}, {17, 6, 7}, {47, 8, -1},
};

void areaLifts(Context& c) {
  for (const AreaLifts& a : kAreaLifts) {
    if (a.area != c.state.area) continue;
    things::lift(c, a.first);
    if (a.second >= 0) things::lift(c, a.second);
  }
}

// The areas whose handlers run the rope while one is out, and those with water, whose handlers run the
// bubbles.
constexpr int kRopeAreas[] = {2, 3, 5, 30, 48};
constexpr int kBubbleAreas[] = {8, 11, 12, 13, 14, 15};

void areaMachines(Context& c) {
  for (int area : kRopeAreas)
    if (area == c.state.area && c.state.flag_82e3 != 0) things::ropeStep(c);
  for (int area : kBubbleAreas)
    if (area == c.state.area) things::bubbles(c);
}

// The handler of each area, 0 to 49. Only the doors of the handlers are built
// yet (areas 2 to 7 and 21); the rest of every area's scenery and set pieces
// is not, so those areas run without them (nullptr).
constexpr std::array<Handler, 50> kHandlers = [] {
  std::array<Handler, 50> table{};
  for (int area = 2; area <= 7; ++area) table[area] = laneDoor;
  table[21] = greenDoor;
  return table;
}();

}  // namespace

// $005BA6
void runAreaHandler(Context& c) {
  const std::int64_t area = c.state.area;
  if (area > 49 || area < 0) stopWith(c, "the handler of area " + std::to_string(area) + " ($005BA6)");
  if (Handler handler = kHandlers[static_cast<std::size_t>(area)]) handler(c);
  areaLifts(c);
  areaMachines(c);
  areaMusic(c);
}

}  // namespace sim::areas
