// Message texts: from the per-language JSON files back to the cartridge's byte form.

#include "render/texts.h"

#include <array>
#include <exception>

#include <nlohmann/json.hpp>

#include "base/asset_store.h"
#include "base/log.h"

namespace render {
namespace {

using nlohmann::json;

constexpr const char* kLanguageCodes[kLanguageCount] = {"en", "fr", "de", "es", "it"};

// Code page 437, bytes 128 to 255.
constexpr std::array<char32_t, 128> kCodePage437High = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7, 0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE,
    0x00EC, 0x00C4, 0x00C5, 0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9, 0x00FF, 0x00D6,
    0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192, 0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA,
    0x00BA, 0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB, 0x2591, 0x2592, 0x2593, 0x2502,
    0x2524, 0x2561, 0x2562, 0x2556, 0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510, 0x2514,
    0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F, 0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550,
    0x256C, 0x2567, 0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B, 0x256A, 0x2518, 0x250C,
    0x2588, 0x2584, 0x258C, 0x2590, 0x2580, 0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4,
    0x03A6, 0x0398, 0x03A9, 0x03B4, 0x221E, 0x03C6, 0x03B5, 0x2229, 0x2261, 0x00B1, 0x2265, 0x2264, 0x2320,
    0x2321, 0x00F7, 0x2248, 0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0};

std::optional<std::uint8_t> codePage437(char32_t cp) {
  for (std::size_t i = 0; i < kCodePage437High.size(); ++i)
    if (kCodePage437High[i] == cp) return static_cast<std::uint8_t>(128 + i);
  return std::nullopt;
}

// Decodes UTF-8; nothing for a malformed sequence.
std::optional<std::u32string> decodeUtf8(std::string_view s) {
  std::u32string out;
  for (std::size_t i = 0; i < s.size();) {
    auto b = static_cast<unsigned char>(s[i]);
    int extra = b < 0x80 ? 0 : (b >> 5) == 6 ? 1 : (b >> 4) == 14 ? 2 : (b >> 3) == 30 ? 3 : -1;
    if (extra < 0 || i + static_cast<std::size_t>(extra) > s.size() - 1) return std::nullopt;
    char32_t cp = extra == 0 ? b : b & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) {
      auto c = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
      if ((c & 0xC0) != 0x80) return std::nullopt;
      cp = cp << 6 | (c & 0x3F);
    }
    out.push_back(cp);
    i += static_cast<std::size_t>(extra) + 1;
  }
  return out;
}

int hexValue(char32_t c) {
  if (c >= '0' && c <= '9') return static_cast<int>(c - '0');
  if (c >= 'a' && c <= 'f') return static_cast<int>(c - 'a' + 10);
  if (c >= 'A' && c <= 'F') return static_cast<int>(c - 'A' + 10);
  return -1;
}

void pushWord(TextImage& out, std::uint32_t w) {
  out.push_back(static_cast<std::uint8_t>(w >> 8));
  out.push_back(static_cast<std::uint8_t>(w));
}

}  // namespace

const char* languageCode(std::int64_t language) {
  return language >= 0 && language < kLanguageCount ? kLanguageCodes[static_cast<std::size_t>(language)] : nullptr;
}

std::optional<std::vector<std::uint8_t>> encodePage(std::string_view page) {
  std::optional<std::u32string> cps = decodeUtf8(page);
  if (!cps) return std::nullopt;
  std::vector<std::uint8_t> out;
  out.reserve(cps->size());
  for (std::size_t i = 0; i < cps->size(); ++i) {
    char32_t c = (*cps)[i];
    if (c == U'{') {
      // "{XX}": the byte XX. The digits count as far as they are hex; a first one that is not makes
      // the page unencodable.
      if (i + 3 >= cps->size()) return std::nullopt;
      int high = hexValue((*cps)[i + 1]);
      int low = hexValue((*cps)[i + 2]);
      if (high < 0) return std::nullopt;
      out.push_back(static_cast<std::uint8_t>(low < 0 ? high : high * 16 + low));
      i += 3;
    } else if (c == U'\n') {
      out.push_back(255);
    } else if (c < 128) {
      out.push_back(static_cast<std::uint8_t>(c));
    } else if (std::optional<std::uint8_t> b = codePage437(c)) {
      out.push_back(*b);
    } else {
      return std::nullopt;
    }
  }
  return out;
}

