#pragma once
// One request from the game to the sound engine, queued during a step and applied before the next
// sound frame.

#include <cstdint>

namespace audio {

struct SoundRequest {
  std::uint8_t kind = 0;    // 0 music, 1 effect, 2 pause, 3 resume
  std::uint32_t value = 0;  // music or effect number
};

}  // namespace audio
