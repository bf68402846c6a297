// The in-game event screens of our data set: each event's record names a picture that exists and fits
// the screen, and every thing it shows as a sprite is a frame of its list, drawn whole in the scene
// above the scroll (the text goes on the scroll from cell row 12 down, 4 pixels low).
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "render/pictures.h"
#include "render/sprite_banks.h"
#include "render/video_chip.h"
#include "sim/rom_view.h"
#include "world/world.h"

namespace {

const std::filesystem::path kData = GROVANTA_SOURCE_DIR;
constexpr std::uint32_t kEventTable = 0x03E470;
constexpr int kSceneTop = 16, kSceneBottom = 90;  // screen rows the things may take
constexpr int kInGameEvents[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 20};

TEST(EventScenes, EachEventShowsItsThingsWholeInTheSceneAboveTheScroll) {
  auto world = world::loadWorld(kData);
  ASSERT_TRUE(world);
  const sim::RomView rom = sim::loadRomView(kData, *world);
  const render::PictureMap pictures = render::loadPictures(kData);
  ASSERT_FALSE(pictures.empty());

  for (int e : kInGameEvents) {
    SCOPED_TRACE("event " + std::to_string(e));
    const std::uint32_t record = rom.longAt(kEventTable + 4 * static_cast<std::uint32_t>(e));
    EXPECT_EQ(rom.wordAt(record + 8), e) << "the record names another message";
    const auto picture = pictures.find(rom.longAt(record));
    ASSERT_NE(picture, pictures.end()) << "no picture " << std::hex << rom.longAt(record);
    EXPECT_EQ(picture->second.width, 40);
    EXPECT_EQ(picture->second.height, 24);

    render::VideoChip chip;
    const auto list = render::loadBankList(chip, rom, pictures, rom.longAt(record + 4), 0);
    ASSERT_TRUE(list);
    const int c = list->first_bank_frames;
    int things = 0;
    for (std::uint32_t at = record + 10; rom.wordAt(at) != 0xFFFF; at += 6) {
      ASSERT_LT(at, record + 512) << "the sprites have no end";
      const int x = rom.signedWordAt(at) - 128, y = rom.signedWordAt(at + 2) - 128;
      const int frame = c + rom.signedWordAt(at + 4);
      SCOPED_TRACE("sprite at (" + std::to_string(x) + ", " + std::to_string(y) + "), frame " + std::to_string(frame));
      ASSERT_GE(frame, 0);
      ASSERT_LT(frame, static_cast<int>(list->frames.size()));
      const render::SpriteFrame& f = list->frames[static_cast<std::size_t>(frame)];
      EXPECT_GE(x, 0);
      EXPECT_LE(x + 8 * f.width, 320);
      EXPECT_GE(y, kSceneTop);
      EXPECT_LE(y + 8 * f.height, kSceneBottom) << "over the scroll";
      ++things;
    }
    EXPECT_GT(things, 0) << "the event shows nothing it speaks of";
  }
}

}  // namespace
