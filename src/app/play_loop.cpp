#include "app/play_loop.h"

#include <algorithm>
#include <cinttypes>

#include "app/crash_report.h"
#include "app/modes.h"
#include "app/play_pictures.h"
#include "audio/audio_output.h"
#include "audio/sound.h"
#include "base/asset_store.h"
#include "base/log.h"
#include "render/render_assets.h"
#include "render/texts.h"
#include "sim/rom_view.h"
#include "sim/simulation.h"
#include "ui/menu_art.h"
#include "ui/menu_text.h"
#include "ui/pause_flow.h"
#include "world/world.h"

namespace app {
namespace {

constexpr int kWindowWidth = 960;
constexpr int kWindowHeight = 672;
constexpr int kSoundRate = 48000;

// The per-user preference folder, or empty when the system has none.
std::filesystem::path userFolder(const std::string& user) {
  if (!user.empty()) return user;
  char* path = SDL_GetPrefPath("Halvecor", "Grovanta");
  if (path == nullptr) return {};
  std::filesystem::path folder = path;
  SDL_free(path);
  return folder;
}

// The whole part of a 16.16 coordinate as the console's signed 16-bit word.
long long wholePart(std::int64_t fixed) {
  return static_cast<std::int16_t>(static_cast<std::uint32_t>(fixed) >> 16);
}

bool isFullscreenKey(const SDL_Event& event) {
  if (event.type != SDL_KEYDOWN) return false;
  const SDL_Scancode key = event.key.keysym.scancode;
  return key == SDL_SCANCODE_F11 || (key == SDL_SCANCODE_RETURN && (event.key.keysym.mod & KMOD_ALT) != 0);
}

}  // namespace

PlayLoop::PlayLoop(Data& data, const PlayParameters& parameters) : data_(data), parameters_(parameters) {}

PlayLoop::~PlayLoop() {
  if (!shutDown_) {
    shutDown_ = true;
    if (audio_) audio_->close();
    audio_.reset();
    sound_.reset();
    display_.destroy();
    input_.reset();
    if (sdlStarted_) SDL_Quit();
  }
}

int PlayLoop::setUp() {
  if (const int code = readScripts()) return code;                                            // 1
  if (const int code = loadGameData()) return code;                                           // 2-4
  if (!parameters_.video.empty()) video_ = std::make_unique<VideoExport>(parameters_.video);  // 5
  startSimulation();                                                                          // 6-7
  if (const int code = openWindow()) return code;                                             // 8-10
  openSound();                                                                                // 11-12
  if (const int code = drawFirstPicture()) return code;                                       // 13
  readPreferences();                                                                          // 14-17
  startClock();                                                                               // 18
  return 0;
}

int PlayLoop::readScripts() {
  if (!parameters_.pads.empty()) {
    pads_ = parsePads(parameters_.pads);
    if (!pads_) {
      logMessage(kError, "--pads: expected FROM-TO:HEX,... (%s)", parameters_.pads.c_str());
      return 2;
    }
  }
  if (!parameters_.keys.empty()) {
    auto keys = parseKeys(parameters_.keys);
    if (!keys) {
      logMessage(kError, "--keys: expected V:KEY,... with SDL key names (%s)", parameters_.keys.c_str());
      return 2;
    }
    keys_ = std::move(*keys);
  }
  return 0;
}

int PlayLoop::loadGameData() {
  // 2. The cartridge tables and the graphics (the loaders log why they fail).
  if (!data_.rom && !loadCartridgeTables(data_)) return 2;
  if (!data_.renderAssets)
    data_.renderAssets = std::make_shared<render::RenderAssets>(data_.dataDirectory, *data_.world, data_.rom.get());
  if (!data_.renderAssets->loadCommonGraphics()) {
    logMessage(kError, "the common sprite graphics did not load");
    return 2;
  }
  // Every area's sheet before the first frame: one missing is read again (and named again) on every frame
  // that shows its area, so it must stop the start, as the common graphics do.
  if (!data_.renderAssets->loadAreaSheets()) {
    logMessage(kError, "the areas' pattern sheets did not load");
    return 2;
  }
  texts_ = std::make_unique<render::TextImages>(data_.dataDirectory);
  menuArt_ = std::make_unique<ui::MenuArt>(ui::MenuArt::build(*data_.renderAssets, *data_.rom));
  if (!menuArt_->ready) return 2;  // the art's loader said why

  // 3. The pad-hint pictures are loaded here once the intro's hints exist.

  // 4. The recording to play back.
  if (!parameters_.playback.empty()) {
    InputRecording recording = loadRecording(parameters_.playback);
    if (!recording.valid) return 2;
    playback_.emplace(std::move(recording));
  }
  return 0;
}

void PlayLoop::startSimulation() {
  // 6. The simulation, at the language menu.
  simulation_ = std::make_shared<sim::Simulation>(*data_.world, *data_.rom);
  simulation_->mutableState().refresh_hz = 50;
  simulation_->newStart(true);

  // 7. The intro would be loaded here (only without scripts and F12); until it exists none runs.
}

int PlayLoop::openWindow() {
  // 8. SDL.
  if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_GAMECONTROLLER) != 0) {
    logMessage(kError, "SDL_Init: %s", SDL_GetError());
    return 1;
  }
  sdlStarted_ = true;

  // 9. Default bindings, no controllers: those present arrive as device-added events.
  input_ = std::make_unique<Input>();

  // 10. The window.
  if (!display_.create("Grovanta", kWindowWidth, kWindowHeight, parameters_.hiddenWindow)) return 1;
  display_.setIcon(loadWindowIcon(data_.dataDirectory));
  return 0;
}

