// The Simulation object, the step and its tick kinds, the game step and its
// stages, and the new game.
#include "sim/simulation.h"

#include <algorithm>
#include <cstdio>

#include "sim/rom_view.h"
#include "world/world.h"

namespace sim {

namespace {

// Stage after a screen begun in stage s has ended; 0 = nothing to resume.
int nextStage(std::int64_t s) {
    if (s == 7) return 0;
    if (s == 10) return 3;
    return static_cast<int>(s) + 1;
}

std::string hex6(std::uint32_t a) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%06X", a);
    return buf;
}

}  // namespace

Simulation::Simulation(const world::World& world, RomView& rom) : world_(world), rom_(rom) {
    frameSprites_.reserve(256);
    stepSprites_.reserve(512);
    previousSprites_.reserve(256);
    soundRequests_.reserve(16);
}

void Simulation::clearMessages() {
    stopMessage_.clear();
    endMessage_.clear();
}

void Simulation::stopWith(const std::string& message) {
    stopMessage_ = message;
    throw Stop(message);
}

void Simulation::missingTableCheck() {
    if (!stopMessage_.empty()) return;
    if (rom_.hasMissed()) {
        stopMessage_ = "a ROM table that was not exported (" + hex6(rom_.missingAddress()) + ")";
        // Reported once: the host's recovery from its safe point can go on.
        rom_.clearMissingAddress();
    }
}

// --- start of a run and of a game ---

void Simulation::newStart(bool languageMenu) {
    clearMessages();
    screens_.clear();
    try {
        if (languageMenu) {
            requestSound(kSoundMusic, 0);
            openLanguageMenu();
        } else {
            requestMusic(11);
            showTitle();
        }
    } catch (const Stop& e) {
        if (stopMessage_.empty()) stopMessage_ = e.what();
    } catch (const Suspend&) {
    }
}

bool Simulation::newGame(std::int64_t extraLives) {
    // The new game keeps the language, the display rate, the music and the
    // tower's edge data.
    const std::int64_t language = state_.language, refreshHz = state_.refresh_hz, music = state_.music,
                       musicWait = state_.music_wait;
    std::vector<std::uint8_t> towerEdge = std::move(state_.tower_edge);
    state_ = GameState();
    state_.language = language;
    state_.refresh_hz = refreshHz;
    state_.music = music;
    state_.music_wait = musicWait;
    state_.tower_edge = std::move(towerEdge);
    clearMessages();
    GameState& s = state_;
    try {
        s.cheat_left = 1;
        s.rng = 0xE7190345;

        applyGameStartValues();

        s.lives += extraLives;
        if (extraLives != 0) requestEffect(10);

        resetHero();
        s.damage = s.damage_show = s.energy_ramp = 0;
        s.x = 160 << 16;
        s.y = 152 << 16;

        s.rain_left = 0;
        random(127);  // the first draw is made and dropped
        s.rain_wait = rom_.wordAt(0x004A2A + 2 * (random(127) & 3));
        s.rain_ramp = 0;

        s.chain[2] = 0, s.chain[3] = 4, s.chain[4] = 0, s.chain[5] = 0;
        std::fill(s.inventory.begin() + 2, s.inventory.end(), 0xFF);

        for (std::uint32_t i = 0; i < s.objects.size(); ++i) s.objects[i] = rom_.byteAt(0x002B68 + i);
        for (std::uint32_t i = 0; i < s.lifts.size(); ++i) s.lifts[i] = rom_.byteAt(0x0065B4 + i);
        const std::uint32_t platformRecords[4] = {0x00A9C0, 0x00A9CC, 0x00A9D8, 0x00A9F0};
        for (std::uint32_t r = 0; r < 4; ++r)
            for (std::uint32_t i = 0; i < 12; ++i) s.platform_recs[12 * r + i] = rom_.byteAt(platformRecords[r] + i);

        s.bob_phase = 0;
        s.bob_base = 0xA00000;
        s.a13_y = 0xB80000;

        s.area = 21;
        s.restart_x = 160;
        s.restart_y = 152;
        s.restart_area = 21;
        loadArea(21);

        s.particles[0] = 0xFF;
        for (int k = 0; k < 5; ++k) s.particles[10 * k + 1] = s.particles[10 * k + 10] = 0xFF;
        s.particles[51] = 0xFF;
        s.particle_timer = 0;
        const std::uint8_t walker[8] = {0x06, 0x4C, 0x00, 0x28, 0x00, 0x0A, 0x00, 0x0A};
        s.a1_walker[0] = 0x06, s.a1_walker[1] = 0x4A, s.a1_walker[4] = 0x00, s.a1_walker[5] = 0x20;
        std::copy(std::begin(walker), std::end(walker), s.a1_walker.begin() + 28);

        updateCamera();
        enterArea();
    } catch (const Stop& e) {
        if (stopMessage_.empty()) stopMessage_ = e.what();
    } catch (const Suspend&) {
    }
    missingTableCheck();
    return stopMessage_.empty();
}

