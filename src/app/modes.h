#pragma once
// The program's modes; exactly one runs, and its result is the exit code.

#include "app/data.h"
#include "app/options.h"

namespace app {

int runPlay(Data& data, const Options& options);            // the interactive game
int runViewer(Data& data, const Options& options);          // --viewer
int runRenderArea(Data& data, const Options& options);      // --render-area
int runGoldenRenderer(Data& data, const Options& options);  // --render-goldens
int runReplay(Data& data, const Options& options);          // --replay
int runMenuCheck(Data& data, const Options& options);       // --check-menu
int runDemoCheck(Data& data, const Options& options);       // --check-demo
int runAutopilot(Data& data, const Options& options);       // --autopilot
int runBot(Data& data, const Options& options);             // --bot
int runSoundCheck(Data& data, const Options& options);      // --check-sound
int runZ80Trace(Data& data, const Options& options);        // --z80-trace
int runSoundWav(Data& data, const Options& options);        // --sound-wav

// Loads the cartridge tables into data.rom; false (logged) when they do not load.
bool loadCartridgeTables(Data& data);

}  // namespace app
