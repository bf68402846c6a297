// The attract pages over the title picture: each page slides in from one side,
// rests, slides on out while it fades, and the next one follows from the other
// side. Any button goes to the story; after the last page the title returns.
#include "sim/rom_view.h"
#include "sim/simulation.h"

namespace sim {

namespace {

constexpr std::uint32_t kSpeed = 0xFF83F8;     // v, 16.16
constexpr std::uint32_t kPosition = 0xFF83FC;  // p, 16.16
constexpr std::uint32_t kShown = 0xFF8400;     // p's integer part at the frame's start
constexpr std::uint32_t kRest = 0xFF8404;      // frames at rest, from 0 or -300
constexpr std::uint32_t kPage = 0xFF8406;      // k, the pages begun

constexpr std::int64_t kOne = 0x10000;
constexpr std::int64_t kTopSpeed = 0x3F000;  // sliding out at this speed starts the fade

std::int64_t integerPart(std::int64_t fixed) { return static_cast<std::int32_t>(fixed) >> 16; }

}  // namespace

void Simulation::beginAttract() {
    GameState& s = state_;
    fadeVBlanks_ += 20;
    s.front = 4;
    s.fade_delta = s.fade_shown = s.fade_level = 0;
    setTitleWord(kPage, 0);
    beginAttractPicture();
}

void Simulation::beginAttractPicture() {
    GameState& s = state_;
    const std::int64_t k = titleWord(kPage);
    const std::int64_t event = k >= 8 ? 22 : 22 + k;
    // The eighth page is the same in every language.
    Screen& screen = pushFrontScreen(event, k < 7 ? s.language : 0, 4);
    beginFrame();
    // The page's sprites still stand where the last page left off.
    drawAttractSprites(event, integerPart(titleLong(kPosition)));
    screen.frames.push_back(frameSprites_);
    screen.values_b.push_back(0);
    screen.values_c.push_back(s.fade_shown);
    s.att_side = s.att_side != 0 ? 0 : 1;
    if (s.att_side != 0) {
        setTitleLong(kPosition, 193 * kOne);
        setTitleLong(kSpeed, -5 * kOne);
    } else {
        setTitleLong(kPosition, -193 * kOne);
        setTitleLong(kSpeed, 5 * kOne);
    }
    s.fade_delta = 1;
    s.att_fade = 0;
    s.att_out = 0;
    setTitleWord(kRest, k == 7 ? -300 : 0);
    setTitleWord(kPage, k + 1);
}

// The sprites of the page's event record, moved across by the slide offset.
void Simulation::drawAttractSprites(std::int64_t event, std::int64_t offset) {
    const std::uint32_t record = rom_.longAt(0x03E470 + 4 * static_cast<std::uint32_t>(event));
    const std::int64_t c = firstBankFrames(rom_.longAt(record + 4));
    for (std::uint32_t at = record + 10; at < record + 512; at += 6) {
        if (rom_.wordAt(at) == 0xFFFF) break;
        const std::int64_t x = rom_.signedWordAt(at), y = rom_.signedWordAt(at + 2);
        const std::int64_t frame = rom_.signedWordAt(at + 4);
        addSprite(static_cast<std::uint16_t>(offset + x), static_cast<std::uint16_t>(y + 16),
                  static_cast<std::uint16_t>(c + frame), 0, 0x0157E8);
    }
}

void Simulation::attractFrame(std::uint8_t pad) {
    GameState& s = state_;
    if (s.fade_delta != 0) s.fade_shown = s.fade_level;
    beginFrame();
    std::int64_t p = titleLong(kPosition), v = titleLong(kSpeed);
    const std::int64_t shown = integerPart(p);
    setTitleWord(kShown, shown);
    const bool fromRight = s.att_side != 0;
    if (s.att_out != 0) {
        // Sliding out, faster and faster; the fade starts at a set speed.
        if (v == (fromRight ? -kTopSpeed : kTopSpeed)) {
            s.fade_delta = -1;
            s.att_fade = 1;
        }
        v += fromRight ? -0x1000 : 0x1000;
        p += v;
    } else if (p == 0) {
        const std::int64_t rest = titleWord(kRest) + 1;
        setTitleWord(kRest, rest);
        if (rest > 100) s.att_out = 1;
    } else if (fromRight) {
        // Sliding in, slower and slower, until it stops at 0.
        v += 0x1000;
        if (p + v >= kOne)
            p += v;
        else
            p = 0;
    } else {
        v -= 0x1000;
        p += v;
        if (p >= 0) p = 0;
    }
    setTitleLong(kPosition, p);
    setTitleLong(kSpeed, v);
    p = titleLong(kPosition);

    const std::int64_t page = titleWord(kPage) - 1;  // the page on show
    drawAttractSprites(page >= 8 || page < 0 ? 22 : 22 + page, integerPart(p));
    if (!screens_.empty()) {
        Screen& screen = screens_.back();
        screen.frames.push_back(frameSprites_);
        screen.values_b.push_back(shown);
        screen.values_c.push_back(s.fade_shown);
    }

    if (s.fade_delta != 0) {
        s.fade_level += s.fade_delta;
        if (s.fade_level < 0) {
            s.fade_level = 0;
            s.fade_delta = 0;
        } else if (s.fade_level > 16) {
            s.fade_level = 16;
            s.fade_delta = 0;
        }
    }
    if (s.att_fade != 0 && s.fade_delta == 0) beginAttractPicture();

    if (titleWord(kPage) > 8 || pad != 0) {
        fadeVBlanks_ += 10;
        if (titleWord(kPage) > 8) {
            showTitle();
        } else {
            s.title_bonus = pad == 0x94 ? 1 : 0;
            beginStory();
        }
    }
}

}  // namespace sim
