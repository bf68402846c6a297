#pragma once
// The pictures the play loop shows. Each kind of picture is drawn behind one function here: the game step
// (the state and the frame's sprite calls), a waiting or front-end screen, a subgame.

#include <cstddef>
#include <optional>
#include <vector>

#include "render/video_chip.h"
#include "sim/game_state.h"
#include "sim/sim_types.h"

namespace render {
class RenderAssets;
class TextImages;
}  // namespace render
namespace sim {
class Simulation;
}

namespace app {

// The game as the state shows it, with the sprite calls of its frame.
std::optional<render::Frame> statePicture(render::RenderAssets& assets, const sim::GameState& state,
                                          const std::vector<sim::SpriteCall>& calls);
// A screen at one of its frames; its messages come from the language's text image.
std::optional<render::Frame> screenPicture(render::RenderAssets& assets, render::TextImages& texts,
                                           const sim::GameState& state, const sim::Screen& screen, std::size_t frame);
// A subgame frame with the sprite calls of its step.
std::optional<render::Frame> subgamePicture(render::RenderAssets& assets, const sim::GameState& state,
                                            const std::vector<sim::SpriteCall>& calls);

// The picture for the simulation as it stands: the newest screen at its last frame while the front end or
// a waiting screen shows, the subgame while one runs, else the game. Nothing when it cannot be drawn.
std::optional<render::Frame> composeSimulation(render::RenderAssets& assets, render::TextImages& texts,
                                               const sim::Simulation& simulation);

}  // namespace app