void PlayLoop::openSound() {
  // 11. The sound: silent under --quit-after-frames (unless exporting video), no device with --video.
  sound_ = std::make_unique<audio::Sound>(kSoundRate);
  if (!(parameters_.quitAfterFrames > 0 && parameters_.video.empty())) {
    const std::optional<Bytes> driver = readFile(data_.dataDirectory / "assets" / "audio" / "driver.bin");
    if (driver && sound_->loadDriver(*driver) && parameters_.video.empty()) {
      if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        logMessage(kWarn, "no sound: SDL_InitSubSystem: %s", SDL_GetError());
      } else {
        audio_ = std::make_unique<audio::AudioOutput>();
        if (audio_->open()) {
          audio_->attach(sound_.get());
          audioAttached_ = true;
        } else {
          audio_.reset();
        }
      }
    }
  }

  // 12. The frame table of --video was opened with its folder.
}

int PlayLoop::drawFirstPicture() {
  std::optional<render::Frame> first = composeSimulation(*data_.renderAssets, *texts_, *simulation_);
  if (!first) {
    logMessage(kError, "the first picture could not be drawn");
    return 1;
  }
  current_ = std::move(*first);
  previous_ = current_;
  return 0;
}

void PlayLoop::readPreferences() {
  // 14. The preference folder; every game is recorded in its "recordings" folder.
  preferenceFolder_ = userFolder(parameters_.user);
  if (!preferenceFolder_.empty()) recorder_.setFolder(preferenceFolder_ / "recordings");

  // 15. The pause menu with its hooks; it reads the settings.
  menu_ =
      std::make_unique<ui::PauseFlow>(*menuArt_, preferenceFolder_, ui::loadPlaces(data_.dataDirectory), makeHooks());
  settings_ = menu_->settings();

  // 16. The intro's music would be queued here.

  // 17. Apply the settings.
  applySettings();
}

void PlayLoop::startClock() {
  frequency_ = SDL_GetPerformanceFrequency();
  lastCounter_ = SDL_GetPerformanceCounter();
  clock_.reset();
  loopRan_ = true;
}

void PlayLoop::applySettings() {
  display_.setFullscreen(settings_.fullscreen && !parameters_.windowed);
  display_.crt = settings_.crt;
  input_->bindings = settings_.bindings;
  // The pad-hint pictures follow the bindings once they exist.
  applyVolumes();
}

void PlayLoop::applyVolumes() {
  if (!audio_) return;
  // The demo is silent unless it runs at its normal speed.
  const bool muted = demo_.watching() && demo_.speed() != kDemoNormalSpeed;
  audio_->setVolumes(muted ? 0.0f : static_cast<float>(settings_.sound_volume) / 10.0f,
                     muted ? 0.0f : static_cast<float>(settings_.music_volume) / 10.0f);
}

void PlayLoop::notice(const std::string& text, int frames) {
  noticeText_ = text;
  noticeFrames_ = frames;
  if (menu_) menu_->notice(text, frames);
}

