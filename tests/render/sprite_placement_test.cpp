// Placing sprite calls: small frames, large frames split into 4 x 4 pieces under every flip, which bits
// of the call reach the sprite, separators and the 80-sprite cut.
#include "render/sprite_placement.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

using render::SpriteFrame;
using render::SpriteFrameList;
using sim::SpriteCall;

// Frame 0: 6 x 5 cells at pattern 100, palette 0. Frame 1: 2 x 2 at pattern 200 with palette 2 in its
// attribute. Frame 2: 6 x 5 at pattern 300 with palette 1. Frame 3: 8 x 8 at pattern 400.
SpriteFrameList frames() {
  SpriteFrameList list;
  list.frames = {{100, 6, 5, 0}, {200, 2, 2, 2}, {300, 6, 5, 1}, {400, 8, 8, 0}};
  return list;
}

// Screen position (x, y) as a call's console sprite coordinates.
SpriteCall call(int frame, int x, int y, std::uint32_t attributes = 0) {
  return {static_cast<std::uint32_t>(x + 128), static_cast<std::uint32_t>(y + 128), static_cast<std::uint32_t>(frame),
          attributes, 0};
}

std::string describe(const render::Sprite& s) {
  char text[96];
  std::snprintf(text, sizeof text, "(%d,%d) %dx%d #%d pal%d%s%s%s", s.x, s.y, s.width, s.height, s.first, s.palette,
                s.hflip ? " h" : "", s.vflip ? " v" : "", s.priority ? " pri" : "");
  return text;
}

std::vector<std::string> place(const std::vector<SpriteCall>& calls) {
  render::VideoChip chip;
  chip.sprites.resize(5);  // whatever was there before is replaced
  render::placeSprites(chip, frames(), calls);
  std::vector<std::string> out;
  for (const render::Sprite& s : chip.sprites) out.push_back(describe(s));
  return out;
}

TEST(SpritePlacement, CallsBecomeSprites) {
  struct Case {
    const char* what;
    std::vector<SpriteCall> calls;
    std::vector<std::string> sprites;
  };
  const std::vector<Case> cases = {
      {"a 6 x 5 frame in four pieces",
       {call(0, 40, 30)},
       {"(40,30) 4x4 #100 pal0", "(40,62) 4x1 #116 pal0", "(72,30) 2x4 #120 pal0", "(72,62) 2x1 #128 pal0"}},
      {"mirrored left-right: the narrow strip goes to the left",
       {call(0, 40, 30, 0x01)},
       {"(56,30) 4x4 #100 pal0 h", "(56,62) 4x1 #116 pal0 h", "(40,30) 2x4 #120 pal0 h", "(40,62) 2x1 #128 pal0 h"}},
      {"mirrored top-bottom: the short band goes to the top",
       {call(0, 40, 30, 0x02)},
       {"(40,38) 4x4 #100 pal0 v", "(40,30) 4x1 #116 pal0 v", "(72,38) 2x4 #120 pal0 v", "(72,30) 2x1 #128 pal0 v"}},
      {"both flips",
       {call(0, 40, 30, 0x03)},
       {"(56,38) 4x4 #100 pal0 h v", "(56,30) 4x1 #116 pal0 h v", "(40,38) 2x4 #120 pal0 h v",
        "(40,30) 2x1 #128 pal0 h v"}},
      {"an 8 x 8 frame: four full pieces, column strips first",
       {call(3, 0, 0, 0x03)},
       {"(32,32) 4x4 #400 pal0 h v", "(32,0) 4x4 #416 pal0 h v", "(0,32) 4x4 #432 pal0 h v",
        "(0,0) 4x4 #448 pal0 h v"}},
      {"a small frame takes the call's palette (or-ed with its own), pattern offset, flips and priority",
       {call(1, 10, 20, 0x20 | 0x10 | 0x04 | 0x02)},
       {"(10,20) 2x2 #201 pal3 v pri"}},
      {"a large frame keeps its own palette and only the call's flips and priority",
       {call(2, 10, 20, 0x20 | 0x10 | 0x08 | 0x01)},
       {"(26,20) 4x4 #300 pal1 h pri", "(26,52) 4x1 #316 pal1 h pri", "(10,20) 2x4 #320 pal1 h pri",
        "(10,52) 2x1 #328 pal1 h pri"}},
      {"unknown and negative frame numbers are skipped",
       {call(4, 0, 0), call(-1, 0, 0), call(1, 5, 6), call(0x7FFFFFFF, 0, 0)},
       {"(5,6) 2x2 #200 pal2"}},
      {"positions keep 9 bits of x and 10 of y",
       {{0x200 + 128 + 3, 0x400 + 128 + 4, 1, 0, 0}},
       {"(3,4) 2x2 #200 pal2"}},
      {"a separator: the calls before it overwrite the start of the table the calls after it made",
       {call(1, 1, 0), call(1, 2, 0), call(-2, 0, 0), call(1, 3, 0), call(1, 4, 0), call(1, 5, 0), call(1, 6, 0),
        call(1, 7, 0)},
       {"(1,0) 2x2 #200 pal2", "(2,0) 2x2 #200 pal2", "(5,0) 2x2 #200 pal2", "(6,0) 2x2 #200 pal2",
        "(7,0) 2x2 #200 pal2"}},
      {"a longer head than tail",
       {call(1, 1, 0), call(1, 2, 0), call(-2, 0, 0), call(1, 3, 0)},
       {"(1,0) 2x2 #200 pal2", "(2,0) 2x2 #200 pal2"}},
      {"two separators",
       {call(1, 1, 0), call(-2, 0, 0), call(1, 2, 0), call(1, 3, 0), call(-2, 0, 0), call(1, 4, 0), call(1, 5, 0),
        call(1, 6, 0)},
       {"(1,0) 2x2 #200 pal2", "(3,0) 2x2 #200 pal2", "(6,0) 2x2 #200 pal2"}},
      {"nothing to place", {}, {}},
  };
  for (const Case& c : cases) EXPECT_EQ(c.sprites, place(c.calls)) << c.what;
}

