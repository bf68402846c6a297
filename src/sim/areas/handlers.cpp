// The per-area handlers, reached through a table by area id: each area's own row (indoors, water, springs,
// sinking ground, lifts, frame bases, doors, scenery) here, its set pieces in the set_piece_*.cpp files
// beside this one (set_pieces.h declares them with the building blocks they share).
#include <array>
#include <string>
#include <vector>

#include "sim/areas/areas.h"
#include "sim/areas/set_pieces.h"
#include "sim/core/animation.h"
#include "sim/hero/hero.h"
#include "sim/things/things.h"

namespace sim::areas {

void workshopCrateStep(Context& c) {
  if (c.state.flag_82b0 != 0) setCells(c, {{1134, 0x60}, {1137, 0x60}});
}

void pointRockBroken(Context& c) {
  if (c.state.flag_82cc != 0) clearColumns(c, 277, 8, 0x01);
}

void cliffFlamesOut(Context& c) {
  if (c.state.flag_82fb != 0) setColumns(c, 92, 9, 0x30);
}

namespace {

using Handler = void (*)(Context&);

// --- doors ---

// The doors that open with an animation once their key is used: the door_states record, the door and
// where it is drawn, for areas 2 to 7.
struct AnimatedDoor {
  int record, door;
  std::int64_t x, y;
};
constexpr AnimatedDoor kLaneDoors[6] = {
    {1, 3, 1893, 117}, {2, 4, 1253, 85}, {3, 5, 453, 117}, {4, 6, 901, 149}, {5, 7, 357, 149}, {6, 8, 581, 117},
};
constexpr AnimatedDoor kGreenDoor = {0, 1, 415, 136};

// --- lifts ---

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

// --- frame bases ---

// The words of frame_bases that the area's actors add to their frames: word, value, and whether the value
// counts from the area's bank frame count B.
struct FrameBase {
  std::size_t word;
  std::int64_t value;
  bool fromB = true;
};
struct AreaBases {
  int first, last;
  std::vector<FrameBase> bases;
};
const std::vector<AreaBases>& frameBaseTable() {
  static const std::vector<AreaBases> kTable = {
      {12, 12, {{1, 0}, {2, 3}, {3, 6}, {4, 12}, {5, 16}, {8, 20}, {9, 26}, {10, 33}}},
      {14, 14, {{1, 0}, {2, 3}, {3, 6}, {4, 12}, {5, 16}, {8, 20}, {9, 26}, {10, 33}}},
      {13, 13, {{1, 0}, {2, 0}, {4, 3}, {5, 3}, {8, 7}, {9, 13}, {10, 20}}},
      {15, 15, {{4, 32}, {5, 36}, {11, 22}, {13, 40, false}}},
      {16, 16, {{11, 10}, {13, 40, false}}},
      {17, 17, {{12, 23}, {13, 40, false}}},
      {18, 19, {{0, 4}, {14, 7}}},
      {20, 20, {{0, 4}, {4, 11}, {14, 7}}},
      {31, 31, {{14, 0}}},
      {45, 49, {{14, 0}}},
      {32, 32, {{4, 18}, {5, 22}, {6, 26}, {7, 30}, {11, 4}, {14, 0}}},
      {33, 33, {{11, 0}}},
      {43, 43, {{11, 0}}},
      {35, 40, {{11, 19}}},
  };
  return kTable;
}

void frameBases(Context& c) {
  const std::int64_t area = c.state.area;
  for (const AreaBases& row : frameBaseTable()) {
    if (area < row.first || area > row.last) continue;
    for (const FrameBase& b : row.bases) setFrameBase(c, b.word, b.fromB ? bankFrames(c) + b.value : b.value);
  }
}

// --- water ---

void alwaysInWater(Context& c) {
  GameState& s = c.state;
  s.indoors = 255;
  s.variant_ad = 255;
  s.float_y = 2;
  s.water_surface = 0;
  // Their bubbles run in areaMachines.
}

// --- the areas' rows ---

void area0(Context& c) {
  meadowBridge(c);
}

void area1(Context& c) {
  laneGate(c);
}

// Areas 2 to 7: a lane's door (the rope of areas 2, 3 and 5 runs in areaMachines).
void laneDoor(Context& c) {
  const AnimatedDoor& d = kLaneDoors[c.state.area - 2];
  animatedDoor(c, d.record, d.door, d.x, d.y);
}

void area8(Context& c) {
  GameState& s = c.state;
  s.spring = heroInside(s, {166, 130, 20, 10}) ? 255 : 0;
  s.float_y = 128;
  s.water_surface = 136;
  s.variant_ad = heroInside(s, {790, 130, 110, 64}) ? 255 : 0;
  if (s.flag_82ce != 0) loftChain(c);
}

void area9(Context& c) {
  storeCreatures(c);
}

void area10(Context& c) {
  cellarPieces(c);
}

// The crate set in the workshop's corner is a step; the hanging sign sways.
void area11(Context& c) {
  constexpr std::int64_t kCrateFrame = 0, kSignFrame = 1;
  GameState& s = c.state;
  s.water_surface = 144;
  if (heroY(s) >= 139) {
    s.variant_ad = 255;
    s.float_y = 140;
  } else {
    s.variant_ad = 0;
  }
  workshopCrateStep(c);
  if (s.flag_82b0 != 0) scenery(c, 3024, 40, kCrateFrame, 0, 0);
  s.a11_timer = static_cast<std::int16_t>(s.a11_timer - 1);
  if (s.a11_timer == -1) {
    s.a11_timer = 12;
    s.a11_sway = s.a11_sway == 0 ? 1 : 0;
  }
  scenery(c, 2960, 96, kSignFrame + s.a11_sway, 0, 0);
}

void area13(Context& c) {
  alwaysInWater(c);
  chamberPlatform(c);
}

// The fountain of Fernhollow, running once the water jug has been poured.
void area15(Context& c) {
  static const std::vector<std::uint16_t> kFountain = {5, 0, 0, 2, 4, 6, 8, 10, 12, 14, 16, 18};
  constexpr std::int64_t kFountainFrame = 42, kEffectFountain = 20;
  GameState& s = c.state;
  s.indoors = 255;
  s.water_surface = 0;
  const std::int64_t X = heroX(s);
  s.variant_ad = X >= 1114 ? 255 : 0;
  if (X >= 1114) s.float_y = X < 1145 ? 74 : 2;
  // The bubbles run in areaMachines; their wall at bytes 421 to 430 is not built yet.
  std::int64_t frame = 20;
  if (s.flag_82cb != 0) {
    frame = stepProgramSequence(c, s.a15_anim, 0, kFountain);
    if (frame == 0 && s.camera_x >= 661 && s.camera_x <= 1052) requestEffect(c, kEffectFountain);
  }
  scenery(c, 864, 112, kFountainFrame + frame / 2, 0, 0);
}

void area16(Context& c) {
  c.state.indoors = 255;
  thicketShooter(c);
}

void area17(Context& c) {
  c.state.indoors = 255;
  owlboughMachine(c);
}

// Brackenfall: the archery stand's countdown, the hazelnut the squirrel throws back, and the blinking
// creatures in the undergrowth.
void area18(Context& c) {
  constexpr std::int64_t kHazelnut = 49, kEffectCountdown = 23;
  constexpr std::int64_t kCountdownFrame = 17, kBlinkFrame = 18, kTwitchFrame = 19;  // past the caterpillar
  GameState& s = c.state;
  s.side_82c9 = 0;
  hazardRecord(c, 0x003636);
  if (s.flag_82db != 0 && s.w825e > 0) {
    s.w825e -= 1;
    if (s.w825e == 0) requestEffect(c, kEffectCountdown);
    const std::int64_t pieces = ((s.w825e >> 5) & 0x7FF) + 1;
    for (std::int64_t i = 0; i < pieces; ++i) scenery(c, 1780, 120 - 8 * i, kCountdownFrame, 0, 0);
  }
  if (s.flag_82dc != 0 && flyArc(c, s.w8134)) {
    s.flag_82dc = 0;
    giveObject(c, kHazelnut);
  }
  s.area18_timer = static_cast<std::int16_t>(s.area18_timer - 1);
  if (s.area18_timer < 0) {
    s.area18_timer = (random(c, 512) & 127) + 60;
    s.a18_blink = 8;
  }
  s.a18_t1 -= 1;
  if (s.a18_t1 < 0) {
    s.a18_t1 = 20;
    s.a18_t2 = 10;
  }
  if (s.a18_blink > 0) {
    s.a18_blink -= 1;
    scenery(c, 1400, 120, kBlinkFrame, 0, 0);
  }
  if (s.a18_t2 > 0) {
    s.a18_t2 -= 1;
    scenery(c, 620, 150, kTwitchFrame, 0, 0);
  }
}

void area19(Context& c) {
  c.state.side_82c9 = 255;
}

void area20(Context& c) {
  hazardRecord(c, 0x00364E);
  crossingBlocker(c);
}

void area21(Context& c) {
  c.state.indoors = 255;
  animatedDoor(c, kGreenDoor.record, kGreenDoor.door, kGreenDoor.x, kGreenDoor.y);
  greenHints(c);
}

void indoorsOnly(Context& c) {
  c.state.indoors = 255;
}

void area23(Context& c) {
  c.state.indoors = 255;
  c.state.expression = 2;
}

void area26(Context& c) {
  c.state.indoors = 255;
  hallThrows(c);
}

// The cook's kitchen: the pot bubbles, and steam rises until the cook has had his due.
void area27(Context& c) {
  static const std::vector<std::uint16_t> kPot = {6, 0, 0, 1, 2, 1};
  constexpr std::int64_t kPotFrame = 0, kSteamFrame = 3;
  GameState& s = c.state;
  s.indoors = 255;
  s.expression = 2;
  scenery(c, 280, 152, kPotFrame + stepProgramSequence(c, s.anim_81aa, 0, kPot), 0, 0);
  if (s.flag_82e8 != 0) return;
  s.particle_timer -= 1;
  if (s.particle_timer < 0) s.particle_timer = 16;
  // A puff of steam at the pot's rim every 17 frames, rising 1 pixel a frame for 40 frames.
  const std::int64_t age = 16 - s.particle_timer;
  for (std::int64_t k = 0; k < 3; ++k) scenery(c, 284 + 4 * k, 140 - age - 17 * k, kSteamFrame, 0, 0);
}

void area28(Context& c) {
  c.state.indoors = 255;
  shoreSequence(c);
}

void area29(Context& c) {
  jettyTrapdoor(c);
}

// The rope of area 30 runs in areaMachines.
void area30(Context& c) {
  c.state.indoors = 255;
}

void area31(Context& c) {
  c.state.indoors = 255;
  dunesCatapult(c);
}

// Gull Point: the rock on the hill breaks under the pickaxe.
void area32(Context& c) {
  GameState& s = c.state;
  s.indoors = 255;
  pointRockBroken(c);
}

void area34(Context& c) {
  c.state.indoors = 255;
  tunnelLight(c);
  tunnelTroll(c);
}

void tunnel(Context& c) {
  c.state.indoors = 255;
  tunnelLight(c);
}

void area41(Context& c) {
  c.state.indoors = 255;
  c.state.sinking = 255;
}

// Old Mine Gate: the floor gives way but by the gate; the west wall holds the hero.
void area42(Context& c) {
  GameState& s = c.state;
  s.indoors = 255;
  if (heroX(s) < 1) s.x = withWhole(s.x, 1);
  s.sinking = heroInsideRom(c, 0x0093A0) ? 0 : 255;
  mineGate(c);
}

void area43(Context& c) {
  c.state.indoors = 255;
  chuteSpringboard(c);
}

// Deep Seam: the archery range opens past its east end.
void area45(Context& c) {
  constexpr std::int64_t kArchery = 8;
  GameState& s = c.state;
  s.indoors = 255;
  s.flag_82f9 = 255;
  if (heroX(s) >= 1009) enterSubgame(c, kArchery);
}

// The High Tower's hall: the deadly ledge until the wooden ramp covers it.
void area47(Context& c) {
  GameState& s = c.state;
  s.indoors = 255;
  if (s.flag_82f8 != 0) return;
  if (heroX(s) > 826) s.x = withWhole(s.x, 826);
  if (heroInsideRom(c, 0x0096D8)) deathAt(c, 738, 136, 47, 0x10000);
}

// Cliff Path: the flames on the floor, and the step the bucket leaves when it puts them out. Its rope
// runs in areaMachines.
void area48(Context& c) {
  constexpr std::int64_t kStepFrame = 8, kFlameFrame = 9;  // past the creepers' frames (+4 to +7)
  GameState& s = c.state;
  s.indoors = 255;
  cliffFlamesOut(c);
  if (s.flag_82fb != 0) {
    scenery(c, 240, 160, kStepFrame, 0, 0);
    return;
  }
  if (heroInsideRom(c, 0x0097C8)) deathAt(c, 195, 152, 48, 0x10000);
  for (std::int64_t x : {237, 257, 277, 297}) scenery(c, x, 156, kFlameFrame, 0, 0);
}

// Lighthouse Ledge: a barrier holds the hero back until every star is found, then the tower opens.
void area49(Context& c) {
  constexpr std::int64_t kTower = 9, kEffectBarrier = 6, kBarrierFrame = 8;  // past the creepers' frames
  GameState& s = c.state;
  s.indoors = 255;
  if (s.flag_82fa != 0) {
    if (heroX(s) >= 1259) enterSubgame(c, kTower);
    return;
  }
  if (s.camera_x < 900 || s.camera_x > 1236) return;
  scenery(c, 1220, 112, kBarrierFrame, 0, 0);
  if (heroX(s) < 1211) return;
  hero::resetHero(c);
  s.x = std::int64_t{1194} << 16;
  s.y = std::int64_t{152} << 16;
  s.restart_x = 1194;
  s.restart_y = 152;
  s.restart_area = 48;
  hero::setHeroAnimation(c, 0x0018AA);
  s.stun = 120;
  s.event = 13;
  requestEffect(c, kEffectBarrier);
}

// The doors alone, while the areas' other rules are off.
void areaDoors(Context& c) {
  const std::int64_t area = c.state.area;
  if (area >= 2 && area <= 7) laneDoor(c);
  if (area == 21) animatedDoor(c, kGreenDoor.record, kGreenDoor.door, kGreenDoor.x, kGreenDoor.y);
}

// The handler of each area, 0 to 49 (nullptr: the area has no rules of its own).
constexpr std::array<Handler, 50> kHandlers = [] {
  std::array<Handler, 50> t{};
  t[0] = area0;
  t[1] = area1;
  for (int area = 2; area <= 7; ++area) t[area] = laneDoor;
  t[8] = area8;
  t[9] = area9;
  t[10] = area10;
  t[11] = area11;
  t[12] = t[14] = alwaysInWater;
  t[13] = area13;
  t[15] = area15;
  t[16] = area16;
  t[17] = area17;
  t[18] = area18;
  t[19] = area19;
  t[20] = area20;
  t[21] = area21;
  t[22] = t[24] = t[25] = t[33] = t[44] = t[46] = indoorsOnly;
  t[23] = area23;
  t[26] = area26;
  t[27] = area27;
  t[28] = area28;
  t[29] = area29;
  t[30] = area30;
  t[31] = area31;
  t[32] = area32;
  t[34] = area34;
  for (int area = 35; area <= 40; ++area) t[area] = tunnel;
  t[41] = area41;
  t[42] = area42;
  t[43] = area43;
  t[45] = area45;
  t[47] = area47;
  t[48] = area48;
  t[49] = area49;
  return t;
}();

using KeptCollision = void (*)(Context&);
constexpr std::pair<std::int64_t, KeptCollision> kKeptCollision[] = {
    {0, meadowBridgeFloor}, {8, loftHatchOpen},        {11, workshopCrateStep},
    {13, chamberWaxPlug},   {17, owlboughMachineWall}, {28, shorePassageOpen},
    {29, jettyFloors},      {32, pointRockBroken},     {48, cliffFlamesOut},
};

}  // namespace

void reapplyKeptCollision(Context& c) {
  if (!c.areaRules) return;
  for (const auto& [area, lay] : kKeptCollision)
    if (area == c.state.area) lay(c);
}

// $005BA6
void runAreaHandler(Context& c) {
  const std::int64_t area = c.state.area;
  if (area > 49 || area < 0) stopWith(c, "the handler of area " + std::to_string(area) + " ($005BA6)");
  frameBases(c);  // the actors' art, whether or not the areas' other rules run
  if (c.areaRules) {
    if (Handler handler = kHandlers[static_cast<std::size_t>(area)]) handler(c);
  } else {
    areaDoors(c);
  }
  areaLifts(c);
  areaMachines(c);
  areaMusic(c);
}

}  // namespace sim::areas
