#pragma once
// The sprite bank pieces the screens draw with: bank lists cut into sprite frames, sprite calls placed
// on the chip, the game drawn underneath a waiting screen, and the hero's current frame.

#include <cstdint>
#include <optional>
#include <vector>

#include "render/pictures.h"
#include "render/video_chip.h"
#include "sim/sim_types.h"

namespace sim { class RomView; struct GameState; }

namespace render {

class RenderAssets;

namespace screens {

struct SpriteFrame {
  std::int32_t first = 0;  // pattern-store number of the frame's first pattern
  std::int32_t width = 1, height = 1;
  std::uint16_t attribute = 0;
};

struct SpriteFrameList {
  std::vector<SpriteFrame> frames;
  std::int32_t first_bank_frames = 0;
  std::int32_t next_pattern = 0;
  std::vector<std::uint16_t> palette;  // the last bank's palette line
};

// Loads every bank of the list at `list` from pattern `first` on; nothing (logged) on failure.
std::optional<SpriteFrameList> loadBankList(VideoChip& chip, const sim::RomView& rom, const PictureMap& pictures,
                                      std::uint32_t list, int first);
// Appends the frames of the single bank entry at `entry` to `frames`.
bool loadBankEntry(VideoChip& chip, const sim::RomView& rom, const PictureMap& pictures, std::uint32_t entry,
                   SpriteFrameList& frames);

struct Selection {
  std::uint16_t attribute = 0;
  std::int16_t x = 0, y = 0;
  std::uint16_t width = 0, height = 0;
};
// Cuts the selections out of the bank's picture, loading their patterns from frames.next_pattern on.
bool loadSelections(VideoChip& chip, const PictureMap& pictures, std::uint32_t bank,
                    const std::vector<Selection>& selections, SpriteFrameList& frames);

// Fills the chip's sprite list from the calls.
void placeSprites(VideoChip& chip, const SpriteFrameList& frames, const std::vector<sim::SpriteCall>& calls);

// The hero's current 3 x 3 frame at patterns first ... first + 8.
void uploadHeroFrame(VideoChip& chip, int first, std::int64_t spriteFrame, std::int64_t expression,
                     const std::vector<Pattern>& heroFrames);

// The game under a waiting screen: the area at the camera, the status panel, the area's sprite banks
// and this frame's object graphics and hero frame. Nothing when something cannot be drawn.
std::optional<SpriteFrameList> prepareGameFrame(RenderAssets& assets, const sim::GameState& state, VideoChip& chip);

}  // namespace screens
}  // namespace render