void Simulation::applyGameStartValues() {
    GameState& s = state_;
    s.door_locks = rom_.longAt(0x0025E0);
    std::fill(s.door_states.begin(), s.door_states.end(), 0);
    for (int i = 0; i < 4; ++i) s.hazard_phases[2 * i + 1] = static_cast<std::uint8_t>(i);
    const std::uint8_t starPhases[6] = {52, 53, 54, 55, 54, 53};
    for (int i = 0; i < 6; ++i) s.star_phases[2 * i + 1] = starPhases[i];
    s.hazard_phase_timer = 5;
    s.star_phase_timer = 5;
    s.score = 0;
    s.stars_left = 250;
    s.lives = 2;
    s.palette_timer = 3500;
    s.grace = 100;
    s.w825e = 0x7F;
    const std::uint8_t area9[16] = {0x01, 0xAE, 0, 0, 0, 0x43, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x14};
    std::copy(std::begin(area9), std::end(area9), s.area9.begin());
    const std::uint8_t guard[8] = {0x05, 0x8A, 0, 0, 0, 0x21, 0, 0};
    std::copy(std::begin(guard), std::end(guard), s.a10_guard.begin());
    const std::uint8_t gate[12] = {0x00, 0x94, 0, 0, 0, 0, 0x0D, 0, 0, 0, 0x08, 0};
    std::copy(std::begin(gate), std::end(gate), s.a42_gate.begin());
    const std::uint8_t shooter[12] = {0x03, 0, 0, 0x01, 0, 0, 0, 0, 0x03, 0, 0, 0x0A};
    std::copy(std::begin(shooter), std::end(shooter), s.a16.begin());
    s.a16_anim[4] = 0xFF;  // timer 0, index FFFF
    s.a16_anim[5] = 0xFF;
    s.a16_exit[0] = 0x00, s.a16_exit[1] = 0x68, s.a16_exit[4] = 0x00, s.a16_exit[5] = 0x30;
}

// --- the step ---

char Simulation::tickKind() const {
    if (state_.front != 0) return 0;
    if (state_.screen_kind != 0) return 'W';
    if (state_.in_subgame != 0) return 'G';
    return 'S';
}

