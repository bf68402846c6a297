#include "app/input.h"

#include "base/log.h"

namespace app {
namespace {

constexpr int kStickThreshold = 16000;

bool keyDown(std::span<const std::uint8_t> keyboard, std::int32_t scancode) {
  return scancode > 0 && static_cast<std::size_t>(scancode) < keyboard.size() && keyboard[scancode] != 0;
}

std::span<const std::uint8_t> liveKeyboard() {
  int count = 0;
  const Uint8* state = SDL_GetKeyboardState(&count);
  if (!state) return {};
  return {state, static_cast<std::size_t>(count)};
}

bool isKeyDown(const SDL_Event& event) {
  return event.type == SDL_KEYDOWN && !event.key.repeat;
}

}  // namespace

std::uint8_t computePadState(const Bindings& bindings, std::span<const std::uint8_t> keyboard,
                             std::span<const ControllerSnapshot> controllers, bool startCounts) {
  std::uint8_t pad = 0;
  for (int action = 0; action < kActionCount; ++action) {
    for (std::int32_t key : bindings.keys[action]) {
      if (key != 0 && keyDown(keyboard, key)) pad |= actionPadBit(action);
    }
  }
  for (const ControllerSnapshot& c : controllers) {
    if (c.held(kButtonDpadUp) || c.stickY < -kStickThreshold) pad |= kPadUp;
    if (c.held(kButtonDpadDown) || c.stickY > kStickThreshold) pad |= kPadDown;
    if (c.held(kButtonDpadLeft) || c.stickX < -kStickThreshold) pad |= kPadLeft;
    if (c.held(kButtonDpadRight) || c.stickX > kStickThreshold) pad |= kPadRight;
    for (int action = 0; action < kActionCount; ++action) {
      if (bindings.buttons[action] != kButtonNone && c.held(bindings.buttons[action])) pad |= actionPadBit(action);
    }
    if (startCounts && c.held(kButtonStart)) pad |= kPadStart;
  }
  return pad;
}

MenuDirection computeMenuDirection(std::span<const std::uint8_t> keyboard,
                                   std::span<const ControllerSnapshot> controllers) {
  struct Way {
    int direction;
    SDL_Scancode key;
    std::int32_t button;
    bool (*stick)(const ControllerSnapshot&);
  };
  static const Way kWays[] = {
      {kMenuUp, SDL_SCANCODE_UP, kButtonDpadUp,
       [](const ControllerSnapshot& c) { return c.stickY < -kStickThreshold; }},
      {kMenuDown, SDL_SCANCODE_DOWN, kButtonDpadDown,
       [](const ControllerSnapshot& c) { return c.stickY > kStickThreshold; }},
      {kMenuLeft, SDL_SCANCODE_LEFT, kButtonDpadLeft,
       [](const ControllerSnapshot& c) { return c.stickX < -kStickThreshold; }},
      {kMenuRight, SDL_SCANCODE_RIGHT, kButtonDpadRight,
       [](const ControllerSnapshot& c) { return c.stickX > kStickThreshold; }},
  };
  MenuDirection result;
  for (const Way& way : kWays) {
    bool held = keyDown(keyboard, way.key);
    for (const ControllerSnapshot& c : controllers) held = held || c.held(way.button) || way.stick(c);
    if (held) {
      result.direction = way.direction;
      break;
    }
  }
  for (const Way& way : kWays) result.arrowKey = result.arrowKey || keyDown(keyboard, way.key);
  for (const ControllerSnapshot& c : controllers) {
    if (c.stickX > kStickThreshold || c.stickX < -kStickThreshold || c.stickY > kStickThreshold ||
        c.stickY < -kStickThreshold) {
      result.stick = true;
    }
  }
  return result;
}

Input::Input() : bindings(defaultBindings()) {}

Input::~Input() {
  closeControllers();
}

void Input::closeControllers() {
  for (SDL_GameController* controller : controllers_) SDL_GameControllerClose(controller);
  controllers_.clear();
}

std::vector<ControllerSnapshot> Input::snapshots() const {
  std::vector<ControllerSnapshot> result;
  result.reserve(controllers_.size());
  for (SDL_GameController* controller : controllers_) {
    ControllerSnapshot s;
    for (int button = 0; button < SDL_CONTROLLER_BUTTON_MAX && button < 32; ++button) {
      if (SDL_GameControllerGetButton(controller, static_cast<SDL_GameControllerButton>(button))) {
        s.buttons |= 1u << button;
      }
    }
    s.stickX = SDL_GameControllerGetAxis(controller, SDL_CONTROLLER_AXIS_LEFTX);
    s.stickY = SDL_GameControllerGetAxis(controller, SDL_CONTROLLER_AXIS_LEFTY);
    result.push_back(s);
  }
  return result;
}

std::uint8_t Input::padState(bool startCounts) const {
  return computePadState(bindings, liveKeyboard(), snapshots(), startCounts);
}

std::uint8_t Input::releaseHeld(std::uint8_t state) {
  const std::uint8_t result = state & static_cast<std::uint8_t>(~heldMask_);
  heldMask_ &= state;
  return result;
}

std::uint8_t Input::padByte(bool startCounts) {
  return releaseHeld(padState(startCounts));
}

void Input::holdCurrent() {
  holdState(padState(true));
}

int Input::classify(const SDL_Event& event, bool inFrontEnd) {
  if (isKeyDown(event)) {
    const std::int32_t key = event.key.keysym.scancode;
    if (key == SDL_SCANCODE_ESCAPE) return kCommandMenu;
    if (key == 0) return kCommandNone;
    auto holds = [&](int action) { return bindings.keys[action][0] == key || bindings.keys[action][1] == key; };
    if (holds(kScreenshot)) return kCommandScreenshot;
    if (holds(kQuickSave)) return kCommandQuickSave;
    if (holds(kQuickLoad)) return kCommandQuickLoad;
    return kCommandNone;
  }
  if (event.type == SDL_CONTROLLERBUTTONDOWN) {
    const std::int32_t button = event.cbutton.button;
    if (button == kButtonStart && !inFrontEnd) return kCommandMenu;
    if (bindings.buttons[kQuickSave] == button) return kCommandQuickSave;
    if (bindings.buttons[kQuickLoad] == button) return kCommandQuickLoad;
    if (bindings.buttons[kScreenshot] == button) return kCommandScreenshot;
    return kCommandNone;
  }
  if (event.type == SDL_CONTROLLERDEVICEADDED) {
    const int deviceIndex = event.cdevice.which;
    if (!SDL_IsGameController(deviceIndex)) return kCommandNone;
    const SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(deviceIndex);
    for (SDL_GameController* open : controllers_) {
      if (SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(open)) == id) return kCommandNone;
    }
    SDL_GameController* controller = SDL_GameControllerOpen(deviceIndex);
    if (!controller) return kCommandNone;  // skipped silently
    controllers_.push_back(controller);
    const char* name = SDL_GameControllerName(controller);
    logMessage(kInfo, "game controller: %s", name ? name : "(unnamed)");
    return kCommandNone;
  }
  if (event.type == SDL_CONTROLLERDEVICEREMOVED) {
    const SDL_JoystickID id = event.cdevice.which;
    std::erase_if(controllers_, [id](SDL_GameController* controller) {
      if (SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller)) != id) return false;
      SDL_GameControllerClose(controller);
      return true;
    });
    return kCommandNone;
  }
  return kCommandNone;
}

