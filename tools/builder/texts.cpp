#include "texts.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <sstream>

#include <nlohmann/json.hpp>

#include "source_error.h"

namespace builder {

namespace fs = std::filesystem;
using json = nlohmann::ordered_json;

namespace {

constexpr int kEntryCount = 141;
constexpr const char* kCodes[] = {"en", "fr", "de", "es", "it"};
// Where each language's block would sit in a cartridge image; the program never reads it.
constexpr unsigned kBlockAddresses[] = {0x076000, 0x078000, 0x07A000, 0x07C000, 0x07E000};

// The renderer draws at most 38 characters of a line and no line wider than its record.
constexpr int kMaxLine = 38;
// Names on the inventory screen: left column 13, width 24, one line at rows 8, 13 or 18.
constexpr int kNameWidth = 24;
// Area descriptions on the inventory screen: left column 3, width 34.
constexpr int kDescriptionWidth = 34;
constexpr int kContinues = 1;  // continuation byte: another record of the same page follows
constexpr int kLineEnd = 255;

// The letters beyond ASCII that the message font has glyphs for, with their code page 437 bytes.
// The accented capitals other than Ñ, "ñ" (drawn as "a" by the glyph table), "ß" and "«" (outside
// the font) are missing on purpose: texts must spell around them.
struct Accented {
  char32_t codePoint;
  int byte;
};
constexpr Accented kAccented[] = {
    {U'ü', 129}, {U'é', 130}, {U'â', 131}, {U'ä', 132}, {U'à', 133}, {U'ç', 135}, {U'ê', 136}, {U'è', 138}, {U'ô', 147},
    {U'ö', 148}, {U'ù', 151}, {U'á', 160}, {U'í', 161}, {U'ó', 162}, {U'ú', 163}, {U'Ñ', 165}, {U'¿', 168}, {U'¡', 173},
};

std::string utf8(char32_t c) {
  std::string s;
  if (c < 0x80) {
    s += static_cast<char>(c);
  } else if (c < 0x800) {
    s += static_cast<char>(0xC0 | (c >> 6));
    s += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    s += static_cast<char>(0xE0 | (c >> 12));
    s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    s += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    s += static_cast<char>(0xF0 | (c >> 18));
    s += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    s += static_cast<char>(0x80 | (c & 0x3F));
  }
  return s;
}

// Decodes one line of UTF-8; nothing when it is not valid UTF-8.
std::optional<std::u32string> decodeUtf8(const std::string& text) {
  std::u32string out;
  for (std::size_t i = 0; i < text.size();) {
    auto b = static_cast<unsigned char>(text[i]);
    int extra = b < 0x80 ? 0 : (b & 0xE0) == 0xC0 ? 1 : (b & 0xF0) == 0xE0 ? 2 : (b & 0xF8) == 0xF0 ? 3 : -1;
    if (extra < 0 || i + extra >= text.size() + (extra == 0)) return std::nullopt;
    char32_t c = extra == 0 ? b : extra == 1 ? (b & 0x1F) : extra == 2 ? (b & 0x0F) : (b & 0x07);
    for (int k = 1; k <= extra; ++k) {
      auto next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) return std::nullopt;
      c = (c << 6) | (next & 0x3F);
    }
    out += c;
    i += 1 + extra;
  }
  return out;
}

std::string describe(char32_t c) {
  if (c < 32 || c == 127) {
    char t[16];
    std::snprintf(t, sizeof t, "byte %02X", static_cast<unsigned>(c));
    return t;
  }
  return "\"" + utf8(c) + "\"";
}

// One record of a page: where it is drawn and how wide its lines may be.
struct Box {
  int left = 0, right = 0, top = 0, bottom = 0;
};

enum class Shape { Name, Description, Page };

struct EntryLayout {
  Shape shape = Shape::Page;
  std::vector<Box> boxes;    // Page: one per record
  int top = 0, bottom = 0;   // Description: the rows its lines may use
  bool inGame = false;       // drawn on an in-game screen (names and descriptions always are)
  bool englishOnly = false;  // the screens draw it in English whatever the language
  int line = 0;              // where layout.txt declares it
};

// A source as text, without the byte order mark some editors put in front of UTF-8.
std::string readText(const fs::path& file) {
  std::string text = readSource(file);
  if (text.rfind("\xEF\xBB\xBF", 0) == 0) text.erase(0, 3);
  return text;
}

std::vector<std::string> words(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> w;
  for (std::string s; in >> s;) w.push_back(s);
  return w;
}

void checkRange(long long v, int lo, int hi, const fs::path& file, int line, const std::string& what) {
  if (v < lo || v > hi)
    fail(file, line,
         what + " " + std::to_string(v) + " lies outside " + std::to_string(lo) + " to " + std::to_string(hi));
}

std::vector<EntryLayout> readLayout(const fs::path& file) {
  std::vector<std::optional<EntryLayout>> entries(kEntryCount);
  std::istringstream text(readText(file));
  int n = 0;
  for (std::string line; std::getline(text, line);) {
    ++n;
    if (auto hash = line.find('#'); hash != std::string::npos) line.erase(hash);  // comments
    auto w = words(line);
    if (w.empty()) continue;
    // ENTRY or FIRST-LAST
    int first, last;
    auto dash = w[0].find('-');
    if (dash == std::string::npos) {
      first = last = static_cast<int>(parseNumber(w[0], file, n));
    } else {
      first = static_cast<int>(parseNumber(w[0].substr(0, dash), file, n));
      last = static_cast<int>(parseNumber(w[0].substr(dash + 1), file, n));
    }
    checkRange(first, 0, kEntryCount - 1, file, n, "entry");
    checkRange(last, first, kEntryCount - 1, file, n, "entry");
    if (w.size() < 2) fail(file, n, "expected a shape: name, description TOP BOTTOM or box LEFT RIGHT TOP BOTTOM");
    EntryLayout e;
    e.line = n;
    if (w[1] == "name") {
      if (w.size() != 2) fail(file, n, "a name takes no numbers");
      e.shape = Shape::Name;
      e.inGame = true;
    } else if (w[1] == "description") {
      if (w.size() != 4) fail(file, n, "expected description TOP BOTTOM");
      e.shape = Shape::Description;
      e.inGame = true;
      e.top = static_cast<int>(parseNumber(w[2], file, n));
      e.bottom = static_cast<int>(parseNumber(w[3], file, n));
      checkRange(e.top, 0, 31, file, n, "row");
      checkRange(e.bottom, e.top + 1, 31, file, n, "row");
    } else {
      e.shape = Shape::Page;
      while (w.back() == "in-game" || w.back() == "english") {
        (w.back() == "english" ? e.englishOnly : e.inGame) = true;
        w.pop_back();
      }
      std::size_t i = 1;
      while (i < w.size()) {
        if (w[i] != "box" || i + 4 >= w.size()) fail(file, n, "expected box LEFT RIGHT TOP BOTTOM");
        Box b;
        b.left = static_cast<int>(parseNumber(w[i + 1], file, n));
        b.right = static_cast<int>(parseNumber(w[i + 2], file, n));
        b.top = static_cast<int>(parseNumber(w[i + 3], file, n));
        b.bottom = static_cast<int>(parseNumber(w[i + 4], file, n));
        checkRange(b.left, 1, 39, file, n, "left column");
        checkRange(b.right, b.left + 1, std::min(40, b.left + kMaxLine), file, n, "right column");
        checkRange(b.top, 0, 31, file, n, "row");
        checkRange(b.bottom, b.top + 1, 31, file, n, "row");
        for (const auto& other : e.boxes)
          if (b.top <= other.bottom && other.top <= b.bottom) fail(file, n, "boxes of one entry overlap");
        e.boxes.push_back(b);
        i += 5;
      }
    }
    for (int k = first; k <= last; ++k) {
      if (entries[k])
        fail(file, n,
             "entry " + std::to_string(k) + " is already laid out at line " + std::to_string(entries[k]->line));
      entries[k] = e;
    }
  }
  std::vector<EntryLayout> out;
  for (int k = 0; k < kEntryCount; ++k) {
    if (!entries[k]) fail(file, n, "entry " + std::to_string(k) + " is not laid out");
    out.push_back(*entries[k]);
  }
  return out;
}

// A message as written: records of lines, each line already in font bytes.
struct SourceLine {
  std::vector<int> bytes;
  int line = 0;
};
struct SourceMessage {
  int entry = -1;
  int line = 0;
  std::vector<std::vector<SourceLine>> records;
};

std::vector<int> fontBytes(const std::string& text, const fs::path& file, int line) {
  auto decoded = decodeUtf8(text);
  if (!decoded) fail(file, line, "not valid UTF-8");
  std::vector<int> bytes;
  for (char32_t c : *decoded) {
    int b = drawableByte(c);
    if (b < 0) fail(file, line, describe(c) + " cannot be drawn: the message font has no glyph for it");
    bytes.push_back(b);
  }
  return bytes;
}

void trimBlankLines(std::vector<SourceLine>& lines) {
  while (!lines.empty() && lines.back().bytes.empty()) lines.pop_back();
  auto firstText = std::find_if(lines.begin(), lines.end(), [](const SourceLine& l) { return !l.bytes.empty(); });
  lines.erase(lines.begin(), firstText);
}

// Entries of `skip` (those drawn in English only, for a translation) must be left out of the file.
std::vector<SourceMessage> readLanguage(const fs::path& file, const std::vector<EntryLayout>& layout,
                                        bool skipEnglishOnly) {
  auto skipped = [&](int entry) { return skipEnglishOnly && entry < kEntryCount && layout[entry].englishOnly; };
  auto after = [&](int entry) {
    do ++entry;
    while (skipped(entry));
    return entry;
  };
  std::vector<SourceMessage> messages;
  std::istringstream text(readText(file));
  int n = 0;
  auto close = [&]() {
    if (messages.empty()) return;
    auto& m = messages.back();
    for (auto& r : m.records) {
      trimBlankLines(r);
      if (r.empty()) fail(file, m.line, "entry " + std::to_string(m.entry) + " has an empty part");
    }
  };
  for (std::string line; std::getline(text, line);) {
    ++n;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line[0] == '#') continue;
    if (!line.empty() && line[0] == '@') {
      close();
      int entry = static_cast<int>(parseNumber(line.substr(1), file, n));
      checkRange(entry, 0, kEntryCount - 1, file, n, "entry");
      int expected = after(messages.empty() ? -1 : messages.back().entry);
      if (skipped(entry))
        fail(file, n,
             "entry " + std::to_string(entry) + " is drawn in English only (layout.txt:" +
                 std::to_string(layout[entry].line) + "): leave it out of the translations");
      if (entry < expected)
        fail(file, n,
             "entry " + std::to_string(entry) + " comes after entry " + std::to_string(expected - 1) +
                 ": entries go in order");
      if (entry > expected)
        fail(file, n, "entry " + std::to_string(expected) + " is missing (before entry " + std::to_string(entry) + ")");
      messages.push_back({entry, n, {{}}});
      continue;
    }
    if (messages.empty()) {
      if (line.find_first_not_of(" \t") == std::string::npos) continue;
      fail(file, n, "text before the first entry (an entry starts with @NUMBER)");
    }
    auto end = line.find_last_not_of(" \t");
    line = end == std::string::npos ? std::string() : line.substr(0, end + 1);
    if (line == "--") {
      messages.back().records.emplace_back();
      continue;
    }
    messages.back().records.back().push_back({fontBytes(line, file, n), n});
  }
  close();
  int have = after(messages.empty() ? -1 : messages.back().entry);
  if (have < kEntryCount) fail(file, n, "entry " + std::to_string(have) + " is missing (the file ends)");
  return messages;
}

