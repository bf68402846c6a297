#pragma once
// 16-bit stereo PCM WAV files.

#include <cstdint>
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

}  // namespace audio
