#include "app/entry.h"

#include <SDL.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "app/command_line.h"
#include "app/crash_report.h"
#include "app/modes.h"
#include "app/world_load.h"
#include "base/asset_store.h"
#include "base/log.h"

namespace app {
namespace fs = std::filesystem;
namespace {

// On Linux the standard streams are already bound to the terminal or to whatever they were redirected to,
// and there is no console to attach to, so this start-up step has nothing to do.
void attachConsole() {}

// --user when given, else the per-user preference folder (empty when the system has none).
std::string preferenceFolder(const Options& options) {
  if (!options.userDir.empty()) return options.userDir;
  char* path = SDL_GetPrefPath("Halvecor", "Grovanta");
  if (!path) return {};
  std::string folder = path;
  SDL_free(path);
  return folder;
}

// The absolute form of argument 0's directory part, or the working directory when it has none.
fs::path executableDirectory(const char* argument0) {
  std::error_code ec;
  fs::path directory = fs::path(argument0 ? argument0 : "").parent_path();
  if (directory.empty()) return fs::current_path(ec);
  fs::path absolute = fs::absolute(directory, ec);
  return ec ? directory : absolute;
}

int runWithTables(Data& data, int (*mode)(Data&, const Options&), const Options& options, bool needsOut) {
  if (!loadCartridgeTables(data)) return 2;
  if (needsOut && options.out.empty()) {
    logMessage(kError, "this mode needs --out FILE");
    return 2;
  }
  return mode(data, options);
}

int dispatch(Data& data, const Options& options) {
  if (!options.renderGoldens.empty()) return runGoldenRenderer(data, options);
  if (!options.replay.empty()) {
    // The replay loads the pad-hint pictures itself for --port-art (with --hint-buttons).
    if (!loadCartridgeTables(data)) return 2;
    return runReplay(data, options);
  }
  if (options.renderArea < 0) {
    if (options.checkMenu) return runMenuCheck(data, options);
    if (options.checkDemo) return runWithTables(data, runDemoCheck, options, false);
    if (!options.autopilot.empty()) return runWithTables(data, runAutopilot, options, true);
    if (options.bot < 0) {
      if (!options.checkSound.empty()) return runSoundCheck(data, options);
      if (options.z80Trace) return runZ80Trace(data, options);
      if (!options.soundWav.empty()) return runSoundWav(data, options);
      if (options.viewer) return runViewer(data, options);
      return runPlay(data, options);
    }
    return runWithTables(data, runBot, options, true);
  }
  if (options.out.empty() || options.camera < 0) {
    std::fprintf(stderr, "--render-area needs --camera X and --out FILE\n");
    return 2;
  }
  return runRenderArea(data, options);
}

}  // namespace

int runProgram(int argc, char* argv[]) {
  attachConsole();

  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i) arguments.emplace_back(argv[i]);
  const ParsedCommandLine parsed = parseCommandLine(arguments);
  if (parsed.outcome == ParsedCommandLine::Outcome::kVersion) {
    std::printf("Grovanta (Mega Drive remake) %s\n", GROVANTA_VERSION);
    return 0;
  }
  if (parsed.outcome == ParsedCommandLine::Outcome::kUnknownArgument) {
    std::fprintf(stderr, "unknown argument %s\n", parsed.unknownArgument.c_str());
    return 2;
  }
  const Options& options = parsed.options;

  if (isInteractiveRun(options)) {
    const std::string folder = preferenceFolder(options);
    if (!folder.empty()) {
      openLogFile(fs::path(folder) / "brumo.log");
      installCrashHandlers(folder);
    }
    logMessage(kInfo, "Grovanta %s (%s)", GROVANTA_VERSION, folder.c_str());
  }

  const fs::path exeDirectory = executableDirectory(argc > 0 ? argv[0] : nullptr);
  std::optional<fs::path> dataDirectory = findDataDirectory(options.dataDir, exeDirectory);
  if (!dataDirectory) return 1;

  Data data;
  data.dataDirectory = *dataDirectory;
  if (!loadWorldInto(data)) return 1;

  return dispatch(data, options);
}

}  // namespace app
