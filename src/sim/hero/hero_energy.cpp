// The hero's energy: damage, the drowning drain, gradual drains and heals,
// and the status panel with its energy bar.
#include <vector>

#include "sim/core/animation.h"
#include "sim/core/big_endian.h"
#include "sim/core/records.h"
#include "sim/hero/hero.h"
#include "sim/hero/hero_motion.h"
#include "sim/screens/screens.h"

namespace sim::hero {

namespace {

constexpr std::int64_t kFull = 64;         // integer part of a full (deadly) damage
constexpr std::int64_t kShowFrames = 240;  // the bar stays up this long after a change
constexpr std::int64_t kDrownDrain = 0x2000;
constexpr std::int64_t kFlashFrom = 47;  // from here on the bar's segments flash
constexpr std::uint32_t kEffectHurt = 4;

// The flashing segment of a nearly full bar: delay, loop index, seven frames.
const std::vector<std::uint16_t> kPanelFlash = {3, 0, 75, 75, 76, 76, 74, 74, 76, 0xFFFF};

// Drawing routines of the panel, for the sprite dumps.
constexpr std::uint32_t kCallerPanelMarks = 0x003000;
constexpr std::uint32_t kCallerTransit = 0x003018;
constexpr std::uint32_t kCallerCarried = 0x003030;
constexpr std::uint32_t kCallerBarEnd = 0x003050;
constexpr std::uint32_t kCallerBarStart = 0x003060;
constexpr std::uint32_t kCallerSegments = 0x003076;
constexpr std::uint32_t kCallerFrame = 0x003090;

std::int64_t damageWithInt(std::int64_t damage, std::int64_t integer) {
  return hero::wrap32(static_cast<std::int64_t>(static_cast<std::uint64_t>(integer) << 16) | (damage & 0xFFFF));
}

// The object's slot word: the sprite frame its graphics were loaded into.
std::int64_t objectSlot(const GameState& s, std::int64_t object) {
  return be::word(s.objects, static_cast<std::size_t>(object) * rec::kObjectSize + rec::kObjectSlot);
}

// The objects sliding into the panel and the carried row shifting down.
void panelSlides(GameState& s) {
  auto& t = s.inv_timers;
  auto& inv = s.inventory;
  for (int pass = 0; pass < 2; ++pass) {
    if (be::word(t, rec::kInvSlideIn) != 0) {
      be::setWord(t, rec::kInvSlideIn, be::word(t, rec::kInvSlideIn) - 1);
      if (be::word(t, rec::kInvSlideIn) == 0) {
        if (be::word(t, rec::kInvShiftDown) == 0) {
          std::size_t i = 2;
          while (i <= 4 && be::word(inv, 2 * i) < 0) ++i;
          be::setWord(inv, 2 * (i - 1), be::word(inv, rec::kInvTransit));
          be::setWord(inv, rec::kInvTransit, -1);
        }
        be::setWord(t, rec::kInvPanelBusy, 0);
      } else {
        be::setWord(t, rec::kInvSlideX, be::word(t, rec::kInvSlideX) + 1);
      }
    }
  }
  for (int pass = 0; pass < 2; ++pass) {
    if (be::word(t, rec::kInvShiftDown) != 0) {
      be::setWord(t, rec::kInvShiftDown, be::word(t, rec::kInvShiftDown) - 1);
      if (be::word(t, rec::kInvShiftDown) == 0) {
        be::setWord(inv, rec::kInvCarried + 4, be::word(inv, rec::kInvCarried + 2));
        be::setWord(inv, rec::kInvCarried + 2, be::word(inv, rec::kInvCarried));
        be::setWord(inv, rec::kInvCarried, be::word(inv, rec::kInvTransit));
        be::setWord(inv, rec::kInvTransit, -1);
        be::setWord(t, rec::kInvShift, 0);
      } else {
        be::setWord(t, rec::kInvShift, be::word(t, rec::kInvShift) + 1);
      }
    }
  }
}

}  // namespace

void addDamage(Context& c, std::int64_t amount, bool ignoredWhileDying) {
  GameState& s = c.state;
  if (ignoredWhileDying && s.dying != 0) return;
  if ((c.cheats & kCheatNoDamage) != 0 && amount > 0) return;
  const std::int64_t before = hero::intPart(s.damage);
  const std::int64_t result = hero::wrap32(s.damage + amount);
  if (result < (kFull << 16)) {
    requestEffect(c, kEffectHurt);
    s.damage = result;
  } else {
    s.damage = damageWithInt(result, kFull);
  }
  if (hero::intPart(s.damage) != before) s.damage_show = kShowFrames;
}

void waterAndEnergy(Context& c) {
  GameState& s = c.state;
  const bool noDamage = (c.cheats & kCheatNoDamage) != 0;
  const bool breathing = s.item_flags.size() > 0 && s.item_flags[0] != 0;  // object 20
  if (s.variant_ad != 0 && !breathing) {
    if (s.grace > 0) {
      s.grace -= 1;
    } else {
      s.expression = 2;
      if (s.dying == 0 && !noDamage) {
        const std::int64_t before = hero::intPart(s.damage);
        s.damage = hero::wrap32(s.damage + kDrownDrain);
        if (hero::intPart(s.damage) > kFull - 1) {
          s.damage = damageWithInt(s.damage, kFull);
        } else {
          requestEffect(c, kEffectHurt);
        }
        if (hero::intPart(s.damage) != before) s.damage_show = kShowFrames;
      }
    }
  } else if (s.variant_ad == 0 && s.grace < 280) {
    s.grace = 100;
  }

  // A gradual change: bit 15 drains, otherwise heals, one point a frame
  // for as many frames as the low bits count.
  const std::int64_t frames = s.energy_ramp & 0x7FFF;
  if (frames == 0) return;
  s.energy_ramp = (s.energy_ramp & 0x8000) | (frames - 1);
  const std::int64_t d = hero::intPart(s.damage);
  if ((s.energy_ramp & 0x8000) != 0) {
    if (noDamage) return;
    const std::int64_t grown = d + 1 > kFull ? kFull : d + 1;
    s.damage = damageWithInt(s.damage, grown);
    if (grown < kFull) requestEffect(c, kEffectHurt);
  } else if (d == 0) {
    s.damage = 0;
  } else {
    s.damage = damageWithInt(s.damage, d - 1);
  }
}

void energyBar(Context& c, bool alwaysShown) {
  GameState& s = c.state;
  // The event and inventory screens show the bar all the time.
  if (s.screen_kind == kEventScreen || s.screen_kind == kInventoryScreen) alwaysShown = true;
  const bool shown = alwaysShown || s.damage_show != 0;
  if (!shown) {
    addSprite(c, 261, 328, 72, 0, kCallerPanelMarks);
    addSprite(c, 301, 328, 72, 0, kCallerPanelMarks);
    const std::int64_t transit = be::word(s.inventory, rec::kInvTransit);
    if (transit >= 0)
      addSprite(c, static_cast<std::uint32_t>(be::word(s.inv_timers, rec::kInvSlideX) & 0xFFFF), 328,
                static_cast<std::uint32_t>(objectSlot(s, transit) & 0xFFFF), 0, kCallerTransit);
    const std::int64_t shift = be::word(s.inv_timers, rec::kInvShift);
    for (std::size_t k = 0; k < 3; ++k) {
      const std::int64_t object = be::word(s.inventory, rec::kInvCarried + 2 * k);
      if (object < 0) continue;
      addSprite(c, static_cast<std::uint32_t>((shift + 240 + 40 * static_cast<std::int64_t>(k)) & 0xFFFF), 328,
                static_cast<std::uint32_t>(objectSlot(s, object) & 0xFFFF), 0, kCallerCarried);
    }
    for (std::uint32_t k = 0; k < 4; ++k) addSprite(c, 232 + 32 * k, 320, 51, 0, kCallerFrame);
  }
  panelSlides(s);
  if (!shown) return;

  addSprite(c, 243, 329, 73, 16, kCallerBarEnd);
  addSprite(c, 248, 338, 77, 16, kCallerBarStart);
  const std::int64_t d = hero::intPart(s.damage);
  if (d >= 1) {
    const auto frame =
        static_cast<std::uint32_t>((d >= kFlashFrom ? be::word(s.panel_anim, rec::kAnimFrame) : 75) & 0xFFFF);
    const std::int64_t part = d & 7;
    const std::int64_t first = part != 0 ? (part | 0xF8) : 256;
    const std::int64_t last = (d - (part == 0 ? 1 : 0)) / 8;
    for (std::int64_t i = 0; i <= last; ++i)
      addSprite(c, static_cast<std::uint32_t>((first + 8 * i) & 0xFFFF), 338, frame, 16, kCallerSegments);
  }
  for (std::uint32_t k = 0; k < 4; ++k) addSprite(c, 232 + 32 * k, 320, 51, 0, kCallerFrame);
  if (!alwaysShown) s.damage_show -= 1;
  stepProgramSequence(c, s.panel_anim, rec::kAnimFrame, kPanelFlash);
}

// When the energy bar is full a death starts; while dying, the death timer
// counts down and when it runs out a life is lost (the lives screen shows and
// the respawn follows) or, with no lives left, the game is over.
void deathCheck(Context& c) {
  GameState& s = c.state;
  const bool full = (s.damage >> 16) == 64;
  if (full && s.dying == 0) s.dying = 1;
  if (!full && s.dying == 0) return;
  if (s.death_timer == 0) return;
  if (--s.death_timer != 0) return;
  if (s.lives != 0) {
    loseLife(c);
    s.respawn_pending = 1;
    screens::showScreen(c, kLivesScreen, 0);
  } else {
    screens::beginGameOver(c);
  }
}

void loseLife(Context& c) {
  if ((c.cheats & kCheatLives) == 0) c.state.lives -= 1;
}

}  // namespace sim::hero
