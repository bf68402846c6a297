#pragma once
// One run of the interactive game, step by step: set-up, presented frames, shut-down. play() drives it;
// the benchmark drives single frames.

#include <SDL.h>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "app/display.h"
#include "app/input.h"
#include "app/play.h"
#include "app/play_export.h"
#include "app/play_timing.h"
#include "app/recording/demo_player.h"
#include "app/recording/playback.h"
#include "app/recording/recording.h"
#include "app/scripted_input.h"
#include "render/video_chip.h"
#include "sim/game_state.h"
#include "ui/settings.h"

namespace audio {
class Sound;
class AudioOutput;
}  // namespace audio
namespace sim {
class Simulation;
}
namespace render {
class TextImages;
}
namespace ui {
class MenuArt;
class PauseFlow;
struct GameHooks;
struct Place;
struct Picture;
}  // namespace ui

namespace app {

class PlayLoop {
 public:
  PlayLoop(Data& data, const PlayParameters& parameters);
  ~PlayLoop();
  PlayLoop(const PlayLoop&) = delete;
  PlayLoop& operator=(const PlayLoop&) = delete;

  // The set-up in order; 0 when the loop can run, else the code play() returns.
  int setUp();
  // One presented frame: events, ticks, the picture, presentation.
  void frame();
  bool running() const { return running_; }
  // Exports, closing the sound, the window and SDL; the exit code.
  int shutDown();

  // For tests and the benchmark.
  const sim::Simulation& simulation() const { return *simulation_; }
  sim::Simulation& mutableSimulation() { return *simulation_; }
  std::int64_t vblank() const { return vblank_; }
  std::int64_t tickCounter() const { return tickCounter_; }
  std::int32_t presented() const { return presented_; }
  const Display& display() const { return display_; }
  const RgbaPicture& lastPresented() const { return presentedPicture_; }
  render::TextImages& texts() { return *texts_; }
  void setCrt(bool on) { display_.crt = on; }
  ui::PauseFlow& menu() { return *menu_; }

  // The demo, as the pause menu's "Watch Demo" page and its hooks drive it. startDemo is false (logged) when
  // there is no demo or its game cannot start; the running game is then left as it was.
  bool startDemo();
  void takeOverDemo();
  void leaveDemo();
  void setDemoSpeed(int speed);
  const DemoPlayer& demo() const { return demo_; }
  DemoPlayer& mutableDemo() { return demo_; }
  // Ends the running recording with a reason (a save loaded, a teleport, quit to the title, a cheat).
  void endRecording(const std::string& reason) { recorder_.end(reason); }
  const InputRecorder& recorder() const { return recorder_; }
  const Playback* playback() const { return playback_ ? &*playback_ : nullptr; }
  // The last notice shown over the game (the pause menu draws it).
  const std::string& noticeText() const { return noticeText_; }

 private:
  // The set-up's steps; those that can fail return 0 or the code play() returns.
  int readScripts();
  int loadGameData();
  void startSimulation();
  int openWindow();
  void openSound();
  int drawFirstPicture();
  void readPreferences();
  void startClock();

  void handleEvent(const SDL_Event& event);
  bool tick();  // false ends the frame's ticks
  // The tick's steps; false from openCodeMenu and afterStep ends the frame's ticks (the game stopped).
  void deliverScriptedKeys();
  bool openCodeMenu();
  void stepGame();
  void logScriptedChanges(std::uint8_t pad, std::int64_t screenBefore, std::int64_t frontBefore) const;
  bool afterStep();
  std::uint8_t tickPad(std::int64_t frontBefore);
  void moveSoundRequests();
  void dropSoundRequests();
  void queueMusic(std::uint32_t music);
  void recompose();
  void gameStopped();
  void applySettings();
  void applyVolumes();
  void demoControls();
  void notice(const std::string& text, int frames);
  // An interface text in the game's language, or in English for the demo's own controls.
  std::string interfaceText(int id, bool english = false) const;
  void storeFullscreen(bool on);
  bool menuOpen() const;
  ui::GameHooks makeHooks();
  bool loadGame(const sim::GameState& state);
  void quitToTitle();
  bool teleportTo(const ui::Place& place);
  void applyMenuSettings(const Settings& settings);
  void menuEvent(const SDL_Event& event);
  RgbaPicture convert(const render::Frame& frame) const;
  RgbaPicture pictureToShow() const;

  Data& data_;
  PlayParameters parameters_;

  bool running_ = true;
  int exitCode_ = 0;
  bool loopRan_ = false;
  bool shutDown_ = false;
  bool sdlStarted_ = false;

  std::int64_t vblank_ = 0;
  std::int64_t tickCounter_ = 0;
  TickClock clock_;
  Uint64 lastCounter_ = 0;
  Uint64 frequency_ = 1;
  std::int32_t presented_ = 0;
  std::int32_t crashCounter_ = 0;

  std::int32_t fadeTotal_ = 0;
  std::int32_t fadeLeft_ = 0;
  render::Frame previous_;
  render::Frame fadeFrom_;
  render::Frame current_;
  const render::Frame fallback_{};  // black
  bool codeMenuRequest_ = false;
  bool lastMenuOpen_ = false;

  std::optional<PadScript> pads_;
  std::multimap<long long, std::int32_t> keys_;
  std::optional<sim::GameState> safePoint_;

  std::filesystem::path preferenceFolder_;
  Settings settings_;

  std::unique_ptr<render::TextImages> texts_;  // the screens' messages, by language
  std::shared_ptr<sim::Simulation> simulation_;
  std::unique_ptr<audio::Sound> sound_;
  std::unique_ptr<audio::AudioOutput> audio_;
  bool audioAttached_ = false;
  Display display_;
  std::unique_ptr<Input> input_;
  std::unique_ptr<VideoExport> video_;
  std::unique_ptr<ui::MenuArt> menuArt_;
  std::unique_ptr<ui::PauseFlow> menu_;

  RgbaPicture presentedPicture_;
  bool hasPresented_ = false;

  InputRecorder recorder_;
  std::optional<Playback> playback_;
  DemoPlayer demo_;
  std::string noticeText_;
  int noticeFrames_ = 0;
};

}  // namespace app
