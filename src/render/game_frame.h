#pragma once
// The picture of one game step: the area at the camera with its palettes, animations and status panel,
// the sprite banks of the area, the objects' and the hero's graphics of this frame, and the step's
// sprite calls placed on top.

#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "render/sprite_banks.h"
#include "render/video_chip.h"
#include "sim/sim_types.h"

namespace sim {
struct GameState;
}

namespace render {

class RenderAssets;

// Rewrites the calls of a frame before they are placed (the hint buttons of the treehouse area); it may
// load more frames into the chip and the list.
using SpriteCallHook = std::function<void(VideoChip&, SpriteFrameList&, std::vector<sim::SpriteCall>&)>;

// Sets up the chip for the state's area and loads its sprite frames, the object graphics and the hero's
// frame. Nothing when the area, its patterns, the common graphics, the cartridge tables or the area's
// bank list are missing (logged).
std::optional<SpriteFrameList> prepareGameFrame(RenderAssets& assets, const sim::GameState& state, VideoChip& chip);

// The frame of a game step. `hintButtons`, when set, rewrites the calls in area 21.
std::optional<Frame> renderGameStep(RenderAssets& assets, const sim::GameState& state,
                                    std::span<const sim::SpriteCall> calls, const SpriteCallHook& hintButtons = {});

}  // namespace render
