#pragma once
// The data directory and the few file operations every part of the program reads data through.
// A data directory is a folder on disk or the marker "<embedded>" for the compiled-in set;
// a path that begins with "<embedded>/" names an entry of that set, any other path is on disk.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/embedded_files.h"

namespace app {

inline constexpr std::string_view kEmbeddedMarker = "<embedded>";

using Bytes = std::vector<std::uint8_t>;

// The data directory: --data when given (it must hold world/world.json), else the first directory holding
// world/world.json on the walks up from the executable's directory and then from the working directory,
// else "<embedded>" when the compiled-in set has a world. Logs the reason and returns nothing on failure.
std::optional<std::filesystem::path> findDataDirectory(const std::string& dataOption,
                                                       const std::filesystem::path& executableDirectory);
std::optional<std::filesystem::path> findDataDirectory(const std::string& dataOption,
                                                       const std::filesystem::path& executableDirectory,
                                                       const std::filesystem::path& workingDirectory,
                                                       const EmbeddedEntry* table);

std::optional<Bytes> readFile(const std::filesystem::path& path);
std::optional<Bytes> readFile(const std::filesystem::path& path, const EmbeddedEntry* table);

// The same bytes as readFile, as a string (no decoding, no newline conversion).
std::optional<std::string> readTextFile(const std::filesystem::path& path);

// Paths of the regular files directly in the directory with the extension (".json"), sorted ascending.
std::vector<std::filesystem::path> listFiles(const std::filesystem::path& directory, const std::string& extension);
std::vector<std::filesystem::path> listFiles(const std::filesystem::path& directory, const std::string& extension,
                                             const EmbeddedEntry* table);

// Disk only: creates the parent folders, truncates and writes the file.
bool writeFile(const std::filesystem::path& path, std::span<const std::uint8_t> bytes);
bool writeFile(const std::filesystem::path& path, std::string_view text);

// Disk only: writes "<path>.tmp" and renames it over the file, so that a write that fails (a full disk)
// leaves an earlier file as it was. A path that exists and is not a regular file (a device such as
// /dev/stdout) is written directly.
bool replaceFile(const std::filesystem::path& path, std::span<const std::uint8_t> bytes);

// Whether "world/world.json" exists under the directory (on disk, or in the compiled-in set for the marker).
bool hasWorld(const std::filesystem::path& directory);

}  // namespace app
