#include "rom_generators.h"

#include <cmath>

#include "source_error.h"

namespace builder {

namespace {

void pushWord(std::vector<std::uint8_t>& out, long long v) {
  out.push_back(static_cast<std::uint8_t>(v >> 8));
  out.push_back(static_cast<std::uint8_t>(v));
}

std::vector<std::uint8_t> sineWords(const std::vector<std::string>& w, const std::filesystem::path& file, int line) {
  if (w.size() != 5 && w.size() != 6) fail(file, line, "expected: sine COUNT PERIOD AMPLITUDE OFFSET [START]");
  const long long count = parseNumber(w[1], file, line);
  const long long period = parseNumber(w[2], file, line);
  const long long amplitude = parseNumber(w[3], file, line);
  const long long offset = parseNumber(w[4], file, line);
  const long long start = w.size() == 6 ? parseNumber(w[5], file, line) : 0;  // a START of PERIOD / 4 gives a cosine
  if (count < 1 || count > 0x10000) fail(file, line, "a sine table of " + w[1] + " words");
  if (period < 1) fail(file, line, "a sine period of " + w[2]);
  if (start < 0) fail(file, line, "a sine start of " + w[5]);
  std::vector<std::uint8_t> out;
  const double turn = 2.0 * std::acos(-1.0);
  for (long long i = 0; i < count; ++i) {
    const long long v = std::llround(static_cast<double>(offset) +
                                     static_cast<double>(amplitude) * std::sin(turn * static_cast<double>((i + start) % period) /
                                                                               static_cast<double>(period)));
    if (v < -32768 || v > 65535) fail(file, line, "sine value " + std::to_string(v) + " does not fit a word");
    pushWord(out, v);
  }
  return out;
}

void checkRow(const std::vector<std::string>& w, const std::filesystem::path& file, int line) {
  if (w.size() != 2) fail(file, line, "expected: " + w[0] + " TEXT of 'X' and '.'");
  for (char c : w[1])
    if (c != 'X' && c != '.') fail(file, line, std::string("'") + c + "' in a " + w[0] + " is neither 'X' nor '.'");
}

}  // namespace

bool isGeneratedStatement(const std::string& op) {
  return op == "sine" || op == "bitrow" || op == "dotrow";
}

std::vector<std::uint8_t> generatedBytes(const std::vector<std::string>& w, const std::filesystem::path& file,
                                         int line) {
  if (w[0] == "sine") return sineWords(w, file, line);
  checkRow(w, file, line);
  std::vector<std::uint8_t> out;
  const std::string& text = w[1];
  if (w[0] == "dotrow") {
    for (char c : text) pushWord(out, c == 'X' ? 1 : 0);
    return out;
  }
  if (text.size() % 8 != 0) fail(file, line, "a bitrow of " + std::to_string(text.size()) + " bits is not whole bytes");
  for (std::size_t i = 0; i < text.size(); i += 8) {
    std::uint8_t b = 0;
    for (std::size_t k = 0; k < 8; ++k) b = static_cast<std::uint8_t>(b << 1 | (text[i + k] == 'X' ? 1 : 0));
    out.push_back(b);
  }
  return out;
}

}  // namespace builder
