#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "audio/driver/trace_tools.h"
#include "audio/driver/z80_program.h"
#include "driver_fixture.h"

namespace audio::testing {
namespace {

std::filesystem::path freshDirectory(const std::string& name) {
  auto dir = std::filesystem::path(GROVANTA_BINARY_DIR) / "test_output" / name;
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  return dir;
}

void writeText(const std::filesystem::path& path, const std::string& text) {
  std::ofstream(path) << text;
}

std::string readText(const std::filesystem::path& path) {
  std::ifstream in(path);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// Two V-blanks of silence: the first starts music 0, the second is a row start that hands over an empty list.
const char* kSilenceCalls =
    "{\"vblank\": 0, \"call\": \"frame\"}\n"
    "{\"vblank\": 1, \"call\": \"frame\"}\n";

std::string silenceWrites(int lastValue) {
  return "{\"vblank\": 0, \"address\": 7424, \"value\": 1}\n"
         "{\"vblank\": 1, \"address\": 7424, \"value\": 255}\n"
         "{\"vblank\": 1, \"address\": 7425, \"value\": 255}\n"
         "{\"vblank\": 1, \"address\": 7426, \"value\": 255}\n"
         "{\"vblank\": 1, \"address\": 7427, \"value\": " +
         std::to_string(lastValue) + "}\n";
}

TEST(DriverTraceToolsTest, CheckSoundPassesOnAMatchingTraceAndReportsTheFirstDifference) {
  ImageBuilder image;
  image.basics();
  const auto dir = freshDirectory("check_sound");
  writeText(dir / "calls.jsonl", kSilenceCalls);

  writeText(dir / "z80.jsonl", silenceWrites(255));
  ::testing::internal::CaptureStdout();
  EXPECT_EQ(app::checkSound(dir, image.bytes()), 0);
  std::string out = ::testing::internal::GetCapturedStdout();
  EXPECT_NE(out.find("2 V-blanks, 2 calls; Z80 RAM writes: original 5, port 5, equal 5"), std::string::npos) << out;

  writeText(dir / "z80.jsonl", silenceWrites(0));
  ::testing::internal::CaptureStdout();
  EXPECT_EQ(app::checkSound(dir, image.bytes()), 1);
  out = ::testing::internal::GetCapturedStdout();
  EXPECT_NE(out.find("  frame 1\n  original: [1D00=FF][1D01=FF][1D02=FF][1D03=00]\n"
                     "  port:     [1D00=FF][1D01=FF][1D02=FF][1D03=FF]\n"),
            std::string::npos)
      << out;

  EXPECT_EQ(app::checkSound(dir / "missing", image.bytes()), 2);
}

TEST(DriverTraceToolsTest, Z80TraceWritesTheYmPortWritesWithTheirTimes) {
  ImageBuilder image;
  image.put(DriverImage::kZ80ImageAddress, z80ProgramImage());
  image.put(DriverImage::kZ80ImageAddress + 0xB0, {0x00, 0x2B, 0x80, 0xFF});  // start-up list: DAC on
  const auto dir = freshDirectory("z80_trace");
  writeText(dir / "z80_in.txt",
            "# one frame idle, then a list of one write\n"
            "frame\n"
            "w 1D01 02\nw 1D02 B4\nw 1D03 C0\nw 1D04 FF\nw 1D00 FF\n"
            "frame\n");
  ::testing::internal::CaptureStdout();
  EXPECT_EQ(app::z80Trace(dir, dir, image.bytes()), 0);
  const std::string out = ::testing::internal::GetCapturedStdout();
  EXPECT_NE(out.find("2 V-blanks, 5 calls"), std::string::npos) << out;
  EXPECT_NE(out.find("4 YM writes"), std::string::npos) << out;

  std::istringstream lines(readText(dir / "ym_port.txt"));
  std::string line;
  std::vector<std::string> all;
  while (std::getline(lines, line)) all.push_back(line);
  ASSERT_EQ(all.size(), 4u);
  EXPECT_EQ(all[0], "225 0 2B");
  EXPECT_EQ(all[1], "267 1 80");
  EXPECT_EQ(all[2].substr(all[2].find(' ')), " 2 B4");
  EXPECT_EQ(all[3].substr(all[3].find(' ')), " 3 C0");
  EXPECT_GT(std::stoll(all[2]), 71364);

  writeText(dir / "z80_in.txt", "jump 0\n");
  EXPECT_EQ(app::z80Trace(dir, dir, image.bytes()), 2);
  EXPECT_EQ(app::z80Trace(dir, dir, std::vector<std::uint8_t>(10)), 2);
}

}  // namespace
}  // namespace audio::testing
