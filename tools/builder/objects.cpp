#include "objects.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <map>
#include <set>
#include <sstream>

#include "sim/cartridge.h"
#include "source_error.h"

namespace builder {

namespace fs = std::filesystem;
using json = nlohmann::ordered_json;

namespace {

constexpr int kObjectCount = 62;  // the new game copies exactly 62 records
constexpr int kLiftCount = 9;     // and 9 lifts
constexpr int kCarried = -1;
constexpr int kUsedUp = 100;
constexpr int kMostObjectsInAnArea = 31;  // a 32nd object lying in an area (or carried) stops the game
constexpr std::uint32_t kNameTable = sim::cart::kObjectIcons;
constexpr int kNothingHeld = 80;  // the table's entry for an empty slot
constexpr int kFirstObjectName = 30, kLastObjectName = 89;
// The icon picture's squares, ten to a row in two rows: 0 the empty ring, 16 the pointing hand of the
// event screens, the others objects.
constexpr int kLastIcon = 19;
constexpr int kPointingHand = 16;

// What dropping an object does is chosen by its use routine; the logic knows these and no others.
const std::set<std::uint32_t> kUseRoutines = {
    0x009C06, 0x009C70, 0x00A740, 0x00A00C, 0x00A0E2, 0x009C08, 0x009C14, 0x009C20, 0x009C2C, 0x009C38,
    0x009C94, 0x009CB8, 0x009CDC, 0x009D00, 0x009D24, 0x009D48, 0x009D6C, 0x009DEE, 0x009E3C, 0x009E8A,
    0x009F40, 0x009FCA, 0x00A006, 0x00A054, 0x00A0EA, 0x00A188, 0x00A228, 0x00A270, 0x00A2B4, 0x00A2F0,
    0x00A32C, 0x00A37E, 0x00A3C4, 0x00A42A, 0x00A490, 0x00A4FE, 0x00A542, 0x00A610, 0x00A658, 0x00A694,
    0x00A6AC, 0x00A6F4, 0x00A774, 0x00A7F6, 0x00A832, 0x00A85A, 0x00A88E, 0x00A8CA};
// The lift keys; picking up the first of them raises the lift-stone message, which is given for
// objects of kind 6.
const std::set<std::uint32_t> kLiftKeys = {0x009C08, 0x009C14, 0x009C20, 0x009C2C, 0x009C38};
constexpr int kLiftStoneKind = 6;
// The area handler that runs each lift.
constexpr std::array<int, kLiftCount> kLiftArea = {0, 3, 4, 5, 15, 16, 17, 17, 47};

struct Line {
  int number;
  std::vector<std::string> words;
};

std::vector<Line> readLines(const fs::path& file) {
  std::istringstream in(readSource(file));
  std::vector<Line> lines;
  std::string text;
  for (int n = 1; std::getline(in, text); ++n) {
    if (auto hash = text.find('#'); hash != std::string::npos) text.erase(hash);
    std::istringstream words(text);
    Line l{n, {}};
    for (std::string w; words >> w;) l.words.push_back(w);
    if (!l.words.empty()) lines.push_back(std::move(l));
  }
  return lines;
}

void check(bool ok, const fs::path& file, int line, const std::string& message) {
  if (!ok) fail(file, line, message);
}

int number(const std::string& w, const fs::path& file, int line, int lo, int hi, const char* what) {
  const long long v = parseNumber(w, file, line);
  if (v < lo || v > hi)
    fail(file, line,
         std::string(what) + " " + std::to_string(v) + " lies outside " + std::to_string(lo) + " to " +
             std::to_string(hi));
  return static_cast<int>(v);
}

std::string hex6(std::uint32_t a) {
  char t[16];
  std::snprintf(t, sizeof t, "%06X", a);
  return t;
}

const AreaGround& areaWithMap(const std::vector<AreaGround>& areas, int id, const fs::path& file, int line) {
  if (id < 0 || id >= static_cast<int>(areas.size()) || !areas[id].hasMap)
    fail(file, line, "area " + std::to_string(id) + " has no map to lie in");
  return areas[id];
}

}  // namespace

bool AreaGround::solidAt(int x, int y) const {
  if (x < 0 || y < 0 || y >= 192) return false;
  const std::size_t byte = static_cast<std::size_t>(x / 8) * 3 + static_cast<std::size_t>(y / 64);
  return byte < collision.size() && ((collision[byte] >> ((y >> 3) & 7)) & 1);
}

ObjectTables readObjectTables(const fs::path& objectsFile, const fs::path& liftsFile,
                              const std::vector<AreaGround>& areas, RomImage& rom) {
  ObjectTables out;

  // Objects.
  std::array<std::uint8_t, 4 * (kNothingHeld + 1)> names{};
  std::map<int, int> lyingIn;  // area -> objects lying there
  int carried = 0;
  int count = 0;
  for (const auto& l : readLines(objectsFile)) {
    const fs::path& f = objectsFile;
    check(l.words[0] == "object", f, l.number, "expected: object NUMBER AREA X Y KIND ICON NAME USE");
    check(l.words.size() == 9, f, l.number, "expected: object NUMBER AREA X Y KIND ICON NAME USE");
    const int n = number(l.words[1], f, l.number, 0, kObjectCount - 1, "object number");
    check(n == count, f, l.number,
          "object " + std::to_string(n) + " out of order: object " + std::to_string(count) + " comes next");
    const int area = number(l.words[2], f, l.number, -1, kUsedUp, "area");
    const int x = number(l.words[3], f, l.number, -32768, 32767, "x");
    const int y = number(l.words[4], f, l.number, -64, 191, "y");
    const int kind = number(l.words[5], f, l.number, 0, 127, "kind");
    const int icon = number(l.words[6], f, l.number, 0, kLastIcon, "icon");
    check(icon != kPointingHand, f, l.number, "icon 16 is the pointing hand, not an object's square");
    const int name = number(l.words[7], f, l.number, kFirstObjectName, kLastObjectName, "name entry");
    const std::string& use = l.words[8];
    check(use.size() == 6 && use.find_first_not_of("0123456789ABCDEF") == std::string::npos, f, l.number,
          "the use routine is six upper-case hex digits, found " + use);
    const auto routine = static_cast<std::uint32_t>(std::stoul(use, nullptr, 16));
    check(kUseRoutines.count(routine) > 0, f, l.number, "the logic has no use routine " + use);
    check(!kLiftKeys.count(routine) || kind == kLiftStoneKind, f, l.number, "a lift key is a lift stone: kind 6");

    if (area == kCarried) {
      ++carried;
    } else if (area != kUsedUp) {
      const AreaGround& a = areaWithMap(areas, area, f, l.number);
      check(x >= 0 && x < a.width * 32, f, l.number,
            "x " + std::to_string(x) + " lies outside area " + std::to_string(area));
      ++lyingIn[area];
      // An object in sight lies on the ground, where the hero can bend for it; one above the picture
      // (y below 0) waits out of reach until a set piece puts it down.
      if (y >= 0)
        check(a.solidAt(x + 8, y + 16) && !a.solidAt(x + 8, y + 8), f, l.number,
              "object " + std::to_string(n) + " at (" + std::to_string(x) + ", " + std::to_string(y) +
                  ") does not lie on the ground of area " + std::to_string(area));
    }
    out.objects.push_back(
        {{"area", area}, {"x", x}, {"y", y}, {"kind", kind}, {"number", n}, {"slot", 0}, {"use_routine", use}});
    names[4 * n] = 0, names[4 * n + 1] = static_cast<std::uint8_t>(icon);
    names[4 * n + 2] = static_cast<std::uint8_t>(name >> 8), names[4 * n + 3] = static_cast<std::uint8_t>(name);
    ++count;
  }
  check(count == kObjectCount, objectsFile, 0,
        "the world needs " + std::to_string(kObjectCount) + " objects, found " + std::to_string(count));
  for (auto [area, n] : lyingIn)
    check(n + carried <= kMostObjectsInAnArea, objectsFile, 0,
          "area " + std::to_string(area) + " holds " + std::to_string(n + carried) +
              " objects with the carried ones; at most " + std::to_string(kMostObjectsInAnArea));

  // The inventory's words per object: its icon and its name entry. Object 80 stands for an empty
  // slot: icon 0 (the empty ring), entry 0 ("Nothing"); the numbers between are never shown.
  RomSection section;
  section.address = kNameTable;
  section.bytes.assign(names.begin(), names.end());
  rom.put(section.address, section.bytes,
          objectsFile.generic_string() + ": the inventory's object names at " + hex6(kNameTable));
  rom.addSection(section);

  // Lifts.
  count = 0;
  for (const auto& l : readLines(liftsFile)) {
    const fs::path& f = liftsFile;
    const char* form = "expected: lift INDEX AREA X Y ROPE_MIN ROPE_MAX ROPE ACTIVE";
    check(l.words[0] == "lift" && l.words.size() == 9, f, l.number, form);
    const int k = number(l.words[1], f, l.number, 0, kLiftCount - 1, "lift");
    check(k == count, f, l.number,
          "lift " + std::to_string(k) + " out of order: lift " + std::to_string(count) + " comes next");
    const int area = number(l.words[2], f, l.number, 0, 49, "area");
    check(area == kLiftArea[k], f, l.number,
          "lift " + std::to_string(k) + " is run by the handler of area " + std::to_string(kLiftArea[k]) + ", not " +
              std::to_string(area));
    const AreaGround& a = areaWithMap(areas, area, f, l.number);
    const int x = number(l.words[3], f, l.number, 0, a.width * 32 - 16, "x");
    const int y = number(l.words[4], f, l.number, -64, 191, "y");
    const int ropeMin = number(l.words[5], f, l.number, 0, 191, "rope_min");
    const int ropeMax = number(l.words[6], f, l.number, ropeMin, 191, "rope_max");
    const int rope = number(l.words[7], f, l.number, ropeMin, ropeMax, "rope");
    const int active = number(l.words[8], f, l.number, 0, 1, "active");
    // The hero stands in the basket with his feet 34 pixels below the rope's end; at the bottom of
    // its run the basket meets a floor, so that he can step in.
    const int feet = y + ropeMax + 34;
    check(a.solidAt(x + 8, feet) && !a.solidAt(x + 8, feet - 8), f, l.number,
          "at rope_max the basket of lift " + std::to_string(k) + " does not meet the floor (the hero's feet at y " +
              std::to_string(feet) + ")");
    out.lifts.push_back({{"active", active},
                         {"x", x},
                         {"y", y},
                         {"rope_min", ropeMin},
                         {"rope_max", ropeMax},
                         {"rope", rope},
                         {"speed", 0},
                         {"centred", 0},
                         {"standing", 0}});
    ++count;
  }
  check(count == kLiftCount, liftsFile, 0,
        "the world needs " + std::to_string(kLiftCount) + " lifts, found " + std::to_string(count));
  return out;
}

}  // namespace builder
