// The title: a fresh state for area 50's actors, the logo as a cloud of points
// on a turning cylinder, the secret sequence that opens the code menu, START
// (with the bonus combination) for the story, and the countdown to the
// attract pages.
#include <algorithm>

#include "sim/areas/areas.h"
#include "sim/cartridge.h"
#include "sim/core/animation.h"
#include "sim/core/ram.h"
#include "sim/front/front.h"
#include "sim/front/front_pieces.h"
#include "sim/pad.h"
#include "sim/rom_view.h"
#include "sim/things/things.h"
#include "world/world.h"

namespace sim::front {

namespace {

// Words of the title's RAM.
constexpr std::uint32_t kPointCountLess1 = 0xFF83E0;
constexpr std::uint32_t kPointBytes = 0xFF83E2;  // 4 x the point count
constexpr std::uint32_t kTilt = 0xFF83E4;        // B
constexpr std::uint32_t kAngle = 0xFF83E6;       // C
constexpr std::uint32_t kSpin = 0xFF83E8;        // A
constexpr std::uint32_t kSpinSpeed = 0xFF83EA;
constexpr std::uint32_t kScale = 0xFF83EC;  // S
constexpr std::uint32_t kPhase = 0xFF83EE;
constexpr std::uint32_t kCountdown = 0xFF83F0;
constexpr std::uint32_t kCodePosition = 0xFF83F4;
constexpr std::size_t kBlinkRecord = 42;           // 6-byte animation record at FF840A
constexpr std::uint32_t kPoints = 0xFF846C;        // x, y, z words per point
constexpr std::uint32_t kScreenPoints = 0xFF882C;  // sx + 280, sy + 236 per point
constexpr std::uint32_t kDepthSlots = 0xFF8AAC;    // 256 words, -1 when free
constexpr std::uint32_t kDepthSlotsEnd = 0xFF8CAC;
constexpr std::uint32_t kDepthZero = 0xFF8BAC;    // the slot of depth 0
constexpr std::uint32_t kDepthFrames = 0xFF8CAC;  // frame by depth + 123

using cart::kCodeSequence, cart::kCosine, cart::kLogoBitmap, cart::kSine, cart::kTitleTable;

constexpr std::uint32_t kLogoCaller = 0x0153E4;
constexpr std::uint32_t kBlinkCaller = 0x0154E2;

constexpr std::int64_t kCountdownStart = 632;

std::int16_t word16(std::int64_t v) {
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(v));
}

// (a * b + c * d) >> 15 on the console's registers: 16 x 16 products, a 32-bit
// sum, the low word of the shifted result.
std::int16_t rotate(std::int64_t a, std::int64_t b, std::int64_t c, std::int64_t d) {
  const auto sum = static_cast<std::int32_t>(static_cast<std::uint32_t>(a * b + c * d));
  return word16(sum >> 15);
}

void setUpTitleLogo(Context& c);
void titleLogo(Context& c);

}  // namespace

void showTitle(Context& c) {
  // The title runs on a fresh state; only the player's choices and the
  // random generator carry over.
  GameState fresh;
  fresh.language = c.state.language;
  fresh.refresh_hz = c.state.refresh_hz;
  fresh.rng = c.state.rng;
  fresh.tower_edge = std::move(c.state.tower_edge);
  c.state = std::move(fresh);
  GameState& s = c.state;
  s.front = 2;
  s.area = 50;
  s.camera_x = 0;

  // Area 50 has no map: it only holds the title's actors.
  const world::Area* area = world::findAreaAny(c.world, 50);
  if (!area) stopWith(c, "area 50's record (the title's actors) is missing from the world");
  AreaCache& cache = c.areaCache;
  cache = AreaCache{};
  cache.area = area;
  cache.collision = area->collision;
  cache.columns = area->width;
  cache.widthPixels = static_cast<std::int64_t>(area->width) * 32;
  cache.originX = area->origin_x;
  cache.minY = area->min_y;
  areas::loadAreaActors(c, *area);

  setTitleWord(c, kTilt, 90);
  setTitleWord(c, kAngle, 0);
  setTitleWord(c, kSpin, 0);
  setTitleWord(c, kSpinSpeed, -4);
  setTitleWord(c, kScale, 0x8002);
  setUpTitleLogo(c);
  setTitleWord(c, kCountdown, kCountdownStart);
  setTitleWord(c, kCodePosition, 0);
  s.title_code = 0;
  pushFrontScreen(c, 0, s.language, 2).frames.emplace_back();
}