namespace {

// A whole number of the file. A number written with a fraction or an exponent is refused: one beyond the
// 64-bit range would not convert at all.
std::int64_t integer(const json& j) {
  if (!j.is_number_integer()) throw std::invalid_argument("a number is not a whole number");
  return j.get<std::int64_t>();
}

}  // namespace

std::optional<TextImage> loadTexts(const std::filesystem::path& dataDirectory, std::int64_t language) {
  const char* code = languageCode(language);
  if (!code) {
    app::logMessage(app::kError, "no text for language %lld", static_cast<long long>(language));
    return std::nullopt;
  }
  std::filesystem::path path = dataDirectory / "assets/text" / (std::string(code) + ".json");
  std::optional<std::string> text = app::readTextFile(path);
  if (!text) return std::nullopt;
  json doc = json::parse(*text, nullptr, false);
  if (doc.is_discarded() || !doc.is_object() || !doc.contains("entries") || !doc.contains("messages")) {
    app::logMessage(app::kError, "%s: not a text file", path.string().c_str());
    return std::nullopt;
  }
  try {
    const json& entries = doc["entries"];
    const json& messages = doc["messages"];
    if (!entries.is_array() || !messages.is_array()) throw std::invalid_argument("entries or messages is not an array");
    const std::size_t tableSize = 2 * entries.size();
    TextImage body;
    std::vector<std::size_t> offsets;
    for (const json& m : messages) {
      offsets.push_back(tableSize + body.size());
      if (m.contains("header") && !m["header"].is_array()) throw std::invalid_argument("a header is not an array");
      if (m.contains("header"))
        for (const json& h : m["header"]) pushWord(body, static_cast<std::uint32_t>(integer(h)));
      const json& pages = m.at("pages");
      if (!pages.is_array()) throw std::invalid_argument("\"pages\" is not an array");
      for (std::size_t p = 0; p < pages.size(); ++p) {
        if (p > 0) body.push_back(0);
        std::optional<std::vector<std::uint8_t>> bytes = encodePage(pages[p].get<std::string>());
        if (!bytes) {
          app::logMessage(app::kError, "%s: a message cannot be encoded", path.string().c_str());
          return std::nullopt;
        }
        body.insert(body.end(), bytes->begin(), bytes->end());
      }
      if (!m.contains("terminated") || m["terminated"].get<bool>()) body.push_back(0);
    }
    TextImage image;
    image.reserve(tableSize + body.size());
    for (const json& e : entries) {
      if (e.is_null()) {
        pushWord(image, 0);
        continue;
      }
      std::int64_t n = integer(e);
      if (n < 0 || static_cast<std::size_t>(n) >= offsets.size())
        throw std::out_of_range("entry names message " + std::to_string(n) + ", which does not exist");
      // The table holds 16-bit offsets: a message beyond them cannot be addressed.
      if (offsets[static_cast<std::size_t>(n)] > 0xFFFF)
        throw std::out_of_range("the messages do not fit 16-bit offsets");
      pushWord(image, static_cast<std::uint32_t>(offsets[static_cast<std::size_t>(n)]));
    }
    image.insert(image.end(), body.begin(), body.end());
    return image;
  } catch (const std::exception& e) {
    app::logMessage(app::kError, "%s: %s", path.string().c_str(), e.what());
    return std::nullopt;
  }
}

std::optional<TextImages::FileStamp> TextImages::fileStamp(std::int64_t language) const {
  const char* code = languageCode(language);
  if (!code) return std::nullopt;
  const std::filesystem::path path = dataDirectory_ / "assets/text" / (std::string(code) + ".json");
  std::error_code ec;
  const auto time = std::filesystem::last_write_time(path, ec);
  if (ec) return std::nullopt;
  const std::uintmax_t size = std::filesystem::file_size(path, ec);
  if (ec) return std::nullopt;
  return FileStamp{time, size};
}

const TextImage* textsFor(TextImages& cache, std::int64_t language) {
  if (auto it = cache.images_.find(language); it != cache.images_.end()) return &it->second;
  const std::optional<TextImages::FileStamp> stamp = cache.fileStamp(language);
  if (auto it = cache.failed_.find(language); it != cache.failed_.end() && it->second == stamp) return nullptr;
  std::optional<TextImage> image = loadTexts(cache.dataDirectory_, language);
  if (!image) {
    cache.failed_[language] = stamp;
    return nullptr;
  }
  cache.failed_.erase(language);
  return &cache.images_.emplace(language, std::move(*image)).first->second;
}

void replaceTexts(TextImages& cache, std::int64_t language, TextImage image) {
  cache.images_[language] = std::move(image);
}

}  // namespace render
