// Entering, resolving and leaving the subgames, and the return of the hero to
// the main game afterwards.
#include <string>

#include "base/log.h"
#include "sim/rom_view.h"
#include "sim/subgames.h"
#include "sim/simulation.h"

namespace sim {

namespace {

struct Place {
    std::int64_t x, y, area;
};

// Where the minecart run leaves the hero, by its result.
Place minecartReturn(std::int64_t r) {
    switch (r) {
    case 0: return {1475, 40, 16};
    case 1: return {2819, 72, 11};
    case 2: return {2021, 104, 10};
    case 3: return {2, 8, 19};
    default: return {148, 40, 16};  // -1 and 4 or more
    }
}

}  // namespace

void Simulation::cancelPaletteFade() {
    if (state_.palette_fading != 0) {
        state_.palette_fading = 0;
        state_.palette_fade_step = 0;
    }
}

void Simulation::saveHeroForSubgame() {
    GameState& s = state_;
    s.push_sprite_x = s.sprite_x;
    s.push_x = s.x;
    s.push_y = s.y;
    s.push_vy = s.vy;
    s.push_frame = s.sprite_frame;
    s.push_anim = s.anim;
    s.push_camera = s.camera_x;
    s.push_damage = s.damage;
    s.push_shown = s.damage_show;
    s.push_music = s.music;
}

void Simulation::restoreHeroFromPush() {
    GameState& s = state_;
    s.sprite_x = s.push_sprite_x;
    s.x = s.push_x;
    s.y = s.push_y;
    s.sprite_frame = s.push_frame;
    s.anim = s.push_anim;
    s.camera_x = s.push_camera;
    s.damage_show = s.push_shown;
    // Only the integer parts of vy and damage come back; their fractions stay.
    s.vy = (s.push_vy & ~std::int64_t{0xFFFF}) | (s.vy & 0xFFFF);
    s.damage = (s.push_damage & ~std::int64_t{0xFFFF}) | (s.damage & 0xFFFF);
}

void Simulation::enterSubgame() {
    GameState& s = state_;
    cancelPaletteFade();
    s.pause_delay = 0;
    saveHeroForSubgame();
    std::fill(s.sub_ram.begin(), s.sub_ram.end(), 0);
    setUpSubgame(s.mode);
    s.in_subgame = 1;
}

void Simulation::setUpSubgame(std::int64_t mode) {
    switch (mode) {
    case 0:
    case 1: setUpSwapPuzzle(*this); break;
    case 2: setUpSea(*this); break;
    case 4: setUpMinecart(*this); break;
    case 5:
    case 6:
    case 7:
    case 8: setUpArchery(*this); break;
    case 9: setUpTower(*this); break;
    default: stopWith("subgame " + std::to_string(mode) + "'s set-up (S7)");
    }
}

std::string Simulation::subgameFrame(std::int64_t mode, std::uint8_t pad, std::int64_t tick) {
    std::string result;
    switch (mode) {
    case 0:
    case 1: result = swapPuzzleFrame(*this, pad, tick); break;
    case 2: result = seaFrame(*this, pad, tick); break;
    case 4: result = minecartFrame(*this, pad, tick); break;
    case 5:
    case 6:
    case 7:
    case 8: result = archeryFrame(*this, pad, tick); break;
    case 9: result = towerFrame(*this, pad, tick); break;
    default: stopWith("subgame " + std::to_string(mode) + "'s rules (S7)");
    }
    if (result == kSubgameNotBuilt)
        app::logMessage(app::kInfo, "subgame %lld is not built yet: it is over at once", static_cast<long long>(mode));
    return result;
}

void Simulation::subgameAfterScreen() { towerAfterScreen(*this); }

void Simulation::leaveSubgame(std::uint8_t pad) {
    GameState& s = state_;
    clearMessages();
    stepSprites_.clear();
    screens_.clear();
    s.in_subgame = 0;
    s.sub_result = subRamWord(0xFF90FE);
    restoreHeroFromPush();
    s.lock = 0;
    cancelPaletteFade();
    runStages(8, pad);
}

void Simulation::resolveSubgameWithHook() {
    GameState& s = state_;
    subgamesSkipped_ += 1;
    std::optional<GameState> reached = subgameHook_(*this);
    if (!reached) stopWith("subgame " + std::to_string(s.mode) + "'s rules (S7)");
    const GameState& g = *reached;
    saveHeroForSubgame();
    if (s.mode == 0 || s.mode == 1) {
        resetHero();
        s.damage = s.damage_show = s.energy_ramp = 0;
    }
    s.rng = g.rng;
    s.score = g.score;
    s.lives = g.lives;
    s.inv_timers = g.inv_timers;
    s.stars_left = g.stars_left;
    s.flags = g.flags;
    s.energy_ramp = g.energy_ramp;
    s.damage_show = g.damage_show;
    s.effects = g.effects;
    s.actors = g.actors;
    s.sub_result = g.sub_result;
    s.anim_count = g.anim_count;
    s.anim_index = g.anim_index;
    s.arc = g.arc;
    s.sub_ram = g.sub_ram;
    // The scalars palette_variant..expression and the blocks frame_bases..block_anims.
    const FieldInfo* firstScalar = findField("palette_variant");
    const FieldInfo* lastScalar = findField("expression");
    for (int i = firstScalar->scalarIndex; i <= lastScalar->scalarIndex; ++i) s.scalar(i) = g.scalar(i);
    const FieldInfo* firstBlock = findField("frame_bases");
    const FieldInfo* lastBlock = findField("block_anims");
    for (int i = firstBlock->blockIndex; i <= lastBlock->blockIndex; ++i) s.block(i) = g.block(i);
    s.pause_delay = 0;
    s.lock = 0;
    if (s.mode == 1) restoreHeroFromPush();
    subgameLoss();
    if (!endMessage_.empty()) return;
    subgameReturn();
    if (!endMessage_.empty()) return;
    if (s.event != 0) {
        const std::int64_t e = s.event;
        s.event = 0;
        showScreen(kEventScreen, e);
    }
}

void Simulation::subgameLoss() {
    GameState& s = state_;
    if (s.mode == 1 || s.sub_result >= 0) return;
    if (s.mode == 5 || s.mode == 6) {
        s.sub_result = 0;
        setSubRamWord(0xFF90FE, 0);
        s.sub_lost = 1;
    }
    if (s.mode == 2 || s.mode == 4 || s.mode == 5 || s.mode == 6) {
        if (s.lives != 0) {
            loseLife();
            showScreen(kLivesScreen, 0);
        } else {
            s.mode = 0;
            beginGameOver();
        }
    }
}

void Simulation::placeHero(std::int64_t x, std::int64_t y, std::int64_t area) {
    GameState& s = state_;
    const std::int64_t mode = s.mode;
    const std::int64_t r = s.sub_result;
    s.x = x * 65536;
    s.y = y * 65536;
    s.area = area;
    const bool cartJump = mode == 4 && r == 3;
    s.mode = 0;
    resetHero(true);
    if (cartJump) {
        // The cart throws the hero out in a jump to the right.
        s.vy = -0x3F000;
        s.jump = 3;
        s.anim = 0x001852;
    }
    s.restart_x = x;
    s.restart_y = y;
    s.restart_area = area;
    loadArea(area);
    updateCamera();
    enterArea();
    if (s.flag_82fa == 0 && s.stars_left == 0) {
        s.flag_82fa = 255;
        s.event = 14;
    }
    if (cartJump) {
        s.restart_x = 36;
        s.restart_y = 72;
        s.restart_area = 19;
    }
}

void Simulation::subgameReturn() {
    GameState& s = state_;
    std::int64_t r = s.sub_result;
    if (s.sub_lost != 0) {
        r = -1;
        s.sub_lost = 0;
    }
    switch (s.mode) {
    case 1:
        if (r == -1) requestMusic(s.push_music);
        s.mode = 0;
        loadArea(s.area);
        updateCamera();
        enterArea();
        break;
    case 2:
        s.flag_82f2 = 0;
        s.scripted_obj[0] = s.scripted_obj[17] = s.scripted_obj[18] = s.scripted_obj[19] = 0;
        s.anim_8162[2] = s.anim_8162[3] = 0;
        s.anim_8162[4] = s.anim_8162[5] = 0xFF;
        requestMusic(12);
        if (r < 0) placeHero(1125, 56, 31);
        else placeHero(857, 104, 11);
        break;
    case 4: {
        s.a16_exit[0] = 0x00, s.a16_exit[1] = 0x68, s.a16_exit[4] = 0x00, s.a16_exit[5] = 0x30;
        s.flag_82f3 = 0;
        const Place p = minecartReturn(r);
        placeHero(p.x, p.y, p.area);
        requestMusic(r <= 0 ? 6 : 12);
        break;
    }
    case 5:
    case 6:
    case 7:
    case 8:
        if (s.mode == 7 || (s.mode == 5 && r >= 0)) {
            requestMusic(3);
            placeHero(992, 136, 45);
        } else {
            requestMusic(12);
            placeHero(1773, 120, 18);
        }
        break;
    case 9:
        s.mode = 0;
        if (r < 0) beginGameOver();
        else endMessage_ = "the end (Vors beaten)";
        break;
    default:
        stopWith("subgame mode " + std::to_string(s.mode) + "'s return");
    }
}

}  // namespace sim
