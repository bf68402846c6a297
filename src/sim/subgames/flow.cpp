// Entering, resolving and leaving the subgames, and the return of the hero to
// the main game afterwards.
#include "sim/subgames/subgames.h"

#include <array>
#include <string>

#include "base/log.h"
#include "sim/areas/areas.h"
#include "sim/cartridge.h"
#include "sim/core/big_endian.h"
#include "sim/core/ram.h"
#include "sim/core/records.h"
#include "sim/core/step.h"
#include "sim/hero/hero.h"
#include "sim/screens/screens.h"
#include "sim/subgames/games.h"

namespace sim::subgames {

namespace {

// The subgames by mode: the set-up and the frame. Mode 3 has none.
struct Subgame {
  void (*setUp)(Context&) = nullptr;
  std::string (*frame)(Context&, std::uint8_t, std::int64_t) = nullptr;
};
constexpr Subgame kSwapPuzzle{setUpSwapPuzzle, swapPuzzleFrame};
constexpr Subgame kSea{setUpSea, seaFrame};
constexpr Subgame kMinecart{setUpMinecart, minecartFrame};
constexpr Subgame kArchery{setUpArchery, archeryFrame};
constexpr Subgame kTower{setUpTower, towerFrame};
constexpr std::array<Subgame, 10> kSubgames = {kSwapPuzzle, kSwapPuzzle, kSea,     Subgame{}, kMinecart,
                                               kArchery,    kArchery,    kArchery, kArchery,  kTower};

// The subgame of a mode, or nullptr.
const Subgame* subgameOf(std::int64_t mode) {
  if (mode < 0 || mode >= static_cast<std::int64_t>(kSubgames.size())) return nullptr;
  const Subgame& g = kSubgames[static_cast<std::size_t>(mode)];
  return g.setUp ? &g : nullptr;
}

struct Place {
  std::int64_t x, y, area;
};

// Where the minecart run leaves the hero, by its result.
Place minecartReturn(std::int64_t r) {
  switch (r) {
    case 0:
      return {1475, 40, 16};
    case 1:
      return {2819, 72, 11};
    case 2:
      return {2021, 104, 10};
    case 3:
      return {2, 8, 19};
    default:
      return {148, 40, 16};  // -1 and 4 or more
  }
}

void saveHeroForSubgame(Context& c) {
  GameState& s = c.state;
  s.push_sprite_x = s.sprite_x;
  s.push_x = s.x;
  s.push_y = s.y;
  s.push_vy = s.vy;
  s.push_frame = s.sprite_frame;
  s.push_anim = s.anim;
  s.push_camera = s.camera_x;
  s.push_damage = s.damage;
  s.push_shown = s.damage_show;
  s.push_music = s.music;
}

// Puts the hero back in the main game at (x, y) in an area as the subgame's
// result says (stage 9), making it his restart point.
void placeHero(Context& c, std::int64_t x, std::int64_t y, std::int64_t area);

}  // namespace

void restoreHeroFromPush(Context& c) {
  GameState& s = c.state;
  s.sprite_x = s.push_sprite_x;
  s.x = s.push_x;
  s.y = s.push_y;
  s.sprite_frame = s.push_frame;
  s.anim = s.push_anim;
  s.camera_x = s.push_camera;
  s.damage_show = s.push_shown;
  // Only the integer parts of vy and damage come back; their fractions stay.
  s.vy = (s.push_vy & ~std::int64_t{0xFFFF}) | (s.vy & 0xFFFF);
  s.damage = (s.push_damage & ~std::int64_t{0xFFFF}) | (s.damage & 0xFFFF);
}

void enterSubgame(Context& c) {
  GameState& s = c.state;
  areas::cancelPaletteFade(c);
  s.pause_delay = 0;
  saveHeroForSubgame(c);
  std::fill(s.sub_ram.begin(), s.sub_ram.end(), 0);
  const Subgame* g = subgameOf(s.mode);
  if (!g) stopWith(c, "subgame " + std::to_string(s.mode) + "'s set-up (S7)");
  g->setUp(c);
  s.in_subgame = 1;
}

std::string subgameFrame(Context& c, std::int64_t mode, std::uint8_t pad, std::int64_t tick) {
  const Subgame* g = subgameOf(mode);
  if (!g) stopWith(c, "subgame " + std::to_string(mode) + "'s rules (S7)");
  std::string result = g->frame(c, pad, tick);
  if (result == kSubgameNotBuilt)
    app::logMessage(app::kInfo, "subgame %lld is not built yet: it is over at once", static_cast<long long>(mode));
  return result;
}

void subgameAfterScreen(Context& c) {
  towerAfterScreen(c);
}

void leaveSubgame(Context& c, std::uint8_t pad) {
  GameState& s = c.state;
  clearMessages(c);
  c.stepSprites.clear();
  c.screens.clear();
  s.in_subgame = 0;
  s.sub_result = subRamWord(c, kSubResult);
  restoreHeroFromPush(c);
  s.lock = 0;
  areas::cancelPaletteFade(c);
  runStages(c, 8, pad);
}

void resolveSubgameWithHook(Context& c) {
  GameState& s = c.state;
  c.subgamesSkipped += 1;
  std::optional<GameState> reached = c.subgameHook();
  if (!reached) stopWith(c, "subgame " + std::to_string(s.mode) + "'s rules (S7)");
  const GameState& g = *reached;
  saveHeroForSubgame(c);
  if (s.mode == 0 || s.mode == 1) hero::resetHeroAndEnergy(c);
  s.rng = g.rng;
  s.score = g.score;
  s.lives = g.lives;
  s.inv_timers = g.inv_timers;
  s.stars_left = g.stars_left;
  s.flags = g.flags;
  s.energy_ramp = g.energy_ramp;
  s.damage_show = g.damage_show;
  s.effects = g.effects;
  s.actors = g.actors;
  s.sub_result = g.sub_result;
  s.anim_count = g.anim_count;
  s.anim_index = g.anim_index;
  s.arc = g.arc;
  s.sub_ram = g.sub_ram;
  // The scalars palette_variant..expression and the blocks frame_bases..block_anims.
  for (int i = kScalar_palette_variant; i <= kScalar_expression; ++i) s.scalar(i) = g.scalar(i);
  for (int i = kBlock_frame_bases; i <= kBlock_block_anims; ++i) s.block(i) = g.block(i);
  s.pause_delay = 0;
  s.lock = 0;
  if (s.mode == 1) restoreHeroFromPush(c);
  subgameLoss(c);
  if (!c.endMessage.empty()) return;
  subgameReturn(c);
  if (!c.endMessage.empty()) return;
  if (s.event != 0) {
    const std::int64_t e = s.event;
    s.event = 0;
    screens::showScreen(c, kEventScreen, e);
  }
}

void subgameLoss(Context& c) {
  GameState& s = c.state;
  if (s.mode == 1 || s.sub_result >= 0) return;
  if (s.mode == 5 || s.mode == 6) {
    s.sub_result = 0;
    setSubRamWord(c, kSubResult, 0);
    s.sub_lost = 1;
  }
  if (s.mode == 2 || s.mode == 4 || s.mode == 5 || s.mode == 6) {
    if (s.lives != 0) {
      hero::loseLife(c);
      screens::showScreen(c, kLivesScreen, 0);
    } else {
      s.mode = 0;
      screens::beginGameOver(c);
    }
  }
}

namespace {

void placeHero(Context& c, std::int64_t x, std::int64_t y, std::int64_t area) {
  GameState& s = c.state;
  const std::int64_t mode = s.mode;
  const std::int64_t r = s.sub_result;
  s.x = x * 65536;
  s.y = y * 65536;
  s.area = area;
  const bool cartJump = mode == 4 && r == 3;
  s.mode = 0;
  hero::resetHero(c, true);
  if (cartJump) {
    // The cart throws the hero out in a jump to the right.
    s.vy = -0x3F000;
    s.jump = 3;
    s.anim = cart::kSeqJumpRight;
  }
  s.restart_x = x;
  s.restart_y = y;
  s.restart_area = area;
  areas::loadArea(c, area);
  areas::updateCamera(c);
  areas::enterArea(c);
  if (s.flag_82fa == 0 && s.stars_left == 0) {
    s.flag_82fa = 255;
    s.event = 14;
  }
  if (cartJump) {
    s.restart_x = 36;
    s.restart_y = 72;
    s.restart_area = 19;
  }
}

}  // namespace

void subgameReturn(Context& c) {
  GameState& s = c.state;
  std::int64_t r = s.sub_result;
  if (s.sub_lost != 0) {
    r = -1;
    s.sub_lost = 0;
  }
  switch (s.mode) {
    case 1:
      if (r == -1) requestMusic(c, s.push_music);
      s.mode = 0;
      areas::loadArea(c, s.area);
      areas::updateCamera(c);
      areas::enterArea(c);
      break;
    case 2:
      s.flag_82f2 = 0;
      s.scripted_obj[0] = 0;                        // the high byte of x
      s.scripted_obj[rec::kScriptedPhase + 1] = 0;  // the low byte of the phase
      be::setWord(s.scripted_obj, rec::kScriptedCounter, 0);
      be::setWord(s.anim_8162, rec::kAnimTimer, 0);
      be::setWord(s.anim_8162, rec::kAnimIndex, -1);
      requestMusic(c, 12);
      if (r < 0)
        placeHero(c, 1125, 56, 31);
      else
        placeHero(c, 857, 104, 11);
      break;
    case 4: {
      be::setWord(s.a16_exit, rec::kCartX, 0x0068);
      be::setWord(s.a16_exit, rec::kCartY, 0x0030);
      s.flag_82f3 = 0;
      const Place p = minecartReturn(r);
      placeHero(c, p.x, p.y, p.area);
      requestMusic(c, r <= 0 ? 6 : 12);
      break;
    }
    case 5:
    case 6:
    case 7:
    case 8:
      if (s.mode == 7 || (s.mode == 5 && r >= 0)) {
        requestMusic(c, 3);
        placeHero(c, 992, 136, 45);
      } else {
        requestMusic(c, 12);
        placeHero(c, 1773, 120, 18);
      }
      break;
    case 9:
      s.mode = 0;
      if (r < 0)
        screens::beginGameOver(c);
      else
        c.endMessage = "the end (Vors beaten)";
      break;
    default:
      stopWith(c, "subgame mode " + std::to_string(s.mode) + "'s return");
  }
}

}  // namespace sim::subgames
