#include "base/asset_store.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <system_error>

#include "base/log.h"

namespace app {
namespace fs = std::filesystem;
namespace {

constexpr std::string_view kEmbeddedPrefix = "<embedded>/";

std::string genericForm(const fs::path& path) {
  std::string text = path.string();
  std::replace(text.begin(), text.end(), '\\', '/');
  return text;
}

const EmbeddedEntry* findEntry(const EmbeddedEntry* table, std::string_view name) {
  for (const EmbeddedEntry* entry = table; entry->name; ++entry) {
    if (std::strlen(entry->name) == name.size() && std::memcmp(entry->name, name.data(), name.size()) == 0)
      return entry;
  }
  return nullptr;
}

bool worldUnder(const fs::path& directory) {
  std::error_code ec;
  return fs::exists(directory / "world" / "world.json", ec);
}

std::optional<fs::path> walkUp(fs::path start) {
  while (!start.empty()) {
    if (worldUnder(start)) return start;
    fs::path parent = start.parent_path();
    if (parent == start) break;
    start = parent;
  }
  return std::nullopt;
}

}  // namespace

std::optional<fs::path> findDataDirectory(const std::string& dataOption, const fs::path& executableDirectory) {
  std::error_code ec;
  fs::path working = fs::current_path(ec);
  return findDataDirectory(dataOption, executableDirectory, working, kEmbeddedFiles);
}

std::optional<fs::path> findDataDirectory(const std::string& dataOption, const fs::path& executableDirectory,
                                          const fs::path& workingDirectory, const EmbeddedEntry* table) {
  if (!dataOption.empty()) {
    if (worldUnder(dataOption)) return fs::path(dataOption);
    logMessage(kError, "%s does not contain world/world.json", dataOption.c_str());
    return std::nullopt;
  }
  for (const fs::path& start : {executableDirectory, workingDirectory}) {
    if (auto found = walkUp(start)) return found;
  }
  if (findEntry(table, "world/world.json")) return fs::path(kEmbeddedMarker);
  logMessage(kError, "cannot find the project data (assets/, world/); pass --data <dir>");
  return std::nullopt;
}

std::optional<Bytes> readFile(const fs::path& path) {
  return readFile(path, kEmbeddedFiles);
}

std::optional<Bytes> readFile(const fs::path& path, const EmbeddedEntry* table) {
  const std::string generic = genericForm(path);
  if (generic.size() > 10 && generic.starts_with(kEmbeddedPrefix)) {
    const EmbeddedEntry* entry = findEntry(table, std::string_view(generic).substr(kEmbeddedPrefix.size()));
    if (!entry) {
      logMessage(kError, "%s is not embedded", generic.c_str());
      return std::nullopt;
    }
    return Bytes(entry->data, entry->data + entry->size);
  }
  std::error_code ec;
  std::ifstream in;
  // Only regular files are read: a folder opens as a stream on some systems but reads nothing, and a
  // device or a pipe (a data file linked to /dev/zero, say) may never end and would fill the memory.
  if (fs::is_regular_file(path, ec)) in.open(path, std::ios::binary);
  if (!in.is_open()) {
    logMessage(kError, "cannot open %s", path.string().c_str());
    return std::nullopt;
  }
  Bytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) {
    logMessage(kError, "cannot open %s", path.string().c_str());
    return std::nullopt;
  }
  return bytes;
}

std::optional<std::string> readTextFile(const fs::path& path) {
  auto bytes = readFile(path);
  if (!bytes) return std::nullopt;
  return std::string(bytes->begin(), bytes->end());
}

std::vector<fs::path> listFiles(const fs::path& directory, const std::string& extension) {
  return listFiles(directory, extension, kEmbeddedFiles);
}

std::vector<fs::path> listFiles(const fs::path& directory, const std::string& extension, const EmbeddedEntry* table) {
  std::vector<fs::path> result;
  const std::string generic = genericForm(directory);
  if (generic.size() >= kEmbeddedPrefix.size() && generic.starts_with(kEmbeddedPrefix)) {
    std::string prefix = generic.substr(kEmbeddedPrefix.size());
    if (!prefix.ends_with('/')) prefix += '/';
    for (const EmbeddedEntry* entry = table; entry->name; ++entry) {
      std::string_view name = entry->name;
      if (!name.starts_with(prefix)) continue;
      std::string_view rest = name.substr(prefix.size());
      if (rest.empty() || rest.find('/') != std::string_view::npos) continue;
      if (fs::path(rest).extension() != extension) continue;
      result.push_back(fs::path(generic) / fs::path(rest));
    }
  } else {
    // A missing or unreadable folder lists as empty (with a line in the log) rather than throwing: a partial
    // data directory on disk must not take the program down.
    std::error_code ec;
    fs::directory_iterator it(directory, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
      std::error_code typeError;
      if (it->is_regular_file(typeError) && it->path().extension() == extension) result.push_back(it->path());
    }
    if (ec) {
      logMessage(kError, "cannot list %s", directory.string().c_str());
      result.clear();
    }
  }
  std::sort(result.begin(), result.end());
  return result;
}

bool writeFile(const fs::path& path, std::span<const std::uint8_t> bytes) {
  std::error_code ec;
  if (path.has_parent_path()) fs::create_directories(path.parent_path(), ec);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) {
    logMessage(kError, "cannot write %s", path.string().c_str());
    return false;
  }
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  // A full disk or an I/O error often shows only when the buffer is flushed, so success is judged after
  // the close.
  out.close();
  if (!out) {
    logMessage(kError, "cannot write %s", path.string().c_str());
    return false;
  }
  return true;
}

bool writeFile(const fs::path& path, std::string_view text) {
  return writeFile(path, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

bool replaceFile(const fs::path& path, std::span<const std::uint8_t> bytes) {
  std::error_code ec;
  const fs::file_status status = fs::status(path, ec);
  if (fs::exists(status) && !fs::is_regular_file(status)) return writeFile(path, bytes);
  fs::path temporary = path;
  temporary += ".tmp";
  if (!writeFile(temporary, bytes)) {
    fs::remove(temporary, ec);
    return false;
  }
  fs::rename(temporary, path, ec);
  if (ec) {
    logMessage(kError, "cannot write %s", path.string().c_str());
    fs::remove(temporary, ec);
    return false;
  }
  return true;
}

bool hasWorld(const fs::path& directory) {
  const std::string generic = genericForm(directory);
  if (generic == kEmbeddedMarker || generic.starts_with(kEmbeddedPrefix)) {
    return findEntry(kEmbeddedFiles, "world/world.json") != nullptr;
  }
  return worldUnder(directory);
}

}  // namespace app
