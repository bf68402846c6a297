#include "audio/wav.h"

#include <cstring>
#include <limits>

#include "base/asset_store.h"
#include "base/log.h"

namespace audio {
namespace {

void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
void put16(std::vector<std::uint8_t>& out, std::uint16_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}
void putText(std::vector<std::uint8_t>& out, const char* text) {
  out.insert(out.end(), text, text + std::strlen(text));
}

}  // namespace

std::optional<std::vector<std::uint8_t>> wavBytes(std::span<const std::int16_t> samples, int rate) {
  const std::uint64_t dataBytes = static_cast<std::uint64_t>(samples.size()) * 2;
  // The RIFF size is the data size + 36 in 32 bits; beyond that the file would be unreadable.
  if (dataBytes + 36 > std::numeric_limits<std::uint32_t>::max()) {
    app::logMessage(app::kError, "a WAV file cannot hold %llu bytes of samples",
                    static_cast<unsigned long long>(dataBytes));
    return std::nullopt;
  }
  std::vector<std::uint8_t> out;
  out.reserve(44 + dataBytes);
  putText(out, "RIFF");
  put32(out, static_cast<std::uint32_t>(dataBytes + 36));
  putText(out, "WAVEfmt ");
  put32(out, 16);
  put16(out, 1);
  put16(out, 2);
  put32(out, static_cast<std::uint32_t>(rate));
  put32(out, static_cast<std::uint32_t>(rate) * 4);
  put16(out, 4);
  put16(out, 16);
  putText(out, "data");
  put32(out, static_cast<std::uint32_t>(dataBytes));
  for (std::int16_t s : samples) put16(out, static_cast<std::uint16_t>(s));
  return out;
}

bool writeWav(const std::filesystem::path& path, std::span<const std::int16_t> samples, int rate) {
  const auto bytes = wavBytes(samples, rate);
  if (!bytes) return false;
  return app::writeFile(path, *bytes);
}

}  // namespace audio
