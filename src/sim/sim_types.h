#pragma once
// The Simulation's per-step outputs, the vocabulary they use, and its control-flow exceptions.

#include <array>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "sim/game_state.h"

namespace sim {

// One sprite drawn by a console routine, in console sprite coordinates (the
// visible screen starts at 128).
struct SpriteCall {
  std::uint32_t x = 0;
  std::uint32_t y = 0;
  std::uint32_t frame = 0;       // index into the current sprite bank selection
  std::uint32_t attributes = 0;  // as the drawing routine passes them
  std::uint32_t caller = 0;      // ROM address of the drawing routine
  bool operator==(const SpriteCall&) const = default;
};

struct LivesFrame {
  std::int64_t lives = 0;  // lives shown
  std::int64_t heroFrame = 0;
  std::int64_t expression = 0;
  bool operator==(const LivesFrame&) const = default;
};

// A waiting screen or a front-end screen, with every frame it showed.
struct Screen {
  std::int64_t event = 0;  // event number; front-end screens: their picture number
  std::int64_t area = 0;
  std::int64_t language = 0;
  std::array<std::int64_t, 3> held{};  // inventory screen: the held objects
  std::vector<std::vector<SpriteCall>> frames;
  std::uint8_t lives_flag = 0;
  std::int64_t stars = 0;
  std::vector<LivesFrame> lives_frames;
  std::shared_ptr<const GameState> snapshot;  // lives screen: the state behind the counter
  std::uint8_t over_flag = 0;
  std::vector<std::int64_t> values_a, values_b, values_c;
  std::int64_t picture = 0;  // front-end picture kind, 0 for in-game screens
  std::int64_t cram_line0 = 0;
  std::int64_t cram_line2 = 0;
};

// Waiting-screen kinds held in screen_kind.
enum ScreenKind : int { kNoScreen = 0, kEventScreen = 1, kInventoryScreen = 2, kLivesScreen = 3, kGameOverScreen = 4 };

// Kinds of sound request.
inline constexpr std::uint8_t kSoundMusic = 0;
inline constexpr std::uint8_t kSoundEffect = 1;
inline constexpr std::uint8_t kSoundPause = 2;
inline constexpr std::uint8_t kSoundResume = 3;

// Cheat bits.
inline constexpr std::uint32_t kCheatLives = 1;        // losing a life keeps the count
inline constexpr std::uint32_t kCheatNoDamage = 2;     // no damage, no hazard deaths
inline constexpr std::uint32_t kCheatNoCountdown = 4;  // archery countdown stopped

// A state the console code would not go on from. The message is kept as the
// step's stop message.
class Stop : public std::runtime_error {
 public:
  explicit Stop(const std::string& message) : std::runtime_error(message) {}
};

// The console code waits for the next V-blank mid-frame: the step ends here and
// the saved state says how to go on.
struct Suspend {};

}  // namespace sim
