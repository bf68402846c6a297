#pragma once
// Reading a JSON data file through the asset store, shared by the data loaders.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace world {

// The parsed file; nothing when it does not open (the asset store logs it) or does not parse
// ("%s: not valid JSON" is logged unless quiet).
std::optional<nlohmann::json> readJsonFile(const std::filesystem::path& path, bool quiet = false);

// Bytes from a string of hex digits, two digits per byte, read with the standard base-16 conversion
// (which stops at the first non-digit: "0g" reads 0); a last single digit is ignored. A pair that does
// not start with a digit throws std::invalid_argument.
std::vector<std::uint8_t> decodeHexBytes(const std::string& hex);

}  // namespace world
