#pragma once
// Named cartridge addresses: the tables the game logic, the renderers and the builder read or write by
// their 68000 address. One name per address; a table's layout is described where it is named. The
// addresses of drawing routines, which sprite calls carry only as a tag, stay beside their callers.

#include <cstdint>

namespace sim::cart {

// --- tables built from the world -------------------------------------------------------------------
inline constexpr std::uint32_t kDoorLocks = 0x0025E0;  // long: one lock bit per door (bit 31 - door)
inline constexpr std::uint32_t kDoors = 0x0025E8;      // 12-byte door records, FFFF, then their rectangles
inline constexpr std::uint32_t kEdges = 0x00297C;      // the caves' side exits: area word, two exits, FFFF
inline constexpr std::uint32_t kObjects = 0x002B68;    // 62 object records of 16 bytes
inline constexpr std::uint32_t kObjectsSize = 992;
inline constexpr std::uint32_t kLifts = 0x0065B4;  // 9 lift records of 18 bytes
inline constexpr std::uint32_t kLiftsSize = 162;

// --- the hero ----------------------------------------------------------------------------------------
// Animation sequences (delay word, loop index word, frame words, FFFF).
inline constexpr std::uint32_t kSeqWalkLeft = 0x0017E0;
inline constexpr std::uint32_t kSeqWalkRight = 0x0017F6;
inline constexpr std::uint32_t kSeqStand = 0x00180C;
inline constexpr std::uint32_t kSeqBendRight = 0x001816;
inline constexpr std::uint32_t kSeqBendLeft = 0x00182A;
inline constexpr std::uint32_t kSeqJumpLeft = 0x00183E;
inline constexpr std::uint32_t kSeqJumpRight = 0x001852;
inline constexpr std::uint32_t kSeqJumpUp = 0x001866;
inline constexpr std::uint32_t kSeqJumpUpInWater = 0x00187A;
inline constexpr std::uint32_t kSeqStrokeRight = 0x00188E;
inline constexpr std::uint32_t kSeqStrokeLeft = 0x00189C;
inline constexpr std::uint32_t kSeqStunned = 0x0018AA;
inline constexpr std::uint32_t kSeqDieOnLand = 0x0018B8;
inline constexpr std::uint32_t kSeqDrown = 0x0018CA;
inline constexpr std::uint32_t kSeqDieByHazard = 0x0018DC;
// A sequence's first frame word, after its delay and loop index.
inline constexpr std::uint32_t kSeqFirstFrame = 4;

// --- actors ------------------------------------------------------------------------------------------
// Sequences (delay word, loop index word, frame words, FFFF) and the tables the actor types read.
inline constexpr std::uint32_t kSeqDangler = 0x00BDB6;
inline constexpr std::uint32_t kSeqBobber = 0x00BDC4;
inline constexpr std::uint32_t kSeqRestingBobber = 0x00BDD2;
inline constexpr std::uint32_t kSeqKnockingFlier = 0x00BDE4;
inline constexpr std::uint32_t kSeqKnockingFlierTitle = 0x00BDEE;  // the same flier on the title
inline constexpr std::uint32_t kSeqBitingFlier = 0x00BDF8;
inline constexpr std::uint32_t kSeqLeaping = 0x00BEE6;
inline constexpr std::uint32_t kSeqLanded = 0x00BEFA;
inline constexpr std::uint32_t kKnockingFlierSteps = 0x00AFB0;    // 4 longs: 16.16 steps
inline constexpr std::uint32_t kBitingFlierSteps = 0x00B172;      // 4 words: whole-pixel steps
inline constexpr std::uint32_t kWobble = 0x00C634;                // 32 signed words: type 5, area 10's platform
inline constexpr std::uint32_t kStepWalkerSequences = 0x00B266;   // a sequence long by word 36
inline constexpr std::uint32_t kPatroller7Sequences = 0x00B39A;   // a sequence long by word 36
inline constexpr std::uint32_t kPatroller14Sequences = 0x00BD28;  // a sequence long by word 36
inline constexpr std::uint32_t kEightWaySteps = 0x00B662;         // by direction: 16.16 x and y longs
inline constexpr std::uint32_t kEightWayWalls = 0x00B59C;         // by walls met: a long to {count, directions}
inline constexpr std::uint32_t kSwimSequences = 0x00B740;         // a sequence long by state
inline constexpr std::uint32_t kCreeperSequences = 0x00B898;      // a sequence long by state
inline constexpr std::uint32_t kCreeperNextStates = 0x00B90E;     // 8 bytes: the state after a step
inline constexpr std::uint32_t kHazardFrames = 0x00BB82;          // words up to a negative one
inline constexpr std::uint32_t kThrownFrames = 0x00BC78;          // 5 x {long speed threshold, word frame}

// --- areas and doors ---------------------------------------------------------------------------------
inline constexpr std::uint32_t kTrapdoorExits = 0x001E9C;  // area 29's second pair of bottom exits, 4 words each
inline constexpr std::uint32_t kDoorOpening = 0x0099A2;    // the opening sequence of the animated doors
inline constexpr std::uint32_t kRainWaits = 0x004A2A;      // four words: frames until the next rain
// RAM platform records at the new game: 12 ROM bytes from each of these.
inline constexpr std::uint32_t kPlatformRecords[4] = {0x00A9C0, 0x00A9CC, 0x00A9D8, 0x00A9F0};
inline constexpr std::uint32_t kPlatformRecordSize = 12;

// --- sprite banks and screens ------------------------------------------------------------------------
// A bank list: 8-byte entries (long bank, long selection list) up to a long FFFFFFFF; a selection list:
// 10-byte entries up to a word FFFF.
inline constexpr std::uint32_t kSelectionEntrySize = 10;
inline constexpr std::uint32_t kEventRecords = 0x03E470;   // long per event: its screen record
inline constexpr std::uint32_t kObjectIcons = 0x03E6D4;    // per object: signed word icon, word name entry
inline constexpr std::uint32_t kAreaBankLists = 0x03E844;  // long per area: its bank list
inline constexpr std::uint32_t kCommonBank = 0x03EC7C;     // the inventory screen's bank entry
inline constexpr std::uint32_t kLivesBankList = 0x03ED28;  // the lives screen's bank list
inline constexpr std::uint32_t kHintWobble = 0x00C674;     // 32 signed words: the reminder's arrows

// --- the front end -----------------------------------------------------------------------------------
inline constexpr std::uint32_t kLanguageLetters = 0x012E1E;     // 48 letter bytes per language
inline constexpr std::uint32_t kCodeMenuModes = 0x0130D2;       // the subgame mode word of each entry
inline constexpr std::uint32_t kSine = 0x014820;                // Q15, 256 steps per turn, by even byte offset
inline constexpr std::uint32_t kCosine = 0x0148A0;              // the same table a quarter turn on
inline constexpr std::uint32_t kCodeSequence = 0x0151C0;        // the title's secret keys, FF-terminated
inline constexpr std::uint32_t kTitleTable = 0x015822;          // 512 words of 128 + 127 sine
inline constexpr std::uint32_t kLogoBitmap = 0x015C22;          // 5 rows of 32 words, non-zero = a point
inline constexpr std::uint32_t kGameOverFirstWord = 0x00450E;   // 8 rows of 32 bits
inline constexpr std::uint32_t kGameOverSecondWord = 0x00452E;  // 8 rows of 32 bits

}  // namespace sim::cart
