// settings.json, through the settings loader; what it reads must come back the same once written.

#include <cstdio>
#include <cstdlib>

#include "fuzz/fuzz_target.h"
#include "ui/settings.h"

GROVANTA_FUZZ_TARGET(settings_json) {
  const auto path = fuzz::putFile("prefs/settings.json", data, size);
  const app::Settings first = app::loadSettings(path);
  const std::string text = app::settingsText(first);
  const auto again =
      fuzz::putFile("prefs/settings.json", reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
  if (app::settingsText(app::loadSettings(again)) != text) {
    std::fprintf(stderr, "settings change when written and read back:\n%s\n", text.c_str());
    std::abort();
  }
  return 0;
}
