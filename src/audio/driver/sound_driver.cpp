#include "audio/driver/sound_driver.h"

#include "base/log.h"

namespace audio {
namespace {

// Console addresses of the driver's tables inside the image.
constexpr std::uint32_t kEffectSlot = 0x73A82;
constexpr std::uint32_t kEffectInstrument = 0x73C5C;
constexpr std::uint32_t kEffectLength = 0x73C74;
constexpr std::uint32_t kEffectNote = 0x73C8C;
constexpr std::uint32_t kPitchSequence10 = 0x73D5C;
constexpr std::uint32_t kPitchSequence8 = 0x73D64;
constexpr std::uint32_t kPitchSequence21 = 0x73D74;
constexpr std::uint32_t kNoteLength = 0x741EE;
constexpr std::uint32_t kCarrierMask = 0x74318;
constexpr std::uint32_t kSampleDelay = 0x74530;
constexpr std::uint32_t kAmplitude = 0x7463C;
constexpr std::uint32_t kSlotInstrument = 0x7485C;
constexpr std::uint32_t kSlotAttenuation = 0x7495C;
constexpr std::uint32_t kFrequency = 0x74A5C;
constexpr std::uint32_t kSongTable = 0x7679E;
constexpr std::uint32_t kInstruments = 0x78B97;
constexpr std::uint32_t kInstrumentSize = 29;

// Offsets in the driver's memory.
constexpr std::size_t kChannelSize = 30;
constexpr std::size_t kPatternTable = 124;
constexpr std::size_t kOrderList = 128;
constexpr std::size_t kSongIndex = 132;
constexpr std::size_t kSongLength = 134;
constexpr std::size_t kFrameCounter = 136;
constexpr std::size_t kTempo = 138;
constexpr std::size_t kPosition = 140;
constexpr std::size_t kCursor = 144;
constexpr std::size_t kChannelToStep = 148;
constexpr std::size_t kPendingMusic = 150;
constexpr std::size_t kRequestedEffect = 152;
constexpr std::size_t kCurrentEffect = 156;
constexpr std::size_t kPitchPosition = 160;
constexpr std::size_t kRemainingRows = 164;
constexpr std::size_t kPauseFlag = 168;
constexpr std::size_t kMode = 170;
constexpr std::size_t kModeCounter = 172;
constexpr std::size_t kListFlag = 176;
constexpr std::size_t kList = 177;
constexpr std::size_t kClearedOnMusic = 944;

// Channel record fields.
constexpr std::size_t kReadAddress = 0;
constexpr std::size_t kReturnAddress = 4;
constexpr std::size_t kSlot = 8;
constexpr std::size_t kRepeatActive = 10;
constexpr std::size_t kRepeatLeft = 12;
constexpr std::size_t kNote = 14;
constexpr std::size_t kWait = 17;
constexpr std::size_t kVolumeMark = 18;
constexpr std::size_t kVolume = 19;
constexpr std::size_t kLevels = 22;
constexpr std::size_t kMask = 26;

constexpr std::uint32_t kListStart = SoundDriver::kMemoryBase + kList;
constexpr std::uint32_t kFlagAddress = SoundDriver::kMemoryBase + kListFlag;

// Z80 side.
constexpr std::uint16_t kZ80ListFlag = 0x1D00;
constexpr std::uint16_t kZ80List = 0x1D01;
constexpr std::uint16_t kZ80SampleRequest = 0x1FFE;
constexpr std::uint16_t kZ80SampleDelay = 0x1FFF;

}  // namespace

SoundDriver::SoundDriver(WriteHook write, ResetHook reset) : write_(std::move(write)), reset_(std::move(reset)) {}

bool SoundDriver::setImage(std::vector<std::uint8_t> bytes) {
  if (!checkDriverImage(bytes)) return false;
  image_ = DriverImage(std::move(bytes));
  return true;
}

std::uint16_t SoundDriver::wordAt(std::size_t offset) const {
  return static_cast<std::uint16_t>((byteAt(offset) << 8) | byteAt(offset + 1));
}

std::uint32_t SoundDriver::longAt(std::size_t offset) const {
  return (static_cast<std::uint32_t>(wordAt(offset)) << 16) | wordAt(offset + 2);
}

void SoundDriver::setWordAt(std::size_t offset, std::uint16_t v) {
  setByteAt(offset, static_cast<std::uint8_t>(v >> 8));
  setByteAt(offset + 1, static_cast<std::uint8_t>(v));
}

void SoundDriver::setLongAt(std::size_t offset, std::uint32_t v) {
  setWordAt(offset, static_cast<std::uint16_t>(v >> 16));
  setWordAt(offset + 2, static_cast<std::uint16_t>(v));
}

void SoundDriver::loadProgram() {
  if (image_.empty()) return;
  for (std::size_t i = 0; i < DriverImage::kZ80ImageSize; ++i) {
    write_(static_cast<std::uint16_t>(i), image_.byte(DriverImage::kZ80ImageAddress + static_cast<std::uint32_t>(i)));
  }
  // The samples go in at 70 % of their stored amplitude.
  for (std::size_t i = 0; i < DriverImage::kSampleDataSize; ++i) {
    const int sample =
        static_cast<std::int8_t>(image_.byte(DriverImage::kSampleDataAddress + static_cast<std::uint32_t>(i)));
    write_(static_cast<std::uint16_t>(DriverImage::kSampleDataZ80 + i), static_cast<std::uint8_t>(sample * 70 / 100));
  }
  write_(kZ80SampleRequest, 0);
  if (reset_) reset_();
}

void SoundDriver::applyRequest(int kind, std::uint32_t value) {
  switch (kind) {
    case kMusic:
      requestMusic(static_cast<std::uint16_t>(value));
      break;
    case kEffect:
      startEffect(static_cast<std::uint16_t>(value));
      break;
    case kPause:
      pause();
      break;
    case kResume:
      resume();
      break;
    default:
      break;
  }
}

void SoundDriver::requestMusic(std::uint16_t n) {
  setWordAt(kPendingMusic, n);
}

void SoundDriver::pause() {
  if (reset_) reset_();
  memory_[kPauseFlag] = 0xFF;
}

void SoundDriver::resume() {
  memory_[kPauseFlag] = 0;
}

void SoundDriver::startEffect(std::uint16_t n) {
  const unsigned slot = image_.byte(kEffectSlot + n);
  if (slot > 1) return;  // only two effect slots exist; anything else in the table is ignored
  if (n == 23) {
    // Not a sound: it ends whatever the slot plays at the next row start.
    setWordAt(kRemainingRows + 2 * slot, 1);
    return;
  }
  setWordAt(kRequestedEffect + 2 * slot, n);
  setWordAt(kCurrentEffect + 2 * slot, n);
  setWordAt(kPitchPosition + 2 * slot, 0xFFFF);
}

bool SoundDriver::definesEffect(std::uint32_t n) const {
  if (image_.empty() || n < 1 || n > 23) return false;
  if (n == 23) return true;
  return image_.byte(kEffectSlot + n) <= 1 && image_.byte(kEffectInstrument + n) >= 2;
}

void SoundDriver::runFrame() {
  if (image_.empty() || memory_[kPauseFlag] != 0) return;

  // Mode 2 (the intro) starts effect 21 on its own after 31 frames.
  if (memory_[kMode] == 2 && wordAt(kModeCounter) != 88) {
    const std::uint16_t old = wordAt(kModeCounter);
    setWordAt(kModeCounter, static_cast<std::uint16_t>(old + 1));
    if (old == 31) startEffect(21);
  }

  const std::uint16_t pending = wordAt(kPendingMusic);
  if ((pending & 0x8000) == 0) {
    startMusic(pending);
    setWordAt(kPendingMusic, 0xFFFF);
    return;
  }

  const auto counter = static_cast<std::uint16_t>(wordAt(kFrameCounter) + 1);
  setWordAt(kFrameCounter, counter);
  bool stepOne = true;
  if (counter == wordAt(kTempo)) {
    setWordAt(kFrameCounter, 0);
    setLongAt(kCursor, kListStart);
    setWordAt(kChannelToStep, 0);
    memory_[kListFlag] = 0xFF;
    updateEffects();
    // Silence (no song, no mode) hands over the effects' writes at once.
    // Departure: the console's driver took song index 0 for silence too, so music 1 (index 0) had its
    // channels stepped behind the list's end mark and only its drums reached the chip. Silence is
    // music 0, the one start that loads no pattern table; every song number plays whole here.
    stepOne = memory_[kMode] != 0 || longAt(kPatternTable) != 0;
  } else if (wordAt(kChannelToStep) >= 4) {
    return;
  }
  if (stepOne) {
    const std::uint16_t c = wordAt(kChannelToStep);
    stepChannel(c);
    setWordAt(kChannelToStep, static_cast<std::uint16_t>(c + 1));
    if (c != 3) return;
  }
  handList();
}

void SoundDriver::startMusic(std::uint16_t n) {
  write_(kZ80ListFlag, 1);
  std::fill(memory_.begin(), memory_.begin() + kClearedOnMusic, 0);
  if (reset_) reset_();
  setWordAt(kFrameCounter, 5);
  setWordAt(kTempo, 6);
  memory_[kMode] = 0;
  setWordAt(kSongIndex, n);
  if (n == 0) {
    setWordAt(kFrameCounter, 1);
    setWordAt(kTempo, 2);
  } else if (n <= 16) {
    const std::uint16_t s = static_cast<std::uint16_t>(n - 1);
    setWordAt(kSongIndex, s);
    const std::uint32_t entry = kSongTable + 4u * s;
    const std::uint32_t order = kSongTable + static_cast<std::uint32_t>(image_.signedWord(entry));
    const std::uint32_t patterns = kSongTable + static_cast<std::uint32_t>(image_.signedWord(entry + 2));
    setLongAt(kPatternTable, patterns);
    setWordAt(kSongLength, image_.byte(order));
    setLongAt(kOrderList, order + 1);
    setWordAt(kPosition, 0);
    setWordAt(kChannelToStep, 0);
    for (int c = 0; c < 4; ++c) {
      memory_[kChannelSize * c + kVolume] = 0x40;
      memory_[kChannelSize * c + kVolumeMark] &= 0x7F;
    }
    loadPatterns();
  } else {
    setWordAt(kSongIndex, 0);
    memory_[kMode] = static_cast<std::uint8_t>(n - 16);
    setWordAt(kModeCounter, 0);
    if ((n & 0xFF) == 18) {
      setWordAt(kFrameCounter, 4);
      setWordAt(kTempo, 5);
    }
  }
  setLongAt(kCursor, kFlagAddress);
}

void SoundDriver::loadPatterns() {
  const std::uint32_t table = longAt(kPatternTable);
  const std::uint16_t position = wordAt(kPosition);
  const std::uint8_t pattern = image_.byte(longAt(kOrderList) + position);
  const auto index = static_cast<std::int16_t>(((position & 0xFF00) | pattern) << 3);
  const std::uint32_t entry = table + static_cast<std::uint32_t>(static_cast<std::int32_t>(index));
  for (int c = 0; c < 4; ++c) {
    const std::size_t r = kChannelSize * c;
    const std::int16_t offset = image_.signedWord(entry + 2u * c);
    setLongAt(r + kReadAddress, table + static_cast<std::uint32_t>(static_cast<std::int32_t>(offset)));
    memory_[r + kRepeatActive] = 0;
    memory_[r + 12] = 0;
  }
}

std::uint8_t SoundDriver::readChannelByte(int c) {
  const std::size_t r = kChannelSize * c;
  std::uint32_t address = longAt(r + kReadAddress);
  const std::uint8_t value = image_.byte(address);
  setLongAt(r + kReadAddress, address + 1);
  if (memory_[r + kRepeatActive] != 0 || memory_[r + kRepeatActive + 1] != 0) {
    const auto left = static_cast<std::uint16_t>(wordAt(r + kRepeatLeft) - 1);
    setWordAt(r + kRepeatLeft, left);
    if (left == 0) {
      setLongAt(r + kReadAddress, longAt(r + kReturnAddress));
      memory_[r + kRepeatActive] = 0;
      memory_[r + kRepeatActive + 1] = 0;
    }
  }
  return value;
}

// The read address lives in the record while a channel is stepped; a step that gives up (a sequence
// without a note) leaves it where the reading stopped.
void SoundDriver::stepChannel(int c) {
  if (c < 0 || c > 3) return;
  const std::size_t r = kChannelSize * c;
  if (memory_[r + kWait] != 0) {
    --memory_[r + kWait];
    return;
  }
  if (longAt(r + kReadAddress) == 0) return;
  for (int reads = 0; reads < kMaxReads; ++reads) {
    const std::uint8_t b = readChannelByte(c);
    if (b <= 0x93) {
      const int note = b >> 2;
      const int code = b & 3;
      std::uint8_t wait = 0;
      if (code < 3) {
        wait = image_.byte(kNoteLength + static_cast<std::uint32_t>(code));
      } else {
        wait = static_cast<std::uint8_t>((readChannelByte(c) & 0x3F) - 1);
      }
      memory_[r + kWait] = wait;
      setWordAt(r + kNote, static_cast<std::uint16_t>(note));
      if (c == 3) {
        playSampleNote(c, note);
      } else {
        playNote(c, note);
      }
      return;
    }
    if (b <= 0xB7) {
      const std::uint8_t d = readChannelByte(c);
      const std::uint32_t back = longAt(r + kReadAddress);
      setLongAt(r + kReturnAddress, back);
      setWordAt(r + kRepeatLeft, static_cast<std::uint16_t>(b - 142));
      setLongAt(r + kReadAddress, back - d - 8);
      memory_[r + kRepeatActive] = 0xFF;
    } else if (b <= 0xD8) {
      memory_[r + kVolume] = static_cast<std::uint8_t>(b - 184);
      memory_[r + kVolumeMark] |= 0x80;
    } else if (b <= 0xF0) {
      const std::uint8_t v = readChannelByte(c);
      if (b <= 0xDC) {
        memory_[r + kVolume] = static_cast<std::uint8_t>((v & 0x3F) + 1);
        memory_[r + kVolumeMark] |= 0x80;
      }
    } else if (b <= 0xFC) {
      setWordAt(r + kSlot, static_cast<std::uint16_t>(b - 240));
    } else if (b == 0xFD) {
      memory_[kTempo + 1] = readChannelByte(c);
    } else if (b == 0xFE) {
      memory_[kPosition + 1] = readChannelByte(c);
      loadPatterns();
    } else {
      auto position = static_cast<std::uint16_t>(wordAt(kPosition) + 1);
      if (position == wordAt(kSongLength)) {
        if (wordAt(kSongIndex) == 8) setWordAt(kPendingMusic, 2);  // this song chains into music 2
        position = 0;
      }
      setWordAt(kPosition, position);
      loadPatterns();
    }
  }
  app::logMessage(app::kError, "sound driver: channel %d reads without end", c);
}

std::uint16_t SoundDriver::frequency(int note) const {
  return image_.word(kFrequency + 2u * static_cast<std::uint32_t>(note));
}

std::uint32_t SoundDriver::instrumentAddress(std::uint32_t record) const {
  return kInstruments + kInstrumentSize * record;
}

void SoundDriver::playNote(int c, int note) {
  const std::size_t r = kChannelSize * c;
  const auto ch = static_cast<std::uint8_t>(c);
  // Departure: on the console a rest did nothing, so the note before it rang on through the rest at
  // its sustain level. A rest keys the channel off here: the note fades with its own release.
  if (note == 0) {
    appendWrite(0, 0x28, ch);
    return;
  }
  const std::uint32_t s = wordAt(kSongIndex);
  const std::uint32_t k = wordAt(r + kSlot);
  if ((memory_[r + kVolumeMark] & 0x80) == 0) {
    if (k == 0) return;
    memory_[r + kVolume] = image_.byte(kAmplitude + image_.byte(kSlotAttenuation + 16 * s + k));
  }
  memory_[r + kVolumeMark] &= 0x7F;
  if (k == 0) return;

  const std::uint32_t R = instrumentAddress(image_.byte(kSlotInstrument + 16 * s + k));
  const std::uint8_t mask = image_.byte(kCarrierMask + (image_.byte(R + 28) & 7));
  memory_[r + kMask] = mask;

  appendWrite(0, 0x28, ch);
  for (std::uint32_t i = 0; i < 4; ++i)
    appendWrite(0, static_cast<std::uint8_t>(0x30 + ch + 4 * i), image_.byte(R + i));

  // Stored total levels: operators 1-4 take mask bits 3, 1, 2, 0 here (kept as the driver had it).
  static constexpr int kStoredBits[4] = {3, 1, 2, 0};
  for (std::uint32_t i = 0; i < 4; ++i) {
    std::uint8_t level = image_.byte(R + 4 + i);
    if (mask & (1 << kStoredBits[i])) level = static_cast<std::uint8_t>(level + 4);
    memory_[r + kLevels + i] = level;
  }
  for (std::uint32_t i = 0; i < 20; ++i)
    appendWrite(0, static_cast<std::uint8_t>(0x50 + ch + 4 * i), image_.byte(R + 8 + i));
  appendWrite(0, static_cast<std::uint8_t>(0xB0 + ch), image_.byte(R + 28));

  const std::uint16_t f = frequency(note);
  appendWrite(0, static_cast<std::uint8_t>(0xA4 + ch), static_cast<std::uint8_t>(f >> 8));
  appendWrite(0, static_cast<std::uint8_t>(0xA0 + ch), static_cast<std::uint8_t>(f));
  appendWrite(0, 0x28, static_cast<std::uint8_t>(ch | 0xF0));

  // Levels: the volume scales the carriers, taking mask bits 0-3 for operators 1-4.
  for (std::uint32_t i = 0; i < 4; ++i) {
    const auto reg = static_cast<std::uint8_t>(0x40 + ch + 4 * i);
    const std::uint8_t stored = memory_[r + kLevels + i];
    if ((mask & (1 << i)) == 0) {
      appendWrite(0, reg, stored);
      continue;
    }
    if (k == 11) {  // slot 11 silences the channel
      appendWrite(0, reg, 127);
      appendWrite(0, static_cast<std::uint8_t>(0xA4 + ch), 0);
      appendWrite(0, static_cast<std::uint8_t>(0xA0 + ch), 0);
      appendWrite(0, 0x28, ch);
      continue;
    }
    const int h = image_.byte(kAmplitude + stored);
    int o = ((memory_[r + kVolume] & 0x7F) * h) >> 6;
    if (o == 64) o = 63;
    o &= 0x3F;
    int index = 0;
    while (index < 128 && image_.byte(kAmplitude + static_cast<std::uint32_t>(index)) > o) ++index;
    appendWrite(0, reg, static_cast<std::uint8_t>(index == 0 ? 0 : index - 1));
  }
}

void SoundDriver::playSampleNote(int c, int note) {
  const std::size_t r = kChannelSize * c;
  const std::uint32_t s = wordAt(kSongIndex);
  const std::uint32_t k = wordAt(r + kSlot);
  if (k == 0) return;
  write_(kZ80SampleRequest, static_cast<std::uint8_t>(image_.byte(kSlotInstrument + 16 * s + k) + 1));
  write_(kZ80SampleDelay, image_.byte(kSampleDelay + static_cast<std::uint32_t>(note)));
}

void SoundDriver::updateEffects() {
  for (std::uint32_t j = 0; j < 2; ++j) {
    const auto jj = static_cast<std::uint8_t>(j);
    const std::uint16_t requested = wordAt(kRequestedEffect + 2 * j);
    if (requested != 0) {
      setWordAt(kRemainingRows + 2 * j, image_.byte(kEffectLength + requested));
      const int record = static_cast<int>(image_.byte(kEffectInstrument + requested)) - 2;
      loadEffectInstrument(static_cast<int>(j), static_cast<std::uint32_t>(record),
                           frequency(image_.byte(kEffectNote + requested)));
      setWordAt(kRequestedEffect + 2 * j, 0);
    }
    const std::uint16_t current = wordAt(kCurrentEffect + 2 * j);
    if (current == 10 || current == 8 || (current == 21 && j == 0)) {
      const unsigned mask = current == 21 ? 127 : 7;
      const std::uint32_t sequence = current == 10  ? kPitchSequence10
                                     : current == 8 ? kPitchSequence8
                                                    : kPitchSequence21;
      const auto position = static_cast<std::uint16_t>(((wordAt(kPitchPosition + 2 * j) & 0xFF) + 1) & mask);
      setWordAt(kPitchPosition + 2 * j, position);
      const std::uint16_t f = frequency(image_.byte(sequence + position));
      appendWrite(2, static_cast<std::uint8_t>(0xA4 + jj), static_cast<std::uint8_t>(f >> 8));
      appendWrite(2, static_cast<std::uint8_t>(0xA0 + jj), static_cast<std::uint8_t>(f));
    }
    const std::uint16_t remaining = wordAt(kRemainingRows + 2 * j);
    if (remaining != 0 && remaining != 255) {
      setWordAt(kRemainingRows + 2 * j, static_cast<std::uint16_t>(remaining - 1));
      if (remaining == 1) {
        for (std::uint8_t op = 0; op < 4; ++op) appendWrite(2, static_cast<std::uint8_t>(0x40 + jj + 4 * op), 127);
        appendWrite(2, static_cast<std::uint8_t>(0xA4 + jj), 0);
        appendWrite(2, static_cast<std::uint8_t>(0xA0 + jj), 0);
        appendWrite(0, 0x28, static_cast<std::uint8_t>(4 + jj));
      }
    }
  }
}

void SoundDriver::loadEffectInstrument(int slot, std::uint32_t record, std::uint16_t f) {
  const auto j = static_cast<std::uint8_t>(slot);
  const std::uint32_t R = instrumentAddress(record);
  const std::uint8_t mask = image_.byte(kCarrierMask + (image_.byte(R + 28) & 7));
  appendWrite(0, 0x28, static_cast<std::uint8_t>(4 + j));
  for (std::uint32_t i = 0; i < 4; ++i) appendWrite(2, static_cast<std::uint8_t>(0x30 + j + 4 * i), image_.byte(R + i));
  // Effects take the mask's bits in the order 3, 2, 1, 0 for operators 1-4.
  for (std::uint32_t i = 0; i < 4; ++i) {
    const std::uint8_t level = (mask & (1 << (3 - i))) ? 4 : image_.byte(R + 4 + i);
    appendWrite(2, static_cast<std::uint8_t>(0x40 + j + 4 * i), level);
  }
  for (std::uint32_t i = 0; i < 20; ++i)
    appendWrite(2, static_cast<std::uint8_t>(0x50 + j + 4 * i), image_.byte(R + 8 + i));
  appendWrite(2, static_cast<std::uint8_t>(0xB0 + j), image_.byte(R + 28));
  appendWrite(2, static_cast<std::uint8_t>(0xA4 + j), static_cast<std::uint8_t>(f >> 8));
  appendWrite(2, static_cast<std::uint8_t>(0xA0 + j), static_cast<std::uint8_t>(f));
  appendWrite(0, 0x28, static_cast<std::uint8_t>((4 + j) | 0xF0));
}

void SoundDriver::append(std::uint8_t value) {
  const std::uint32_t cursor = longAt(kCursor);
  const std::uint32_t offset = (cursor & 0xFFFFFF) - (kMemoryBase & 0xFFFFFF);
  if (offset < kMemorySize) memory_[offset] = value;
  setLongAt(kCursor, cursor + 1);
}

void SoundDriver::appendWrite(std::uint8_t port, std::uint8_t reg, std::uint8_t value) {
  append(port);
  append(reg);
  append(value);
}

// The Z80 has room for the list from 0x1D01 up to 0x1FFD; the two bytes above are the sample request
// and delay. A list too long for that room is cut there with an end mark rather than run over them.
void SoundDriver::handList() {
  for (int i = 0; i < 3; ++i) append(0xFF);
  write_(kZ80ListFlag, memory_[kListFlag]);
  std::uint16_t z = kZ80List;
  for (std::size_t offset = kList; offset < kMemorySize; offset += 3) {
    if (z + 3 > kZ80SampleRequest) {
      app::logMessage(app::kError, "sound driver: write list cut at %u writes",
                      static_cast<unsigned>((z - kZ80List) / 3));
      write_(z, 0xFF);
      return;
    }
    const std::uint8_t first = memory_[offset];
    for (std::size_t i = 0; i < 3 && offset + i < kMemorySize; ++i)
      write_(static_cast<std::uint16_t>(z + i), memory_[offset + i]);
    z = static_cast<std::uint16_t>(z + 3);
    if (first & 0x80) return;
  }
}

}  // namespace audio
