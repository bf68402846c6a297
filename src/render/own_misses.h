#pragma once
// The renderers' own reads of the cartridge tables: a scope that keeps them apart from the game logic's.

#include <cstdint>

#include "sim/rom_view.h"

namespace render {

// The renderer's own reads of the cartridge tables must not leave a miss behind for the game logic, nor
// hide one the logic recorded before: a miss pending on entry is cleared for the reads in between and
// recorded again on the way out. A miss of the reads in between shows in missed() and is forgotten on
// the way out; the renderer reports it itself.
class OwnMisses {
 public:
  explicit OwnMisses(const sim::RomView& rom)
      : rom_(rom), hadMiss_(rom.hasMissed()), earlierMiss_(rom.missingAddress()) {
    rom_.clearMissingAddress();
  }
  ~OwnMisses() {
    rom_.clearMissingAddress();
    if (hadMiss_) static_cast<void>(rom_.byteAt(earlierMiss_));
  }
  OwnMisses(const OwnMisses&) = delete;
  OwnMisses& operator=(const OwnMisses&) = delete;

  bool missed() const { return rom_.hasMissed(); }

 private:
  const sim::RomView& rom_;
  bool hadMiss_;
  std::uint32_t earlierMiss_;
};

}  // namespace render
