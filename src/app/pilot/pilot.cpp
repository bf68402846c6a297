#include "app/pilot/pilot.h"

#include "app/pilot/conditions.h"
#include "base/log.h"

namespace app::pilot {
namespace {

long long invWord(const sim::GameState& s, std::size_t w) {
  if (2 * w + 1 >= s.inventory.size()) return 0;
  return static_cast<std::int16_t>(s.inventory[2 * w] << 8 | s.inventory[2 * w + 1]);
}

constexpr std::int64_t kFirstTick = 1001;

}  // namespace

std::string stateSummary(const sim::GameState& s) {
  char text[256];
  std::snprintf(
      text, sizeof text, "area %lld x %lld y %lld stars %lld score %lld lives %lld dmg %lld inv %lld %lld %lld%s%s%s",
      static_cast<long long>(s.area), static_cast<long long>(heroX(s)), static_cast<long long>(heroY(s)),
      static_cast<long long>(s.stars_left), static_cast<long long>(s.score), static_cast<long long>(s.lives),
      static_cast<long long>(s.damage >> 16), invWord(s, 2), invWord(s, 3), invWord(s, 4),
      s.dying != 0 ? "[dying]" : "", s.in_subgame != 0 ? "[subgame]" : "", s.screen_kind != 0 ? "[screen]" : "");
  return text;
}

Pilot::Pilot(const world::World& world, sim::RomView& rom) : rom_(rom), simulation_(world, rom) {}

Pilot::~Pilot() {
  if (log_ != nullptr) std::fclose(log_);
}

bool Pilot::newGame(std::int64_t extraLives, std::int64_t language) {
  simulation_.mutableState().language = language;
  simulation_.mutableState().refresh_hz = 50;
  const bool ok = simulation_.newGame(extraLives);
  simulation_.soundRequests().clear();
  startLives_ = simulation_.state().lives;
  if (!ok) failure_ = simulation_.stopMessage();
  return ok;
}

bool Pilot::openLog(const std::filesystem::path& path) {
  log_ = std::fopen(path.string().c_str(), "w");
  if (log_ == nullptr) {
    logMessage(kError, "--log: could not write %s", path.string().c_str());
    return false;
  }
  std::fputs("tick\tkind\tpad\tarea\tx\ty\tstars\tscore\tlives\tdamage\tinv2\tinv3\tinv4\tscreen\tmode\tcamera\n",
             log_);
  return true;
}

bool Pilot::step(std::uint8_t pad) {
  const char kind = simulation_.tickKind();
  simulation_.step(pad, played_ + kFirstTick);
  simulation_.soundRequests().clear();
  const RecordedTick tick{static_cast<std::uint8_t>(kind == 0 ? '-' : kind), pad};
  if (stream_ != nullptr)
    stream_->add(tick);
  else
    ticks_.push_back(tick);
  ++played_;
  const sim::GameState& s = simulation_.state();
  if (log_ != nullptr)
    std::fprintf(log_, "%lld\t%c\t%02X\t%lld\t%lld\t%lld\t%lld\t%lld\t%lld\t%lld\t%lld\t%lld\t%lld\t%lld\t%lld\t%lld\n",
                 static_cast<long long>(played_), kind == 0 ? '-' : kind, pad, static_cast<long long>(s.area),
                 static_cast<long long>(heroX(s)), static_cast<long long>(heroY(s)),
                 static_cast<long long>(s.stars_left), static_cast<long long>(s.score), static_cast<long long>(s.lives),
                 static_cast<long long>(s.damage >> 16), invWord(s, 2), invWord(s, 3), invWord(s, 4),
                 static_cast<long long>(s.screen_kind), static_cast<long long>(s.mode),
                 static_cast<long long>(s.camera_x));
  if (!simulation_.stopMessage().empty()) {
    failure_ = "the simulation stopped: " + simulation_.stopMessage();
    return false;
  }
  if (livesWatched_ >= 0 && s.lives < livesWatched_) {
    failure_ = "a life was lost";
    return false;
  }
  return true;
}

bool Pilot::play(const std::vector<std::uint8_t>& pads) {
  for (std::uint8_t pad : pads)
    if (!step(pad)) return false;
  return true;
}

}  // namespace app::pilot
