#include "audio/sound_music_compiler.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <map>
#include <sstream>

#include "audio/driver/driver_image.h"
#include "audio/driver/z80_program.h"
#include "base/log.h"

namespace audio {
namespace {

constexpr std::uint32_t kBase = DriverImage::kBase;
constexpr std::uint32_t kEffectSlot = 0x73A82, kEffectInstrument = 0x73C5C, kEffectLength = 0x73C74,
                        kEffectNote = 0x73C8C, kSequence10 = 0x73D5C, kSequence8 = 0x73D64, kSequence21 = 0x73D74,
                        kLengthCodes = 0x741EE, kCarriers = 0x74318, kSampleDelay = 0x74530, kAmplitude = 0x7463C,
                        kSlotRecord = 0x7485C, kSlotLevel = 0x7495C, kFrequency = 0x74A5C, kZ80Image = 0x74B38,
                        kSongTable = 0x7679E, kInstruments = 0x78B97;
constexpr int kSongs = 16;
constexpr int kInstrumentSize = 29;
constexpr std::uint16_t kZ80StartList = 0x00B0, kZ80SampleTable = 0x02A0, kZ80Samples = 0x02B4;
constexpr std::size_t kSampleSpace = 0x1C66 - kZ80Samples;
constexpr int kSampleNote = 1;        // drums play at note 1's delay
constexpr int kSampleDelayValue = 6;  // about 10.4 kHz sample rate

struct Song {
  int tempo = 6;
  std::map<int, int> slotRecord, slotLevel;
  std::map<std::string, std::array<std::vector<std::uint8_t>, 4>> patterns;
  std::vector<std::string> patternOrder;  // patterns by first definition
  std::vector<std::string> order;
  int loop = 0;  // the order position the song goes back to after its last
};

struct Compiler {
  std::vector<std::uint8_t> image = std::vector<std::uint8_t>(DriverImage::kSize, 0);
  std::map<std::string, int> instruments;
  std::vector<std::array<std::uint8_t, kInstrumentSize>> records;
  std::map<int, Song> songs;
  std::string where;
  bool ok = true;
  MusicSpace space;

