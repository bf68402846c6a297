// Mill Cellar (area 10): the miller's guard on the high ledge who turns the hero back until a custard pie
// knocks him off it, the bean column that grows into a step, the stone that sinks the floating platform,
// and the spikes under it.
#include <algorithm>
#include <cstdlib>

#include "sim/areas/set_pieces.h"
#include "sim/core/animation.h"
#include "sim/rom_view.h"

namespace sim::areas {

namespace {

constexpr std::uint32_t kGuardStands = 0x006ED8, kGuardFlies = 0x006EE6, kGuardSits = 0x006EEE;
constexpr std::uint32_t kBob = 0x00C634;
constexpr std::uint32_t kColumnTop = 0x00A9E4;
constexpr std::int64_t kGuardKnock = -0x28000;
constexpr std::int64_t kGuardFrame = 19, kColumnFrame = 25, kPlatformFrame = 26;  // past the bats' frames
constexpr std::int64_t kEffectSplash = 4;

// a10_guard: x and y (16.16), an animation record at 8, vx at 14, vy at 18.
struct Guard {
  std::vector<std::uint8_t>& r;
  std::int64_t get(std::size_t at) const { return static_cast<std::int32_t>(be::longWord(r, at)); }
  void set(std::size_t at, std::int64_t v) { be::setLongWord(r, at, static_cast<std::uint32_t>(v)); }
};
constexpr std::size_t kX = 0, kY = 4, kAnim = 8, kVx = 14, kVy = 18;

void faceHero(Context& c) {
  GameState& s = c.state;
  const std::int64_t X = heroX(s);
  const std::int64_t was = s.guard10;
  if (X > 1719) s.guard10 = 0;
  if (X < 1121) s.guard10 = 1;
  if (s.guard10 != was) restartRecord(s.a10_guard, kAnim);
  if (heroY(s) >= 80) return;
  if (s.guard10 == 1 && X > 1414) {
    s.x = withWhole(s.x, 1414);
    knockBack(c, false, kGuardKnock);
  } else if (s.guard10 == 0 && X < 1452) {
    s.x = withWhole(s.x, 1452);
    knockBack(c, true, kGuardKnock);
  }
}

void knockedAway(GameState& s, Guard& g) {
  const std::int64_t vx = g.get(kVx) - 0xC00;
  g.set(kVx, vx);
  if (s.guard10 == 2 || vx >= 0) g.set(kX, g.get(kX) + vx);
  g.set(kVy, g.get(kVy) + 0x1000);
  g.set(kY, g.get(kY) + g.get(kVy));
  if (static_cast<std::int16_t>(g.get(kY) >> 16) > 140) {
    g.set(kY, withWhole(g.get(kY), 140));
    if (s.guard10 == 2) {
      s.guard10 = 3;
      g.set(kVy, -0x10000);
    }
  }
  if (vx < 0) {
    s.guard10 += 1;
    restartRecord(s.a10_guard, kAnim);
  }
}

void guard(Context& c) {
  GameState& s = c.state;
  Guard g{s.a10_guard};
  if (s.flag_82c3 != 0 && flyArc(c, s.w81fc)) {
    s.flag_82c3 = 0;
    s.flag_82bf = 0;
    s.guard10 = 2;
    g.set(kVx, 0x1B000);
    g.set(kVy, -0x30000);
    restartRecord(s.a10_guard, kAnim);
  }
  std::int64_t frame;
  if (s.guard10 < 2) {
    faceHero(c);
    frame = stepAnimation(c, s.a10_guard, kAnim, kGuardStands);
  } else if (s.guard10 < 4) {
    knockedAway(s, g);
    frame = s.guard10 < 4 ? stepAnimation(c, s.a10_guard, kAnim, kGuardFlies) : 0;
  } else {
    frame = stepAnimation(c, s.a10_guard, kAnim, kGuardSits);
  }
  const bool mirrored = s.guard10 == 1 || s.guard10 >= 4;
  scenery(c, static_cast<std::int16_t>(g.get(kX) >> 16), static_cast<std::int16_t>(g.get(kY) >> 16),
          kGuardFrame + frame, mirrored ? kMirrored : 0, 0);
}

void column(Context& c) {
  GameState& s = c.state;
  if (s.flag_82de != 0) {
    s.w8314 += 1;
    if (s.w8314 % 9 == 0) {
      s.w8316 += 1;
      if (s.w8316 == 4 || s.w8316 == 8) s.w8316 += 1;
    }
    if (s.w8316 >= 10) {
      s.flag_82de = 0;
      s.flag_82df = 255;
      s.flag_82bf = 0;
    }
  }
  if (s.flag_82de == 0 && s.flag_82df == 0) return;
  for (std::int64_t i = 0; i < s.w8316; ++i) scenery(c, 1446, 176 - 16 * (i + 1), kColumnFrame, 0, 0);
  if (s.flag_82df != 0) offerPlatform(c, kColumnTop);
}

void floatingPlatform(Context& c) {
  static const std::vector<std::uint16_t> kSinking = {6, 7, 1, 2, 3, 4, 5, 6, 7, 8};
  GameState& s = c.state;
  if (s.flag_82bb != 0 && flyArc(c, recordFrame(s.a10_anim))) {
    s.flag_82bb = 0;
    s.flag_82bf = 0;
    s.flag_82bc = 255;
    requestEffect(c, kEffectSplash);
  }
  if (s.flag_82bc != 0) {
    stepProgramSequence(c, s.a10_anim, 0, kSinking);
    s.bob_base = std::max<std::int64_t>(s.bob_base - 0x4000, 0x7F0000);
  }
  s.bob_phase = (s.bob_phase + 2) & 0x3E;
  const std::int64_t top =
      c.rom.signedWordAt(kBob + static_cast<std::uint32_t>(s.bob_phase)) + static_cast<std::int16_t>(s.bob_base >> 16);
  const std::size_t r = platformRecord(kPlatformFloat);
  be::setWord(s.platform_recs, r + 4, top);
  offerPlatform(c, kPlatformFloat);
  if (s.on_object == be::word(s.platform_recs, r)) s.y = withWhole(s.y, top - 22);
  scenery(c, be::word(s.platform_recs, r + 10), top, kPlatformFrame, 0, 0);
}

void spikes(Context& c) {
  GameState& s = c.state;
  if (!hazardRecord(c, 0x003644)) return;
  if (s.restart_area == 10 && s.restart_x == 144 && s.restart_y == 152) {
    s.restart_x = 772;
    s.restart_y = 64;
  } else if (s.restart_area == 10 && s.restart_x == 1958 && s.restart_y == 24) {
    s.restart_x = 940;
    s.restart_y = 64;
  } else {
    s.restart_area = 10;
    s.restart_x = 1435;
    s.restart_y = 56;
  }
}

}  // namespace

void cellarPieces(Context& c) {
  guard(c);
  column(c);
  floatingPlatform(c);
  spikes(c);
}

}  // namespace sim::areas
