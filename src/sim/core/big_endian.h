#pragma once
// The game state's byte blocks hold the console's big-endian words: word i of a block, read as a signed
// 16-bit value, and written back. An index past the block reads 0 and writes nothing.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace sim {

inline std::int64_t wordOf(const std::vector<std::uint8_t>& b, std::size_t i) {
    if (2 * i + 1 >= b.size()) return 0;
    return static_cast<std::int16_t>(b[2 * i] << 8 | b[2 * i + 1]);
}

inline void setWord(std::vector<std::uint8_t>& b, std::size_t i, std::int64_t v) {
    if (2 * i + 1 >= b.size()) return;
    b[2 * i] = static_cast<std::uint8_t>(v >> 8);
    b[2 * i + 1] = static_cast<std::uint8_t>(v);
}

}  // namespace sim
