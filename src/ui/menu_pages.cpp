// The ten pages: their rows and values, and what left, right and confirm do on each.
#include "ui/bindings.h"
#include "ui/menu_text.h"
#include "ui/pause_flow.h"

namespace ui {
namespace {

constexpr int kMainRows[] = {kTextResume, kTextSave, kTextLoad, kTextSettings, kTextCheats, kTextWatchDemo, kTextQuit};
constexpr int kCheatRows[] = {kTextInfiniteLives, kTextInfiniteEnergy, kTextFreezeTimers};
constexpr int kKeysPauseRow = 11, kKeysRestoreRow = 12;
constexpr int kButtonsMoveRow = 0, kButtonsPauseRow = 8, kButtonsRestoreRow = 9;

}  // namespace

std::vector<PageRow> PauseFlow::rows(int kind) const {
  using V = PageRow::Value;
  const std::string yes = "< " + text(kTextYes) + " >";
  const std::string no = "< " + text(kTextNo) + " >";
  auto yesNo = [&](bool on) { return on ? yes : no; };
  auto slotLabel = [&](int slot) {
    return slot == 0 ? text(kTextQuickSave) : text(kTextSlot) + " " + std::to_string(slot);
  };
  auto slotValue = [&](const SlotInfo& info) {
    if (!info.present) return text(kTextEmpty);
    if (!info.readable) return text(kTextUnreadable);
    return slotDate(info.saved_at, language_);
  };
  const bool capturing = capture_ != kCaptureNone && !stack_.empty();
  const int capturedRow = capturing ? stack_.back().row : -1;

  std::vector<PageRow> list;
  switch (kind) {
    case kPageMain:
      for (int id : kMainRows) list.push_back({text(id), "", true});
      list[1].selectable = inGame_ && canSave_;
      break;
    case kPageSave:
      for (int slot = 1; slot < kSlotCount; ++slot) {
        const SlotInfo& info = slots_[static_cast<std::size_t>(slot)];
        list.push_back({slotLabel(slot), slotValue(info), true, !info.present, V::kSlot, slot});
      }
      break;
    case kPageLoad:
      for (int slot = 0; slot < kSlotCount; ++slot) {
        const SlotInfo& info = slots_[static_cast<std::size_t>(slot)];
        list.push_back({slotLabel(slot), slotValue(info), info.readable, false, V::kSlot, slot});
      }
      break;
    case kPageSettings:
      list.push_back({text(kTextFullscreen), yesNo(settings_.fullscreen), true, false, V::kScreens});
      list.push_back({text(kTextSoundVolume), std::to_string(settings_.sound_volume * 10) + "%", true, false,
                      V::kVolume, settings_.sound_volume});
      list.push_back({text(kTextMusicVolume), std::to_string(settings_.music_volume * 10) + "%", true, false,
                      V::kVolume, settings_.music_volume});
      list.push_back({text(kTextCrtFilter), yesNo(settings_.crt), true, false, V::kScreens});
      list.push_back({text(kTextKeyboardMapping), ">", true, false, V::kScreens});
      list.push_back({text(kTextControllerMapping), ">", true, false, V::kScreens});
      break;
    case kPageCheats:
      for (int i = 0; i < 3; ++i)
        list.push_back({text(kCheatRows[i]), yesNo((cheats_ >> i & 1u) != 0), true, false, V::kScreens});
      list.push_back({text(kTextTeleport), ">", canTeleport_, false, V::kScreens});
      break;
    case kPageTeleport:
      for (const Place& place : places_)
        list.push_back({place.label[static_cast<std::size_t>(tableLanguage(language_))], "", true});
      break;
    case kPageKeys:
      for (int action = 0; action < app::kActionCount; ++action)
        list.push_back({app::actionName(action, language_),
                        action == capturedRow ? text(kTextPressKey) : app::bindingText(settings_.bindings, action),
                        true, false, V::kCredits});
      list.push_back({text(kTextPauseMenu), "ESC - " + text(kTextFixed), false, false, V::kCredits});
      list.push_back({text(kTextRestoreDefaults), "", true});
      break;
    case kPageButtons:
      list.push_back({text(kTextMove), text(kTextDpad), false, false, V::kCredits});
      for (int action = app::kJump; action < app::kActionCount; ++action)
        list.push_back(
            {app::actionName(action, language_),
             action - 3 == capturedRow ? text(kTextPressButton) : app::buttonName(settings_.bindings.buttons[action]),
             true, false, V::kCredits});
      list.push_back({text(kTextPauseMenu), "MENU - " + text(kTextFixed), false, false, V::kCredits});
      list.push_back({text(kTextRestoreDefaults), "", true});
      break;
    case kPageConfirm: {
      static constexpr int kActionButtons[] = {kTextSave, kTextQuit, kTextLoad, kTextSwap, kTextWatch, kTextLeave};
      list.push_back({text(kTextCancel), "", true});
      list.push_back({text(kActionButtons[confirmKind_]), "", true});
      break;
    }
    case kPageMessage:
      list.push_back({text(kTextOk), "", true});
      break;
    default:
      break;
  }
  return list;
}

std::array<std::string, 3> PauseFlow::dialogTexts() const {
  if (stack_.empty() || stack_.back().kind != kPageConfirm) return message_;
  const std::string ownerName = foldText(app::actionName(controlOwner_, language_));
  const std::string actionName = foldText(app::actionName(controlAction_, language_));
  const std::string controlName = foldText(controlIsKey_ ? app::keyName(control_) : app::buttonName(control_));
  switch (confirmKind_) {
    case kConfirmOverwrite:
      return {fillText(text(kTextOverwriteSlot), std::to_string(confirmSlot_)), text(kTextSaveReplaced), ""};
    case kConfirmQuit:
      return {text(inGame_ ? kTextReturnToTitle : kTextQuitTheGame),
              text(inGame_ ? kTextUnsavedLost : kTextProgramCloses), ""};
    case kConfirmQuickLoad:
      return {text(kTextLoadQuickSave), text(kTextUnsavedLost), ""};
    case kConfirmControl:
      return {text(controlIsKey_ ? kTextKeyInUse : kTextButtonInUse),
              fillText(text(kTextAssignedTo), controlName, ownerName), fillText(text(kTextSwapWith), actionName)};
    case kConfirmWatchDemo:
      return {text(kTextWatchTheDemo), text(kTextUnsavedLost), language_ != 0 ? text(kTextDemoInEnglish) : ""};
    case kConfirmLeaveDemo:
      return {text(kTextLeaveTheDemo), text(kTextBackToTitle), ""};
    default:
      return {};
  }
}

void PauseFlow::leftRight(int delta) {
  PageRecord& page = stack_.back();
  switch (page.kind) {
    case kPageSettings:
      switch (page.row) {
        case 0:
          settings_.fullscreen = !settings_.fullscreen;
          break;
        case 1:
          settings_.sound_volume = std::clamp(settings_.sound_volume + delta, 0, 10);
          break;
        case 2:
          settings_.music_volume = std::clamp(settings_.music_volume + delta, 0, 10);
          break;
        case 3:
          settings_.crt = !settings_.crt;
          break;
        default:
          return;
      }
      events_.push_back({kEventSettings, 0});
      break;
    case kPageCheats:
      if (page.row < 3) {
        cheats_ ^= 1u << page.row;
        events_.push_back({kEventCheats, 0});
      }
      break;
    case kPageConfirm:
      page.row = 1 - page.row;
      break;
    default:
      break;
  }
}

void PauseFlow::confirmMain(int row) {
  switch (row) {
    case 0:
      close();
      break;
    case 1:
      readSlots();
      push(kPageSave, 0);
      break;
    case 2:
      readSlots();
      push(kPageLoad, newestReadableSlot());
      break;
    case 3:
      push(kPageSettings, 0);
      break;
    case 4:
      push(kPageCheats, 0);
      break;
    case 5:
      if (!hooks_.startDemo)
        demoDidNotStart();
      else if (inGame_)
        pushConfirm(kConfirmWatchDemo);
      else
        events_.push_back({kEventWatchDemo, 0});
      break;
    case 6:
      pushConfirm(kConfirmQuit);
      break;
    default:
      break;
  }
}

void PauseFlow::confirmDialog() {
  const bool act = stack_.back().kind == kPageConfirm && stack_.back().row == 1;
  const int kind = stack_.back().kind == kPageConfirm ? confirmKind_ : -1;
  pop();
  if (!act) return;
  switch (kind) {
    case kConfirmOverwrite:
      events_.push_back({kEventSave, confirmSlot_});
      break;
    case kConfirmQuit:
      events_.push_back({inGame_ ? kEventToTitle : kEventQuit, 0});
      break;
    case kConfirmQuickLoad:
      events_.push_back({kEventLoad, 0});
      break;
    case kConfirmControl:
      bindControl(controlIsKey_, controlAction_, control_);
      break;
    case kConfirmWatchDemo:
      events_.push_back({kEventWatchDemo, 0});
      break;
    case kConfirmLeaveDemo:
      events_.push_back({kEventLeaveDemo, 0});
      break;
    default:
      break;
  }
}

void PauseFlow::confirm() {
  PageRecord& page = stack_.back();
  const int row = page.row;
  switch (page.kind) {
    case kPageMain:
      confirmMain(row);
      break;
    case kPageSave: {
      const int slot = row + 1;
      if (slots_[static_cast<std::size_t>(slot)].present)
        pushConfirm(kConfirmOverwrite, slot);
      else
        events_.push_back({kEventSave, slot});
      break;
    }
    case kPageLoad:
      events_.push_back({kEventLoad, row});
      break;
    case kPageSettings:
      if (row == 0 || row == 3) {
        if (row == 0)
          settings_.fullscreen = !settings_.fullscreen;
        else
          settings_.crt = !settings_.crt;
        events_.push_back({kEventSettings, 0});
      } else if (row == 4) {
        push(kPageKeys, 0);
      } else if (row == 5) {
        push(kPageButtons, 1);
      }
      break;
    case kPageCheats:
      if (row < 3) {
        cheats_ ^= 1u << row;
        events_.push_back({kEventCheats, 0});
      } else if (canTeleport_) {
        push(kPageTeleport, 0);
      }
      break;
    case kPageTeleport:
      if (row < static_cast<int>(places_.size())) {
        close();
        events_.push_back({kEventTeleport, row});
      }
      break;
    case kPageKeys:
      if (row == kKeysRestoreRow) {
        settings_.bindings.keys = app::defaultBindings().keys;
        events_.push_back({kEventSettings, 0});
      } else if (row != kKeysPauseRow) {
        capture_ = kCaptureKey;
      }
      break;
    case kPageButtons:
      if (row == kButtonsRestoreRow) {
        settings_.bindings.buttons = app::defaultBindings().buttons;
        events_.push_back({kEventSettings, 0});
      } else if (row != kButtonsMoveRow && row != kButtonsPauseRow) {
        capture_ = kCaptureButton;
      }
      break;
    case kPageConfirm:
    case kPageMessage:
      confirmDialog();
      break;
    default:
      break;
  }
}

}  // namespace ui
