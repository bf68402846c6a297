// The complete state of one game: every variable the game logic keeps between
// two console frames, as named fields. Scalars hold the console's values in
// signed 64-bit integers; byte blocks are images of console RAM (big-endian
// words) with a fixed size from construction on. Copying a GameState copies the
// game. Saves, snapshots and the trace tools reach the fields by name through
// the field table (gameStateFields()).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "sim/game_state_fields.h"

namespace sim {

// Declaration indices: kScalar_<name> among the scalars, kBlock_<name> among the blocks.
#define GROVANTA_SCALAR_INDEX(name, meaning) kScalar_##name,
#define GROVANTA_BLOCK_INDEX(name, size, meaning) kBlock_##name,
enum ScalarIndex : int {
  GROVANTA_TRACED_SCALARS(GROVANTA_SCALAR_INDEX) GROVANTA_OWN_SCALARS(GROVANTA_SCALAR_INDEX)
      GROVANTA_LATER_TRACED_SCALARS(GROVANTA_SCALAR_INDEX) kScalarIndexEnd
};
enum BlockIndex : int {
  GROVANTA_TRACED_BLOCKS(GROVANTA_BLOCK_INDEX) GROVANTA_LATER_TRACED_BLOCKS(GROVANTA_BLOCK_INDEX)
      GROVANTA_OWN_BLOCKS(GROVANTA_BLOCK_INDEX) kBlockIndexEnd
};
#undef GROVANTA_SCALAR_INDEX
#undef GROVANTA_BLOCK_INDEX

inline constexpr std::size_t kScalarFieldCount = kScalarIndexEnd;
inline constexpr std::size_t kBlockFieldCount = kBlockIndexEnd;
inline constexpr std::size_t kFieldCount = kScalarFieldCount + kBlockFieldCount;
static_assert(kScalarFieldCount == 226 && kBlockFieldCount == 66, "the field lists hold 226 scalars and 66 blocks");

struct GameState {
  GameState();

  // Scalars, then byte blocks, in declaration order (see game_state_fields.h; block sizes set by the
  // constructor).
#define GROVANTA_DECLARE_SCALAR(name, meaning) std::int64_t name = 0;
#define GROVANTA_DECLARE_BLOCK(name, size, meaning) std::vector<std::uint8_t> name;
  GROVANTA_TRACED_SCALARS(GROVANTA_DECLARE_SCALAR)
  GROVANTA_OWN_SCALARS(GROVANTA_DECLARE_SCALAR)
  GROVANTA_LATER_TRACED_SCALARS(GROVANTA_DECLARE_SCALAR)
  GROVANTA_TRACED_BLOCKS(GROVANTA_DECLARE_BLOCK)
  GROVANTA_LATER_TRACED_BLOCKS(GROVANTA_DECLARE_BLOCK)
  GROVANTA_OWN_BLOCKS(GROVANTA_DECLARE_BLOCK)
#undef GROVANTA_DECLARE_SCALAR
#undef GROVANTA_DECLARE_BLOCK

  // Access by declaration index (0..225 scalars, 0..65 blocks).
  std::int64_t& scalar(std::size_t index);
  std::int64_t scalar(std::size_t index) const;
  std::vector<std::uint8_t>& block(std::size_t index);
  const std::vector<std::uint8_t>& block(std::size_t index) const;

  // Access by field name; nullptr when no field of that kind has the name.
  std::int64_t* scalarByName(std::string_view name);
  const std::int64_t* scalarByName(std::string_view name) const;
  std::vector<std::uint8_t>* blockByName(std::string_view name);
  const std::vector<std::uint8_t>* blockByName(std::string_view name) const;

  // Named read/write of a scalar; false (or nothing) for an unknown name.
  std::optional<std::int64_t> get(std::string_view name) const;
  bool set(std::string_view name, std::int64_t value);
  // Replaces a block's contents; false for an unknown name or a wrong size.
  bool setBlock(std::string_view name, std::span<const std::uint8_t> bytes);

  bool operator==(const GameState&) const = default;
};

// One row of the field table.
struct FieldInfo {
  std::string_view name;
  int scalarIndex = -1;  // declaration index among the scalars, or -1
  int blockIndex = -1;   // declaration index among the blocks, or -1
  bool traced = false;   // part of the console's own state
  std::size_t blockSize = 0;
  std::string_view meaning;  // what the field holds
  constexpr bool isScalar() const { return scalarIndex >= 0; }
};

// The field table in its listed order (292 rows), built once and shared.
std::span<const FieldInfo> gameStateFields();
// The row of a field, or nullptr.
const FieldInfo* findField(std::string_view name);
// Names of the fields whose values differ between two states, in table order.
std::vector<std::string_view> differingFields(const GameState& a, const GameState& b);

}  // namespace sim
