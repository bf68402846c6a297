#include "app/pilot/route_cache.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <span>
#include <sstream>
#include <system_error>

#include "base/asset_store.h"
#include "base/log.h"

namespace app::pilot {
namespace {

constexpr std::uintmax_t kMaxCacheBytes = 64u << 20;
constexpr const char* kFirstLine = "# route cache 1: digest, pads (hex pad x count, ...), command";

// "08x30,00x2"
std::string runs(const std::vector<std::uint8_t>& pads) {
  std::string out;
  for (std::size_t i = 0; i < pads.size();) {
    std::size_t j = i;
    while (j < pads.size() && pads[j] == pads[i]) ++j;
    char text[32];
    std::snprintf(text, sizeof text, "%s%02Xx%zu", out.empty() ? "" : ",", pads[i], j - i);
    out += text;
    i = j;
  }
  return out.empty() ? "-" : out;
}

std::optional<std::vector<std::uint8_t>> readRuns(const std::string& text) {
  std::vector<std::uint8_t> pads;
  if (text == "-") return pads;
  std::stringstream in(text);
  std::string run;
  while (std::getline(in, run, ',')) {
    unsigned pad = 0;
    unsigned long count = 0;
    char tail = 0;
    if (std::sscanf(run.c_str(), "%2xx%lu%c", &pad, &count, &tail) != 2 || count == 0 || count > 1000000) return {};
    if (pads.size() + count > 10000000) return {};
    pads.insert(pads.end(), count, static_cast<std::uint8_t>(pad));
  }
  return pads;
}

}  // namespace

void RouteCache::load(const std::filesystem::path& path) {
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) return;
  const std::uintmax_t size = std::filesystem::file_size(path, ec);
  if (ec || size > kMaxCacheBytes) {
    logMessage(kWarn, "%s: not a route cache this program reads; working the route out anew", path.string().c_str());
    return;
  }
  std::ifstream file(path, std::ios::binary);
  std::string line;
  int number = 0;
  std::map<std::pair<std::string, std::uint64_t>, std::vector<std::uint8_t>> read;
  while (std::getline(file, line)) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    const std::size_t tab1 = line.find('\t');
    const std::size_t tab2 = tab1 == std::string::npos ? std::string::npos : line.find('\t', tab1 + 1);
    std::optional<std::vector<std::uint8_t>> pads;
    char* end = nullptr;
    const std::string digestText = line.substr(0, tab1);
    const std::uint64_t digest = std::strtoull(digestText.c_str(), &end, 16);
    // A command is one line of a route script: a control character in it (a second carriage return, a
    // NUL) would not come back the same from the next write and read.
    const bool plainCommand = tab2 != std::string::npos &&
                              std::none_of(line.begin() + static_cast<std::ptrdiff_t>(tab2) + 1, line.end(),
                                           [](char c) { return c != '\t' && static_cast<unsigned char>(c) < 0x20; });
    if (plainCommand && digestText.size() == 16 && *end == '\0')
      pads = readRuns(line.substr(tab1 + 1, tab2 - tab1 - 1));
    if (!pads) {
      logMessage(kWarn, "%s:%d: not a route cache line; working the route out anew", path.string().c_str(), number);
      return;
    }
    read[{line.substr(tab2 + 1), digest}] = std::move(*pads);
  }
  entries_ = std::move(read);
}

bool RouteCache::save(const std::filesystem::path& path, bool onlyUsed) const {
  std::string text = std::string(kFirstLine) + "\n";
  for (const auto& [key, pads] : entries_) {
    if (onlyUsed && !used_.contains(key)) continue;
    char digest[24];
    std::snprintf(digest, sizeof digest, "%016" PRIx64, key.second);
    text += std::string(digest) + "\t" + runs(pads) + "\t" + key.first + "\n";
  }
  if (!replaceFile(path, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()))) {
    logMessage(kError, "could not write the route cache %s", path.string().c_str());
    return false;
  }
  return true;
}

const std::vector<std::uint8_t>* RouteCache::find(const std::string& command, std::uint64_t digest) {
  const auto it = entries_.find({command, digest});
  if (it == entries_.end()) return nullptr;
  used_.insert(it->first);
  return &it->second;
}

void RouteCache::store(const std::string& command, std::uint64_t digest, std::vector<std::uint8_t> pads) {
  entries_[{command, digest}] = std::move(pads);
  used_.insert({command, digest});
}

void RouteCache::forget(const std::string& command, std::uint64_t digest) {
  entries_.erase({command, digest});
  used_.erase({command, digest});
}

}  // namespace app::pilot
