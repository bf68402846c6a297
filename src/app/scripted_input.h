#pragma once
// The scripted input of the command line: --pads (pad values for ranges of V-blanks) and --keys (key presses at
// given V-blanks).

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace app {

// The --pads script. It keeps the ranges as given rather than one entry per V-blank, so a range that covers
// a whole run costs nothing.
class PadScript {
 public:
  struct Range {
    long long from;
    long long to;
    std::uint8_t bits;
  };

  void add(const Range& range) { ranges_.push_back(range); }
  // The pad byte for the V-blank: the OR of every range that holds it, 0 outside all of them.
  std::uint8_t byteAt(long long vblank) const;
  bool empty() const { return ranges_.empty(); }
  const std::vector<Range>& ranges() const { return ranges_; }

 private:
  std::vector<Range> ranges_;
};

// "FROM-TO:HEX,..." with FROM >= 1 and TO >= FROM; nothing when the text does not read that way.
std::optional<PadScript> parsePads(const std::string& text);

// "V:KEY,..." with V >= 1 and SDL key names; several keys may share a V-blank and keep their order.
std::optional<std::multimap<long long, std::int32_t>> parseKeys(const std::string& text);

}  // namespace app
