// The Z80 program on its hot path: one sound frame (71364 T-states) while a long sample plays at delay 9,
// and one while idle in the main loop.
#include <benchmark/benchmark.h>

#include "audio/driver/z80_program.h"
#include "audio/z80/z80.h"

namespace {

audio::Z80 makeZ80(bool playing, long long& writes) {
  audio::Z80 z80([&writes](int, std::uint8_t, std::int64_t) { ++writes; });
  const auto program = audio::z80ProgramImage();
  for (std::size_t i = 0; i < program.size(); ++i) z80.poke(static_cast<std::uint16_t>(i), program[i]);
  z80.poke(0x00B0, 0xFF);
  if (playing) {
    z80.poke(0x02A0, 0xB4);
    z80.poke(0x02A1, 0x02);
    z80.poke(0x02A2, 0xFF);
    z80.poke(0x02A3, 0x19);
    z80.poke(0x1FFF, 9);
    z80.poke(0x1FFE, 1);
  }
  z80.reset();
  return z80;
}

void runFrames(benchmark::State& state, bool playing) {
  long long writes = 0;
  audio::Z80 z80 = makeZ80(playing, writes);
  std::int64_t t = 0;
  for (auto _ : state) {
    t += 71364;
    z80.runUntil(t);
    if (playing && z80.peek(0x00AE) == 0 && z80.peek(0x00AF) == 0) z80.poke(0x1FFE, 1);  // keep a sample going
  }
  benchmark::DoNotOptimize(writes);
}

void BM_Z80FramePlayingSample(benchmark::State& state) {
  runFrames(state, true);
}
void BM_Z80FrameIdle(benchmark::State& state) {
  runFrames(state, false);
}

BENCHMARK(BM_Z80FramePlayingSample);
BENCHMARK(BM_Z80FrameIdle);

}  // namespace
