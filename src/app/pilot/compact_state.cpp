#include "app/pilot/compact_state.h"

#include <cstring>

namespace app::pilot {

CompactStates::CompactStates(const sim::GameState& base) {
  std::size_t at = sim::kScalarFieldCount;
  for (std::size_t b = 0; b < sim::kBlockFieldCount; ++b) {
    blockWords_.push_back(at);
    sizes_.push_back(base.block(b).size());
    at += (base.block(b).size() + 7) / 8;
  }
  blockWords_.push_back(at);
  flatten(base, base_);
}

void CompactStates::flatten(const sim::GameState& state, std::vector<std::uint64_t>& out) const {
  out.assign(blockWords_.back(), 0);
  for (std::size_t i = 0; i < sim::kScalarFieldCount; ++i) out[i] = static_cast<std::uint64_t>(state.scalar(i));
  for (std::size_t b = 0; b < sim::kBlockFieldCount; ++b) {
    const std::vector<std::uint8_t>& block = state.block(b);
    std::memcpy(&out[blockWords_[b]], block.data(), block.size() < sizes_[b] ? block.size() : sizes_[b]);
  }
}

void CompactStates::unflatten(const std::vector<std::uint64_t>& flat, sim::GameState& out) const {
  for (std::size_t i = 0; i < sim::kScalarFieldCount; ++i) out.scalar(i) = static_cast<std::int64_t>(flat[i]);
  for (std::size_t b = 0; b < sim::kBlockFieldCount; ++b) {
    // Blocks have fixed sizes: the base state's.
    std::vector<std::uint8_t>& block = out.block(b);
    block.resize(sizes_[b]);
    std::memcpy(block.data(), &flat[blockWords_[b]], sizes_[b]);
  }
}

std::uint32_t CompactStates::add(const sim::GameState& state) {
  flatten(state, scratch_);
  offsets_.push_back(arena_.size());
  for (std::size_t i = 0; i < scratch_.size(); ++i)
    if (scratch_[i] != base_[i]) arena_.push_back({static_cast<std::uint32_t>(i), 0, scratch_[i]});
  return static_cast<std::uint32_t>(offsets_.size() - 1);
}

void CompactStates::get(std::uint32_t handle, sim::GameState& out) {
  scratch_ = base_;
  const std::size_t end = handle + 1 < offsets_.size() ? offsets_[handle + 1] : arena_.size();
  for (std::size_t k = offsets_[handle]; k < end; ++k) scratch_[arena_[k].index] = arena_[k].value;
  unflatten(scratch_, out);
}

std::uint64_t CompactStates::digest(const sim::GameState& state) {
  std::uint64_t h = 0xcbf29ce484222325ull;
  auto mix = [&h](const void* data, std::size_t size) {
    const auto* p = static_cast<const std::uint8_t*>(data);
    for (std::size_t i = 0; i < size; ++i) {
      h ^= p[i];
      h *= 0x100000001b3ull;
    }
  };
  for (std::size_t i = 0; i < sim::kScalarFieldCount; ++i) {
    const std::int64_t v = state.scalar(i);
    mix(&v, sizeof v);
  }
  for (std::size_t b = 0; b < sim::kBlockFieldCount; ++b) mix(state.block(b).data(), state.block(b).size());
  return h;
}

}  // namespace app::pilot
