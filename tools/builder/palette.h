#pragma once
// Palette lines written the readable way: each colour a three-digit string "RGB" with every
// digit 0-7 (the console's three bits per channel), turned into CRAM words 0000 BBB0 GGG0 RRR0.

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>

#include <nlohmann/json.hpp>

namespace builder {

using PaletteLine = std::array<std::uint16_t, 16>;

std::uint16_t cramWord(int r, int g, int b);

// Reads a palette line from a JSON array of exactly 16 colour strings; `where` names the file and key.
PaletteLine readPaletteLine(const nlohmann::json& value, const std::filesystem::path& file, const std::string& where);

}  // namespace builder