std::string PlayLoop::interfaceText(int id, bool english) const {
  return std::string(ui::menuText(id, english ? 0 : simulation_->state().language));
}

void PlayLoop::storeFullscreen(bool on) {
  // The pause menu keeps the settings record; it stores a changed full-screen state and writes the file.
  menu_->setFullscreen(on);
  settings_.fullscreen = menu_->settings().fullscreen;
}

bool PlayLoop::menuOpen() const {
  return menu_ && menu_->isOpen();
}

void PlayLoop::applyMenuSettings(const Settings& settings) {
  settings_ = settings;
  applySettings();
}

ui::GameHooks PlayLoop::makeHooks() {
  ui::GameHooks hooks;
  hooks.canSave = [this] { return simulation_->isAtRest(); };
  hooks.inGame = [this] { return simulation_->state().front == 0; };
  hooks.language = [this] { return static_cast<int>(simulation_->state().language); };
  hooks.takeState = [this] { return simulation_->state(); };
  hooks.loadState = [this](const sim::GameState& state) { return loadGame(state); };
  hooks.quitToTitle = [this] { quitToTitle(); };
  hooks.quit = [this] { running_ = false; };
  hooks.setCheats = [this](unsigned bits) {
    simulation_->setCheats(bits);
    if (bits != 0) recorder_.end("a cheat was turned on");
  };
  hooks.teleport = [this](const ui::Place& place) { return teleportTo(place); };
  hooks.applySettings = [this](const Settings& settings) { applyMenuSettings(settings); };
  hooks.demoRunning = [this] { return demo_.watching(); };
  hooks.startDemo = [this] { startDemo(); };  // a demo that cannot start says why in the log
  hooks.leaveDemo = [this] { leaveDemo(); };
  return hooks;
}

bool PlayLoop::loadGame(const sim::GameState& state) {
  sim::Simulation& simulation = *simulation_;
  if (!simulation.loadState(state)) return false;
  recorder_.end("a save was loaded");
  safePoint_ = simulation.state();
  dropSoundRequests();
  if (simulation.state().music != 0)
    queueMusic(static_cast<std::uint32_t>(simulation.state().music));
  else
    simulation.mutableState().music_wait = 1;
  fadeLeft_ = 0;
  recompose();
  return true;
}

void PlayLoop::quitToTitle() {
  recorder_.end("quit to the title");
  if (demo_.savedLanguage >= 0) {
    simulation_->mutableState().language = demo_.savedLanguage;
    demo_.savedLanguage = -1;
  }
  simulation_->newStart(false);
  moveSoundRequests();
  fadeLeft_ = 0;
  recompose();
}

bool PlayLoop::teleportTo(const ui::Place& place) {
  if (!simulation_->teleport(place.area, place.x, place.y)) return false;
  recorder_.end("a teleport");
  moveSoundRequests();
  logMessage(kInfo, "teleport: %s (area %lld, %lld, %lld)", place.label[0].c_str(), static_cast<long long>(place.area),
             static_cast<long long>(place.x), static_cast<long long>(place.y));
  recompose();
  return true;
}

