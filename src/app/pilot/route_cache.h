#pragma once
// The route cache: for each command already worked out from a given game state, the pads that carried it out.
// A later run from the same state replays them instead of searching again.

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace app::pilot {

class RouteCache {
 public:
  // Reads the file when there is one; a damaged file is ignored with a warning (the route is worked out anew).
  void load(const std::filesystem::path& path);
  // Writes the entries; with onlyUsed just those found or stored since loading (a completed route leaves no
  // stale entries behind). False (logged) when the file cannot be written.
  bool save(const std::filesystem::path& path, bool onlyUsed) const;

  const std::vector<std::uint8_t>* find(const std::string& command, std::uint64_t digest);
  void store(const std::string& command, std::uint64_t digest, std::vector<std::uint8_t> pads);
  // Drops an entry whose pads no longer carry the command out (the world changed under it).
  void forget(const std::string& command, std::uint64_t digest);
  std::size_t size() const { return entries_.size(); }

 private:
  using Key = std::pair<std::string, std::uint64_t>;
  std::map<Key, std::vector<std::uint8_t>> entries_;
  std::set<Key> used_;
};

}  // namespace app::pilot
