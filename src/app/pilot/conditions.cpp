#include "app/pilot/conditions.h"

#include <functional>
#include <map>

#include "sim/areas/areas.h"
#include "sim/hero/hero.h"
#include "sim/rom_view.h"
#include "sim/simulation.h"
#include "world/world.h"

namespace app::pilot {
namespace {

using sim::GameState;

std::int64_t word(const std::vector<std::uint8_t>& block, std::size_t offset) {
  if (offset + 1 >= block.size()) return 0;
  return static_cast<std::int16_t>(block[offset] << 8 | block[offset + 1]);
}

constexpr std::size_t kLiftSize = 18;
constexpr std::int64_t kLiftsRam = 0xA278;  // low word of the lifts' RAM address

// The lift record `lift_near` designates, or -1.
std::int64_t nearLift(const GameState& s) {
  if (s.lift_near == 0) return -1;
  const std::int64_t offset = (s.lift_near & 0xFFFF) - kLiftsRam;
  if (offset < 0 || offset % kLiftSize != 0) return -1;
  const std::int64_t k = offset / kLiftSize;
  return static_cast<std::size_t>(k + 1) * kLiftSize <= s.lifts.size() ? k : -1;
}

std::int64_t liftWord(const GameState& s, std::int64_t lift, std::size_t offset) {
  if (lift < 0) return 0;
  return word(s.lifts, static_cast<std::size_t>(lift) * kLiftSize + offset);
}

// Object n's record: area, x, y (the first three words), when n is a record.
bool objectPlace(const GameState& s, std::int64_t n, std::int64_t& area, std::int64_t& x, std::int64_t& y) {
  if (n < 0 || static_cast<std::size_t>(n + 1) * 16 > s.objects.size()) return false;
  const std::size_t r = static_cast<std::size_t>(n) * 16;
  area = word(s.objects, r);
  x = word(s.objects, r + 2);
  y = word(s.objects, r + 4);
  return true;
}

// The object test of the B button: the object lies in this area under the hero.
bool objectInReach(const GameState& s, std::int64_t n) {
  std::int64_t area = 0, ox = 0, oy = 0;
  if (!objectPlace(s, n, area, ox, oy) || area != s.area) return false;
  const std::int64_t x = heroX(s), y = heroY(s);
  return ox + 2 < x + 18 && x < ox + 12 && oy - 3 < y + 20 && y < oy + 10;
}

bool overlaps(std::int64_t ax, std::int64_t ay, std::int64_t aw, std::int64_t ah, std::int64_t bx, std::int64_t by,
              std::int64_t bw, std::int64_t bh) {
  return ax < bx + bw && bx < ax + aw && ay < by + bh && by < ay + ah;
}

bool overlapsRomRectangle(const sim::Simulation& simulation, std::int64_t address, std::int64_t dx, std::int64_t dy,
                          std::int64_t w, std::int64_t h) {
  if (address < 0 || address + 8 > sim::RomView::kSize) return false;
  const sim::RomView& rom = simulation.rom();
  const auto a = static_cast<std::uint32_t>(address);
  if (!rom.isPresent(a) || !rom.isPresent(a + 7)) return false;
  const GameState& s = simulation.state();
  return overlaps(heroX(s) + dx, heroY(s) + dy, w, h, rom.signedWordAt(a), rom.signedWordAt(a + 2),
                  rom.signedWordAt(a + 4), rom.signedWordAt(a + 6));
}

bool compare(std::int64_t actual, const Condition& c) {
  if (c.op.empty()) return c.hasValue ? actual == c.value : actual != 0;
  if (c.op == ">=") return actual >= c.value;
  if (c.op == "<=") return actual <= c.value;
  if (c.op == ">") return actual > c.value;
  if (c.op == "<") return actual < c.value;
  if (c.op == "!=") return actual != c.value;
  return actual == c.value;
}

using Test = std::function<bool(const Condition&, const sim::Simulation&, const CommandStart&)>;
using Value = std::int64_t (*)(const GameState&);

const std::map<std::string, Value>& numericTerms() {
  static const std::map<std::string, Value> kTerms = {
      {"area", [](const GameState& s) { return s.area; }},
      {"x", [](const GameState& s) { return heroX(s); }},
      {"y", [](const GameState& s) { return heroY(s); }},
      {"starsleft", [](const GameState& s) { return s.stars_left; }},
      {"lives", [](const GameState& s) { return s.lives; }},
      {"damage", [](const GameState& s) { return s.damage >> 16; }},
      {"event", [](const GameState& s) { return s.event; }},
      {"mode", [](const GameState& s) { return s.mode; }},
      {"slot", [](const GameState& s) { return word(s.inventory, 8); }},
      {"a9cstate", [](const GameState& s) { return word(s.area9, 28); }},
  };
  return kTerms;
}

std::int64_t countOr1(const Condition& c) {
  return c.hasValue ? c.value : 1;
}

// Departure: the numbers of "near", "carry", "star", "liftactive" (and "show lift" and "show obj") were taken as
// they came, so a slip in a route read past the block; a number outside its table makes the term false.
const std::map<std::string, Test>& namedTerms() {
  static const std::map<std::string, Test> kTerms = {
      {"anywhere", [](const Condition&, const sim::Simulation&, const CommandStart&) { return true; }},
      {"stand", [](const Condition&, const sim::Simulation& m, const CommandStart&) { return standing(m.state()); }},
      {"air", [](const Condition&, const sim::Simulation& m, const CommandStart&) { return m.state().air != 0; }},
      {"screen",
       [](const Condition&, const sim::Simulation& m, const CommandStart&) { return m.state().screen_kind != 0; }},
      {"sub",
       [](const Condition&, const sim::Simulation& m, const CommandStart&) { return m.state().in_subgame != 0; }},
      {"near", [](const Condition& c, const sim::Simulation& m,
                  const CommandStart&) { return objectInReach(m.state(), c.value); }},
      {"carry",
       [](const Condition& c, const sim::Simulation& m, const CommandStart&) {
         const GameState& s = m.state();
         if (c.value < 0 || c.value > 61 || static_cast<std::size_t>(c.value + 1) * 16 > s.objects.size()) return false;
         const std::size_t r = static_cast<std::size_t>(c.value) * 16;
         return s.objects[r] == 0xFF && s.objects[r + 1] == 0xFF;
       }},
      {"held", [](const Condition& c, const sim::Simulation& m,
                  const CommandStart&) { return word(m.state().inventory, 8) == c.value; }},
      {"star",
       [](const Condition& c, const sim::Simulation& m, const CommandStart&) { return itemTaken(m.state(), c.value); }},
      {"walker",
       [](const Condition&, const sim::Simulation& m, const CommandStart&) {
         const GameState& s = m.state();
         const std::vector<std::uint8_t>& w = s.a1_walker;
         if (s.area != 1 || s.flag_82eb != 0 || w.size() < 36 || w[26] != 0 || w[27] != 0) return false;
         return overlaps(heroX(s), heroY(s), 20, 20, word(w, 28), word(w, 30), word(w, 32), word(w, 34));
       }},
      {"liftmoving",
       [](const Condition&, const sim::Simulation& m, const CommandStart&) {
         const std::int64_t k = nearLift(m.state());
         return k >= 0 && liftWord(m.state(), k, 16) != 0 && liftWord(m.state(), k, 12) != 0;
       }},
      {"liftactive",
       [](const Condition& c, const sim::Simulation& m, const CommandStart&) {
         if (c.value < 0 || static_cast<std::size_t>(c.value + 1) * kLiftSize > m.state().lifts.size()) return false;
         return liftWord(m.state(), c.value, 0) != 0;
       }},
      {"lift",
       [](const Condition&, const sim::Simulation& m, const CommandStart&) {
         const std::int64_t k = nearLift(m.state());
         return k >= 0 && liftWord(m.state(), k, 16) != 0;
       }},
      {"centred",
       [](const Condition&, const sim::Simulation& m, const CommandStart&) {
         const GameState& s = m.state();
         const std::int64_t k = nearLift(s);
         if (k < 0 || liftWord(s, k, 16) == 0 || liftWord(s, k, 14) == 0) return false;
         const std::int64_t feet = heroY(s) + 23;
         return feet > 191 || sim::hero::solid(m.context(), heroX(s) + 10, feet);
       }},
      {"at", [](const Condition& c, const sim::Simulation& m,
                const CommandStart&) { return overlapsRomRectangle(m, c.value, 0, 0, 20, 20); }},
      {"dropat", [](const Condition& c, const sim::Simulation& m,
                    const CommandStart&) { return overlapsRomRectangle(m, c.value, 2, 8, 16, 16); }},
      {"taken", [](const Condition& c, const sim::Simulation& m,
                   const CommandStart& start) { return start.starsLeft - m.state().stars_left >= countOr1(c); }},
      {"eaten", [](const Condition& c, const sim::Simulation& m,
                   const CommandStart& start) { return fruitTaken(m) - start.fruitTaken >= countOr1(c); }},
      {"free",
       [](const Condition&, const sim::Simulation& m, const CommandStart&) {
         for (std::int64_t n = 0; n < 62; ++n)
           if (objectInReach(m.state(), n)) return false;
         return sim::areas::doorAtHero(m.context()) < 0;
       }},
  };
  return kTerms;
}

}  // namespace

std::int64_t heroX(const GameState& s) {
  return static_cast<std::int16_t>(static_cast<std::uint32_t>(s.x) >> 16);
}
std::int64_t heroY(const GameState& s) {
  return static_cast<std::int16_t>(static_cast<std::uint32_t>(s.y) >> 16);
}

bool standing(const GameState& s) {
  return s.settled != 0 && s.jump == 0 && s.air == 0 && s.stun == 0 && s.lock == 0 && s.dying == 0 &&
         s.flag_82bf == 0 && s.flag_82e3 == 0;
}

bool itemTaken(const GameState& s, std::int64_t flag) {
  if (flag < 0 || static_cast<std::size_t>(flag >> 3) >= s.flags.size()) return false;
  return (s.flags[static_cast<std::size_t>(flag >> 3)] >> (flag & 7) & 1) != 0;
}

std::int64_t fruitTaken(const sim::Simulation& simulation) {
  std::int64_t count = 0;
  for (const world::Area& area : simulation.world().areas)
    for (const world::AreaItem& item : area.items)
      if ((item.type == 1 || item.type == 5) && itemTaken(simulation.state(), item.flag)) ++count;
  return count;
}

CommandStart commandStart(const sim::Simulation& simulation) {
  return {simulation.state().stars_left, fruitTaken(simulation)};
}

bool isSearchOption(const std::string& name) {
  return name == "nodes" || name == "maxloss" || name == "lowloss" || name == "dieok" || name == "weight" ||
         name == "time" || name == "safe";
}

bool holds(const Condition& c, const sim::Simulation& simulation, const CommandStart& start) {
  bool result = true;
  if (isSearchOption(c.name)) {
    result = true;
  } else if (const auto named = namedTerms().find(c.name); named != namedTerms().end()) {
    result = named->second(c, simulation, start);
  } else if (const auto numeric = numericTerms().find(c.name); numeric != numericTerms().end()) {
    result = compare(numeric->second(simulation.state()), c);
  } else {
    result = compare(simulation.state().get(c.name).value_or(0), c);
  }
  return c.negate ? !result : result;
}

bool allHold(const std::vector<Condition>& conditions, const sim::Simulation& simulation, const CommandStart& start) {
  for (const Condition& c : conditions)
    if (!holds(c, simulation, start)) return false;
  return true;
}

}  // namespace app::pilot
