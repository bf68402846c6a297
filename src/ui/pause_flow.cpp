// The menu's flow: opening and closing, commands, the page stack, captures, and the events the pages queue.
#include "ui/pause_flow.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <nlohmann/json.hpp>
#include <type_traits>

#include "base/asset_store.h"
#include "base/log.h"
#include "ui/bindings.h"
#include "ui/menu_text.h"

namespace ui {
namespace fs = std::filesystem;

namespace {

constexpr std::int32_t kEscapeScancode = 41;

// Shown by "Watch Demo" when the demo cannot start (no demo in the data set, or its game did not begin).
constexpr std::string_view kNoDemo[] = {"THE DEMO COULD NOT START.", "LA DEMO N'A PAS PU DEMARRER.",
                                        "DIE DEMO KONNTE NICHT STARTEN.", "LA DEMO NO PUDO EMPEZAR.",
                                        "LA DEMO NON E PARTITA."};
constexpr int kMaxVisibleRows = 9;

// The page names of stateName(), by kind.
constexpr const char* kPageNames[] = {"main",     "save", "load",    "settings", "cheats",
                                      "teleport", "keys", "buttons", "confirm",  "message"};

std::int64_t systemClock() {
  return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch()).count();
}

template <typename F, typename... A>
auto call(const F& hook, A&&... args) {
  using R = decltype(hook(std::forward<A>(args)...));
  // "R{}" with R void is not taken by every compiler, hence the two branches.
  if constexpr (std::is_void_v<R>) {
    if (hook) hook(std::forward<A>(args)...);
  } else {
    if (!hook) return R{};
    return hook(std::forward<A>(args)...);
  }
}

// A file name in the folder that is not taken yet: the stem, then "_2", "_3", ... before the extension.
// Departure: two screenshots in the same second both stay. Named by the second alone, the second picture
// would silently replace the first while both notices said it was saved.
fs::path freeName(const fs::path& folder, const std::string& stem, const std::string& extension) {
  std::error_code ec;
  fs::path path = folder / (stem + extension);
  for (int n = 2; fs::exists(path, ec) && n < 1000; ++n) path = folder / (stem + "_" + std::to_string(n) + extension);
  return path;
}

}  // namespace

std::vector<Place> loadPlaces(const fs::path& dataDirectory) {
  const std::optional<std::string> text = app::readTextFile(dataDirectory / "assets" / "menu" / "teleports.json");
  const nlohmann::json file = text ? nlohmann::json::parse(*text, nullptr, false) : nlohmann::json();
  if (!file.is_object() || !file.contains("places") || !file["places"].is_array()) {
    app::logMessage(app::kError, "assets/menu/teleports.json is missing or not valid: no teleport places");
    return {};
  }
  std::vector<Place> places;
  for (const nlohmann::json& entry : file["places"]) {
    Place place;
    auto integer = [&](const char* key) -> std::int64_t {
      return entry.is_object() && entry.contains(key) && entry[key].is_number_integer() ? entry[key].get<std::int64_t>()
                                                                                        : 0;
    };
    place.area = integer("area");
    place.x = integer("x");
    place.y = integer("y");
    const nlohmann::json labels =
        entry.is_object() && entry.contains("label") && entry["label"].is_array() ? entry["label"] : nlohmann::json();
    for (std::size_t i = 0; i < place.label.size(); ++i)
      place.label[i] = i < labels.size() && labels[i].is_string() ? labels[i].get<std::string>() : "?";
    places.push_back(std::move(place));
  }
  return places;
}

PauseFlow::PauseFlow(const MenuArt& art, fs::path preferenceFolder, std::vector<Place> places, GameHooks hooks)
    : clock(systemClock),
      art_(art),
      folder_(std::move(preferenceFolder)),
      places_(std::move(places)),
      hooks_(std::move(hooks)) {
  if (!folder_.empty()) settings_ = app::loadSettings(folder_ / "settings.json");
}

std::string PauseFlow::stateName() const {
  return stack_.empty() ? "closed" : kPageNames[stack_.back().kind];
}

