// The field table of GameState and the access by index and by name, all
// generated from the field lists of game_state_fields.h.
#include "sim/game_state.h"

#include <algorithm>
#include <array>
#include <string>
#include <unordered_map>

namespace sim {
namespace {

using ScalarMember = std::int64_t GameState::*;
using BlockMember = std::vector<std::uint8_t> GameState::*;

// The members by declaration index.
#define GROVANTA_SCALAR_MEMBER(name, meaning) &GameState::name,
#define GROVANTA_BLOCK_MEMBER(name, size, meaning) &GameState::name,
constexpr std::array<ScalarMember, kScalarFieldCount> kScalarMembers = {
    GROVANTA_TRACED_SCALARS(GROVANTA_SCALAR_MEMBER) GROVANTA_OWN_SCALARS(GROVANTA_SCALAR_MEMBER)
        GROVANTA_LATER_TRACED_SCALARS(GROVANTA_SCALAR_MEMBER)};
constexpr std::array<BlockMember, kBlockFieldCount> kBlockMembers = {
    GROVANTA_TRACED_BLOCKS(GROVANTA_BLOCK_MEMBER) GROVANTA_LATER_TRACED_BLOCKS(GROVANTA_BLOCK_MEMBER)
        GROVANTA_OWN_BLOCKS(GROVANTA_BLOCK_MEMBER)};
#undef GROVANTA_SCALAR_MEMBER
#undef GROVANTA_BLOCK_MEMBER

// The field table in table order: name, scalar index, block index, traced, block size, meaning.
#define GROVANTA_TRACED_SCALAR_ROW(name, meaning) {#name, kScalar_##name, -1, true, 0, meaning},
#define GROVANTA_TRACED_BLOCK_ROW(name, size, meaning) {#name, -1, kBlock_##name, true, size, meaning},
#define GROVANTA_OWN_SCALAR_ROW(name, meaning) {#name, kScalar_##name, -1, false, 0, meaning},
#define GROVANTA_OWN_BLOCK_ROW(name, size, meaning) {#name, -1, kBlock_##name, false, size, meaning},
constexpr std::array<FieldInfo, kFieldCount> kFields = {
    {GROVANTA_TRACED_SCALARS(GROVANTA_TRACED_SCALAR_ROW) GROVANTA_TRACED_BLOCKS(GROVANTA_TRACED_BLOCK_ROW)
         GROVANTA_LATER_TRACED_SCALARS(GROVANTA_TRACED_SCALAR_ROW)
             GROVANTA_LATER_TRACED_BLOCKS(GROVANTA_TRACED_BLOCK_ROW) GROVANTA_OWN_SCALARS(GROVANTA_OWN_SCALAR_ROW)
                 GROVANTA_OWN_BLOCKS(GROVANTA_OWN_BLOCK_ROW)}};
#undef GROVANTA_TRACED_SCALAR_ROW
#undef GROVANTA_TRACED_BLOCK_ROW
#undef GROVANTA_OWN_SCALAR_ROW
#undef GROVANTA_OWN_BLOCK_ROW

// The block sizes by declaration index.
constexpr std::array<std::size_t, kBlockFieldCount> kBlockSizes = [] {
  std::array<std::size_t, kBlockFieldCount> sizes{};
  for (const FieldInfo& f : kFields)
    if (!f.isScalar()) sizes[static_cast<std::size_t>(f.blockIndex)] = f.blockSize;
  return sizes;
}();

const std::unordered_map<std::string_view, const FieldInfo*>& fieldIndex() {
  static const auto* index = [] {
    auto* m = new std::unordered_map<std::string_view, const FieldInfo*>();
    for (const FieldInfo& f : kFields) m->emplace(f.name, &f);
    return m;
  }();
  return *index;
}

}  // namespace

GameState::GameState() {
  for (std::size_t i = 0; i < kBlockFieldCount; ++i) (this->*kBlockMembers[i]).assign(kBlockSizes[i], 0);
}

std::int64_t& GameState::scalar(std::size_t index) {
  return this->*kScalarMembers.at(index);
}
std::int64_t GameState::scalar(std::size_t index) const {
  return this->*kScalarMembers.at(index);
}
std::vector<std::uint8_t>& GameState::block(std::size_t index) {
  return this->*kBlockMembers.at(index);
}
const std::vector<std::uint8_t>& GameState::block(std::size_t index) const {
  return this->*kBlockMembers.at(index);
}

std::int64_t* GameState::scalarByName(std::string_view name) {
  const FieldInfo* f = findField(name);
  return f && f->isScalar() ? &(this->*kScalarMembers[f->scalarIndex]) : nullptr;
}

const std::int64_t* GameState::scalarByName(std::string_view name) const {
  return const_cast<GameState*>(this)->scalarByName(name);
}

std::vector<std::uint8_t>* GameState::blockByName(std::string_view name) {
  const FieldInfo* f = findField(name);
  return f && !f->isScalar() ? &(this->*kBlockMembers[f->blockIndex]) : nullptr;
}

const std::vector<std::uint8_t>* GameState::blockByName(std::string_view name) const {
  return const_cast<GameState*>(this)->blockByName(name);
}

std::optional<std::int64_t> GameState::get(std::string_view name) const {
  const std::int64_t* p = scalarByName(name);
  if (!p) return std::nullopt;
  return *p;
}

bool GameState::set(std::string_view name, std::int64_t value) {
  std::int64_t* p = scalarByName(name);
  if (!p) return false;
  *p = value;
  return true;
}

bool GameState::setBlock(std::string_view name, std::span<const std::uint8_t> bytes) {
  std::vector<std::uint8_t>* p = blockByName(name);
  if (!p || p->size() != bytes.size()) return false;
  std::copy(bytes.begin(), bytes.end(), p->begin());
  return true;
}

std::span<const FieldInfo> gameStateFields() {
  return kFields;
}

const FieldInfo* findField(std::string_view name) {
  const auto& index = fieldIndex();
  auto it = index.find(name);
  return it == index.end() ? nullptr : it->second;
}

std::vector<std::string_view> differingFields(const GameState& a, const GameState& b) {
  std::vector<std::string_view> out;
  for (const FieldInfo& f : kFields) {
    bool same = f.isScalar() ? a.scalar(f.scalarIndex) == b.scalar(f.scalarIndex)
                             : a.block(f.blockIndex) == b.block(f.blockIndex);
    if (!same) out.push_back(f.name);
  }
  return out;
}

}  // namespace sim
