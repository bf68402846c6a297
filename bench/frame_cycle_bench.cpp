// The main thread's work for one presented frame of the play loop during a game: events, the game step,
// composing, the fade and RGBA conversion, and presentation, on a hidden window of the offscreen video
// driver (which does not wait for a vertical retrace). Run with SDL_VIDEODRIVER=offscreen
// SDL_AUDIODRIVER=dummy. The CPU time column is the main thread's alone; Mesa's software rasteriser
// draws on threads of its own, which the real time includes.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <limits>
#include <memory>

#include "app/play_loop.h"
#include "app/play_pictures.h"
#include "app/world_load.h"
#include "render/render_assets.h"
#include "sim/simulation.h"

namespace {

struct Session {
  app::Data data;
  std::unique_ptr<app::PlayLoop> loop;
  bool ready = false;

  explicit Session(bool crt) {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    data.dataDirectory = GROVANTA_SOURCE_DIR;
    if (!app::loadWorldInto(data)) return;
    app::PlayParameters parameters;
    parameters.windowed = true;
    parameters.hiddenWindow = true;
    parameters.quitAfterFrames = std::numeric_limits<std::int32_t>::max();  // one forced V-blank per frame
    parameters.pads = "1-1000000000:00";
    loop = std::make_unique<app::PlayLoop>(data, parameters);
    ready = loop->setUp() == 0;
    if (!ready) return;
    loop->setCrt(crt);
    // A game in area 21: game steps with the hero, the panel and the area's sprites.
    loop->mutableSimulation().newGame(0);
    for (int i = 0; i < 10; ++i) loop->frame();
  }
  ~Session() {
    if (loop && ready) loop->shutDown();
  }
};

void frameCycle(benchmark::State& state, bool crt) {
  Session session(crt);
  if (!session.ready) {
    state.SkipWithError("the play loop did not start");
    return;
  }
  for (auto _ : state) session.loop->frame();
  state.counters["frames/s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_FrameCyclePlain(benchmark::State& state) {
  frameCycle(state, false);
}
void BM_FrameCycleCrt(benchmark::State& state) {
  frameCycle(state, true);
}
BENCHMARK(BM_FrameCyclePlain)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_FrameCycleCrt)->Unit(benchmark::kMicrosecond)->UseRealTime();

// The part of the frame that is ours alone: composing the picture and converting it to RGBA.
void BM_ComposeAndConvert(benchmark::State& state) {
  Session session(false);
  if (!session.ready) {
    state.SkipWithError("the play loop did not start");
    return;
  }
  for (auto _ : state) {
    std::optional<render::Frame> frame =
        app::composeSimulation(*session.data.renderAssets, session.loop->texts(), session.loop->simulation());
    benchmark::DoNotOptimize(render::toRgb(*frame));
  }
}
BENCHMARK(BM_ComposeAndConvert)->Unit(benchmark::kMicrosecond);

}  // namespace
