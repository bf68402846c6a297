// Great Hall (area 26): three things thrown at the shields over the Baron's table; the third brings the
// crown flying back, and the Baron on his throne.
#include "sim/areas/set_pieces.h"
#include "sim/core/animation.h"
#include "sim/core/records.h"
#include "sim/things/things.h"

namespace sim::areas {

namespace {

constexpr std::size_t kOrder[4] = {0, 2, 1, 3};
constexpr std::size_t kReward = 1;  // the byte of flags_82d1 that flies the reward
constexpr std::int64_t kCrown = 47;
constexpr std::int64_t kEffectHit = 2, kPoints = 50;
constexpr std::uint32_t kBaronPleased = 0x008564, kBaronWaiting = 0x00856E;
constexpr std::int64_t kNodFrame = 8, kBaronFrame = 10;  // past the pigeons' frames

std::int64_t objectSlot(const GameState& s, std::int64_t k) {
  return be::word(s.objects, static_cast<std::size_t>(k) * rec::kObjectSize + rec::kObjectSlot);
}

void throws(Context& c) {
  GameState& s = c.state;
  for (std::size_t b : kOrder) {
    if (s.flags_82d1[b] == 0) continue;
    const std::int64_t frame = b == kReward ? objectSlot(s, kCrown) : s.w8312;
    if (!flyArc(c, frame)) return;
    s.flags_82d1[b] = 0;
    s.flag_82bf = 0;
    s.score = (s.score + kPoints) & 0xFFFF;
    requestEffect(c, kEffectHit);
    s.w8310 += 1;
    if (s.w8310 == 3) {
      things::buildArc(c, 364, 155, heroX(s) + 7, heroY(s) + 10, -0x30000, 6144);
      s.flags_82d1[kReward] = 255;
      s.flag_82bf = 255;
    } else if (s.w8310 == 4) {
      giveObject(c, kCrown);
    }
    return;
  }
}

void baron(Context& c) {
  GameState& s = c.state;
  std::int64_t frame;
  if (s.flag_82d6 != 0) {
    frame = stepAnimation(c, s.anim_818c, 0, kBaronPleased);
  } else if (recordFrame(s.anim_818c) == kNodFrame &&
             be::word(s.anim_818c, rec::kAnimIndex) >= 0) {  // not just restarted
    frame = kNodFrame;
    s.timer_8330 = static_cast<std::int16_t>(s.timer_8330 - 1);
    if (s.timer_8330 < 0) restartRecord(s.anim_818c);
  } else {
    frame = stepAnimation(c, s.anim_818c, 0, kBaronWaiting);
    if (frame == kNodFrame) s.timer_8330 = (random(c, 127) & 63) + 32;
  }
  scenery(c, 136, 128, kBaronFrame + frame, 0, 0);
}

}  // namespace

void hallThrows(Context& c) {
  throws(c);
  baron(c);
}

}  // namespace sim::areas