namespace {

// The logo's points: each set cell of the 5 x 32 bitmap is a point on a
// cylinder, its column giving the angle around and its row the height.
void setUpTitleLogo(Context& c) {
  auto table = [&](std::int64_t i) -> std::int64_t {
    return c.rom.signedWordAt(kTitleTable + 2 * static_cast<std::uint32_t>(i & 511));
  };
  // (T * 160 - 20480) >> 8 in words, the product wrapping as the console's does.
  auto coordinate = [](std::int64_t t) -> std::int64_t {
    const std::int16_t product = word16(t * 160);
    return word16(product - 20480) >> 8;
  };
  std::int64_t count = 0;
  for (std::uint32_t r = 0; r < 5; ++r) {
    for (std::uint32_t j = 0; j < 32; ++j) {
      if (c.rom.wordAt(kLogoBitmap + 64 * r + 2 * (31 - j)) == 0) continue;
      const auto at = kPoints + 6 * static_cast<std::uint32_t>(count);
      setTitleWord(c, at, coordinate(table(13 * j)));
      setTitleWord(c, at + 2, coordinate(table(128 + 13 * j)));
      setTitleWord(c, at + 4, -35 + 12 * static_cast<std::int64_t>(r));
      ++count;
    }
  }
  setTitleWord(c, kPointCountLess1, count - 1);
  setTitleWord(c, kPointBytes, 4 * count);
  // Depth to sprite frame: big dots in front, small ones behind.
  std::uint32_t at = kDepthFrames;
  for (const auto& [n, frame] : {std::pair{110, 4}, {20, 3}, {20, 2}, {274, 1}})
    for (int i = 0; i < n; ++i, at += 2) setTitleWord(c, at, frame);
}

// One turn of the logo: every point spun about the cylinder's axis, tilted,
// projected, sorted into depth slots and drawn from the front backwards.
void titleLogo(Context& c) {
  for (std::uint32_t at = kDepthSlots; at < kDepthSlotsEnd; at += 2) setTitleWord(c, at, -1);
  const std::int64_t spin = (titleWord(c, kSpin) + titleWord(c, kSpinSpeed)) & 0x1FE;
  setTitleWord(c, kSpin, spin);
  const std::int64_t phase = (titleWord(c, kPhase) + 8) & 0x3FE;
  setTitleWord(c, kPhase, phase);
  const std::int64_t wobble = c.rom.signedWordAt(kTitleTable + static_cast<std::uint32_t>(phase));
  const std::int64_t tilt = word16(80 + 2 * (word16(3 * wobble) >> 4));
  setTitleWord(c, kTilt, tilt);
  const std::int64_t angle = titleWord(c, kAngle);
  const std::int64_t scale = titleWord(c, kScale);

  auto sine = [&](std::int64_t a) -> std::int64_t {
    return c.rom.signedWordAt(kSine + static_cast<std::uint32_t>(a & 0x1FE));
  };
  auto cosine = [&](std::int64_t a) -> std::int64_t {
    return c.rom.signedWordAt(kCosine + static_cast<std::uint32_t>(a & 0x1FE));
  };
  const std::int64_t sinA = sine(spin), cosA = cosine(spin);
  const std::int64_t sinB = sine(tilt), cosB = cosine(tilt);
  const std::int64_t sinC = sine(angle), cosC = cosine(angle);

  const std::int64_t count = titleWord(c, kPointCountLess1) + 1;
  for (std::int64_t i = 0; i < count; ++i) {
    const auto at = kPoints + 6 * static_cast<std::uint32_t>(i);
    const std::int64_t x = titleWord(c, at), y = titleWord(c, at + 2), z = titleWord(c, at + 4);
    const std::int64_t x1 = rotate(sinA, x, cosA, y);
    const std::int64_t y1 = rotate(cosA, x, -sinA, y);
    const std::int64_t z1 = rotate(sinB, x1, cosB, z);
    const std::int64_t d = rotate(cosC, z1, -sinC, y1);
    const std::int64_t u = rotate(sinC, z1, cosC, y1);
    const std::int64_t v = rotate(cosB, x1, -sinB, z);
    const std::int64_t den = word16(0x2000 - d);
    auto project = [&](std::int64_t w) -> std::int64_t {
      if (den == 0) return 0;
      const auto scaled = static_cast<std::int32_t>(static_cast<std::uint32_t>(w * scale)) >> 15;
      const auto shifted = static_cast<std::int32_t>(static_cast<std::uint32_t>(scaled) << 13);
      return word16(shifted / den);
    };
    const auto screenAt = kScreenPoints + 4 * static_cast<std::uint32_t>(i);
    setTitleWord(c, screenAt, project(u) + 280);
    setTitleWord(c, screenAt + 2, project(v) + 236);
    // The first free slot from the point's depth upwards.
    auto slot = static_cast<std::uint32_t>(static_cast<std::int64_t>(kDepthZero) + 2 * d);
    while (titleWord(c, slot) >= 0) slot += 2;
    setTitleWord(c, slot, 4 * i);
  }

  for (std::int64_t d = 88; d >= -48; --d) {
    const std::int64_t slot = titleWord(c, static_cast<std::uint32_t>(static_cast<std::int64_t>(kDepthZero) + 2 * d));
    if (slot < 0) continue;
    const auto screenAt = kScreenPoints + static_cast<std::uint32_t>(slot);
    const std::int64_t frame = titleWord(c, static_cast<std::uint32_t>(kDepthFrames + 2 * (d + 123)));
    addSprite(c, static_cast<std::uint16_t>(titleWord(c, screenAt)),
              static_cast<std::uint16_t>(titleWord(c, screenAt + 2)), static_cast<std::uint16_t>(frame), d > 0 ? 16 : 0,
              kLogoCaller);
  }
}

}  // namespace