// Checks that the lines fit `width` columns and `rows` cell rows (two a line); returns the first
// row that centres them vertically in [top, bottom].
int placeLines(const std::vector<SourceLine>& lines, int width, int top, int bottom, const fs::path& file,
               const std::string& what) {
  for (const auto& l : lines) {
    if (static_cast<int>(l.bytes.size()) > width)
      fail(file, l.line,
           "this line has " + std::to_string(l.bytes.size()) + " characters; " + what + " takes at most " +
               std::to_string(width));
  }
  int rows = bottom - top + 1;
  int need = 2 * static_cast<int>(lines.size());
  if (need > rows)
    fail(file, lines.front().line,
         what + " has room for " + std::to_string(rows / 2) + " lines, this text has " + std::to_string(lines.size()));
  return top + (rows - need) / 2;
}

// The in-game screens draw plane A 4 pixels low, so the lower part of a line's letters (rows 12-15:
// the tails of g, j, p, q, y and the comma) lies in the 8-line strip of the line below, and moves with
// that line's half-cell shift. A line there that would be shifted gets a trailing blank instead, so
// that every line sits on whole cells and keeps its tails under it.
std::vector<SourceLine> onWholeCells(std::vector<SourceLine> lines, int width) {
  for (auto& l : lines)
    if ((width - static_cast<int>(l.bytes.size())) % 2 != 0) l.bytes.push_back(' ');
  return lines;
}

