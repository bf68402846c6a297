#include "render/sprite_banks.h"

#include <cstddef>

#include "base/log.h"
#include "render/own_misses.h"
#include "sim/cartridge.h"
#include "sim/rom_view.h"

namespace render {

namespace {

constexpr std::uint32_t kListEnd = 0xFFFFFFFF;
constexpr std::uint16_t kSelectionEnd = 0xFFFF;
constexpr int kPieceCells = 4;  // frames load (and are placed) in pieces of at most 4 x 4 cells

// Copies one picture pattern into the store, mirrored as the name word's flip bits say.
void loadCell(VideoChip& chip, const Pattern& source, std::uint16_t name, std::int32_t destination) {
  const bool hflip = name & 0x0800;
  const bool vflip = name & 0x1000;
  Pattern& target = chip.patterns[static_cast<std::size_t>(destination)];
  for (int row = 0; row < 8; ++row) {
    const int fromRow = vflip ? 7 - row : row;
    for (int column = 0; column < 8; ++column) {
      const int fromColumn = hflip ? 7 - column : column;
      target[static_cast<std::size_t>(row * 8 + column)] = source[static_cast<std::size_t>(fromRow * 8 + fromColumn)];
    }
  }
}

// Loads the cells of a new frame's rectangle in piece order. False when a cell lies outside the picture
// (a negative row counts as outside; so does a cell past a name table shorter than its size says).
bool loadRectangle(VideoChip& chip, const Picture& picture, const SpriteSelection& selection, SpriteFrameList& list) {
  const int left = selection.x, top = selection.y;
  const int width = selection.width, height = selection.height;
  const int patternCount = static_cast<int>(picture.patterns.size());
  for (int strip = 0; strip < width; strip += kPieceCells) {
    const int stripWidth = width - strip < kPieceCells ? width - strip : kPieceCells;
    for (int band = 0; band < height; band += kPieceCells) {
      const int bandHeight = height - band < kPieceCells ? height - band : kPieceCells;
      for (int dc = 0; dc < stripWidth; ++dc) {
        const int column = left + strip + dc;
        for (int dr = 0; dr < bandHeight; ++dr) {
          const int row = top + band + dr;
          const std::size_t index = static_cast<std::size_t>(row) * static_cast<std::size_t>(picture.width) +
                                    static_cast<std::size_t>(column);
          if (column >= picture.width || row < 0 || row >= picture.height || index >= picture.names.size())
            return false;
          const std::uint16_t name = picture.names[index];
          const int pattern = name & 0x7FF;
          if (pattern < patternCount && list.next_pattern >= 0 && list.next_pattern < kPatternStoreSize)
            loadCell(chip, picture.patterns[static_cast<std::size_t>(pattern)], name, list.next_pattern);
          ++list.next_pattern;  // every cell takes its place in the store, loaded or not
        }
      }
    }
  }
  return true;
}

// Notes the frame count of the first bank that added frames.
void noteFirstBank(SpriteFrameList& list, std::size_t framesBefore, bool& firstBankSeen) {
  if (!firstBankSeen && list.frames.size() > framesBefore) {
    list.first_bank_frames = static_cast<std::int32_t>(list.frames.size());
    firstBankSeen = true;
  }
}

}  // namespace

std::vector<SpriteSelection> readSelectionList(const sim::RomView& rom, std::uint32_t address) {
  std::vector<SpriteSelection> selections;
  for (std::uint32_t at = address;; at += 10) {
    SpriteSelection selection;
    selection.attribute = rom.wordAt(at);
    if (rom.hasMissed() || selection.attribute == kSelectionEnd) break;
    selection.x = rom.signedWordAt(at + 2);
    selection.y = rom.signedWordAt(at + 4);
    selection.width = rom.wordAt(at + 6);
    selection.height = rom.wordAt(at + 8);
    if (rom.hasMissed()) break;
    selections.push_back(selection);
  }
  return selections;
}

bool loadSelections(VideoChip& chip, const PictureMap& pictures, std::uint32_t bank,
                    const std::vector<SpriteSelection>& selections, SpriteFrameList& list) {
  auto found = pictures.find(bank);
  if (found == pictures.end()) {
    app::logMessage(app::kError, "sprite bank %06X is not an exported picture", bank);
    return false;
  }
  const Picture& picture = found->second;
  list.palette = picture.palette;

  for (const SpriteSelection& selection : selections) {
    if (selection.x < 0) {
      // A reuse: the same patterns under another attribute word.
      const std::size_t k = static_cast<std::size_t>(-static_cast<int>(selection.x));
      if (k < list.frames.size()) {
        SpriteFrame copy = list.frames[k];
        copy.attribute = selection.attribute;
        list.frames.push_back(copy);
      } else if (list.frames.empty()) {
        list.frames.push_back({0, selection.width, selection.height, selection.attribute});
      } else {
        app::logMessage(app::kError, "a sprite selection of bank %06X reuses frame %zu before it exists", bank, k);
        return false;
      }
      continue;
    }
    list.frames.push_back({list.next_pattern, selection.width, selection.height, selection.attribute});
    if (!loadRectangle(chip, picture, selection, list)) {
      app::logMessage(app::kError, "a sprite selection of bank %06X is outside it", bank);
      return false;
    }
  }
  return true;
}

std::optional<SpriteFrameList> loadBankList(VideoChip& chip, const sim::RomView& rom, const PictureMap& pictures,
                                            std::uint32_t listAddress, std::int32_t firstPattern) {
  SpriteFrameList list;
  list.next_pattern = firstPattern;
  bool firstBankSeen = false;
  OwnMisses misses(rom);
  for (std::uint32_t entry = listAddress;; entry += 8) {
    const std::uint32_t bank = rom.longAt(entry);
    std::vector<SpriteSelection> selections;
    if (!misses.missed() && bank != kListEnd) selections = readSelectionList(rom, rom.longAt(entry + 4));
    if (misses.missed()) {
      app::logMessage(app::kError, "the sprite bank list %06X reads a ROM table that was not exported", listAddress);
      return std::nullopt;
    }
    if (bank == kListEnd) break;
    const std::size_t before = list.frames.size();
    if (!loadSelections(chip, pictures, bank, selections, list)) return std::nullopt;
    noteFirstBank(list, before, firstBankSeen);
  }
  return list;
}

std::optional<SpriteFrameList> loadAreaBankList(VideoChip& chip, const sim::RomView& rom, const PictureMap& pictures,
                                                std::int32_t area, std::int32_t firstPattern) {
  const std::uint32_t pointer = sim::cart::kAreaBankLists + 4 * static_cast<std::uint32_t>(area);
  std::uint32_t listAddress = 0;
  {
    OwnMisses misses(rom);
    listAddress = rom.longAt(pointer);
    if (misses.missed()) {
      app::logMessage(app::kError, "the sprite bank list %06X reads a ROM table that was not exported", pointer);
      return std::nullopt;
    }
  }
  return loadBankList(chip, rom, pictures, listAddress, firstPattern);
}

bool loadBankEntry(VideoChip& chip, const sim::RomView& rom, const PictureMap& pictures, std::uint32_t entryAddress,
                   SpriteFrameList& list) {
  std::uint32_t bank = 0;
  std::vector<SpriteSelection> selections;
  {
    OwnMisses misses(rom);
    bank = rom.longAt(entryAddress);
    if (!misses.missed()) selections = readSelectionList(rom, rom.longAt(entryAddress + 4));
    if (misses.missed()) {
      app::logMessage(app::kError, "the sprite bank entry %06X reads a ROM table that was not exported", entryAddress);
      return false;
    }
  }
  // An entry that starts a list is that list's first bank.
  bool firstBankSeen = list.first_bank_frames != 0;
  const std::size_t before = list.frames.size();
  if (!loadSelections(chip, pictures, bank, selections, list)) return false;
  noteFirstBank(list, before, firstBankSeen);
  return true;
}

}  // namespace render