void titleFrame(Context& c, std::uint8_t pad) {
  GameState& s = c.state;
  beginFrame(c);
  titleLogo(c);
  static const std::vector<std::uint16_t> kBlink = {4, 0, 0, 1, 2, 3, 2, 1};
  const std::int64_t blink = stepProgramSequence(c, s.title_ram, kBlinkRecord, kBlink);
  addSprite(c, 244, 334, static_cast<std::uint32_t>((blink + 5) & 0xFFFF), 16, kBlinkCaller);
  things::actors(c);
  appendFrontFrame(c);

  if (pad != 0) {
    // The secret sequence: each key must be pressed alone and let go
    // before the next; a wrong key starts it over.
    if ((s.title_code & 0x100) == 0) {
      const std::int64_t n = titleWord(c, kCodePosition);
      if (pad == c.rom.byteAt(kCodeSequence + static_cast<std::uint32_t>(n))) {
        s.title_code |= 0x100;
        setTitleWord(c, kCodePosition, n + 1);
        if (c.rom.byteAt(kCodeSequence + static_cast<std::uint32_t>(n + 1)) == 0xFF) {
          openCodeMenuScreen(c);
          return;
        }
      } else {
        setTitleWord(c, kCodePosition, 0);
      }
    }
    if (pad & kPadStart) {
      // START with B and LEFT held (and nothing else) gives an extra life.
      s.title_bonus = pad == kPadBonusLife ? 1 : 0;
      c.fadeVBlanks += 10;
      beginStory(c);
      return;
    }
  } else {
    s.title_code &= ~std::int64_t{0x100};
  }

  const std::int64_t countdown = titleWord(c, kCountdown) - 1;
  setTitleWord(c, kCountdown, countdown);
  if (countdown == 0) beginAttract(c);
}

}  // namespace sim::front