void PlayLoop::frame() {
  // 1. Events.
  SDL_Event event;
  while (SDL_PollEvent(&event)) {
    const bool wasOpen = menuOpen();
    handleEvent(event);
    // A key that closed the menu does not reach the game.
    if (wasOpen && !menuOpen()) input_->holdCurrent();
    // The pad-hint pictures are refreshed here on controller changes once they exist.
  }

  // 2. The sound pauses while the menu is open.
  if (menuOpen() != lastMenuOpen_) {
    lastMenuOpen_ = menuOpen();
    if (audio_) audio_->setPaused(lastMenuOpen_);
  }

  // 3-4. The demo's controls, and its speed.
  if (demo_.watching() && !menuOpen()) demoControls();
  const double factor = demo_.speedFactor();

  // 5. Time.
  const Uint64 now = SDL_GetPerformanceCounter();
  if (parameters_.quitAfterFrames > 0 && demo_.watching())
    clock_.addTicks(factor);
  else
    clock_.addElapsed(static_cast<double>(now - lastCounter_) / static_cast<double>(frequency_), factor);
  bool force = (parameters_.quitAfterFrames > 0 && !demo_.watching()) || playback_.has_value();

  // 6. The ticks owed.
  while (running_ && clock_.takeTick(force)) {
    ++vblank_;
    if (!tick()) break;
  }

  // 7-8. The picture, faded, as RGBA, with the pause menu or its notice as the last layer.
  presentedPicture_ = pictureToShow();
  {
    ui::Picture picture{presentedPicture_.width, presentedPicture_.height, std::move(presentedPicture_.pixels)};
    menu_->compose(picture);
    presentedPicture_.pixels = std::move(picture.pixels);
  }
  hasPresented_ = true;

  // 9. Present.
  display_.presentFrame(presentedPicture_);

  // 10. --video.
  if (video_) video_->addFrame(presentedPicture_, 0, sound_.get());

  // 11. The playback's tail: the program ends some frames after the recording's last tick.
  if (playback_ && playback_->quitCountdown() >= 0) {
    if (playback_->quitCountdown() == 0) running_ = false;
    --playback_->quitCountdown();
  }
  if (noticeFrames_ > 0 && --noticeFrames_ == 0) noticeText_.clear();

  // 12. --crash-test.
  if (parameters_.crashTest >= 0) {
    if (crashCounter_ == parameters_.crashTest) {
      logMessage(kInfo, "--crash-test: crashing on purpose at presented frame %d", crashCounter_);
      crashOnPurpose();
    }
    ++crashCounter_;
  }

  // 13-14.
  lastCounter_ = now;
  if (parameters_.quitAfterFrames > 0) {
    ++presented_;
    if (presented_ >= parameters_.quitAfterFrames) running_ = false;
  }
}

RgbaPicture PlayLoop::convert(const render::Frame& frame) const {
  return RgbaPicture{frame.width, frame.height, render::toRgb(frame)};
}

RgbaPicture PlayLoop::pictureToShow() const {
  const FadeView fade = fadeView(fadeTotal_, fadeLeft_);
  if (!fade.active) return convert(current_);
  return convert(render::fadeFrame(fade.oldPicture ? fadeFrom_ : current_, fade.level));
}

bool PlayLoop::tick() {
  // 2. --keys events due now reach the event handler (not the keyboard state).
  deliverScriptedKeys();

  // 3. While the menu is open it gets the menu's key repeat and the game does not step.
  if (menuOpen()) {
    menu_->command(input_->menuRepeat());
    return true;
  }

  // 4. The game does not step during a fade.
  if (fadeLeft_ > 0) {
    --fadeLeft_;
    return true;
  }

  // 5. The intro advances here once it exists.

  // 6. The code menu (F12 or --f12).
  if ((codeMenuRequest_ || vblank_ == parameters_.f12) && !openCodeMenu()) return false;

  // 7-14. The step.
  stepGame();

  // 15-19. What the step left.
  return afterStep();
}

void PlayLoop::deliverScriptedKeys() {
  auto [first, last] = keys_.equal_range(vblank_);
  for (auto it = first; it != last; ++it) {
    SDL_Event key{};
    key.type = SDL_KEYDOWN;
    key.key.state = SDL_PRESSED;
    key.key.repeat = 0;
    key.key.keysym.scancode = static_cast<SDL_Scancode>(it->second);
    key.key.keysym.sym = SDL_GetKeyFromScancode(static_cast<SDL_Scancode>(it->second));
    key.key.keysym.mod = KMOD_NONE;
    handleEvent(key);
  }
}

bool PlayLoop::openCodeMenu() {
  sim::Simulation& simulation = *simulation_;
  codeMenuRequest_ = false;
  if (simulation.openCodeMenu()) {
    simulation.keepNewestScreen();
    recompose();
  } else {
    logMessage(kInfo, "F12: the code menu opens from the front end only (the menus, the title, its attract part)");
    if (!simulation.stopMessage().empty()) {
      gameStopped();
      return false;  // the tick loop ends for this frame
    }
  }
  return true;
}

