// The builder's sprite sources: faults in the art, the banks and the frame uses stop the build with
// one message naming the file and line, and never crash it.
#include <gtest/gtest.h>

#include <ostream>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "builder.h"
#include "scratch_data.h"

namespace fs = std::filesystem;

namespace {

using tools_test::kSource;
using tools_test::lineOf;
using tools_test::slurp;
using tools_test::spit;

struct BadSprites {
  const char* name;
  const char* file;  // under data/
  const char* from;  // text to replace; empty to append `to`
  const char* to;
  const char* expect;  // part of the message; "{L}" stands for the line that held `from`
};

class SpriteSourcesRefused : public testing::TestWithParam<BadSprites> {};

TEST_P(SpriteSourcesRefused, WithTheFileAndLine) {
  const auto& c = GetParam();
  tools_test::ScratchData scratch(std::string("sprites_") + c.name);
  const fs::path& root = scratch.root();
  const fs::path file = root / "data" / c.file;
  std::string text = slurp(file);
  std::string expect = c.expect;
  if (*c.from) {
    auto at = text.find(c.from);
    ASSERT_NE(at, std::string::npos) << c.from << " is not in " << c.file;
    text.replace(at, std::string(c.from).size(), c.to);
    if (auto l = expect.find("{L}"); l != std::string::npos)
      expect.replace(l, 3,
                     std::to_string(lineOf(c.file, std::string(c.from).substr(0, std::string(c.from).find('\n')))));
  } else {
    text += c.to;
  }
  spit(file, text);
  auto result = builder::buildDataSet(root, root);
  ASSERT_FALSE(result.ok);
  EXPECT_NE(result.error.find(expect), std::string::npos) << result.error;
}

// A case prints as its name (ctest lists it so), not as its bytes.
void PrintTo(const BadSprites& c, std::ostream* os) {
  *os << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Faults, SpriteSourcesRefused,
    testing::Values(
        // Art.
        BadSprites{"ragged_art", "sprites/common.art", "..9a.9..\n", "..9a.9...\n",
                   "sprites/common.art:{L}: a row of art bubble_0 is 8 characters, found 9"},
        BadSprites{"bad_colour", "sprites/common.art", "..9a.9..", "..9g.9..", "'g' is not a colour"},
        BadSprites{"unknown_part", "sprites/brumo.art", "compose stand 24 24 legs_stand@6,18",
                   "compose stand 24 24 legs_stnad@6,18", "sprites/brumo.art:{L}: unknown art legs_stnad"},
        BadSprites{"twice", "sprites/area.art", "", "\nderive raindrop glitter\n",
                   "art raindrop is already defined at"},
        BadSprites{"unknown_change", "sprites/brumo.art", "derive ball_r ball rot-r", "derive ball_r ball rot-45",
                   "sprites/brumo.art:{L}: unknown art change \"rot-45\""},
        // Sheets and the panel.
        BadSprites{"hero_45", "sprites/banks.txt", "hero_frames hit jolt_a jolt_b", "hero_frames hit jolt_a",
                   "hero_frames names 45 frames; the hero has 46"},
        BadSprites{"hero_size", "sprites/banks.txt", "hero_frames hit jolt_a jolt_b", "hero_frames hit jolt_a apple",
                   "sprites/banks.txt:{L}: hero frame apple is 16 x 16 pixels, it must be 24 x 24"},
        BadSprites{"panel_row", "sprites/banks.txt", "panel_row CUUUU", "panel_row CUUUUU",
                   "sprites/banks.txt:{L}: a panel row is 40 characters, found 41"},
        BadSprites{"panel_legend", "sprites/banks.txt", "panel_row CUUUU", "panel_row CUUU?",
                   "sprites/banks.txt:{L}: '?' is not in the panel legend"},
        BadSprites{"no_life_icon", "sprites/banks.txt", "panel_pattern 17 life_icon\n", "",
                   "panel_pattern 17 is missing"},
        // Banks and lists.
        BadSprites{"common_77", "sprites/banks.txt", "frame bar_end attr 6", "",
                   "the common bank has 77 frames; the logic numbers exactly 78"},
        BadSprites{"slot_shape", "sprites/banks.txt", "frame object_slot attr 6 times 32",
                   "frame object_slot attr 6 times 31\nframe rope_point attr 6",
                   "frame 33 (an object slot, refilled every frame) must be 2 x 2 cells"},
        BadSprites{"high_attribute", "sprites/banks.txt", "frame raindrop attr 2", "frame raindrop attr 8",
                   "sprites/banks.txt:{L}: attr 8: only bits 0-2 (palette line, priority) may be set"},
        BadSprites{"reuse_ahead", "sprites/banks.txt", "reuse 81 attr 2 times 16", "reuse 200 attr 2 times 16",
                   "sprites/banks.txt:{L}: reuse 200 names a frame after it"},
        BadSprites{"list_without_common", "sprites/banks.txt", "list doors area_outdoor doors four_spare pigeons", "list doors doors four_spare pigeons",
                   "sprites/banks.txt:{L}: list doors must start with the common bank"},
        BadSprites{
            "replace_other_size", "sprites/banks.txt", "replace 40 fruit_0", "replace 40 raindrop",
            "sprites/banks.txt:{L}: raindrop takes the place of common frame 40 (hazard_0) and must have its size"},
        BadSprites{"area_twice", "sprites/banks.txt", "areas crystal 43", "areas crystal 42-43",
                   "sprites/banks.txt:{L}: area 42 already has list mine_gate"},
        BadSprites{"fixed_list_odd", "sprites/banks.txt", "list help common help at 0x03EC90",
                   "list help common help at 0x03EC91",
                   "sprites/banks.txt:{L}: at 0x03EC91: an even cartridge address below 080000"},
        BadSprites{"fixed_list_overlaps", "sprites/banks.txt", "list help common help at 0x03EC90",
                   "list help common help at 0x03EC84", "disagrees with the one placed by"},
        BadSprites{"area_missing", "sprites/banks.txt", "areas crystal 43", "", "area 43 has no bank list"},
        BadSprites{"same_block", "sprites/banks.txt", "bank crystal 041800", "bank crystal 041700",
                   "sprites/banks.txt:{L}: block 041700 is already the picture of bank lanterns"},
        // The pattern room: a bank that would run into the status panel's patterns.
        BadSprites{"over_budget", "sprites/banks.txt", "frame glitter attr 2",
                   "frame glitter attr 2\nframe energy_bar attr 2 times 60", "area 43: its "},
        // Frame numbers that do not mean what the logic draws.
        BadSprites{"area_out_of_range", "sprites/frame_uses.txt", "use 79 lift_basket 0 3-5 15-17 47",
                   "use 79 lift_basket 0 3-5 15-17 47 85", "sprites/frame_uses.txt:{L}: area 85 lies outside 0 to 50"},
        BadSprites{
            "door_not_there", "sprites/frame_uses.txt", "use 85 door_0 2-7 21", "use 85 door_0 2-7 21 44",
            "sprites/frame_uses.txt:{L}: area 44 draws frame 85 (door_0), but its list plain has only 85 frames"},
        BadSprites{"shows_other", "sprites/frame_uses.txt", "use 86 door_1 2-7 21", "use 86 door_2 2-7 21",
                   "sprites/frame_uses.txt:{L}: area 2 frame 86 shows door_1 (list doors), not door_2"},
        BadSprites{"two_meanings", "sprites/frame_uses.txt", "", "use 89 hint_arrow 21\n",
                   "area 21 frame 89 is wanted as hint_arrow here and as hint_pad"}),
    [](const testing::TestParamInfo<BadSprites>& info) { return std::string(info.param.name); });

}  // namespace
