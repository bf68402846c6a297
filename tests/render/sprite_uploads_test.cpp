// The per-frame pattern loads: the hero's current frame with its expressions, and the objects' graphics
// into the object slots.
#include "render/sprite_uploads.h"

#include <gtest/gtest.h>

#include <vector>

#include "sim/game_state.h"

namespace {

// Source pattern n is filled with n % 250 + 1, so a copied pattern names its source (modulo 250).
std::vector<render::Pattern> numbered(int count) {
  std::vector<render::Pattern> patterns(static_cast<std::size_t>(count));
  for (int n = 0; n < count; ++n) patterns[static_cast<std::size_t>(n)].fill(static_cast<std::uint8_t>(n % 250 + 1));
  return patterns;
}

int source(const render::VideoChip& chip, int n) {
  return chip.patterns[static_cast<std::size_t>(n)][0] - 1;
}

TEST(HeroFrameUpload, TheFrameAndItsExpressions) {
  struct Case {
    std::int64_t frame, expression;
    int shown;  // hero frame whose nine patterns are loaded
  };
  const std::vector<Case> cases = {
      {5, 0, 5},       {0, 1, 28}, {1, 1, 29},
      {0, 2, 38},      {1, 2, 39}, {2, 1, 2},  // expressions change only frames 0 and 1
      {0, 3, 0},                               // an unknown expression changes nothing
      {-1, 1, 27},                             // -1 + 28
      {0x8002, 1, 30},                         // the test is on the signed word: 0x8002 is below 2
      {0x10005, 1, 5},                         // and 0x10005 is 5
      {0x85, 0, 5},                            // masked to 7 bits
  };
  const std::vector<render::Pattern> hero = numbered(414);
  for (const Case& c : cases) {
    render::VideoChip chip;
    render::uploadHeroFrame(chip, 600, c.frame, c.expression, hero);
    for (int k = 0; k < 9; ++k)
      EXPECT_EQ((9 * c.shown + k) % 250, source(chip, 600 + k))
          << "frame " << c.frame << " expression " << c.expression;
    EXPECT_EQ(-1, source(chip, 609));
  }
}

TEST(HeroFrameUpload, FramesPastTheSheetAndTheStoreLoadNothing) {
  render::VideoChip chip;
  render::uploadHeroFrame(chip, 2044, 45, 0, numbered(412));  // patterns 405-411 exist, 412 and 413 do not
  EXPECT_EQ(405 % 250, source(chip, 2044));
  EXPECT_EQ(408 % 250, source(chip, 2047));
  render::VideoChip empty;
  render::uploadHeroFrame(empty, 10, 46, 0, numbered(414));  // frame 46 is past the 46 frames
  EXPECT_EQ(-1, source(empty, 10));
}

// Points object slot `slot` at a console RAM address, and gives object record `index` graphic `graphic`.
void setSlot(sim::GameState& state, int slot, std::uint32_t address) {
  for (int b = 0; b < 4; ++b)
    state.objects_here[static_cast<std::size_t>(4 * slot + b)] = static_cast<std::uint8_t>(address >> (24 - 8 * b));
}
void setGraphic(sim::GameState& state, int index, std::int16_t graphic) {
  state.objects[static_cast<std::size_t>(16 * index + 6)] =
      static_cast<std::uint8_t>(static_cast<std::uint16_t>(graphic) >> 8);
  state.objects[static_cast<std::size_t>(16 * index + 7)] = static_cast<std::uint8_t>(graphic);
}

TEST(ObjectGraphicsUpload, EachSlotTakesFourPatternsWhetherItLoadsOrNot) {
  sim::GameState state;
  ASSERT_EQ(128u, state.objects_here.size());
  ASSERT_EQ(992u, state.objects.size());
  setGraphic(state, 0, 3);
  setGraphic(state, 5, 10);
  setGraphic(state, 61, 1);
  setGraphic(state, 7, -1);
  setSlot(state, 0, render::kObjectTableAddress + 5 * 16);
  setSlot(state, 1, render::kObjectTableAddress - 16);           // before the table
  setSlot(state, 2, render::kObjectTableAddress + 62 * 16);      // past it
  setSlot(state, 3, render::kObjectTableAddress + 61 * 16 + 9);  // inside record 61
  setSlot(state, 4, render::kObjectTableAddress - 15);           // truncates towards zero: record 0
  setSlot(state, 5, render::kObjectTableAddress + 7 * 16);       // a negative graphic
  setSlot(state, 6, render::kObjectTableAddress);                // beyond the count: not loaded
  state.objects_here_count = 6;

  render::SpriteFrameList list;
  list.frames = {{50, 3, 3, 0}, {59, 1, 1, 0}, {100, 2, 2, 0}};
  render::VideoChip chip;
  render::uploadObjectGraphics(chip, list, state, numbered(48));
  const std::vector<int> expected = {40, 41, 42, 43, -1, -1, -1, -1, -1, -1, -1, -1, 4,
                                     5,  6,  7,  12, 13, 14, 15, -1, -1, -1, -1, -1};
  std::vector<int> loaded;
  for (int n = 100; n < 125; ++n) loaded.push_back(source(chip, n));
  EXPECT_EQ(expected, loaded);
}

TEST(ObjectGraphicsUpload, NeedsThreeFramesAndStopsAtThirtyTwoSlots) {
  sim::GameState state;
  for (int slot = 0; slot < 32; ++slot) setSlot(state, slot, render::kObjectTableAddress);
  setGraphic(state, 0, 1);
  state.objects_here_count = 40;
  render::SpriteFrameList list;
  list.frames = {{0, 1, 1, 0}, {1, 1, 1, 0}};
  render::VideoChip chip;
  render::uploadObjectGraphics(chip, list, state, numbered(8));
  EXPECT_EQ(-1, source(chip, 0));

  list.frames.push_back({1900, 2, 2, 0});
  render::uploadObjectGraphics(chip, list, state, numbered(8));
  EXPECT_EQ(4, source(chip, 1900));
  EXPECT_EQ(7, source(chip, 2027));   // slot 31's last pattern
  EXPECT_EQ(-1, source(chip, 2028));  // slots 32-39 are not loaded
}

}  // namespace