void PlayLoop::stepGame() {
  sim::Simulation& simulation = *simulation_;

  // 7. Before the step.
  previous_ = current_;
  const std::int64_t screenBefore = simulation.state().screen_kind;
  const std::int64_t frontBefore = simulation.state().front;

  // 8-9. The step.
  const std::uint8_t pad = tickPad(frontBefore);
  const char kind = simulation.tickKind();
  ++tickCounter_;
  simulation.step(pad, tickCounter_);

  // 10. The tick goes into the recording.
  recorder_.record(kind, pad);

  // 11. A new game begins: the playback takes over the timeline and a new recording starts.
  if (frontBefore != 0 && simulation.tickKind() == 'S') {
    if (playback_ && !playback_->synced()) playback_->synchronise(simulation.state().lives, tickCounter_);
    recorder_.begin(simulation.state().language, simulation.state().lives, tickCounter_);
  }

  // 12-13.
  moveSoundRequests();
  if (simulation.state().front != 0) simulation.keepNewestScreen();

  // 14. The script's log of screens and front-end changes.
  if (pads_) logScriptedChanges(pad, screenBefore, frontBefore);
}

void PlayLoop::logScriptedChanges(std::uint8_t pad, std::int64_t screenBefore, std::int64_t frontBefore) const {
  const sim::Simulation& simulation = *simulation_;
  const sim::GameState& state = simulation.state();
  if (state.screen_kind != screenBefore)
    logMessage(kInfo, "V-blank %lld (tick %lld, pad %02X): screen %lld -> %lld, fades %d V-blanks",
               static_cast<long long>(vblank_), static_cast<long long>(tickCounter_), pad,
               static_cast<long long>(screenBefore), static_cast<long long>(state.screen_kind),
               simulation.fadeVBlanks());
  if (state.front != frontBefore)
    logMessage(kInfo, "V-blank %lld (tick %lld, pad %02X): front end %lld -> %lld (language %lld), fades %d V-blanks",
               static_cast<long long>(vblank_), static_cast<long long>(tickCounter_), pad,
               static_cast<long long>(frontBefore), static_cast<long long>(state.front),
               static_cast<long long>(state.language), simulation.fadeVBlanks());
}

bool PlayLoop::afterStep() {
  sim::Simulation& simulation = *simulation_;
  const sim::GameState& state = simulation.state();

  // 15. A stopped game.
  if (!simulation.stopMessage().empty()) {
    gameStopped();
    return false;  // the tick loop ends for this frame
  }

  // 16. The safe point.
  if (state.front == 0) {
    if (simulation.isAtRest()) safePoint_ = state;
  } else {
    safePoint_.reset();
  }

  // 17. The game ended: back to the title.
  if (!simulation.endMessage().empty()) {
    logMessage(kInfo, "%s", simulation.endMessage().c_str());
    recorder_.end(simulation.endMessage());
    if (demo_.watching()) {
      demo_.stop();
      applyVolumes();
    }
    if (demo_.savedLanguage >= 0) {
      simulation.mutableState().language = demo_.savedLanguage;
      demo_.savedLanguage = -1;
    }
    simulation.newStart(false);
  }

  // 18-19. The new picture, and the fade the step asked for.
  recompose();
  if (simulation.fadeVBlanks() >= 1) {
    fadeFrom_ = previous_;
    fadeTotal_ = fadeLeft_ = simulation.fadeVBlanks();
  }

  // 20. The demo ran out.
  if (demo_.finished()) {
    demo_.clearFinished();
    leaveDemo();
  }
  return true;
}

std::uint8_t PlayLoop::tickPad(std::int64_t frontBefore) {
  if (demo_.watching()) return demo_.nextPad(simulation_->tickKind());
  if (playback_) {
    if (!playback_->synced()) return playback_->frontEndPad(simulation_->state().front);
    return playback_->nextPad(simulation_->tickKind());
  }
  if (pads_) return pads_->byteAt(vblank_);
  return input_->padByte(frontBefore != 0);
}

void PlayLoop::recompose() {
  std::optional<render::Frame> frame = composeSimulation(*data_.renderAssets, *texts_, *simulation_);
  current_ = frame ? std::move(*frame) : fallback_;
}

void PlayLoop::moveSoundRequests() {
  std::vector<audio::SoundRequest>& requests = simulation_->soundRequests();
  if (sound_) {
    if (audio_) audio_->lock();
    for (const audio::SoundRequest& request : requests) {
      switch (request.kind) {
        case sim::kSoundMusic:
          sound_->queueMusic(request.value);
          break;
        case sim::kSoundEffect:
          sound_->queueEffect(request.value);
          break;
        case sim::kSoundPause:
          sound_->queuePause();
          break;
        case sim::kSoundResume:
          sound_->queueResume();
          break;
        default:
          break;
      }
    }
    if (audio_) audio_->unlock();
  }
  requests.clear();
}

