#include "render/sprite_uploads.h"

#include <algorithm>
#include <cstddef>

#include "sim/game_state.h"

namespace render {

namespace {

constexpr std::int64_t kObjectRecordSize = 16;
constexpr std::int64_t kObjectRecords = 62;
constexpr std::int64_t kObjectSlots = 32;
constexpr int kHeroFramePatterns = 9;

std::uint32_t readLong(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  if (at + 4 > bytes.size()) return 0;
  return static_cast<std::uint32_t>(bytes[at]) << 24 | static_cast<std::uint32_t>(bytes[at + 1]) << 16 |
         static_cast<std::uint32_t>(bytes[at + 2]) << 8 | bytes[at + 3];
}

// Copies source pattern `from` to store pattern `to` when both exist.
void copyPattern(VideoChip& chip, const std::vector<Pattern>& source, std::int64_t from, std::int64_t to) {
  if (from < 0 || from >= static_cast<std::int64_t>(source.size())) return;
  if (to < 0 || to >= kPatternStoreSize) return;
  chip.patterns[static_cast<std::size_t>(to)] = source[static_cast<std::size_t>(from)];
}

}  // namespace

void uploadObjectGraphics(VideoChip& chip, const SpriteFrameList& list, const sim::GameState& state,
                          const std::vector<Pattern>& objectPatterns) {
  if (list.frames.size() < 3) return;
  std::int64_t destination = list.frames[2].first;
  const std::int64_t slots = std::min(state.objects_here_count, kObjectSlots);
  for (std::int64_t slot = 0; slot < slots; ++slot, destination += 4) {
    const std::uint32_t address = readLong(state.objects_here, static_cast<std::size_t>(4 * slot));
    // The console divides the signed distance into the table, truncating towards zero.
    const std::int64_t index =
        (static_cast<std::int64_t>(address) - static_cast<std::int64_t>(kObjectTableAddress)) / kObjectRecordSize;
    if (index < 0 || index >= kObjectRecords) continue;
    const std::size_t at = static_cast<std::size_t>(index * kObjectRecordSize + 6);
    if (at + 2 > state.objects.size()) continue;
    const std::int64_t graphic =
        static_cast<std::int16_t>(static_cast<std::uint16_t>(state.objects[at] << 8 | state.objects[at + 1]));
    for (int k = 0; k < 4; ++k) copyPattern(chip, objectPatterns, 4 * graphic + k, destination + k);
  }
}

void uploadHeroFrame(VideoChip& chip, std::int32_t first, std::int64_t spriteFrame, std::int64_t expression,
                     const std::vector<Pattern>& heroFrames) {
  std::int64_t frame = spriteFrame;
  if (static_cast<std::int16_t>(static_cast<std::uint16_t>(frame)) < 2) {
    if (expression == 1)
      frame += 28;
    else if (expression == 2)
      frame += 38;
  }
  frame &= 0x7F;
  for (int k = 0; k < kHeroFramePatterns; ++k)
    copyPattern(chip, heroFrames, kHeroFramePatterns * frame + k, static_cast<std::int64_t>(first) + k);
}

}  // namespace render
