// driver.bin: the sound driver's image, checked on load, then run for a few frames. The input is laid
// over the shipped image from its first byte (a shorter input keeps the rest of the shipped image); bytes
// past the image's size are requests: below 0x80 a music number, else a sound effect number.

#include <algorithm>
#include <array>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "audio/driver/driver_image.h"
#include "audio/sound.h"
#include "base/asset_store.h"
#include "fuzz/fuzz_target.h"

namespace {

constexpr int kRate = 22050;
constexpr int kFrames = kRate / 30;

const std::vector<std::uint8_t>& shippedImage() {
  static const std::vector<std::uint8_t> image = [] {
    std::optional<app::Bytes> bytes = app::readFile(fuzz::dataDirectory() / "assets/audio/driver.bin");
    return bytes ? *bytes : std::vector<std::uint8_t>(audio::DriverImage::kSize, 0);
  }();
  return image;
}

}  // namespace

GROVANTA_FUZZ_TARGET(driver) {
  static audio::Sound sound(kRate);
  sound.loadDriver(std::span<const std::uint8_t>(data, size));

  std::vector<std::uint8_t> image = shippedImage();
  const std::size_t laid = std::min(size, image.size());
  std::copy(data, data + laid, image.begin());
  if (!sound.loadDriver(image)) return 0;
  for (std::size_t i = laid; i < size && i < laid + 8; ++i) {
    if (data[i] < 0x80)
      sound.queueMusic(data[i]);
    else
      sound.queueEffect(data[i] & 0x7F);
  }
  std::array<std::int16_t, 2 * kFrames> buffer{};
  for (int pass = 0; pass < 2; ++pass) sound.render(buffer.data(), kFrames, 1.0f, 1.0f);
  return 0;
}
