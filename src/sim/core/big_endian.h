#pragma once
// Big-endian values inside the state's byte blocks, as the console keeps them in its RAM: words at a byte
// offset, read as signed 16-bit values, and 32-bit longs. A value that does not fit inside the block
// reads 0 and writes nothing.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace sim::be {

inline std::int64_t word(const std::vector<std::uint8_t>& b, std::size_t at) {
  if (at + 1 >= b.size()) return 0;
  return static_cast<std::int16_t>(b[at] << 8 | b[at + 1]);
}

inline void setWord(std::vector<std::uint8_t>& b, std::size_t at, std::int64_t v) {
  if (at + 1 >= b.size()) return;
  b[at] = static_cast<std::uint8_t>(v >> 8);
  b[at + 1] = static_cast<std::uint8_t>(v);
}

inline std::uint32_t longWord(const std::vector<std::uint8_t>& b, std::size_t at) {
  if (at + 3 >= b.size()) return 0;
  return static_cast<std::uint32_t>(b[at]) << 24 | static_cast<std::uint32_t>(b[at + 1]) << 16 |
         static_cast<std::uint32_t>(b[at + 2]) << 8 | b[at + 3];
}

inline void setLongWord(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
  if (at + 3 >= b.size()) return;
  b[at] = static_cast<std::uint8_t>(v >> 24);
  b[at + 1] = static_cast<std::uint8_t>(v >> 16);
  b[at + 2] = static_cast<std::uint8_t>(v >> 8);
  b[at + 3] = static_cast<std::uint8_t>(v);
}

}  // namespace sim::be