// A message's bytes after its header, marking which of them are letters (the rest are layout
// bytes: headers, row, continuation and padding, written as escapes in the file).
struct Body {
  std::vector<int> bytes;
  std::vector<bool> letter;
  void layout(int b) {
    bytes.push_back(b);
    letter.push_back(false);
  }
  void word(int value) {
    layout((value >> 8) & 0xFF);
    layout(value & 0xFF);
  }
  void lines(const std::vector<SourceLine>& lines) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
      if (i) {
        bytes.push_back(kLineEnd);
        letter.push_back(true);
      }
      bytes.insert(bytes.end(), lines[i].bytes.begin(), lines[i].bytes.end());
      letter.insert(letter.end(), lines[i].bytes.size(), true);
    }
  }
  std::size_t size() const { return bytes.size(); }
};

// Writes a message in the file's form: the page strings are joined by 0 in the image, and the last
// is followed by 0 when "terminated", so the records' end bytes (`cuts`) split the pages; letters
// stay letters, 255 becomes "\n", and layout bytes become "{XX}" escapes.
json messageJson(const std::vector<int>& header, const Body& body, const std::vector<std::size_t>& cuts) {
  auto pageText = [&](std::size_t from, std::size_t to) {
    std::string s;
    for (std::size_t i = from; i < to; ++i) {
      int b = body.bytes[i];
      bool letter = false;
      if (!body.letter[i]) {
        char t[8];
        std::snprintf(t, sizeof t, "{%02X}", b);
        s += t;
        continue;
      }
      if (b == kLineEnd) {
        s += '\n';
        continue;
      }
      if (b >= 32 && b < 127 && b != '{') {
        s += static_cast<char>(b);
        continue;
      }
      for (const auto& a : kAccented)
        if (a.byte == b) {
          s += utf8(a.codePoint);
          letter = true;
        }
      if (!letter) {
        char t[8];
        std::snprintf(t, sizeof t, "{%02X}", b);
        s += t;
      }
    }
    return s;
  };
  json m = json::object();
  if (!header.empty()) m["header"] = header;
  json pages = json::array();
  std::size_t from = 0;
  for (std::size_t cut : cuts) {
    pages.push_back(pageText(from, cut));
    from = cut + 1;
  }
  bool terminated = body.size() > 0 && body.bytes.back() == 0 && from < body.size();
  pages.push_back(pageText(from, terminated ? body.size() - 1 : body.size()));
  m["pages"] = pages;
  if (!terminated) m["terminated"] = false;
  return m;
}

