// Animation records: 6-byte records of frame, timer and index words
// (big-endian, signed) stepped through a sequence: delay word, loop index
// word, frame words, FFFF. Each frame shows for delay + 1 steps.
#include "sim/rom_view.h"
#include "sim/simulation.h"

namespace sim {

namespace {

std::int64_t readWord(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::int16_t>(b[at] << 8 | b[at + 1]);
}

void writeWord(std::vector<std::uint8_t>& b, std::size_t at, std::int64_t v) {
    b[at] = static_cast<std::uint8_t>(v >> 8);
    b[at + 1] = static_cast<std::uint8_t>(v);
}

}  // namespace

std::int64_t Simulation::stepAnimation(std::vector<std::uint8_t>& block, std::size_t offset, std::uint32_t seq) {
    const std::int64_t t = readWord(block, offset + 2);
    writeWord(block, offset + 2, t - 1);
    if (t > 0) return readWord(block, offset);
    writeWord(block, offset + 2, rom_.wordAt(seq));
    std::int64_t index = static_cast<std::int16_t>(readWord(block, offset + 4) + 1);
    std::uint16_t frame = rom_.wordAt(seq + 4 + 2 * static_cast<std::uint32_t>(index));
    if (frame == 0xFFFF) {
        index = rom_.signedWordAt(seq + 2);
        frame = rom_.wordAt(seq + 4 + 2 * static_cast<std::uint32_t>(index));
        if (frame == 0xFFFF) stopWith("$009BC4 never ends: a sequence restarts on FFFFh");
    }
    writeWord(block, offset + 4, index);
    writeWord(block, offset, frame);
    return static_cast<std::int16_t>(frame);
}

std::int64_t Simulation::stepProgramSequence(std::vector<std::uint8_t>& block, std::size_t offset,
                                             const std::vector<std::uint16_t>& sequence) {
    const std::int64_t t = readWord(block, offset + 2);
    writeWord(block, offset + 2, t - 1);
    if (t > 0) return readWord(block, offset);
    const auto at = [&](std::int64_t i) -> std::uint16_t {
        return i >= 0 && static_cast<std::size_t>(i) < sequence.size() ? sequence[i] : 0xFFFF;
    };
    writeWord(block, offset + 2, at(0));
    std::int64_t index = static_cast<std::int16_t>(readWord(block, offset + 4) + 1);
    std::uint16_t frame = at(2 + index);
    if (frame == 0xFFFF) {
        index = static_cast<std::int16_t>(at(1));
        frame = at(2 + index);
        if (frame == 0xFFFF) stopWith("$009BC4 never ends: a sequence restarts on FFFFh");
    }
    writeWord(block, offset + 4, index);
    writeWord(block, offset, frame);
    return static_cast<std::int16_t>(frame);
}

}  // namespace sim
