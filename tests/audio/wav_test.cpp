#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "audio/wav.h"

namespace audio {
namespace {

std::uint32_t le32(const std::vector<std::uint8_t>& b, std::size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}
std::uint16_t le16(const std::vector<std::uint8_t>& b, std::size_t at) {
  return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

TEST(Wav, HeaderOfOneSecondAt48000) {
  std::vector<std::int16_t> samples(2 * 48000, 0);
  samples[0] = -2;
  samples[1] = 0x1234;
  const auto bytes = wavBytes(samples, 48000);
  ASSERT_TRUE(bytes);
  ASSERT_EQ(bytes->size(), 44u + 192000u);
  const auto& b = *bytes;
  EXPECT_EQ(std::memcmp(b.data(), "RIFF", 4), 0);
  EXPECT_EQ(le32(b, 4), 192036u);
  EXPECT_EQ(std::memcmp(b.data() + 8, "WAVEfmt ", 8), 0);
  EXPECT_EQ(le32(b, 16), 16u);
  EXPECT_EQ(le16(b, 20), 1);      // PCM
  EXPECT_EQ(le16(b, 22), 2);      // stereo
  EXPECT_EQ(le32(b, 24), 48000u);
  EXPECT_EQ(le32(b, 28), 192000u);
  EXPECT_EQ(le16(b, 32), 4);
  EXPECT_EQ(le16(b, 34), 16);
  EXPECT_EQ(std::memcmp(b.data() + 36, "data", 4), 0);
  EXPECT_EQ(le32(b, 40), 192000u);
  EXPECT_EQ(le16(b, 44), 0xFFFE);  // samples little-endian, left first
  EXPECT_EQ(le16(b, 46), 0x1234);
}

TEST(Wav, UnwritablePathFails) {
  std::vector<std::int16_t> samples(4, 0);
  EXPECT_FALSE(writeWav("/proc/no/such/dir/out.wav", samples, 48000));
}

}  // namespace
}  // namespace audio