struct LaidOut {
  json message;
  std::size_t bytes = 0;  // its length in the text image
};

// Lays out one message as the screens read it and writes it in the file's form.
LaidOut layOut(const SourceMessage& m, const EntryLayout& layout, const fs::path& file) {
  const std::string entry = "entry " + std::to_string(m.entry);
  std::size_t wanted = layout.shape == Shape::Page ? layout.boxes.size() : 1;
  if (m.records.size() != wanted)
    fail(file, m.line,
         entry + " has " + std::to_string(m.records.size()) +
             " parts; its layout (layout.txt:" + std::to_string(layout.line) + ") has " + std::to_string(wanted));
  std::vector<int> header;
  Body body;
  std::vector<std::size_t> cuts;
  switch (layout.shape) {
    case Shape::Name: {
      const auto& lines = m.records[0];
      if (lines.size() != 1) fail(file, lines[1].line, entry + " is an object name: one line");
      placeLines(lines, kNameWidth, 0, 1, file, "an object name");
      body.lines(onWholeCells(lines, kNameWidth));
      break;
    }
    case Shape::Description: {
      int row = placeLines(m.records[0], kDescriptionWidth, layout.top, layout.bottom, file, "an area description");
      body.layout(row);
      body.lines(onWholeCells(m.records[0], kDescriptionWidth));
      break;
    }
    case Shape::Page: {
      for (std::size_t r = 0; r < m.records.size(); ++r) {
        const Box& b = layout.boxes[r];
        int row = placeLines(m.records[r], b.right - b.left, b.top, b.bottom, file,
                             entry + "'s box " + std::to_string(r + 1));
        if (r == 0) {
          header = {b.left, b.right, row};  // the first record's header is the message's "header"
        } else {
          body.word(b.left);
          body.word(b.right);
          body.word(row);
        }
        body.lines(layout.inGame ? onWholeCells(m.records[r], b.right - b.left) : m.records[r]);
        cuts.push_back(body.size());
        body.layout(0);
        bool last = r + 1 == m.records.size();
        body.layout(last ? 0 : kContinues);
        // The next record starts at the first even offset after the continuation byte; the
        // message starts even (the header is six bytes), so parity within the body decides.
        if (!last && body.size() % 2) body.layout(0);
      }
      break;
    }
  }
  if (layout.shape != Shape::Page) {
    cuts.push_back(body.size());
    body.layout(0);
  }
  // Every message keeps an even length so that the next one, and its records, start even.
  if ((2 * header.size() + body.size()) % 2) body.layout(0);
  // The last cut is implied by "terminated" when it ends the body.
  if (!cuts.empty() && cuts.back() + 1 == body.size()) cuts.pop_back();
  return {messageJson(header, body, cuts), 2 * header.size() + body.size()};
}