int Input::menuCommand(const SDL_Event& event) const {
  if (isKeyDown(event)) {
    switch (event.key.keysym.scancode) {
      case SDL_SCANCODE_RETURN:
      case SDL_SCANCODE_KP_ENTER:
        // Alt+Return toggles full screen instead.
        return (event.key.keysym.mod & KMOD_ALT) ? kMenuNone : kMenuConfirm;
      case SDL_SCANCODE_ESCAPE:
        return kMenuBack;
      case SDL_SCANCODE_RIGHT:
        return kMenuRight;
      case SDL_SCANCODE_LEFT:
        return kMenuLeft;
      case SDL_SCANCODE_DOWN:
        return kMenuDown;
      case SDL_SCANCODE_UP:
        return kMenuUp;
      default:
        return kMenuNone;
    }
  }
  if (event.type == SDL_CONTROLLERBUTTONDOWN) {
    switch (event.cbutton.button) {
      case kButtonA:
        return kMenuConfirm;
      case kButtonB:
        return kMenuBack;
      case kButtonStart:
        return kMenuStart;
      case kButtonDpadUp:
        return kMenuUp;
      case kButtonDpadDown:
        return kMenuDown;
      case kButtonDpadLeft:
        return kMenuLeft;
      case kButtonDpadRight:
        return kMenuRight;
      default:
        return kMenuNone;
    }
  }
  return kMenuNone;
}

int Input::repeatStep(const MenuDirection& now) {
  if (now.direction != repeatDirection_) {
    repeatDirection_ = now.direction;
    repeatCount_ = 0;
    // Keys and D-pad buttons send their own first event; a stick does not, so its first step comes from here.
    return (!now.arrowKey && now.stick) ? now.direction : kMenuNone;
  }
  if (now.direction == kMenuNone) return kMenuNone;
  ++repeatCount_;
  // The first repeat after 15 V-blanks, then one every 4.
  if (repeatCount_ >= 15 && (repeatCount_ - 15) % 4 == 0) return now.direction;
  return kMenuNone;
}

int Input::menuRepeat() {
  return repeatStep(computeMenuDirection(liveKeyboard(), snapshots()));
}

std::optional<std::int32_t> Input::boundKey(const SDL_Event& event) const {
  if (isKeyDown(event)) return static_cast<std::int32_t>(event.key.keysym.scancode);
  return std::nullopt;
}

std::optional<std::int32_t> Input::boundButton(const SDL_Event& event) const {
  if (event.type == SDL_CONTROLLERBUTTONDOWN) return static_cast<std::int32_t>(event.cbutton.button);
  return std::nullopt;
}

}  // namespace app