void PlayLoop::dropSoundRequests() {
  simulation_->soundRequests().clear();
}

void PlayLoop::queueMusic(std::uint32_t music) {
  if (!sound_) return;
  if (audio_) audio_->lock();
  sound_->queueMusic(music);
  if (audio_) audio_->unlock();
}

void PlayLoop::gameStopped() {
  sim::Simulation& simulation = *simulation_;
  const std::string message = simulation.stopMessage();
  logMessage(kError, "the game stopped: %s", message.c_str());
  recorder_.end("the game stopped: " + message);
  if (parameters_.quitAfterFrames > 0) exitCode_ = 1;

  const sim::GameState& state = simulation.state();
  char location[96];
  std::snprintf(location, sizeof location, " (area %lld at %lld, %lld)", static_cast<long long>(state.area),
                wholePart(state.x), wholePart(state.y));

  bool restored = false;
  if (safePoint_ && simulation.loadState(*safePoint_)) {
    dropSoundRequests();
    queueMusic(static_cast<std::uint32_t>(simulation.state().music));
    restored = true;
  } else {
    simulation.newStart(false);
    moveSoundRequests();
  }
  fadeLeft_ = 0;
  recompose();
  const RgbaPicture rgba = convert(current_);
  menu_->gameStopped(message + location, restored, ui::Picture{rgba.width, rgba.height, rgba.pixels});
}

void PlayLoop::handleEvent(const SDL_Event& event) {
  if (event.type == SDL_QUIT) {
    running_ = false;
    return;
  }
  if (!menuOpen()) {
    const int action = input_->classify(event, simulation_->state().front != 0);
    if (action != kCommandNone) {
      const RgbaPicture shown = hasPresented_ ? presentedPicture_ : convert(current_);
      menu_->action(action, ui::Picture{shown.width, shown.height, shown.pixels});
    }
    if (isFullscreenKey(event)) {
      display_.toggleFullscreen();
      storeFullscreen(display_.isFullscreen());
    }
    if (event.type == SDL_KEYDOWN && event.key.keysym.scancode == SDL_SCANCODE_F12 && !event.key.repeat)
      codeMenuRequest_ = true;
    return;
  }
  menuEvent(event);
}

void PlayLoop::menuEvent(const SDL_Event& event) {
  ui::PauseFlow& menu = *menu_;
  if (menu.captureState() != ui::kCaptureNone) {
    // Either device may answer (or cancel) a capture; controllers still come and go.
    if (const std::optional<std::int32_t> key = input_->boundKey(event))
      menu.captureKey(*key);
    else if (const std::optional<std::int32_t> button = input_->boundButton(event))
      menu.captureButton(*button);
    else if (event.type == SDL_CONTROLLERDEVICEADDED || event.type == SDL_CONTROLLERDEVICEREMOVED)
      input_->classify(event, true);
    return;
  }
  if (event.type == SDL_CONTROLLERDEVICEADDED || event.type == SDL_CONTROLLERDEVICEREMOVED) {
    input_->classify(event, true);
    return;
  }
  if (isFullscreenKey(event)) {
    display_.toggleFullscreen();
    storeFullscreen(display_.isFullscreen());
    return;
  }
  menu.command(input_->menuCommand(event));
}

int PlayLoop::shutDown() {
  if (shutDown_) return exitCode_;
  if (loopRan_ && parameters_.quitAfterFrames > 0 && exitCode_ == 0)
    logMessage(kInfo, "presented %d frames, %lld game ticks; the menu: %s", presented_,
               static_cast<long long>(tickCounter_), menu_ ? menu_->stateName().c_str() : "closed");

  // The exports. A file that could not be written makes the run fail rather than pass silently.
  bool exportsOk = true;
  if (video_) {
    video_->finish();
    exportsOk = !video_->failed();
  }
  if (!parameters_.out.empty() && hasPresented_)
    exportsOk = exportLastPicture(parameters_.out, presentedPicture_, display_) && exportsOk;
  if (!exportsOk && exitCode_ == 0) exitCode_ = 2;

  recorder_.end("the program closed");

  shutDown_ = true;
  if (audio_) audio_->close();
  audio_.reset();
  sound_.reset();
  display_.destroy();
  if (input_) input_->closeControllers();
  input_.reset();
  if (sdlStarted_) SDL_Quit();
  sdlStarted_ = false;
  return exitCode_;
}

