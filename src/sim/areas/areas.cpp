// Areas: loading and entering an area, the camera, teleporting, the animated
// blocks, the area's music, the palette variants and the lamp of area 6. The
// exits are in exits.cpp, the doors in doors.cpp, the handlers in handlers.cpp.
#include "sim/areas/areas.h"

#include <algorithm>

#include "sim/cartridge.h"
#include "sim/core/animation.h"
#include "sim/core/big_endian.h"
#include "sim/core/records.h"
#include "sim/hero/hero.h"
#include "sim/rom_view.h"
#include "sim/things/things.h"
#include "world/world.h"

namespace sim::areas {

bool refreshAreaCache(Context& c, std::int64_t n) {
  const world::Area* area = world::findArea(c.world, static_cast<int>(n));
  if (!area) return false;
  AreaCache& cache = c.areaCache;
  cache.area = area;
  cache.collision = area->collision;
  cache.columns = area->width;
  cache.widthPixels = static_cast<std::int64_t>(area->width) * 32;
  cache.cameraLimit = cache.widthPixels <= 320 ? 0 : cache.widthPixels - 321;
  cache.originX = area->origin_x;
  cache.minY = area->min_y;
  cache.firstSelectionFrames =
      firstBankFrames(c, c.rom.longAt(cart::kAreaBankLists + 4 * static_cast<std::uint32_t>(n)));
  return true;
}

bool loadArea(Context& c, std::int64_t n) {
  GameState& s = c.state;
  requestEffect(c, 23);  // the area change sound
  const std::int64_t r1 = random(c, 511) & 31;
  const std::int64_t r2 = random(c, 511) & 15;
  // The pauses of area 28's four scenery records.
  const std::int64_t pauses[4] = {r1 + 20, r1 + 28, r2 + 30, r2 + 22};
  for (std::size_t k = 0; k < 4; ++k) be::setWord(s.a28_timers, rec::kA28TimerSize * k + rec::kA28Pause, pauses[k]);
  for (std::size_t i = 0; i < rec::kShotSlots; ++i) be::setWord(s.shots, rec::kShotSize * i, 0);
  be::setWord(s.a16, rec::kShooterFireTimer, 0);
  s.area = n;
  if (!refreshAreaCache(c, n)) stopWith(c, "an area without a map");
  cancelPaletteFade(c);
  things::loadObjectsHere(c);
  for (std::size_t i = 0; i < s.block_anims.size(); i += rec::kBlockAnimSize) {
    std::fill(s.block_anims.begin() + i, s.block_anims.begin() + i + rec::kBlockAnimSize, 0);
    be::setWord(s.block_anims, i + rec::kAnimIndex, -1);
  }
  s.pause_delay = 0;
  s.star_show = 0;
  s.surfaced = 0;
  s.stroke_ready = 1;
  loadAreaActors(c, *c.areaCache.area);
  s.settled = 0;
  s.sinking = 0;
  s.flag_8300 = 0;
  for (std::size_t i = 0; i < rec::kBubbleSlots; ++i) be::setWord(s.bubbles, rec::kBubbleSize * i, -1);
  s.bubble_timer = 4;
  s.indoors = 0;
  s.variant_ad = 0;
  for (std::size_t i = 0; i < rec::kEffectSlots; ++i) be::setWord(s.effects, rec::kEffectSize * i, 0);
  s.music_wait = s.music == 17 ? 1 : 120;
  return true;
}

// Departure: the console copies whole 58-byte records from its own tables; a
// record of the world file may be shorter or longer, so a short one is
// completed with zeros and a long one cut, and no record reads past its end
// or runs into the next slot.
void loadAreaActors(Context& c, const world::Area& area) {
  auto& actors = c.state.actors;
  const std::size_t count = std::min<std::size_t>(area.actors.size(), rec::kActorSlots);
  for (std::size_t i = 0; i < count; ++i) {
    const auto& r = area.actors[i];
    const std::size_t n = std::min<std::size_t>(r.size(), rec::kActorSize);
    auto slot = actors.begin() + static_cast<std::ptrdiff_t>(rec::kActorSize * i);
    std::copy_n(r.begin(), n, slot);
    std::fill(slot + static_cast<std::ptrdiff_t>(n), slot + static_cast<std::ptrdiff_t>(rec::kActorSize), 0);
  }
  if (count < rec::kActorSlots)
    std::fill_n(actors.begin() + static_cast<std::ptrdiff_t>(rec::kActorSize * count), rec::kActorEndMark, 0xFF);
}

void enterArea(Context& c) {
  GameState& s = c.state;
  animatedBlockCheck(c);
  beginFrame(c);
  hero::energyBar(c);
  area6Lamp(c);
  hero::heroAnimationAndSprite(c);
  things::objectsHere(c);
  std::fill(s.platforms.begin(), s.platforms.end(), 0);
  runAreaHandler(c);
  things::itemsAndHazards(c);
  things::actors(c);
}

void updateCamera(Context& c) {
  GameState& s = c.state;
  const std::int64_t limit = c.areaCache.cameraLimit;
  const std::int64_t X = static_cast<std::int16_t>(s.x >> 16);
  if (X < 150) {
    s.camera_x = 0;
    s.sprite_x = X;
  } else if (X - 150 > limit) {
    s.camera_x = limit;
    s.sprite_x = X - limit;
  } else {
    s.camera_x = X - 150;
    s.sprite_x = 150;
  }
}

void respawnAt(Context& c, std::int64_t area, std::int64_t x, std::int64_t y) {
  GameState& s = c.state;
  hero::resetHeroAndEnergy(c);
  loadArea(c, area);
  s.x = x;
  s.y = y;
  updateCamera(c);
  enterArea(c);
  s.death_timer = 0;
  s.dying = 0;
  s.grace = 300;
}

void teleportHero(Context& c, std::int64_t area, std::int64_t x, std::int64_t y) {
  GameState& s = c.state;
  s.restart_x = x;
  s.restart_y = y;
  s.restart_area = area;
  respawnAt(c, area, static_cast<std::int32_t>(static_cast<std::uint32_t>(x) << 16),
            static_cast<std::int32_t>(static_cast<std::uint32_t>(y) << 16));
}

void cancelPaletteFade(Context& c) {
  if (c.state.palette_fading != 0) {
    c.state.palette_fading = 0;
    c.state.palette_fade_step = 0;
  }
}

namespace {

// The music of each area (0 to 49): -1 the caves' own tune (17, started at
// once), 0 leave whatever plays, else the song that follows after a wait.
constexpr std::int8_t kAreaMusic[50] = {
    13, 13, 13, 13, 13, 13, 13, 13, 12, 12, 12, 12, 14, 14, 14, 6,  6,  6,  12, 12, 12, 13, 13, 13, 13,
    13, 13, 13, 13, 6,  12, 12, 12, 12, -1, -1, -1, -1, -1, -1, -1, 12, 12, 6,  0,  3,  3,  16, 16, 16,
};

// The lamp of area 6 flickers through these frames once lit (delay, loop
// index, frames).
const std::vector<std::uint16_t> kLampSequence = {6, 0, 0, 1, 2, 1};

}  // namespace

// Each of the area's animations steps its 8-byte record in block_anims
// (frame word, timer word, index word): when the timer runs out the next
// frame of the list shows; past the end the list starts again at its loop
// index. The renderer draws the animated block with the record's frame.
void animatedBlockCheck(Context& c) {
  GameState& s = c.state;
  const world::Area* area = c.areaCache.area;
  if (!area) return;
  const auto& anims = area->animations;
  if (anims.size() * rec::kBlockAnimSize > s.block_anims.size())
    stopWith(c, "an animated block list FFBBD2 does not hold");
  for (std::size_t i = 0; i < anims.size(); ++i) {
    const world::BlockAnimation& a = anims[i];
    const std::size_t at = rec::kBlockAnimSize * i;
    const std::int64_t timer = static_cast<std::int16_t>(be::word(s.block_anims, at + rec::kAnimTimer) - 1);
    be::setWord(s.block_anims, at + rec::kAnimTimer, timer);
    if (timer >= 0) continue;
    be::setWord(s.block_anims, at + rec::kAnimTimer, a.delay);
    std::int64_t index = static_cast<std::int16_t>(be::word(s.block_anims, at + rec::kAnimIndex) + 1);
    const auto inside = [&](std::int64_t k) { return k >= 0 && k < static_cast<std::int64_t>(a.frames.size()); };
    if (!inside(index)) index = a.loop;
    if (!inside(index)) stopWith(c, "an animated block list FFBBD2 does not hold");
    be::setWord(s.block_anims, at + rec::kAnimIndex, index);
    be::setWord(s.block_anims, at + rec::kAnimFrame, a.frames[static_cast<std::size_t>(index)]);
  }
}

void areaMusic(Context& c) {
  GameState& s = c.state;
  const int m = kAreaMusic[s.area];
  if (m < 0) {
    if (s.music != 17) requestMusic(c, 17);
    return;
  }
  if (m == 0 || (s.area == 31 && s.flag_82f2 != 0) || s.music == m) return;
  s.music_wait = static_cast<std::int16_t>(s.music_wait - 1);
  if (s.music_wait == 0) requestMusic(c, m);
}

// Areas whose palette has variants drift through them: every 3500 frames
// the next variant fades in over 34 frames.
void paletteVariantTimer(Context& c) {
  GameState& s = c.state;
  const world::Area* area = c.areaCache.area;
  if (!area || area->variant_index.empty() || area->variant_lines.empty()) return;
  if (s.palette_fading != 0) {
    const std::int64_t was = s.palette_fade_step;
    s.palette_fade_step = was + 1;
    if (was == 33) s.palette_fading = s.palette_fade_step = 0;
    return;
  }
  s.palette_timer = static_cast<std::int16_t>(s.palette_timer - 1);
  if (s.palette_timer < 0) {
    s.palette_timer = 3500;
    s.palette_fading = 255;
    s.palette_fade_step = 0;
    s.palette_variant = (s.palette_variant + 1) & 3;
  }
}

// The lamp of area 6 ($0062E4): once lit it flickers, and the solid cell of
// the two 8-pixel columns at x 912..927 moves one row down (row bit 1 cleared,
// row bit 2 set: y 136 becomes y 144).
void area6Lamp(Context& c) {
  GameState& s = c.state;
  AreaCache& cache = c.areaCache;
  if (s.area != 6) return;
  if (s.flag_82ef != 0) {
    stepProgramSequence(c, s.passage_anim, rec::kAnimFrame, kLampSequence);
    for (std::size_t at : {std::size_t{344}, std::size_t{347}}) {
      // Departure: the console writes these two collision bytes whatever
      // the area's width; a cell outside a narrower area's collision
      // bytes is skipped here rather than written past them.
      if (at >= cache.collision.size()) continue;
      cache.collision[at] = static_cast<std::uint8_t>((cache.collision[at] & ~0x02) | 0x04);
    }
  }
  if (s.camera_x >= 576 && s.camera_x <= 935) {
    const std::int64_t frame = be::word(s.passage_anim, rec::kAnimFrame) + cache.firstSelectionFrames + 4;
    addSprite(c, static_cast<std::uint32_t>(1023 - s.camera_x), 253, static_cast<std::uint32_t>(frame & 0xFFFF), 16,
              0x0062E4);
  }
}

}  // namespace sim::areas
