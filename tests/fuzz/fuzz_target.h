#pragma once
// One entry point per reader of outside data. Built with the fuzzer, GROVANTA_FUZZ_TARGET is libFuzzer's
// entry; in the plain build every target registers under its name, so one replay program can feed the
// committed corpora through the same code with any compiler.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

namespace world {
struct World;
}

namespace fuzz {

using Entry = int (*)(const std::uint8_t* data, std::size_t size);

bool registerTarget(const char* name, Entry entry);
Entry findTarget(const std::string& name);

// A copy of a small data set in a fresh temporary folder (in memory where the system has one), made on
// first use and removed at exit: the shipped assets with only two pictures, a world of two areas and
// their palettes, and of the tables only the hero's sequences. A target overwrites the one file it fuzzes.
const std::filesystem::path& dataDirectory();

// Writes the bytes to the file under the data directory and returns its path.
std::filesystem::path putFile(const std::string& relative, const std::uint8_t* data, std::size_t size);

// The small world, loaded once from the copy: a target that fuzzes one of the world's files loads it first.
const world::World& smallWorld();

}  // namespace fuzz

#ifdef GROVANTA_FUZZING
#define GROVANTA_FUZZ_TARGET(name) extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
#else
#define GROVANTA_FUZZ_TARGET(name)                                                                            \
  static int fuzz_entry_##name(const std::uint8_t* data, std::size_t size);                                   \
  [[maybe_unused]] static const bool fuzz_registered_##name = fuzz::registerTarget(#name, fuzz_entry_##name); \
  static int fuzz_entry_##name(const std::uint8_t* data, std::size_t size)
#endif
