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

// The 44-byte header for `dataBytes` of samples; empty (logged) when the sizes would not fit.
std::optional<std::vector<std::uint8_t>> wavHeader(std::uint64_t dataBytes, int rate) {
  // The RIFF size is the data size + 36 in 32 bits; beyond that the file would be unreadable.
  if (dataBytes + 36 > std::numeric_limits<std::uint32_t>::max()) {
    app::logMessage(app::kError, "a WAV file cannot hold %llu bytes of samples",
                    static_cast<unsigned long long>(dataBytes));
    return std::nullopt;
  }
  std::vector<std::uint8_t> out;
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
  return out;
}

std::optional<std::vector<std::uint8_t>> wavBytes(std::span<const std::int16_t> samples, int rate) {
  auto out = wavHeader(static_cast<std::uint64_t>(samples.size()) * 2, rate);
  if (!out) return std::nullopt;
  out->reserve(44 + samples.size() * 2);
  for (std::int16_t s : samples) put16(*out, static_cast<std::uint16_t>(s));
  return out;
}

bool writeWav(const std::filesystem::path& path, std::span<const std::int16_t> samples, int rate) {
  const auto bytes = wavBytes(samples, rate);
  if (!bytes) return false;
  return app::replaceFile(path, *bytes);
}

WavStream::~WavStream() {
  if (file_) std::fclose(file_);
}

bool WavStream::open(const std::filesystem::path& path, int rate, std::uint64_t frames) {
  const auto header = wavHeader(frames * 4, rate);
  if (!header) return false;
  path_ = path;
  std::error_code ec;
  if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path(), ec);
  file_ = std::fopen(path.string().c_str(), "wb");
  if (!file_) {
    app::logMessage(app::kError, "cannot write %s", path.string().c_str());
    return false;
  }
  left_ = frames * 2;
  if (std::fwrite(header->data(), 1, header->size(), file_) != header->size()) {
    app::logMessage(app::kError, "cannot write %s", path.string().c_str());
    return false;
  }
  return true;
}

bool WavStream::write(std::span<const std::int16_t> samples) {
  if (!file_ || samples.size() > left_) {
    app::logMessage(app::kError, "%s: more samples than the file was opened for", path_.string().c_str());
    return false;
  }
  buffer_.clear();
  for (std::int16_t s : samples) put16(buffer_, static_cast<std::uint16_t>(s));
  left_ -= samples.size();
  if (std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size()) {
    app::logMessage(app::kError, "cannot write %s", path_.string().c_str());
    return false;
  }
  return true;
}

bool WavStream::close() {
  if (!file_) return false;
  const bool flushed = std::fclose(file_) == 0;
  file_ = nullptr;
  if (!flushed || left_ != 0) {
    app::logMessage(app::kError, "cannot write %s", path_.string().c_str());
    return false;
  }
  return true;
}

}  // namespace audio
