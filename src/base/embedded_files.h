#pragma once
// The data set compiled into the program (generated at build time from assets/ and world/).

#include <cstdint>

namespace app {

struct EmbeddedEntry {
  const char* name;  // relative path with forward slashes; null ends the table
  const unsigned char* data;
  std::uint64_t size;
};

// Sorted by name, ended by an entry whose name is null.
extern const EmbeddedEntry kEmbeddedFiles[];

}  // namespace app
