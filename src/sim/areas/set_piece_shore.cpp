// Reedmere Shore (area 28): the fisher's catch (event 11) and the pillar that opens behind it, and the
// birds on the water while the shore is still closed.
#include "sim/areas/set_pieces.h"
#include "sim/core/animation.h"
#include "sim/core/records.h"
#include "sim/rom_view.h"

namespace sim::areas {

namespace {

constexpr std::uint32_t kCatch = 0x0088E0;
constexpr std::uint32_t kBirds = 0x00895A;  // four records of 14 bytes
constexpr std::int64_t kCatchEvent = 11, kCatchFrames = 44, kStillFrame = 18;
constexpr std::int64_t kCatchBase = 4;
constexpr std::int64_t kFishObject = 23;

void setObjectPlace(GameState& s, std::int64_t k, std::int64_t x, std::int64_t y) {
  const std::size_t at = static_cast<std::size_t>(k) * rec::kObjectSize;
  be::setWord(s.objects, at + 2, x);
  be::setWord(s.objects, at + 4, y);
}

void theCatch(Context& c) {
  GameState& s = c.state;
  if (s.w825a == 0) return;
  std::int64_t frame = kStillFrame;
  if (s.flag_82cd != 0) {
    frame = stepAnimation(c, s.anim_8162, 0, kCatch);
    if (s.flag_82da == 0) {
      s.w825c += 1;
      if (s.w825c == kCatchFrames) {
        s.event = kCatchEvent;
        s.flag_82da = 255;
        setObjectPlace(s, kFishObject, 235, 160);
      }
    }
  }
  scenery(c, s.w825a == 1 ? 202 : 266, 112, kCatchBase + frame, 0, 0);
}

// Record k of a28_timers (an animation record and a pause word) with the ROM record {sequence, x, y, frame
// offset, random mask, minimum pause}.
void bird(Context& c, std::size_t k) {
  GameState& s = c.state;
  const std::uint32_t r = kBirds + 14 * static_cast<std::uint32_t>(k);
  const std::size_t at = rec::kA28TimerSize * k;
  const std::int64_t pause = be::word(s.a28_timers, at + rec::kA28Pause);
  if (pause != 0) {
    be::setWord(s.a28_timers, at + rec::kA28Pause, pause - 1);
    if (pause == 1) restartRecord(s.a28_timers, at);
    return;
  }
  const std::int64_t frame = stepAnimation(c, s.a28_timers, at, c.rom.longAt(r));
  if (frame == 6) {
    const std::int64_t mask = c.rom.signedWordAt(r + 10), least = c.rom.signedWordAt(r + 12);
    be::setWord(s.a28_timers, at + rec::kA28Pause, least + (mask & random(c, 127)));
    return;
  }
  scenery(c, c.rom.signedWordAt(r + 4), c.rom.signedWordAt(r + 6), c.rom.signedWordAt(r + 8) + frame, 0, 0);
}

}  // namespace

void shorePassageOpen(Context& c) {
  if (c.state.flag_82da != 0) clearCells(c, {{88, 0xC0}, {89, 0x03}, {91, 0xC0}, {92, 0x03}, {94, 0xC0}, {95, 0x03}});
}

void shoreSequence(Context& c) {
  GameState& s = c.state;
  theCatch(c);
  shorePassageOpen(c);
  if (s.flag_82da == 0)
    for (std::size_t k = 0; k < 4; ++k) bird(c, k);
}

}  // namespace sim::areas
