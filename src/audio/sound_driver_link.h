#pragma once
// What the sound engine needs from the ported sequencer: the image check, the program load, the
// requests and the once-per-sound-frame driver step. The sequencer works on its own 4 KB of console
// memory and reaches the Z80 only through the write hook.

#include <array>
#include <cstdint>
#include <functional>
#include <span>

namespace audio {

struct SoundRequest {
  std::uint8_t kind = 0;     // 0 music, 1 effect, 2 pause, 3 resume
  std::uint32_t value = 0;   // music or effect number
};

inline constexpr std::size_t kDriverImageSize = 23796;
inline constexpr std::uint32_t kDriverImageBase = 0x739A0;
inline constexpr std::size_t kDriverMemorySize = 4096;

struct DriverContext {
  std::span<const std::uint8_t> image;
  std::array<std::uint8_t, kDriverMemorySize>& memory;
  const std::function<void(std::uint16_t, std::uint8_t)>& write;  // into the Z80's memory
  const std::function<void()>& reset;                             // Z80 and both chips
};

// False (logged) for an image of the wrong size.
bool acceptDriverImage(std::span<const std::uint8_t> image);
// Copies the Z80 program and the samples (at 70 %) into the Z80 and starts it.
void loadDriverProgram(const DriverContext& context);
void applyDriverRequest(const DriverContext& context, const SoundRequest& request);
void runDriverFrame(const DriverContext& context);

}  // namespace audio
