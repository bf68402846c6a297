#include "rom_image.h"

#include <cstdio>
#include <sstream>

#include "rom_generators.h"
#include "source_error.h"

namespace builder {

namespace {

std::string hex6(std::uint32_t a) {
  char text[16];
  std::snprintf(text, sizeof text, "%06X", a);
  return text;
}

std::vector<std::string> splitWords(const std::string& line) {
  std::vector<std::string> words;
  std::istringstream in(line);
  std::string w;
  while (in >> w) words.push_back(w);
  return words;
}

struct Statement {
  int line;
  std::vector<std::string> words;
};

}  // namespace

void RomImage::put(std::uint32_t address, const std::vector<std::uint8_t>& bytes, const std::string& where) {
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    std::uint32_t a = address + static_cast<std::uint32_t>(i);
    if (a >= kRomEnd) throw SourceError(where + ": byte at " + hex6(a) + " lies past the cartridge end 080000");
    auto [it, inserted] = bytes_.try_emplace(a, Cell{bytes[i], where, false});
    if (!inserted && it->second.reserved)
      throw SourceError(where + ": byte at " + hex6(a) + " lies in " + it->second.where);
    if (!inserted && it->second.value != bytes[i]) {
      throw SourceError(where + ": byte at " + hex6(a) + " disagrees with the one placed by " + it->second.where);
    }
  }
}

void RomImage::reserve(std::uint32_t address, std::uint32_t size, const std::string& what) {
  for (std::uint32_t i = 0; i < size; ++i) {
    std::uint32_t a = address + i;
    auto [it, inserted] = bytes_.try_emplace(a, Cell{0, what, true});
    if (!inserted) throw SourceError(it->second.where + ": byte at " + hex6(a) + " lies in " + what);
  }
}

void assembleRomSource(const std::filesystem::path& file, RomImage& image) {
  std::istringstream text(readSource(file));
  std::vector<Statement> statements;
  std::string line;
  for (int n = 1; std::getline(text, line); ++n) {
    if (auto hash = line.find('#'); hash != std::string::npos) line.erase(hash);
    auto words = splitWords(line);
    if (!words.empty()) statements.push_back({n, words});
  }

  // Two passes: the first places labels, the second emits bytes with every label known.
  std::map<std::string, std::uint32_t> labels;
  for (int pass = 0; pass < 2; ++pass) {
    bool open = false;
    RomSection section;
    std::uint32_t pc = 0;
    int sectionLine = 0;
    auto close = [&] {
      if (open && pass == 1) {
        image.put(section.address, section.bytes, file.generic_string() + ":" + std::to_string(sectionLine));
        image.addSection(section);
      }
      open = false;
    };
    for (const auto& st : statements) {
      const auto& w = st.words;
      const std::string& op = w[0];
      auto number = [&](const std::string& token) -> long long {
        if (token[0] == '@') {
          auto it = labels.find(token.substr(1));
          if (it == labels.end()) {
            if (pass == 0) return 0;
            fail(file, st.line, "unknown label " + token);
          }
          return it->second;
        }
        return parseNumber(token, file, st.line);
      };
      if (op == "table" || op == "rule") {
        close();
        std::size_t need = op == "table" ? 3 : 2;
        if (w.size() < need)
          fail(file, st.line, op == "table" ? "expected: table NAME ADDRESS [READER...]" : "expected: rule ADDRESS");
        section = RomSection{};
        if (op == "table") {
          section.name = w[1];
          for (std::size_t i = 3; i < w.size(); ++i) section.reader += (i > 3 ? " " : "") + w[i];
        }
        long long a = parseNumber(w[need - 1], file, st.line);
        if (a < 0 || a >= kRomEnd)
          fail(file, st.line, "address " + w[need - 1] + " lies outside the cartridge (000000-07FFFF)");
        section.address = static_cast<std::uint32_t>(a);
        pc = section.address;
        sectionLine = st.line;
        open = true;
        continue;
      }
      if (!open) fail(file, st.line, "\"" + op + "\" before any table or rule");
      if (op == "label") {
        if (w.size() != 2) fail(file, st.line, "expected: label NAME");
        if (pass == 0) {
          if (!labels.emplace(w[1], pc).second) fail(file, st.line, "label " + w[1] + " defined twice");
        }
      } else if (op == "at") {
        if (w.size() != 2) fail(file, st.line, "expected: at ADDRESS");
        long long a = parseNumber(w[1], file, st.line);
        if (a != pc)
          fail(file, st.line, "this point lies at " + hex6(pc) + ", expected " + hex6(static_cast<std::uint32_t>(a)));
      } else if (op == "byte" || op == "word" || op == "long" || op == "ptr") {
        int size = op == "byte" ? 1 : op == "word" ? 2 : 4;
        for (std::size_t i = 1; i < w.size(); ++i) {
          long long v = number(w[i]);
          if (op == "ptr" && (v < 0 || v >= kRomEnd)) {
            fail(file, st.line, "pointer " + w[i] + " lies at or past the cartridge end 080000");
          }
          if (size < 4 && (v < -(1LL << (8 * size - 1)) || v >= (1LL << (8 * size)))) {
            fail(file, st.line, "value " + w[i] + " does not fit a " + op);
          }
          for (int b = size - 1; b >= 0; --b) section.bytes.push_back(static_cast<std::uint8_t>(v >> (8 * b)));
          pc += size;
        }
      } else if (isGeneratedStatement(op)) {
        auto bytes = generatedBytes(w, file, st.line);
        section.bytes.insert(section.bytes.end(), bytes.begin(), bytes.end());
        pc += static_cast<std::uint32_t>(bytes.size());
      } else {
        fail(file, st.line, "unknown statement \"" + op + "\"");
      }
    }
    close();
    if (pass == 0) section = RomSection{};
  }
}

}  // namespace builder
