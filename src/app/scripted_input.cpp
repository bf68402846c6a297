#include "app/scripted_input.h"

#include <SDL.h>

#include <cstdlib>

namespace app {
namespace {

// Splits at commas: an empty text has no items, a trailing comma ends the list, and an empty item elsewhere
// (two commas in a row, or a leading comma) refuses the text.
std::optional<std::vector<std::string>> splitItems(const std::string& text) {
  std::vector<std::string> items;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t comma = text.find(',', start);
    if (comma == std::string::npos) comma = text.size();
    if (comma == start) return std::nullopt;
    items.push_back(text.substr(start, comma - start));
    start = comma + 1;
  }
  return items;
}

}  // namespace

std::uint8_t PadScript::byteAt(long long vblank) const {
  std::uint8_t bits = 0;
  for (const Range& range : ranges_) {
    if (vblank >= range.from && vblank <= range.to) bits |= range.bits;
  }
  return bits;
}

std::optional<PadScript> parsePads(const std::string& text) {
  auto items = splitItems(text);
  if (!items) return std::nullopt;
  PadScript script;
  for (const std::string& item : *items) {
    // Reads like "%lld-%lld:%x" (blanks and signs allowed, text after the number ignored), with strtoll and
    // strtoul so that huge numbers saturate instead of being undefined.
    const char* at = item.c_str();
    char* end = nullptr;
    const long long from = std::strtoll(at, &end, 10);
    if (end == at || *end != '-') return std::nullopt;
    at = end + 1;
    const long long to = std::strtoll(at, &end, 10);
    if (end == at || *end != ':') return std::nullopt;
    at = end + 1;
    const unsigned long hex = std::strtoul(at, &end, 16);
    if (end == at) return std::nullopt;
    if (from < 1 || to < from) return std::nullopt;
    script.add({from, to, static_cast<std::uint8_t>(hex & 0xFF)});
  }
  return script;
}

std::optional<std::multimap<long long, std::int32_t>> parseKeys(const std::string& text) {
  auto items = splitItems(text);
  if (!items) return std::nullopt;
  std::multimap<long long, std::int32_t> keys;
  for (const std::string& item : *items) {
    const std::size_t colon = item.find(':');
    if (colon == std::string::npos) return std::nullopt;
    const long long vblank = std::strtoll(item.substr(0, colon).c_str(), nullptr, 10);
    if (vblank < 1) return std::nullopt;
    const SDL_Scancode scancode = SDL_GetScancodeFromName(item.substr(colon + 1).c_str());
    if (scancode == SDL_SCANCODE_UNKNOWN) return std::nullopt;
    keys.emplace(vblank, static_cast<std::int32_t>(scancode));
  }
  return keys;
}

}  // namespace app
