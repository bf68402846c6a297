#include "audio/driver/trace_tools.h"

#include <cstdio>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>

#include "audio/driver/sound_driver.h"
#include "audio/z80/z80.h"
#include "base/asset_store.h"
#include "base/log.h"

namespace app {
namespace {

constexpr std::int64_t kFrameTStates = 71364;

struct RamWrite {
  long long vblank;
  std::uint16_t address;
  std::uint8_t value;
  bool operator==(const RamWrite& o) const { return address == o.address && value == o.value; }
};

std::string showWrites(const std::vector<RamWrite>& writes) {
  std::string out;
  char item[16];
  for (const RamWrite& w : writes) {
    std::snprintf(item, sizeof item, "[%04X=%02X]", w.address, w.value);
    out += item;
  }
  return out;
}

std::optional<std::vector<nlohmann::json>> readJsonLines(const std::filesystem::path& path) {
  auto text = readTextFile(path);
  if (!text) return std::nullopt;
  std::vector<nlohmann::json> lines;
  std::istringstream in(*text);
  std::string line;
  int number = 0;
  while (std::getline(in, line)) {
    ++number;
    if (line.find_first_not_of(" \t\r") == std::string::npos) continue;
    auto value = nlohmann::json::parse(line, nullptr, false);
    if (value.is_discarded() || !value.is_object()) {
      logMessage(kError, "%s: line %d is not a JSON object", path.string().c_str(), number);
      return std::nullopt;
    }
    lines.push_back(std::move(value));
  }
  return lines;
}

long long number(const nlohmann::json& object, const char* key) {
  auto it = object.find(key);
  return it != object.end() && it->is_number_integer() ? it->get<long long>() : 0;
}

}  // namespace

int checkSound(const std::filesystem::path& directory, const std::vector<std::uint8_t>& image) {
  auto calls = readJsonLines(directory / "calls.jsonl");
  auto recorded = readJsonLines(directory / "z80.jsonl");
  if (!calls || !recorded) return 2;

  long long vblank = 0;
  std::vector<RamWrite> port;
  audio::SoundDriver driver(
      [&](std::uint16_t address, std::uint8_t value) {
        port.push_back({vblank, static_cast<std::uint16_t>(address & 0x1FFF), value});
      },
      [] {});
  if (!driver.setImage(image)) return 2;

  int frames = 0;
  for (const auto& call : *calls) {
    vblank = number(call, "vblank");
    const std::string what = call.value("call", std::string());
    const auto value = static_cast<std::uint32_t>(number(call, "value"));
    if (what == "frame") {
      driver.runFrame();
      ++frames;
    } else if (what == "music") {
      driver.applyRequest(audio::SoundDriver::kMusic, value);
    } else if (what == "effect") {
      driver.applyRequest(audio::SoundDriver::kEffect, value);
    } else if (what == "pause") {
      driver.applyRequest(audio::SoundDriver::kPause, value);
    } else if (what == "resume") {
      driver.applyRequest(audio::SoundDriver::kResume, value);
    } else if (what == "load") {
      driver.clearMemory();
      driver.loadProgram();
    } else {
      logMessage(kWarn, "%s: unknown call \"%s\"", directory.string().c_str(), what.c_str());
    }
  }

  std::vector<RamWrite> original;
  for (const auto& w : *recorded) {
    original.push_back({number(w, "vblank"), static_cast<std::uint16_t>(number(w, "address") & 0x1FFF),
                        static_cast<std::uint8_t>(number(w, "value"))});
  }

  // Group both sides by V-blank and compare them in order.
  std::map<long long, std::pair<std::vector<RamWrite>, std::vector<RamWrite>>> byFrame;
  for (const RamWrite& w : original) byFrame[w.vblank].first.push_back(w);
  for (const RamWrite& w : port) byFrame[w.vblank].second.push_back(w);
  std::size_t equal = 0;
  const std::pair<std::vector<RamWrite>, std::vector<RamWrite>>* firstDifference = nullptr;
  long long differenceFrame = 0;
  for (const auto& [frame, sides] : byFrame) {
    const std::size_t n = std::min(sides.first.size(), sides.second.size());
    for (std::size_t i = 0; i < n; ++i) equal += sides.first[i] == sides.second[i] ? 1 : 0;
    if (!firstDifference && sides.first != sides.second) {
      firstDifference = &sides;
      differenceFrame = frame;
    }
  }
  std::printf("%s: %d V-blanks, %d calls; Z80 RAM writes: original %zu, port %zu, equal %zu\n",
              directory.string().c_str(), frames, static_cast<int>(calls->size()), original.size(), port.size(), equal);
  if (firstDifference) {
    std::printf("  frame %lld\n  original: %s\n  port:     %s\n", differenceFrame,
                showWrites(firstDifference->first).c_str(), showWrites(firstDifference->second).c_str());
    return 1;
  }
  return 0;
}

int z80Trace(const std::filesystem::path& input, const std::filesystem::path& output,
             const std::vector<std::uint8_t>& image) {
  const auto inputFile = input / "z80_in.txt";
  auto text = readTextFile(inputFile);
  if (!text) return 2;

  std::string out;
  long long ymWrites = 0;
  audio::Z80 z80([&](int port, std::uint8_t value, std::int64_t time) {
    char line[48];
    std::snprintf(line, sizeof line, "%lld %d %02X\n", static_cast<long long>(time), port, value);
    out += line;
    ++ymWrites;
  });
  audio::SoundDriver driver([&](std::uint16_t address, std::uint8_t value) { z80.poke(address, value); },
                            [&] { z80.reset(); });
  if (!driver.setImage(image)) return 2;
  driver.loadProgram();

  int frames = 0;
  int calls = 0;
  std::int64_t frameTime = 0;
  std::istringstream in(*text);
  std::string line;
  int lineNumber = 0;
  while (std::getline(in, line)) {
    ++lineNumber;
    std::istringstream words(line);
    std::string word;
    if (!(words >> word) || word[0] == '#') continue;
    if (word == "frame") {
      frameTime += kFrameTStates;
      z80.runUntil(frameTime);
      ++frames;
    } else if (word == "reset") {
      z80.reset();
      ++calls;
    } else if (word == "w") {
      unsigned address = 0;
      unsigned value = 0;
      if (!(words >> std::hex >> address >> value) || value > 0xFF) {
        logMessage(kError, "%s: line %d: expected w ADDRESS VALUE", inputFile.string().c_str(), lineNumber);
        return 2;
      }
      z80.poke(static_cast<std::uint16_t>(address), static_cast<std::uint8_t>(value));
      ++calls;
    } else {
      logMessage(kError, "%s: line %d: unknown command %s", inputFile.string().c_str(), lineNumber, word.c_str());
      return 2;
    }
  }

  const auto outputFile = output / "ym_port.txt";
  if (!writeFile(outputFile, std::string_view(out))) return 1;
  std::printf("%s: %d V-blanks, %d calls, %lld T-states; %lld YM writes -> %s\n", inputFile.string().c_str(), frames,
              calls, static_cast<long long>(z80.clock()), ymWrites, outputFile.string().c_str());
  return 0;
}

}  // namespace app
