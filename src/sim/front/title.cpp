// The title: a fresh state for area 50's actors, the logo as a cloud of points
// on a turning cylinder, the secret sequence that opens the code menu, START
// (with the bonus combination) for the story, and the countdown to the
// attract pages.
#include <algorithm>

#include "sim/rom_view.h"
#include "sim/simulation.h"
#include "world/world.h"

namespace sim {

namespace {

// Words of the title's RAM.
constexpr std::uint32_t kPointCountLess1 = 0xFF83E0;
constexpr std::uint32_t kPointBytes = 0xFF83E2;  // 4 x the point count
constexpr std::uint32_t kTilt = 0xFF83E4;        // B
constexpr std::uint32_t kAngle = 0xFF83E6;       // C
constexpr std::uint32_t kSpin = 0xFF83E8;        // A
constexpr std::uint32_t kSpinSpeed = 0xFF83EA;
constexpr std::uint32_t kScale = 0xFF83EC;  // S
constexpr std::uint32_t kPhase = 0xFF83EE;
constexpr std::uint32_t kCountdown = 0xFF83F0;
constexpr std::uint32_t kCodePosition = 0xFF83F4;
constexpr std::size_t kBlinkRecord = 42;          // 6-byte animation record at FF840A
constexpr std::uint32_t kPoints = 0xFF846C;       // x, y, z words per point
constexpr std::uint32_t kScreenPoints = 0xFF882C; // sx + 280, sy + 236 per point
constexpr std::uint32_t kDepthSlots = 0xFF8AAC;   // 256 words, -1 when free
constexpr std::uint32_t kDepthSlotsEnd = 0xFF8CAC;
constexpr std::uint32_t kDepthZero = 0xFF8BAC;    // the slot of depth 0
constexpr std::uint32_t kDepthFrames = 0xFF8CAC;  // frame by depth + 123

// Cartridge tables.
constexpr std::uint32_t kSine = 0x014820;    // Q15, 256 steps per turn, by even byte offset
constexpr std::uint32_t kCosine = 0x0148A0;  // the same table a quarter turn on
constexpr std::uint32_t kTitleTable = 0x015822;  // 512 words of 128 + 127 sine
constexpr std::uint32_t kLogoBitmap = 0x015C22;  // 5 rows of 32 words, non-zero = a point
constexpr std::uint32_t kCodeSequence = 0x0151C0;

constexpr std::int64_t kCountdownStart = 632;

std::int16_t word16(std::int64_t v) { return static_cast<std::int16_t>(static_cast<std::uint16_t>(v)); }

// (a * b + c * d) >> 15 on the console's registers: 16 x 16 products, a 32-bit
// sum, the low word of the shifted result.
std::int16_t rotate(std::int64_t a, std::int64_t b, std::int64_t c, std::int64_t d) {
    const auto sum = static_cast<std::int32_t>(static_cast<std::uint32_t>(a * b + c * d));
    return word16(sum >> 15);
}

}  // namespace

void Simulation::showTitle() {
    // The title runs on a fresh state; only the player's choices and the
    // random generator carry over.
    GameState fresh;
    fresh.language = state_.language;
    fresh.refresh_hz = state_.refresh_hz;
    fresh.rng = state_.rng;
    fresh.tower_edge = std::move(state_.tower_edge);
    state_ = std::move(fresh);
    GameState& s = state_;
    s.front = 2;
    s.area = 50;
    s.camera_x = 0;

    // Area 50 has no map: it only holds the title's actors.
    const world::Area* area = world::findAreaAny(world_, 50);
    if (!area) stopWith("area 50's record (the title's actors) is missing from the world");
    areaCache_ = AreaCache{};
    areaCache_.area = area;
    areaCache_.collision = area->collision;
    areaCache_.columns = area->width;
    areaCache_.widthPixels = static_cast<std::int64_t>(area->width) * 32;
    areaCache_.originX = area->origin_x;
    areaCache_.minY = area->min_y;
    // The actors as loadArea copies them: at most 40 records of 58 bytes, a
    // shorter record completed with zeros, and FF after the last.
    const std::size_t count = std::min<std::size_t>(area->actors.size(), 40);
    for (std::size_t i = 0; i < count; ++i) {
        const auto& record = area->actors[i];
        const std::size_t n = std::min<std::size_t>(record.size(), 58);
        auto slot = s.actors.begin() + static_cast<std::ptrdiff_t>(58 * i);
        std::copy_n(record.begin(), n, slot);
        std::fill(slot + static_cast<std::ptrdiff_t>(n), slot + 58, 0);
    }
    if (count < 40) std::fill_n(s.actors.begin() + static_cast<std::ptrdiff_t>(58 * count), 4, 0xFF);

    setTitleWord(kTilt, 90);
    setTitleWord(kAngle, 0);
    setTitleWord(kSpin, 0);
    setTitleWord(kSpinSpeed, -4);
    setTitleWord(kScale, 0x8002);
    setUpTitleLogo();
    setTitleWord(kCountdown, kCountdownStart);
    setTitleWord(kCodePosition, 0);
    s.title_code = 0;
    pushFrontScreen(0, s.language, 2).frames.emplace_back();
}

// The logo's points: each set cell of the 5 x 32 bitmap is a point on a
// cylinder, its column giving the angle around and its row the height.
void Simulation::setUpTitleLogo() {
    auto table = [&](std::int64_t i) -> std::int64_t {
        return rom_.signedWordAt(kTitleTable + 2 * static_cast<std::uint32_t>(i & 511));
    };
    // (T * 160 - 20480) >> 8 in words, the product wrapping as the console's does.
    auto coordinate = [](std::int64_t t) -> std::int64_t {
        const std::int16_t product = word16(t * 160);
        return word16(product - 20480) >> 8;
    };
    std::int64_t count = 0;
    for (std::uint32_t r = 0; r < 5; ++r) {
        for (std::uint32_t j = 0; j < 32; ++j) {
            if (rom_.wordAt(kLogoBitmap + 64 * r + 2 * (31 - j)) == 0) continue;
            const auto at = kPoints + 6 * static_cast<std::uint32_t>(count);
            setTitleWord(at, coordinate(table(13 * j)));
            setTitleWord(at + 2, coordinate(table(128 + 13 * j)));
            setTitleWord(at + 4, -35 + 12 * static_cast<std::int64_t>(r));
            ++count;
        }
    }
    setTitleWord(kPointCountLess1, count - 1);
    setTitleWord(kPointBytes, 4 * count);
    // Depth to sprite frame: big dots in front, small ones behind.
    std::uint32_t at = kDepthFrames;
    for (const auto& [n, frame] : {std::pair{110, 4}, {20, 3}, {20, 2}, {274, 1}})
        for (int i = 0; i < n; ++i, at += 2) setTitleWord(at, frame);
}

// One turn of the logo: every point spun about the cylinder's axis, tilted,
// projected, sorted into depth slots and drawn from the front backwards.
void Simulation::titleLogo() {
    for (std::uint32_t at = kDepthSlots; at < kDepthSlotsEnd; at += 2) setTitleWord(at, -1);
    const std::int64_t spin = (titleWord(kSpin) + titleWord(kSpinSpeed)) & 0x1FE;
    setTitleWord(kSpin, spin);
    const std::int64_t phase = (titleWord(kPhase) + 8) & 0x3FE;
    setTitleWord(kPhase, phase);
    const std::int64_t wobble = rom_.signedWordAt(kTitleTable + static_cast<std::uint32_t>(phase));
    const std::int64_t tilt = word16(80 + 2 * (word16(3 * wobble) >> 4));
    setTitleWord(kTilt, tilt);
    const std::int64_t angle = titleWord(kAngle);
    const std::int64_t scale = titleWord(kScale);

    auto sine = [&](std::int64_t a) -> std::int64_t {
        return rom_.signedWordAt(kSine + static_cast<std::uint32_t>(a & 0x1FE));
    };
    auto cosine = [&](std::int64_t a) -> std::int64_t {
        return rom_.signedWordAt(kCosine + static_cast<std::uint32_t>(a & 0x1FE));
    };
    const std::int64_t sinA = sine(spin), cosA = cosine(spin);
    const std::int64_t sinB = sine(tilt), cosB = cosine(tilt);
    const std::int64_t sinC = sine(angle), cosC = cosine(angle);

    const std::int64_t count = titleWord(kPointCountLess1) + 1;
    for (std::int64_t i = 0; i < count; ++i) {
        const auto at = kPoints + 6 * static_cast<std::uint32_t>(i);
        const std::int64_t x = titleWord(at), y = titleWord(at + 2), z = titleWord(at + 4);
        const std::int64_t x1 = rotate(sinA, x, cosA, y);
        const std::int64_t y1 = rotate(cosA, x, -sinA, y);
        const std::int64_t z1 = rotate(sinB, x1, cosB, z);
        const std::int64_t d = rotate(cosC, z1, -sinC, y1);
        const std::int64_t u = rotate(sinC, z1, cosC, y1);
        const std::int64_t v = rotate(cosB, x1, -sinB, z);
        const std::int64_t den = word16(0x2000 - d);
        auto project = [&](std::int64_t w) -> std::int64_t {
            if (den == 0) return 0;
            const auto scaled = static_cast<std::int32_t>(static_cast<std::uint32_t>(w * scale)) >> 15;
            const auto shifted = static_cast<std::int32_t>(static_cast<std::uint32_t>(scaled) << 13);
            return word16(shifted / den);
        };
        const auto screenAt = kScreenPoints + 4 * static_cast<std::uint32_t>(i);
        setTitleWord(screenAt, project(u) + 280);
        setTitleWord(screenAt + 2, project(v) + 236);
        // The first free slot from the point's depth upwards.
        auto slot = static_cast<std::uint32_t>(static_cast<std::int64_t>(kDepthZero) + 2 * d);
        while (titleWord(slot) >= 0) slot += 2;
        setTitleWord(slot, 4 * i);
    }

    for (std::int64_t d = 88; d >= -48; --d) {
        const std::int64_t slot = titleWord(static_cast<std::uint32_t>(static_cast<std::int64_t>(kDepthZero) + 2 * d));
        if (slot < 0) continue;
        const auto screenAt = kScreenPoints + static_cast<std::uint32_t>(slot);
        const std::int64_t frame = titleWord(static_cast<std::uint32_t>(kDepthFrames + 2 * (d + 123)));
        addSprite(static_cast<std::uint16_t>(titleWord(screenAt)), static_cast<std::uint16_t>(titleWord(screenAt + 2)),
                  static_cast<std::uint16_t>(frame), d > 0 ? 16 : 0, 0x0153E4);
    }
}

void Simulation::titleFrame(std::uint8_t pad) {
    GameState& s = state_;
    beginFrame();
    titleLogo();
    static const std::vector<std::uint16_t> kBlink = {4, 0, 0, 1, 2, 3, 2, 1};
    const std::int64_t blink = stepProgramSequence(s.title_ram, kBlinkRecord, kBlink);
    addSprite(244, 334, static_cast<std::uint32_t>((blink + 5) & 0xFFFF), 16, 0x0154E2);
    actors();
    appendFrontFrame();

    if (pad != 0) {
        // The secret sequence: each key must be pressed alone and let go
        // before the next; a wrong key starts it over.
        if ((s.title_code & 0x100) == 0) {
            const std::int64_t n = titleWord(kCodePosition);
            if (pad == rom_.byteAt(kCodeSequence + static_cast<std::uint32_t>(n))) {
                s.title_code |= 0x100;
                setTitleWord(kCodePosition, n + 1);
                if (rom_.byteAt(kCodeSequence + static_cast<std::uint32_t>(n + 1)) == 0xFF) {
                    openCodeMenuScreen();
                    return;
                }
            } else {
                setTitleWord(kCodePosition, 0);
            }
        }
        if (pad & 0x80) {
            // START with B and LEFT held (and nothing else) gives an extra life.
            s.title_bonus = pad == 0x94 ? 1 : 0;
            fadeVBlanks_ += 10;
            beginStory();
            return;
        }
    } else {
        s.title_code &= ~std::int64_t{0x100};
    }

    const std::int64_t countdown = titleWord(kCountdown) - 1;
    setTitleWord(kCountdown, countdown);
    if (countdown == 0) beginAttract();
}

}  // namespace sim
