#pragma once
// A fault in the data sources. The message always starts with the source file and line, so the
// person editing the data can go straight to it.

#include <filesystem>
#include <stdexcept>
#include <string>

namespace builder {

class SourceError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Throws "FILE:LINE: message" (LINE left out when 0).
[[noreturn]] void fail(const std::filesystem::path& file, int line, const std::string& message);

// Reads a whole source file; a missing file is a SourceError naming it.
std::string readSource(const std::filesystem::path& file);

// Parses an integer written in decimal, or in hexadecimal with a 0x prefix or a $ prefix.
long long parseNumber(const std::string& text, const std::filesystem::path& file, int line);

}  // namespace builder
