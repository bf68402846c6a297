#pragma once
// Reading the command line into Options.

#include <string>
#include <utility>
#include <vector>

#include "app/options.h"

namespace app {

struct ParsedCommandLine {
  enum class Outcome { kRun, kVersion, kUnknownArgument };
  Outcome outcome = Outcome::kRun;
  Options options;
  std::string unknownArgument;  // the offending word when outcome is kUnknownArgument
};

// Reads the arguments (without argument 0) left to right. A value option given last takes the empty
// string; a later occurrence overwrites an earlier one, except --effect, which accumulates. Parsing stops
// at --version and at the first unknown argument.
ParsedCommandLine parseCommandLine(const std::vector<std::string>& arguments);

// Every option word the parser knows, sorted (the manual page lists each of them).
std::vector<std::string> optionNames();

// One --effect value: WHAT or WHAT@N, WHAT being "pause" (-1), "resume" (-2) or a number; N is 1 without '@'.
std::pair<std::int32_t, std::int32_t> parseEffect(const std::string& value);

// Whether the options select the interactive game (which opens the log file and installs crash handlers).
bool isInteractiveRun(const Options& options);

}  // namespace app
