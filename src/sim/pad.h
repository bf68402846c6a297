#pragma once
// The pad byte: the console controller as the game reads it, one byte per tick, 1 = pressed.

#include <cstdint>

namespace sim {

inline constexpr std::uint8_t kPadUp = 0x01;
inline constexpr std::uint8_t kPadDown = 0x02;
inline constexpr std::uint8_t kPadLeft = 0x04;
inline constexpr std::uint8_t kPadRight = 0x08;
inline constexpr std::uint8_t kPadB = 0x10;
inline constexpr std::uint8_t kPadC = 0x20;
inline constexpr std::uint8_t kPadA = 0x40;
inline constexpr std::uint8_t kPadStart = 0x80;

// START with B and LEFT held (and nothing else) at the title: the story starts with an extra life.
inline constexpr std::uint8_t kPadBonusLife = kPadStart | kPadB | kPadLeft;

// Any of B, C and A.
inline constexpr std::uint8_t kPadButtons = kPadB | kPadC | kPadA;

}  // namespace sim
