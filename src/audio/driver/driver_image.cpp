#include "audio/driver/driver_image.h"

#include "base/log.h"

namespace audio {

bool checkDriverImage(const std::vector<std::uint8_t>& bytes) {
  if (bytes.size() != DriverImage::kSize) {
    app::logMessage(app::kError, "the sound driver image is %zu bytes, not %u", bytes.size(),
                    static_cast<unsigned>(DriverImage::kSize));
    return false;
  }
  return true;
}

std::uint8_t DriverImage::byte(std::uint32_t address) const {
  address &= 0xFFFFFF;
  if (address < DriverImage::kBase) return 0;
  const std::size_t index = address - DriverImage::kBase;
  return index < bytes_.size() ? bytes_[index] : 0;
}

std::uint16_t DriverImage::word(std::uint32_t address) const {
  return static_cast<std::uint16_t>((byte(address) << 8) | byte(address + 1));
}

}  // namespace audio