void Simulation::step(std::uint8_t pad, std::int64_t tick) {
    fadeVBlanks_ = 0;
    tickNumber_ = tick;
    stopMessage_.clear();  // a stop is reported once; the host stops stepping
    GameState& s = state_;
    auto guarded = [&](auto&& body) {
        try {
            body();
        } catch (const Stop& e) {
            if (stopMessage_.empty()) stopMessage_ = e.what();
        } catch (const Suspend&) {
        }
    };
    if (s.front != 0) {
        stepSprites_.clear();
        guarded([&] { frontEndFrame(pad); });
    } else if (s.in_subgame != 0 && s.screen_kind != 0) {
        // A waiting screen raised by a subgame.
        guarded([&] {
            stepSprites_.clear();
            stepPad_ = pad;
            screenFrame();
            if (screenEnds(pad)) {
                endScreen();
                subgameAfterScreen();
                if (subRamByte(0xFF9103) == 0) stagePause(pad);
            }
        });
    } else if (s.in_subgame != 0) {
        suspendMode_ = true;
        std::string result;
        guarded([&] { result = subgameFrame(s.mode, pad, tick); });
        s.w910c = subRamWord(0xFF910C);
        if (!result.empty() && stopMessage_.empty()) guarded([&] { leaveSubgame(pad); });
    } else if (s.screen_kind == 0) {
        runGameStep(pad, -1, -1, {});
        return;  // the game step makes its own missing-table check
    } else {
        clearMessages();
        stepSprites_.clear();
        suspendMode_ = true;
        stepPad_ = pad;
        guarded([&] {
            screenFrame();
            if (screenEnds(pad)) {
                const std::int64_t kind = s.screen_kind;
                endScreen();
                if (kind != kGameOverScreen) {
                    if (int next = nextStage(s.step_stage); next != 0) runStages(next, pad);
                }
            }
        });
    }
    missingTableCheck();
}

void Simulation::runGameStep(std::uint8_t pad, std::int32_t eventFrames, std::int32_t livesFrames,
                             SubgameHook hook) {
    clearMessages();
    eventFrames_ = eventFrames;
    livesFrames_ = livesFrames;
    subgameHook_ = std::move(hook);
    suspendMode_ = eventFrames == -1;
    stepPad_ = pad;
    stepSprites_.clear();
    screens_.clear();
    GameState& s = state_;
    try {
        updateCamera();
        animatedBlockCheck();
        random(127);  // the console draws once per frame
        carriedObjectFlags();
        rainTimer();
        if (!heroFrozen()) heroControl();
        beginFrame();
        stepPad_ = doorRule(pad);

        bAction();
        objectUseRoutines();
        exitCheck();
        fallingEffects();
        starCountDisplay();
        energyBar();
        area6Lamp();
        heroAnimationAndSprite();
        s.expression = 0;
        rain();
        objectsHere();
        sparkles();
        std::fill(s.platforms.begin(), s.platforms.end(), 0);
        runAreaHandler();
        itemsAndHazards();
        actors();
        paletteVariantTimer();

        waterAndEnergy();
        s.step_stage = 0;
        deathCheck();
        if (endMessage_.empty()) runStages(1, pad);
    } catch (const Stop& e) {
        if (stopMessage_.empty()) stopMessage_ = e.what();
    } catch (const Suspend&) {
    }
    if (!stopMessage_.empty()) return;
    missingTableCheck();
}

// --- stages ---

void Simulation::runStages(int stage, std::uint8_t pad) {
    GameState& s = state_;
    for (;;) {
        if (stage < 1 || stage > 10) stopWith("a step stage " + std::to_string(stage));
        s.step_stage = stage;
        bool done = false;
        runStage(stage, pad, done);
        if (done) {
            s.step_stage = 0;
            return;
        }
        stage = stage == 7 ? 0 : stage == 10 ? 3 : stage + 1;
    }
}

