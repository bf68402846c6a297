#include "actor_source.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <map>
#include <set>

#include "objects.h"
#include "source_error.h"

namespace builder {

namespace {

// A named field of a record: where it lies, its width in bytes, and whether it is a 16.16 value (then
// written in pixels, with a fraction: speed=0.75).
struct Field {
  const char* name;
  int offset;
  int width;
  bool fixed = false;
};

struct Kind {
  const char* name;
  std::vector<Field> fields;
  std::vector<std::pair<const char*, double>> defaults;  // set before the line's own fields
};

// Fields shared by the kinds that move between two x limits.
const Field kLeft{"left", 28, 2}, kRight{"right", 30, 2};

// The kinds by type number. Each field is named for what the type's routine does with it.
const std::array<Kind, 15> kKinds = {{
    // 0: hangs on a thread and drops by its offset: waits `wait` + up to 31 frames at the top, drops
    // to `drop`, holds `hold` + up to 31 frames, climbs back to `top`.
    {"dangler",
     {{"wait", 28, 2},
      {"hold", 30, 2},
      {"top", 32, 2},
      {"drop", 34, 2},
      {"timer", 46, 2},
      {"hold_timer", 48, 2},
      {"dir", 52, 2},
      {"offset", 54, 2}},
     {{"timer", 40}}},
    // 1: bobs up and down; `glow` picks its second look.
    {"bobber",
     {{"speed", 16, 4, true}, {"accel", 24, 4, true}, {"limit", 36, 4, true}, {"glow", 46, 2}},
     {{"accel", 0.03125}, {"limit", 0.5}}},
    // 2: bobs, rests at the top of each swing for `rest` frames and swells again.
    {"puffer",
     {{"speed", 16, 4, true}, {"accel", 24, 4, true}, {"limit", 20, 4, true}, {"count", 52, 2}, {"rest", 54, 2}},
     {{"accel", 0.03125}, {"limit", 0.5}, {"rest", 60}}},
    // 3: lets itself down on its thread from `top` to `drop` pixels, pauses, climbs back.
    {"spinner",
     {{"top", 32, 2},
      {"drop", 34, 2},
      {"dir", 46, 2},
      {"climb_pause", 48, 2},
      {"drop_pause", 50, 2},
      {"pause", 52, 2},
      {"length", 54, 4, true},
      {"speed", 16, 4, true},
      {"accel", 24, 4, true}},
     {{"top", 8}, {"climb_pause", 60}, {"drop_pause", 30}, {"pause", 40}, {"length", 8}}},
    // 4: hovers between the x limits, seeking heights between `top` and `bottom` (the first height it
    // seeks is `target`, its own y unless given); knocks the hero aside.
    {"hoverer",
     {kLeft, kRight, {"top", 32, 2}, {"bottom", 34, 2}, {"step", 20, 4, true}, {"turn", 46, 2}, {"target", 48, 2}},
     {{"step", 0.5}, {"turn", 60}}},
    // 5: darts between the x limits, seeking heights between `top` and `bottom` as the hoverer.
    {"darter",
     {kLeft, kRight, {"top", 32, 2}, {"bottom", 34, 2}, {"step", 20, 4, true}, {"turn", 46, 2}, {"target", 48, 2}},
     {{"step", 1}, {"turn", 60}}},
    // 6: walks between the x limits, 2 pixels a stride; `look` picks its walk.
    {"walker", {kLeft, kRight, {"look", 36, 2}}, {}},
    // 7: crawls between the x limits at `speed`; `look` picks one of four crawlers of the area.
    {"crawler",
     {{"speed", 12, 4, true}, kLeft, kRight, {"walk", 36, 2}, {"look", 38, 2}, {"dir", 52, 2}},
     {{"speed", 0.5}, {"dir", -1}}},
    // 8: flits in eight directions inside x `left`..`right`, y `top`..128.
    {"flitter", {kLeft, kRight, {"top", 32, 2}, {"dir", 46, 2}, {"turn", 48, 2}}, {{"turn", 40}}},
    // 9: swims to and fro: speeds up by `accel` to `limit`, slows down and turns; bobs by `bob_limit`.
    {"swimmer",
     {{"speed", 12, 4, true},
      {"bob_speed", 16, 4, true},
      {"accel", 20, 4, true},
      {"bob_accel", 24, 4, true},
      {"limit", 28, 4, true},
      {"bob_limit", 32, 4, true},
      {"state", 52, 2}},
     {{"accel", 0.015625}, {"limit", 1}, {"bob_accel", 0.015625}, {"bob_limit", 0.25}}},
    // 10: steps 4 pixels at a time between the x limits, resting `wait` frames between steps.
    {"stepper", {kLeft, kRight, {"state", 36, 2}, {"counter", 52, 2}, {"wait", 54, 2}, {"dir", 56, 2}}, {{"wait", 40}}},
    // 11: swells under the roof at y `top`, falls to `bottom` and splashes, every `every` frames.
    {"drip",
     {{"max_speed", 20, 4, true},
      {"gravity", 24, 4, true},
      {"top", 32, 2},
      {"bottom", 34, 2},
      {"wait", 46, 2},
      {"state", 48, 2},
      {"every", 52, 2}},
     {{"max_speed", 4}, {"gravity", 0.125}, {"state", 2}, {"every", 150}}},
    // 12: bursts into life every `every` frames, the first time after `wait`.
    {"vent", {{"wait", 46, 2}, {"every", 50, 2}}, {{"every", 120}}},
    // 13: thrown from (`from_x`, `from_y`) at `dx` a frame, rising at `launch` and falling back under
    // `gravity` (no faster than `max_speed`) until it passes `floor`; again after `every` frames.
    {"thrower",
     {{"dx", 12, 4, true},
      {"speed", 16, 4, true},
      {"launch", 20, 4, true},
      {"gravity", 24, 4, true},
      {"from_x", 28, 2},
      {"from_y", 32, 2},
      {"floor", 34, 2},
      {"max_speed", 36, 4, true},
      {"wait", 46, 2},
      {"every", 48, 2}},
     {{"launch", -3}, {"gravity", 0.125}, {"max_speed", 4}, {"every", 90}}},
    // 14: creeps between the x limits at `speed`.
    {"creeper",
     {{"speed", 12, 4, true}, kLeft, kRight, {"walk", 36, 2}, {"dir", 52, 2}},
     {{"speed", 0.5}, {"dir", -1}}},
}};

// Record offsets that hold data bytes (not the type, x or y).
bool dataOffset(int offset) {
  return offset == 6 || offset == 7 || (offset >= 10 && offset < kActorRecordBytes);
}

void put(std::array<std::uint8_t, kActorRecordBytes>& r, int offset, int width, long long v) {
  for (int i = 0; i < width; ++i) r[offset + i] = static_cast<std::uint8_t>(v >> (8 * (width - 1 - i)));
}

long long get(const std::array<std::uint8_t, kActorRecordBytes>& r, int offset, int width) {
  long long v = 0;
  for (int i = 0; i < width; ++i) v = v << 8 | r[offset + i];
  const long long top = 1LL << (8 * width - 1);
  return (v ^ top) - top;  // signed
}

bool isNumber(const std::string& s) {
  return !s.empty() && (std::isdigit(static_cast<unsigned char>(s[0])) || s[0] == '-' || s[0] == '$');
}

// A value of a field: pixels with an optional fraction for 16.16 fields, whole numbers otherwise.
long long fieldValue(const Field& f, const std::string& text, const std::filesystem::path& file, int line) {
  long long v;
  if (f.fixed) {
    char* end = nullptr;
    const double d = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !std::isfinite(d))
      fail(file, line, std::string(f.name) + "=" + text + ": a number of pixels, e.g. 0.75");
    v = std::llround(d * 65536.0);
    if (static_cast<double>(v) != d * 65536.0)
      fail(file, line, std::string(f.name) + "=" + text + ": not a whole number of 1/65536 pixels");
  } else {
    v = parseNumber(text, file, line);
  }
  const long long lo = f.width == 1 ? -128 : f.width == 2 ? -32768 : -(1LL << 31);
  const long long hi = f.width == 1 ? 255 : f.width == 2 ? 65535 : (1LL << 32) - 1;
  if (v < lo || v > hi)
    fail(file, line, std::string(f.name) + "=" + text + " does not fit in " + std::to_string(f.width) + " bytes");
  return v;
}

// "byte@N", "word@N" or "long@N": a raw field at record offset N, for state the names leave out.
bool rawField(const std::string& key, Field& out, const std::filesystem::path& file, int line) {
  const auto at = key.find('@');
  if (at == std::string::npos) return false;
  const std::string size = key.substr(0, at);
  const int width = size == "byte" ? 1 : size == "word" ? 2 : size == "long" ? 4 : 0;
  if (!width) fail(file, line, key + ": a raw field is byte@N, word@N or long@N");
  const int offset = static_cast<int>(parseNumber(key.substr(at + 1), file, line));
  for (int i = 0; i < width; ++i)
    if (!dataOffset(offset + i))
      fail(file, line, key + ": offsets 0-5 and 8-9 are the type, x and y, and a record has 58 bytes");
  out = {"raw", offset, width};
  return true;
}

void checkLimits(const Kind& kind, const ActorSource& a, const std::set<std::string>& given,
                 const std::filesystem::path& file, int line) {
  auto word = [&](int offset) { return get(a.record, offset, 2); };
  const bool hasLimits =
      std::any_of(kind.fields.begin(), kind.fields.end(), [](const Field& f) { return std::string(f.name) == "left"; });
  if (hasLimits) {
    if (!given.count("left") || !given.count("right"))
      fail(file, line, std::string(kind.name) + " needs left= and right=");
    if (!(word(28) <= a.x && a.x <= word(30)))
      fail(file, line,
           std::string(kind.name) + ": x " + std::to_string(a.x) + " lies outside left..right (" +
               std::to_string(word(28)) + ".." + std::to_string(word(30)) + ")");
  }
  if (a.type == 11 || a.type == 0 || a.type == 3) {
    if (!given.count("drop") && a.type != 11) fail(file, line, std::string(kind.name) + " needs drop=");
    if (a.type == 11 && (!given.count("top") || !given.count("bottom")))
      fail(file, line, "drip needs top= and bottom=");
    const int lo = a.type == 11 ? 32 : 32, hi = 34;
    if (word(lo) > word(hi)) fail(file, line, std::string(kind.name) + ": top lies below its drop or bottom");
  }
  if ((a.type == 4 || a.type == 5) && (!given.count("top") || !given.count("bottom") || word(32) > word(34)))
    fail(file, line, std::string(kind.name) + " needs top= and bottom=, top above bottom");
  if (a.type == 8 && (!given.count("top") || word(32) > 112))
    fail(file, line, "flitter needs top= at most 112 (its box ends at y 128)");
  if (a.type == 13 && (!given.count("from_x") || !given.count("from_y") || !given.count("floor")))
    fail(file, line, "thrower needs from_x=, from_y= and floor=");
}

}  // namespace

