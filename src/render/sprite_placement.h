#pragma once
// Placing sprite calls on the video chip the way the console's sprite routine fills its sprite attribute
// table: one entry per frame of at most 4 x 4 cells, larger frames split into 4 x 4 pieces, a separator
// call that lets the calls after it keep the table's tail, and no more than 80 entries shown.

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "render/sprite_banks.h"
#include "render/video_chip.h"
#include "sim/sim_types.h"

namespace render {

// The frame number of a separator call.
inline constexpr std::int32_t kSpriteSeparator = -2;
inline constexpr std::size_t kMaxSprites = 80;

// One 8-byte sprite attribute table entry as the console holds it: y + 128; size (bits 10-11 width - 1,
// bits 8-9 height - 1) and link (bits 0-7); attributes (tile word: priority, palette, flips, pattern);
// x + 128.
using SpriteTableEntry = std::array<std::uint16_t, 4>;

// The attribute table the calls make, separators resolved, before the 80-entry cut.
std::vector<SpriteTableEntry> spriteAttributeTable(const SpriteFrameList& list, std::span<const sim::SpriteCall> calls);

// Replaces the chip's sprites with the first 80 entries of the calls' attribute table.
void placeSprites(VideoChip& chip, const SpriteFrameList& list, std::span<const sim::SpriteCall> calls);

}  // namespace render
