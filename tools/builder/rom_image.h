#pragma once
// The cartridge address space as the builder sees it: a sparse image of bytes by 68000 address.
// Every byte remembers the source line that placed it, so two sources that place different bytes
// at the same address are refused with both places named. Addresses stop below 0x080000, the end
// of the cartridge image the program keeps.

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace builder {

inline constexpr std::uint32_t kRomEnd = 0x080000;

struct RomSection {
  std::string name;    // a named table ("brumo_sequences"), or empty for a raw rule range
  std::string reader;  // informational: the routines that read it
  std::uint32_t address = 0;
  std::vector<std::uint8_t> bytes;
};

class RomImage {
 public:
  // Places bytes from address on. `where` ("file:line") is kept for conflict messages. Throws a
  // SourceError when a byte falls at or past kRomEnd or disagrees with a byte already placed.
  void put(std::uint32_t address, const std::vector<std::uint8_t>& bytes, const std::string& where);
  // Marks a range as built by the program itself from the world file; rom sources may not use it.
  void reserve(std::uint32_t address, std::uint32_t size, const std::string& what);

  void addSection(RomSection section) { sections_.push_back(std::move(section)); }
  const std::vector<RomSection>& sections() const { return sections_; }

 private:
  struct Cell {
    std::uint8_t value;
    std::string where;  // "file:line", or what a reserved range is kept for
    bool reserved;      // built by the program itself: no source may place bytes here
  };
  std::map<std::uint32_t, Cell> bytes_;
  std::vector<RomSection> sections_;
};

// Reads one rom source (see data/README.md for the form) into the image, resolving labels
// across the file. Sections are added in the order the file gives them.
void assembleRomSource(const std::filesystem::path& file, RomImage& image);

}  // namespace builder
