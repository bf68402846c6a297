#include "ui/saves.h"

#include <fcntl.h>
#include <lodepng.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <nlohmann/json.hpp>
#include <system_error>

#include "base/asset_store.h"
#include "base/log.h"

namespace ui {
namespace fs = std::filesystem;
using nlohmann::json;

namespace {

constexpr const char* kFormat = "brumo-save";
constexpr int kVersion = 1;
constexpr int kThumbSourceRows = 192;  // the status panel below is cut off

// Every console variable is at most 32 bits wide, read signed or unsigned.
constexpr std::int64_t kConsoleWidth = std::int64_t{1} << 32;

struct FieldRange {
  const char* name;
  std::int64_t low;
  std::int64_t high;
};

// Fields whose values become indexes into tables of a fixed size.
constexpr FieldRange kIndexFields[] = {
    {"language", 0, 4},             // the text images
    {"screen_kind", 0, 4},          // the waiting screens
    {"objects_here_count", 0, 32},  // the longs of objects_here
};

// The inventory's words name object records of 8 bytes; a negative word is an empty place.
constexpr std::size_t kObjectRecordSize = 8;

char hexDigit(unsigned v) {
  return "0123456789abcdef"[v & 15];
}

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string toHex(const std::vector<std::uint8_t>& bytes) {
  std::string text(bytes.size() * 2, '0');
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    text[2 * i] = hexDigit(bytes[i] >> 4);
    text[2 * i + 1] = hexDigit(bytes[i]);
  }
  return text;
}

bool fromHex(const std::string& text, std::vector<std::uint8_t>& bytes) {
  if (text.size() != bytes.size() * 2) return false;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const int high = hexValue(text[2 * i]);
    const int low = hexValue(text[2 * i + 1]);
    if (high < 0 || low < 0) return false;
    bytes[i] = static_cast<std::uint8_t>(high << 4 | low);
  }
  return true;
}

void setReason(std::string* reason, const char* value) {
  if (reason) *reason = value;
}

// Writes the text to the path and makes sure it reached the disk before returning true.
bool writeSynced(const fs::path& path, const std::string& text) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) {
    app::logMessage(app::kError, "cannot write %s", path.string().c_str());
    return false;
  }
  bool ok = true;
  std::size_t done = 0;
  while (ok && done < text.size()) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0)
      ok = false;
    else
      done += static_cast<std::size_t>(n);
  }
  // Departure: the file is synced before it replaces the previous save. Renamed unsynced, a power cut could
  // leave an empty file in the slot where a good save was.
  if (ok && ::fsync(fd) != 0) ok = false;
  if (::close(fd) != 0) ok = false;
  if (!ok) app::logMessage(app::kError, "cannot write %s", path.string().c_str());
  return ok;
}

std::uint32_t averageBox(const Picture& picture, int x0, int x1, int y0, int y1) {
  std::uint64_t r = 0, g = 0, b = 0, n = 0;
  for (int y = y0; y < y1; ++y) {
    const std::uint32_t* row = picture.pixels.data() + static_cast<std::size_t>(y) * picture.width;
    for (int x = x0; x < x1; ++x) {
      const std::uint32_t p = row[x];
      r += p >> 16 & 0xFF;
      g += p >> 8 & 0xFF;
      b += p & 0xFF;
      ++n;
    }
  }
  if (n == 0) return 0xFF000000u;
  return 0xFF000000u | static_cast<std::uint32_t>(r / n) << 16 | static_cast<std::uint32_t>(g / n) << 8 |
         static_cast<std::uint32_t>(b / n);
}

}  // namespace

fs::path slotPath(const fs::path& folder, int slot) {
  if (folder.empty() || slot < 0 || slot >= kSlotCount) return {};
  if (slot == 0) return folder / "quicksave.json";
  return folder / "saves" / ("slot_" + std::to_string(slot) + ".json");
}

fs::path thumbnailPath(const fs::path& savePath) {
  fs::path thumb = savePath;
  thumb.replace_extension(".png");
  return thumb;
}

std::string saveText(const sim::GameState& state, std::int64_t savedAt) {
  json fields = json::object();
  for (const sim::FieldInfo& field : sim::gameStateFields()) {
    const std::string name(field.name);
    if (field.isScalar())
      fields[name] = state.scalar(static_cast<std::size_t>(field.scalarIndex));
    else
      fields[name] = toHex(state.block(static_cast<std::size_t>(field.blockIndex)));
  }
  json top = json::object();
  top["format"] = kFormat;
  top["version"] = kVersion;
  top["saved_at"] = savedAt;
  top["state"] = std::move(fields);
  return top.dump();
}

