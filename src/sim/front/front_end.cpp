// The front end: the frame dispatch by phase, the story screen that starts a
// game, and the console RAM that the title and attract routines use. The
// language menu, the title, the attract pages, the code menu and the game over
// sign have files of their own.
#include <cstdio>

#include "sim/rom_view.h"
#include "sim/simulation.h"

namespace sim {

namespace {

// The block index of a word's first byte; the block's size for an address
// below it, so that the bounds check refuses both ends.
std::size_t titleOffset(std::uint32_t address, std::size_t blockSize) {
    return address >= Simulation::kTitleRamBase ? address - Simulation::kTitleRamBase : blockSize;
}

}  // namespace

// --- the title's RAM ---

std::int64_t Simulation::titleWord(std::uint32_t address) {
    const std::size_t i = titleOffset(address, state_.title_ram.size());
    if (i + 2 > state_.title_ram.size()) stopWith("the title's RAM past FF900F");
    return static_cast<std::int16_t>(state_.title_ram[i] << 8 | state_.title_ram[i + 1]);
}

void Simulation::setTitleWord(std::uint32_t address, std::int64_t value) {
    const std::size_t i = titleOffset(address, state_.title_ram.size());
    if (i + 2 > state_.title_ram.size()) stopWith("the title's RAM past FF900F");
    state_.title_ram[i] = static_cast<std::uint8_t>(value >> 8);
    state_.title_ram[i + 1] = static_cast<std::uint8_t>(value);
}

std::int64_t Simulation::titleLong(std::uint32_t address) {
    const std::uint32_t high = static_cast<std::uint16_t>(titleWord(address));
    const std::uint32_t low = static_cast<std::uint16_t>(titleWord(address + 2));
    return static_cast<std::int32_t>(high << 16 | low);
}

void Simulation::setTitleLong(std::uint32_t address, std::int64_t value) {
    setTitleWord(address, value >> 16);
    setTitleWord(address + 2, value);
}

// --- shared pieces ---

Screen& Simulation::pushFrontScreen(std::int64_t event, std::int64_t language, std::int64_t picture) {
    Screen screen;
    screen.event = event;
    screen.area = state_.area;
    screen.language = language;
    screen.picture = picture;
    // Every front-end screen carries the palette words; the story, attract and
    // code menu pages choose their colours by them.
    screen.cram_line0 = state_.cram_line0;
    screen.cram_line2 = state_.cram_line2;
    screens_.push_back(std::move(screen));
    return screens_.back();
}

// The sprites drawn since beginFrame() become the last screen's next frame.
void Simulation::appendFrontFrame() {
    if (!screens_.empty()) screens_.back().frames.push_back(frameSprites_);
}

// UP and DOWN move the highlighted entry by one per press: a direction acts
// once and again only after it has been let go.
void Simulation::moveMenuCursor(std::uint8_t pad, std::int64_t last) {
    GameState& s = state_;
    if (s.menu_latch == 1 && (pad & 0x01) == 0) s.menu_latch = 0;
    if (s.menu_latch == 2 && (pad & 0x02) == 0) s.menu_latch = 0;
    if (s.menu_latch == 1 || s.menu_latch == 2) return;
    if (pad & 0x01) {
        if (s.menu_cursor > 0) --s.menu_cursor;
        s.menu_latch = 1;
    } else if (pad & 0x02) {
        if (s.menu_cursor < last) ++s.menu_cursor;
        s.menu_latch = 2;
    }
}

// --- the frame ---

void Simulation::frontEndFrame(std::uint8_t pad) {
    switch (state_.front) {
    case 1: languageMenuFrame(pad); break;
    case 2: titleFrame(pad); break;
    case 3: storyFrame(pad); break;
    case 4: attractFrame(pad); break;
    case 5: codeMenuFrame(pad); break;
    default: {
        char text[64];
        std::snprintf(text, sizeof text, "a front-end phase %lld", static_cast<long long>(state_.front));
        stopWith(text);
    }
    }
}

// --- the story screen ---

void Simulation::beginStory() {
    GameState& s = state_;
    // The story's song is also the first area's: kept as `music`, it plays on
    // into the new game instead of starting over when the area's music check
    // finds another number there.
    requestMusic(13);
    s.front = 3;
    s.front_step = 0;
    pushFrontScreen(17, s.language, 3);
    fadeVBlanks_ += 10;
}

// The page reads no button for its first eleven frames, then any of B, C, A or
// START starts the game; after 1500 frames it starts by itself.
void Simulation::storyFrame(std::uint8_t pad) {
    GameState& s = state_;
    beginFrame();
    s.front_step += 1;
    appendFrontFrame();
    if ((s.front_step > 10 && pad >= 16) || s.front_step > 1500) {
        fadeVBlanks_ += 10;
        s.front = 0;
        newGame(s.title_bonus);
    }
}

// --- the code menu, opened by the host ---

bool Simulation::openCodeMenu() {
    GameState& s = state_;
    if (s.front == 0 || s.front == 5) return false;
    stopMessage_.clear();
    s.menu_cursor = 0;
    s.menu_prev = 0;
    try {
        openCodeMenuScreen();
    } catch (const Stop& e) {
        if (stopMessage_.empty()) stopMessage_ = e.what();
    } catch (const Suspend&) {
    }
    return stopMessage_.empty();
}

}  // namespace sim
