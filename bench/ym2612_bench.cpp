// The YM2612 model alone: one second of output (52781 stereo samples) with
// all six channels playing FM voices, with and without the LFO, and idle.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "audio/ym2612/ym2612.h"

namespace {

void poke(audio::Ym2612& chip, std::uint32_t reg, std::uint8_t value) {
  const std::uint32_t port = reg >= 0x100 ? 2 : 0;
  chip.write(port, static_cast<std::uint8_t>(reg & 0xFF));
  chip.write(port + 1, value);
}

// Six channels of a feedback FM voice (algorithm `alg`), all keyed on.
void playAllChannels(audio::Ym2612& chip, std::uint8_t alg, bool lfo) {
  if (lfo) poke(chip, 0x22, 0x0B);
  for (std::uint32_t bank = 0; bank < 2; ++bank) {
    for (std::uint32_t c = 0; c < 3; ++c) {
      const std::uint32_t b = bank * 0x100 + c;
      poke(chip, b + 0xB0, static_cast<std::uint8_t>(0x30 | alg));
      poke(chip, b + 0xB4, lfo ? 0xF7 : 0xC0);
      for (std::uint32_t s = 0; s < 16; s += 4) {
        poke(chip, b + 0x30 + s, static_cast<std::uint8_t>(0x11 + s / 4));
        poke(chip, b + 0x40 + s, static_cast<std::uint8_t>(0x10 + s));
        poke(chip, b + 0x50 + s, 0x1F);
        poke(chip, b + 0x60 + s, lfo ? 0x85 : 0x05);
        poke(chip, b + 0x70 + s, 0x02);
        poke(chip, b + 0x80 + s, 0x26);
      }
      poke(chip, b + 0xA4, static_cast<std::uint8_t>(0x20 + c));
      poke(chip, b + 0xA0, 0x45);
      poke(chip, 0x28, static_cast<std::uint8_t>(0xF0 | (bank * 4 + c)));
    }
  }
}

void runSecond(benchmark::State& state, audio::Ym2612& chip) {
  std::vector<std::int32_t> buf(2 * audio::Ym2612::kSampleRate);
  for (auto _ : state) {
    chip.generate(buf.data(), audio::Ym2612::kSampleRate);
    benchmark::DoNotOptimize(buf.data());
  }
  state.counters["x_realtime"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_Ym2612SecondSixVoices(benchmark::State& state) {
  audio::Ym2612 chip;
  playAllChannels(chip, static_cast<std::uint8_t>(state.range(0)), false);
  runSecond(state, chip);
}
BENCHMARK(BM_Ym2612SecondSixVoices)->Arg(0)->Arg(7)->Unit(benchmark::kMillisecond);

void BM_Ym2612SecondSixVoicesLfo(benchmark::State& state) {
  audio::Ym2612 chip;
  playAllChannels(chip, 4, true);
  runSecond(state, chip);
}
BENCHMARK(BM_Ym2612SecondSixVoicesLfo)->Unit(benchmark::kMillisecond);

void BM_Ym2612SecondIdle(benchmark::State& state) {
  audio::Ym2612 chip;
  runSecond(state, chip);
}
BENCHMARK(BM_Ym2612SecondIdle)->Unit(benchmark::kMillisecond);

}  // namespace
