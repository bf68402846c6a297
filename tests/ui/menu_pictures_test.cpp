// The menu drawn with the shipped art. Each page is also written to build/menu_pages/ to be looked at.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/temp_folder.h"
#include "ui/menu_fixture.h"
#include "ui/menu_text.h"

namespace {

namespace fs = std::filesystem;
constexpr int kUp = 1, kDown = 2, kRight = 4, kConfirm = 5;

std::uint32_t dimmed(std::uint32_t p) {
  return 0xFF000000u | (((p >> 16 & 0xFF) * 150) >> 8) << 16 | (((p >> 8 & 0xFF) * 150) >> 8) << 8 |
         (((p & 0xFF) * 150) >> 8);
}

TEST(MenuPictures, TheArtOfTheDataSetIsReady) {
  const ui::MenuArt& art = menu_test::shippedArt().art;
  ASSERT_TRUE(art.ready);
  EXPECT_NE(art.firstColour, art.secondColour);
  for (const ui::BarPiece& piece : art.bar) EXPECT_GT(piece.width, 0);
}

TEST(MenuPictures, ArtWithAPartMissingIsNotReadyAndSaysWhich) {
  const menu_test::ShippedArt& shipped = menu_test::shippedArt();
  struct Case {
    std::uint32_t picture;
    const char* line;
  };
  for (const Case c : {Case{ui::kParchmentBlock, "the parchment 071804, the credits' font 0671C4"},
                       Case{ui::kCreditsFontBlock, "the parchment 071804, the credits' font 0671C4"},
                       Case{0x079C00, "the code menu's box (0680EC frames 17h - 19h) did not load"}}) {
    render::RenderAssets assets(GROVANTA_SOURCE_DIR, shipped.world, &shipped.rom);
    ASSERT_TRUE(assets.loadCommonGraphics());
    assets.pictures.erase(c.picture);
    testing::internal::CaptureStderr();
    const ui::MenuArt art = ui::MenuArt::build(assets, shipped.rom);
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(art.ready) << c.line;
    EXPECT_NE(log.find(c.line), std::string::npos) << log;
  }
}

TEST(MenuPictures, EveryPageDrawsOverTheDimmedFrozenPicture) {
  testing_support::TempFolder folder;
  menu_test::GameSide game;
  ASSERT_TRUE(ui::writeSlot(folder.path(), 0, game.state, menu_test::gamePicture(), 1741370700));
  ASSERT_TRUE(ui::writeSlot(folder.path(), 3, game.state, menu_test::gamePicture(), 1741380700));
  folder.put("saves/slot_6.json", "damaged");
  std::vector<ui::Place> places = ui::loadPlaces(GROVANTA_SOURCE_DIR);
  ui::PauseFlow flow(menu_test::shippedArt().art, folder.path(), places, game.hooks());
  const fs::path out = fs::path(GROVANTA_BINARY_DIR) / "menu_pages";
  fs::create_directories(out);

  struct Shot {
    const char* name;
    int language;
    std::vector<int> commands;
  };
  const Shot shots[] = {
      {"main", 0, {}},
      {"save", 0, {kDown, kConfirm}},
      {"load", 0, {kDown, kDown, kConfirm}},
      {"settings", 0, {kDown, kDown, kDown, kConfirm, kDown, kDown, kRight}},
      {"cheats", 0, {kDown, kDown, kDown, kDown, kConfirm, kConfirm}},
      {"teleport", 1, {kDown, kDown, kDown, kDown, kConfirm, kUp, kConfirm}},
      {"keys", 2, {kDown, kDown, kDown, kConfirm, kDown, kDown, kDown, kDown, kConfirm, kUp, kUp}},
      {"buttons", 3, {kDown, kDown, kDown, kConfirm, kUp, kConfirm}},
      {"confirm", 4, {kUp, kConfirm, kRight}},
      {"message", 0, {kUp, kUp, kConfirm}},
  };
  for (const Shot& shot : shots) {
    game.language = shot.language;
    flow.action(ui::kActionOpen, menu_test::gamePicture());
    for (int c : shot.commands) flow.command(c);
    ASSERT_EQ(flow.stateName(), shot.name);
    ui::Picture picture{320, 224, std::vector<std::uint32_t>(320 * 224, 0xFFFFFFFFu)};
    flow.compose(picture);
    // The frozen picture, dimmed, in the corner; the panel over the middle.
    EXPECT_EQ(picture.pixels[0], dimmed(menu_test::gamePicture().pixels[0])) << shot.name;
    const std::size_t middle = 112 * 320 + 160;
    EXPECT_NE(picture.pixels[middle], dimmed(menu_test::gamePicture().pixels[middle])) << shot.name;
    EXPECT_TRUE(ui::writePng(out / (std::string(shot.name) + ".png"), picture));
    flow.command(7);
  }
  flow.notice("QUICK SAVED", 10);
  ui::Picture running = menu_test::gamePicture();
  flow.compose(running);
  EXPECT_TRUE(ui::writePng(out / "notice.png", running));
}

}  // namespace

