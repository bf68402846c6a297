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

// How full each region of the image is, in bytes.
struct MusicRegion {
  const char* name;
  std::size_t used;
  std::size_t size;
};
using MusicSpace = std::vector<MusicRegion>;

// The whole image (23796 bytes); empty (logged with the source name and line) on an error, or when a
// region's contents do not fit it (logged with what it needs and holds). `space`, when given, gets
// the regions' use whenever the sources parsed.
std::optional<std::vector<std::uint8_t>> compileMusic(const std::vector<MusicSource>& sources,
                                                      MusicSpace* space = nullptr);

}  // namespace audio
