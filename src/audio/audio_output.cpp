#include "audio/audio_output.h"

#include <algorithm>
#include <cstring>

#include "audio/sound.h"
#include "base/log.h"

namespace audio {

bool AudioOutput::open() {
  SDL_AudioSpec want{};
  want.freq = 48000;
  want.format = AUDIO_S16LSB;
  want.channels = 2;
  want.samples = 512;
  want.callback = &AudioOutput::callback;
  want.userdata = this;
  SDL_AudioSpec have{};
  device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
  if (device_ == 0) {
    app::logMessage(app::kError, "no sound: SDL_OpenAudioDevice: %s", SDL_GetError());
    return false;
  }
  SDL_PauseAudioDevice(device_, 0);
  return true;
}

void AudioOutput::attach(Sound* sound) {
  lock();
  sound_ = sound;
  unlock();
}

void AudioOutput::setVolumes(float sound, float music) {
  lock();
  soundVolume_ = std::clamp(sound, 0.0f, 1.0f);
  musicVolume_ = std::clamp(music, 0.0f, 1.0f);
  unlock();
}

void AudioOutput::setPaused(bool paused) {
  if (device_ != 0) SDL_PauseAudioDevice(device_, paused ? 1 : 0);
}

void AudioOutput::close() {
  if (device_ != 0) SDL_CloseAudioDevice(device_);
  device_ = 0;
}

void AudioOutput::fill(Uint8* stream, int bytes) {
  std::memset(stream, 0, static_cast<std::size_t>(std::max(bytes, 0)));
  if (sound_ != nullptr) sound_->render(reinterpret_cast<std::int16_t*>(stream), bytes / 4, musicVolume_, soundVolume_);
}

void AudioOutput::callback(void* user, Uint8* stream, int bytes) {
  static_cast<AudioOutput*>(user)->fill(stream, bytes);
}

}  // namespace audio
