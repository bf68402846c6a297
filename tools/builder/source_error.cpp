#include "source_error.h"

#include <fstream>
#include <sstream>

namespace builder {

void fail(const std::filesystem::path& file, int line, const std::string& message) {
  std::string text = file.generic_string();
  if (line > 0) {
    text.push_back(':');
    text.append(std::to_string(line));
  }
  text.append(": ");
  text.append(message);
  throw SourceError(text);
}

std::string readSource(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) fail(file, 0, "cannot open");
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

long long parseNumber(const std::string& text, const std::filesystem::path& file, int line) {
  std::string digits = text;
  int base = 10;
  bool negative = false;
  if (!digits.empty() && digits[0] == '-') {
    negative = true;
    digits.erase(0, 1);
  }
  if (digits.rfind("0x", 0) == 0 || digits.rfind("0X", 0) == 0) {
    base = 16;
    digits.erase(0, 2);
  } else if (!digits.empty() && digits[0] == '$') {
    base = 16;
    digits.erase(0, 1);
  }
  if (digits.empty()) fail(file, line, "expected a number, found \"" + text + "\"");
  long long value = 0;
  for (char c : digits) {
    int d;
    if (c >= '0' && c <= '9')
      d = c - '0';
    else if (base == 16 && c >= 'a' && c <= 'f')
      d = c - 'a' + 10;
    else if (base == 16 && c >= 'A' && c <= 'F')
      d = c - 'A' + 10;
    else
      fail(file, line, "expected a number, found \"" + text + "\"");
    value = value * base + d;
    if (value > 0x7FFFFFFFLL) fail(file, line, "number out of range: " + text);
  }
  return negative ? -value : value;
}

}  // namespace builder
