#pragma once
// Game states kept by the thousand: each as the 64-bit words in which it differs from one base state, packed
// into a shared arena. A search keeps hundreds of thousands of states this way at a few hundred bytes each,
// where whole copies would take some 14 KB.

#include <cstdint>
#include <vector>

#include "sim/game_state.h"

namespace app::pilot {

class CompactStates {
 public:
  explicit CompactStates(const sim::GameState& base);

  // Stores a state; returns its handle.
  std::uint32_t add(const sim::GameState& state);
  // Writes a stored state into `out` (which keeps its blocks' storage).
  void get(std::uint32_t handle, sim::GameState& out);
  std::size_t size() const { return offsets_.size(); }
  std::size_t bytes() const { return arena_.size() * sizeof(Entry); }

  // A digest of the whole state (the route cache's key).
  static std::uint64_t digest(const sim::GameState& state);

 private:
  struct Entry {
    std::uint32_t index;
    std::uint32_t pad;
    std::uint64_t value;
  };
  void flatten(const sim::GameState& state, std::vector<std::uint64_t>& out) const;
  void unflatten(const std::vector<std::uint64_t>& flat, sim::GameState& out) const;

  std::vector<std::uint64_t> base_;
  std::vector<std::uint64_t> scratch_;
  std::vector<std::size_t> blockWords_;  // where each block starts among the words
  std::vector<std::size_t> sizes_;       // each block's size in bytes
  std::vector<Entry> arena_;
  std::vector<std::uint64_t> offsets_;  // each state's first entry; the next state's offset ends it
};

}  // namespace app::pilot
