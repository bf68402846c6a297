#include "app/command_line.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <limits>
#include <string_view>
#include <unordered_map>

namespace app {
namespace {

// Numbers follow the plain C conversions: leading blanks and a sign are allowed, reading stops at the first
// character that is not part of the number, and text that is not a number reads as 0. Unlike atoi/atoll,
// an out-of-range value is clamped to the field's range instead of being undefined.
std::int64_t toInt64(const std::string& text) {
  errno = 0;
  long long value = std::strtoll(text.c_str(), nullptr, 10);
  return static_cast<std::int64_t>(value);  // strtoll already saturates at LLONG_MIN/LLONG_MAX
}

std::int32_t toInt32(const std::string& text) {
  std::int64_t value = toInt64(text);
  if (value > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
  if (value < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(value);
}

// A length in seconds, as read: the sound export refuses one that is negative or not finite.
double toSeconds(const std::string& text) {
  return std::strtod(text.c_str(), nullptr);
}

// Whether text is a whole number and nothing else (blanks around it allowed).
bool isWholeNumber(const std::string& text) {
  const char* begin = text.c_str();
  char* end = nullptr;
  errno = 0;
  std::strtoll(begin, &end, 10);
  if (end == begin || errno == ERANGE) return false;
  while (*end == ' ' || *end == '\t') ++end;
  return *end == '\0';
}

// An --effect value the sound export can play: a number, "pause" or "resume", then an optional
// at sign and a block number of at least 1.
bool isEffectValue(const std::string& value) {
  const std::size_t at = value.find('@');
  const std::string what = value.substr(0, at);
  if (!what.starts_with("pause") && !what.starts_with("resume") && !isWholeNumber(what)) return false;
  if (at == std::string::npos) return true;
  const std::string block = value.substr(at + 1);
  return isWholeNumber(block) && std::strtoll(block.c_str(), nullptr, 10) >= 1;
}

using Setter = std::function<void(Options&, const std::string&)>;

struct OptionRule {
  int values;  // 0 for a flag, else the number of following arguments it consumes
  Setter set;
};

const std::unordered_map<std::string_view, OptionRule>& optionRules() {
  static const std::unordered_map<std::string_view, OptionRule> rules = {
      {"--data", {1, [](Options& o, const std::string& v) { o.dataDir = v; }}},
      {"--user", {1, [](Options& o, const std::string& v) { o.userDir = v; }}},
      {"--windowed", {0, [](Options& o, const std::string&) { o.windowed = true; }}},
      {"--no-intro", {0, [](Options& o, const std::string&) { o.noIntro = true; }}},
      {"--quit-after-frames", {1, [](Options& o, const std::string& v) { o.quitAfterFrames = toInt32(v); }}},
      {"--out", {1, [](Options& o, const std::string& v) { o.out = v; }}},
      {"--pads", {1, [](Options& o, const std::string& v) { o.pads = v; }}},
      {"--keys", {1, [](Options& o, const std::string& v) { o.keys = v; }}},
      {"--f12", {1, [](Options& o, const std::string& v) { o.f12 = toInt64(v); }}},
      {"--playback", {1, [](Options& o, const std::string& v) { o.playback = v; }}},
      {"--video", {1, [](Options& o, const std::string& v) { o.video = v; }}},
      {"--crash-test", {1, [](Options& o, const std::string& v) { o.crashTest = toInt32(v); }}},
      {"--viewer", {0, [](Options& o, const std::string&) { o.viewer = true; }}},
      {"--area", {1, [](Options& o, const std::string& v) { o.area = toInt32(v); }}},
      {"--render-area", {1, [](Options& o, const std::string& v) { o.renderArea = toInt32(v); }}},
      {"--camera", {1, [](Options& o, const std::string& v) { o.camera = toInt32(v); }}},
      {"--render-goldens", {1, [](Options& o, const std::string& v) { o.renderGoldens = v; }}},
      {"--replay", {1, [](Options& o, const std::string& v) { o.replay = v; }}},
      {"--subgame", {0, [](Options& o, const std::string&) { o.subgame = true; }}},
      {"--menus", {0, [](Options& o, const std::string&) { o.menus = true; }}},
      {"--live", {0, [](Options& o, const std::string&) { o.live = true; }}},
      {"--game", {0, [](Options& o, const std::string&) { o.game = true; }}},
      {"--new-game", {0, [](Options& o, const std::string&) { o.newGame = true; }}},
      {"--recording", {1, [](Options& o, const std::string& v) { o.recording = v; }}},
      {"--poke", {1, [](Options& o, const std::string& v) { o.poke = v; }}},
      {"--frames", {1, [](Options& o, const std::string& v) { o.frames = v; }}},
      {"--sprites", {1, [](Options& o, const std::string& v) { o.sprites = v; }}},
      {"--verbose", {0, [](Options& o, const std::string&) { o.verbose = true; }}},
      {"--port-art", {0, [](Options& o, const std::string&) { o.portArt = true; }}},
      {"--hint-buttons", {1, [](Options& o, const std::string& v) { o.hintButtons = v; }}},
      {"--check-menu", {0, [](Options& o, const std::string&) { o.checkMenu = true; }}},
      {"--check-demo", {0, [](Options& o, const std::string&) { o.checkDemo = true; }}},
      {"--autopilot", {1, [](Options& o, const std::string& v) { o.autopilot = v; }}},
      {"--log", {1, [](Options& o, const std::string& v) { o.log = v; }}},
      {"--states", {1, [](Options& o, const std::string& v) { o.states = v; }}},
      {"--bot", {1, [](Options& o, const std::string& v) { o.bot = toInt64(v); }}},
      {"--ticks", {1, [](Options& o, const std::string& v) { o.ticks = toInt64(v); }}},
      {"--language", {1, [](Options& o, const std::string& v) { o.language = toInt64(v); }}},
      {"--prefix", {1, [](Options& o, const std::string& v) { o.prefix = v; }}},
      {"--check-sound", {1, [](Options& o, const std::string& v) { o.checkSound = v; }}},
      {"--sound-wav", {1, [](Options& o, const std::string& v) { o.soundWav = v; }}},
      {"--tune", {1, [](Options& o, const std::string& v) { o.tune = toInt32(v); }}},
      {"--seconds", {1, [](Options& o, const std::string& v) { o.seconds = toSeconds(v); }}},
      {"--effect", {1, [](Options& o, const std::string& v) {
                     o.effects.push_back(parseEffect(v));
                     if (!isEffectValue(v)) o.badEffects.push_back(v);
                   }}},
  };
  return rules;
}

}  // namespace

std::vector<std::string> optionNames() {
  std::vector<std::string> names = {"--version", "--z80-trace"};  // read before the table
  for (const auto& rule : optionRules()) names.emplace_back(rule.first);
  std::sort(names.begin(), names.end());
  return names;
}

std::pair<std::int32_t, std::int32_t> parseEffect(const std::string& value) {
  const std::size_t at = value.find('@');
  const std::string what = value.substr(0, at);
  std::int32_t command;
  if (what.starts_with("pause")) {
    command = -1;
  } else if (what.starts_with("resume")) {
    command = -2;
  } else {
    command = toInt32(what);
  }
  const std::int32_t count = at == std::string::npos ? 1 : toInt32(value.substr(at + 1));
  return {command, count};
}

ParsedCommandLine parseCommandLine(const std::vector<std::string>& arguments) {
  ParsedCommandLine parsed;
  Options& options = parsed.options;
  const auto& rules = optionRules();
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& word = arguments[i];
    // Each value is the next argument, or the empty string once the arguments run out.
    auto next = [&]() -> std::string { return i + 1 < arguments.size() ? arguments[++i] : std::string(); };
    if (word == "--version") {
      parsed.outcome = ParsedCommandLine::Outcome::kVersion;
      return parsed;
    }
    if (word == "--z80-trace") {
      options.z80Trace = true;
      options.z80TraceA = next();
      options.z80TraceB = next();
      continue;
    }
    auto rule = rules.find(word);
    if (rule == rules.end()) {
      parsed.outcome = ParsedCommandLine::Outcome::kUnknownArgument;
      parsed.unknownArgument = word;
      return parsed;
    }
    rule->second.set(options, rule->second.values ? next() : std::string());
  }
  return parsed;
}

bool isInteractiveRun(const Options& options) {
  return options.renderGoldens.empty() && options.replay.empty() && options.renderArea < 0 && !options.checkMenu &&
         options.checkSound.empty() && !options.z80Trace && options.soundWav.empty() && !options.viewer &&
         options.autopilot.empty() && options.bot < 0;
}

}  // namespace app
