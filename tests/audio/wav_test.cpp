#include <gtest/gtest.h>

#include <unistd.h>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <vector>

#include "audio/wav.h"
#include "base/asset_store.h"

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
  EXPECT_EQ(le16(b, 20), 1);  // PCM
  EXPECT_EQ(le16(b, 22), 2);  // stereo
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

// A stream written in uneven blocks gives the same file as the whole buffer at once, and refuses
// more samples than it announced or a close short of them.
TEST(Wav, StreamInBlocksMatchesTheWholeFile) {
  const auto path =
      std::filesystem::temp_directory_path() / ("grovanta_wav_stream_" + std::to_string(::getpid()) + ".wav");
  std::vector<std::int16_t> samples(2 * 2500);
  for (std::size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<std::int16_t>(i * 37 - 30000);
  WavStream stream;
  ASSERT_TRUE(stream.open(path, 48000, 2500));
  for (std::size_t at = 0; at < samples.size();) {
    const std::size_t n = std::min<std::size_t>(2 * 965, samples.size() - at);
    ASSERT_TRUE(stream.write(std::span<const std::int16_t>(samples.data() + at, n)));
    at += n;
  }
  EXPECT_FALSE(stream.write(std::span<const std::int16_t>(samples.data(), 2))) << "past the announced length";
  ASSERT_TRUE(stream.close());
  EXPECT_EQ(app::readFile(path), wavBytes(samples, 48000));

  WavStream shortStream;
  ASSERT_TRUE(shortStream.open(path, 48000, 10));
  ASSERT_TRUE(shortStream.write(std::span<const std::int16_t>(samples.data(), 4)));
  EXPECT_FALSE(shortStream.close()) << "a file short of its header's length";
  EXPECT_FALSE(WavStream().open(path, 48000, 0x40000000ull)) << "beyond the format's 32-bit sizes";
  std::filesystem::remove(path);
}

}  // namespace
}  // namespace audio
