#include "audio/sound_driver_link.h"

#include "app/log.h"

namespace audio {
namespace {

constexpr std::uint32_t kProgramAddress = 0x74B38;
constexpr std::size_t kProgramSize = 7270;
constexpr std::uint32_t kSampleAddress = 0x74DEC;
constexpr std::uint16_t kSampleZ80 = 0x02B4;
constexpr std::size_t kSampleSize = 6578;
constexpr std::uint32_t kEffectSlots = 0x73A82;

std::uint8_t imageByte(const DriverContext& c, std::uint32_t address) {
  address &= 0xFFFFFF;
  if (address < kDriverImageBase || address - kDriverImageBase >= c.image.size()) return 0;
  return c.image[address - kDriverImageBase];
}

void setWord(std::array<std::uint8_t, kDriverMemorySize>& m, int offset, std::uint16_t value) {
  m[offset] = static_cast<std::uint8_t>(value >> 8);
  m[offset + 1] = static_cast<std::uint8_t>(value);
}

std::uint16_t getWord(const std::array<std::uint8_t, kDriverMemorySize>& m, int offset) {
  return static_cast<std::uint16_t>((m[offset] << 8) | m[offset + 1]);
}

void startEffect(const DriverContext& c, std::uint32_t n) {
  const int slot = imageByte(c, kEffectSlots + n) & 1;
  if (n == 23) {
    setWord(c.memory, 164 + 2 * slot, 1);
    return;
  }
  setWord(c.memory, 152 + 2 * slot, static_cast<std::uint16_t>(n));
  setWord(c.memory, 156 + 2 * slot, static_cast<std::uint16_t>(n));
  setWord(c.memory, 160 + 2 * slot, 0xFFFF);
}

}  // namespace

bool acceptDriverImage(std::span<const std::uint8_t> image) {
  if (image.size() != kDriverImageSize) {
    app::logMessage(app::kError, "the sound driver image is %zu bytes, not %u", image.size(),
                    static_cast<unsigned>(kDriverImageSize));
    return false;
  }
  return true;
}

void loadDriverProgram(const DriverContext& c) {
  for (std::size_t i = 0; i < kProgramSize; ++i)
    c.write(static_cast<std::uint16_t>(i), imageByte(c, kProgramAddress + static_cast<std::uint32_t>(i)));
  // The samples go in again at 70 % of their level.
  for (std::size_t i = 0; i < kSampleSize; ++i) {
    const int s = static_cast<std::int8_t>(imageByte(c, kSampleAddress + static_cast<std::uint32_t>(i)));
    c.write(static_cast<std::uint16_t>(kSampleZ80 + i), static_cast<std::uint8_t>(s * 70 / 100));
  }
  c.write(0x1FFE, 0);
  c.reset();
}

void applyDriverRequest(const DriverContext& c, const SoundRequest& request) {
  switch (request.kind) {
    case 0: setWord(c.memory, 150, static_cast<std::uint16_t>(request.value)); break;
    case 1: startEffect(c, request.value); break;
    case 2: c.reset(); c.memory[168] = 0xFF; break;
    case 3: c.memory[168] = 0; break;
    default: break;
  }
}

void runDriverFrame(const DriverContext& c) {
  if (c.memory[168] != 0) return;
  const std::uint16_t pending = getWord(c.memory, 150);
  if ((pending & 0x8000) == 0) {
    c.write(0x1D00, 1);
    for (int i = 0; i < 944; ++i) c.memory[i] = 0;
    c.reset();
    setWord(c.memory, 136, 5);
    setWord(c.memory, 138, 6);
    setWord(c.memory, 132, pending);
    setWord(c.memory, 150, 0xFFFF);
  }
}

}  // namespace audio