bool writeSave(const fs::path& path, const sim::GameState& state, std::int64_t savedAt) {
  if (path.empty()) return false;
  const std::string text = saveText(state, savedAt);
  std::error_code ec;
  if (path.has_parent_path()) fs::create_directories(path.parent_path(), ec);
  fs::path temporary = path;
  temporary += ".tmp";
  if (!writeSynced(temporary, text)) return false;
  fs::rename(temporary, path, ec);
  if (ec) {
    app::logMessage(app::kError, "%s: %s", path.string().c_str(), ec.message().c_str());
    return false;
  }
  return true;
}

std::optional<std::string> fieldOutOfRange(const sim::GameState& state) {
  for (const sim::FieldInfo& field : sim::gameStateFields()) {
    if (!field.isScalar()) continue;
    const std::int64_t v = state.scalar(static_cast<std::size_t>(field.scalarIndex));
    if (v <= -kConsoleWidth || v >= kConsoleWidth) return std::string(field.name);
  }
  for (const FieldRange& range : kIndexFields) {
    const std::optional<std::int64_t> v = state.get(range.name);
    if (v && (*v < range.low || *v > range.high)) return std::string(range.name);
  }
  const std::size_t objects = state.objects.size() / kObjectRecordSize;
  for (std::size_t i = 0; i + 1 < state.inventory.size(); i += 2) {
    const std::int16_t word = static_cast<std::int16_t>(state.inventory[i] << 8 | state.inventory[i + 1]);
    if (word >= 0 && static_cast<std::size_t>(word) >= objects) return std::string("inventory");
  }
  return std::nullopt;
}

std::optional<LoadedSave> readSave(const fs::path& path, std::string* reason) {
  std::error_code ec;
  if (path.empty() || !fs::exists(path, ec)) {
    setReason(reason, kReasonMissing);
    return std::nullopt;
  }
  const std::optional<std::string> text = app::readTextFile(path);
  const json top = text ? json::parse(*text, nullptr, false) : json();
  if (!top.is_object() || !top.contains("format") || !top["format"].is_string() || top["format"] != kFormat) {
    setReason(reason, kReasonUnreadable);
    return std::nullopt;
  }
  if (!top.contains("version") || !top["version"].is_number_integer() || top["version"].get<std::int64_t>() != 1) {
    setReason(reason, kReasonVersion);
    return std::nullopt;
  }
  if (!top.contains("state") || !top["state"].is_object() || !top["state"].contains("area")) {
    setReason(reason, kReasonUnreadable);
    return std::nullopt;
  }
  LoadedSave loaded;
  if (top.contains("saved_at") && top["saved_at"].is_number_integer())
    loaded.saved_at = top["saved_at"].get<std::int64_t>();
  const json& fields = top["state"];
  for (const sim::FieldInfo& field : sim::gameStateFields()) {
    const auto member = fields.find(std::string(field.name));
    if (member == fields.end()) continue;
    if (field.isScalar()) {
      if (!member->is_number_integer()) {
        setReason(reason, kReasonUnreadable);
        return std::nullopt;
      }
      loaded.state.scalar(static_cast<std::size_t>(field.scalarIndex)) = member->get<std::int64_t>();
    } else {
      std::vector<std::uint8_t>& block = loaded.state.block(static_cast<std::size_t>(field.blockIndex));
      if (!member->is_string() || !fromHex(member->get<std::string>(), block)) {
        app::logMessage(app::kError, "%s: the field %s is not readable", path.string().c_str(),
                        std::string(field.name).c_str());
        setReason(reason, kReasonUnreadable);
        return std::nullopt;
      }
    }
  }
  // Departure: values that the game would use as indexes, or that no console variable can hold, are checked
  // here. The console never met a hand-edited or damaged save; taking one would read and write outside the
  // game's tables, so such a save is refused and the running game stays as it was.
  if (const std::optional<std::string> field = fieldOutOfRange(loaded.state)) {
    app::logMessage(app::kError, "%s: the field %s is out of range", path.string().c_str(), field->c_str());
    setReason(reason, kReasonUnreadable);
    return std::nullopt;
  }
  return loaded;
}

Picture makeThumbnail(const Picture& picture) {
  Picture thumb{kThumbWidth, kThumbHeight, std::vector<std::uint32_t>(kThumbWidth * kThumbHeight, 0xFF000000u)};
  const int w = picture.width;
  const int h = std::min(picture.height, kThumbSourceRows);
  if (w <= 0 || h <= 0 || picture.pixels.size() < static_cast<std::size_t>(picture.width) * picture.height)
    return thumb;
  for (int j = 0; j < kThumbHeight; ++j) {
    const int y0 = j * h / kThumbHeight;
    const int y1 = std::max(y0 + 1, (j + 1) * h / kThumbHeight);
    for (int i = 0; i < kThumbWidth; ++i) {
      const int x0 = i * w / kThumbWidth;
      const int x1 = std::max(x0 + 1, (i + 1) * w / kThumbWidth);
      thumb.pixels[static_cast<std::size_t>(j) * kThumbWidth + i] =
          averageBox(picture, x0, std::min(x1, w), y0, std::min(y1, h));
    }
  }
  return thumb;
}