namespace {

// Every text of the menu fits its panel in every language: labels and values side by side within the
// inner width (the panel less 8 pixels each side, the values 8 pixels from the right edge), dialog lines
// and titles within the confirm and message panels (34 cells).
TEST(MenuPictures, EveryTextFitsItsPanelInEveryLanguage) {
  constexpr int kWidths[] = {30, 38, 38, 36, 34, 32, 38, 38, 34, 34};
  auto inner = [&](int page) { return kWidths[page] * 8 - 16; };
  for (int language = 0; language < 5; ++language) {
    menu_test::GameSide game;
    game.language = language;
    ui::PauseFlow flow(menu_test::shippedArt().art, {}, ui::loadPlaces(GROVANTA_SOURCE_DIR), game.hooks());
    flow.action(ui::kActionOpen, menu_test::gamePicture());
    for (int page = 0; page <= 7; ++page) {
      for (const ui::PageRow& row : flow.rows(page)) {
        int left = 8 + (row.valueKind == ui::PageRow::Value::kSlot ? 24 : 0);
        int value = 0;
        switch (row.valueKind) {
          case ui::PageRow::Value::kScreens:
            value = ui::MenuArt::screensWidth(row.value);
            break;
          case ui::PageRow::Value::kVolume:
            value = 96;
            break;
          case ui::PageRow::Value::kCredits:
          case ui::PageRow::Value::kSlot:
            value = ui::MenuArt::creditsWidth(row.value);
            break;
          default:
            break;
        }
        const int gap = value > 0 ? 8 : 0;
        EXPECT_LE(left + ui::MenuArt::screensWidth(row.label) + gap + value + 8, inner(page))
            << "language " << language << ", page " << page << ": " << row.label << " / " << row.value;
      }
    }
    for (int id = 0; id < ui::kMenuTextCount; ++id) {
      // Titles and buttons use the screens' font, lines and footers the credits' font; both fit 34 cells.
      EXPECT_LE(ui::MenuArt::creditsWidth(ui::menuText(id, language)), inner(8) + 32)
          << "language " << language << ", text " << id;
    }
    for (int id :
         {ui::kTextSaveReplaced,     ui::kTextUnsavedLost,         ui::kTextProgramCloses, ui::kTextButtonUsedByMenu,
          ui::kTextChooseAnotherKey, ui::kTextChooseAnotherButton, ui::kTextCouldNotWrite, ui::kTextTryAnotherSlot,
          ui::kTextNoSaveHere,       ui::kTextCouldNotRead,        ui::kTextOtherVersion,  ui::kTextAreaNotInWorld,
          ui::kTextWentBack,         ui::kTextBackToTitle,         ui::kTextDetailsInLog,  ui::kTextDemoInEnglish,
          ui::kTextAboutLives,       ui::kTextAboutEnergy,         ui::kTextAboutTimers,   ui::kTextAboutTeleport,
          ui::kTextFooterChoose})
      EXPECT_LE(ui::MenuArt::creditsWidth(ui::menuText(id, language)), inner(8))
          << "language " << language << ", text " << id << ": " << ui::menuText(id, language);
    for (int id = ui::kTextGameSaved; id <= ui::kTextLeaveTheDemo; ++id)
      EXPECT_LE(ui::MenuArt::screensWidth(ui::menuText(id, language)), inner(8))
          << "language " << language << ", title " << id << ": " << ui::menuText(id, language);
  }
}

}  // namespace