void Simulation::runStage(int stage, std::uint8_t pad, bool& done) {
    GameState& s = state_;
    switch (stage) {
    case 1:  // respawn after a lost life
        if (s.respawn_pending != 0) {
            s.respawn_pending = 0;
            resetHero();
            s.damage = s.damage_show = s.energy_ramp = 0;
            s.area = s.restart_area;
            loadArea(s.area);
            const std::int64_t X = static_cast<std::int16_t>(s.restart_x);
            s.x = X * 65536;
            s.y = s.restart_y * 65536;
            if (X > 149) {
                s.camera_x = std::min(X - 150, areaCache_.cameraLimit);
                s.sprite_x = X - s.camera_x;
            } else {
                s.camera_x = 0;
                s.sprite_x = X;
            }
            enterArea();
            s.death_timer = 0;
            s.dying = 0;
            s.grace = 300;
        }
        break;
    case 2:  // subgame entry
        if (!endMessage_.empty()) {
            done = true;
            return;
        }
        if (s.mode != 0) {
            if (!subgameHook_) {
                enterSubgame();
                throw Suspend{};  // the subgame's frames follow as G ticks
            }
            resolveSubgameWithHook();
            if (!endMessage_.empty()) done = true;
        }
        break;
    case 3:  // all stars collected
        if (s.flag_82fa == 0 && s.stars_left == 0) {
            s.flag_82fa = 255;
            s.event = 14;
        }
        break;
    case 4:
        inventoryButton(pad);
        break;
    case 5:
    case 10:
        if (s.event != 0) {
            const std::int64_t e = s.event;
            s.event = 0;
            showScreen(kEventScreen, e);
        }
        break;
    case 6:
        stageIdleTimer();
        break;
    case 7:
        stagePause(pad);
        done = true;
        break;
    case 8:
        subgameLoss();
        if (!endMessage_.empty()) done = true;
        break;
    case 9:
        subgameReturn();
        if (!endMessage_.empty()) done = true;
        break;
    }
}

void Simulation::stageIdleTimer() {
    GameState& s = state_;
    if (s.flag_8309 != 0) return;
    s.idle_timer = (s.idle_timer + 1) & 0xFFFF;
    bool raised = false;
    if (s.flag_830a == 0) {
        if (s.idle_timer == 10800) {
            raised = true;
        } else if (s.idle_timer == 18000) {
            raised = true;
            s.idle_timer = 0;
            s.flag_830a = 255;
        }
    } else if (s.idle_timer == 3600) {
        raised = true;
        s.idle_timer = 0;
    }
    if (raised) {
        // The reminder is shown at once.
        s.event = 0;
        showScreen(kEventScreen, 21);
    }
}

bool Simulation::stagePause(std::uint8_t pad) {
    GameState& s = state_;
    const std::int64_t limit = s.refresh_hz == 60 ? 90 : 75;
    if (s.pause_delay < limit) ++s.pause_delay;
    if (s.pause_delay >= limit && (pad & 0x80) != 0) {
        // The pause itself is the host's menu, opened by the same press.
        s.pause_delay = 0;
        requestSound(kSoundPause);
        requestSound(kSoundResume);
        return true;
    }
    return false;
}

// --- death and lives ---

void Simulation::deathCheck() {
    GameState& s = state_;
    const bool full = (s.damage >> 16) == 64;
    if (full && s.dying == 0) s.dying = 1;
    if (!full && s.dying == 0) return;
    if (s.death_timer == 0) return;
    if (--s.death_timer != 0) return;
    if (s.lives != 0) {
        loseLife();
        s.respawn_pending = 1;
        showScreen(kLivesScreen, 0);
    } else {
        beginGameOver();
    }
}

void Simulation::loseLife() {
    if ((cheats_ & kCheatLives) == 0) state_.lives -= 1;
}

void Simulation::beginGameOver() {
    GameState& s = state_;
    requestMusic(5);
    if (!suspendMode_) {
        endMessage_ = "game over";
        return;
    }
    Screen screen;
    screen.area = s.area;
    screen.language = s.language;
    screen.over_flag = 1;
    screens_.push_back(std::move(screen));
    // The sign's routine reads these as signed 16.16 values from their low 32 bits.
    s.go_phase = 0;
    s.go_timer = 0;
    s.go_x = 0x1E40000;
    s.go_y = 0xA30000;
    s.go_sx = s.go_sy = 0x80000;
    s.go_vx = 0xFFFCC000;
    s.go_vy = 0xFFFF2000;
    s.go_x2 = 128;
    s.go_y2 = 248;
    s.go_sx2 = s.go_sy2 = 8;
    showScreen(kGameOverScreen, 0);
}

// --- state access for the host ---

std::shared_ptr<const GameState> Simulation::snapshot() const { return std::make_shared<const GameState>(state_); }