TEST(SpritePlacement, OnlyTheFirstEightyEntriesAreShown) {
  // 21 large frames make 84 entries; the 81st on are dropped, in the middle of call 21.
  std::vector<SpriteCall> calls;
  for (int i = 0; i < 21; ++i) calls.push_back(call(0, i, 0));
  const std::vector<std::string> sprites = place(calls);
  ASSERT_EQ(80u, sprites.size());
  EXPECT_EQ("(19,0) 4x4 #100 pal0", sprites[76]);
  EXPECT_EQ("(51,32) 2x1 #128 pal0", sprites[79]);

  // The table itself goes on past 80.
  EXPECT_EQ(84u, render::spriteAttributeTable(frames(), calls).size());
}

TEST(SpritePlacement, AFrameOfAbsurdSizeIsCutShortNotBuiltWhole) {
  // A reuse selection on an empty list takes its size words as they are: 65535 x 65535 cells would be
  // over 268 million pieces. The head before a separator still overwrites the start of what it made.
  SpriteFrameList list = frames();
  list.frames.push_back({0, 65535, 65535, 0});
  const std::vector<SpriteCall> calls = {call(1, 9, 9), call(-2, 0, 0), call(4, 0, 0)};
  render::VideoChip chip;
  render::placeSprites(chip, list, calls);
  ASSERT_EQ(80u, chip.sprites.size());
  EXPECT_EQ("(9,9) 2x2 #200 pal2", describe(chip.sprites[0]));
  EXPECT_EQ("(0,32) 4x4 #16 pal0", describe(chip.sprites[1]));
  EXPECT_LT(render::spriteAttributeTable(list, calls).size(), 100000u);
}

TEST(SpritePlacement, TableEntriesLinkToTheNextAndTheLastEndsTheChain) {
  const std::vector<SpriteCall> calls = {call(1, 0, 0, 0x04), call(0, 0, 0)};
  const std::vector<render::SpriteTableEntry> table = render::spriteAttributeTable(frames(), calls);
  ASSERT_EQ(5u, table.size());
  EXPECT_EQ((render::SpriteTableEntry{128, 0x0501, 200 | 0x6000, 128}), table[0]);
  EXPECT_EQ(0x0F02, table[1][1]);  // 4 x 4, link 2
  EXPECT_EQ(0x0C03, table[2][1]);  // 4 x 1, link 3
  EXPECT_EQ(0x0704, table[3][1]);  // 2 x 4, link 4
  EXPECT_EQ(0x0400, table[4][1]);  // 2 x 1, the chain ends
}

}  // namespace