std::string PauseFlow::text(int id) const {
  return std::string(menuText(id, language_));
}

void PauseFlow::open(const app::Settings& settings, bool inGame, bool canSave, bool canTeleport, int language) {
  settings_ = settings;
  capture_ = kCaptureNone;
  inGame_ = inGame;
  canSave_ = canSave;
  canTeleport_ = canTeleport;
  language_ = language;
  stack_.clear();
  push(kPageMain, 0);
}

void PauseFlow::close() {
  stack_.clear();
  capture_ = kCaptureNone;
}

void PauseFlow::push(int kind, int row) {
  PageRecord page{kind, row, 0};
  scroll(page);
  stack_.push_back(page);
}

void PauseFlow::pop() {
  if (stack_.empty()) return;
  stack_.pop_back();
  if (!stack_.empty() && (stack_.back().kind == kPageSave || stack_.back().kind == kPageLoad)) readSlots();
}

void PauseFlow::pushMessage(std::string title, std::string first, std::string second) {
  message_ = {std::move(title), std::move(first), std::move(second)};
  push(kPageMessage, 0);
}

void PauseFlow::pushConfirm(int kind, int slot) {
  confirmKind_ = kind;
  confirmSlot_ = slot;
  push(kPageConfirm, 0);  // "Cancel" first
}

void PauseFlow::openAlone(const Picture& picture, int kind) {
  background_ = picture;
  capture_ = kCaptureNone;
  stack_.clear();
  pushConfirm(kind);
}

void PauseFlow::readSlots() {
  slots_ = listSlots(folder_);
}

int PauseFlow::newestReadableSlot() const {
  int best = -1;
  for (int slot = 0; slot < kSlotCount; ++slot) {
    const SlotInfo& info = slots_[static_cast<std::size_t>(slot)];
    if (info.readable && (best < 0 || info.saved_at > slots_[static_cast<std::size_t>(best)].saved_at)) best = slot;
  }
  return best < 0 ? 0 : best;
}

int PauseFlow::rowCount(int kind) const {
  return static_cast<int>(rows(kind).size());
}

bool PauseFlow::selectable(int kind, int row) const {
  const std::vector<PageRow> list = rows(kind);
  return row >= 0 && row < static_cast<int>(list.size()) && list[static_cast<std::size_t>(row)].selectable;
}

void PauseFlow::scroll(PageRecord& page) const {
  const int visible = std::min(rowCount(page.kind), kMaxVisibleRows);
  if (visible <= 0) return;
  if (page.row < page.first) page.first = page.row;
  if (page.row >= page.first + visible) page.first = page.row - visible + 1;
}

void PauseFlow::move(int delta) {
  PageRecord& page = stack_.back();
  const std::vector<PageRow> list = rows(page.kind);
  const int count = static_cast<int>(list.size());
  for (int step = 1; step <= count; ++step) {
    const int row = ((page.row + delta * step) % count + count) % count;
    if (list[static_cast<std::size_t>(row)].selectable) {
      page.row = row;
      break;
    }
  }
  scroll(page);
}

void PauseFlow::command(int c) {
  if (stack_.empty() || capture_ != kCaptureNone || c < 1 || c > 7) return;
  switch (c) {
    case 1:
    case 2:
      if (stack_.back().kind != kPageConfirm) move(c == 1 ? -1 : 1);
      break;
    case 3:
    case 4:
      leftRight(c == 3 ? -1 : 1);
      break;
    case 5:
      confirm();
      break;
    case 6:
      pop();
      break;
    case 7:
      close();
      break;
  }
  process();
}

void PauseFlow::captureKey(std::int32_t scancode) {
  if (capture_ == kCaptureNone) return;
  if (capture_ == kCaptureButton) {
    // Departure: Escape also cancels a button capture. Otherwise a player without a working controller
    // would be held on the page for good, and only closing the window (losing the game) would end it.
    if (scancode == kEscapeScancode) capture_ = kCaptureNone;
    return;
  }
  capture_ = kCaptureNone;
  if (scancode != kEscapeScancode) bindCaptured(scancode, true);
  process();
}