void PlayLoop::demoControls() {
  const std::uint8_t pad = pads_ ? pads_->byteAt(vblank_) : input_->padByte(false);
  switch (demo_.controls(pad)) {
    case DemoPlayer::Control::kTakeOver:
      takeOverDemo();
      break;
    case DemoPlayer::Control::kSpeedChanged: {
      applyVolumes();
      const std::string text = "DEMO SPEED " + demoSpeedLabel(demo_.speed());
      notice(ui::fillText(interfaceText(ui::kTextDemoSpeed, true), demoSpeedLabel(demo_.speed())), 90);
      logMessage(kInfo, "watch demo: %s", text.c_str());
      break;
    }
    case DemoPlayer::Control::kNone:
      break;
  }
}

bool PlayLoop::startDemo() {
  if (!demo_.load(data_.dataDirectory)) return false;
  const InputRecording& recording = demo_.recording();
  recorder_.end("the demo began");
  sim::Simulation& live = *simulation_;
  if (demo_.savedLanguage < 0) demo_.savedLanguage = live.state().language;

  // The demo's game starts in a fresh simulation, so that a failure leaves the running game untouched.
  sim::Simulation fresh(*data_.world, *data_.rom);
  fresh.mutableState().language = 0;
  fresh.mutableState().refresh_hz = 50;
  if (!fresh.newGame(recording.lives - 2)) {
    logMessage(kError, "the demo's new game: %s", fresh.stopMessage().c_str());
    live.mutableState().language = demo_.savedLanguage;
    demo_.savedLanguage = -1;
    return false;
  }
  live.setCheats(0);
  dropSoundRequests();
  live.loadState(fresh.state());

  tickCounter_ = recording.frame_count;
  demo_.begin();
  safePoint_.reset();
  fadeLeft_ = 0;
  clock_.reset();
  recompose();
  applyVolumes();
  notice(interfaceText(ui::kTextDemoControls, true), 300);
  logMessage(kInfo, "watch demo: %zu ticks", recording.ticks.size());
  return true;
}

void PlayLoop::takeOverDemo() {
  if (!demo_.watching()) return;
  demo_.stop();
  const InputRecording& recording = demo_.recording();
  recorder_.begin(0, recording.lives, recording.frame_count);
  for (std::size_t i = 0; i < demo_.position() && i < recording.ticks.size(); ++i)
    recorder_.record(static_cast<char>(recording.ticks[i].kind), recording.ticks[i].pad);
  input_->holdCurrent();
  applyVolumes();
  notice(interfaceText(ui::kTextYourGameNow), 150);
  logMessage(kInfo, "watch demo: taken over at tick %zu", demo_.position());
}

void PlayLoop::leaveDemo() {
  logMessage(kInfo, "watch demo: left at tick %zu", demo_.position());
  demo_.stop();
  sim::Simulation& simulation = *simulation_;
  if (demo_.savedLanguage >= 0) {
    simulation.mutableState().language = demo_.savedLanguage;
    demo_.savedLanguage = -1;
  }
  simulation.newStart(false);
  moveSoundRequests();
  fadeLeft_ = 0;
  safePoint_.reset();
  recompose();
  applyVolumes();
}

void PlayLoop::setDemoSpeed(int speed) {
  demo_.setSpeed(speed);
  applyVolumes();
}

int play(Data& data, const PlayParameters& parameters) {
  PlayLoop loop(data, parameters);
  const int setUp = loop.setUp();
  if (setUp != 0) return setUp;  // the destructor closes what was opened
  while (loop.running()) loop.frame();
  return loop.shutDown();
}

int runPlay(Data& data, const Options& options) {
  PlayParameters parameters;
  parameters.windowed = options.windowed;
  parameters.quitAfterFrames = options.quitAfterFrames;
  parameters.out = options.out;
  parameters.pads = options.pads;
  parameters.f12 = options.f12;
  parameters.keys = options.keys;
  parameters.user = options.userDir;
  parameters.intro = !options.noIntro;
  parameters.crashTest = options.crashTest;
  parameters.video = options.video;
  parameters.playback = options.playback;
  return play(data, parameters);
}

}  // namespace app
