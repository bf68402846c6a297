#pragma once
// The pause menu: a stack of pages drawn over a frozen, dimmed picture of the game, driven by menu
// commands, and the small notices drawn over the running game. It reaches the game only through the
// GameHooks the play loop gives it, and writes only its own files (settings, saves, errors.log).

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "sim/game_state.h"
#include "ui/menu_art.h"
#include "ui/saves.h"
#include "ui/settings.h"

namespace ui {

// One teleport destination: its label in the five languages and the hero's place.
struct Place {
  std::array<std::string, 5> label;
  std::int64_t area = 0;
  std::int64_t x = 0;
  std::int64_t y = 0;
};

// assets/menu/teleports.json of the data directory; empty (logged) when it is missing or not valid.
std::vector<Place> loadPlaces(const std::filesystem::path& dataDirectory);

// What the menu may ask of the game. A hook left empty counts as answering no (or doing nothing).
struct GameHooks {
  std::function<bool()> canSave;
  std::function<bool()> inGame;
  std::function<int()> language;
  std::function<sim::GameState()> takeState;
  std::function<bool(const sim::GameState&)> loadState;
  std::function<void()> quitToTitle;
  std::function<void()> quit;
  std::function<void(unsigned)> setCheats;
  std::function<bool(const Place&)> teleport;
  std::function<void(const app::Settings&)> applySettings;
  std::function<bool()> demoRunning;
  std::function<void()> startDemo;  // empty while this build has no demo
  std::function<void()> leaveDemo;
};

enum PageKind : int {
  kPageMain = 0,
  kPageSave = 1,
  kPageLoad = 2,
  kPageSettings = 3,
  kPageCheats = 4,
  kPageTeleport = 5,
  kPageKeys = 6,
  kPageButtons = 7,
  kPageConfirm = 8,
  kPageMessage = 9,
};

enum ConfirmKind : int {
  kConfirmOverwrite = 0,
  kConfirmQuit = 1,
  kConfirmQuickLoad = 2,
  kConfirmControl = 3,
  kConfirmWatchDemo = 4,
  kConfirmLeaveDemo = 5,
};

enum CaptureState : int { kCaptureNone = 0, kCaptureKey = 1, kCaptureButton = 2 };

// The app actions outside the menu.
enum MenuAction : int { kActionQuickSave = 1, kActionQuickLoad = 2, kActionScreenshot = 3, kActionOpen = 4 };

inline constexpr std::uint32_t kCheatLivesBit = 1, kCheatEnergyBit = 2, kCheatTimersBit = 4;
inline constexpr int kNoticeFrames = 100;

struct PageRecord {
  int kind = kPageMain;
  int row = 0;
  int first = 0;  // first visible row
};

// One row of a page as it is shown.
struct PageRow {
  enum class Value { kNone, kScreens, kCredits, kVolume, kSlot };
  std::string label;
  std::string value;
  bool selectable = true;
  bool dim = false;  // drawn in the disabled look though it can be chosen
  Value valueKind = Value::kNone;
  int number = 0;  // the volume (kVolume) or the slot (kSlot)
};

class PauseFlow {
 public:
  PauseFlow(const MenuArt& art, std::filesystem::path preferenceFolder, std::vector<Place> places, GameHooks hooks);

  bool isOpen() const { return !stack_.empty(); }
  std::string stateName() const;
  int captureState() const { return capture_; }

  void open(const app::Settings& settings, bool inGame, bool canSave, bool canTeleport, int language);
  void command(int c);
  void captureKey(std::int32_t scancode);
  void captureButton(std::int32_t button);
  void action(int kind, const Picture& picture);
  void gameStopped(const std::string& message, bool restored, const Picture& picture);
  void setFullscreen(bool on);
  void notice(const std::string& text, int frames);
  // Draws the menu or the notice over the picture (the last layer of a presented frame).
  void compose(Picture& picture);

  // For the play loop and tests.
  const app::Settings& settings() const { return settings_; }
  unsigned cheats() const { return cheats_; }
  const std::vector<PageRecord>& stack() const { return stack_; }
  const std::string& noticeText() const { return noticeText_; }
  int noticeFrames() const { return noticeFrames_; }
  const std::array<std::string, 3>& message() const { return message_; }
  const std::array<SlotInfo, kSlotCount>& slots() const { return slots_; }
  // The rows of a page as they stand now.
  std::vector<PageRow> rows(int kind) const;
  // The title and the two lines of the confirm or message page on top.
  std::array<std::string, 3> dialogTexts() const;
  // The clock for save dates; the system clock unless a test sets one.
  std::function<std::int64_t()> clock;

 private:
  struct Event {
    int kind;
    int value;
  };
  enum EventKind : int {
    kEventSave = 0,
    kEventLoad = 1,
    kEventToTitle = 2,
    kEventQuit = 3,
    kEventSettings = 4,
    kEventCheats = 5,
    kEventTeleport = 6,
    kEventWatchDemo = 7,
    kEventLeaveDemo = 8,
  };

  std::string text(int id) const;
  int rowCount(int kind) const;
  bool selectable(int kind, int row) const;
  void move(int delta);
  void scroll(PageRecord& page) const;
  void push(int kind, int row = 0);
  void pop();
  void close();
  void pushMessage(std::string title, std::string first, std::string second);
  void pushConfirm(int kind, int slot = 0);
  void openAlone(const Picture& picture, int kind);
  void leftRight(int delta);
  void confirm();
  void confirmMain(int row);
  void confirmDialog();
  void bindCaptured(std::int32_t control, bool key);
  void bindControl(bool key, int action, std::int32_t control);
  void process();
  bool saveToSlot(int slot);
  void loadSlot(int slot);
  void writeSettings();
  void demoDidNotStart();
  void readSlots();
  int newestReadableSlot() const;
  std::string confirmTitle() const;

  void drawPage(Picture& picture, const PageRecord& page) const;
  void drawListPage(Picture& picture, const PageRecord& page) const;
  void drawDialog(Picture& picture, const PageRecord& page) const;
  void drawRowValue(Picture& picture, const PageRow& row, int innerLeft, int innerRight, int y, bool dim) const;
  void drawNotice(Picture& picture) const;

  const MenuArt& art_;
  std::filesystem::path folder_;
  std::vector<Place> places_;
  GameHooks hooks_;
  app::Settings settings_;
  unsigned cheats_ = 0;
  bool inGame_ = false;
  bool canSave_ = false;
  bool canTeleport_ = false;
  int language_ = 0;
  std::vector<PageRecord> stack_;
  int capture_ = kCaptureNone;
  int confirmKind_ = kConfirmOverwrite;
  int confirmSlot_ = 0;
  bool controlIsKey_ = true;
  int controlAction_ = 0;
  std::int32_t control_ = 0;
  int controlOwner_ = 0;
  std::array<std::string, 3> message_;
  std::array<SlotInfo, kSlotCount> slots_{};
  std::vector<Event> events_;
  std::string noticeText_;
  int noticeFrames_ = 0;
  Picture background_;
};

}  // namespace ui