void PauseFlow::captureButton(std::int32_t button) {
  if (capture_ == kCaptureNone) return;
  if (capture_ == kCaptureKey) {
    // Departure: the controller's START cancels a key capture too, so a controller-only player is not held.
    if (button == app::kButtonStart) capture_ = kCaptureNone;
    return;
  }
  capture_ = kCaptureNone;
  if (button != app::kButtonStart) bindCaptured(button, false);
  process();
}

void PauseFlow::bindCaptured(std::int32_t control, bool key) {
  const int row = stack_.back().row;
  const int action = key ? row : row + 3;
  if (key ? app::isReservedKey(control) : app::isReservedButton(control)) {
    if (key)
      pushMessage(text(kTextReservedControl), fillText(text(kTextKeyUsedByMenu), foldText(app::keyName(control))),
                  text(kTextChooseAnotherKey));
    else
      pushMessage(text(kTextReservedControl), text(kTextButtonUsedByMenu), text(kTextChooseAnotherButton));
    return;
  }
  const std::optional<int> owner =
      key ? app::keyOwner(settings_.bindings, control, action) : app::buttonOwner(settings_.bindings, control, action);
  if (owner) {
    controlIsKey_ = key;
    controlAction_ = action;
    control_ = control;
    controlOwner_ = *owner;
    pushConfirm(kConfirmControl);
    return;
  }
  bindControl(key, action, control);
}

void PauseFlow::bindControl(bool key, int action, std::int32_t control) {
  const bool bound =
      key ? app::bindKey(settings_.bindings, action, control) : app::bindButton(settings_.bindings, action, control);
  if (bound) events_.push_back({kEventSettings, 0});
}

void PauseFlow::action(int kind, const Picture& picture) {
  if (call(hooks_.demoRunning)) {
    if (kind == kActionOpen) {
      language_ = call(hooks_.language);
      openAlone(picture, kConfirmLeaveDemo);
      return;
    }
    if (kind != kActionScreenshot) return;
  }
  switch (kind) {
    case kActionQuickSave:
      if (call(hooks_.canSave)) {
        background_ = picture;
        notice(saveToSlot(0) ? text(kTextQuickSaved) : text(kTextSaveFailed), kNoticeFrames);
      } else {
        notice(text(kTextCannotSaveNow), kNoticeFrames);
      }
      break;
    case kActionQuickLoad: {
      std::error_code ec;
      const fs::path path = slotPath(folder_, 0);
      language_ = call(hooks_.language);
      if (!path.empty() && fs::exists(path, ec))
        openAlone(picture, kConfirmQuickLoad);
      else
        notice(text(kTextNoQuickSaveYet), kNoticeFrames);
      break;
    }
    case kActionScreenshot: {
      language_ = call(hooks_.language);
      bool saved = false;
      if (!folder_.empty()) {
        char stem[64];
        const std::time_t now = static_cast<std::time_t>(clock());
        std::tm local{};
        if (localtime_r(&now, &local) && std::strftime(stem, sizeof stem, "brumo_%Y%m%d_%H%M%S", &local) > 0)
          saved = writePng(freeName(folder_ / "screenshots", stem, ".png"), picture);
      }
      notice(text(saved ? kTextScreenshotSaved : kTextScreenshotFailed), kNoticeFrames);
      break;
    }
    case kActionOpen: {
      background_ = picture;
      const bool canSave = call(hooks_.canSave);
      open(settings_, call(hooks_.inGame), canSave, canSave, call(hooks_.language));
      break;
    }
    default:
      break;
  }
}

