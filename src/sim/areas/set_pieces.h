#pragma once
// The building blocks the area handlers share, and the set pieces' entries. Internal to src/sim/areas and
// its tests: other subsystems reach the handlers only through runAreaHandler (areas.h).

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <vector>

#include "sim/core/big_endian.h"
#include "sim/core/context.h"

namespace sim::areas {

// --- the hero ---

inline std::int64_t heroX(const GameState& s) {
  return static_cast<std::int16_t>(s.x >> 16);
}
inline std::int64_t heroY(const GameState& s) {
  return static_cast<std::int16_t>(s.y >> 16);
}
// x or y (16.16) with a new integer part, the fraction kept.
inline std::int64_t withWhole(std::int64_t v, std::int64_t whole) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>((whole << 16) | (v & 0xFFFF)));
}

// A rectangle x, y, width, height; a ROM rectangle is four signed words.
struct Box {
  std::int64_t x, y, w, h;
};
Box romBox(Context& c, std::uint32_t at);
// The hero's 20 x 20 box at (X, Y) meets the rectangle.
bool heroInside(const GameState& s, const Box& b);
bool heroInsideRom(Context& c, std::uint32_t at);

// A death at a place: the restart point becomes (x, y, area) and the death starts (unless the no-damage
// cheat is on), with a damage of `damage` (16.16). Nothing while a death is under way.
void deathAt(Context& c, std::int64_t x, std::int64_t y, std::int64_t area, std::int64_t damage);
// A deadly bed of the cartridge (seven words: the rectangle, the restart area, x, y): true when it struck
// in this frame.
bool hazardRecord(Context& c, std::uint32_t at);

// --- the area's collision bytes ---

// n columns from byte b (every third byte) gain or lose bits m.
void setColumns(Context& c, std::size_t b, std::size_t n, std::uint8_t m);
void clearColumns(Context& c, std::size_t b, std::size_t n, std::uint8_t m);
struct Cell {
  std::size_t byte;
  std::uint8_t bits;
};
void setCells(Context& c, std::initializer_list<Cell> cells);
void clearCells(Context& c, std::initializer_list<Cell> cells);

// --- drawing ---

// The area's bank frame count: frame offsets of the area's own sprites count from it.
std::int64_t bankFrames(const Context& c);
// A sprite of the area at area coordinates (x, y), frame B + offset, while its x lies on the screen.
void scenery(Context& c, std::int64_t x, std::int64_t y, std::int64_t offset, std::uint32_t attributes,
             std::uint32_t caller);
inline constexpr std::uint32_t kMirrored = 1;  // the sprite call flipped left to right

// An animation record starts again at its sequence's first frame.
void restartRecord(std::vector<std::uint8_t>& block, std::size_t offset = 0);
inline std::int64_t recordFrame(const std::vector<std::uint8_t>& block, std::size_t offset = 0) {
  return be::word(block, offset);
}

// --- the hero's things ---

// Offers a platform record (a ROM address or FF9Fxx) in the first free entry of `platforms`.
void offerPlatform(Context& c, std::uint32_t address);
inline constexpr std::uint32_t kPlatformFloat = 0xFFFF9F0C;    // area 10's floating platform
inline constexpr std::uint32_t kPlatformRising = 0xFFFF9F18;   // area 13's rising platform
inline constexpr std::uint32_t kPlatformDropper = 0xFFFF9F24;  // area 9's dropping creature
inline constexpr std::uint32_t kPlatformSpring = 0xFFFF9F30;   // area 43's springboard
// Byte offset of a RAM platform record's word inside platform_recs.
std::size_t platformRecord(std::uint32_t address);

// A subgame begins at stage 2 of this step, unless one is already on its way.
void enterSubgame(Context& c, std::int64_t mode);
// frame_bases word `index`.
void setFrameBase(Context& c, std::size_t index, std::int64_t value);
// The hero is thrown back to the left or right (nothing while an action holds him).
inline constexpr std::int64_t kKnockBackSpeed = -0x3F000;
void knockBack(Context& c, bool toTheRight, std::int64_t vy = kKnockBackSpeed);

// A thrown object flies one step along `arc` and is drawn with `frame`: true on the frame it arrives.
bool flyArc(Context& c, std::int64_t frame);
// Object k goes to the hero: carried, into the first empty inventory word from the bottom.
void giveObject(Context& c, std::int64_t k);
// An object record's area word.
void setObjectArea(GameState& s, std::int64_t k, std::int64_t area);

// The dim light at the tunnel's end in areas 34 to 40.
void tunnelLight(Context& c);

// --- the set pieces, one handler each (their files beside this one) ---

void meadowBridge(Context& c);      // area 0
void laneGate(Context& c);          // area 1
void loftChain(Context& c);         // area 8
void storeCreatures(Context& c);    // area 9
void cellarPieces(Context& c);      // area 10
void chamberPlatform(Context& c);   // area 13
void thicketShooter(Context& c);    // area 16
void owlboughMachine(Context& c);   // area 17
void crossingBlocker(Context& c);   // area 20
void greenHints(Context& c);        // area 21
void hallThrows(Context& c);        // area 26
void shoreSequence(Context& c);     // area 28
void jettyTrapdoor(Context& c);     // area 29
void dunesCatapult(Context& c);     // area 31
void tunnelTroll(Context& c);       // area 34
void mineGate(Context& c);          // area 42
void chuteSpringboard(Context& c);  // area 43

// The walls and floors a piece keeps changed while its area is current, by the state alone: the pieces call
// them every frame, and they are laid again when a state is loaded outside the game step.
void meadowBridgeFloor(Context& c);    // area 0
void loftHatchOpen(Context& c);        // area 8
void workshopCrateStep(Context& c);    // area 11
void chamberWaxPlug(Context& c);       // area 13
void owlboughMachineWall(Context& c);  // area 17
void shorePassageOpen(Context& c);     // area 28
void jettyFloors(Context& c);          // area 29
void pointRockBroken(Context& c);      // area 32
void cliffFlamesOut(Context& c);       // area 48

}  // namespace sim::areas
