#include <benchmark/benchmark.h>

#include <filesystem>
#include <vector>

#include "app/data.h"
#include "app/modes.h"
#include "app/options.h"
#include "audio/sound.h"
#include "base/asset_store.h"

namespace {

// One second of 48 kHz stereo from the title music with effects firing on both effect slots.
void soundRenderBusySong(benchmark::State& state) {
  const auto image = app::readFile(std::filesystem::path(GROVANTA_SOURCE_DIR) / "assets/audio/driver.bin");
  if (!image) {
    state.SkipWithError("no driver image");
    return;
  }
  audio::Sound sound(48000);
  sound.loadDriver(*image);
  sound.queueMusic(1);
  std::vector<std::int16_t> buffer(2 * 48000);
  int effect = 1;
  for (auto _ : state) {
    for (int block = 0; block < 48000 / 960; ++block) {
      if (block % 8 == 0) {
        sound.queueEffect(static_cast<std::uint32_t>(effect));
        effect = effect % 20 + 1;
      }
      sound.render(buffer.data() + 2 * 960 * block, 960, 1.0f, 1.0f);
    }
    benchmark::DoNotOptimize(buffer.data());
  }
}
BENCHMARK(soundRenderBusySong)->Unit(benchmark::kMillisecond);

// The whole sound export, as --sound-wav runs it: ten seconds of the village song, with an effect,
// rendered and written to a WAV file block by block. Divide 10 s by the time for the speed.
void soundWavExport(benchmark::State& state) {
  app::Data data;
  data.dataDirectory = GROVANTA_SOURCE_DIR;
  app::Options options;
  const auto file = std::filesystem::temp_directory_path() / "grovanta_bench_export.wav";
  options.soundWav = file.string();
  options.tune = 13;
  options.seconds = 10.0;
  options.effects = {{2, 100}};
  for (auto _ : state) benchmark::DoNotOptimize(app::runSoundWav(data, options));  // prints its line each time
  std::filesystem::remove(file);
}
BENCHMARK(soundWavExport)->Unit(benchmark::kMillisecond);

}  // namespace
