#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <optional>
#include <stdexcept>

#include "fuzz/fuzz_target.h"
#include "world/world.h"

namespace fuzz {
namespace {

namespace fs = std::filesystem;

// The pictures kept in the small data set: one name table picture and one sprite sheet.
constexpr const char* kPictures[] = {"title", "sprites_tunnel"};

std::map<std::string, Entry>& targets() {
  static std::map<std::string, Entry> table;
  return table;
}

fs::path sourceDirectory() {
  return fs::path(GROVANTA_SOURCE_DIR);
}

fs::path makeTemporaryFolder() {
  std::error_code ec;
  fs::path base = fs::is_directory("/dev/shm", ec) && access("/dev/shm", W_OK) == 0 ? fs::path("/dev/shm")
                                                                                    : fs::temp_directory_path();
  std::string pattern = (base / "grovanta_fuzz_XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("no temporary folder for the fuzz data set");
  return pattern;
}

void copyDataSet(const fs::path& to) {
  const fs::path source = sourceDirectory();
  fs::copy(source / "assets", to / "assets", fs::copy_options::recursive);
  const fs::path pictures = to / "assets/graphics/pictures";
  fs::remove_all(pictures);
  fs::create_directories(pictures);
  for (const char* name : kPictures)
    for (const char* extension : {".json", ".png"})
      fs::copy_file(source / "assets/graphics/pictures" / (std::string(name) + extension),
                    pictures / (std::string(name) + extension));
  fs::create_directories(to / "world");
  fs::copy_file(source / "tests/fuzz/corpus/world_json/small_world.json", to / "world/world.json");
  fs::copy_file(source / "tests/fuzz/corpus/area_palettes/small_areas.json", to / "assets/palettes/areas.json",
                fs::copy_options::overwrite_existing);
  fs::copy_file(source / "tests/fuzz/corpus/tables_json/brumo_sequences_only.json", to / "assets/data/tables.json",
                fs::copy_options::overwrite_existing);
}

fs::path removeAtExit;

void removeDataSet() {
  std::error_code ec;
  if (!removeAtExit.empty()) fs::remove_all(removeAtExit, ec);
}

}  // namespace

bool registerTarget(const char* name, Entry entry) {
  targets()[name] = entry;
  return true;
}

Entry findTarget(const std::string& name) {
  auto it = targets().find(name);
  return it == targets().end() ? nullptr : it->second;
}

const fs::path& dataDirectory() {
  static const fs::path folder = [] {
    fs::path made = makeTemporaryFolder();
    removeAtExit = made;
    std::atexit(removeDataSet);
    copyDataSet(made);
    return made;
  }();
  return folder;
}

fs::path putFile(const std::string& relative, const std::uint8_t* data, std::size_t size) {
  fs::path path = dataDirectory() / relative;
  fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  return path;
}

const world::World& smallWorld() {
  static const world::World loaded = [] {
    std::optional<world::World> w = world::loadWorld(dataDirectory());
    if (!w) {
      std::fprintf(stderr, "the fuzz data set's small world does not load\n");
      std::abort();
    }
    return std::move(*w);
  }();
  return loaded;
}

}  // namespace fuzz
