#pragma once
// Patterns the game frame loads over its sprite frames every frame: the graphics of the objects lying in
// the area, into the common bank's object slots, and the hero's current 3 x 3 frame.

#include <cstdint>
#include <vector>

#include "base/pattern_sheet.h"
#include "render/sprite_banks.h"
#include "render/video_chip.h"

namespace sim {
struct GameState;
}

namespace render {

// Console RAM address of the first record of the object table (16 bytes per record, 62 records).
inline constexpr std::uint32_t kObjectTableAddress = 0xFFFFAC62;

// For each of the first `objects_here_count` slots (at most 32), the 2 x 2 graphic of the object the
// slot points at goes to four patterns from frame 2's first pattern + 4 x slot. Slots that point outside
// the object table load nothing but still use their four patterns. Needs at least 3 frames.
void uploadObjectGraphics(VideoChip& chip, const SpriteFrameList& list, const sim::GameState& state,
                          const std::vector<Pattern>& objectPatterns);

// The hero's frame `spriteFrame` (frames 0 and 1 changed by the expression: +28 for 1, +38 for 2) as
// nine patterns from `first`.
void uploadHeroFrame(VideoChip& chip, std::int32_t first, std::int64_t spriteFrame, std::int64_t expression,
                     const std::vector<Pattern>& heroFrames);

}  // namespace render
