#include "render/sprite_placement.h"

#include <algorithm>

namespace render {

namespace {

// A frame's size words come from the cartridge tables; a bogus 65535 x 65535 frame would make hundreds of
// millions of pieces. Only the first 80 entries are ever shown, so the table stops growing long before.
constexpr std::size_t kTableLimit = 4096;

std::uint16_t rotr16(std::uint32_t value, int by) {
  const std::uint16_t v = static_cast<std::uint16_t>(value);
  return static_cast<std::uint16_t>(v >> by | v << (16 - by));
}

std::uint16_t sizeWord(int width, int height, std::size_t entriesSoFar) {
  return static_cast<std::uint16_t>(((width - 1) << 2 | (height - 1)) << 8 | ((entriesSoFar + 1) & 0xFF));
}

// The entries of one call: bits 0-4 of the call's attribute word are horizontal flip, vertical flip,
// palette line (2 bits) and priority, and the frame's own attribute word adds its palette and priority.
void appendCall(std::vector<SpriteTableEntry>& table, const SpriteFrame& frame, const sim::SpriteCall& call) {
  const std::uint16_t x = static_cast<std::uint16_t>(call.x);
  const std::uint16_t y = static_cast<std::uint16_t>(call.y);
  const std::uint16_t c = static_cast<std::uint16_t>(call.attributes);
  const std::uint16_t a = frame.attribute;
  const int w = frame.width, h = frame.height;
  if (w <= 4 && h <= 4) {
    table.push_back({y, sizeWord(w, h, table.size()),
                     static_cast<std::uint16_t>(static_cast<std::uint16_t>(frame.first) | rotr16(a, 3) | rotr16(c, 5)),
                     x});
    return;
  }
  // A large frame goes out in pieces of at most 4 x 4 cells, laid out in the order its patterns were
  // loaded; under a flip the pieces are laid out from the other side. Only the call's flips and priority
  // reach the pieces.
  const bool hflip = c & 1, vflip = c & 2;
  const std::uint16_t attributes = static_cast<std::uint16_t>(rotr16(a, 3) | rotr16(c & 0x13, 5));
  std::uint16_t pieceX = static_cast<std::uint16_t>(x + (hflip ? 8 * w - 32 : 0));
  const std::uint16_t startY = static_cast<std::uint16_t>(y + (vflip ? 8 * h - 32 : 0));
  std::uint16_t pattern = static_cast<std::uint16_t>(frame.first);
  for (int column = 0; column < w && table.size() < kTableLimit; column += 4) {
    const int t = std::min(4, w - column);
    if (t < 4 && hflip) pieceX = static_cast<std::uint16_t>(pieceX + 8 * (4 - t));
    std::uint16_t pieceY = startY;
    for (int row = 0; row < h && table.size() < kTableLimit; row += 4) {
      const int u = std::min(4, h - row);
      if (u < 4 && vflip) pieceY = static_cast<std::uint16_t>(pieceY + 8 * (4 - u));
      table.push_back({pieceY, sizeWord(t, u, table.size()), static_cast<std::uint16_t>(pattern | attributes), pieceX});
      pattern = static_cast<std::uint16_t>(pattern + u * t);
      pieceY = static_cast<std::uint16_t>(vflip ? pieceY - 8 * u : pieceY + 8 * u);
    }
    pieceX = static_cast<std::uint16_t>(hflip ? pieceX - 8 * t : pieceX + 8 * t);
  }
}

Sprite toSprite(const SpriteTableEntry& entry) {
  Sprite sprite;
  sprite.x = (entry[3] & 0x1FF) - 128;
  sprite.y = (entry[0] & 0x3FF) - 128;
  sprite.width = ((entry[1] >> 10) & 3) + 1;
  sprite.height = ((entry[1] >> 8) & 3) + 1;
  sprite.first = static_cast<std::uint16_t>(entry[2] & 0x7FF);
  sprite.hflip = entry[2] & 0x0800;
  sprite.vflip = entry[2] & 0x1000;
  sprite.palette = static_cast<std::uint8_t>((entry[2] >> 13) & 3);
  sprite.priority = entry[2] & 0x8000;
  return sprite;
}

// The table of calls without a separator among them.
std::vector<SpriteTableEntry> segmentTable(const SpriteFrameList& list, std::span<const sim::SpriteCall> calls) {
  std::vector<SpriteTableEntry> table;
  table.reserve(calls.size());
  for (const sim::SpriteCall& call : calls) {
    const std::int32_t number = static_cast<std::int32_t>(call.frame);
    if (number < 0 || static_cast<std::size_t>(number) >= list.frames.size()) continue;
    appendCall(table, list.frames[static_cast<std::size_t>(number)], call);
  }
  if (!table.empty()) table.back()[1] &= 0x0F00;  // the last entry ends the link chain
  return table;
}

}  // namespace

std::vector<SpriteTableEntry> spriteAttributeTable(const SpriteFrameList& list,
                                                   std::span<const sim::SpriteCall> calls) {
  // The calls after a separator are placed first; the ones before it then overwrite the start of that
  // table, and what lies beyond them stays visible. Done from the last separator backwards.
  std::vector<std::span<const sim::SpriteCall>> segments;
  std::size_t start = 0;
  for (std::size_t i = 0; i < calls.size(); ++i)
    if (static_cast<std::int32_t>(calls[i].frame) == kSpriteSeparator) {
      segments.push_back(calls.subspan(start, i - start));
      start = i + 1;
    }
  segments.push_back(calls.subspan(start));

  std::vector<SpriteTableEntry> table = segmentTable(list, segments.back());
  for (std::size_t s = segments.size() - 1; s-- > 0;) {
    const std::vector<SpriteTableEntry> head = segmentTable(list, segments[s]);
    if (table.size() < head.size()) table.resize(head.size());
    std::copy(head.begin(), head.end(), table.begin());
  }
  return table;
}

void placeSprites(VideoChip& chip, const SpriteFrameList& list, std::span<const sim::SpriteCall> calls) {
  const std::vector<SpriteTableEntry> table = spriteAttributeTable(list, calls);
  chip.sprites.clear();
  const std::size_t count = std::min(kMaxSprites, table.size());
  for (std::size_t i = 0; i < count; ++i) chip.sprites.push_back(toSprite(table[i]));
}

}  // namespace render
