#pragma once
// The parsed command line: one field per option, with the option's default.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace app {

struct Options {
  // The interactive game and the program as a whole.
  std::string dataDir;               // --data
  std::string userDir;               // --user
  bool windowed = false;             // --windowed
  bool noIntro = false;              // --no-intro
  std::int32_t quitAfterFrames = 0;  // --quit-after-frames, 0 = never
  std::string out;                   // --out
  std::string pads;                  // --pads
  std::string keys;                  // --keys
  std::int64_t f12 = 0;              // --f12, 0 = never
  std::string playback;              // --playback
  std::string video;                 // --video
  std::int32_t crashTest = -1;       // --crash-test, -1 = never
  bool viewer = false;               // --viewer
  std::int32_t area = 21;            // --area

  // Developer tools.
  std::int32_t renderArea = -1;  // --render-area
  std::int32_t camera = -1;      // --camera
  std::string renderGoldens;     // --render-goldens
  std::string replay;            // --replay
  bool subgame = false;          // --subgame
  bool menus = false;            // --menus
  bool live = false;             // --live
  bool game = false;             // --game
  bool newGame = false;          // --new-game
  std::string recording;         // --recording
  std::string poke;              // --poke
  std::string frames;            // --frames
  std::string sprites;           // --sprites
  bool verbose = false;          // --verbose
  bool portArt = false;          // --port-art
  std::string hintButtons;       // --hint-buttons
  bool checkMenu = false;        // --check-menu
  bool checkDemo = false;        // --check-demo
  std::string autopilot;         // --autopilot
  std::string log;               // --log
  std::string states;            // --states
  std::int64_t bot = -1;         // --bot, -1 = off
  std::int64_t ticks = 20000;    // --ticks
  std::int64_t language = 0;     // --language
  std::string prefix;            // --prefix
  std::string checkSound;        // --check-sound
  std::string z80TraceA;         // --z80-trace A B
  std::string z80TraceB;
  bool z80Trace = false;                                       // whether --z80-trace was given
  std::string soundWav;                                        // --sound-wav
  std::int32_t tune = 0;                                       // --tune
  double seconds = 20.0;                                       // --seconds, as read (may be negative or not finite)
  std::vector<std::pair<std::int32_t, std::int32_t>> effects;  // --effect, accumulated; -1 pause, -2 resume
  std::vector<std::string> badEffects;  // --effect values that are not WHAT or WHAT@N (the sound export refuses them)
};

}  // namespace app