const char* actorKindName(int type) {
  return type >= 0 && type < 15 ? kKinds[type].name : "?";
}

ActorSource readActor(const std::vector<std::string>& w, const std::filesystem::path& file, int line) {
  if (w.size() < 4) fail(file, line, "expected: actor: KIND X Y name=value... (or TYPE X Y HEX)");
  ActorSource a;
  a.line = line;
  a.x = static_cast<int>(parseNumber(w[2], file, line));
  a.y = static_cast<int>(parseNumber(w[3], file, line));
  if (a.x < -32768 || a.x > 32767 || a.y < -32768 || a.y > 32767) fail(file, line, "actor x and y are 16-bit");

  if (isNumber(w[1])) {  // TYPE X Y HEX: the bytes as they are
    if (w.size() != 5) fail(file, line, "actor: TYPE X Y HEX: four values");
    a.type = static_cast<int>(parseNumber(w[1], file, line));
    a.data = w[4];
    if (a.data.size() < 4 || a.data.size() % 2 ||
        a.data.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
      fail(file, line, "actor data is an even number (at least 4) of hex digits");
    return a;
  }

  const auto kind = std::find_if(kKinds.begin(), kKinds.end(), [&](const Kind& k) { return w[1] == k.name; });
  if (kind == kKinds.end()) {
    std::string names;
    for (const Kind& k : kKinds) names += std::string(names.empty() ? "" : " ") + k.name;
    fail(file, line, "unknown actor kind \"" + w[1] + "\" (" + names + ")");
  }
  a.named = true;
  a.type = static_cast<int>(kind - kKinds.begin());
  put(a.record, 0, 4, a.type);
  put(a.record, 4, 2, a.x);
  put(a.record, 8, 2, a.y);
  auto findField = [&](const std::string& name) {
    return std::find_if(kind->fields.begin(), kind->fields.end(), [&](const Field& f) { return name == f.name; });
  };
  for (const auto& [name, value] : kind->defaults) {
    const Field& f = *findField(name);
    put(a.record, f.offset, f.width, f.fixed ? std::llround(value * 65536.0) : std::llround(value));
  }
  // A seeker's first height is its own y, so that it does not first climb to y 0.
  if (a.type == 4 || a.type == 5) put(a.record, 48, 2, a.y);
  std::set<std::string> given;
  for (std::size_t i = 4; i < w.size(); ++i) {
    const auto eq = w[i].find('=');
    if (eq == std::string::npos || eq == 0) fail(file, line, "\"" + w[i] + "\": expected name=value");
    const std::string key = w[i].substr(0, eq);
    if (!given.insert(key).second) fail(file, line, key + " is set twice");
    Field f{};
    if (!rawField(key, f, file, line)) {
      const auto found = findField(key);
      if (found == kind->fields.end()) {
        std::string names;
        for (const Field& k : kind->fields) names += std::string(names.empty() ? "" : " ") + k.name;
        fail(file, line, std::string(kind->name) + " has no field \"" + key + "\" (" + names + ")");
      }
      f = *found;
    }
    put(a.record, f.offset, f.width, fieldValue(f, w[i].substr(eq + 1), file, line));
  }
  checkLimits(*kind, a, given, file, line);

  static const char* kHex = "0123456789abcdef";
  for (int offset = 0; offset < kActorRecordBytes; ++offset) {
    if (!dataOffset(offset)) continue;
    a.data += kHex[a.record[offset] >> 4];
    a.data += kHex[a.record[offset] & 15];
  }
  return a;
}

namespace {

// The hero's whole motion of a bobbing thing: the lowest and highest y offsets it reaches from its
// start, following the bob (speed += acceleration, the acceleration turning at plus or minus the limit).
std::pair<int, int> bobRange(long long speed, long long accel, long long limit) {
  long long y = 0, lo = 0, hi = 0;
  if (accel == 0 || limit <= 0) return {0, 0};
  for (int frame = 0; frame < 4000; ++frame) {
    speed += accel;
    if (speed >= limit || speed <= -limit) accel = -accel;
    y += speed;
    lo = std::min(lo, y);
    hi = std::max(hi, y);
  }
  return {static_cast<int>(lo >> 16) - 1, static_cast<int>(hi >> 16) + 1};
}

}  // namespace

ActorReach actorReach(const ActorSource& a) {
  auto word = [&](int offset) { return static_cast<int>(get(a.record, offset, 2)); };
  auto fixed = [&](int offset) { return get(a.record, offset, 4); };
  const int x = a.x, y = a.y;
  switch (a.type) {
    case 0:
      return {x + 2, y + std::min(word(32), word(54)) + 2, x + 16, y + std::max(word(34), word(54)) + 13};
    case 1: {
      auto [lo, hi] = bobRange(fixed(16), fixed(24), fixed(36));
      return {x + 2, y + lo + 2, x + 16, y + hi + 21};
    }
    case 2: {
      auto [lo, hi] = bobRange(fixed(16), fixed(24), fixed(20));
      return {x + 14, y + lo + 2, x + 32, y + hi + 30};
    }
    case 3:
      return {x + 1, y + std::min(word(32), static_cast<int>(fixed(54) >> 16)) + 2, x + 15, y + word(34) + 19};
    case 4:  // the wobble swings 3 pixels either way
      return {word(28) + 2, std::min(y, word(32)) - 3 + 2, word(30) + 14, std::max(y, word(34)) + 3 + 14};
    case 5:
      return {word(28) + 2, std::min(y, word(32)) - 2 + 2, word(30) + 14, std::max(y, word(34)) + 2 + 14};
    case 6:
      return {word(28) + 2, y + 4, word(30) + 18, y + 14};
    case 7:
      return {word(28) + 2, y, word(30) + 20, y + 14};
    case 8:
      return {word(28) + 6, std::min(y, word(32)) + 2, word(30) + 18, 128 + 10};
    case 9: {
      // To and fro: at most the way from standing to the top speed and back, each way, plus the turns.
      const long long accel = std::max<long long>(1, std::llabs(fixed(20)));
      const long long limit = std::llabs(fixed(28));
      long long way = 0;
      for (long long s = accel; s < limit; s += accel) way += s;
      const int reach = static_cast<int>((2 * way + limit) >> 16) + 24;
      auto [lo, hi] = bobRange(fixed(16), fixed(24), fixed(32));
      return {x - reach + 14, y + lo + 3, x + reach + 46, y + hi + 11};
    }
    case 10:
      return {word(28) - 4 + 6, y, word(30) + 4 + 20, y + 8};
    case 11:
      return {x + 4, std::min(y, word(32)) + 4, x + 6, std::max(y, word(34)) + 12};
    case 12:
      return {x + 3, y + 3, x + 10, y + 11};
    case 13: {
      // Its flight from (from_x, from_y), once through.
      long long fx = static_cast<long long>(word(28)) << 16, fy = static_cast<long long>(word(32)) << 16;
      long long vy = fixed(20);
      ActorReach r{x + 3, y + 2, x + 8, y + 9};
      for (int frame = 0; frame < 2000 && (fy >> 16) <= word(34); ++frame) {
        const int px = static_cast<int>(fx >> 16), py = static_cast<int>(fy >> 16);
        r = {std::min(r.x0, px + 3), std::min(r.y0, py + 2), std::max(r.x1, px + 8), std::max(r.y1, py + 9)};
        fx += fixed(12);
        vy = std::min(vy + fixed(24), fixed(36));
        fy += vy;
      }
      return r;
    }
    case 14:
      return {word(28) + 2, y + 4, word(30) + 20, y + 12};
    default:
      return {x, y, x, y};
  }
}

namespace {

bool meets(const ActorReach& a, int x0, int y0, int x1, int y1) {
  return a.x0 < x1 && x0 < a.x1 && a.y0 < y1 && y0 < a.y1;
}

// The walkers' and crawlers' feet: the height of their picture under y, and how far their picture
// reaches to the right of x.
struct Footing {
  int type, height, width;
};
constexpr Footing kFootings[] = {{6, 16, 16}, {7, 16, 24}, {10, 16, 24}, {14, 16, 24}};

void checkFooting(const ActorSource& a, const Footing& foot, const AreaGround& g, const std::filesystem::path& file) {
  const int left = static_cast<int>(get(a.record, 28, 2)), right = static_cast<int>(get(a.record, 30, 2));
  for (int x = left; x <= right + foot.width - 1; x += 4) {
    const int feet = a.y + foot.height;
    const bool ground = g.solidAt(x, feet) || g.solidAt(x, feet + 1);
    bool room = true;
    for (int dy = 0; dy < foot.height; dy += 4) room = room && !g.solidAt(x, a.y + dy);
    if (!room || (!ground && x >= left + 4 && x <= right + foot.width - 5))
      fail(file, a.line,
           std::string(actorKindName(a.type)) + " at y " + std::to_string(a.y) + ": " +
               (room ? "no ground under its feet" : "a wall in its way") + " at x " + std::to_string(x) +
               " (its way runs " + std::to_string(left) + ".." + std::to_string(right) + ")");
  }
}

// The hero stands at (x, y): his feet rest on the ground at x + 6 or x + 18, one row under his 24-pixel
// picture, and nothing solid is inside it.
bool heroStandsAt(const AreaGround& g, int x, int y) {
  if (!g.solidAt(x + 6, y + 24) && !g.solidAt(x + 18, y + 24)) return false;
  for (int py = y; py < y + 24; ++py)
    if (g.solidAt(x + 6, py) || g.solidAt(x + 14, py) || g.solidAt(x + 18, py)) return false;
  return true;
}

// The fliers (hoverers, darters, flitters) keep above the head of a hero who stands anywhere under
// their way, so that only a jump can meet one: his box is [X, X + 18) x [Y, Y + 20).
void checkHeadroom(const ActorSource& a, const ActorReach& r, const AreaGround& g, const std::filesystem::path& file) {
  if (a.type != 4 && a.type != 5 && a.type != 8) return;
  for (int x = r.x0 - 17; x < r.x1; ++x)
    for (int y = std::max(0, r.y0 - 19); y < r.y1 && y < 168; ++y)
      if (heroStandsAt(g, x, y))
        fail(file, a.line,
             std::string(actorKindName(a.type)) + " reaches a hero standing at (" + std::to_string(x) + ", " +
                 std::to_string(y) + "): keep it above his head");
}

}  // namespace

void checkActors(const std::vector<ActorArea>& areas, const std::vector<AreaGround>& ground) {
  constexpr int kClearance = 8;
  constexpr int kDropDrift = 100;
  for (const ActorArea& area : areas) {
    const auto& actors = *area.actors;
    if (actors.empty()) continue;
    const bool hasMap = area.id >= 0 && area.id < static_cast<int>(ground.size()) && ground[area.id].hasMap;
    if (!hasMap && area.id != 50)
      fail(area.file, actors.front().line, "actors belong to areas with a map (and the title, area 50)");
    if (actors.size() > static_cast<std::size_t>(kMaxActorsPerArea))
      fail(area.file, actors[kMaxActorsPerArea].line,
           "at most " + std::to_string(kMaxActorsPerArea) + " actors in an area");
    for (const ActorSource& a : actors) {
      if (!a.named) continue;
      if (hasMap && (a.x < 0 || a.x >= ground[area.id].width * 32))
        fail(area.file, a.line, "actor x " + std::to_string(a.x) + " lies outside the area");
      if (!hasMap) continue;
      for (const Footing& foot : kFootings)
        if (foot.type == a.type) checkFooting(a, foot, ground[area.id], area.file);
      const ActorReach r = actorReach(a);
      checkHeadroom(a, r, ground[area.id], area.file);
      // A star is guarded when the actor reaches within 8 pixels of it, or into any place the hero's box
      // can be in while it touches the star (his box [X, X + 18) x [Y, Y + 20) against the star's
      // [x + 2, x + 12) x [y - 1, y + 11)).
      for (const auto& s : area.stars)
        if (meets(r, s[0] + 2 - kClearance, s[1] - 1 - kClearance, s[0] + 12 + kClearance, s[1] + 11 + kClearance) ||
            meets(r, s[0] + 2 - 18 + 1, s[1] - 1 - 20 + 1, s[0] + 12 + 18 - 1, s[1] + 11 + 20 - 1))
          fail(area.file, a.line,
               std::string(actorKindName(a.type)) + " guards the star at (" + std::to_string(s[0]) + ", " +
                   std::to_string(s[1]) + ") (line " + std::to_string(s[2]) + "): keep 8 pixels from it and out of the hero's way to it");
      for (const auto& p : area.arrivals)
        if (meets(r, p[0] - kClearance, p[1] - kClearance, p[0] + 18 + kClearance, p[1] + 20 + kClearance))
          fail(area.file, a.line,
               std::string(actorKindName(a.type)) + " reaches the hero where he is put down at (" +
                   std::to_string(p[0]) + ", " + std::to_string(p[1]) + ")");
      for (const auto& p : area.drops)
        if (meets(r, p[0] - kDropDrift - kClearance, 0, p[0] + 18 + kClearance, p[1] + 20 + kClearance))
          fail(area.file, a.line,
               std::string(actorKindName(a.type)) + " reaches the way of a hero who drops in over (" +
                   std::to_string(p[0]) + ", " + std::to_string(p[1]) + ")");
    }
  }
}

}  // namespace builder
