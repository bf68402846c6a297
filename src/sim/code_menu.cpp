// The code menu: a practice list of the six subgames plus the attract pages,
// opened by the title's secret sequence or by the host. A subgame started here
// runs on the menu's frames and returns to the menu when it is over.
#include <algorithm>

#include "sim/rom_view.h"
#include "sim/simulation.h"

namespace sim {

namespace {

constexpr std::uint32_t kMoveStep = 0xFF90E6;  // the highlight's animation step t, 0..16
constexpr std::uint32_t kModes = 0x0130D2;     // the subgame mode of each entry
constexpr std::int64_t kLastEntry = 6;         // entry 6: the attract pages
constexpr std::uint32_t kMarkCaller = 0x0130A4;

// The highlight: the selection bar's two end pieces of the menu's frame list,
// beside the entry's line. Entry k's line is drawn at cell row 6 + 2k, which
// the menu shows at screen y 64 + 16k.
constexpr std::uint32_t kMarkLeftFrame = 0x17;
constexpr std::uint32_t kMarkRightFrame = 0x19;
constexpr std::int64_t kMarkLeftX = 128 + 40;
constexpr std::int64_t kMarkRightX = 128 + 272;
constexpr std::int64_t kFirstEntryY = 128 + 64;
constexpr std::int64_t kEntrySpacing = 16;

}  // namespace

void Simulation::openCodeMenuScreen() {
    GameState& s = state_;
    s.code_menu = 1;
    s.front = 5;
    s.front_step = 0;
    s.event = 19;
    pushFrontScreen(19, 0, 5);
    s.menu_latch = 0;
    setSubRamWord(kMoveStep, 0);
    fadeVBlanks_ += 20;
    // The highlight is shown from the first frame on.
    beginFrame();
    drawCodeMenuMarks(s.menu_cursor, s.menu_cursor, 0);
    appendFrontFrame();
}

// The highlight on its way from entry `from` to entry `to`, at step t of 17.
void Simulation::drawCodeMenuMarks(std::int64_t from, std::int64_t to, std::int64_t t) {
    const std::int64_t y = kFirstEntryY + kEntrySpacing * from + kEntrySpacing * (to - from) * t / 17;
    addSprite(kMarkLeftX, static_cast<std::uint16_t>(y), kMarkLeftFrame, 0, kMarkCaller);
    addSprite(kMarkRightX, static_cast<std::uint16_t>(y), kMarkRightFrame, 0, kMarkCaller);
}

void Simulation::codeMenuFrame(std::uint8_t pad) {
    GameState& s = state_;
    if (s.front_step == 7) {
        codeMenuSubgameFrame(pad);
        return;
    }
    beginFrame();
    switch (s.front_step) {
    case 0:
        moveMenuCursor(pad, kLastEntry);
        if (s.menu_cursor == s.menu_prev) {
            if (pad & 0x80) s.front_step = 5;
        } else {
            setSubRamWord(kMoveStep, 0);
            s.front_step = 1;
        }
        break;
    case 1:
        s.front_step = 2;
        break;
    case 2: {
        const std::int64_t t = subRamWord(kMoveStep);
        drawCodeMenuMarks(s.menu_prev, s.menu_cursor, t);
        if (t == 16)
            s.front_step = 3;
        else
            setSubRamWord(kMoveStep, t + 1);
        break;
    }
    case 3:
        // Departure: as in the language menu, the highlight's move stops one
        // step short of the line (a pixel per line moved) and is not drawn
        // again; we draw it at the line once it lands.
        drawCodeMenuMarks(s.menu_cursor, s.menu_cursor, 0);
        requestEffect(7);
        s.front_step = 4;
        break;
    case 4:
        s.front_step = 0;
        s.menu_prev = s.menu_cursor;
        break;
    case 5:
        // The last picture stays until START is let go.
        for (const SpriteCall& c : previousSprites_) addSprite(c.x, c.y, c.frame, c.attributes, c.caller);
        if ((pad & 0x80) == 0) s.front_step = 6;
        break;
    case 6:
        appendFrontFrame();
        startCodeMenuChoice();
        return;
    default:
        s.front_step = 0;
        break;
    }
    appendFrontFrame();
}

void Simulation::startCodeMenuChoice() {
    GameState& s = state_;
    fadeVBlanks_ += 10;
    if (s.menu_cursor == kLastEntry) {
        beginAttract();
        return;
    }
    s.mode = static_cast<std::int16_t>(rom_.wordAt(kModes + 2 * static_cast<std::uint32_t>(s.menu_cursor)));
    std::fill(s.flags.begin(), s.flags.end(), 0);
    applyGameStartValues();
    resetHero();
    s.damage = s.damage_show = s.energy_ramp = 0;
    s.x = 160 << 16;
    s.y = 152 << 16;
    s.lives = 0;
    s.front_step = 7;
    suspendMode_ = true;
    enterSubgame();
}

// A subgame frame; when the subgame is over the hero and the music come back
// and the menu opens again with the palette of the subgame just played.
void Simulation::codeMenuSubgameFrame(std::uint8_t pad) {
    GameState& s = state_;
    suspendMode_ = true;
    stepPad_ = pad;
    if (s.screen_kind != kNoScreen) {
        // A waiting screen that the subgame raised.
        screenFrame();
        if (screenEnds(pad)) {
            endScreen();
            subgameAfterScreen();
        }
        return;
    }
    std::string result;
    try {
        result = subgameFrame(s.mode, pad, tickNumber_);
    } catch (const Suspend&) {
    }
    s.w910c = subRamWord(0xFF910C);
    if (result.empty()) return;

    s.in_subgame = 0;
    s.sub_result = subRamWord(0xFF90FE);
    const std::int64_t mode = s.mode;
    if (mode <= 1 && s.sub_result == -1) requestMusic(s.push_music);
    restoreHeroFromPush();
    s.cram_line0 = mode + 1;
    if (mode <= 1) s.mode = 0;
    cancelPaletteFade();
    if (s.menu_cursor > 1) requestMusic(11);
    openCodeMenuScreen();
}

}  // namespace sim
