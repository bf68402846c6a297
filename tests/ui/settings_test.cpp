#include <gtest/gtest.h>

#include <SDL.h>

#include <nlohmann/json.hpp>

#include "app/temp_folder.h"
#include "ui/settings.h"

namespace {

namespace fs = std::filesystem;
using app::Settings;
using testing_support::readWhole;
using testing_support::TempFolder;

class SettingsFile : public ::testing::Test {
 protected:
  // Loads a settings file whose members beyond format and version are the given JSON text.
  Settings loadWith(const std::string& members, std::string* log = nullptr) {
    folder.put("settings.json",
               R"({"format":"brumo-settings","version":1)" + (members.empty() ? std::string() : "," + members) + "}");
    testing::internal::CaptureStderr();
    Settings s = app::loadSettings(path());
    std::string err = testing::internal::GetCapturedStderr();
    if (log) *log = err;
    return s;
  }
  fs::path path() const { return folder.path() / "settings.json"; }
  TempFolder folder;
};

void expectDefaults(const Settings& s) {
  EXPECT_TRUE(s.fullscreen);
  EXPECT_TRUE(s.crt);
  EXPECT_EQ(s.sound_volume, 10);
  EXPECT_EQ(s.music_volume, 10);
  EXPECT_EQ(s.bindings.keys, app::defaultBindings().keys);
  EXPECT_EQ(s.bindings.buttons, app::defaultBindings().buttons);
}

TEST_F(SettingsFile, MissingFileGivesTheDefaultsQuietly) {
  testing::internal::CaptureStderr();
  expectDefaults(app::loadSettings(path()));
  expectDefaults(app::loadSettings(""));
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST_F(SettingsFile, UnreadableFilesGiveTheDefaultsWithOneLine) {
  const char* texts[] = {
      "not json",
      "[1,2]",
      R"({"format":"brumo-settings","version":2,"fullscreen":false})",
      R"({"version":1,"fullscreen":false})",
      R"({"format":"other","version":1,"fullscreen":false})",
      R"({"format":"brumo-settings","fullscreen":false})",
  };
  for (const char* text : texts) {
    folder.put("settings.json", text);
    testing::internal::CaptureStderr();
    expectDefaults(app::loadSettings(path()));
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "[error] " + path().string() + ": not readable settings; using the defaults\n")
        << text;
  }
}

TEST_F(SettingsFile, ValuesVolumesAndWrongTypes) {
  Settings s = loadWith(R"("fullscreen":false,"crt":false,"sound_volume":25,"music_volume":-3)");
  EXPECT_FALSE(s.fullscreen);
  EXPECT_FALSE(s.crt);
  EXPECT_EQ(s.sound_volume, 10);
  EXPECT_EQ(s.music_volume, 0);

  s = loadWith(R"("music_volume":4,"sound_volume":"5","fullscreen":1,"keys":{"jump":"X"},"buttons":[])");
  EXPECT_EQ(s.music_volume, 4);
  EXPECT_EQ(s.sound_volume, 10);
  EXPECT_TRUE(s.fullscreen);
  EXPECT_EQ(s.bindings.keys, app::defaultBindings().keys);
}

TEST_F(SettingsFile, KeysBindInActionOrderWithSwaps) {
  using K = std::array<std::int32_t, 2>;
  struct Row {
    const char* keys;
    int action;
    K expected;
    int otherAction;
    K otherExpected;
  };
  const Row rows[] = {
      // X was Use's: Use takes Jump's old first key, and Jump's second default key is dropped.
      {R"({"jump":["X"]})", app::kJump, {SDL_SCANCODE_X, 0}, app::kUse, {SDL_SCANCODE_SPACE, 0}},
      // Z is Inventory's, so it cannot be Jump's second key.
      {R"({"jump":["Space","Z"]})", app::kJump, {SDL_SCANCODE_SPACE, 0}, app::kInventory, {SDL_SCANCODE_Z, 0}},
      {R"({"jump":["Q","W"]})", app::kJump, {SDL_SCANCODE_Q, SDL_SCANCODE_W}, app::kUse, {SDL_SCANCODE_X, 0}},
      // Reserved or unknown first keys, empty lists and nulls leave the keys alone.
      {R"({"jump":["Escape","Q"],"use":[],"start":null,"pause":["P"]})",
       app::kJump,
       {SDL_SCANCODE_SPACE, SDL_SCANCODE_C},
       app::kUse,
       {SDL_SCANCODE_X, 0}},
      {R"({"jump":["NoSuchKey"],"use":[3, "Q"]})",
       app::kJump,
       {SDL_SCANCODE_SPACE, SDL_SCANCODE_C},
       app::kUse,
       {SDL_SCANCODE_X, 0}},
      // The same key on two actions ends on the later one; the earlier takes the later one's old key.
      {R"({"jump":["Q"],"use":["Q"]})", app::kUse, {SDL_SCANCODE_Q, 0}, app::kJump, {SDL_SCANCODE_X, 0}},
  };
  for (const Row& r : rows) {
    Settings s = loadWith(std::string(R"("keys":)") + r.keys);
    EXPECT_EQ(s.bindings.keys[r.action], r.expected) << r.keys;
    EXPECT_EQ(s.bindings.keys[r.otherAction], r.otherExpected) << r.keys;
  }
}

TEST_F(SettingsFile, ButtonsBindUnbindOrAreRefused) {
  struct Row {
    const char* buttons;
    int action;
    std::int32_t expected;
  };
  const Row rows[] = {
      {R"({"jump":"start"})", app::kJump, app::kButtonA},          // reserved
      {R"({"jump":"dpleft"})", app::kJump, app::kButtonA},         // reserved
      {R"({"move_left":"a"})", app::kMoveLeft, app::kButtonNone},  // movement has no button
      {R"({"jump":""})", app::kJump, app::kButtonNone},            // unbinds
      {R"({"jump":"nonsense"})", app::kJump, app::kButtonNone},    // unbinds
      {R"({"jump":7})", app::kJump, app::kButtonA},                // not a string
      {R"({"quick_save":"y"})", app::kQuickSave, 3},
      {R"({"jump":"x"})", app::kInventory, app::kButtonA},  // swapped with Jump
  };
  for (const Row& r : rows) {
    Settings s = loadWith(std::string(R"("buttons":)") + r.buttons);
    EXPECT_EQ(s.bindings.buttons[r.action], r.expected) << r.buttons;
  }
}

TEST_F(SettingsFile, WritesTheFileFormatAndReadsItBack) {
  Settings s;
  s.fullscreen = false;
  s.music_volume = 3;
  ASSERT_TRUE(app::bindKey(s.bindings, app::kQuickSave, SDL_SCANCODE_NONUSBACKSLASH));  // a key SDL does not name
  ASSERT_TRUE(app::bindButton(s.bindings, app::kScreenshot, 9));
  s.bindings.buttons[app::kQuickLoad] = app::kButtonNone;

  const fs::path file = folder.path() / "deeper" / "settings.json";
  ASSERT_TRUE(app::saveSettings(file, s));
  EXPECT_FALSE(fs::exists(file.string() + ".tmp"));
  const std::string text = readWhole(file);
  EXPECT_TRUE(text.starts_with("{\n \"buttons\": {\n  \"inventory\": \"x\",\n  \"jump\": \"a\",\n")) << text;
  EXPECT_NE(text.find("\"format\": \"brumo-settings\""), std::string::npos);
  EXPECT_NE(text.find("  \"jump\": [\n   \"Space\",\n   \"C\"\n  ],"), std::string::npos) << text;
  EXPECT_NE(text.find("\"quick_load\": \"\""), std::string::npos);
  EXPECT_NE(text.find("\"screenshot\": \"leftshoulder\""), std::string::npos);
  EXPECT_NE(text.find("\"version\": 1"), std::string::npos);

  auto root = nlohmann::json::parse(text);
  std::vector<std::string> order;
  for (auto& [key, value] : root.items()) order.push_back(key);
  EXPECT_EQ(order, (std::vector<std::string>{"buttons", "crt", "format", "fullscreen", "keys", "music_volume",
                                             "sound_volume", "version"}));
  EXPECT_EQ(root["buttons"].size(), 7u);
  EXPECT_EQ(root["keys"].size(), 11u);

  Settings back = app::loadSettings(file);
  EXPECT_FALSE(back.fullscreen);
  EXPECT_EQ(back.music_volume, 3);
  EXPECT_EQ(back.bindings.keys, s.bindings.keys);
  EXPECT_EQ(back.bindings.buttons, s.bindings.buttons);
}

TEST_F(SettingsFile, AnUnreadableFileIsKeptAsideBeforeTheFirstWrite) {
  folder.put("settings.json", R"({"format":"brumo-settings","version":1,})");  // a trailing comma
  testing::internal::CaptureStderr();
  ASSERT_TRUE(app::saveSettings(path(), Settings{}));
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(readWhole(path().string() + ".bad"), R"({"format":"brumo-settings","version":1,})");
  expectDefaults(app::loadSettings(path()));

  // A readable file is simply replaced.
  Settings changed;
  changed.crt = false;
  ASSERT_TRUE(app::saveSettings(path(), changed));
  EXPECT_FALSE(app::loadSettings(path()).crt);
  EXPECT_EQ(readWhole(path().string() + ".bad"), R"({"format":"brumo-settings","version":1,})");
}

TEST_F(SettingsFile, AFailedWriteLeavesTheOldFile) {
  folder.put("settings.json", app::settingsText(Settings{}));
  fs::create_directories(path().string() + ".tmp");  // the temporary file cannot be made
  Settings changed;
  changed.crt = false;
  testing::internal::CaptureStderr();
  EXPECT_FALSE(app::saveSettings(path(), changed));
  EXPECT_NE(testing::internal::GetCapturedStderr().find("cannot write"), std::string::npos);
  EXPECT_TRUE(app::loadSettings(path()).crt);
}

}  // namespace
