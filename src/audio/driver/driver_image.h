#pragma once
// The sound driver image (assets/audio/driver.bin): a copy of console ROM 0x739A0-0x79693, read by
// 24-bit console address. Reads outside the image give 0.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace audio {

// True when the image has the right size; otherwise logs
// "the sound driver image is %zu bytes, not %u" and returns false.
bool checkDriverImage(const std::vector<std::uint8_t>& bytes);

class DriverImage {
 public:
  static constexpr std::uint32_t kBase = 0x739A0;
  static constexpr std::size_t kSize = 23796;
  static constexpr std::uint32_t kZ80ImageAddress = 0x74B38;  // Z80 0x0000-0x1C65
  static constexpr std::size_t kZ80ImageSize = 7270;
  static constexpr std::uint32_t kSampleDataAddress = 0x74DEC;  // Z80 0x02B4-0x1C65
  static constexpr std::size_t kSampleDataSize = 6578;
  static constexpr std::uint16_t kSampleDataZ80 = 0x02B4;

  DriverImage() = default;
  explicit DriverImage(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}

  bool empty() const { return bytes_.empty(); }
  const std::vector<std::uint8_t>& bytes() const { return bytes_; }

  std::uint8_t byte(std::uint32_t address) const;
  std::uint16_t word(std::uint32_t address) const;  // big-endian
  std::int16_t signedWord(std::uint32_t address) const { return static_cast<std::int16_t>(word(address)); }

 private:
  std::vector<std::uint8_t> bytes_;
};

}  // namespace audio
