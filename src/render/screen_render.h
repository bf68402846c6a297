#pragma once
// One frame of a waiting or front-end screen: the message screens, the inventory, the lives counter,
// the game over sign, the title, the attract pages, the story page and the menus.

#include <array>
#include <cstdint>
#include <optional>

#include "render/pictures.h"
#include "render/texts.h"
#include "render/video_chip.h"
#include "sim/sim_types.h"

namespace sim {
class RomView;
struct GameState;
}  // namespace sim

namespace render {

class RenderAssets;

// Picture blocks the screens name directly.
inline constexpr std::uint32_t kInventoryPicture = 0x0705BC;
inline constexpr std::uint32_t kSunsetPicture = 0x07276E;
inline constexpr std::uint32_t kTitlePicture = 0x01665A;
inline constexpr std::uint32_t kLanguageMenuPicture = 0x06633E;
inline constexpr std::uint32_t kCastlePicture = 0x063014;

// Draws frame `frameIndex` of the screen; nothing (logged) when it cannot be drawn. `current` is the
// running game, drawn under in-game screens that carry no snapshot of their own.
std::optional<Frame> renderScreen(RenderAssets& assets, TextImages& texts, const sim::GameState& current,
                                  const sim::Screen& screen, int frameIndex);

// Copies the picture's patterns from `first` on, writes its name table to plane B with palette line 1
// and loads its palette as colour line 1. Returns the pattern after the picture's.
int drawPictureOnPlaneB(VideoChip& chip, const Picture& picture, int first);

// The 64 colours the title and story pages start from, by their palette choice; nothing (logged) when a
// picture or area it needs is missing.
std::optional<std::array<std::uint16_t, 64>> paletteChoice(const RenderAssets& assets, std::int64_t cramLine0,
                                                           std::int64_t cramLine2);

}  // namespace render
