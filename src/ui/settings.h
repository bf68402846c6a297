#pragma once
// The user's choices that outlive a run, kept as settings.json in the preference folder.
// The pause menu reads, keeps and writes them; the play loop's input applies them.

#include <cstdint>
#include <filesystem>
#include <string>

#include "ui/bindings.h"

namespace app {

struct Settings {
  bool fullscreen = true;          // desktop full screen
  std::int32_t sound_volume = 10;  // sound effects, tenths (0..10)
  std::int32_t music_volume = 10;  // music, tenths (0..10)
  bool crt = true;                 // draw through the CRT filter
  Bindings bindings = defaultBindings();
};

// Never fails: a missing file gives the defaults quietly, an unreadable one with one log line.
Settings loadSettings(const std::filesystem::path& path);

// Writes the file through "<path>.tmp" and a rename, so a failed write never leaves a damaged file behind.
// A file there that does not read as settings is first kept as "<path>.bad".
bool saveSettings(const std::filesystem::path& path, const Settings& settings);

// The file's text for the settings (members sorted by name, one-space indent).
std::string settingsText(const Settings& settings);

}  // namespace app
