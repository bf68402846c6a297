// The waiting screens of the game: event messages, the inventory, the lives
// counter and the game over sign. Each takes one W tick per frame.
#include <algorithm>

#include "sim/rom_view.h"
#include "sim/simulation.h"

namespace sim {

void Simulation::showScreen(int kind, std::int64_t value) {
    GameState& s = state_;
    s.screen_kind = kind;
    s.screen_event = value;
    s.screen_frame = 0;
    switch (kind) {
    case kEventScreen: {
        Screen screen;
        screen.event = value;
        screen.area = s.area;
        screen.language = s.language;
        screens_.push_back(std::move(screen));
        fadeVBlanks_ += 20;
        break;
    }
    case kInventoryScreen: {
        Screen screen;
        screen.area = s.area;
        screen.language = s.language;
        for (int i = 0; i < 3; ++i)
            screen.held[i] = static_cast<std::int16_t>(s.inventory[4 + 2 * i] << 8 | s.inventory[5 + 2 * i]);
        screens_.push_back(std::move(screen));
        requestSound(kSoundPause);
        fadeVBlanks_ += 20;
        break;
    }
    case kLivesScreen: {
        s.lives_music = s.music;
        requestMusic(7);
        resetHero();
        s.damage = s.damage_show = s.energy_ramp = 0;
        s.lives_after = 0;
        s.lives_wait = 0;
        Screen screen;
        screen.area = s.area;
        screen.language = s.language;
        screen.lives_flag = 1;
        screen.stars = s.stars_left;
        screen.snapshot = snapshot();
        screens_.push_back(std::move(screen));
        break;
    }
    case kGameOverScreen:
        // The caller has appended its Screen.
        fadeVBlanks_ += 10;
        break;
    }
    screenFrame();
    if (suspendMode_) throw Suspend{};
    runToolsScreen();
}

// Tools' mode: the screen runs to its end inside the call, reading no pad.
void Simulation::runToolsScreen() {
    GameState& s = state_;
    if (s.screen_kind == kLivesScreen) {
        for (std::int64_t i = 1; i <= livesFrames_; ++i) {
            s.lives_wait = std::min<std::int64_t>(i - 1, 50);
            s.lives_after = std::max<std::int64_t>(0, i - (livesFrames_ - 70));
            screenFrame();
        }
    } else if (s.screen_kind != kGameOverScreen) {
        for (std::int64_t i = 1; i < eventFrames_; ++i) screenFrame();
    }
    endScreen();
}

std::int64_t Simulation::firstBankFrames(std::uint32_t bankList) {
    if (rom_.longAt(bankList) == 0xFFFFFFFFu) return 0;
    const std::uint32_t selection = rom_.longAt(bankList + 4);
    std::int64_t count = 0;
    while (count < 256 && rom_.wordAt(selection + 10 * static_cast<std::uint32_t>(count)) != 0xFFFF) ++count;
    return count;
}

namespace {

// Every 6 frames each block's last word moves to the front.
void rotateWords(std::vector<std::uint8_t>& block) {
    std::rotate(block.rbegin(), block.rbegin() + 2, block.rend());
}

}  // namespace

void Simulation::screenFrame() {
    GameState& s = state_;
    const std::int64_t f = s.screen_frame;
    switch (s.screen_kind) {
    case kGameOverScreen:
        gameOverFrame(f == 0);
        break;
    case kLivesScreen: {
        if (f > 0) {
            if (--s.hazard_phase_timer < 0) {
                s.hazard_phase_timer = 5;
                rotateWords(s.hazard_phases);
            }
            if (--s.star_phase_timer < 0) {
                s.star_phase_timer = 5;
                rotateWords(s.star_phases);
            }
            heroAnimationStep();
        }
        const auto c = static_cast<std::uint32_t>(firstBankFrames(0x03ED28));
        beginFrame();
        const std::uint32_t starFrame = static_cast<std::uint32_t>(s.star_phases[0] << 8 | s.star_phases[1]);
        addSprite(264, 204, 0, 0, 0x004098);
        addSprite(290, 216, c + 1, 0, 0x0040AC);
        addSprite(256, 234, starFrame, 0, 0x0040DA);
        addSprite(279, 240, c + 1, 0, 0x0040EE);
        addSprite(273, 252, c, 0, 0x004100);
        break;
    }
    case kEventScreen: {
        const std::uint32_t entry = rom_.longAt(0x03E470 + 4 * static_cast<std::uint32_t>(s.screen_event));
        const auto c = static_cast<std::uint32_t>(firstBankFrames(rom_.longAt(entry + 4)));
        beginFrame();
        energyBar();
        if (s.screen_event == 21 && f > 0) {
            // The idle reminder's arrows wobble.
            s.hint_phase = (s.hint_phase + 2) & 0x3E;
            const std::int64_t w = rom_.signedWordAt(0x00C674 + static_cast<std::uint32_t>(s.hint_phase));
            const std::int64_t g = s.language != 0 ? 3 : 0;
            addSprite(293, static_cast<std::uint32_t>((w - g + 232) & 0xFFFF), c + 1, 0, entry);
            addSprite(303, static_cast<std::uint32_t>((g - w + 196) & 0xFFFF), c + 1, 2, entry);
        }
        for (std::uint32_t at = entry + 10; at < entry + 512; at += 6) {
            if (rom_.wordAt(at) == 0xFFFF) break;
            const std::int64_t x = rom_.signedWordAt(at), y = rom_.signedWordAt(at + 2);
            const std::int64_t frame = c + rom_.signedWordAt(at + 4);
            addSprite(static_cast<std::uint32_t>(x & 0xFFFF), static_cast<std::uint32_t>(y & 0xFFFF),
                      static_cast<std::uint32_t>(frame & 0xFFFF), 0, entry);
        }
        break;
    }
    case kInventoryScreen: {
        const auto c = static_cast<std::uint32_t>(firstBankFrames(0x03EC7C));
        beginFrame();
        energyBar();
        const std::uint32_t ys[3] = {192, 232, 272};
        for (std::uint32_t i = 0; i < 3; ++i) {
            if (static_cast<std::int8_t>(s.inventory[4 + 2 * i]) >= 0) addSprite(176, ys[i], c + i, 0, 0x03EC7C);
        }
        break;
    }
    default:
        break;
    }
    if (!screens_.empty()) {
        Screen& screen = screens_.back();
        screen.frames.push_back(frameSprites_);
        if (s.screen_kind == kLivesScreen)
            screen.lives_frames.push_back({s.lives_after == 0 ? s.lives + 1 : s.lives, s.sprite_frame, s.expression});
    }
    s.screen_frame += 1;
}

bool Simulation::screenEnds(std::uint8_t pad) {
    GameState& s = state_;
    switch (s.screen_kind) {
    case kEventScreen:
    case kInventoryScreen:
        return (pad & 0x70) != 0;
    case kLivesScreen:
        if (s.lives_wait < 50) {
            ++s.lives_wait;
            return false;
        }
        if (s.lives_after == 0) {
            if (pad >= 16) s.lives_after = 1;
            return false;
        }
        ++s.lives_after;
        return s.lives_after >= 70;
    case kGameOverScreen:
        return s.go_phase == 2 && s.go_timer == 0;
    default:
        return true;
    }
}

void Simulation::endScreen() {
    GameState& s = state_;
    const std::int64_t kind = s.screen_kind;
    s.screen_kind = kNoScreen;
    switch (kind) {
    case kGameOverScreen:
        fadeVBlanks_ += 10;
        endMessage_ = "game over";
        break;
    case kLivesScreen:
        requestMusic(s.lives_music);
        break;
    case kEventScreen:
        fadeVBlanks_ += 20;
        loadArea(s.area);
        updateCamera();
        enterArea();
        break;
    case kInventoryScreen: {
        fadeVBlanks_ += 20;
        requestSound(kSoundResume);
        // The actors keep their state across the inventory screen.
        std::vector<std::uint8_t> keep = s.actors;
        loadArea(s.area);
        s.actors = std::move(keep);
        updateCamera();
        enterArea();
        break;
    }
    default:
        break;
    }
}

}  // namespace sim
