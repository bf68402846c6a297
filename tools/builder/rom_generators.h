#pragma once
// Statements of the rom sources that compute their bytes instead of listing them:
//   sine COUNT PERIOD AMPLITUDE OFFSET   COUNT words of OFFSET + AMPLITUDE * sin(2 pi i / PERIOD), rounded
//   bitrow TEXT                          'X' and '.' packed eight to a byte, the first in the top bit
//   dotrow TEXT                          one word per character: 1 for 'X', 0 for '.'
// so that tables of numbers are written as what they are, and pictures as pictures.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace builder {

bool isGeneratedStatement(const std::string& op);

// The bytes of one such statement (its words, the statement name first); a fault is a SourceError
// naming the file and line.
std::vector<std::uint8_t> generatedBytes(const std::vector<std::string>& words, const std::filesystem::path& file,
                                         int line);

}  // namespace builder
