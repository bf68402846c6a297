#pragma once
// The interactive game: the window and the sound, the simulation run at the console's PAL V-blank rate
// against the wall clock, one pad byte per tick from the player, a script or a recording, and the pictures
// with the console's palette fades.

#include <cstdint>
#include <string>

#include "app/data.h"

namespace app {

struct PlayParameters {
  bool windowed = false;             // start in a window whatever the settings say
  std::int32_t quitAfterFrames = 0;  // stop after this many presented frames; 0 = never
  std::string out;                   // the last presented picture as PNG at exit
  std::string pads;                  // --pads script
  std::int64_t f12 = 0;              // V-blank at which F12 counts as pressed; 0 = never
  std::string keys;                  // --keys script
  std::string user;                  // preference folder; empty = the per-user one
  bool intro = true;
  std::int32_t crashTest = -1;  // presented frame to crash at; -1 = never
  std::string video;            // --video folder
  std::string playback;         // --playback recording
  bool hiddenWindow = false;    // the window is not shown (benchmarks)
};

// Returns the exit code: 2 for bad scripts or missing data, 1 when SDL, the window or the first picture
// fail, else 0 (or 1 when the game stopped under --quit-after-frames).
int play(Data& data, const PlayParameters& parameters);

}  // namespace app
