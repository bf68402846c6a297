// The hero's energy: damage, the drowning drain, gradual drains and heals,
// and the status panel with its energy bar.
#include <vector>

#include "sim/core/big_endian.h"
#include "sim/hero/hero_motion.h"

namespace sim {

namespace {

constexpr std::int64_t kFull = 64;           // integer part of a full (deadly) damage
constexpr std::int64_t kShowFrames = 240;    // the bar stays up this long after a change
constexpr std::int64_t kDrownDrain = 0x2000;
constexpr std::int64_t kFlashFrom = 47;      // from here on the bar's segments flash
constexpr std::uint32_t kEffectHurt = 4;

// The flashing segment of a nearly full bar: delay, loop index, seven frames.
const std::vector<std::uint16_t> kPanelFlash = {3, 0, 75, 75, 76, 76, 74, 74, 76, 0xFFFF};

// Drawing routines of the panel, for the sprite dumps.
constexpr std::uint32_t kCallerPanelMarks = 0x003000;
constexpr std::uint32_t kCallerTransit = 0x003018;
constexpr std::uint32_t kCallerCarried = 0x003030;
constexpr std::uint32_t kCallerBarEnd = 0x003050;
constexpr std::uint32_t kCallerBarStart = 0x003060;
constexpr std::uint32_t kCallerSegments = 0x003076;
constexpr std::uint32_t kCallerFrame = 0x003090;

std::int64_t damageWithInt(std::int64_t damage, std::int64_t integer) {
    return hero::wrap32(static_cast<std::int64_t>(static_cast<std::uint64_t>(integer) << 16) | (damage & 0xFFFF));
}

// The object's slot word: the sprite frame its graphics were loaded into.
std::int64_t objectSlot(const GameState& s, std::int64_t object) {
    return wordOf(s.objects, static_cast<std::size_t>(object) * 8 + 5);
}

// The objects sliding into the panel and the carried row shifting down.
void panelSlides(GameState& s) {
    auto& t = s.inv_timers;
    auto& inv = s.inventory;
    for (int pass = 0; pass < 2; ++pass) {
        if (wordOf(t, 1) != 0) {
            setWord(t, 1, wordOf(t, 1) - 1);
            if (wordOf(t, 1) == 0) {
                if (wordOf(t, 2) == 0) {
                    std::size_t i = 2;
                    while (i <= 4 && wordOf(inv, i) < 0) ++i;
                    setWord(inv, i - 1, wordOf(inv, 1));
                    setWord(inv, 1, -1);
                }
                setWord(t, 4, 0);
            } else {
                setWord(t, 0, wordOf(t, 0) + 1);
            }
        }
    }
    for (int pass = 0; pass < 2; ++pass) {
        if (wordOf(t, 2) != 0) {
            setWord(t, 2, wordOf(t, 2) - 1);
            if (wordOf(t, 2) == 0) {
                setWord(inv, 4, wordOf(inv, 3));
                setWord(inv, 3, wordOf(inv, 2));
                setWord(inv, 2, wordOf(inv, 1));
                setWord(inv, 1, -1);
                setWord(t, 3, 0);
            } else {
                setWord(t, 3, wordOf(t, 3) + 1);
            }
        }
    }
}

}  // namespace

void Simulation::addDamage(std::int64_t amount, bool ignoredWhileDying) {
    GameState& s = state_;
    if (ignoredWhileDying && s.dying != 0) return;
    if ((cheats_ & kCheatNoDamage) != 0 && amount > 0) return;
    const std::int64_t before = hero::intPart(s.damage);
    const std::int64_t result = hero::wrap32(s.damage + amount);
    if (result < (kFull << 16)) {
        requestEffect(kEffectHurt);
        s.damage = result;
    } else {
        s.damage = damageWithInt(result, kFull);
    }
    if (hero::intPart(s.damage) != before) s.damage_show = kShowFrames;
}

void Simulation::waterAndEnergy() {
    GameState& s = state_;
    const bool noDamage = (cheats_ & kCheatNoDamage) != 0;
    const bool breathing = s.item_flags.size() > 0 && s.item_flags[0] != 0;  // object 20
    if (s.variant_ad != 0 && !breathing) {
        if (s.grace > 0) {
            s.grace -= 1;
        } else {
            s.expression = 2;
            if (s.dying == 0 && !noDamage) {
                const std::int64_t before = hero::intPart(s.damage);
                s.damage = hero::wrap32(s.damage + kDrownDrain);
                if (hero::intPart(s.damage) > kFull - 1) {
                    s.damage = damageWithInt(s.damage, kFull);
                } else {
                    requestEffect(kEffectHurt);
                }
                if (hero::intPart(s.damage) != before) s.damage_show = kShowFrames;
            }
        }
    } else if (s.variant_ad == 0 && s.grace < 280) {
        s.grace = 100;
    }

    // A gradual change: bit 15 drains, otherwise heals, one point a frame
    // for as many frames as the low bits count.
    const std::int64_t frames = s.energy_ramp & 0x7FFF;
    if (frames == 0) return;
    s.energy_ramp = (s.energy_ramp & 0x8000) | (frames - 1);
    const std::int64_t d = hero::intPart(s.damage);
    if ((s.energy_ramp & 0x8000) != 0) {
        if (noDamage) return;
        const std::int64_t grown = d + 1 > kFull ? kFull : d + 1;
        s.damage = damageWithInt(s.damage, grown);
        if (grown < kFull) requestEffect(kEffectHurt);
    } else if (d == 0) {
        s.damage = 0;
    } else {
        s.damage = damageWithInt(s.damage, d - 1);
    }
}

void Simulation::energyBar(bool alwaysShown) {
    GameState& s = state_;
    // The event and inventory screens show the bar all the time.
    if (s.screen_kind == kEventScreen || s.screen_kind == kInventoryScreen) alwaysShown = true;
    const bool shown = alwaysShown || s.damage_show != 0;
    if (!shown) {
        addSprite(261, 328, 72, 0, kCallerPanelMarks);
        addSprite(301, 328, 72, 0, kCallerPanelMarks);
        const std::int64_t transit = wordOf(s.inventory, 1);
        if (transit >= 0)
            addSprite(static_cast<std::uint32_t>(wordOf(s.inv_timers, 0) & 0xFFFF), 328,
                      static_cast<std::uint32_t>(objectSlot(s, transit) & 0xFFFF), 0, kCallerTransit);
        const std::int64_t shift = wordOf(s.inv_timers, 3);
        for (std::size_t k = 0; k < 3; ++k) {
            const std::int64_t object = wordOf(s.inventory, 2 + k);
            if (object < 0) continue;
            addSprite(static_cast<std::uint32_t>((shift + 240 + 40 * static_cast<std::int64_t>(k)) & 0xFFFF), 328,
                      static_cast<std::uint32_t>(objectSlot(s, object) & 0xFFFF), 0, kCallerCarried);
        }
        for (std::uint32_t k = 0; k < 4; ++k) addSprite(232 + 32 * k, 320, 51, 0, kCallerFrame);
    }
    panelSlides(s);
    if (!shown) return;

    addSprite(243, 329, 73, 16, kCallerBarEnd);
    addSprite(248, 338, 77, 16, kCallerBarStart);
    const std::int64_t d = hero::intPart(s.damage);
    if (d >= 1) {
        const auto frame = static_cast<std::uint32_t>((d >= kFlashFrom ? wordOf(s.panel_anim, 0) : 75) & 0xFFFF);
        const std::int64_t part = d & 7;
        const std::int64_t first = part != 0 ? (part | 0xF8) : 256;
        const std::int64_t last = (d - (part == 0 ? 1 : 0)) / 8;
        for (std::int64_t i = 0; i <= last; ++i)
            addSprite(static_cast<std::uint32_t>((first + 8 * i) & 0xFFFF), 338, frame, 16, kCallerSegments);
    }
    for (std::uint32_t k = 0; k < 4; ++k) addSprite(232 + 32 * k, 320, 51, 0, kCallerFrame);
    if (!alwaysShown) s.damage_show -= 1;
    stepProgramSequence(s.panel_anim, 0, kPanelFlash);
}

}  // namespace sim
