#pragma once
// Read-only view of the cartridge's exported tables by 68000 address: a 512 KB image with a presence bit
// per byte, filled while loading from rule_tables.json, tables.json and the tables built from the world,
// plus the subgames' named binary blocks. A read of a byte that was never exported returns 0 and records
// the address, which the simulation turns into a stop after the step.

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace world {
struct World;
}

namespace sim {

class RomView {
 public:
  static constexpr std::uint32_t kSize = 0x80000;

  RomView() : image_(kSize, 0), present_(kSize / 32, 0) {}

  // Copies bytes to the image from address a on and marks them present; bytes below 0 or at or beyond
  // the end of the image are dropped. A later put over the same addresses replaces the earlier bytes.
  void put(std::int64_t a, std::span<const std::uint8_t> bytes) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
      std::int64_t at = a + static_cast<std::int64_t>(i);
      if (at < 0) continue;
      if (at >= kSize) break;
      image_[static_cast<std::size_t>(at)] = bytes[i];
      present_[static_cast<std::size_t>(at >> 5)] |= 1u << (at & 31);
    }
  }

  bool isPresent(std::uint32_t a) const { return a < kSize && (present_[a >> 5] >> (a & 31) & 1); }

  // A byte that was never exported reads 0 and records its address (the first one since the last clear).
  std::uint8_t byteAt(std::uint32_t a) const {
    if (a < kSize && (present_[a >> 5] >> (a & 31) & 1)) return image_[a];
    if (!missed_) {
      missed_ = true;
      missing_ = a;
    }
    return 0;
  }
  std::uint16_t wordAt(std::uint32_t a) const { return static_cast<std::uint16_t>(byteAt(a) << 8 | byteAt(a + 1)); }
  std::int16_t signedWordAt(std::uint32_t a) const { return static_cast<std::int16_t>(wordAt(a)); }
  std::uint32_t longAt(std::uint32_t a) const { return static_cast<std::uint32_t>(wordAt(a)) << 16 | wordAt(a + 2); }

  // The first address read without its bytes since the last clear, 0 when none. A miss at address 0
  // also reads 0 here; hasMissed() tells it apart.
  std::uint32_t missingAddress() const { return missing_; }
  bool hasMissed() const { return missed_; }
  // Forgets the recorded miss once it has been reported, so that one gap in the data stops one step
  // and not every step after it.
  void clearMissingAddress() const {
    missing_ = 0;
    missed_ = false;
  }

  // The subgames' named blocks; nullptr when the block was not in the data set.
  const std::vector<std::uint8_t>* block(const std::string& name) const {
    auto it = blocks_.find(name);
    return it == blocks_.end() ? nullptr : &it->second;
  }
  void setBlock(const std::string& name, std::vector<std::uint8_t> bytes) { blocks_[name] = std::move(bytes); }

  // The patterns of an area's sheet in the console's form: 32 bytes per 8 x 8 pattern, two pixels per
  // byte, the left pixel in the high nibble. Read on first use and cached; nothing (logged by the sheet
  // reader) when the area has no sheet or the sheet does not read.
  const std::vector<std::uint8_t>* areaSheet(int area) const;

  // Whether all three source files were read.
  bool loaded() const { return loaded_; }

  const std::filesystem::path& dataDir() const { return dataDir_; }

  struct SheetName {
    std::string name;
    int count = 0;
  };

 private:
  friend RomView loadRomView(const std::filesystem::path& dataDir, const world::World& world);

  std::vector<std::uint8_t> image_;
  std::vector<std::uint32_t> present_;
  std::map<std::string, std::vector<std::uint8_t>> blocks_;
  std::filesystem::path dataDir_;
  std::map<int, SheetName> sheetNames_;
  mutable std::map<int, std::vector<std::uint8_t>> sheetCache_;
  mutable std::uint32_t missing_ = 0;
  mutable bool missed_ = false;
  bool loaded_ = false;
};

// Builds the view from the data directory: the six subgame blocks, rule_tables.json, tables.json and the
// tables built from world/world.json (door locks, doors, edges, objects, lifts), in that order so that
// later bytes replace earlier ones. Always returns a view; loaded() is false (and one line logged) when a
// source file was missing, unreadable or malformed.
RomView loadRomView(const std::filesystem::path& dataDir, const world::World& world);

}  // namespace sim
