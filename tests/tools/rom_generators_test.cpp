// The rom sources' computed statements: sine tables and rows of cells.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <system_error>

#include "rom_image.h"
#include "source_error.h"

namespace fs = std::filesystem;

namespace {

// Each source is written in a folder of its own so that suites run side by side do not overwrite one another's source.
struct Source {
  fs::path dir;
  fs::path path;
  explicit Source(const std::string& text)
      : dir(fs::temp_directory_path() / ("grovanta_rom_generators_" + std::to_string(std::random_device{}()))),
        path(dir / "grovanta_rom_generators.txt") {
    fs::create_directories(dir);
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
  }
  ~Source() {
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
  std::vector<std::uint8_t> bytes() {
    builder::RomImage image;
    builder::assembleRomSource(path, image);
    return image.sections().at(0).bytes;
  }
};

std::int16_t wordAt(const std::vector<std::uint8_t>& b, std::size_t i) {
  return static_cast<std::int16_t>(b.at(2 * i) << 8 | b.at(2 * i + 1));
}

TEST(RomGenerators, SineTablesHaveTheirQuartersWhereTheReadersLook) {
  Source q15("rule 0x014820\nsine 320 256 32767 0\nat 0x014AA0\n");
  const auto b = q15.bytes();
  ASSERT_EQ(b.size(), 640u);
  EXPECT_EQ(wordAt(b, 0), 0);
  EXPECT_EQ(wordAt(b, 64), 32767);    // a quarter turn
  EXPECT_EQ(wordAt(b, 192), -32767);  // three quarters
  // The run-on past one turn repeats its first quarter, so a cosine read 64 words on never leaves the table.
  EXPECT_EQ(wordAt(b, 256), 0);
  EXPECT_EQ(wordAt(b, 256 + 63), wordAt(b, 63));
  EXPECT_EQ(wordAt(b, 300), wordAt(b, 44));

  Source title("rule 0x015822\nsine 512 512 127 128\n");
  const auto t = title.bytes();
  EXPECT_EQ(wordAt(t, 0), 128);
  EXPECT_EQ(wordAt(t, 128), 255);
  EXPECT_EQ(wordAt(t, 384), 1);

  // A start a quarter period on makes a cosine: the rope's swing table hangs straight down at 0.
  Source swing("rule 0x014C20\nsine 512 512 8192 0 128\n");
  const auto w = swing.bytes();
  EXPECT_EQ(wordAt(w, 0), 8192);
  EXPECT_EQ(wordAt(w, 128), 0);
  EXPECT_EQ(wordAt(w, 256), -8192);
  EXPECT_EQ(wordAt(w, 384), 0);
}

TEST(RomGenerators, RowsOfCellsBecomeBitsOrWords) {
  Source rows("rule 0x004000\nbitrow X......XXX.X....\ndotrow .XX.\n");
  EXPECT_EQ(rows.bytes(), (std::vector<std::uint8_t>{0x81, 0xD0, 0, 0, 0, 1, 0, 1, 0, 0}));
}

TEST(RomGenerators, FaultsNameTheFileAndLine) {
  const std::pair<const char*, const char*> cases[] = {
      {"rule 0x4000\nbitrow X...#...\n", ":2: a bitrow of 4 bits is not whole bytes"},  // '#' starts a comment
      {"rule 0x4000\nbitrow X..O....\n", ":2: 'O' in a bitrow is neither 'X' nor '.'"},
      {"rule 0x4000\n\nbitrow X..X\n", ":3: a bitrow of 4 bits is not whole bytes"},
      {"rule 0x4000\nsine 4 4 40000 0\n", ":2: sine value -40000 does not fit a word"},
      {"rule 0x4000\nsine 4 0 1 0\n", ":2: a sine period of 0"},
      {"rule 0x4000\nsine 4 4 1\n", ":2: expected: sine COUNT PERIOD AMPLITUDE OFFSET"},
      {"rule 0x4000\nsine 4 4 1 0 -1\n", ":2: a sine start of -1"},
  };
  for (const auto& [text, message] : cases) {
    Source bad(text);
    try {
      bad.bytes();
      ADD_FAILURE() << text;
    } catch (const builder::SourceError& e) {
      EXPECT_NE(std::string(e.what()).find(std::string("grovanta_rom_generators.txt") + message), std::string::npos)
          << e.what();
    }
  }
}

}  // namespace
