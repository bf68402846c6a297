#include "ui/settings.h"

#include <SDL.h>

#include <algorithm>
#include <nlohmann/json.hpp>
#include <string>
#include <system_error>

#include "base/asset_store.h"
#include "base/log.h"

namespace app {
namespace fs = std::filesystem;
using nlohmann::json;

namespace {

constexpr const char* kFormat = "brumo-settings";
constexpr int kVersion = 1;
constexpr int kFirstButtonAction = kJump;  // movement has no button

// A key is stored by SDL's name. A key SDL does not name, or whose name leads back to another key (two
// scancodes are both called "Return"), is stored as "#" and its number so that it survives the round trip.
std::string keyText(std::int32_t scancode) {
  const char* name = SDL_GetScancodeName(static_cast<SDL_Scancode>(scancode));
  if (name && *name && SDL_GetScancodeFromName(name) == scancode) return name;
  std::string text(1, '#');
  text.append(std::to_string(scancode));
  return text;
}

std::int32_t keyFromText(const json& value) {
  if (!value.is_string()) return 0;
  const std::string& text = value.get_ref<const std::string&>();
  if (text.size() > 1 && text[0] == '#') {
    if (!std::all_of(text.begin() + 1, text.end(), [](char c) { return c >= '0' && c <= '9'; }) || text.size() > 5) {
      return 0;
    }
    const int number = std::stoi(text.substr(1));
    return number < SDL_NUM_SCANCODES ? number : 0;
  }
  return SDL_GetScancodeFromName(text.c_str());
}

std::optional<json> parseSettings(const std::string& text) {
  json root = json::parse(text, nullptr, false);
  if (!root.is_object()) return std::nullopt;
  auto format = root.find("format");
  const std::string formatText = format == root.end() ? "" : (format->is_string() ? format->get<std::string>() : "?");
  if (formatText != kFormat) return std::nullopt;
  auto version = root.find("version");
  const bool versionOk = version != root.end() && version->is_number() && version->get<double>() == kVersion;
  if (!versionOk) return std::nullopt;
  return root;
}

void readBool(const json& root, const char* name, bool& field) {
  auto it = root.find(name);
  if (it != root.end() && it->is_boolean()) field = it->get<bool>();
}

void readVolume(const json& root, const char* name, std::int32_t& field) {
  auto it = root.find(name);
  if (it == root.end()) return;
  if (it->is_number_unsigned()) {
    field = static_cast<std::int32_t>(std::min<std::uint64_t>(it->get<std::uint64_t>(), 10));
  } else if (it->is_number_integer()) {
    field = static_cast<std::int32_t>(std::clamp<std::int64_t>(it->get<std::int64_t>(), 0, 10));
  }
}

void readKeys(const json& keys, Bindings& bindings) {
  for (int action = 0; action < kActionCount; ++action) {
    auto it = keys.find(actionSettingsKey(action));
    if (it == keys.end() || !it->is_array() || it->empty()) continue;
    const std::int32_t first = keyFromText((*it)[0]);
    const std::int32_t second = it->size() > 1 ? keyFromText((*it)[1]) : 0;
    if (first == 0 || !bindKey(bindings, action, first)) continue;
    if (second != 0 && second != first && !isReservedKey(second) && !keyOwner(bindings, second, action)) {
      bindings.keys[action][1] = second;
    }
  }
}

void readButtons(const json& buttons, Bindings& bindings) {
  for (int action = kFirstButtonAction; action < kActionCount; ++action) {
    auto it = buttons.find(actionSettingsKey(action));
    if (it == buttons.end() || !it->is_string()) continue;
    const SDL_GameControllerButton button =
        SDL_GameControllerGetButtonFromString(it->get_ref<const std::string&>().c_str());
    if (button == SDL_CONTROLLER_BUTTON_INVALID) {
      bindings.buttons[action] = kButtonNone;
    } else {
      bindButton(bindings, action, button);  // reserved buttons are refused and leave the action as it was
    }
  }
}

}  // namespace

Settings loadSettings(const fs::path& path) {
  Settings settings;
  std::error_code ec;
  if (path.empty() || !fs::exists(path, ec)) return settings;

  std::optional<json> root;
  if (auto text = readTextFile(path)) root = parseSettings(*text);
  if (!root) {
    logMessage(kError, "%s: not readable settings; using the defaults", path.string().c_str());
    return settings;
  }
  readBool(*root, "fullscreen", settings.fullscreen);
  readBool(*root, "crt", settings.crt);
  readVolume(*root, "sound_volume", settings.sound_volume);
  readVolume(*root, "music_volume", settings.music_volume);
  auto keys = root->find("keys");
  if (keys != root->end() && keys->is_object()) readKeys(*keys, settings.bindings);
  auto buttons = root->find("buttons");
  if (buttons != root->end() && buttons->is_object()) readButtons(*buttons, settings.bindings);
  return settings;
}

std::string settingsText(const Settings& settings) {
  json keys = json::object();
  json buttons = json::object();
  for (int action = 0; action < kActionCount; ++action) {
    json list = json::array();
    for (std::int32_t key : settings.bindings.keys[action]) {
      if (key != 0) list.push_back(keyText(key));
    }
    keys[actionSettingsKey(action)] = list;
    if (action >= kFirstButtonAction) {
      const std::int32_t button = settings.bindings.buttons[action];
      const char* name = button == kButtonNone
                             ? nullptr
                             : SDL_GameControllerGetStringForButton(static_cast<SDL_GameControllerButton>(button));
      buttons[actionSettingsKey(action)] = name ? name : "";
    }
  }
  json root = {
      {"format", kFormat},
      {"version", kVersion},
      {"fullscreen", settings.fullscreen},
      {"sound_volume", settings.sound_volume},
      {"music_volume", settings.music_volume},
      {"crt", settings.crt},
      {"keys", keys},
      {"buttons", buttons},
  };
  return root.dump(1, ' ', false, json::error_handler_t::replace);
}

bool saveSettings(const fs::path& path, const Settings& settings) {
  std::error_code ec;
  // A file that does not read as settings (a hand edit gone wrong, say) is kept aside rather than lost.
  if (fs::is_regular_file(path, ec)) {
    auto text = readTextFile(path);
    if (!text || !parseSettings(*text)) {
      fs::path kept = path;
      kept += ".bad";
      fs::rename(path, kept, ec);
      if (!ec)
        logMessage(kWarn, "%s: kept the unreadable settings as %s", path.string().c_str(), kept.string().c_str());
    }
  }
  const std::string text = settingsText(settings);
  return replaceFile(path, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

}  // namespace app