std::string formatFile(const json& doc) {
  std::string out = "{\n";
  out += "  \"language\": " + doc["language"].dump() + ",\n";
  out += "  \"block\": " + doc["block"].dump() + ",\n";
  out += "  \"entries\": " + doc["entries"].dump() + ",\n";
  out += "  \"messages\": [\n";
  const auto& ms = doc["messages"];
  for (std::size_t i = 0; i < ms.size(); ++i) out += "    " + ms[i].dump() + (i + 1 < ms.size() ? ",\n" : "\n");
  out += "  ]\n}\n";
  return out;
}

}  // namespace

int drawableByte(char32_t c) {
  if ((c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z')) return static_cast<int>(c);
  switch (c) {
    case U' ':
    case U'!':
    case U'"':
    case U'\'':
    case U',':
    case U'.':
    case U'?':
    case U'0':
    case U'1':
    case U'3':
    case U'9':
      return static_cast<int>(c);
    default:
      break;
  }
  for (const auto& a : kAccented)
    if (a.codePoint == c) return a.byte;
  return -1;
}

std::vector<TextFile> buildTexts(const fs::path& textDir) {
  const fs::path layoutFile = textDir / "layout.txt";
  auto layout = readLayout(layoutFile);
  std::vector<TextFile> files;
  const fs::path englishFile = textDir / (std::string(kCodes[0]) + ".txt");
  const auto english = readLanguage(englishFile, layout, false);
  for (std::size_t lang = 0; lang < std::size(kCodes); ++lang) {
    const fs::path file = textDir / (std::string(kCodes[lang]) + ".txt");
    auto messages = lang == 0 ? english : readLanguage(file, layout, true);
    // Every language's block holds every entry: an English-only one carries the English words.
    for (const auto& m : english)
      if (layout[m.entry].englishOnly && lang != 0)
        messages.insert(
            std::find_if(messages.begin(), messages.end(), [&](const SourceMessage& t) { return t.entry > m.entry; }),
            m);
    json doc;
    doc["language"] = kCodes[lang];
    char block[8];
    std::snprintf(block, sizeof block, "%06X", kBlockAddresses[lang]);
    doc["block"] = block;
    json entries = json::array();
    json out = json::array();
    std::size_t size = 2 * kEntryCount;
    for (const auto& m : messages) {
      auto one = layOut(m, layout[m.entry], file);
      // The entry table holds 16-bit offsets: every message must start below 65536.
      if (size > 0xFFFF)
        fail(file, m.line,
             "the messages before entry " + std::to_string(m.entry) + " fill the 64 KB a text block can address");
      size += one.bytes;
      entries.push_back(out.size());
      out.push_back(std::move(one.message));
    }
    doc["entries"] = entries;
    doc["messages"] = out;
    files.push_back({kCodes[lang], formatFile(doc)});
  }
  return files;
}

}  // namespace builder
