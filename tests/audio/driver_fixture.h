#pragma once
// A small driver image built in the test, with tables placed at their console addresses, and a rig that
// runs the sequencer against a plain 8 KB Z80 memory, recording what it writes there per frame.

#include <cstdint>
#include <map>
#include <utility>
#include <vector>

#include "audio/driver/driver_image.h"
#include "audio/driver/sound_driver.h"

namespace audio::testing {

class ImageBuilder {
 public:
  ImageBuilder() : bytes_(DriverImage::kSize, 0) {}
  ImageBuilder& put(std::uint32_t address, std::vector<std::uint8_t> values) {
    for (std::size_t i = 0; i < values.size(); ++i) bytes_.at(address - DriverImage::kBase + i) = values[i];
    return *this;
  }
  ImageBuilder& word(std::uint32_t address, std::uint16_t value) {
    return put(address, {static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)});
  }
  std::vector<std::uint8_t> bytes() const { return bytes_; }

  // Common tables: note lengths, a falling amplitude table, frequencies, an alg-7 instrument 0 whose
  // carrier mask is 0x0F, and song s (music s + 1) using slot 1 -> instrument 0 with attenuation 0.
  ImageBuilder& basics() {
    put(0x741EE, {3, 1, 0});
    for (std::uint32_t alg = 0; alg < 8; ++alg)
      put(0x74318 + alg, {alg == 7 ? std::uint8_t{0x0F} : std::uint8_t{0x08}});
    for (std::uint32_t a = 0; a < 128; ++a) put(0x7463C + a, {static_cast<std::uint8_t>(a < 63 ? 63 - a : 0)});
    for (std::uint32_t x = 0; x < 110; ++x) word(0x74A5C + 2 * x, static_cast<std::uint16_t>(0x2000 + x));
    std::vector<std::uint8_t> record(29);
    for (std::size_t i = 0; i < 29; ++i) record[i] = static_cast<std::uint8_t>(0x10 + i);
    record[4] = 20;
    record[5] = 21;
    record[6] = 22;
    record[7] = 23;
    record[28] = 7;
    put(0x78B97, record);
    return *this;
  }

  // Song s with one order position per pattern number given and per-channel byte sequences for pattern 0
  // (and further patterns in `more`).
  ImageBuilder& song(std::uint32_t s, std::vector<std::uint8_t> order,
                     std::vector<std::vector<std::vector<std::uint8_t>>> patterns) {
    const std::uint32_t base = 0x7679E;
    const std::uint32_t orderAt = 0x76800 + 0x400 * s;
    const std::uint32_t tableAt = orderAt + 0x40;
    word(base + 4 * s, static_cast<std::uint16_t>(orderAt - base));
    word(base + 4 * s + 2, static_cast<std::uint16_t>(tableAt - base));
    std::vector<std::uint8_t> list{static_cast<std::uint8_t>(order.size())};
    list.insert(list.end(), order.begin(), order.end());
    put(orderAt, list);
    std::uint32_t data = tableAt + 0x40;
    for (std::size_t p = 0; p < patterns.size(); ++p) {
      for (std::uint32_t c = 0; c < 4; ++c) {
        word(tableAt + 8 * static_cast<std::uint32_t>(p) + 2 * c, static_cast<std::uint16_t>(data - tableAt));
        put(data, patterns[p][c]);
        data += static_cast<std::uint32_t>(patterns[p][c].size());
      }
    }
    put(0x7485C + 16 * s + 1, {0});  // slot 1: instrument 0 (or sample 0 on the sample channel)
    return *this;
  }

 private:
  std::vector<std::uint8_t> bytes_;
};

// Runs the sequencer alone; Z80 memory writes are kept per frame.
struct DriverRig {
  std::vector<std::uint8_t> z80 = std::vector<std::uint8_t>(0x2000, 0);
  int frame = 0;
  int resets = 0;
  std::map<int, std::vector<std::pair<std::uint16_t, std::uint8_t>>> writes;
  SoundDriver driver{[this](std::uint16_t a, std::uint8_t v) {
                       z80[a & 0x1FFF] = v;
                       writes[frame].push_back({static_cast<std::uint16_t>(a & 0x1FFF), v});
                     },
                     [this] { ++resets; }};

  explicit DriverRig(const ImageBuilder& image) { driver.setImage(image.bytes()); }
  void runFrame() {
    driver.runFrame();
    ++frame;
  }
  // The triples handed to the Z80 at a frame (empty when no list went over).
  std::vector<std::vector<std::uint8_t>> listAt(int f) const {
    std::vector<std::vector<std::uint8_t>> out;
    auto it = writes.find(f);
    if (it == writes.end()) return out;
    std::vector<std::uint8_t> bytes;
    for (auto [a, v] : it->second)
      if (a > 0x1D00 && a < 0x1FFE) bytes.push_back(v);
    for (std::size_t i = 0; i + 2 < bytes.size() && bytes[i] < 0x80; i += 3)
      out.push_back({bytes[i], bytes[i + 1], bytes[i + 2]});
    return out;
  }
  bool listHanded(int f) const {
    auto it = writes.find(f);
    if (it == writes.end()) return false;
    for (auto [a, v] : it->second)
      if (a == 0x1D00 && v == 0xFF) return true;
    return false;
  }
};

}  // namespace audio::testing
