// The new game and the game's own start values.
#include <algorithm>
#include <iterator>
#include <utility>

#include "sim/areas/areas.h"
#include "sim/cartridge.h"
#include "sim/core/big_endian.h"
#include "sim/core/records.h"
#include "sim/core/step.h"
#include "sim/hero/hero.h"
#include "sim/rom_view.h"

namespace sim {

namespace {

// Copies `count` ROM bytes from `from` into a block from `at` on.
void copyRom(Context& c, std::vector<std::uint8_t>& block, std::size_t at, std::uint32_t from, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) block[at + i] = c.rom.byteAt(from + static_cast<std::uint32_t>(i));
}

// Start records of the set pieces, from their first byte on.
constexpr std::uint8_t kArea9Start[16] = {0x01, 0xAE, 0, 0, 0, 0x43, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x14};
constexpr std::uint8_t kGuardStart[8] = {0x05, 0x8A, 0, 0, 0, 0x21, 0, 0};
constexpr std::uint8_t kGateStart[12] = {0x00, 0x94, 0, 0, 0, 0, 0x0D, 0, 0, 0, 0x08, 0};
constexpr std::uint8_t kShooterStart[12] = {0x03, 0, 0, 0x01, 0, 0, 0, 0, 0x03, 0, 0, 0x0A};
constexpr std::uint8_t kStarPhases[6] = {52, 53, 54, 55, 54, 53};

}  // namespace

bool newGame(Context& c, std::int64_t extraLives) {
  // The new game keeps the language, the display rate, the music and the
  // tower's edge data.
  GameState& s = c.state;
  const std::int64_t language = s.language, refreshHz = s.refresh_hz, music = s.music, musicWait = s.music_wait;
  std::vector<std::uint8_t> towerEdge = std::move(s.tower_edge);
  s = GameState();
  s.language = language;
  s.refresh_hz = refreshHz;
  s.music = music;
  s.music_wait = musicWait;
  s.tower_edge = std::move(towerEdge);
  clearMessages(c);
  runGuarded(c, [&] {
    s.cheat_left = 1;
    s.rng = 0xE7190345;

    applyGameStartValues(c);

    s.lives += extraLives;
    if (extraLives != 0) requestEffect(c, 10);

    hero::resetHeroAndEnergy(c);
    s.x = 160 << 16;
    s.y = 152 << 16;

    s.rain_left = 0;
    random(c, 127);  // the first draw ($004A22) is made and dropped
    s.rain_wait = c.rom.wordAt(cart::kRainWaits + 2 * (random(c, 127) & 3));
    s.rain_ramp = 0;

    be::setWord(s.chain, rec::kChainSpeed, 4);
    be::setWord(s.chain, rec::kChainAngle, 0);
    std::fill(s.inventory.begin() + rec::kInvTransit, s.inventory.end(), 0xFF);

    copyRom(c, s.objects, 0, cart::kObjects, s.objects.size());
    copyRom(c, s.lifts, 0, cart::kLifts, s.lifts.size());
    for (std::size_t r = 0; r < std::size(cart::kPlatformRecords); ++r)
      copyRom(c, s.platform_recs, cart::kPlatformRecordSize * r, cart::kPlatformRecords[r], cart::kPlatformRecordSize);

    s.bob_phase = 0;
    s.bob_base = 0xA00000;
    s.a13_y = 0xB80000;

    s.area = 21;
    s.restart_x = 160;
    s.restart_y = 152;
    s.restart_area = 21;
    areas::loadArea(c, 21);

    // Free particle records: the marker byte and both ends of each of the five records.
    s.particles[0] = 0xFF;
    for (std::size_t k = 0; k < 5; ++k)
      s.particles[rec::kParticleSize * k + 1] = s.particles[rec::kParticleSize * k + rec::kParticleSize] = 0xFF;
    s.particles[51] = 0xFF;
    s.particle_timer = 0;
    // The walker of area 1 at (0x064A, 0x20), its touch rectangle (0x064C, 0x28, 10, 10).
    be::setWord(s.a1_walker, rec::kWalkerX, 0x064A);
    be::setWord(s.a1_walker, rec::kWalkerY, 0x0020);
    for (const auto& [at, v] : {std::pair{0, 0x064C}, {2, 0x0028}, {4, 0x000A}, {6, 0x000A}})
      be::setWord(s.a1_walker, rec::kWalkerTouch + at, v);

    areas::updateCamera(c);
    areas::enterArea(c);
  });
  missingTableCheck(c);
  return c.stopMessage.empty();
}

void applyGameStartValues(Context& c) {
  GameState& s = c.state;
  s.door_locks = c.rom.longAt(cart::kDoorLocks);
  std::fill(s.door_states.begin(), s.door_states.end(), 0);
  // The low bytes of the phase words.
  for (int i = 0; i < 4; ++i) s.hazard_phases[2 * i + 1] = static_cast<std::uint8_t>(i);
  for (int i = 0; i < 6; ++i) s.star_phases[2 * i + 1] = kStarPhases[i];
  s.hazard_phase_timer = 5;
  s.star_phase_timer = 5;
  s.score = 0;
  s.stars_left = 250;
  s.lives = 2;
  s.palette_timer = 3500;
  s.grace = 100;
  s.w825e = 0x7F;
  std::copy(std::begin(kArea9Start), std::end(kArea9Start), s.area9.begin());
  std::copy(std::begin(kGuardStart), std::end(kGuardStart), s.a10_guard.begin());
  std::copy(std::begin(kGateStart), std::end(kGateStart), s.a42_gate.begin());
  std::copy(std::begin(kShooterStart), std::end(kShooterStart), s.a16.begin());
  be::setWord(s.a16_anim, rec::kAnimIndex, -1);  // timer 0, index FFFF
  be::setWord(s.a16_exit, rec::kCartX, 0x0068);
  be::setWord(s.a16_exit, rec::kCartY, 0x0030);
}

}  // namespace sim
