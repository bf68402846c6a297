// The building blocks of the area handlers: the hero in a rectangle, deaths at a place and the deadly
// beds, changes to the area's collision bytes, scenery sprites, platforms, subgame entry, frame bases,
// the knock-back, thrown objects, giving an object and the tunnel light.
#include "sim/areas/set_pieces.h"

#include <algorithm>

#include "sim/cartridge.h"
#include "sim/core/animation.h"
#include "sim/core/records.h"
#include "sim/hero/hero.h"
#include "sim/rom_view.h"

namespace sim::areas {

namespace {

constexpr std::uint32_t kCallerScenery = 0x005BA6;
constexpr std::int64_t kEffectKnock = 4;
constexpr std::int64_t kPlatformRam = 0xFF9F0C;

std::int64_t signedWord(Context& c, std::uint32_t at) {
  return c.rom.signedWordAt(at);
}

// Departure: the console changes its collision copy at fixed offsets whatever the area's width; a
// narrower area of a data set would have bytes past its copy written every frame. Such a change is
// skipped here.
void changeByte(Context& c, std::size_t at, std::uint8_t bits, bool set) {
  auto& bytes = c.areaCache.collision;
  if (at >= bytes.size()) return;
  bytes[at] = set ? static_cast<std::uint8_t>(bytes[at] | bits) : static_cast<std::uint8_t>(bytes[at] & ~bits);
}

}  // namespace

Box romBox(Context& c, std::uint32_t at) {
  return {signedWord(c, at), signedWord(c, at + 2), signedWord(c, at + 4), signedWord(c, at + 6)};
}

bool heroInside(const GameState& s, const Box& b) {
  const std::int64_t X = heroX(s), Y = heroY(s);
  return X < b.x + b.w && b.x < X + 20 && Y < b.y + b.h && b.y < Y + 20;
}

bool heroInsideRom(Context& c, std::uint32_t at) {
  return heroInside(c.state, romBox(c, at));
}

void deathAt(Context& c, std::int64_t x, std::int64_t y, std::int64_t area, std::int64_t damage) {
  GameState& s = c.state;
  if (s.dying != 0) return;
  s.restart_x = x;
  s.restart_y = y;
  s.restart_area = area;
  if ((c.cheats & kCheatNoDamage) == 0) s.dying = 1;
  hero::addDamage(c, damage, false);
}

// 0x003636 and its neighbours: the deadly beds.
bool hazardRecord(Context& c, std::uint32_t at) {
  GameState& s = c.state;
  if (s.dying != 0 || !heroInside(s, romBox(c, at))) return false;
  if (signedWord(c, at + 8) >= 0) {
    s.restart_area = signedWord(c, at + 8);
    s.restart_x = signedWord(c, at + 10);
    s.restart_y = signedWord(c, at + 12);
  }
  s.hazard_hit = 255;
  if ((c.cheats & kCheatNoDamage) == 0) s.dying = 1;
  return true;
}

void setColumns(Context& c, std::size_t b, std::size_t n, std::uint8_t m) {
  for (std::size_t i = 0; i < n; ++i) changeByte(c, b + 3 * i, m, true);
}

void clearColumns(Context& c, std::size_t b, std::size_t n, std::uint8_t m) {
  for (std::size_t i = 0; i < n; ++i) changeByte(c, b + 3 * i, m, false);
}

void setCells(Context& c, std::initializer_list<Cell> cells) {
  for (const Cell& cell : cells) changeByte(c, cell.byte, cell.bits, true);
}

void clearCells(Context& c, std::initializer_list<Cell> cells) {
  for (const Cell& cell : cells) changeByte(c, cell.byte, cell.bits, false);
}

std::int64_t bankFrames(const Context& c) {
  return c.areaCache.firstSelectionFrames;
}

void scenery(Context& c, std::int64_t x, std::int64_t y, std::int64_t offset, std::uint32_t attributes,
             std::uint32_t caller) {
  const std::int64_t sx = x - c.state.camera_x;
  if (sx <= -64 || sx >= 320) return;
  addSprite(c, static_cast<std::uint32_t>(sx + 128) & 0xFFFF, static_cast<std::uint32_t>(y + 128) & 0xFFFF,
            static_cast<std::uint32_t>(bankFrames(c) + offset) & 0xFFFF, attributes,
            caller != 0 ? caller : kCallerScenery);
}

void restartRecord(std::vector<std::uint8_t>& block, std::size_t offset) {
  be::setWord(block, offset + rec::kAnimTimer, 0);
  be::setWord(block, offset + rec::kAnimIndex, -1);
}

std::size_t platformRecord(std::uint32_t address) {
  return static_cast<std::size_t>(static_cast<std::int64_t>(address & 0xFFFFFF) - kPlatformRam);
}

// A full list leaves the platform out.
void offerPlatform(Context& c, std::uint32_t address) {
  auto& list = c.state.platforms;
  for (std::size_t i = 0; i + 3 < list.size(); i += 4) {
    if (be::longWord(list, i) != 0) continue;
    be::setLongWord(list, i, address);
    return;
  }
}

void enterSubgame(Context& c, std::int64_t mode) {
  if (c.state.mode == 0) c.state.mode = mode;
}

void setFrameBase(Context& c, std::size_t index, std::int64_t value) {
  be::setWord(c.state.frame_bases, 2 * index, value);
}

void knockBack(Context& c, bool toTheRight, std::int64_t vy) {
  GameState& s = c.state;
  if (s.lock != 0) return;
  s.jump = toTheRight ? 3 : 2;
  s.vy = vy;
  s.settled = 0;
  s.fall_max = 42;
  hero::setHeroAnimation(c, toTheRight ? cart::kSeqJumpRight : cart::kSeqJumpLeft);
  requestEffect(c, kEffectKnock);
}

// The arc record: start x 0, y (16.16) 4 (the thing's y as it flies), target x 8, y 12, speed 16, gravity 20,
// start x again 26, steps 28, the step counter 30.
bool flyArc(Context& c, std::int64_t frame) {
  auto& a = c.state.arc;
  const std::int64_t speed = static_cast<std::int32_t>(be::longWord(a, 16) + be::longWord(a, 20));
  be::setLongWord(a, 16, static_cast<std::uint32_t>(speed));
  std::int64_t y = static_cast<std::int32_t>(be::longWord(a, 4) + static_cast<std::uint32_t>(speed));
  const std::int64_t targetY = be::word(a, 12);
  if (static_cast<std::int16_t>(y >> 16) > targetY) y = withWhole(y, targetY);
  be::setLongWord(a, 4, static_cast<std::uint32_t>(y));
  const std::int64_t startX = be::word(a, 26), targetX = be::word(a, 8);
  const std::int64_t n = be::word(a, 28) & 0xFFFF, i = be::word(a, 30);
  const std::int64_t x = n == 0 ? startX : startX + (targetX - startX) * i / n;
  if (i < n) be::setWord(a, 30, i + 1);
  const std::int64_t sx = x - c.state.camera_x;
  if (sx > -32 && sx < 320)
    addSprite(c, static_cast<std::uint32_t>(sx + 128) & 0xFFFF,
              static_cast<std::uint32_t>(static_cast<std::int16_t>(y >> 16) + 128) & 0xFFFF,
              static_cast<std::uint32_t>(frame) & 0xFFFF, 0, kCallerScenery);
  return x == targetX;
}

void setObjectArea(GameState& s, std::int64_t k, std::int64_t area) {
  const std::size_t at = static_cast<std::size_t>(k) * rec::kObjectSize;
  if (k < 0 || at + rec::kObjectSize > s.objects.size()) return;
  be::setWord(s.objects, at, area);
}

// Departure: with no empty inventory word the console marks the object carried all the same, so it is
// neither on the panel nor anywhere in the world and the puzzle that needs it can never be solved. Here it
// is laid at the hero's feet instead, where he can pick it up once he has a free hand.
void giveObject(Context& c, std::int64_t k) {
  GameState& s = c.state;
  s.flag_82bf = 0;
  for (std::size_t w : {4, 3, 2, 1, 0}) {
    if (be::word(s.inventory, 2 * w) >= 0) continue;
    be::setWord(s.inventory, 2 * w, k);
    setObjectArea(s, k, -1);
    return;
  }
  const std::size_t at = static_cast<std::size_t>(k) * rec::kObjectSize;
  if (k < 0 || at + rec::kObjectSize > s.objects.size()) return;
  be::setWord(s.objects, at, s.area);
  be::setWord(s.objects, at + 2, heroX(s) + 2);
  be::setWord(s.objects, at + 4, heroY(s) + 8);
}

// {a, b, d} of areas 34 to 40; the light sinks as the hero walks east.
void tunnelLight(Context& c) {
  struct Light {
    std::int64_t a, b, d;
  };
  static constexpr Light kLights[7] = {{220, 24, 36}, {206, 43, 17}, {150, 43, 17}, {138, 24, 36},
                                       {112, 24, 36}, {92, 43, 17},  {174, 43, 36}};
  static const std::vector<std::uint16_t> kGlow = {3, 0, 0, 1, 2, 2, 1};
  GameState& s = c.state;
  if (s.area < 34 || s.area > 40) return;
  const Light& l = kLights[s.area - 34];
  const std::int64_t frame = stepProgramSequence(c, s.tunnel_light, 0, kGlow);
  const std::int64_t drop = static_cast<std::uint16_t>(heroX(s) - 4) / l.d;
  addSprite(c, static_cast<std::uint32_t>(l.a + 128), static_cast<std::uint32_t>(l.b + 128 - drop) & 0xFFFF,
            static_cast<std::uint32_t>(bankFrames(c) + frame) & 0xFFFF, 16, kCallerScenery);
}

}  // namespace sim::areas
