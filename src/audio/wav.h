#pragma once
// 16-bit stereo PCM WAV files.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <span>
#include <vector>

namespace audio {

// The whole file: the 44-byte header then the interleaved samples, little-endian. Empty (logged)
// when the data would not fit the format's 32-bit sizes.
std::optional<std::vector<std::uint8_t>> wavBytes(std::span<const std::int16_t> samples, int rate);

// Writes the file; false (logged) when it is too large or cannot be written.
bool writeWav(const std::filesystem::path& path, std::span<const std::int16_t> samples, int rate);

// A WAV file written as it is rendered, block by block, so that a long render needs no more memory
// than a block. The length is fixed when it is opened: the header goes first, the blocks follow.
class WavStream {
 public:
  WavStream() = default;
  ~WavStream();
  WavStream(const WavStream&) = delete;
  WavStream& operator=(const WavStream&) = delete;

  // Creates the file for `frames` stereo frames; false (logged) when that is too large for the
  // format or the file cannot be created.
  bool open(const std::filesystem::path& path, int rate, std::uint64_t frames);
  // Appends interleaved samples; false (logged) on a write error or past the announced length.
  bool write(std::span<const std::int16_t> samples);
  // Closes the file; false (logged) when it fell short of its length or could not be flushed.
  bool close();

 private:
  std::FILE* file_ = nullptr;
  std::filesystem::path path_;
  std::uint64_t left_ = 0;  // samples (not frames) still to come
  std::vector<std::uint8_t> buffer_;
};

}  // namespace audio
