#pragma once
// Animation records (see records.h) stepped through a sequence: delay word, loop index word, frame words,
// FFFF. Each frame shows for delay + 1 steps.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "sim/core/context.h"

namespace sim {

// One step of the record at `offset` in `block` with the sequence at ROM address seq ($009BC4); returns
// the frame word.
std::int64_t stepAnimation(Context& c, std::vector<std::uint8_t>& block, std::size_t offset, std::uint32_t seq);
// The same with a sequence held by the program; an index outside the table or an end mark restarts at
// the loop index.
std::int64_t stepProgramSequence(Context& c, std::vector<std::uint8_t>& block, std::size_t offset,
                                 const std::vector<std::uint16_t>& sequence);

}  // namespace sim
