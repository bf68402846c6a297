#pragma once
// The play loop's developer exports: the last presented picture (--out, with the CRT picture beside it on
// the shader path) and every presented frame with the sound (--video).

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "app/display.h"

namespace audio {
class Sound;
}

namespace app {

// Writes the picture as an 8-bit RGBA PNG; false (logged) when it cannot be encoded or written.
bool writeRgbaPng(const std::filesystem::path& path, const RgbaPicture& picture);

// FILE less its extension plus "_crt.png".
std::filesystem::path crtPicturePath(const std::filesystem::path& out);

// --out: the picture as it was presented, and on the shader path the window picture through the CRT
// filter at 960 x 672. False when a file could not be written.
bool exportLastPicture(const std::filesystem::path& out, const RgbaPicture& picture, Display& display);

// --video: frames as PNGs, a table of frame to tick, and the sound rendered alongside at the V-blank rate.
class VideoExport {
 public:
  // Creates the folder and opens frames.tsv (the export goes on without the table when it cannot be opened).
  explicit VideoExport(std::filesystem::path folder);

  // One presented frame: its table row, its PNG and the sound that belongs to it.
  void addFrame(const RgbaPicture& picture, std::size_t playbackPosition, audio::Sound* sound);
  // Closes the table, writes sound.wav and logs the summary.
  void finish();

  std::int64_t frames() const { return frame_; }
  std::size_t samples() const { return samples_.size(); }
  bool failed() const { return failed_; }

 private:
  std::filesystem::path folder_;
  std::ofstream table_;
  std::int64_t frame_ = 0;
  double carry_ = 0.0;
  std::vector<std::int16_t> samples_;
  bool failed_ = false;
  bool finished_ = false;
};

// Output samples per V-blank: 48000 per second at the PAL V-blank rate of 53203424 / (3420 x 313) Hz.
inline constexpr double kSamplesPerVBlank = 965.7664138308091;

}  // namespace app
