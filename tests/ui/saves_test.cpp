#include "ui/saves.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/temp_folder.h"

namespace {

namespace fs = std::filesystem;
using testing_support::readWhole;
using testing_support::TempFolder;

// A state in which every field holds a value of its own, all of them values the game can hold.
sim::GameState variedState() {
  sim::GameState state;
  std::int64_t n = 1;
  for (const sim::FieldInfo& field : sim::gameStateFields()) {
    if (field.isScalar()) {
      state.scalar(static_cast<std::size_t>(field.scalarIndex)) = (n * 7919) % 60000 - 30000;
    } else {
      auto& block = state.block(static_cast<std::size_t>(field.blockIndex));
      for (std::size_t i = 0; i < block.size(); ++i) block[i] = static_cast<std::uint8_t>(n * 31 + i * 17);
    }
    ++n;
  }
  state.language = 3;
  state.screen_kind = 2;
  state.objects_here_count = 5;
  state.x = -0x7FFF0000;
  state.rng = 0xFFFFFFFF;
  for (std::size_t i = 0; i < state.inventory.size(); i += 2) {
    state.inventory[i] = 0;
    state.inventory[i + 1] = static_cast<std::uint8_t>(i * 3);
  }
  state.inventory[0] = state.inventory[1] = 0xFF;  // an empty place
  return state;
}

TEST(Saves, AStateWrittenAndReadBackIsEqualFieldByField) {
  TempFolder folder;
  const sim::GameState state = variedState();
  ASSERT_FALSE(ui::fieldOutOfRange(state).has_value());
  const fs::path path = ui::slotPath(folder.path(), 4);
  EXPECT_EQ(path, folder.path() / "saves" / "slot_4.json");
  ASSERT_TRUE(ui::writeSave(path, state, 1741370700));

  std::string reason;
  const std::optional<ui::LoadedSave> loaded = ui::readSave(path, &reason);
  ASSERT_TRUE(loaded.has_value()) << reason;
  EXPECT_EQ(loaded->saved_at, 1741370700);
  EXPECT_TRUE(sim::differingFields(loaded->state, state).empty());
  EXPECT_EQ(loaded->state, state);
  EXPECT_FALSE(fs::exists(path.string() + ".tmp"));

  // Compact, members in name order, no final newline.
  const std::string text = readWhole(path);
  EXPECT_TRUE(text.starts_with(R"({"format":"brumo-save","saved_at":1741370700,"state":{"a0_anim1":")"))
      << text.substr(0, 80);
  EXPECT_TRUE(text.ends_with(R"(},"version":1})"));
}

TEST(Saves, FilesThatAreNotGoodSavesAreRefusedWithTheirReason) {
  const std::string good = ui::saveText(variedState(), 5);
  auto replaced = [&](const std::string& from, const std::string& to) {
    std::string text = good;
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return text.replace(at, from.size(), to);
  };
  const std::string flagsHex = good.substr(good.find("\"flags\":\"") + 9, 256);
  struct Case {
    const char* what;
    std::string text;
    const char* reason;
  };
  const Case cases[] = {
      {"empty", "", "unreadable"},
      {"binary", std::string("\x89PNG\r\n\x1a\n\0\0\xff", 11), "unreadable"},
      {"truncated", good.substr(0, good.size() / 2), "unreadable"},
      {"an array", "[1,2]", "unreadable"},
      {"another format", replaced("brumo-save", "brumo-settings"), "unreadable"},
      {"version 2", replaced("\"version\":1", "\"version\":2"), "version"},
      {"no version", replaced(",\"version\":1", ""), "version"},
      {"a state without area", R"({"format":"brumo-save","state":{"x":1},"version":1})", "unreadable"},
      {"a block one digit short", replaced(flagsHex, flagsHex.substr(1)), "unreadable"},
      {"a block with a stray character", replaced(flagsHex, "zz" + flagsHex.substr(2)), "unreadable"},
      {"a scalar as a float", R"({"format":"brumo-save","state":{"area":3.0},"version":1})", "unreadable"},
      {"a scalar as text", R"({"format":"brumo-save","state":{"area":"3"},"version":1})", "unreadable"},
      {"a language past the table", R"({"format":"brumo-save","state":{"area":3,"language":7},"version":1})",
       "unreadable"},
      {"a position no console word holds",
       R"({"format":"brumo-save","state":{"area":3,"x":1099511627776},"version":1})", "unreadable"},
      {"a value near the 64-bit limit",
       R"({"format":"brumo-save","state":{"area":3,"score":-9223372036854775807},"version":1})", "unreadable"},
      {"an inventory word past the objects",
       R"({"format":"brumo-save","state":{"area":3,"inventory":"ffff01f4ffffffffffff"},"version":1})", "unreadable"},
  };
  TempFolder folder;
  for (const Case& c : cases) {
    const fs::path path = folder.put("case.json", c.text);
    std::string reason;
    EXPECT_FALSE(ui::readSave(path, &reason).has_value()) << c.what;
    EXPECT_EQ(reason, c.reason) << c.what;
  }
  std::string reason;
  EXPECT_FALSE(ui::readSave(folder.path() / "nothing.json", &reason).has_value());
  EXPECT_EQ(reason, "missing");
  EXPECT_FALSE(ui::readSave({}, &reason).has_value());
  EXPECT_EQ(reason, "missing");
}

TEST(Saves, FieldsTheFileDoesNotNameKeepTheirDefaultsAndHexMayBeInCapitals) {
  TempFolder folder;
  const fs::path only = folder.put(
      "only.json",
      R"({"format":"brumo-save","state":{"area":12,"unknown":5,"inventory":"FFFF001A00010002FfFF"},"version":1})");
  const std::optional<ui::LoadedSave> loaded = ui::readSave(only);
  ASSERT_TRUE(loaded.has_value());
  sim::GameState expected;
  expected.area = 12;
  expected.inventory = {0xFF, 0xFF, 0x00, 0x1A, 0x00, 0x01, 0x00, 0x02, 0xFF, 0xFF};
  EXPECT_EQ(loaded->state, expected);
  EXPECT_EQ(loaded->saved_at, 0);
}

TEST(Saves, AFailedWriteLeavesThePreviousSaveAsItWas) {
  TempFolder folder;
  const fs::path path = ui::slotPath(folder.path(), 0);
  EXPECT_EQ(path, folder.path() / "quicksave.json");
  sim::GameState first = variedState();
  ASSERT_TRUE(ui::writeSave(path, first, 100));
  const std::string before = readWhole(path);

  // The temporary file cannot be made: a folder stands in its place.
  fs::create_directory(path.string() + ".tmp");
  sim::GameState second = first;
  second.score = 999;
  EXPECT_FALSE(ui::writeSave(path, second, 200));
  EXPECT_EQ(readWhole(path), before);
  fs::remove(path.string() + ".tmp");

  // The rename cannot replace the target: a folder with something in it stands there.
  const fs::path blocked = ui::slotPath(folder.path(), 2);
  fs::create_directories(blocked / "inside");
  EXPECT_FALSE(ui::writeSave(blocked, second, 200));
  EXPECT_TRUE(fs::is_directory(blocked / "inside"));

  // Without a folder nothing is written.
  EXPECT_TRUE(ui::slotPath({}, 1).empty());
  EXPECT_FALSE(ui::writeSlot({}, 1, first, ui::Picture{}, 1));
}

TEST(Saves, TheThumbnailAveragesBoxesOfTheTopOfThePicture) {
  ui::Picture picture{320, 224, std::vector<std::uint32_t>(320 * 224)};
  for (int y = 0; y < 224; ++y)
    for (int x = 0; x < 320; ++x)
      picture.pixels[static_cast<std::size_t>(y) * 320 + x] =
          y < 192 ? 0x00000000u | static_cast<std::uint32_t>(x / 2) << 16 | static_cast<std::uint32_t>(y) << 8
                  : 0xFF0000FFu;  // the status panel: never in the thumbnail
  const ui::Picture thumb = ui::makeThumbnail(picture);
  ASSERT_EQ(thumb.width, 17);
  ASSERT_EQ(thumb.height, 10);
  // Pixel (0, 0): columns 0-17, rows 0-18.
  EXPECT_EQ(thumb.pixels[0], 0xFF000000u | 4u << 16 | 9u << 8);
  // Pixel (16, 9): columns 301-319, rows 172-191; no blue from the panel.
  EXPECT_EQ(thumb.pixels[9 * 17 + 16], 0xFF000000u | 154u << 16 | 181u << 8);
  for (std::uint32_t p : thumb.pixels) EXPECT_EQ(p & 0xFF, 0u);

  const ui::Picture empty = ui::makeThumbnail(ui::Picture{});
  EXPECT_EQ(empty.pixels, std::vector<std::uint32_t>(170, 0xFF000000u));
}

TEST(Saves, TheSlotListReportsEachSlotWithItsThumbnail) {
  TempFolder folder;
  ui::Picture picture{40, 20, std::vector<std::uint32_t>(800, 0xFF336699u)};
  ASSERT_TRUE(ui::writeSlot(folder.path(), 0, variedState(), picture, 1000));
  ASSERT_TRUE(ui::writeSlot(folder.path(), 5, variedState(), picture, 2000));
  ASSERT_TRUE(ui::writeSlot(folder.path(), 6, variedState(), picture, 3000));
  // Slot 6's picture is of another size; slot 7 holds something that is not a save.
  ASSERT_TRUE(ui::writePng(folder.path() / "saves" / "slot_6.png", ui::Picture{4, 4, std::vector<std::uint32_t>(16)}));
  folder.put("saves/slot_7.json", "not a save");

  const auto slots = ui::listSlots(folder.path());
  EXPECT_TRUE(slots[0].readable);
  EXPECT_EQ(slots[0].saved_at, 1000);
  ASSERT_TRUE(slots[5].thumb.has_value());
  EXPECT_EQ(slots[5].thumb_width, 17);
  EXPECT_EQ(slots[5].thumb_height, 10);
  EXPECT_EQ((*slots[5].thumb)[0], 0xFF336699u);
  EXPECT_TRUE(slots[6].readable);
  EXPECT_FALSE(slots[6].thumb.has_value());
  EXPECT_EQ(slots[6].thumb_width, 0);
  EXPECT_TRUE(slots[7].present);
  EXPECT_FALSE(slots[7].readable);
  EXPECT_EQ(slots[7].saved_at, 0);
  EXPECT_FALSE(slots[1].present);

  for (const ui::SlotInfo& slot : ui::listSlots({})) EXPECT_FALSE(slot.present);
}

TEST(Saves, PngFilesReadBackTheirPixels) {
  TempFolder folder;
  ui::Picture picture{3, 2, {0xFF000000u, 0x80FF0000u, 0xFF00FF00u, 0x000000FFu, 0xFFFFFFFFu, 0x12345678u}};
  ASSERT_TRUE(ui::writePng(folder.path() / "deep" / "p.png", picture));
  const std::optional<ui::Picture> back = ui::readPng(folder.path() / "deep" / "p.png");
  ASSERT_TRUE(back.has_value());
  EXPECT_EQ(back->width, 3);
  EXPECT_EQ(back->pixels, picture.pixels);
  EXPECT_FALSE(ui::writePng(folder.path() / "none.png", ui::Picture{}));
  EXPECT_FALSE(ui::readPng(folder.put("bad.png", "nope")).has_value());
}

}  // namespace
