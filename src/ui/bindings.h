#pragma once
// The eleven rebindable actions, their keys and controller buttons, the binding rules and their names.
// The mapping pages of the pause menu change them; the play loop's input reads the pad through them.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "sim/pad.h"

namespace app {

inline constexpr int kActionCount = 11;

// Action indices (stored in the settings file under their settings keys).
enum Action : int {
  kMoveLeft = 0,
  kMoveRight = 1,
  kMoveUp = 2,
  kMoveDown = 3,
  kJump = 4,
  kInventory = 5,
  kUse = 6,
  kStart = 7,
  kQuickSave = 8,
  kQuickLoad = 9,
  kScreenshot = 10,
};

// Bits of the console pad byte (1 = pressed).
using sim::kPadA, sim::kPadB, sim::kPadC, sim::kPadDown, sim::kPadLeft, sim::kPadRight, sim::kPadStart, sim::kPadUp;

// Controller button numbers as SDL numbers them.
inline constexpr std::int32_t kButtonNone = -1, kButtonA = 0, kButtonB = 1, kButtonX = 2, kButtonBack = 4,
                              kButtonStart = 6, kButtonDpadUp = 11, kButtonDpadDown = 12, kButtonDpadLeft = 13,
                              kButtonDpadRight = 14;

struct Bindings {
  std::array<std::array<std::int32_t, 2>, kActionCount> keys{};  // SDL scancodes, 0 = none
  std::array<std::int32_t, kActionCount> buttons{};              // controller buttons, -1 = none; movement has none
};

Bindings defaultBindings();

// The settings key ("move_left" ... "screenshot"); empty for an index out of range.
const char* actionSettingsKey(int action);
// The pad bit of an action; 0 for the program's own actions (8 to 10).
std::uint8_t actionPadBit(int action);

bool isReservedKey(std::int32_t scancode);
bool isReservedButton(std::int32_t button);

// Gives the action the key alone; an action that held it takes this action's previous first key.
// Refused for reserved keys.
bool bindKey(Bindings& bindings, int action, std::int32_t scancode);
// Gives the action the button; an action that held it takes this action's previous button. Refused for
// reserved buttons and for the movement actions.
bool bindButton(Bindings& bindings, int action, std::int32_t button);

std::optional<int> keyOwner(const Bindings& bindings, std::int32_t scancode, int exceptAction);
std::optional<int> buttonOwner(const Bindings& bindings, std::int32_t button, int exceptAction);

// "None" for 0, SDL's name, or "?" for a key SDL does not name.
std::string keyName(std::int32_t scancode);
// "None", one key name, or both joined by " / ".
std::string bindingText(const Bindings& bindings, int action);
std::string buttonName(std::int32_t button);
// Language 0 English, 1 French, 2 German, 3 Spanish, 4 Italian; any other counts as English.
std::string actionName(int action, int language);

}  // namespace app
