#pragma once
// The pad byte from the keyboard and any number of game controllers, the program's own commands sorted out of
// key and button events, and controllers opened and closed as they come and go.

#include <SDL.h>

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "ui/bindings.h"

namespace app {

// What classify() makes of an event.
enum InputCommand : int {
  kCommandNone = 0,
  kCommandQuickSave = 1,
  kCommandQuickLoad = 2,
  kCommandScreenshot = 3,
  kCommandMenu = 4
};

// What menuCommand() and menuRepeat() make of the input.
enum MenuCommand : int {
  kMenuNone = 0,
  kMenuUp = 1,
  kMenuDown = 2,
  kMenuLeft = 3,
  kMenuRight = 4,
  kMenuConfirm = 5,
  kMenuBack = 6,
  kMenuStart = 7
};

// The state of one controller at a moment, as far as the pad byte and menu directions need it.
struct ControllerSnapshot {
  std::uint32_t buttons = 0;  // bit n = button n held
  std::int16_t stickX = 0;
  std::int16_t stickY = 0;
  bool held(std::int32_t button) const { return button >= 0 && button < 32 && (buttons >> button & 1u); }
};

// The pad byte for a keyboard state (indexed by scancode) and controller states.
std::uint8_t computePadState(const Bindings& bindings, std::span<const std::uint8_t> keyboard,
                             std::span<const ControllerSnapshot> controllers, bool startCounts);

// The menu direction held now (kMenuUp .. kMenuRight or 0), and whether a stick is beyond its dead zone.
struct MenuDirection {
  int direction = kMenuNone;
  bool arrowKey = false;
  bool stick = false;
};
MenuDirection computeMenuDirection(std::span<const std::uint8_t> keyboard,
                                   std::span<const ControllerSnapshot> controllers);

class Input {
 public:
  Input();
  ~Input();
  Input(const Input&) = delete;
  Input& operator=(const Input&) = delete;

  Bindings bindings;

  std::uint8_t padState(bool startCounts) const;
  std::uint8_t padByte(bool startCounts);
  void holdCurrent();

  int classify(const SDL_Event& event, bool inFrontEnd);
  int menuCommand(const SDL_Event& event) const;
  int menuRepeat();

  std::optional<std::int32_t> boundKey(const SDL_Event& event) const;
  std::optional<std::int32_t> boundButton(const SDL_Event& event) const;

  // Closes every controller (the play loop calls it when it ends; the destructor does it too).
  void closeControllers();
  std::size_t controllerCount() const { return controllers_.size(); }

  // The pad byte with the held mask applied: bits held since holdCurrent() stay off until let go.
  std::uint8_t releaseHeld(std::uint8_t state);
  // holdCurrent() for a given pad state.
  void holdState(std::uint8_t state) { heldMask_ = state; }
  // One V-blank of the menu's own key repeat, for a direction read now.
  int repeatStep(const MenuDirection& now);

 private:
  std::vector<ControllerSnapshot> snapshots() const;

  std::vector<SDL_GameController*> controllers_;
  std::int32_t repeatDirection_ = 0;
  std::int32_t repeatCount_ = 0;
  std::uint8_t heldMask_ = 0;
};

}  // namespace app
