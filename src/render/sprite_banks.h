#pragma once
// Sprite banks: the cartridge's tables that say what a sprite call's frame number means. A bank is a
// picture plus a list of selections; each selection cuts a rectangle of cells out of the picture and
// loads its patterns into the pattern store one after another, or reuses an earlier frame with another
// attribute word. A bank list chains banks, and frame numbers count over the whole list in load order.

#include <cstdint>
#include <optional>
#include <vector>

#include "render/pictures.h"
#include "render/video_chip.h"

namespace sim {
class RomView;
}

namespace render {

// One loaded selection. Its width x height patterns run consecutively from `first`, in 4 x 4 pieces
// (column strips of 4 cells, row strips within each, each piece column by column).
struct SpriteFrame {
  std::int32_t first = 0;  // pattern-store number of the first pattern
  std::int32_t width = 0;  // cells
  std::int32_t height = 0;
  std::uint16_t attribute = 0;  // bits 0-1 palette line, bit 2 priority; higher bits are kept as loaded
  bool operator==(const SpriteFrame&) const = default;
};

struct SpriteFrameList {
  std::vector<SpriteFrame> frames;     // a sprite call's frame number indexes this
  std::int32_t first_bank_frames = 0;  // frames added by the first bank that added any
  std::int32_t next_pattern = 0;       // pattern-store number after the last loaded pattern
  std::vector<std::uint16_t> palette;  // palette line of the last bank loaded
};

// One 10-byte record of a selection list; x, y, width and height in cells of the bank's picture.
// A negative x reuses frame -x with this record's attribute word.
struct SpriteSelection {
  std::uint16_t attribute = 0;
  std::int16_t x = 0;
  std::int16_t y = 0;
  std::uint16_t width = 0;
  std::uint16_t height = 0;
};

// Loads every bank of the list at `listAddress`, its patterns from `firstPattern` on. Nothing (logged)
// when the tables were not exported, a bank is not a picture, or a selection is bad.
std::optional<SpriteFrameList> loadBankList(VideoChip& chip, const sim::RomView& rom, const PictureMap& pictures,
                                            std::uint32_t listAddress, std::int32_t firstPattern);

// The bank list of an area: the list that the long at sim::cart::kAreaBankLists + 4 x area points at. A pointer
// that was not exported is reported as a list at the pointer's own address.
std::optional<SpriteFrameList> loadAreaBankList(VideoChip& chip, const sim::RomView& rom, const PictureMap& pictures,
                                                std::int32_t area, std::int32_t firstPattern);

// Appends the frames of the single bank entry at `entryAddress` (long bank, long selection list) to
// `list`, loading from its `next_pattern`. False (logged) on failure.
bool loadBankEntry(VideoChip& chip, const sim::RomView& rom, const PictureMap& pictures, std::uint32_t entryAddress,
                   SpriteFrameList& list);

// Appends the frames of `selections`, cut from the picture of `bank`. False (logged) when the bank is not a
// picture, a reuse names a frame that does not exist yet, or a rectangle leaves the picture; the frames
// and patterns loaded before the failure stay in `list` and the store.
bool loadSelections(VideoChip& chip, const PictureMap& pictures, std::uint32_t bank,
                    const std::vector<SpriteSelection>& selections, SpriteFrameList& list);

// The records of the selection list at `address`, up to its end marker (attribute 0xFFFF). Stops early
// when a read touches bytes that were not exported (the view records the address).
std::vector<SpriteSelection> readSelectionList(const sim::RomView& rom, std::uint32_t address);

}  // namespace render
