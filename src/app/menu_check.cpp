// --check-menu: the pause menu's self-check on a game started in memory. A save written and read back,
// the loaded game stepped beside the saved one, the cheats, and every teleport place of the data set.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "app/modes.h"
#include "base/log.h"
#include "sim/rom_view.h"
#include "sim/simulation.h"
#include "ui/pause_flow.h"
#include "ui/saves.h"

namespace app {
namespace {

namespace fs = std::filesystem;

constexpr int kStepsAfterLoad = 1000;
constexpr int kSettleSteps = 100;
constexpr int kDeathStepLimit = 1000;
constexpr std::int64_t kFullDamage = std::int64_t{64} << 16;
constexpr std::int64_t kHarmfulRamp = 0x8000 | 50;

class Checker {
 public:
  explicit Checker(Data& data) : data_(data) {}

  // A game started in memory and run a little, so that its state is not the starting one.
  std::unique_ptr<sim::Simulation> newGame() {
    auto game = std::make_unique<sim::Simulation>(*data_.world, *data_.rom);
    game->mutableState().refresh_hz = 50;
    game->newStart(false);
    game->newGame(0);
    for (int i = 0; i < kSettleSteps; ++i) step(*game, i % 40 < 25 ? 0x08 : 0x00);
    return game;
  }

  void step(sim::Simulation& game, std::uint8_t pad) {
    game.step(pad, ++tick_);
    game.soundRequests().clear();
    game.keepNewestScreen();
  }

  bool saves() {
    std::unique_ptr<sim::Simulation> saved = newGame();
    const fs::path path = fs::temp_directory_path() / "brumo_check_menu_save.json";
    const std::int64_t now =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch()).count();
    std::string reason = "not written";
    std::optional<ui::LoadedSave> loaded;
    if (ui::writeSave(path, saved->state(), now)) loaded = ui::readSave(path, &reason);
    std::error_code ec;
    fs::remove(path, ec);
    if (!loaded) {
      std::printf("FAIL: the save was not written or read back (%s)\n", reason.c_str());
      return false;
    }
    bool ok = true;
    for (std::string_view field : sim::differingFields(loaded->state, saved->state())) {
      std::printf("FAIL: the save's %s differs\n", std::string(field).c_str());
      ok = false;
    }
    auto restored = std::make_unique<sim::Simulation>(*data_.world, *data_.rom);
    if (!restored->loadState(loaded->state)) {
      std::printf("FAIL: the save did not load\n");
      return false;
    }
    for (int i = 0; i < kStepsAfterLoad; ++i) {
      const std::uint8_t pad = static_cast<std::uint8_t>(i % 90 < 50 ? 0x08 : i % 90 < 60 ? 0x28 : 0x04);
      step(*saved, pad);
      step(*restored, pad);
    }
    const std::vector<std::string_view> after = sim::differingFields(restored->state(), saved->state());
    for (std::string_view field : after) {
      std::printf("FAIL: %d steps after the load, %s differs\n", kStepsAfterLoad, std::string(field).c_str());
      ok = false;
    }
    if (ok)
      std::printf("save: %zu fields read back equal; the loaded game equal %d steps on\n", sim::kFieldCount,
                  kStepsAfterLoad);
    return ok;
  }

  bool cheats() {
    bool ok = true;
    std::unique_ptr<sim::Simulation> game = newGame();
    game->setCheats(sim::kCheatLives);
    const std::int64_t livesBefore = game->state().lives;
    game->mutableState().damage = kFullDamage;
    int died = 0;
    for (int i = 0; i < kDeathStepLimit && died == 0; ++i) {
      step(*game, 0);
      if (game->state().screen_kind == sim::kLivesScreen || game->state().respawn_pending != 0) died = 1;
    }
    const std::int64_t livesAfter = game->state().lives;
    if (died == 0 || livesAfter != livesBefore) {
      std::printf("FAIL: infinite lives: died %d, lives %lld -> %lld (%s)\n", died, static_cast<long long>(livesBefore),
                  static_cast<long long>(livesAfter),
                  game->stopMessage().empty() ? "no stop" : game->stopMessage().c_str());
      ok = false;
    }

    std::unique_ptr<sim::Simulation> ramp = newGame();
    ramp->setCheats(sim::kCheatNoDamage);
    ramp->mutableState().damage = 0;
    ramp->mutableState().energy_ramp = kHarmfulRamp;
    for (int i = 0; i < 60; ++i) step(*ramp, 0);
    const std::int64_t damage = ramp->state().damage >> 16;
    if (damage != 0) {
      std::printf("FAIL: infinite energy: damage %lld\n", static_cast<long long>(damage));
      ok = false;
    }
    if (ok)
      std::printf("cheats: a death kept the lives (%lld); a harmful ramp left no damage\n",
                  static_cast<long long>(livesAfter));
    return ok;
  }

  bool teleports(const std::vector<ui::Place>& places) {
    int safe = 0;
    for (const ui::Place& place : places) {
      std::unique_ptr<sim::Simulation> game = newGame();
      const char* problem = nullptr;
      if (!game->teleport(place.area, place.x, place.y)) {
        problem = "refused";
      } else {
        for (int i = 0; i < kSettleSteps && game->stopMessage().empty(); ++i) step(*game, 0);
        const sim::GameState& s = game->state();
        if (!game->stopMessage().empty())
          problem = "the game stopped";
        else if (s.area != place.area)
          problem = "left the area";
        else if (s.in_subgame != 0 || s.screen_kind != 0)
          problem = "a subgame or a screen began";
        else if (s.dying != 0)
          problem = "dying";
        else if (s.settled == 0)
          problem = "not settled";
        else if ((s.damage >> 16) != 0)
          problem = "hurt";
      }
      if (problem) {
        const sim::GameState& s = game->state();
        std::printf(
            "FAIL: teleport %s (area %lld, %lld, %lld): %s, area %lld at %lld, %lld, dying %lld, settled %lld\n",
            place.label[0].c_str(), static_cast<long long>(place.area), static_cast<long long>(place.x),
            static_cast<long long>(place.y), problem, static_cast<long long>(s.area),
            static_cast<long long>(static_cast<std::int16_t>(static_cast<std::uint32_t>(s.x) >> 16)),
            static_cast<long long>(static_cast<std::int16_t>(static_cast<std::uint32_t>(s.y) >> 16)),
            static_cast<long long>(s.dying), static_cast<long long>(s.settled));
      } else {
        ++safe;
      }
    }
    std::printf("teleport: %d of %zu places safe\n", safe, places.size());
    return !places.empty() && safe == static_cast<int>(places.size());
  }

 private:
  Data& data_;
  std::int64_t tick_ = 0;
};

}  // namespace

int runMenuCheck(Data& data, const Options&) {
  if (!data.rom && !loadCartridgeTables(data)) return 2;
  Checker checker(data);
  bool ok = checker.saves();
  ok = checker.cheats() && ok;
  ok = checker.teleports(ui::loadPlaces(data.dataDirectory)) && ok;
  std::printf(ok ? "the menu's checks pass\n" : "the menu's checks FAIL\n");
  std::fflush(stdout);
  return ok ? 0 : 1;
}

}  // namespace app
