#pragma once
// Drawing an area on the video chip: its blocks on plane A, its backdrop on plane B, its palettes, block
// animations and palette fades, and the status panel under the play field.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

#include "base/pattern_sheet.h"
#include "render/video_chip.h"

namespace world {
struct World;
struct Area;
}  // namespace world

namespace render {

class RenderAssets;

// Patterns, colour memory, background and plane B (the backdrop) for an area.
void setUpArea(VideoChip& chip, const world::World& world, const world::Area& area,
               const std::vector<Pattern>& areaPatterns, int paletteVariant);
// Plane A: the 12 block columns around the camera, with animated blocks replaced by their current
// blocks (`animationBlocks`, one per animation; frames[0] for those not given).
void drawArea(VideoChip& chip, const world::Area& area, int cameraX, const std::vector<int>& animationBlocks);
// The scroll values for a camera position: screen x shows area x + camera_x + 1, the backdrop at half speed.
void scrollArea(VideoChip& chip, const world::Area& area, int cameraX);
// Colour line 1 while the palette changes between variants.
void fadeVariant(VideoChip& chip, const world::Area& area, int paletteVariant, int paletteFadeStep);

// The status panel in the window under line 192, and its score and lives.
void drawStatusPanel(VideoChip& chip, const RenderAssets& assets);
void drawPanelNumbers(VideoChip& chip, std::int64_t score, std::int64_t lives);

// Steps a copy of the block animation records (8 bytes each, big-endian: block, timer, frame index) and
// returns the current block of each animation; nothing when the records are short or an index cannot be
// brought back into its frames.
std::optional<std::vector<int>> advanceBlockAnimations(std::vector<std::uint8_t>& blockAnims, const world::Area& area);

// One area at a camera position, without sprites or panel; nothing (logged) for an unknown area or a
// missing sheet.
std::optional<Frame> renderArea(RenderAssets& assets, int areaId, int cameraX, const std::vector<int>& animationBlocks);
// Writes the top 192 lines of renderArea as an indexed PNG with the 64 colours; exit status 0 or 1.
int renderAreaToFile(RenderAssets& assets, int areaId, int cameraX, const std::filesystem::path& path);

}  // namespace render
