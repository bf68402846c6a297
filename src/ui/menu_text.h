#pragma once
// The pause menu's own texts in five languages (0 English, 1 French, 2 German, 3 Spanish, 4 Italian; any
// other number counts as English), the month names of the slot dates, and the text folding of the
// credits' font.

#include <cstdint>
#include <string>
#include <string_view>

namespace ui {

inline constexpr int kMenuTextCount = 95;
inline constexpr int kLanguageCount = 5;

// The interface texts by number.
enum MenuText : int {
  kTextPaused = 0,
  kTextSaveGame = 1,
  kTextLoadGame = 2,
  kTextSettings = 3,
  kTextCheats = 4,
  kTextTeleport = 5,
  kTextKeyboardMapping = 6,
  kTextControllerMapping = 7,
  kTextGameSaved = 8,
  kTextSaveFailed = 9,
  kTextLoadFailed = 10,
  kTextReservedControl = 11,
  kTextOverwriteSlot = 12,
  kTextReturnToTitle = 13,
  kTextQuitTheGame = 14,
  kTextLoadQuickSave = 15,
  kTextKeyInUse = 16,
  kTextButtonInUse = 17,
  kTextGameStopped = 18,
  kTextWatchTheDemo = 19,
  kTextLeaveTheDemo = 20,
  kTextResume = 21,
  kTextSave = 22,
  kTextLoad = 23,
  kTextQuit = 24,
  kTextFullscreen = 25,
  kTextSoundVolume = 26,
  kTextMusicVolume = 27,
  kTextCrtFilter = 28,
  kTextInfiniteLives = 29,
  kTextInfiniteEnergy = 30,
  kTextFreezeTimers = 31,
  kTextYes = 32,
  kTextNo = 33,
  kTextQuickSave = 34,
  kTextSlot = 35,
  kTextCancel = 36,
  kTextSwap = 37,
  kTextOk = 38,
  kTextPauseMenu = 39,
  kTextRestoreDefaults = 40,
  kTextMove = 41,
  kTextWatchDemo = 42,
  kTextWatch = 43,
  kTextLeave = 44,
  kTextEmpty = 45,
  kTextUnreadable = 46,
  kTextFooterResume = 47,
  kTextFooterBack = 48,
  kTextFooterSave = 49,
  kTextFooterLoad = 50,
  kTextFooterNoSaves = 51,
  kTextFooterSettings = 52,
  kTextFooterChoose = 53,
  kTextFooterOk = 54,
  kTextFooterChange = 55,
  kTextFooterPressKey = 56,
  kTextFooterPressButton = 57,
  kTextFooterGo = 58,
  kTextAboutLives = 59,
  kTextAboutEnergy = 60,
  kTextAboutTimers = 61,
  kTextAboutTeleport = 62,
  kTextSaveReplaced = 63,
  kTextUnsavedLost = 64,
  kTextProgramCloses = 65,
  kTextFixed = 66,
  kTextDpad = 67,
  kTextPressKey = 68,
  kTextPressButton = 69,
  kTextKeyUsedByMenu = 70,
  kTextButtonUsedByMenu = 71,
  kTextChooseAnotherKey = 72,
  kTextChooseAnotherButton = 73,
  kTextAssignedTo = 74,
  kTextSwapWith = 75,
  kTextCouldNotWrite = 76,
  kTextTryAnotherSlot = 77,
  kTextNoSaveHere = 78,
  kTextCouldNotRead = 79,
  kTextOtherVersion = 80,
  kTextAreaNotInWorld = 81,
  kTextQuickSaved = 82,
  kTextCannotSaveNow = 83,
  kTextNoQuickSaveYet = 84,
  kTextScreenshotSaved = 85,
  kTextScreenshotFailed = 86,
  kTextTeleportFailed = 87,
  kTextWentBack = 88,
  kTextBackToTitle = 89,
  kTextDetailsInLog = 90,
  kTextDemoControls = 91,
  kTextDemoSpeed = 92,
  kTextYourGameNow = 93,
  kTextDemoInEnglish = 94,
};

// The language number used for a table lookup: 0 to 4, anything else English.
int tableLanguage(std::int64_t language);

// An interface text; the empty text for a number outside the table.
std::string_view menuText(int id, std::int64_t language);
// "JAN" ... in the language; the month index is taken modulo 12.
std::string_view monthName(int month, std::int64_t language);

// A "%s" or "%d" pattern with up to two values put in, in order.
std::string fillText(std::string_view pattern, std::string_view first, std::string_view second = {});

// Upper case for the credits' font: Latin-1 letters lose their accents ("ß" becomes "SS"), every other
// non-ASCII sequence is dropped.
std::string foldText(std::string_view text);

// "07 MAR 2025 18:05" in local time; empty for a time of 0 or less, or one the system cannot convert.
std::string slotDate(std::int64_t seconds, std::int64_t language);

}  // namespace ui
