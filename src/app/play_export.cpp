#include "app/play_export.h"

#include <system_error>

#include "audio/sound.h"
#include "audio/wav.h"
#include "base/asset_store.h"
#include "base/log.h"
#include "ui/saves.h"

namespace app {

bool writeRgbaPng(const std::filesystem::path& path, const RgbaPicture& picture) {
  return ui::writePng(path, picture.width, picture.height, picture.pixels);
}

std::filesystem::path crtPicturePath(const std::filesystem::path& out) {
  std::filesystem::path path = out;
  path.replace_extension();
  path += "_crt.png";
  return path;
}

bool exportLastPicture(const std::filesystem::path& out, const RgbaPicture& picture, Display& display) {
  bool ok = writeRgbaPng(out, picture);
  if (display.shaderPath()) {
    RgbaPicture filtered{960, 672, {}};
    // Without an off-screen target only the first picture is written.
    if (display.drawOffscreen(picture, filtered.width, filtered.height, true, filtered.pixels))
      ok = writeRgbaPng(crtPicturePath(out), filtered) && ok;
  }
  return ok;
}

VideoExport::VideoExport(std::filesystem::path folder) : folder_(std::move(folder)) {
  std::error_code ec;
  std::filesystem::create_directories(folder_, ec);
  table_.open(folder_ / "frames.tsv", std::ios::binary | std::ios::trunc);
  if (table_) table_ << "frame\ttick\n";
}

void VideoExport::addFrame(const RgbaPicture& picture, std::size_t playbackPosition, audio::Sound* sound) {
  if (table_.is_open()) table_ << frame_ << '\t' << playbackPosition << '\n';
  char name[32];
  std::snprintf(name, sizeof name, "frame_%06lld.png", static_cast<long long>(frame_));
  if (!writeRgbaPng(folder_ / name, picture)) failed_ = true;
  ++frame_;

  carry_ += kSamplesPerVBlank;
  const auto k = static_cast<std::size_t>(carry_);
  const std::size_t start = samples_.size();
  samples_.resize(start + 2 * k, 0);
  if (sound != nullptr && k > 0) sound->render(samples_.data() + start, static_cast<int>(k), 1.0f, 1.0f);
  carry_ -= static_cast<double>(k);
}

void VideoExport::finish() {
  if (finished_) return;
  finished_ = true;
  if (table_.is_open()) {
    table_.close();
    if (table_.fail()) {
      logMessage(kError, "cannot write %s", (folder_ / "frames.tsv").string().c_str());
      failed_ = true;
    }
  }
  if (!audio::writeWav(folder_ / "sound.wav", samples_, 48000)) failed_ = true;
  logMessage(kInfo, "--video: %lld frames and %.1f s of sound in %s", static_cast<long long>(frame_),
             static_cast<double>(samples_.size()) / 2.0 / 48000.0, folder_.string().c_str());
}

}  // namespace app
