// The waiting screens of the game: event messages, the inventory, the lives
// counter and the game over sign. Each takes one W tick per frame.
#include "sim/screens/screens.h"

#include <algorithm>

#include "sim/areas/areas.h"
#include "sim/cartridge.h"
#include "sim/core/big_endian.h"
#include "sim/core/records.h"
#include "sim/front/front.h"
#include "sim/hero/hero.h"
#include "sim/pad.h"
#include "sim/rom_view.h"

namespace sim::screens {

namespace {

// Tools' mode: the screen runs to its end inside the call, reading no pad.
void runToolsScreen(Context& c) {
  GameState& s = c.state;
  if (s.screen_kind == kLivesScreen) {
    for (std::int64_t i = 1; i <= c.livesFrames; ++i) {
      s.lives_wait = std::min<std::int64_t>(i - 1, 50);
      s.lives_after = std::max<std::int64_t>(0, i - (c.livesFrames - 70));
      screenFrame(c);
    }
  } else if (s.screen_kind != kGameOverScreen) {
    for (std::int64_t i = 1; i < c.eventFrames; ++i) screenFrame(c);
  }
  endScreen(c);
}

// Every 6 frames each block's last word moves to the front.
void rotateWords(std::vector<std::uint8_t>& block) {
  std::rotate(block.rbegin(), block.rbegin() + 2, block.rend());
}

}  // namespace

void showScreen(Context& c, int kind, std::int64_t value) {
  GameState& s = c.state;
  s.screen_kind = kind;
  s.screen_event = value;
  s.screen_frame = 0;
  switch (kind) {
    case kEventScreen: {
      Screen screen;
      screen.event = value;
      screen.area = s.area;
      screen.language = s.language;
      c.screens.push_back(std::move(screen));
      c.fadeVBlanks += 20;
      break;
    }
    case kInventoryScreen: {
      Screen screen;
      screen.area = s.area;
      screen.language = s.language;
      for (std::size_t i = 0; i < 3; ++i) screen.held[i] = be::word(s.inventory, rec::kInvCarried + 2 * i);
      c.screens.push_back(std::move(screen));
      requestSound(c, kSoundPause);
      c.fadeVBlanks += 20;
      break;
    }
    case kLivesScreen: {
      s.lives_music = s.music;
      requestMusic(c, 7);
      hero::resetHeroAndEnergy(c);
      s.lives_after = 0;
      s.lives_wait = 0;
      Screen screen;
      screen.area = s.area;
      screen.language = s.language;
      screen.lives_flag = 1;
      screen.stars = s.stars_left;
      screen.snapshot = std::make_shared<const GameState>(s);
      c.screens.push_back(std::move(screen));
      break;
    }
    case kGameOverScreen:
      // The caller has appended its Screen.
      c.fadeVBlanks += 10;
      break;
  }
  screenFrame(c);
  if (c.suspendMode) throw Suspend{};
  runToolsScreen(c);
}

void screenFrame(Context& c) {
  GameState& s = c.state;
  const RomView& rom = c.rom;
  const std::int64_t f = s.screen_frame;
  switch (s.screen_kind) {
    case kGameOverScreen:
      front::gameOverFrame(c, f == 0);
      break;
    case kLivesScreen: {
      if (f > 0) {
        if (--s.hazard_phase_timer < 0) {
          s.hazard_phase_timer = 5;
          rotateWords(s.hazard_phases);
        }
        if (--s.star_phase_timer < 0) {
          s.star_phase_timer = 5;
          rotateWords(s.star_phases);
        }
        hero::heroAnimationStep(c);
      }
      const auto first = static_cast<std::uint32_t>(firstBankFrames(c, cart::kLivesBankList));
      beginFrame(c);
      const auto starFrame = static_cast<std::uint32_t>(static_cast<std::uint16_t>(be::word(s.star_phases, 0)));
      addSprite(c, 264, 204, 0, 0, 0x004098);
      addSprite(c, 290, 216, first + 1, 0, 0x0040AC);
      addSprite(c, 256, 234, starFrame, 0, 0x0040DA);
      addSprite(c, 279, 240, first + 1, 0, 0x0040EE);
      addSprite(c, 273, 252, first, 0, 0x004100);
      break;
    }
    case kEventScreen: {
      const std::uint32_t entry = rom.longAt(cart::kEventRecords + 4 * static_cast<std::uint32_t>(s.screen_event));
      const auto first = static_cast<std::uint32_t>(firstBankFrames(c, rom.longAt(entry + 4)));
      beginFrame(c);
      hero::energyBar(c);
      if (s.screen_event == 21 && f > 0) {
        // The idle reminder's arrows wobble.
        s.hint_phase = (s.hint_phase + 2) & 0x3E;
        const std::int64_t w = rom.signedWordAt(cart::kHintWobble + static_cast<std::uint32_t>(s.hint_phase));
        const std::int64_t g = s.language != 0 ? 3 : 0;
        addSprite(c, 293, static_cast<std::uint32_t>((w - g + 232) & 0xFFFF), first + 1, 0, entry);
        addSprite(c, 303, static_cast<std::uint32_t>((g - w + 196) & 0xFFFF), first + 1, 2, entry);
      }
      for (std::uint32_t at = entry + 10; at < entry + 512; at += 6) {
        if (rom.wordAt(at) == 0xFFFF) break;
        const std::int64_t x = rom.signedWordAt(at), y = rom.signedWordAt(at + 2);
        const std::int64_t frame = first + rom.signedWordAt(at + 4);
        addSprite(c, static_cast<std::uint32_t>(x & 0xFFFF), static_cast<std::uint32_t>(y & 0xFFFF),
                  static_cast<std::uint32_t>(frame & 0xFFFF), 0, entry);
      }
      break;
    }
    case kInventoryScreen: {
      const auto first = static_cast<std::uint32_t>(firstBankFrames(c, cart::kCommonBank));
      beginFrame(c);
      hero::energyBar(c);
      const std::uint32_t ys[3] = {192, 232, 272};
      for (std::uint32_t i = 0; i < 3; ++i) {
        if (be::word(s.inventory, rec::kInvCarried + 2 * i) >= 0)
          addSprite(c, 176, ys[i], first + i, 0, cart::kCommonBank);
      }
      break;
    }
    default:
      break;
  }
  if (!c.screens.empty()) {
    Screen& screen = c.screens.back();
    screen.frames.push_back(c.frameSprites);
    if (s.screen_kind == kLivesScreen)
      screen.lives_frames.push_back({s.lives_after == 0 ? s.lives + 1 : s.lives, s.sprite_frame, s.expression});
  }
  s.screen_frame += 1;
}

bool screenEnds(Context& c, std::uint8_t pad) {
  GameState& s = c.state;
  switch (s.screen_kind) {
    case kEventScreen:
    case kInventoryScreen:
      return (pad & kPadButtons) != 0;
    case kLivesScreen:
      if (s.lives_wait < 50) {
        ++s.lives_wait;
        return false;
      }
      if (s.lives_after == 0) {
        if (pad >= kPadB) s.lives_after = 1;  // any of B, C, A and START
        return false;
      }
      ++s.lives_after;
      return s.lives_after >= 70;
    case kGameOverScreen:
      return s.go_phase == 2 && s.go_timer == 0;
    default:
      return true;
  }
}

void endScreen(Context& c) {
  GameState& s = c.state;
  const std::int64_t kind = s.screen_kind;
  s.screen_kind = kNoScreen;
  switch (kind) {
    case kGameOverScreen:
      c.fadeVBlanks += 10;
      c.endMessage = "game over";
      break;
    case kLivesScreen:
      requestMusic(c, s.lives_music);
      break;
    case kEventScreen:
      c.fadeVBlanks += 20;
      areas::loadArea(c, s.area);
      areas::updateCamera(c);
      areas::enterArea(c);
      break;
    case kInventoryScreen: {
      c.fadeVBlanks += 20;
      requestSound(c, kSoundResume);
      // The actors keep their state across the inventory screen.
      std::vector<std::uint8_t> keep = s.actors;
      areas::loadArea(c, s.area);
      s.actors = std::move(keep);
      areas::updateCamera(c);
      areas::enterArea(c);
      break;
    }
    default:
      break;
  }
}

void beginGameOver(Context& c) {
  GameState& s = c.state;
  requestMusic(c, 5);
  if (!c.suspendMode) {
    c.endMessage = "game over";
    return;
  }
  Screen screen;
  screen.area = s.area;
  screen.language = s.language;
  screen.over_flag = 1;
  c.screens.push_back(std::move(screen));
  // The sign's routine reads these as signed 16.16 values from their low 32 bits.
  s.go_phase = 0;
  s.go_timer = 0;
  s.go_x = 0x1E40000;
  s.go_y = 0xA30000;
  s.go_sx = s.go_sy = 0x80000;
  s.go_vx = 0xFFFCC000;
  s.go_vy = 0xFFFF2000;
  s.go_x2 = 128;
  s.go_y2 = 248;
  s.go_sx2 = s.go_sy2 = 8;
  showScreen(c, kGameOverScreen, 0);
}

}  // namespace sim::screens
