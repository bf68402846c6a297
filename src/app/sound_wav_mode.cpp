// --sound-wav: renders a tune with effects offline and writes it as a WAV file.
#include <cstdio>
#include <cstdlib>
#include <map>
#include <vector>

#include "base/asset_store.h"
#include "base/log.h"
#include "app/modes.h"
#include "audio/sound.h"
#include "audio/wav.h"

namespace app {

int runSoundWav(Data& data, const Options& options) {
  constexpr int kRate = 48000;
  constexpr int kBlock = 965;  // frames per block; effects are placed by block number
  const auto image = readFile(data.dataDirectory / "assets/audio/driver.bin");
  if (!image) return 2;
  audio::Sound sound(kRate);
  if (!sound.loadDriver(*image)) return 2;
  sound.queueMusic(static_cast<std::uint32_t>(options.tune));

  const double seconds = options.seconds > 0 ? options.seconds : 0.0;
  const std::uint64_t total = static_cast<std::uint64_t>(seconds * kRate);
  // Stereo 16-bit data must fit the WAV format's 32-bit sizes.
  if (total * 4 + 36 > 0xFFFFFFFFull) {
    logMessage(kError, "--seconds: %.1f s is too long for a WAV file", seconds);
    return 1;
  }
  std::multimap<std::int64_t, std::int32_t> byBlock;
  for (const auto& [effect, block] : options.effects) byBlock.emplace(block, effect);

  std::vector<std::int16_t> samples(total * 2, 0);
  std::uint64_t done = 0;
  for (std::int64_t block = 1; done < total; ++block) {
    const auto range = byBlock.equal_range(block);
    for (auto it = range.first; it != range.second; ++it) {
      if (it->second == -1) sound.queuePause();
      else if (it->second == -2) sound.queueResume();
      else sound.queueEffect(static_cast<std::uint32_t>(it->second));
    }
    const std::uint64_t n = std::min<std::uint64_t>(kBlock, total - done);
    sound.render(samples.data() + 2 * done, static_cast<int>(n), 1.0f, 1.0f);
    done += n;
  }
  int peak = 0;
  for (std::int16_t s : samples) peak = std::max(peak, std::abs(static_cast<int>(s)));
  if (!audio::writeWav(options.soundWav, samples, kRate)) return 1;
  std::printf("%s: %.1f s, command %d, %zu effects, peak %d\n", options.soundWav.c_str(), seconds,
              static_cast<int>(options.tune), options.effects.size(), peak);
  return 0;
}

}  // namespace app
