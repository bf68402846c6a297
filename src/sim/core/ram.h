#pragma once
// Windows of console RAM kept as byte blocks of the state, addressed as the console code addresses them.
// Words are big-endian and read as signed 16-bit values.

#include <cstdint>

#include "sim/core/context.h"

namespace sim {

// Console RAM FF90BA..FF9E6B, kept in sub_ram: the subgames' and the menus' RAM. An address outside it
// reads 0 and writes nothing.
inline constexpr std::uint32_t kSubRamBase = 0xFF90BA;
inline constexpr std::uint32_t kSubRamEnd = 0xFF9E6B;
std::int64_t subRamWord(const Context& c, std::uint32_t address);
std::uint8_t subRamByte(const Context& c, std::uint32_t address);
void setSubRamWord(Context& c, std::uint32_t address, std::int64_t value);
void setSubRamByte(Context& c, std::uint32_t address, std::uint8_t value);

// Words of sub_ram that the step itself reads.
inline constexpr std::uint32_t kSubResult = 0xFF90FE;      // the subgame's result (signed)
inline constexpr std::uint32_t kSubPauseGuard = 0xFF9103;  // byte: 0 lets the pause check run after a screen
inline constexpr std::uint32_t kSubWord910C = 0xFF910C;    // copied to w910c after each subgame frame

// Console RAM FF83E0..FF900F, kept in title_ram: the title's and the attract pages' RAM. An address
// outside it stops the game.
inline constexpr std::uint32_t kTitleRamBase = 0xFF83E0;
inline constexpr std::uint32_t kTitleRamEnd = 0xFF900F;
std::int64_t titleWord(Context& c, std::uint32_t address);
void setTitleWord(Context& c, std::uint32_t address, std::int64_t value);
std::int64_t titleLong(Context& c, std::uint32_t address);  // signed 32-bit
void setTitleLong(Context& c, std::uint32_t address, std::int64_t value);

}  // namespace sim
