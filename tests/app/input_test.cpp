#include <gtest/gtest.h>

#include <SDL.h>

#include <array>
#include <vector>

#include "app/input.h"
#include "app/scripted_input.h"

namespace {

using app::Bindings;
using app::ControllerSnapshot;

struct Keyboard {
  std::array<std::uint8_t, SDL_NUM_SCANCODES> state{};
  Keyboard& press(SDL_Scancode key) {
    state[key] = 1;
    return *this;
  }
};

ControllerSnapshot controller(std::initializer_list<int> buttons, std::int16_t x = 0, std::int16_t y = 0) {
  ControllerSnapshot c;
  for (int b : buttons) c.buttons |= 1u << b;
  c.stickX = x;
  c.stickY = y;
  return c;
}

SDL_Event keyDown(SDL_Scancode key, Uint16 mod = 0, bool repeat = false) {
  SDL_Event e{};
  e.type = SDL_KEYDOWN;
  e.key.keysym.scancode = key;
  e.key.keysym.mod = mod;
  e.key.repeat = repeat ? 1 : 0;
  return e;
}

SDL_Event buttonDown(int button) {
  SDL_Event e{};
  e.type = SDL_CONTROLLERBUTTONDOWN;
  e.cbutton.button = static_cast<Uint8>(button);
  return e;
}

TEST(PadState, KeysButtonsAndSticksFromEveryController) {
  const Bindings b = app::defaultBindings();
  Keyboard keys;
  keys.press(SDL_SCANCODE_C).press(SDL_SCANCODE_RIGHT).press(SDL_SCANCODE_F5);
  EXPECT_EQ(app::computePadState(b, keys.state, {}, false), app::kPadC | app::kPadRight);

  // Two controllers feed the same byte; START counts only when asked.
  std::vector<ControllerSnapshot> pads = {controller({app::kButtonB, app::kButtonStart}),
                                          controller({app::kButtonDpadUp}, -16001, 0)};
  Keyboard none;
  EXPECT_EQ(app::computePadState(b, none.state, pads, false), app::kPadB | app::kPadUp | app::kPadLeft);
  EXPECT_EQ(app::computePadState(b, none.state, pads, true), app::kPadB | app::kPadUp | app::kPadLeft | app::kPadStart);
  // Back is the Start action's button, so it is the console's Start in every case.
  std::vector<ControllerSnapshot> back = {controller({app::kButtonBack})};
  EXPECT_EQ(app::computePadState(b, none.state, back, false), app::kPadStart);
}

TEST(PadState, StickThresholdIsExclusive) {
  const Bindings b = app::defaultBindings();
  Keyboard none;
  struct Row {
    std::int16_t x, y;
    std::uint8_t pad;
  };
  const Row rows[] = {{16000, 0, 0},
                      {-16000, -16000, 0},
                      {16001, 0, app::kPadRight},
                      {0, 16001, app::kPadDown},
                      {-16001, -16001, app::kPadLeft | app::kPadUp}};
  for (const Row& r : rows) {
    std::vector<ControllerSnapshot> pads = {controller({}, r.x, r.y)};
    EXPECT_EQ(app::computePadState(b, none.state, pads, false), r.pad) << r.x << "," << r.y;
  }
}

TEST(PadState, HeldBitsWaitForARelease) {
  app::Input input;
  // Return chose "Resume" and is still down as the menu closes, with Jump held too.
  input.holdState(app::kPadStart | app::kPadC);
  EXPECT_EQ(input.releaseHeld(app::kPadStart | app::kPadC | app::kPadLeft), app::kPadLeft);
  EXPECT_EQ(input.releaseHeld(app::kPadStart), 0);                        // Jump let go, Start still held
  EXPECT_EQ(input.releaseHeld(app::kPadStart | app::kPadC), app::kPadC);  // Jump pressed again: it counts
  EXPECT_EQ(input.releaseHeld(0), 0);                                     // Start let go
  EXPECT_EQ(input.releaseHeld(app::kPadStart), app::kPadStart);           // and pressed again
}

TEST(Classify, CommandsFromKeysAndButtons) {
  app::Input input;
  struct Row {
    SDL_Event event;
    bool inFrontEnd;
    int expected;
  };
  const Row rows[] = {
      {keyDown(SDL_SCANCODE_ESCAPE), false, app::kCommandMenu},
      {keyDown(SDL_SCANCODE_F1), false, app::kCommandScreenshot},
      {keyDown(SDL_SCANCODE_F5), false, app::kCommandQuickSave},
      {keyDown(SDL_SCANCODE_F8), false, app::kCommandQuickLoad},
      {keyDown(SDL_SCANCODE_F5, 0, true), false, app::kCommandNone},  // system repeat
      {keyDown(SDL_SCANCODE_SPACE), false, app::kCommandNone},
      {buttonDown(app::kButtonStart), false, app::kCommandMenu},
      {buttonDown(app::kButtonStart), true, app::kCommandNone},
      {buttonDown(app::kButtonA), false, app::kCommandNone},
  };
  for (const Row& r : rows) EXPECT_EQ(input.classify(r.event, r.inFrontEnd), r.expected);

  // Rebound program keys and buttons follow the bindings.
  ASSERT_TRUE(app::bindKey(input.bindings, app::kQuickSave, SDL_SCANCODE_K));
  ASSERT_TRUE(app::bindButton(input.bindings, app::kQuickLoad, 9));
  EXPECT_EQ(input.classify(keyDown(SDL_SCANCODE_K), false), app::kCommandQuickSave);
  EXPECT_EQ(input.classify(keyDown(SDL_SCANCODE_F5), false), app::kCommandNone);
  EXPECT_EQ(input.classify(buttonDown(9), false), app::kCommandQuickLoad);
}

TEST(MenuInput, CommandsFromEvents) {
  app::Input input;
  struct Row {
    SDL_Event event;
    int expected;
  };
  const Row rows[] = {
      {keyDown(SDL_SCANCODE_RETURN), app::kMenuConfirm},
      {keyDown(SDL_SCANCODE_KP_ENTER), app::kMenuConfirm},
      {keyDown(SDL_SCANCODE_RETURN, KMOD_LALT), app::kMenuNone},
      {keyDown(SDL_SCANCODE_ESCAPE), app::kMenuBack},
      {keyDown(SDL_SCANCODE_UP), app::kMenuUp},
      {keyDown(SDL_SCANCODE_LEFT), app::kMenuLeft},
      {keyDown(SDL_SCANCODE_UP, 0, true), app::kMenuNone},
      {buttonDown(app::kButtonA), app::kMenuConfirm},
      {buttonDown(app::kButtonB), app::kMenuBack},
      {buttonDown(app::kButtonStart), app::kMenuStart},
      {buttonDown(app::kButtonDpadRight), app::kMenuRight},
      {buttonDown(app::kButtonX), app::kMenuNone},
  };
  for (const Row& r : rows) EXPECT_EQ(input.menuCommand(r.event), r.expected);

  EXPECT_EQ(input.boundKey(keyDown(SDL_SCANCODE_Q)), SDL_SCANCODE_Q);
  EXPECT_FALSE(input.boundKey(keyDown(SDL_SCANCODE_Q, 0, true)));
  EXPECT_EQ(input.boundButton(buttonDown(3)), 3);
  EXPECT_FALSE(input.boundButton(keyDown(SDL_SCANCODE_Q)));
}

TEST(MenuInput, RepeatAfterFifteenThenEveryFour) {
  app::Input input;
  const app::MenuDirection arrowDown{app::kMenuDown, true, false};
  std::vector<int> fired;
  for (int vblank = 0; vblank < 30; ++vblank) {
    if (input.repeatStep(arrowDown) != app::kMenuNone) fired.push_back(vblank);
  }
  // V-blank 0 sees the change (the key's own event did the first step); the count reaches 15 at V-blank 15.
  EXPECT_EQ(fired, (std::vector<int>{15, 19, 23, 27}));

  // A stick sends no event of its own, so its first step comes at once; letting go resets.
  const app::MenuDirection stickUp{app::kMenuUp, false, true};
  EXPECT_EQ(input.repeatStep(stickUp), app::kMenuUp);
  EXPECT_EQ(input.repeatStep({}), app::kMenuNone);
  EXPECT_EQ(input.repeatStep({}), app::kMenuNone);
  EXPECT_EQ(input.repeatStep(stickUp), app::kMenuUp);
}

TEST(MenuInput, DirectionPrefersUpDownLeftRight) {
  Keyboard keys;
  keys.press(SDL_SCANCODE_RIGHT).press(SDL_SCANCODE_DOWN);
  auto d = app::computeMenuDirection(keys.state, {});
  EXPECT_EQ(d.direction, app::kMenuDown);
  EXPECT_TRUE(d.arrowKey);
  EXPECT_FALSE(d.stick);

  Keyboard none;
  std::vector<ControllerSnapshot> pads = {controller({}, 20000, 0)};
  d = app::computeMenuDirection(none.state, pads);
  EXPECT_EQ(d.direction, app::kMenuRight);
  EXPECT_TRUE(d.stick);
}

TEST(Bindings, KeyRulesSwapAndRefuse) {
  Bindings b = app::defaultBindings();
  for (SDL_Scancode reserved : {SDL_SCANCODE_ESCAPE, SDL_SCANCODE_F11, SDL_SCANCODE_F12, SDL_SCANCODE_UNKNOWN}) {
    EXPECT_FALSE(app::bindKey(b, app::kJump, reserved));
  }
  EXPECT_EQ(b.keys, app::defaultBindings().keys);

  // Z was Inventory's: Inventory takes Jump's old first key, and Jump's second key is dropped.
  ASSERT_TRUE(app::bindKey(b, app::kJump, SDL_SCANCODE_Z));
  EXPECT_EQ(b.keys[app::kJump], (std::array<std::int32_t, 2>{SDL_SCANCODE_Z, 0}));
  EXPECT_EQ(b.keys[app::kInventory], (std::array<std::int32_t, 2>{SDL_SCANCODE_SPACE, 0}));

  EXPECT_EQ(app::keyOwner(b, SDL_SCANCODE_SPACE, app::kJump), app::kInventory);
  EXPECT_EQ(app::keyOwner(b, SDL_SCANCODE_Z, app::kJump), std::nullopt);
  EXPECT_EQ(app::keyOwner(b, 0, -1), std::nullopt);
}

TEST(Bindings, ButtonRulesSwapAndRefuse) {
  Bindings b = app::defaultBindings();
  EXPECT_FALSE(app::bindButton(b, app::kJump, app::kButtonStart));
  EXPECT_FALSE(app::bindButton(b, app::kJump, app::kButtonDpadLeft));
  EXPECT_FALSE(app::bindButton(b, app::kJump, app::kButtonNone));
  EXPECT_FALSE(app::bindButton(b, app::kMoveLeft, 3));
  EXPECT_EQ(b.buttons, app::defaultBindings().buttons);

  ASSERT_TRUE(app::bindButton(b, app::kJump, app::kButtonX));  // X was Inventory's
  EXPECT_EQ(b.buttons[app::kJump], app::kButtonX);
  EXPECT_EQ(b.buttons[app::kInventory], app::kButtonA);
  EXPECT_EQ(app::buttonOwner(b, app::kButtonA, -1), app::kInventory);
  EXPECT_EQ(app::buttonOwner(b, app::kButtonNone, -1), std::nullopt);
}

TEST(Bindings, Names) {
  Bindings b = app::defaultBindings();
  EXPECT_EQ(app::bindingText(b, app::kJump), "Space / C");
  EXPECT_EQ(app::bindingText(b, app::kStart), "Return");
  b.keys[app::kQuickSave] = {0, 0};
  EXPECT_EQ(app::bindingText(b, app::kQuickSave), "None");
  EXPECT_EQ(app::keyName(0), "None");
  EXPECT_EQ(app::keyName(SDL_SCANCODE_NONUSBACKSLASH), "?");

  EXPECT_EQ(app::buttonName(4), "View");
  EXPECT_EQ(app::buttonName(20), "Touchpad");
  EXPECT_EQ(app::buttonName(12), "None");
  EXPECT_EQ(app::buttonName(-1), "None");

  EXPECT_EQ(app::actionName(app::kUse, 2), "Nehmen / Ablegen");
  EXPECT_EQ(app::actionName(app::kMoveDown, 4), "Gi\u00f9");
  EXPECT_EQ(app::actionName(app::kQuickSave, 3), "Guardado R\u00e1pido");
  EXPECT_EQ(app::actionName(app::kJump, 9), "Jump");
  EXPECT_EQ(app::actionName(11, 0), "");
}

TEST(ScriptedInput, PadRangesCombine) {
  auto script = app::parsePads("1-100:20,50-60:08,");
  ASSERT_TRUE(script);
  EXPECT_EQ(script->byteAt(0), 0);
  EXPECT_EQ(script->byteAt(1), 0x20);
  EXPECT_EQ(script->byteAt(49), 0x20);
  EXPECT_EQ(script->byteAt(50), 0x28);
  EXPECT_EQ(script->byteAt(60), 0x28);
  EXPECT_EQ(script->byteAt(100), 0x20);
  EXPECT_EQ(script->byteAt(101), 0);

  // A range over the whole run is cheap, and the low 8 bits of HEX count.
  auto whole = app::parsePads("1-9223372036854775807:108");
  ASSERT_TRUE(whole);
  EXPECT_EQ(whole->byteAt(5000000000LL), 0x08);

  auto empty = app::parsePads("");
  ASSERT_TRUE(empty);
  EXPECT_TRUE(empty->empty());

  for (const char* bad : {"0-5:08", "5-4:08", "1-5", "1-5:", "x", "1-5:08,,6-7:01", ",1-5:08", "1:5:08"}) {
    EXPECT_FALSE(app::parsePads(bad)) << bad;
  }
}

TEST(ScriptedInput, KeysKeepTheirOrder) {
  auto keys = app::parseKeys("120:F5,120:Escape,3:Return");
  ASSERT_TRUE(keys);
  std::vector<std::pair<long long, std::int32_t>> flat(keys->begin(), keys->end());
  EXPECT_EQ(flat, (std::vector<std::pair<long long, std::int32_t>>{
                      {3, SDL_SCANCODE_RETURN}, {120, SDL_SCANCODE_F5}, {120, SDL_SCANCODE_ESCAPE}}));
  EXPECT_TRUE(app::parseKeys("")->empty());
  for (const char* bad : {"0:F5", "5F5", "5:NoSuchKey", "5:F5,,6:F1", "x:F5"}) {
    EXPECT_FALSE(app::parseKeys(bad)) << bad;
  }
}

}  // namespace
