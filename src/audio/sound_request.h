#pragma once
// One request from the game logic to the sound driver.

#include <cstdint>

namespace audio {

struct SoundRequest {
    enum Kind : std::uint8_t { kMusic = 0, kEffect = 1, kPause = 2, kResume = 3 };
    std::uint8_t kind = kMusic;
    std::uint32_t value = 0;  // music or effect number; 0 for pause and resume
    bool operator==(const SoundRequest&) const = default;
};

}  // namespace audio