void PauseFlow::gameStopped(const std::string& message, bool restored, const Picture& picture) {
  if (!folder_.empty()) {
    const fs::path log = folder_ / "errors.log";
    std::error_code ec;
    fs::create_directories(folder_, ec);
    std::ofstream out(log, std::ios::app);
    if (out) {
      char when[32] = "";
      const std::time_t now = std::time(nullptr);
      std::tm local{};
      if (localtime_r(&now, &local)) std::strftime(when, sizeof when, "%Y-%m-%d %H:%M:%S", &local);
      out << when << "  " << message << "; " << (restored ? "play went back a moment" : "back to the title") << "\n";
    } else {
      app::logMessage(app::kError, "could not write %s", log.string().c_str());
    }
  }
  language_ = call(hooks_.language);
  background_ = picture;
  capture_ = kCaptureNone;
  stack_.clear();
  pushMessage(text(kTextGameStopped), text(restored ? kTextWentBack : kTextBackToTitle),
              folder_.empty() ? std::string() : text(kTextDetailsInLog));
}

void PauseFlow::setFullscreen(bool on) {
  if (on == settings_.fullscreen) return;
  settings_.fullscreen = on;
  if (!folder_.empty()) app::saveSettings(folder_ / "settings.json", settings_);
}

void PauseFlow::notice(const std::string& textToShow, int frames) {
  noticeText_ = textToShow;
  noticeFrames_ = frames;
}

bool PauseFlow::saveToSlot(int slot) {
  if (folder_.empty() || !call(hooks_.canSave) || !hooks_.takeState) return false;
  const std::int64_t now = clock();
  return writeSlot(folder_, slot, hooks_.takeState(), background_, now);
}

void PauseFlow::loadSlot(int slot) {
  std::string reason;
  const std::optional<LoadedSave> save = readSave(slotPath(folder_, slot), &reason);
  if (save && call(hooks_.loadState, save->state)) {
    close();
    return;
  }
  int line = kTextCouldNotRead;
  if (save)
    line = kTextAreaNotInWorld;
  else if (reason == kReasonMissing)
    line = kTextNoSaveHere;
  else if (reason == kReasonVersion)
    line = kTextOtherVersion;
  pushMessage(text(kTextLoadFailed), text(line), text(kTextTryAnotherSlot));
}

void PauseFlow::demoDidNotStart() {
  pushMessage(text(kTextWatchDemo), std::string(kNoDemo[tableLanguage(language_)]), "");
}

void PauseFlow::writeSettings() {
  if (!folder_.empty()) {
    const fs::path path = folder_ / "settings.json";
    if (!app::saveSettings(path, settings_))
      app::logMessage(app::kError, "settings: could not write %s", path.string().c_str());
  }
  call(hooks_.applySettings, settings_);
}

void PauseFlow::process() {
  while (!events_.empty()) {
    const Event event = events_.front();
    events_.erase(events_.begin());
    switch (event.kind) {
      case kEventSave: {
        // Departure: "Game Saved" only once the synced file has replaced the old one. Any failure (no folder,
        // not a moment to save, a write or a rename that failed) says so, and the previous save stays.
        if (saveToSlot(event.value)) {
          const std::string where =
              event.value == 0 ? text(kTextQuickSave) : text(kTextSlot) + " " + std::to_string(event.value);
          pushMessage(text(kTextGameSaved), where + "   " + slotDate(clock(), language_), "");
        } else {
          pushMessage(text(kTextSaveFailed), text(kTextCouldNotWrite), text(kTextTryAnotherSlot));
        }
        break;
      }
      case kEventLoad:
        loadSlot(event.value);
        break;
      case kEventToTitle:
        close();
        call(hooks_.quitToTitle);
        break;
      case kEventQuit:
        close();
        call(hooks_.quit);
        break;
      case kEventSettings:
        writeSettings();
        break;
      case kEventCheats:
        call(hooks_.setCheats, cheats_);
        break;
      case kEventTeleport:
        if (event.value >= 0 && event.value < static_cast<int>(places_.size()) &&
            !call(hooks_.teleport, places_[static_cast<std::size_t>(event.value)]))
          notice(text(kTextTeleportFailed), kNoticeFrames);
        break;
      case kEventWatchDemo:
        close();
        call(hooks_.startDemo);
        if (!call(hooks_.demoRunning)) demoDidNotStart();
        break;
      case kEventLeaveDemo:
        close();
        call(hooks_.leaveDemo);
        break;
      default:
        break;
    }
  }
}

}  // namespace ui
