#include "ui/pause_flow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "app/temp_folder.h"
#include "ui/menu_fixture.h"
#include "ui/menu_text.h"

namespace {

namespace fs = std::filesystem;
using menu_test::GameSide;
using testing_support::readWhole;
using testing_support::TempFolder;

constexpr int kUp = 1, kDown = 2, kLeft = 3, kRight = 4, kConfirm = 5, kBack = 6, kStart = 7;
constexpr std::int32_t kEscape = 41, kF5 = 62, kF12 = 69, kSpace = 44;

std::vector<ui::Place> threePlaces() {
  std::vector<ui::Place> places(3);
  for (int i = 0; i < 3; ++i) places[static_cast<std::size_t>(i)].area = 10 + i;
  return places;
}

struct Menu {
  TempFolder folder;
  GameSide game;
  ui::PauseFlow flow;
  explicit Menu(bool withFolder = true, bool withDemo = false)
      : flow(menu_test::shippedArt().art, withFolder ? folder.path() : fs::path(), threePlaces(),
             game.hooks(withDemo)) {
    flow.clock = [] { return std::int64_t{1741370700}; };  // 7 March 2025, 18:05 UTC
  }
  void open() { flow.action(ui::kActionOpen, menu_test::gamePicture()); }
  void press(std::initializer_list<int> commands) {
    for (int c : commands) flow.command(c);
  }
  int row() const { return flow.stack().back().row; }
};

TEST(PauseFlow, CommandsDriveThePageStack) {
  struct Case {
    const char* what;
    bool inGame;
    bool canSave;
    std::vector<int> commands;
    std::string state;
    int row;
    int first;
  };
  const Case cases[] = {
      {"open", true, true, {}, "main", 0, 0},
      {"down reaches Save in game", true, true, {kDown}, "main", 1, 0},
      {"down skips Save when saving is not allowed", true, false, {kDown}, "main", 2, 0},
      {"down skips Save from the title", false, true, {kDown}, "main", 2, 0},
      {"up from the first row wraps to Quit", true, true, {kUp}, "main", 6, 0},
      {"down from the last row wraps to the first", true, true, {kUp, kDown}, "main", 0, 0},
      {"settings", true, true, {kDown, kDown, kDown, kConfirm}, "settings", 0, 0},
      {"keyboard mapping", true, true, {kDown, kDown, kDown, kConfirm, kUp, kUp, kConfirm}, "keys", 0, 0},
      {"down from row 10 skips the fixed row and scrolls",
       true,
       true,
       {kDown, kDown, kDown, kConfirm, kUp, kUp, kConfirm, kUp, kUp, kUp, kDown, kDown},
       "keys",
       12,
       4},
      {"controller mapping opens on its first action",
       true,
       true,
       {kDown, kDown, kDown, kConfirm, kUp, kConfirm},
       "buttons",
       1,
       0},
      {"up from the first action skips the fixed rows",
       true,
       true,
       {kDown, kDown, kDown, kConfirm, kUp, kConfirm, kUp},
       "buttons",
       9,
       1},
      {"back uncovers the page below", true, true, {kDown, kDown, kDown, kConfirm, kBack}, "main", 3, 0},
      {"back on main closes", true, true, {kBack}, "closed", -1, -1},
      {"start closes from any page", true, true, {kDown, kDown, kDown, kConfirm, kStart}, "closed", -1, -1},
      {"cheats without teleporting wrap over three rows",
       true,
       false,
       {kDown, kDown, kDown, kConfirm, kUp},
       "cheats",
       2,
       0},
      {"cheats with teleporting reach it",
       true,
       true,
       {kDown, kDown, kDown, kDown, kConfirm, kUp, kConfirm},
       "teleport",
       0,
       0},
      {"quit asks first, with Cancel chosen", true, true, {kUp, kConfirm}, "confirm", 0, 0},
      {"up and down do nothing on a confirmation", true, true, {kUp, kConfirm, kDown, kUp}, "confirm", 0, 0},
      {"resume closes", true, true, {kConfirm}, "closed", -1, -1},
  };
  for (const Case& c : cases) {
    Menu menu;
    menu.game.inGame = c.inGame;
    menu.game.canSave = c.canSave;
    menu.open();
    for (int command : c.commands) menu.flow.command(command);
    EXPECT_EQ(menu.flow.stateName(), c.state) << c.what;
    if (c.row >= 0 && menu.flow.isOpen()) {
      EXPECT_EQ(menu.row(), c.row) << c.what;
      EXPECT_EQ(menu.flow.stack().back().first, c.first) << c.what;
    }
  }
}

TEST(PauseFlow, QuitAsksAccordingToWhereTheMenuOpened) {
  for (bool inGame : {true, false}) {
    Menu menu;
    menu.game.inGame = inGame;
    menu.open();
    menu.press({kUp, kConfirm});
    EXPECT_EQ(menu.flow.dialogTexts()[0], inGame ? "Return to Title?" : "Quit the Game?");
    EXPECT_EQ(menu.flow.dialogTexts()[1], inGame ? "UNSAVED PLAY WILL BE LOST." : "THE PROGRAM WILL CLOSE.");
    menu.press({kConfirm});  // Cancel
    EXPECT_EQ(menu.flow.stateName(), "main");
    menu.press({kConfirm, kRight, kConfirm});
    EXPECT_FALSE(menu.flow.isOpen());
    EXPECT_EQ(menu.game.quitsToTitle, inGame ? 1 : 0);
    EXPECT_EQ(menu.game.quits, inGame ? 0 : 1);
  }
}

TEST(PauseFlow, SavingToASlotAndOverwritingIt) {
  Menu menu;
  menu.game.state.score = 1234;
  menu.open();
  menu.press({kDown, kConfirm, kDown, kConfirm});  // Save, slot 2 (empty): saved at once
  ASSERT_EQ(menu.flow.stateName(), "message");
  EXPECT_EQ(menu.flow.message()[0], "Game Saved");
  EXPECT_EQ(menu.flow.message()[1], "Slot 2   " + ui::slotDate(1741370700, 0));
  const fs::path slot2 = ui::slotPath(menu.folder.path(), 2);
  ASSERT_TRUE(ui::readSave(slot2).has_value());
  EXPECT_EQ(ui::readSave(slot2)->state.score, 1234);
  EXPECT_TRUE(fs::exists(ui::thumbnailPath(slot2)));

  menu.press({kConfirm});  // OK: back on the save page, the list read again
  ASSERT_EQ(menu.flow.stateName(), "save");
  EXPECT_TRUE(menu.flow.slots()[2].readable);
  EXPECT_TRUE(menu.flow.slots()[2].thumb.has_value());

  // A used slot asks first; Cancel writes nothing.
  menu.game.state.score = 99;
  const std::string before = readWhole(slot2);
  menu.press({kConfirm});
  ASSERT_EQ(menu.flow.stateName(), "confirm");
  EXPECT_EQ(menu.flow.dialogTexts()[0], "Overwrite Slot 2?");
  menu.press({kConfirm});
  EXPECT_EQ(menu.flow.stateName(), "save");
  EXPECT_EQ(readWhole(slot2), before);
  menu.press({kConfirm, kLeft, kConfirm});
  EXPECT_EQ(menu.flow.message()[0], "Game Saved");
  EXPECT_EQ(ui::readSave(slot2)->state.score, 99);
}

TEST(PauseFlow, AFailedSaveSaysSoAndKeepsTheOldSave) {
  Menu menu;
  menu.game.state.score = 5;
  menu.open();
  menu.press({kDown, kConfirm, kConfirm});  // slot 1
  ASSERT_EQ(menu.flow.message()[0], "Game Saved");
  const fs::path slot1 = ui::slotPath(menu.folder.path(), 1);
  const std::string before = readWhole(slot1);
  menu.press({kConfirm});

  // The save cannot be written any more: a folder stands where its temporary file goes.
  fs::create_directory(slot1.string() + ".tmp");
  menu.game.state.score = 6;
  menu.press({kConfirm, kRight, kConfirm});
  ASSERT_EQ(menu.flow.stateName(), "message");
  EXPECT_EQ(menu.flow.message()[0], "Save Failed");
  EXPECT_EQ(menu.flow.message()[1], "COULD NOT WRITE THE SAVE.");
  EXPECT_EQ(menu.flow.message()[2], "PLEASE TRY ANOTHER SLOT.");
  EXPECT_EQ(readWhole(slot1), before);

  // The quick save's notice says so too; without a folder every save fails.
  fs::create_directory(ui::slotPath(menu.folder.path(), 0).string() + ".tmp");
  menu.flow.command(kStart);
  menu.flow.action(ui::kActionQuickSave, menu_test::gamePicture());
  EXPECT_EQ(menu.flow.noticeText(), "Save Failed");
  Menu without(false);
  without.open();
  without.press({kDown, kConfirm, kConfirm});
  EXPECT_EQ(without.flow.message()[0], "Save Failed");
  for (const ui::SlotInfo& slot : without.flow.slots()) EXPECT_FALSE(slot.present);
}

TEST(PauseFlow, QuickSaveAndQuickLoad) {
  Menu menu;
  menu.flow.action(ui::kActionQuickLoad, menu_test::gamePicture());
  EXPECT_EQ(menu.flow.noticeText(), "NO QUICK SAVE YET");
  EXPECT_FALSE(menu.flow.isOpen());
  menu.game.canSave = false;
  menu.flow.action(ui::kActionQuickSave, menu_test::gamePicture());
  EXPECT_EQ(menu.flow.noticeText(), "CANNOT SAVE NOW");
  menu.game.canSave = true;
  menu.game.state.area = 21;
  menu.game.state.score = 77;
  menu.flow.action(ui::kActionQuickSave, menu_test::gamePicture());
  EXPECT_EQ(menu.flow.noticeText(), "QUICK SAVED");

  menu.flow.action(ui::kActionQuickLoad, menu_test::gamePicture());
  ASSERT_EQ(menu.flow.stateName(), "confirm");
  EXPECT_EQ(menu.flow.dialogTexts()[0], "Load Quick Save?");
  menu.press({kRight, kConfirm});
  EXPECT_FALSE(menu.flow.isOpen());
  ASSERT_TRUE(menu.game.loaded.has_value());
  EXPECT_EQ(*menu.game.loaded, menu.game.state);
}

TEST(PauseFlow, AFailedLoadNamesItsCauseAndLeavesTheGameAlone) {
  struct Case {
    const char* what;
    std::string file;  // empty: no file
    bool accepted;
    const char* line;
  };
  const std::string good = ui::saveText(sim::GameState(), 1);
  std::string version2 = good;
  version2.replace(version2.find("\"version\":1"), 11, "\"version\":2");
  const Case cases[] = {
      {"no file", "", true, "THERE IS NO SAVE HERE."},
      {"another version", version2, true, "THIS SAVE IS OF ANOTHER VERSION."},
      {"truncated", good.substr(0, 100), true, "THIS SAVE COULD NOT BE READ."},
      {"out of range", R"({"format":"brumo-save","state":{"area":3,"language":9},"version":1})", true,
       "THIS SAVE COULD NOT BE READ."},
      {"refused by the game", good, false, "ITS AREA IS NOT IN THIS WORLD."},
  };
  for (const Case& c : cases) {
    Menu menu;
    menu.game.acceptLoad = c.accepted;
    if (!c.file.empty())
      menu.folder.put("quicksave.json", c.file);
    else
      menu.folder.put("quicksave.json", good);  // the confirmation needs a file; it goes before the load
    menu.flow.action(ui::kActionQuickLoad, menu_test::gamePicture());
    ASSERT_EQ(menu.flow.stateName(), "confirm") << c.what;
    if (c.file.empty()) fs::remove(menu.folder.path() / "quicksave.json");
    menu.press({kRight, kConfirm});
    ASSERT_EQ(menu.flow.stateName(), "message") << c.what;
    EXPECT_EQ(menu.flow.message()[0], "Load Failed") << c.what;
    EXPECT_EQ(menu.flow.message()[1], c.line) << c.what;
    EXPECT_FALSE(menu.game.loaded.has_value()) << c.what;
  }
}

TEST(PauseFlow, TheLoadPageOpensOnTheNewestSaveAndSkipsTheOthers) {
  Menu menu;
  ASSERT_TRUE(ui::writeSlot(menu.folder.path(), 0, sim::GameState(), ui::Picture{}, 100));
  ASSERT_TRUE(ui::writeSlot(menu.folder.path(), 5, sim::GameState(), ui::Picture{}, 200));
  menu.open();
  menu.press({kDown, kDown, kConfirm});
  ASSERT_EQ(menu.flow.stateName(), "load");
  EXPECT_EQ(menu.row(), 5);
  menu.press({kUp});
  EXPECT_EQ(menu.row(), 0);
  menu.press({kUp});
  EXPECT_EQ(menu.row(), 5);

  Menu empty;
  empty.open();
  empty.press({kDown, kDown, kConfirm, kDown, kUp});
  EXPECT_EQ(empty.row(), 0);
  EXPECT_FALSE(empty.flow.rows(ui::kPageLoad)[0].selectable);
}

TEST(PauseFlow, CapturesAreCancelledFromEitherDevice) {
  const app::Settings defaults;
  // Keys page, Jump (row 4); buttons page, Jump (row 1).
  auto keysPage = [](Menu& m) {
    m.press({kDown, kDown, kDown, kConfirm, kUp, kUp, kConfirm, kDown, kDown, kDown, kDown});
  };
  auto buttonsPage = [](Menu& m) { m.press({kDown, kDown, kDown, kConfirm, kUp, kConfirm}); };
  struct Case {
    const char* what;
    bool keys;
    bool cancelWithKey;
  };
  for (const Case c :
       {Case{"Escape cancels a key capture", true, true}, Case{"START cancels a key capture", true, false},
        Case{"Escape cancels a button capture", false, true}, Case{"START cancels a button capture", false, false}}) {
    Menu menu;
    menu.open();
    if (c.keys)
      keysPage(menu);
    else
      buttonsPage(menu);
    menu.press({kConfirm});
    ASSERT_EQ(menu.flow.captureState(), c.keys ? ui::kCaptureKey : ui::kCaptureButton) << c.what;
    menu.flow.command(kBack);  // ignored while a control is awaited
    EXPECT_NE(menu.flow.captureState(), ui::kCaptureNone) << c.what;
    if (c.cancelWithKey)
      menu.flow.captureKey(kEscape);
    else
      menu.flow.captureButton(6);
    EXPECT_EQ(menu.flow.captureState(), ui::kCaptureNone) << c.what;
    EXPECT_EQ(menu.flow.stateName(), c.keys ? "keys" : "buttons") << c.what;
    EXPECT_EQ(menu.flow.settings().bindings.keys, defaults.bindings.keys) << c.what;
    EXPECT_EQ(menu.flow.settings().bindings.buttons, defaults.bindings.buttons) << c.what;
    EXPECT_EQ(menu.game.settingsApplied, 0) << c.what;
  }
}

TEST(PauseFlow, BindingAReservedOrATakenKey) {
  Menu menu;
  menu.open();
  menu.press({kDown, kDown, kDown, kConfirm, kUp, kUp, kConfirm, kDown, kDown, kDown, kDown, kConfirm});
  menu.flow.captureKey(kF12);
  ASSERT_EQ(menu.flow.stateName(), "message");
  EXPECT_EQ(menu.flow.message()[0], "Reserved Control");
  EXPECT_EQ(menu.flow.message()[1], "F12 IS USED BY THE MENU.");
  menu.press({kConfirm, kConfirm});
  menu.flow.captureKey(kF5);
  ASSERT_EQ(menu.flow.stateName(), "confirm");
  EXPECT_EQ(menu.flow.dialogTexts()[0], "Key Already in Use");
  EXPECT_EQ(menu.flow.dialogTexts()[1], "F5 IS ASSIGNED TO QUICK SAVE.");
  EXPECT_EQ(menu.flow.dialogTexts()[2], "SWAP IT WITH JUMP?");
  menu.press({kRight, kConfirm});
  EXPECT_EQ(menu.flow.stateName(), "keys");
  const auto& keys = menu.flow.settings().bindings.keys;
  EXPECT_EQ(keys[app::kJump][0], kF5);
  EXPECT_EQ(keys[app::kJump][1], 0);
  EXPECT_EQ(keys[app::kQuickSave][0], kSpace);
  EXPECT_EQ(menu.game.settingsApplied, 1);
  EXPECT_TRUE(fs::exists(menu.folder.path() / "settings.json"));
}

TEST(PauseFlow, SettingsAndCheatsApplyAtOnce) {
  Menu menu;
  menu.open();
  menu.press({kDown, kDown, kDown, kConfirm, kDown, kDown, kRight});  // music volume at 10
  EXPECT_EQ(menu.flow.settings().music_volume, 10);
  EXPECT_EQ(menu.game.settingsApplied, 1);
  EXPECT_TRUE(fs::exists(menu.folder.path() / "settings.json"));
  menu.press({kLeft, kLeft});
  EXPECT_EQ(menu.flow.settings().music_volume, 8);
  EXPECT_EQ(app::loadSettings(menu.folder.path() / "settings.json").music_volume, 8);
  menu.press({kBack, kDown, kConfirm, kRight, kDown, kConfirm});
  EXPECT_EQ(menu.game.cheats, (std::vector<unsigned>{1, 3}));
}

TEST(PauseFlow, TeleportClosesTheMenuAndReportsAFailure) {
  Menu menu;
  menu.open();
  menu.press({kDown, kDown, kDown, kDown, kConfirm, kUp, kConfirm, kDown, kConfirm});
  EXPECT_FALSE(menu.flow.isOpen());
  EXPECT_EQ(menu.game.teleports, (std::vector<std::int64_t>{11}));
  menu.game.teleportWorks = false;
  menu.open();
  menu.press({kDown, kDown, kDown, kDown, kConfirm, kUp, kConfirm, kConfirm});
  EXPECT_EQ(menu.flow.noticeText(), "TELEPORT FAILED");
}

TEST(PauseFlow, WatchDemoStartsTheDemoOrSaysItCouldNot) {
  Menu without;
  without.open();
  without.press({kUp, kUp, kConfirm});
  EXPECT_EQ(without.flow.stateName(), "message");
  EXPECT_EQ(without.flow.message()[1], "THE DEMO COULD NOT START.");

  // From the title at once; in game after a confirmation that warns of the English demo.
  Menu title(true, true);
  title.game.inGame = false;
  title.open();
  title.press({kUp, kUp, kConfirm});
  EXPECT_EQ(title.game.demosStarted, 1);
  EXPECT_EQ(title.flow.stateName(), "message");  // the hook started nothing: the demo is not running
  Menu game(true, true);
  game.game.language = 1;
  game.open();
  game.press({kUp, kUp, kConfirm});
  ASSERT_EQ(game.flow.stateName(), "confirm");
  EXPECT_EQ(game.flow.dialogTexts()[2], "LA DÉMO EST EN ANGLAIS.");
  game.game.demo = true;
  game.press({kRight, kConfirm});
  EXPECT_EQ(game.game.demosStarted, 1);
  EXPECT_FALSE(game.flow.isOpen());

  // While the demo plays, the menu key asks to leave it.
  game.flow.action(ui::kActionOpen, menu_test::gamePicture());
  ASSERT_EQ(game.flow.stateName(), "confirm");
  EXPECT_EQ(game.flow.dialogTexts()[0], "Quitter la Démo ?");
}

TEST(PauseFlow, ANoticeLastsItsFrames) {
  Menu menu;
  menu.flow.notice("QUICK SAVED", 100);
  ui::Picture picture = menu_test::gamePicture();
  for (int i = 0; i < 100; ++i) {
    picture = menu_test::gamePicture();
    menu.flow.compose(picture);
  }
  EXPECT_NE(picture.pixels, menu_test::gamePicture().pixels);
  picture = menu_test::gamePicture();
  menu.flow.compose(picture);
  EXPECT_EQ(picture.pixels, menu_test::gamePicture().pixels);
}

TEST(PauseFlow, ScreenshotsInTheSameSecondAreAllKept) {
  Menu menu;
  menu.flow.action(ui::kActionScreenshot, menu_test::gamePicture());
  EXPECT_EQ(menu.flow.noticeText(), "SCREENSHOT SAVED");
  menu.flow.action(ui::kActionScreenshot, menu_test::gamePicture());
  const fs::path shots = menu.folder.path() / "screenshots";
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(shots)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  ASSERT_EQ(names.size(), 2u);
  EXPECT_EQ(names[1], names[0].substr(0, names[0].size() - 4) + "_2.png");
  const std::optional<ui::Picture> back = ui::readPng(shots / names[0]);
  ASSERT_TRUE(back.has_value());
  EXPECT_EQ(back->pixels, menu_test::gamePicture().pixels);

  Menu without(false);
  without.flow.action(ui::kActionScreenshot, menu_test::gamePicture());
  EXPECT_EQ(without.flow.noticeText(), "SCREENSHOT FAILED");
}

TEST(PauseFlow, AStoppedGameShowsItsPageAndWritesErrorsLog) {
  Menu menu;
  menu.flow.gameStopped("a table (area 3 at 10, 20)", true, menu_test::gamePicture());
  ASSERT_EQ(menu.flow.stateName(), "message");
  EXPECT_EQ(menu.flow.message()[0], "Game Stopped");
  EXPECT_EQ(menu.flow.message()[1], "PLAY WENT BACK A MOMENT.");
  EXPECT_EQ(menu.flow.message()[2], "DETAILS IN ERRORS.LOG");
  const std::string log = readWhole(menu.folder.path() / "errors.log");
  EXPECT_NE(log.find("  a table (area 3 at 10, 20); play went back a moment\n"), std::string::npos) << log;
}

TEST(MenuText, SlotDatesAndFolding) {
  const std::string date = ui::slotDate(1741370700, 0);
  EXPECT_EQ(date.size(), 17u);
  EXPECT_NE(date.find(" MAR 2025 "), std::string::npos) << date;
  EXPECT_NE(ui::slotDate(1741370700, 4).find(" MAR 2025 "), std::string::npos);
  EXPECT_NE(ui::slotDate(1733000000, 2).find(" NOV 2024 "), std::string::npos);
  EXPECT_EQ(ui::slotDate(0, 0), "");
  EXPECT_EQ(ui::slotDate(-5, 0), "");
  EXPECT_EQ(ui::slotDate(std::int64_t{1} << 62, 0), "");  // no such date: no text, no failure
  EXPECT_EQ(ui::monthName(13, 9), "FEB");
  EXPECT_EQ(ui::foldText("Größe é\xC2\xA9x\xE2\x82\xAC!"), "GROSSE EX!");
  EXPECT_EQ(ui::menuText(ui::kTextFooterResume, 1), "ENTREE: OK  ESC: REPRENDRE");
  EXPECT_EQ(ui::menuText(ui::kTextOk, 7), "OK");
  for (int language = 0; language < 5; ++language)
    for (int id = 0; id < ui::kMenuTextCount; ++id) EXPECT_FALSE(ui::menuText(id, language).empty()) << id;
}

TEST(Places, TheTeleportFileIsReadWithItsGaps) {
  TempFolder folder;
  folder.put("assets/menu/teleports.json",
             R"({"places":[{"area":4,"x":456,"y":128,"label":["A","B","C"]},{"label":[1,"x"]}]})");
  const std::vector<ui::Place> places = ui::loadPlaces(folder.path());
  ASSERT_EQ(places.size(), 2u);
  EXPECT_EQ(places[0].area, 4);
  EXPECT_EQ(places[0].x, 456);
  EXPECT_EQ(places[0].label[2], "C");
  EXPECT_EQ(places[0].label[3], "?");
  EXPECT_EQ(places[1].label[0], "?");
  EXPECT_EQ(places[1].label[1], "x");
  EXPECT_EQ(places[1].area, 0);
  folder.put("assets/menu/teleports.json", "{\"places\": 3}");
  EXPECT_TRUE(ui::loadPlaces(folder.path()).empty());
  EXPECT_EQ(ui::loadPlaces(GROVANTA_SOURCE_DIR).size(), 18u);
}

}  // namespace
