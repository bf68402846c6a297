#include "app/play_pictures.h"

#include "render/game_frame.h"
#include "render/render_assets.h"
#include "render/screen_render.h"
#include "sim/simulation.h"
#include "world/world.h"

namespace app {

std::optional<render::Frame> statePicture(render::RenderAssets& assets, const sim::GameState& state,
                                          const std::vector<sim::SpriteCall>& calls) {
  // The hint buttons of the treehouse area join here once the pad-hint pictures exist.
  return render::renderGameStep(assets, state, calls);
}

std::optional<render::Frame> screenPicture(render::RenderAssets& assets, render::TextImages& texts,
                                           const sim::GameState& state, const sim::Screen& screen,
                                           std::size_t frameIndex) {
  return render::renderScreen(assets, texts, state, screen, static_cast<int>(frameIndex));
}

std::optional<render::Frame> subgamePicture(render::RenderAssets&, const sim::GameState&,
                                            const std::vector<sim::SpriteCall>&) {
  // The subgame pictures are not drawn yet: the loop shows its black fallback.
  return std::nullopt;
}

std::optional<render::Frame> composeSimulation(render::RenderAssets& assets, render::TextImages& texts,
                                               const sim::Simulation& simulation) {
  const sim::GameState& state = simulation.state();
  if (state.in_subgame == 0 || state.screen_kind != 0) {
    const auto& screens = simulation.screens();
    if ((state.front != 0 || state.screen_kind != 0) && !screens.empty() && !screens.back().frames.empty())
      return screenPicture(assets, texts, state, screens.back(), screens.back().frames.size() - 1);
    // Between two front-end screens the state may stand in the title's mapless area: nothing to draw
    // there, and nothing worth a log line either.
    if (state.front != 0 && !world::findArea(assets.world(), static_cast<int>(state.area))) return std::nullopt;
    return statePicture(assets, state, simulation.frameSprites());
  }
  const bool drawn = (state.mode >= 0 && state.mode <= 2) || (state.mode >= 4 && state.mode <= 9);
  if (drawn) return subgamePicture(assets, state, simulation.stepSprites());
  return std::nullopt;
}

}  // namespace app
