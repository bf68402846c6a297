#pragma once
// Read-only view of the cartridge's exported tables by 68000 address.
//
// Provisional: the reads the simulation core needs, until the table loader
// lands; its version of this header replaces this one.

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace sim {

class RomView {
public:
    static constexpr std::uint32_t kSize = 0x80000;

    RomView() : image_(kSize, 0), present_(kSize / 32, 0) {}

    // Copies bytes to the image from address a on and marks them present;
    // bytes at or beyond the end are dropped.
    void put(std::uint32_t a, std::span<const std::uint8_t> bytes) {
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            std::uint32_t at = a + static_cast<std::uint32_t>(i);
            if (at >= kSize) break;
            image_[at] = bytes[i];
            present_[at >> 5] |= 1u << (at & 31);
        }
    }

    // A byte that was never exported reads 0 and records its address (the first only).
    std::uint8_t byteAt(std::uint32_t a) const {
        if (a < kSize && (present_[a >> 5] >> (a & 31) & 1)) return image_[a];
        if (missing_ == 0) missing_ = a;
        return 0;
    }
    std::uint16_t wordAt(std::uint32_t a) const {
        return static_cast<std::uint16_t>(byteAt(a) << 8 | byteAt(a + 1));
    }
    std::int16_t signedWordAt(std::uint32_t a) const { return static_cast<std::int16_t>(wordAt(a)); }
    std::uint32_t longAt(std::uint32_t a) const {
        return static_cast<std::uint32_t>(wordAt(a)) << 16 | wordAt(a + 2);
    }
    const std::vector<std::uint8_t>* block(const std::string& name) const {
        auto it = blocks_.find(name);
        return it == blocks_.end() ? nullptr : &it->second;
    }
    std::uint32_t missingAddress() const { return missing_; }
    // Forgets the recorded miss once it has been reported, so that one gap in
    // the data stops one step and not every step after it.
    void clearMissingAddress() const { missing_ = 0; }

private:
    std::vector<std::uint8_t> image_;
    std::vector<std::uint32_t> present_;
    std::map<std::string, std::vector<std::uint8_t>> blocks_;
    mutable std::uint32_t missing_ = 0;
};

}  // namespace sim
