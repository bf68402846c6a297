#include "palette.h"

#include "source_error.h"

namespace builder {

std::uint16_t cramWord(int r, int g, int b) {
  return static_cast<std::uint16_t>((b << 9) | (g << 5) | (r << 1));
}

PaletteLine readPaletteLine(const nlohmann::json& value, const std::filesystem::path& file, const std::string& where) {
  if (!value.is_array() || value.size() != 16) fail(file, 0, where + ": a palette line needs 16 colours");
  PaletteLine line{};
  for (std::size_t i = 0; i < 16; ++i) {
    const auto& c = value[i];
    bool ok = c.is_string() && c.get<std::string>().size() == 3;
    if (ok) {
      for (char d : c.get<std::string>()) ok = ok && d >= '0' && d <= '7';
    }
    if (!ok) fail(file, 0, where + "[" + std::to_string(i) + "]: a colour is three digits 0-7 (red, green, blue)");
    const std::string s = c.get<std::string>();
    line[i] = cramWord(s[0] - '0', s[1] - '0', s[2] - '0');
  }
  return line;
}

}  // namespace builder
