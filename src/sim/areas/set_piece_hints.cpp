// Grovanta Green (area 21): arrows and the button picture that teach a new player to climb out of the
// first room, until any door has opened.
#include "sim/areas/set_pieces.h"
#include "sim/cartridge.h"
#include "sim/rom_view.h"

namespace sim::areas {

namespace {

constexpr std::int64_t kButtonFrame = 4, kArrowFrame = 5;
constexpr std::int64_t kLongWait = 600, kShortWait = 30;

// An arrow at sprite x a + 128 and y b plus the bob; none when it lies off the screen's right.
void hint(Context& c, std::int64_t a, std::int64_t b) {
  GameState& s = c.state;
  if (static_cast<std::uint16_t>(a + 16) > 336) return;
  s.hint_phase = (s.hint_phase + 2) & 0x3E;
  const std::int64_t w = c.rom.signedWordAt(cart::kHintWobble + static_cast<std::uint32_t>(s.hint_phase));
  addSprite(c, static_cast<std::uint32_t>(a + 128) & 0xFFFF, static_cast<std::uint32_t>(b + w) & 0xFFFF,
            static_cast<std::uint32_t>(bankFrames(c) + kArrowFrame), 0, 0x005BA6);
}

void button(Context& c) {
  addSprite(c, 168, 256, static_cast<std::uint32_t>(bankFrames(c) + kButtonFrame), 0, 0x005BA6);
}

}  // namespace

void greenHints(Context& c) {
  GameState& s = c.state;
  if (s.flag_82fc != 0) return;
  if (s.hint_timer < kLongWait) s.hint_timer += 1;
  const std::int64_t X = heroX(s), Y = heroY(s);
  if (s.flag_82fd == 0) {
    if (heroInside(s, {106, 44, 20, 8})) {
      s.flag_82fd = 255;
      s.hint_timer = 0;
    } else if (s.hint_timer >= kLongWait) {
      hint(c, 105 - s.camera_x, 182);
    }
  } else if (s.flag_82fe == 0) {
    if (s.hint_timer >= kShortWait && X < 195 && Y < 33) {
      hint(c, 103, 294);
      button(c);
    }
  } else if (s.flag_82ff == 0) {
    if (Y >= 111) {
      s.flag_82ff = 255;
      s.hint_timer = 0;
    } else {
      hint(c, 93, 298);
      button(c);
    }
  } else if (s.hint_timer >= kLongWait) {
    hint(c, 417 - s.camera_x, 301);
  }
}

}  // namespace sim::areas
