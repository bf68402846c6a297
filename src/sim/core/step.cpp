// The step and its tick kinds, the game step and its stages.
#include "sim/core/step.h"

#include <algorithm>
#include <array>
#include <string>

#include "sim/areas/areas.h"
#include "sim/core/ram.h"
#include "sim/front/front.h"
#include "sim/hero/hero.h"
#include "sim/pad.h"
#include "sim/screens/screens.h"
#include "sim/subgames/subgames.h"
#include "sim/things/things.h"

namespace sim {

namespace {

// Stage after a screen begun in stage s has ended; 0 = nothing to resume.
int nextStage(std::int64_t s) {
  if (s == 7) return 0;
  if (s == 10) return 3;
  return static_cast<int>(s) + 1;
}

// --- the stages: each returns true when the run of stages ends with it ---

// Stage 1: the respawn after a lost life.
bool respawn(Context& c, std::uint8_t) {
  GameState& s = c.state;
  if (s.respawn_pending == 0) return false;
  s.respawn_pending = 0;
  const std::int64_t X = static_cast<std::int16_t>(s.restart_x);
  areas::respawnAt(c, s.restart_area, X * 65536, s.restart_y * 65536);
  return false;
}

// Stage 2: the subgame entry.
bool subgameEntry(Context& c, std::uint8_t) {
  if (!c.endMessage.empty()) return true;
  if (c.state.mode == 0) return false;
  if (!c.subgameHook) {
    subgames::enterSubgame(c);
    throw Suspend{};  // the subgame's frames follow as G ticks
  }
  subgames::resolveSubgameWithHook(c);
  return !c.endMessage.empty();
}

// Stage 3: all stars collected.
bool allStars(Context& c, std::uint8_t) {
  GameState& s = c.state;
  if (s.flag_82fa == 0 && s.stars_left == 0) {
    s.flag_82fa = 255;
    s.event = 14;
  }
  return false;
}

// Stage 4.
bool inventoryButton(Context& c, std::uint8_t pad) {
  things::inventoryButton(c, pad);
  return false;
}

// Stages 5 and 10: a pending event's screen.
bool pendingEvent(Context& c, std::uint8_t) {
  GameState& s = c.state;
  if (s.event != 0) {
    const std::int64_t e = s.event;
    s.event = 0;
    screens::showScreen(c, kEventScreen, e);
  }
  return false;
}

// Stage 6: the idle reminder.
bool idleTimer(Context& c, std::uint8_t) {
  GameState& s = c.state;
  if (s.flag_8309 != 0) return false;
  s.idle_timer = (s.idle_timer + 1) & 0xFFFF;
  bool raised = false;
  if (s.flag_830a == 0) {
    if (s.idle_timer == 10800) {
      raised = true;
    } else if (s.idle_timer == 18000) {
      raised = true;
      s.idle_timer = 0;
      s.flag_830a = 255;
    }
  } else if (s.idle_timer == 3600) {
    raised = true;
    s.idle_timer = 0;
  }
  if (raised) {
    // The reminder is shown at once.
    s.event = 0;
    screens::showScreen(c, kEventScreen, 21);
  }
  return false;
}

// Stage 7: the pause check ends the step.
bool pauseCheck(Context& c, std::uint8_t pad) {
  stagePause(c, pad);
  return true;
}

// Stage 8: the loss of a subgame.
bool subgameLoss(Context& c, std::uint8_t) {
  subgames::subgameLoss(c);
  return !c.endMessage.empty();
}

// Stage 9: the return from a subgame.
bool subgameReturn(Context& c, std::uint8_t) {
  subgames::subgameReturn(c);
  return !c.endMessage.empty();
}

// Stage s (1 to 10). A switch rather than a table of pointers: the step runs
// seven stages, and the compiler inlines the small ones here.
bool runStage(Context& c, int stage, std::uint8_t pad) {
  switch (stage) {
    case 1:
      return respawn(c, pad);
    case 2:
      return subgameEntry(c, pad);
    case 3:
      return allStars(c, pad);
    case 4:
      return inventoryButton(c, pad);
    case 5:
      return pendingEvent(c, pad);
    case 6:
      return idleTimer(c, pad);
    case 7:
      return pauseCheck(c, pad);
    case 8:
      return subgameLoss(c, pad);
    case 9:
      return subgameReturn(c, pad);
    case 10:
      return pendingEvent(c, pad);
  }
  stopWith(c, "a step stage " + std::to_string(stage));
}

// The front end's frame.
void frontTick(Context& c, std::uint8_t pad) {
  c.stepSprites.clear();
  runGuarded(c, [&] { front::frontEndFrame(c, pad); });
}

// A frame of a waiting screen that a subgame raised.
void subgameScreenTick(Context& c, std::uint8_t pad) {
  runGuarded(c, [&] {
    c.stepSprites.clear();
    c.stepPad = pad;
    screens::screenFrame(c);
    if (screens::screenEnds(c, pad)) {
      screens::endScreen(c);
      subgames::subgameAfterScreen(c);
      if (subRamByte(c, kSubPauseGuard) == 0) stagePause(c, pad);
    }
  });
}

// A G tick: the subgame's frame, and its end.
void subgameTick(Context& c, std::uint8_t pad, std::int64_t tick) {
  GameState& s = c.state;
  c.suspendMode = true;
  std::string result;
  runGuarded(c, [&] { result = subgames::subgameFrame(c, s.mode, pad, tick); });
  s.w910c = subRamWord(c, kSubWord910C);
  if (!result.empty() && c.stopMessage.empty()) runGuarded(c, [&] { subgames::leaveSubgame(c, pad); });
}

// A W tick: the waiting screen's frame; when it ends, the interrupted step's stages go on.
void screenTick(Context& c, std::uint8_t pad) {
  GameState& s = c.state;
  clearMessages(c);
  c.stepSprites.clear();
  c.suspendMode = true;
  c.stepPad = pad;
  runGuarded(c, [&] {
    screens::screenFrame(c);
    if (screens::screenEnds(c, pad)) {
      const std::int64_t kind = s.screen_kind;
      screens::endScreen(c);
      if (kind != kGameOverScreen) {
        if (int next = nextStage(s.step_stage); next != 0) runStages(c, next, pad);
      }
    }
  });
}

}  // namespace

void step(Context& c, std::uint8_t pad, std::int64_t tick) {
  c.fadeVBlanks = 0;
  c.tickNumber = tick;
  c.stopMessage.clear();  // a stop is reported once; the host stops stepping
  const GameState& s = c.state;
  if (s.front != 0) {
    frontTick(c, pad);
  } else if (s.in_subgame != 0 && s.screen_kind != 0) {
    subgameScreenTick(c, pad);
  } else if (s.in_subgame != 0) {
    subgameTick(c, pad, tick);
  } else if (s.screen_kind == 0) {
    c.eventFrames = c.livesFrames = -1;
    c.subgameHook = nullptr;
    runGameStep(c, pad);
    return;  // the game step makes its own missing-table check
  } else {
    screenTick(c, pad);
  }
  missingTableCheck(c);
}

void runGameStep(Context& c, std::uint8_t pad) {
  clearMessages(c);
  c.suspendMode = c.eventFrames == -1;
  c.stepPad = pad;
  c.stepSprites.clear();
  c.screens.clear();
  GameState& s = c.state;
  runGuarded(c, [&] {
    areas::updateCamera(c);
    areas::animatedBlockCheck(c);
    random(c, 127);  // the console draws once per frame
    things::carriedObjectFlags(c);
    things::rainTimer(c);
    if (!hero::heroFrozen(c)) hero::heroControl(c);
    beginFrame(c);
    c.stepPad = areas::doorRule(c, pad);

    things::bAction(c);
    things::objectUseRoutines(c);
    areas::exitCheck(c);
    things::fallingEffects(c);
    things::starCountDisplay(c);
    hero::energyBar(c);
    areas::area6Lamp(c);
    hero::heroAnimationAndSprite(c);
    s.expression = 0;
    things::rain(c);
    things::objectsHere(c);
    things::sparkles(c);
    std::fill(s.platforms.begin(), s.platforms.end(), 0);
    areas::runAreaHandler(c);
    things::itemsAndHazards(c);
    things::actors(c);
    areas::paletteVariantTimer(c);

    hero::waterAndEnergy(c);
    s.step_stage = 0;
    hero::deathCheck(c);
    if (c.endMessage.empty()) runStages(c, 1, pad);
  });
  if (!c.stopMessage.empty()) return;
  missingTableCheck(c);
}

void runStages(Context& c, int stage, std::uint8_t pad) {
  GameState& s = c.state;
  for (;;) {
    if (stage < 1 || stage > 10) stopWith(c, "a step stage " + std::to_string(stage));
    s.step_stage = stage;
    if (runStage(c, stage, pad)) {
      s.step_stage = 0;
      return;
    }
    stage = stage == 7 ? 0 : stage == 10 ? 3 : stage + 1;
  }
}

bool stagePause(Context& c, std::uint8_t pad) {
  GameState& s = c.state;
  const std::int64_t limit = s.refresh_hz == 60 ? 90 : 75;
  if (s.pause_delay < limit) ++s.pause_delay;
  if (s.pause_delay >= limit && (pad & kPadStart) != 0) {
    // The pause itself is the host's menu, opened by the same press.
    s.pause_delay = 0;
    requestSound(c, kSoundPause);
    requestSound(c, kSoundResume);
    return true;
  }
  return false;
}

}  // namespace sim
