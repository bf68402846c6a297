#pragma once
// The game's message texts: one JSON file per language that keeps the cartridge's message block byte for
// byte while writing its letters as readable text, turned back into that block (the text image): a table
// of 16-bit big-endian message offsets, one per entry, followed by the messages.

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace render {

using TextImage = std::vector<std::uint8_t>;

inline constexpr int kLanguageCount = 5;  // 0 English, 1 French, 2 German, 3 Spanish, 4 Italian

// "en", "fr", "de", "es", "it"; nullptr outside 0-4 (a language number from a save may be any value).
const char* languageCode(std::int64_t language);

// One page string in the image's byte form: "{XX}" (any fourth character) is the byte XX, a line feed is
// 255, code points below 128 are themselves, others their code page 437 byte. Nothing when a code point
// has no such byte or an escape is cut short or not hex.
std::optional<std::vector<std::uint8_t>> encodePage(std::string_view page);

// Reads "assets/text/<code>.json" under the data directory and builds its text image. Logs one line and
// returns nothing on failure (an unknown language, a missing or malformed file, an unencodable message).
std::optional<TextImage> loadTexts(const std::filesystem::path& dataDirectory, std::int64_t language);

// The text images loaded so far, by language. A failed load is tried again once its file has changed
// (appeared, or written since: another time or size): the renderer asks every frame, and a missing
// language must cost one line in the log, not one a frame.
class TextImages {
 public:
  explicit TextImages(std::filesystem::path dataDirectory) : dataDirectory_(std::move(dataDirectory)) {}
  const std::filesystem::path& dataDirectory() const { return dataDirectory_; }

 private:
  using FileStamp = std::pair<std::filesystem::file_time_type, std::uintmax_t>;  // written at, size
  // The stamp of the language's file; nothing while it is missing (or the set is the compiled-in one).
  std::optional<FileStamp> fileStamp(std::int64_t language) const;

  friend const TextImage* textsFor(TextImages& cache, std::int64_t language);
  friend void replaceTexts(TextImages& cache, std::int64_t language, TextImage image);
  std::filesystem::path dataDirectory_;
  std::map<std::int64_t, TextImage> images_;
  std::map<std::int64_t, std::optional<FileStamp>> failed_;  // the file's stamp at the failure
};

// The cached image of a language, loaded on first use; nullptr when it does not load.
const TextImage* textsFor(TextImages& cache, std::int64_t language);

// Puts `image` in the cache as the language's image, in place of what was loaded (for tools that draw
// altered texts, such as a name shown in every slot).
void replaceTexts(TextImages& cache, std::int64_t language, TextImage image);

}  // namespace render
