// The console RAM windows of the state.
#include "sim/core/ram.h"

#include "sim/core/big_endian.h"

namespace sim {

namespace {

// The block index of a word's first byte; the block's size for an address
// below it, so that the bounds check refuses both ends.
std::size_t titleOffset(std::uint32_t address, std::size_t blockSize) {
  return address >= kTitleRamBase ? address - kTitleRamBase : blockSize;
}

}  // namespace

std::int64_t subRamWord(const Context& c, std::uint32_t address) {
  const std::size_t i = address - kSubRamBase;
  if (address < kSubRamBase || i + 1 >= c.state.sub_ram.size()) return 0;
  return be::word(c.state.sub_ram, i);
}

std::uint8_t subRamByte(const Context& c, std::uint32_t address) {
  const std::size_t i = address - kSubRamBase;
  if (address < kSubRamBase || i >= c.state.sub_ram.size()) return 0;
  return c.state.sub_ram[i];
}

void setSubRamWord(Context& c, std::uint32_t address, std::int64_t value) {
  const std::size_t i = address - kSubRamBase;
  if (address < kSubRamBase || i + 1 >= c.state.sub_ram.size()) return;
  be::setWord(c.state.sub_ram, i, value);
}

void setSubRamByte(Context& c, std::uint32_t address, std::uint8_t value) {
  const std::size_t i = address - kSubRamBase;
  if (address < kSubRamBase || i >= c.state.sub_ram.size()) return;
  c.state.sub_ram[i] = value;
}

std::int64_t titleWord(Context& c, std::uint32_t address) {
  const std::size_t i = titleOffset(address, c.state.title_ram.size());
  if (i + 2 > c.state.title_ram.size()) stopWith(c, "the title's RAM past FF900F");
  return be::word(c.state.title_ram, i);
}

void setTitleWord(Context& c, std::uint32_t address, std::int64_t value) {
  const std::size_t i = titleOffset(address, c.state.title_ram.size());
  if (i + 2 > c.state.title_ram.size()) stopWith(c, "the title's RAM past FF900F");
  be::setWord(c.state.title_ram, i, value);
}

std::int64_t titleLong(Context& c, std::uint32_t address) {
  const std::uint32_t high = static_cast<std::uint16_t>(titleWord(c, address));
  const std::uint32_t low = static_cast<std::uint16_t>(titleWord(c, address + 2));
  return static_cast<std::int32_t>(high << 16 | low);
}

void setTitleLong(Context& c, std::uint32_t address, std::int64_t value) {
  setTitleWord(c, address, value >> 16);
  setTitleWord(c, address + 2, value);
}

}  // namespace sim
