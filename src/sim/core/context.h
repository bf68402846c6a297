#pragma once
// The context every routine of the game logic takes, as the console's routines all shared its RAM: the
// game state, the cartridge tables, the world, the current area, the cheats and what the step hands to
// the host. Beside it, the helpers every subsystem uses: the random generator, sound requests, sprite
// calls and the stop.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "audio/sound_request.h"
#include "sim/game_state.h"
#include "sim/sim_types.h"

namespace world {
struct World;
struct Area;
}  // namespace world

namespace sim {

class RomView;

// The current area as the game logic needs it, refreshed by loadArea.
struct AreaCache {
  const world::Area* area = nullptr;
  std::vector<std::uint8_t> collision;
  std::int64_t columns = 0;
  std::int64_t widthPixels = 0;
  std::int64_t cameraLimit = 0;  // 0 for one screen, else width - 321
  std::int64_t originX = 0;
  std::int64_t minY = 0;
  std::int64_t firstSelectionFrames = 0;
};

// Resolves the subgame being entered: the state reached at its end, or nothing.
using SubgameResolver = std::function<std::optional<GameState>()>;

struct Context {
  Context(const world::World& world, RomView& rom);

  GameState state;
  std::uint32_t cheats = 0;  // kCheat bits; not part of the state
  AreaCache areaCache;
  const world::World& world;
  RomView& rom;

  // What the step hands to the host.
  std::string stopMessage;                  // empty while the game runs
  std::string endMessage;                   // "game over", "the end (Vors beaten)"
  std::vector<SpriteCall> frameSprites;     // the frame being drawn
  std::vector<SpriteCall> stepSprites;      // every call of this step (the runaway guard counts these)
  std::vector<SpriteCall> previousSprites;  // the frame before
  std::vector<audio::SoundRequest> soundRequests;
  std::int64_t subgamesSkipped = 0;  // subgames resolved through the hook
  std::vector<Screen> screens;       // the screens begun during the step
  std::int32_t fadeVBlanks = 0;      // V-blanks the fades of this step take

  // How the step runs.
  std::uint8_t stepPad = 0;       // the step's pad as the logic sees it (the door rule may add B)
  std::int32_t eventFrames = -1;  // tools: frames an event screen runs inside one call; -1 in play
  std::int32_t livesFrames = -1;  // tools: the same for a lives screen
  SubgameResolver subgameHook;    // tools only: resolves a subgame instead of playing it
  bool suspendMode = false;       // a waiting screen or a subgame's set-up ends the step
  // The areas' own rules and set pieces (areas/handlers.cpp) run. Off in play until the world's route has
  // been played again with them: they change how every area plays. The doors, lifts and music run anyway.
  bool areaRules = true;
  std::int64_t tickNumber = 0;    // the tick given to the step (some subgames read its low bits)
};

// The console game's random generator on rng: a number below n (n = 0: the low 16 bits).
inline std::int64_t random(Context& c, std::int64_t n) {
  std::uint32_t range = static_cast<std::uint32_t>(n - 1) & 0xFFFF;
  int bits = 0;
  while (range != 0) {
    ++bits;
    range >>= 1;
  }
  if (n == 0) bits = 16;
  if (bits == 0) bits = 1;
  std::uint32_t v = static_cast<std::uint32_t>(c.state.rng);
  for (int i = 0; i < bits; ++i) {
    const bool top = (v & 0x80000000u) != 0;
    v <<= 1;
    if (top || v == 0) v ^= 0x1D872B41u;
  }
  c.state.rng = v;
  if (n == 0) return v & 0xFFFF;
  return (n * static_cast<std::int64_t>(v & 0xFFFF)) >> 16;
}

inline void requestSound(Context& c, std::uint8_t kind, std::uint32_t value = 0) {
  c.soundRequests.push_back({kind, value});
}
// Music n, kept in `music`.
inline void requestMusic(Context& c, std::int64_t n) {
  c.state.music = n;
  requestSound(c, kSoundMusic, static_cast<std::uint32_t>(n));
}
inline void requestEffect(Context& c, std::int64_t n) {
  requestSound(c, kSoundEffect, static_cast<std::uint32_t>(n));
}

// Departure: a drawing loop that never ends hangs the console; here more than 20000 sprite calls in one
// step stop the game, naming the drawing routine.
[[noreturn]] void stopRunawayDrawing(Context& c, std::uint32_t caller);

// One sprite call of the frame being drawn (and of the step).
inline void addSprite(Context& c, std::uint32_t x, std::uint32_t y, std::uint32_t frame, std::uint32_t attributes,
                      std::uint32_t caller) {
  const SpriteCall call{x, y, frame, attributes, caller};
  c.frameSprites.push_back(call);
  c.stepSprites.push_back(call);
  if (c.stepSprites.size() > 20000) stopRunawayDrawing(c, caller);
}

// The current list becomes the previous one; a new frame starts empty.
inline void beginFrame(Context& c) {
  std::swap(c.previousSprites, c.frameSprites);
  c.frameSprites.clear();
}

// Frames in the first bank of the bank list at a ROM address (10-byte entries of its selection list up to
// FFFF, at most 256).
std::int64_t firstBankFrames(Context& c, std::uint32_t bankList);

// A state the console would not go on from: the message becomes the stop message and Stop is thrown.
[[noreturn]] void stopWith(Context& c, const std::string& message);
void clearMessages(Context& c);
// After a tick: the first cartridge address read that the data set lacks becomes the stop message.
void missingTableCheck(Context& c);

// Runs a piece of the game logic at the top of a tick: a Stop is kept as the stop message, a Suspend ends
// the piece quietly.
template <typename Body>
void runGuarded(Context& c, Body&& body) {
  try {
    body();
  } catch (const Stop& e) {
    if (c.stopMessage.empty()) c.stopMessage = e.what();
  } catch (const Suspend&) {
  }
}

}  // namespace sim
