#include "ui/bindings.h"

#include <SDL.h>

namespace app {
namespace {

struct ActionInfo {
  const char* settingsKey;
  std::uint8_t padBit;
  std::array<const char*, 5> names;  // English, French, German, Spanish, Italian
};

const ActionInfo kActions[kActionCount] = {
    {"move_left", kPadLeft, {"Move Left", "Gauche", "Links", "Izquierda", "Sinistra"}},
    {"move_right", kPadRight, {"Move Right", "Droite", "Rechts", "Derecha", "Destra"}},
    {"move_up", kPadUp, {"Move Up", "Haut", "Hoch", "Arriba", "Su"}},
    {"move_down", kPadDown, {"Move Down", "Bas", "Runter", "Abajo", "Gi\u00f9"}},
    {"jump", kPadC, {"Jump", "Sauter", "Springen", "Saltar", "Salta"}},
    {"inventory", kPadA, {"Inventory", "Inventaire", "Inventar", "Inventario", "Inventario"}},
    {"use", kPadB, {"Use / Drop", "Utiliser / Poser", "Nehmen / Ablegen", "Usar / Soltar", "Usa / Lascia"}},
    {"start", kPadStart, {"Start", "Start", "Start", "Start", "Start"}},
    {"quick_save", 0, {"Quick Save", "Sauver Vite", "Schnell speichern", "Guardado R\u00e1pido", "Salva Rapido"}},
    {"quick_load", 0, {"Quick Load", "Charger Vite", "Schnell laden", "Carga R\u00e1pida", "Carica Rapido"}},
    {"screenshot", 0, {"Screenshot", "Capture", "Bildschirmfoto", "Captura", "Screenshot"}},
};

bool validAction(int action) {
  return action >= 0 && action < kActionCount;
}

}  // namespace

Bindings defaultBindings() {
  Bindings b;
  b.keys = {{{SDL_SCANCODE_LEFT, 0},
             {SDL_SCANCODE_RIGHT, 0},
             {SDL_SCANCODE_UP, 0},
             {SDL_SCANCODE_DOWN, 0},
             {SDL_SCANCODE_SPACE, SDL_SCANCODE_C},
             {SDL_SCANCODE_Z, 0},
             {SDL_SCANCODE_X, 0},
             {SDL_SCANCODE_RETURN, 0},
             {SDL_SCANCODE_F5, 0},
             {SDL_SCANCODE_F8, 0},
             {SDL_SCANCODE_F1, 0}}};
  b.buttons = {kButtonNone, kButtonNone, kButtonNone, kButtonNone, kButtonA,   kButtonX,
               kButtonB,    kButtonBack, kButtonNone, kButtonNone, kButtonNone};
  return b;
}

const char* actionSettingsKey(int action) {
  return validAction(action) ? kActions[action].settingsKey : "";
}

std::uint8_t actionPadBit(int action) {
  return validAction(action) ? kActions[action].padBit : 0;
}

bool isReservedKey(std::int32_t scancode) {
  return scancode == 0 || scancode == SDL_SCANCODE_ESCAPE || scancode == SDL_SCANCODE_F11 ||
         scancode == SDL_SCANCODE_F12;
}

bool isReservedButton(std::int32_t button) {
  return button == kButtonNone || button == kButtonStart || (button >= kButtonDpadUp && button <= kButtonDpadRight);
}

bool bindKey(Bindings& bindings, int action, std::int32_t scancode) {
  if (!validAction(action) || isReservedKey(scancode)) return false;
  const std::int32_t previous = bindings.keys[action][0];
  for (int other = 0; other < kActionCount; ++other) {
    if (other == action) continue;
    for (std::int32_t& slot : bindings.keys[other]) {
      if (slot == scancode) slot = previous;
    }
  }
  bindings.keys[action] = {scancode, 0};
  return true;
}

bool bindButton(Bindings& bindings, int action, std::int32_t button) {
  if (!validAction(action) || action <= kMoveDown || isReservedButton(button)) return false;
  const std::int32_t previous = bindings.buttons[action];
  for (int other = 0; other < kActionCount; ++other) {
    if (other != action && bindings.buttons[other] == button) bindings.buttons[other] = previous;
  }
  bindings.buttons[action] = button;
  return true;
}

std::optional<int> keyOwner(const Bindings& bindings, std::int32_t scancode, int exceptAction) {
  if (scancode == 0) return std::nullopt;
  for (int action = 0; action < kActionCount; ++action) {
    if (action == exceptAction) continue;
    if (bindings.keys[action][0] == scancode || bindings.keys[action][1] == scancode) return action;
  }
  return std::nullopt;
}

std::optional<int> buttonOwner(const Bindings& bindings, std::int32_t button, int exceptAction) {
  if (button == kButtonNone) return std::nullopt;
  for (int action = 0; action < kActionCount; ++action) {
    if (action != exceptAction && bindings.buttons[action] == button) return action;
  }
  return std::nullopt;
}

std::string keyName(std::int32_t scancode) {
  if (scancode == 0) return "None";
  const char* name = SDL_GetScancodeName(static_cast<SDL_Scancode>(scancode));
  return name && *name ? name : "?";
}

std::string bindingText(const Bindings& bindings, int action) {
  if (!validAction(action) || bindings.keys[action][0] == 0) return "None";
  const auto& keys = bindings.keys[action];
  if (keys[1] == 0) return keyName(keys[0]);
  return keyName(keys[0]) + " / " + keyName(keys[1]);
}

std::string buttonName(std::int32_t button) {
  switch (button) {
    case 0:
      return "A";
    case 1:
      return "B";
    case 2:
      return "X";
    case 3:
      return "Y";
    case 4:
      return "View";
    case 5:
      return "Guide";
    case 6:
      return "Menu";
    case 7:
      return "LS";
    case 8:
      return "RS";
    case 9:
      return "LB";
    case 10:
      return "RB";
    case 15:
      return "Share";
    case 16:
      return "P1";
    case 17:
      return "P2";
    case 18:
      return "P3";
    case 19:
      return "P4";
    case 20:
      return "Touchpad";
    default:
      return "None";
  }
}

std::string actionName(int action, int language) {
  if (!validAction(action)) return "";
  if (language < 0 || language > 4) language = 0;
  return kActions[action].names[language];
}

}  // namespace app
