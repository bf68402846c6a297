// --sound-wav: renders a tune with effects offline and writes it as a WAV file, block by block.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <vector>

#include "app/modes.h"
#include "audio/sound.h"
#include "audio/wav.h"
#include "base/asset_store.h"
#include "base/log.h"

namespace app {
namespace {

constexpr int kRate = 48000;
constexpr int kBlock = 965;                  // frames per block; effects are placed by block number
constexpr std::int32_t kLastMusic = 0x7FFF;  // a request with bit 15 set is no request at all

// The arguments the driver cannot play, each refused with one line. Effects are checked against
// the loaded image.
bool argumentsPlayable(const Options& options, const audio::Sound& sound) {
  if (options.tune < 0 || options.tune > kLastMusic) {
    logMessage(kError, "--tune: %d is not a music request (0 to %d)", static_cast<int>(options.tune), kLastMusic);
    return false;
  }
  if (!std::isfinite(options.seconds) || options.seconds < 0) {
    logMessage(kError, "--seconds: %g is not a length", options.seconds);
    return false;
  }
  if (!options.badEffects.empty()) {
    logMessage(kError, "--effect: '%s' is not an effect number, pause or resume, with @BLOCK from 1",
               options.badEffects.front().c_str());
    return false;
  }
  for (const auto& [effect, block] : options.effects) {
    if (effect < 0 || sound.definesEffect(static_cast<std::uint32_t>(effect))) continue;
    logMessage(kError, "--effect: the driver image defines no effect %d", static_cast<int>(effect));
    return false;
  }
  return true;
}

void queueBlock(audio::Sound& sound, const std::multimap<std::int64_t, std::int32_t>& byBlock, std::int64_t block) {
  const auto range = byBlock.equal_range(block);
  for (auto it = range.first; it != range.second; ++it) {
    if (it->second == -1)
      sound.queuePause();
    else if (it->second == -2)
      sound.queueResume();
    else
      sound.queueEffect(static_cast<std::uint32_t>(it->second));
  }
}

}  // namespace

int runSoundWav(Data& data, const Options& options) {
  const auto image = readFile(data.dataDirectory / "assets/audio/driver.bin");
  if (!image) return 2;
  audio::Sound sound(kRate);
  if (!sound.loadDriver(*image)) return 2;
  if (!argumentsPlayable(options, sound)) return 2;

  const double seconds = options.seconds;
  const auto total = static_cast<std::uint64_t>(seconds * kRate);
  // Stereo 16-bit data must fit the WAV format's 32-bit sizes.
  if (total * 4 + 36 > 0xFFFFFFFFull) {
    logMessage(kError, "--seconds: %.1f s is too long for a WAV file", seconds);
    return 2;
  }
  std::multimap<std::int64_t, std::int32_t> byBlock;
  for (const auto& [effect, block] : options.effects) byBlock.emplace(block, effect);

  audio::WavStream wav;
  if (!wav.open(options.soundWav, kRate, total)) return 1;
  sound.queueMusic(static_cast<std::uint32_t>(options.tune));
  std::vector<std::int16_t> samples(2 * kBlock);
  int peak = 0;
  std::uint64_t done = 0;
  for (std::int64_t block = 1; done < total; ++block) {
    const auto n = static_cast<int>(std::min<std::uint64_t>(kBlock, total - done));
    std::fill(samples.begin(), samples.end(), 0);
    int first = 0;
    if (block == 1) {
      // Departure: queued together with the music, the first block's effects reached the driver in
      // the frame that starts the music, whose clearing of the driver's memory wiped them: the
      // default block rendered as if no effect had been asked for. The music starts with the first
      // sample here and the first block's effects follow at the next sound frame. (In play, an
      // effect asked for in the same step as a change of music is still dropped, as the driver has it.)
      sound.render(samples.data(), 1, 1.0f, 1.0f);
      first = 1;
    }
    queueBlock(sound, byBlock, block);
    sound.render(samples.data() + 2 * first, n - first, 1.0f, 1.0f);
    for (int i = 0; i < 2 * n; ++i) peak = std::max(peak, std::abs(static_cast<int>(samples[i])));
    if (!wav.write(std::span<const std::int16_t>(samples.data(), 2 * static_cast<std::size_t>(n)))) return 1;
    done += static_cast<std::uint64_t>(n);
  }
  if (!wav.close()) return 1;
  std::printf("%s: %.1f s, command %d, %zu effects, peak %d\n", options.soundWav.c_str(), seconds,
              static_cast<int>(options.tune), options.effects.size(), peak);
  return 0;
}

}  // namespace app
