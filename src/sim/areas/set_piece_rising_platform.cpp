// Wax Chamber (area 13): the wax wall that the ember melts, and the platform that then rises, bursts near
// the roof and forms again on the floor.
#include "sim/areas/set_pieces.h"
#include "sim/core/animation.h"

namespace sim::areas {

namespace {

constexpr std::uint32_t kFloating = 0x0074B6, kBursting = 0x0074C4;
constexpr std::int64_t kGoneFrame = 18, kFormedFrame = 15;
constexpr std::int64_t kRise = 0x8000, kBurstTop = 26, kFloorY = 184;
constexpr std::int64_t kEffectBurst = 17;
constexpr std::int64_t kWallFrame = 60, kPlatformFrame = 40;
constexpr std::size_t kTop = 4, kXBase = 10;  // words of the platform record

void wax(Context& c, bool melted) {
  chamberWaxPlug(c);
  if (!melted) scenery(c, 1536, 176, kWallFrame, 0, 0);
}

}  // namespace

void chamberWaxPlug(Context& c) {
  if (c.state.flag_82bd == 0)
    setCells(c, {{578, 0x80}, {581, 0x80}, {584, 0xC0}, {587, 0x40}, {590, 0x40}});
  else
    clearCells(c, {{578, 0x80}, {581, 0x80}, {584, 0xC0}, {587, 0x40}, {590, 0x40}});
}

void chamberPlatform(Context& c) {
  GameState& s = c.state;
  wax(c, s.flag_82bd != 0);
  const std::size_t r = platformRecord(kPlatformRising);
  const std::int64_t id = be::word(s.platform_recs, r);
  const std::int64_t frame = stepAnimation(c, s.a13_anim, 0, s.flag_82c1 != 0 ? kBursting : kFloating);
  const std::int64_t x = be::word(s.platform_recs, r + kXBase);
  if (frame != kGoneFrame) scenery(c, x, be::word(s.platform_recs, r + kTop), kPlatformFrame + frame, 0, 0);
  if (s.flag_82c1 == 0) offerPlatform(c, kPlatformRising);
  if (s.flag_82bd == 0) return;
  if (s.flag_82c1 == 0) {
    s.a13_y = static_cast<std::int32_t>(s.a13_y - kRise);
    const std::int64_t top = static_cast<std::int16_t>(s.a13_y >> 16);
    be::setWord(s.platform_recs, r + kTop, top);
    if (s.on_object == id) s.y = withWhole(s.y, top - 22);
    if (top < kBurstTop) {
      if (s.on_object == id) s.on_object = 0;
      s.flag_82c1 = 255;
      restartRecord(s.a13_anim);
      const std::int64_t sx = x - s.camera_x;
      if (sx > -32 && sx < 320) requestEffect(c, kEffectBurst);
    }
  } else if (frame == kGoneFrame) {
    be::setWord(s.a13_anim, 0, kFormedFrame);
    s.a13_y = kFloorY << 16;
    be::setWord(s.platform_recs, r + kTop, kFloorY);
    s.flag_82c1 = 0;
    restartRecord(s.a13_anim);
  }
}

}  // namespace sim::areas
