#pragma once
// The 68000 half of the sound driver, ported: once per sound frame it steps the music channels and the two
// effect slots and builds a list of FM register writes, which it hands to the Z80 through the write hook.
// It works on its own 4096-byte copy of console RAM 0xFFD0CA-0xFFE0C9.
//
// Wiring, as the sound engine uses it:
//   Z80 z80(ymHook);
//   SoundDriver driver([&](uint16_t a, uint8_t v) { z80.poke(a, v); },   // the write hook
//                      [&] { z80.reset(); /* reset the chips, clear the latches */ });  // the reset hook
//   driver.setImage(bytes)                    -> false (logged) on a wrong size
//   restart: driver.clearMemory(); z80.clear(); ...; driver.loadProgram();  (the Z80 runs from 0)
//   each sound frame at Z80 time t: z80.runUntil(t); driver.applyRequest(kind, value) for each queued
//   request; driver.runFrame();
//   between frames: z80.runUntil(now).

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "audio/driver/driver_image.h"

namespace audio {

class SoundDriver {
 public:
  static constexpr std::uint32_t kMemoryBase = 0xFFD0CA;
  static constexpr std::size_t kMemorySize = 4096;
  static constexpr int kMaxReads = 100000;  // bytes a channel may read in one step before giving up

  // Request kinds, as the engine's queue carries them.
  enum RequestKind : int { kMusic = 0, kEffect = 1, kPause = 2, kResume = 3 };

  using WriteHook = std::function<void(std::uint16_t z80Address, std::uint8_t value)>;
  using ResetHook = std::function<void()>;

  SoundDriver(WriteHook write, ResetHook reset);

  // Checks the size and keeps the image; false (logged) when refused, the old image is kept then.
  bool setImage(std::vector<std::uint8_t> bytes);
  bool setImage(std::span<const std::uint8_t> bytes) {
    return setImage(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
  }
  bool hasImage() const { return !image_.empty(); }
  const DriverImage& image() const { return image_; }

  // Zeros the driver's memory.
  void clearMemory() { memory_.fill(0); }
  // Copies the Z80 program, tables and samples into the Z80 (samples at 70 %), clears the sample request
  // and resets the Z80 through the reset hook. Nothing happens without an image.
  void loadProgram();

  // Applies one queued request (kinds above) at a frame boundary.
  void applyRequest(int kind, std::uint32_t value);
  void requestMusic(std::uint16_t n);
  void startEffect(std::uint16_t n);
  void pause();
  void resume();

  // Whether the image gives effect n a sound: 1 to 22 with a slot and an instrument record, and 23,
  // which stops a slot.
  bool definesEffect(std::uint32_t n) const;

  // One sound frame of the sequencer.
  void runFrame();

  const std::array<std::uint8_t, kMemorySize>& memory() const { return memory_; }
  // The driver's memory, by offset from 0xFFD0CA (for the engine's tools and for tests).
  std::uint8_t byteAt(std::size_t offset) const { return offset < kMemorySize ? memory_[offset] : 0; }
  std::uint16_t wordAt(std::size_t offset) const;
  std::uint32_t longAt(std::size_t offset) const;
  void setByteAt(std::size_t offset, std::uint8_t v) {
    if (offset < kMemorySize) memory_[offset] = v;
  }
  void setWordAt(std::size_t offset, std::uint16_t v);
  void setLongAt(std::size_t offset, std::uint32_t v);

 private:
  void startMusic(std::uint16_t n);
  void loadPatterns();
  std::uint8_t readChannelByte(int c);
  void stepChannel(int c);
  void playNote(int c, int note);
  void playSampleNote(int c, int note);
  void updateEffects();
  void loadEffectInstrument(int slot, std::uint32_t record, std::uint16_t frequency);
  void handList();
  void append(std::uint8_t value);
  void appendWrite(std::uint8_t port, std::uint8_t reg, std::uint8_t value);
  std::uint16_t frequency(int note) const;
  std::uint32_t instrumentAddress(std::uint32_t record) const;

  WriteHook write_;
  ResetHook reset_;
  DriverImage image_;
  std::array<std::uint8_t, kMemorySize> memory_{};
};

}  // namespace audio