  std::uint8_t& at(std::uint32_t address) { return image[address - kBase]; }
  void fail(const std::string& what) {
    if (ok) app::logMessage(app::kError, "music: %s: %s", where.c_str(), what.c_str());
    ok = false;
  }
};

// Note names C3..B5 are the music's notes 1..36; effects may go higher (up to note 109).
int noteNumber(const std::string& name) {
  static const std::map<char, int> kSemitone = {{'C', 0}, {'D', 2}, {'E', 4}, {'F', 5}, {'G', 7}, {'A', 9}, {'B', 11}};
  if (name.empty()) return -1;
  if (std::isdigit(static_cast<unsigned char>(name[0]))) return std::stoi(name);
  const auto it = kSemitone.find(static_cast<char>(std::toupper(name[0])));
  if (it == kSemitone.end()) return -1;
  std::size_t i = 1;
  int semitone = it->second;
  if (i < name.size() && name[i] == '#') {
    ++semitone;
    ++i;
  } else if (i < name.size() && name[i] == 'b') {
    --semitone;
    ++i;
  }
  if (i >= name.size() || !std::isdigit(static_cast<unsigned char>(name[i]))) return -1;
  const int octave = name[i] - '0';
  return (octave - 3) * 12 + semitone + 1;
}

// Note x sounds x - 1 semitones above C3; the word is block << 11 | F-number.
std::uint16_t frequencyWord(int note) {
  const double hz = 130.8128 * std::pow(2.0, (note - 1) / 12.0);
  const double chipRate = 7670454.0 / 144.0;  // what the table is tuned against: close to the PAL rate
  for (int block = 0; block < 8; ++block) {
    const double f = hz * 1048576.0 / chipRate / std::pow(2.0, block - 1);
    if (f < 2047.5) return static_cast<std::uint16_t>((block << 11) | static_cast<int>(std::lround(f)));
  }
  return 0x3FFF;
}

void appendNote(Compiler& c, std::vector<std::uint8_t>& out, int note, int rows) {
  if (note < 0 || note > 36) return c.fail("note out of range (C3 to B5)");
  if (rows < 1 || rows > 63) return c.fail("length out of range (1 to 63 rows)");
  const int base = note * 4;
  if (rows == 1)
    out.push_back(static_cast<std::uint8_t>(base));
  else if (rows == 2)
    out.push_back(static_cast<std::uint8_t>(base + 1));
  else if (rows == 4)
    out.push_back(static_cast<std::uint8_t>(base + 2));
  else {
    out.push_back(static_cast<std::uint8_t>(base + 3));
    out.push_back(static_cast<std::uint8_t>(rows));
  }
}

// The drum channel plays its slot's sample on every note, rests too: its rests switch to this slot,
// whose sample is silence, and the next hit switches back.
constexpr int kDrumRestSlot = 12;
constexpr int kSilentSample = 3;

// One channel's tokens: @K slot, vN volume (0-32), NOTE/ROWS, r/ROWS. `drumSlot` follows the drum
// channel's slot within its pattern (0: none given yet).
int parseChannel(Compiler& c, std::istringstream& in, std::vector<std::uint8_t>& out, bool drums, int& drumSlot) {
  int rows = 0;
  std::string token;
  int playing = 0;  // the drum channel's slot as the driver has it
  while (in >> token) {
    if (token[0] == '@') {
      const int slot = std::stoi(token.substr(1));
      if (slot < 1 || slot >= kDrumRestSlot) c.fail("slot out of range (1 to 11)");
      out.push_back(static_cast<std::uint8_t>(0xF0 + slot));
      drumSlot = playing = slot;
      continue;
    }
    if (token[0] == 'v') {
      const int volume = std::stoi(token.substr(1));
      if (volume < 0 || volume > 32) c.fail("volume out of range");
      out.push_back(static_cast<std::uint8_t>(0xB8 + volume));
      continue;
    }
    const auto slash = token.find('/');
    if (slash == std::string::npos) {
      c.fail("expected NOTE/ROWS: " + token);
      return rows;
    }
    const std::string name = token.substr(0, slash);
    const int length = std::stoi(token.substr(slash + 1));
    if (drums) {
      const int want = name == "r" ? kDrumRestSlot : drumSlot;
      if (want == 0) {
        c.fail("a drum hit before the pattern names its slot");
        return rows;
      }
      if (want != playing) out.push_back(static_cast<std::uint8_t>(0xF0 + want));
      playing = want;
      appendNote(c, out, kSampleNote, length);
    } else {
      appendNote(c, out, name == "r" ? 0 : noteNumber(name), length);
    }
    rows += length;
  }
  return rows;
}

void parse(Compiler& c, const MusicSource& source) {
  std::istringstream lines(source.text);
  std::string line;
  int number = 0;
  Song* song = nullptr;
  std::string pattern;
  std::array<int, 4> rows{};
  int drumSlot = 0;
  // Channel 0 ends a pattern for all four, so they must last equally long.
  auto checkRows = [&]() {
    if (!pattern.empty() && (rows[1] != rows[0] || rows[2] != rows[0] || rows[3] != rows[0]))
      c.fail("the channels of pattern " + pattern + " last " + std::to_string(rows[0]) + ", " +
             std::to_string(rows[1]) + ", " + std::to_string(rows[2]) + " and " + std::to_string(rows[3]) + " rows");
  };
  while (std::getline(lines, line)) {
    ++number;
    c.where = source.name + ":" + std::to_string(number);
    // A comment starts with '#' at the start of the line or after a space ("G#4" is a note).
    for (std::size_t i = 0; i < line.size(); ++i)
      if (line[i] == '#' && (i == 0 || std::isspace(static_cast<unsigned char>(line[i - 1])))) {
        line.resize(i);
        break;
      }
    std::istringstream in(line);
    std::string word;
    if (!(in >> word)) continue;
    try {
      if (word == "instrument") {
        std::string name;
        in >> name;
        std::array<std::uint8_t, kInstrumentSize> record{};
        for (int i = 0; i < kInstrumentSize; ++i) {
          std::string hex;
          if (!(in >> hex)) {
            c.fail("an instrument needs 29 bytes");
            return;
          }
          record[i] = static_cast<std::uint8_t>(std::stoi(hex, nullptr, 16));
        }
        c.instruments[name] = static_cast<int>(c.records.size());
        c.records.push_back(record);
      } else if (word == "song") {
        checkRows();
        pattern.clear();
        int n = 0;
        in >> n;
        if (n < 1 || n > kSongs) {
          c.fail("song number out of range");
          return;
        }
        song = &c.songs[n];
        in >> song->tempo;
        song->slotRecord[kDrumRestSlot] = kSilentSample;
        song->slotLevel[kDrumRestSlot] = 0;
      } else if (!song && word != "effect" && word != "sequence") {
        c.fail("'" + word + "' outside a song");
        return;
      } else if (word == "slot" || word == "drum") {
        int k = 0, value = 0, level = 0;
        in >> k;
        if (k < 1 || k > 11) {
          c.fail("slots are 1 to 11 (12 keeps the drums quiet in rests)");
          return;
        }
        if (word == "slot") {
          std::string name;
          in >> name >> level;
          if (!c.instruments.count(name)) {
            c.fail("unknown instrument " + name);
            return;
          }
          value = c.instruments[name];
        } else {
          in >> value;
        }
        song->slotRecord[k] = value;
        song->slotLevel[k] = level;
      } else if (word == "pattern") {
        checkRows();
        in >> pattern;
        song->patterns[pattern];
        song->patternOrder.push_back(pattern);
        rows.fill(0);
        drumSlot = 0;
      } else if (word.size() == 3 && word.compare(0, 2, "ch") == 0) {
        const int ch = word[2] - '0';
        if (ch < 0 || ch > 3 || pattern.empty()) {
          c.fail("bad channel line");
          return;
        }
        rows[ch] += parseChannel(c, in, song->patterns[pattern][ch], ch == 3, drumSlot);
      } else if (word == "order") {
        checkRows();
        pattern.clear();
        std::string name;
        while (in >> name) {
          if (!song->patterns.count(name)) {
            c.fail("unknown pattern " + name);
            return;
          }
          song->order.push_back(name);
        }
      } else if (word == "loop") {
        in >> song->loop;
        if (song->loop < 0 || song->loop > 255) {
          c.fail("loop position out of range");
          return;
        }
      } else if (word == "effect") {
        int n = 0, slot = 0, length = 0;
        std::string name, note;
        in >> n >> slot >> name >> note >> length;
        if (n < 1 || n > 23 || !c.instruments.count(name)) {
          c.fail("bad effect");
          return;
        }
        // The slot is keyed off at the row start where the rows run out: one row would end the
        // effect in the very list that starts it.
        if (n != 23 && (length < 2 || length > 255)) {
          c.fail("an effect lasts 2 to 254 rows, or 255 (until stopped)");
          return;
        }
        c.at(kEffectSlot + n) = static_cast<std::uint8_t>(slot & 1);
        c.at(kEffectInstrument + n) = static_cast<std::uint8_t>(c.instruments[name] + 2);
        c.at(kEffectNote + n) = static_cast<std::uint8_t>(noteNumber(note));
        c.at(kEffectLength + n) = static_cast<std::uint8_t>(length);
      } else if (word == "sequence") {
        int n = 0;
        in >> n;
        const std::uint32_t address = n == 10 ? kSequence10 : n == 8 ? kSequence8 : kSequence21;
        const int size = n == 21 ? 128 : 8;
        std::vector<int> notes;
        std::string name;
        while (in >> name) notes.push_back(noteNumber(name));
        if (notes.empty()) {
          c.fail("empty sequence");
          return;
        }
        for (int i = 0; i < size; ++i) c.at(address + i) = static_cast<std::uint8_t>(notes[i % notes.size()]);
      } else {
        c.fail("unknown word " + word);
        return;
      }
    } catch (const std::exception&) {
      c.fail("bad number");
      return;
    }
    if (!c.ok) return;
  }
  c.where = source.name;
  checkRows();
}

// Drum samples, synthesised: signed 8-bit at about 10.4 kHz.
std::vector<std::vector<std::int8_t>> drumSamples() {
  const double rate = 3579545.0 / (248 + 16 * kSampleDelayValue);
  std::vector<std::vector<std::int8_t>> out(3);
  std::uint32_t noise = 0x1234567;
  auto random = [&noise]() {
    noise ^= noise << 13;
    noise ^= noise >> 17;
    noise ^= noise << 5;
    return static_cast<double>(noise & 0xFFFF) / 32768.0 - 1.0;
  };
  // Kick: a sine sweeping down from about 180 Hz to 50 Hz, with a short click of noise on the beater.
  for (int i = 0, n = 2200; i < n; ++i) {
    const double t = i / rate;
    const double phase = 2 * M_PI * (50 * t + 130 * (1 - std::exp(-t * 38)) / 38);
    const double v = std::exp(-t * 11) * std::sin(phase) + 0.35 * random() * std::exp(-t * 400);
    out[0].push_back(static_cast<std::int8_t>(std::clamp(std::lround(122 * v), -127L, 127L)));
  }
  // Snare: two drum-head tones that die fast under bright noise from the wires.
  double low = 0;
  for (int i = 0, n = 2600; i < n; ++i) {
    const double t = i / rate;
    const double r = random();
    low += 0.5 * (r - low);
    const double body = (0.5 * std::sin(2 * M_PI * 185 * t) + 0.3 * std::sin(2 * M_PI * 330 * t)) * std::exp(-t * 38);
    const double wires = (0.55 * r + 0.45 * low) * std::exp(-t * 16);
    out[1].push_back(static_cast<std::int8_t>(std::clamp(std::lround(118 * (body + 0.85 * wires)), -127L, 127L)));
  }
  // Hat: bright noise, very short.
  double previous = 0;
  for (int i = 0, n = 900; i < n; ++i) {
    const double t = i / rate;
    const double r = random();
    const double v = (r - previous) * 0.5 * std::exp(-t * 60);
    previous = r;
    out[2].push_back(static_cast<std::int8_t>(std::clamp(std::lround(100 * v), -127L, 127L)));
  }
  out.push_back({0});  // silence, for the drum channel's rests
  return out;
}

void layOutFixedTables(Compiler& c) {
  c.at(kLengthCodes + 0) = 0;  // 1 row
  c.at(kLengthCodes + 1) = 1;  // 2 rows
  c.at(kLengthCodes + 2) = 3;  // 4 rows
  const std::uint8_t carriers[8] = {0x08, 0x08, 0x08, 0x08, 0x0C, 0x0E, 0x0E, 0x0F};
  for (int a = 0; a < 8; ++a) c.at(kCarriers + a) = carriers[a];
  for (int x = 0; x < 110; ++x) c.at(kSampleDelay + x) = kSampleDelayValue;
  for (int a = 0; a < 128; ++a)  // 0.75 dB per step, 63 at full level
    c.at(kAmplitude + a) = static_cast<std::uint8_t>(std::lround(63 * std::pow(10.0, -0.75 * a / 20.0)));
  for (int x = 0; x < 110; ++x) {
    const std::uint16_t f = x == 0 ? 0 : frequencyWord(x);
    c.at(kFrequency + 2 * x) = static_cast<std::uint8_t>(f >> 8);
    c.at(kFrequency + 2 * x + 1) = static_cast<std::uint8_t>(f);
  }
}

// Notes a region's use; a region that overflows refuses the image.
bool fitRegion(Compiler& c, const char* name, std::size_t used, std::size_t size) {
  c.space.push_back({name, used, size});
  if (used <= size) return true;
  c.where = name;
  c.fail("needs " + std::to_string(used) + " bytes, " + std::to_string(used - size) + " more than the " +
         std::to_string(size) + " it has");
  return false;
}

void layOutZ80(Compiler& c) {
  const auto program = z80ProgramImage();
  std::copy(program.begin(), program.end(), c.image.begin() + (kZ80Image - kBase));
  // Start-up writes: LFO off, timers off, DAC on, both outputs of every channel on.
  std::vector<std::uint8_t> list = {0, 0x22, 0x00, 0, 0x27, 0x00, 0, 0x2B, 0x80};
  for (int half = 0; half < 2; ++half)
    for (int ch = 0; ch < 3; ++ch) list.insert(list.end(), {std::uint8_t(half * 2), std::uint8_t(0xB4 + ch), 0xC0});
  list.push_back(0xFF);
  std::copy(list.begin(), list.end(), c.image.begin() + (kZ80Image - kBase + kZ80StartList));
  const auto drums = drumSamples();
  std::size_t used = 0;
  for (std::size_t s = 0; s < drums.size(); ++s) {
    const std::uint16_t address = static_cast<std::uint16_t>(kZ80Samples + used);
    const std::uint16_t length = static_cast<std::uint16_t>(drums[s].size());
    const std::uint32_t entry = kZ80Image + kZ80SampleTable + 4 * static_cast<std::uint32_t>(s);
    c.at(entry) = address & 0xFF;
    c.at(entry + 1) = address >> 8;
    c.at(entry + 2) = length & 0xFF;
    c.at(entry + 3) = length >> 8;
    for (std::int8_t v : drums[s]) c.at(kZ80Image + kZ80Samples + used++) = static_cast<std::uint8_t>(v);
  }
  fitRegion(c, "drum samples", used, kSampleSpace);
}

void layOutSongs(Compiler& c) {
  std::vector<std::uint8_t> data(4 * kSongs, 0);
  auto put16 = [&data](std::size_t at, int v) {
    data[at] = static_cast<std::uint8_t>(v >> 8);
    data[at + 1] = static_cast<std::uint8_t>(v);
  };
  // A silent song for every number we have not written: one pattern of rests that loops.
  Song silence;
  silence.patterns["_"][0] = {0x03, 32};
  for (int ch = 1; ch < 4; ++ch) silence.patterns["_"][ch] = {0x03, 63};
  silence.patternOrder = {"_"};
  silence.order = {"_"};
  for (int n = 1; n <= kSongs; ++n) {
    const auto it = c.songs.find(n);
    const Song& song = it != c.songs.end() ? it->second : silence;
    c.where = "song " + std::to_string(n);
    if (song.order.empty()) {
      c.fail("a song needs an order");
      return;
    }
    if (song.loop >= static_cast<int>(song.order.size())) {
      c.fail("it loops past its order list");
      return;
    }
    for (const auto& [k, record] : song.slotRecord) {
      c.at(kSlotRecord + 16 * (n - 1) + k) = static_cast<std::uint8_t>(record);
      c.at(kSlotLevel + 16 * (n - 1) + k) = static_cast<std::uint8_t>(song.slotLevel.at(k));
    }
    std::map<std::string, int> index;
    for (const auto& name : song.patternOrder) index.emplace(name, static_cast<int>(index.size()));
    // A song that loops elsewhere than its start ends on its own copy of the last pattern, which
    // jumps back to the loop position instead of running on to position 0.
    std::vector<int> positions;
    for (const auto& name : song.order) positions.push_back(index[name]);
    std::vector<std::pair<const std::string*, int>> bodies;  // pattern, its end (-1: the next position)
    for (const auto& name : song.patternOrder) bodies.push_back({&name, -1});
    if (song.loop != 0) {
      positions.back() = static_cast<int>(bodies.size());
      bodies.push_back({&song.order.back(), song.loop});
    }
    if (bodies.size() > 255) {
      c.fail("more than 255 patterns");
      return;
    }
    const int orderOffset = static_cast<int>(data.size());
    data.push_back(static_cast<std::uint8_t>(positions.size()));
    for (int p : positions) data.push_back(static_cast<std::uint8_t>(p));
    const int tableOffset = static_cast<int>(data.size());
    data.resize(data.size() + 8 * bodies.size());
    for (std::size_t p = 0; p < bodies.size(); ++p) {
      const auto& channels = song.patterns.at(*bodies[p].first);
      for (int ch = 0; ch < 4; ++ch) {
        put16(tableOffset + 8 * static_cast<int>(p) + 2 * ch, static_cast<int>(data.size()) - tableOffset);
        if (ch == 0 && it != c.songs.end()) data.insert(data.end(), {0xFD, std::uint8_t(song.tempo)});
        data.insert(data.end(), channels[ch].begin(), channels[ch].end());
        // Channel 0 ends the pattern for all four.
        if (ch == 0 && bodies[p].second < 0) data.push_back(0xFF);
        if (ch == 0 && bodies[p].second >= 0) data.insert(data.end(), {0xFE, std::uint8_t(bodies[p].second)});
      }
    }
    put16(4 * (n - 1), orderOffset);
    put16(4 * (n - 1) + 2, tableOffset);
  }
  const bool songsFit = fitRegion(c, "songs", data.size(), kInstruments - kSongTable);
  const bool instrumentsFit =
      fitRegion(c, "instruments", c.records.size() * kInstrumentSize, kBase + DriverImage::kSize - kInstruments);
  if (!songsFit || !instrumentsFit) return;
  std::copy(data.begin(), data.end(), c.image.begin() + (kSongTable - kBase));
  for (std::size_t r = 0; r < c.records.size(); ++r)
    std::copy(c.records[r].begin(), c.records[r].end(), c.image.begin() + (kInstruments - kBase + r * kInstrumentSize));
}

}  // namespace

std::optional<std::vector<std::uint8_t>> compileMusic(const std::vector<MusicSource>& sources, MusicSpace* space) {
  Compiler c;
  layOutFixedTables(c);
  for (const auto& source : sources) {
    parse(c, source);
    if (!c.ok) return std::nullopt;
  }
  layOutZ80(c);
  if (c.ok) layOutSongs(c);
  if (space) *space = c.space;
  if (!c.ok) return std::nullopt;
  return c.image;
}

}  // namespace audio
