// Areas: loading and entering an area, the camera, teleporting; the exits,
// doors and block animations have their places here.
#include <algorithm>

#include "app/log.h"
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

// Not built yet: the animated blocks of the area (block_anims against the
// world's animations). Until then the blocks stay on their first frame.
void Simulation::animatedBlockCheck() {}

// Not built yet: UP alone in front of an open door acts as B. Until then the
// pad passes unchanged.
std::uint8_t Simulation::doorRule(std::uint8_t pad) { return pad; }

// Not built yet: the exits at the top, bottom and sides of the area. Until
// then the hero cannot leave through them.
void Simulation::exitCheck() {}

// Not built yet: the palette-variant timer. Until then the area keeps its palette.
void Simulation::paletteVariantTimer() {}

// Not built yet: the lamp of area 6. Until then it stays dark.
void Simulation::area6Lamp() {}

}  // namespace sim