bool Simulation::loadState(const GameState& given) {
    // A state whose area is not in this world is refused before anything
    // changes, so the running game goes on untouched.
    if (!world::findArea(world_, static_cast<int>(given.area))) return false;
    std::vector<std::uint8_t> towerEdge;
    const bool keepEdge = given.tower_edge.size() != state_.tower_edge.size();
    if (keepEdge) towerEdge = std::move(state_.tower_edge);
    state_ = given;
    if (keepEdge) state_.tower_edge = std::move(towerEdge);
    clearMessages();
    frameSprites_.clear();
    stepSprites_.clear();
    previousSprites_.clear();
    screens_.clear();
    return refreshAreaCache(state_.area);
}

bool Simulation::isAtRest() const {
    const GameState& s = state_;
    return s.front == 0 && s.in_subgame == 0 && s.screen_kind == 0 && s.step_stage == 0 && s.mode == 0 &&
           s.dying == 0 && stopMessage_.empty() && endMessage_.empty();
}

// --- helpers ---

std::int64_t Simulation::random(std::int64_t n) {
    std::uint32_t range = static_cast<std::uint32_t>(n - 1) & 0xFFFF;
    int bits = 0;
    while (range != 0) {
        ++bits;
        range >>= 1;
    }
    if (n == 0) bits = 16;
    if (bits == 0) bits = 1;
    std::uint32_t v = static_cast<std::uint32_t>(state_.rng);
    for (int i = 0; i < bits; ++i) {
        const bool top = (v & 0x80000000u) != 0;
        v <<= 1;
        if (top || v == 0) v ^= 0x1D872B41u;
    }
    state_.rng = v;
    if (n == 0) return v & 0xFFFF;
    return (n * static_cast<std::int64_t>(v & 0xFFFF)) >> 16;
}

void Simulation::requestSound(std::uint8_t kind, std::uint32_t value) { soundRequests_.push_back({kind, value}); }

void Simulation::requestMusic(std::int64_t n) {
    state_.music = n;
    requestSound(kSoundMusic, static_cast<std::uint32_t>(n));
}

void Simulation::requestEffect(std::int64_t n) { requestSound(kSoundEffect, static_cast<std::uint32_t>(n)); }

void Simulation::addSprite(std::uint32_t x, std::uint32_t y, std::uint32_t frame, std::uint32_t attributes,
                           std::uint32_t caller) {
    const SpriteCall call{x, y, frame, attributes, caller};
    frameSprites_.push_back(call);
    stepSprites_.push_back(call);
    // A drawing loop that never ends on the console would hang it; here it
    // stops the game.
    if (stepSprites_.size() > 20000) stopWith("a runaway drawing loop at $" + hex6(caller & 0xFFFFFF));
}

void Simulation::beginFrame() {
    std::swap(previousSprites_, frameSprites_);
    frameSprites_.clear();
}

std::int64_t Simulation::subRamWord(std::uint32_t address) const {
    const std::size_t i = address - kSubRamBase;
    if (address < kSubRamBase || i + 1 >= state_.sub_ram.size()) return 0;
    return static_cast<std::int16_t>(state_.sub_ram[i] << 8 | state_.sub_ram[i + 1]);
}

std::uint8_t Simulation::subRamByte(std::uint32_t address) const {
    const std::size_t i = address - kSubRamBase;
    if (address < kSubRamBase || i >= state_.sub_ram.size()) return 0;
    return state_.sub_ram[i];
}

void Simulation::setSubRamWord(std::uint32_t address, std::int64_t value) {
    const std::size_t i = address - kSubRamBase;
    if (address < kSubRamBase || i + 1 >= state_.sub_ram.size()) return;
    state_.sub_ram[i] = static_cast<std::uint8_t>(value >> 8);
    state_.sub_ram[i + 1] = static_cast<std::uint8_t>(value);
}

void Simulation::setSubRamByte(std::uint32_t address, std::uint8_t value) {
    const std::size_t i = address - kSubRamBase;
    if (address < kSubRamBase || i >= state_.sub_ram.size()) return;
    state_.sub_ram[i] = value;
}

}  // namespace sim
