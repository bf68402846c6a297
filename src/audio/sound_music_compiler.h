#pragma once
// Our music compiler: turns the readable music sources (data/music/*.txt, notation in
// data/music/README.md) into the sound driver image, assets/audio/driver.bin.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace audio {

struct MusicSource {
  std::string name;  // for messages
  std::string text;
};

// The whole image (23796 bytes); empty (logged with the source name and line) on an error.
std::optional<std::vector<std::uint8_t>> compileMusic(const std::vector<MusicSource>& sources);

}  // namespace audio
