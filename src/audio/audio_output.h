#pragma once
// The play loop's handle on the audio device: SDL pulls samples from the attached Sound on its own
// thread; every call from the main thread that touches the Sound holds the device lock.

#include <SDL.h>

namespace audio {

class Sound;

class AudioOutput {
 public:
  AudioOutput() = default;
  ~AudioOutput() { close(); }
  AudioOutput(const AudioOutput&) = delete;
  AudioOutput& operator=(const AudioOutput&) = delete;

  // Opens the default device at 48000 Hz, 16-bit stereo, 512-frame buffers, and starts it.
  bool open();
  void attach(Sound* sound);
  void setVolumes(float sound, float music);
  void setPaused(bool paused);
  void close();

  void lock() {
    if (device_ != 0) SDL_LockAudioDevice(device_);
  }
  void unlock() {
    if (device_ != 0) SDL_UnlockAudioDevice(device_);
  }

  SDL_AudioDeviceID device() const { return device_; }
  float soundVolume() const { return soundVolume_; }
  float musicVolume() const { return musicVolume_; }

  // The device callback's work, exposed for offline use and tests: silence, then the Sound if any.
  void fill(Uint8* stream, int bytes);

 private:
  static void callback(void* user, Uint8* stream, int bytes);

  SDL_AudioDeviceID device_ = 0;
  Sound* sound_ = nullptr;
  float soundVolume_ = 1.0f;
  float musicVolume_ = 1.0f;
};

}  // namespace audio
