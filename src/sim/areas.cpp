// Areas: loading and entering an area, the camera, teleporting, the animated
// blocks, the area's music, the palette variants and the lamp of area 6. The
// exits are in area_exits.cpp, the doors in door_passage.cpp.
#include <algorithm>

#include "base/log.h"
#include "sim/rom_view.h"
#include "sim/simulation.h"
#include "world/world.h"

namespace sim {

bool Simulation::refreshAreaCache(std::int64_t n) {
    const world::Area* area = world::findArea(world_, static_cast<int>(n));
    if (!area) return false;
    areaCache_.area = area;
    areaCache_.collision = area->collision;
    areaCache_.columns = area->width;
    areaCache_.widthPixels = static_cast<std::int64_t>(area->width) * 32;
    areaCache_.cameraLimit = areaCache_.widthPixels <= 320 ? 0 : areaCache_.widthPixels - 321;
    areaCache_.originX = area->origin_x;
    areaCache_.minY = area->min_y;
    areaCache_.firstSelectionFrames = firstBankFrames(rom_.longAt(0x03E844 + 4 * static_cast<std::uint32_t>(n)));
    return true;
}

bool Simulation::loadArea(std::int64_t n) {
    GameState& s = state_;
    requestEffect(23);  // the area change sound
    const std::int64_t r1 = random(511) & 31;
    const std::int64_t r2 = random(511) & 15;
    auto& t = s.a28_timers;
    t[6] = 0, t[7] = static_cast<std::uint8_t>(r1 + 20);
    t[14] = 0, t[15] = static_cast<std::uint8_t>(r1 + 28);
    t[22] = 0, t[23] = static_cast<std::uint8_t>(r2 + 30);
    t[30] = 0, t[31] = static_cast<std::uint8_t>(r2 + 22);
    for (std::size_t i = 0; i < 16; ++i) s.shots[18 * i] = s.shots[18 * i + 1] = 0;
    s.a16[6] = s.a16[7] = 0;
    s.area = n;
    if (!refreshAreaCache(n)) stopWith("an area without a map");
    cancelPaletteFade();
    loadObjectsHere();
    for (std::size_t i = 0; i < s.block_anims.size(); i += 8) {
        std::fill(s.block_anims.begin() + i, s.block_anims.begin() + i + 8, 0);
        s.block_anims[i + 4] = s.block_anims[i + 5] = 0xFF;
    }
    s.pause_delay = 0;
    s.star_show = 0;
    s.surfaced = 0;
    s.stroke_ready = 1;
    // A record shorter than 58 bytes is completed with zeros and a longer one
    // cut, so no record reads past its end or runs into the next slot.
    const auto& records = areaCache_.area->actors;
    const std::size_t count = std::min<std::size_t>(records.size(), 40);
    for (std::size_t i = 0; i < count; ++i) {
        const auto& r = records[i];
        const std::size_t n = std::min<std::size_t>(r.size(), 58);
        auto slot = s.actors.begin() + static_cast<std::ptrdiff_t>(58 * i);
        std::copy_n(r.begin(), n, slot);
        std::fill(slot + static_cast<std::ptrdiff_t>(n), slot + 58, 0);
    }
    if (count < 40) std::fill_n(s.actors.begin() + static_cast<std::ptrdiff_t>(58 * count), 4, 0xFF);
    s.settled = 0;
    s.sinking = 0;
    s.flag_8300 = 0;
    for (std::size_t i = 0; i < 12; ++i) s.bubbles[18 * i] = s.bubbles[18 * i + 1] = 0xFF;
    s.bubble_timer = 4;
    s.indoors = 0;
    s.variant_ad = 0;
    for (std::size_t i = 0; i < 8; ++i) s.effects[14 * i] = s.effects[14 * i + 1] = 0;
    s.music_wait = s.music == 17 ? 1 : 120;
    return true;
}

void Simulation::enterArea() {
    GameState& s = state_;
    animatedBlockCheck();
    beginFrame();
    energyBar();
    area6Lamp();
    heroAnimationAndSprite();
    objectsHere();
    std::fill(s.platforms.begin(), s.platforms.end(), 0);
    runAreaHandler();
    itemsAndHazards();
    actors();
}

void Simulation::updateCamera() {
    GameState& s = state_;
    const std::int64_t X = static_cast<std::int16_t>(s.x >> 16);
    if (X < 150) {
        s.camera_x = 0;
        s.sprite_x = X;
    } else if (X - 150 > areaCache_.cameraLimit) {
        s.camera_x = areaCache_.cameraLimit;
        s.sprite_x = X - areaCache_.cameraLimit;
    } else {
        s.camera_x = X - 150;
        s.sprite_x = 150;
    }
}

bool Simulation::teleport(std::int64_t area, std::int64_t x, std::int64_t y) {
    GameState& s = state_;
    if (!world::findArea(world_, static_cast<int>(area))) return false;  // nothing changes
    // A teleport that stops halfway is undone, so the game never goes on from
    // a half-moved hero.
    const GameState before = state_;
    stopMessage_.clear();
    try {
        resetHero();
        s.damage = s.damage_show = s.energy_ramp = 0;
        loadArea(area);
        s.x = static_cast<std::int32_t>(static_cast<std::uint32_t>(x) << 16);
        s.y = static_cast<std::int32_t>(static_cast<std::uint32_t>(y) << 16);
        s.restart_x = x;
        s.restart_y = y;
        s.restart_area = area;
        updateCamera();
        enterArea();
        s.death_timer = 0;
        s.dying = 0;
        s.grace = 300;
    } catch (const Stop& e) {
        if (stopMessage_.empty()) stopMessage_ = e.what();
    } catch (const Suspend&) {
    }
    missingTableCheck();
    frameSprites_.clear();
    if (stopMessage_.empty()) return true;
    app::logMessage(app::kError, "teleport to area %d stopped: %s", static_cast<int>(area), stopMessage_.c_str());
    state_ = before;
    refreshAreaCache(state_.area);
    return false;
}

namespace {

std::int64_t wordAt(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::int16_t>(b[at] << 8 | b[at + 1]);
}

void putWord(std::vector<std::uint8_t>& b, std::size_t at, std::int64_t v) {
    b[at] = static_cast<std::uint8_t>(v >> 8);
    b[at + 1] = static_cast<std::uint8_t>(v);
}

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
void Simulation::animatedBlockCheck() {
    GameState& s = state_;
    const world::Area* area = areaCache_.area;
    if (!area) return;
    const auto& anims = area->animations;
    if (anims.size() * 8 > s.block_anims.size()) stopWith("an animated block list FFBBD2 does not hold");
    for (std::size_t i = 0; i < anims.size(); ++i) {
        const world::BlockAnimation& a = anims[i];
        const std::size_t at = 8 * i;
        const std::int64_t timer = static_cast<std::int16_t>(wordAt(s.block_anims, at + 2) - 1);
        putWord(s.block_anims, at + 2, timer);
        if (timer >= 0) continue;
        putWord(s.block_anims, at + 2, a.delay);
        std::int64_t index = static_cast<std::int16_t>(wordAt(s.block_anims, at + 4) + 1);
        const auto inside = [&](std::int64_t k) { return k >= 0 && k < static_cast<std::int64_t>(a.frames.size()); };
        if (!inside(index)) index = a.loop;
        if (!inside(index)) stopWith("an animated block list FFBBD2 does not hold");
        putWord(s.block_anims, at + 4, index);
        putWord(s.block_anims, at, a.frames[static_cast<std::size_t>(index)]);
    }
}

void Simulation::runAreaHandler() {
    if (state_.area > 49 || state_.area < 0)
        stopWith("the handler of area " + std::to_string(state_.area) + " ($005BA6)");
    areaHandler();
    areaMusic();
}

void Simulation::areaMusic() {
    GameState& s = state_;
    const int m = kAreaMusic[s.area];
    if (m < 0) {
        if (s.music != 17) requestMusic(17);
        return;
    }
    if (m == 0 || (s.area == 31 && s.flag_82f2 != 0) || s.music == m) return;
    s.music_wait = static_cast<std::int16_t>(s.music_wait - 1);
    if (s.music_wait == 0) requestMusic(m);
}

// Areas whose palette has variants drift through them: every 3500 frames
// the next variant fades in over 34 frames.
void Simulation::paletteVariantTimer() {
    GameState& s = state_;
    const world::Area* area = areaCache_.area;
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

// The lamp of area 6: once lit it flickers, and the solid cell of the two
// 8-pixel columns at x 912..927 moves one row down (row bit 1 cleared, row
// bit 2 set: y 136 becomes y 144). A cell outside a narrower area's
// collision bytes is skipped rather than written past them.
void Simulation::area6Lamp() {
    GameState& s = state_;
    if (s.area != 6) return;
    if (s.flag_82ef != 0) {
        stepProgramSequence(s.passage_anim, 0, kLampSequence);
        for (std::size_t at : {std::size_t{344}, std::size_t{347}}) {
            if (at >= areaCache_.collision.size()) continue;
            areaCache_.collision[at] = static_cast<std::uint8_t>((areaCache_.collision[at] & ~0x02) | 0x04);
        }
    }
    if (s.camera_x >= 576 && s.camera_x <= 935) {
        const std::int64_t frame = wordAt(s.passage_anim, 0) + areaCache_.firstSelectionFrames + 4;
        addSprite(static_cast<std::uint32_t>(1023 - s.camera_x), 253, static_cast<std::uint32_t>(frame & 0xFFFF), 16,
                  0x0062E4);
    }
}

}  // namespace sim
