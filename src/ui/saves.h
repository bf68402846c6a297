#pragma once
// Saved games: one JSON file per slot holding every GameState field by name, a 17 x 10 thumbnail beside
// it, the slot summaries the menu pages show, and the PNG helpers shared with screenshots.

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "sim/game_state.h"

namespace world {
struct World;
}

namespace ui {

// A picture of 32-bit pixels 0xAARRGGBB, rows top to bottom.
struct Picture {
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::vector<std::uint32_t> pixels;
};

inline constexpr int kSlotCount = 9;  // slot 0 the quick save, 1-8 the menu's slots
inline constexpr int kThumbWidth = 17;
inline constexpr int kThumbHeight = 10;

struct SlotInfo {
  bool present = false;   // a file exists at the slot's path
  bool readable = false;  // it reads as a save
  std::int64_t saved_at = 0;
  std::int32_t thumb_width = 0;
  std::int32_t thumb_height = 0;
  std::optional<std::vector<std::uint32_t>> thumb;
};

struct LoadedSave {
  sim::GameState state;
  std::int64_t saved_at = 0;
};

// Why a save did not read.
inline constexpr const char* kReasonMissing = "missing";
inline constexpr const char* kReasonUnreadable = "unreadable";
inline constexpr const char* kReasonVersion = "version";

// "quicksave.json" (slot 0) or "saves/slot_N.json" under the folder; empty when the folder is empty or the
// slot is not 0 to 8.
std::filesystem::path slotPath(const std::filesystem::path& folder, int slot);
// The save's path with the extension ".png".
std::filesystem::path thumbnailPath(const std::filesystem::path& savePath);

// The file's text: compact, members in name order.
std::string saveText(const sim::GameState& state, std::int64_t savedAt);
// Writes through "<path>.tmp", synced to the disk, and a rename; false (logged) on failure, the previous
// file then stays as it was.
bool writeSave(const std::filesystem::path& path, const sim::GameState& state, std::int64_t savedAt);
// Reads and checks a save; on failure `reason` (when given) receives kReasonMissing, kReasonUnreadable or
// kReasonVersion.
std::optional<LoadedSave> readSave(const std::filesystem::path& path, std::string* reason = nullptr);

// The first field whose value the game could not hold (a value no console variable takes, or one that
// would index past its table); nothing when every field is in range.
std::optional<std::string> fieldOutOfRange(const sim::GameState& state);

// The picture's top 192 rows reduced to 17 x 10 by a box filter, opaque.
Picture makeThumbnail(const Picture& picture);
// Writes the save and its thumbnail; the thumbnail's fate does not change the result.
bool writeSlot(const std::filesystem::path& folder, int slot, const sim::GameState& state, const Picture& picture,
               std::int64_t savedAt);
// The nine slots' summaries (all empty without a folder).
std::array<SlotInfo, kSlotCount> listSlots(const std::filesystem::path& folder);

// 8-bit RGBA PNG files; both log their failures.
bool writePng(const std::filesystem::path& path, const Picture& picture);
std::optional<Picture> readPng(const std::filesystem::path& path);

}  // namespace ui