bool writeSlot(const fs::path& folder, int slot, const sim::GameState& state, const Picture& picture,
               std::int64_t savedAt) {
  const fs::path path = slotPath(folder, slot);
  if (path.empty() || !writeSave(path, state, savedAt)) return false;
  const fs::path thumb = thumbnailPath(path);
  // Departure: the previous save's thumbnail goes first, so a thumbnail that cannot be written leaves the
  // new save without a picture instead of showing the old moment beside it.
  std::error_code ec;
  fs::remove(thumb, ec);
  writePng(thumb, makeThumbnail(picture));
  return true;
}

std::array<SlotInfo, kSlotCount> listSlots(const fs::path& folder) {
  std::array<SlotInfo, kSlotCount> slots{};
  for (int slot = 0; slot < kSlotCount; ++slot) {
    const fs::path path = slotPath(folder, slot);
    std::error_code ec;
    SlotInfo& info = slots[static_cast<std::size_t>(slot)];
    info.present = !path.empty() && fs::exists(path, ec);
    if (!info.present) continue;
    const std::optional<LoadedSave> save = readSave(path);
    info.readable = save.has_value();
    if (!save) continue;
    info.saved_at = save->saved_at;
    const fs::path thumb = thumbnailPath(path);
    if (!fs::exists(thumb, ec)) continue;
    std::optional<Picture> picture = readPng(thumb);
    if (picture && picture->width == kThumbWidth && picture->height == kThumbHeight) {
      info.thumb_width = kThumbWidth;
      info.thumb_height = kThumbHeight;
      info.thumb = std::move(picture->pixels);
    }
  }
  return slots;
}

bool writePng(const fs::path& path, const Picture& picture) {
  std::vector<unsigned char> rgba(picture.pixels.size() * 4);
  for (std::size_t i = 0; i < picture.pixels.size(); ++i) {
    const std::uint32_t p = picture.pixels[i];
    rgba[4 * i] = static_cast<unsigned char>(p >> 16);
    rgba[4 * i + 1] = static_cast<unsigned char>(p >> 8);
    rgba[4 * i + 2] = static_cast<unsigned char>(p);
    rgba[4 * i + 3] = static_cast<unsigned char>(p >> 24);
  }
  std::vector<unsigned char> png;
  const unsigned error = picture.width <= 0 || picture.height <= 0 ||
                                 picture.pixels.size() != static_cast<std::size_t>(picture.width) * picture.height
                             ? 93u  // lodepng's "zero width or height"
                             : lodepng::encode(png, rgba, static_cast<unsigned>(picture.width),
                                               static_cast<unsigned>(picture.height), LCT_RGBA, 8);
  if (error != 0) {
    app::logMessage(app::kError, "%s: %s", path.string().c_str(), lodepng_error_text(error));
    return false;
  }
  std::error_code ec;
  if (path.has_parent_path()) fs::create_directories(path.parent_path(), ec);
  return app::writeFile(path, std::span<const std::uint8_t>(png.data(), png.size()));
}

std::optional<Picture> readPng(const fs::path& path) {
  const std::optional<app::Bytes> bytes = app::readFile(path);
  if (!bytes) return std::nullopt;
  std::vector<unsigned char> rgba;
  unsigned width = 0, height = 0;
  const unsigned error = lodepng::decode(rgba, width, height, bytes->data(), bytes->size(), LCT_RGBA, 8);
  if (error != 0) {
    app::logMessage(app::kError, "%s: %s", path.string().c_str(), lodepng_error_text(error));
    return std::nullopt;
  }
  Picture picture{static_cast<std::int32_t>(width), static_cast<std::int32_t>(height), {}};
  picture.pixels.resize(static_cast<std::size_t>(width) * height);
  for (std::size_t i = 0; i < picture.pixels.size(); ++i)
    picture.pixels[i] = static_cast<std::uint32_t>(rgba[4 * i + 3]) << 24 |
                        static_cast<std::uint32_t>(rgba[4 * i]) << 16 |
                        static_cast<std::uint32_t>(rgba[4 * i + 1]) << 8 | rgba[4 * i + 2];
  return picture;
}

}  // namespace ui
