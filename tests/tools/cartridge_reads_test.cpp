// Every cartridge byte the built game reads today, and the tables written ahead of the routines still
// to be built, are in the committed data set: each entry names the routine that reads it, and the
// bytes are checked through the program's own loaders. A gap here is a stop in play ("a ROM table
// that was not exported"), so an edit of data/rom that drops a range fails this test instead.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "sim/rom_view.h"
#include "world/world.h"

namespace {

const std::filesystem::path kRoot = GROVANTA_SOURCE_DIR;

enum class Shape {
  kBytes,         // `length` bytes from the address
  kSequence,      // an animation sequence: delay, loop index, at least one frame, FFFF
  kByteList,      // bytes ended by FF
  kBankList,      // bank entries ended by FFFFFFFF, each with its selection list
  kBankEntry,     // one bank entry and its selection list
  kBankPointer,   // a long naming a bank list
  kEventPointer,  // a long naming an event record: picture, bank list, message, sprites ended by FFFF
};

struct Read {
  std::string reader;
  std::uint32_t address;
  std::uint32_t length;
  Shape shape;
};

std::vector<Read> readsOfTheBuiltGame() {
  std::vector<Read> reads = {
      {"hero control: walking left", 0x0017E0, 0, Shape::kSequence},
      {"hero control: walking right", 0x0017F6, 0, Shape::kSequence},
      {"hero control: standing (every reset)", 0x00180C, 0, Shape::kSequence},
      {"B action: bending right", 0x001816, 0, Shape::kSequence},
      {"B action: bending left", 0x00182A, 0, Shape::kSequence},
      {"hero control: side jump left", 0x00183E, 0, Shape::kSequence},
      {"hero control: side jump right (and the minecart's return)", 0x001852, 0, Shape::kSequence},
      {"hero control: straight jump", 0x001866, 0, Shape::kSequence},
      {"hero control: straight jump in water", 0x00187A, 0, Shape::kSequence},
      {"hero control: stroke right", 0x00188E, 0, Shape::kSequence},
      {"hero control: stroke left", 0x00189C, 0, Shape::kSequence},
      {"hero control: stunned", 0x0018AA, 0, Shape::kSequence},
      {"hero control: dying on land", 0x0018B8, 0, Shape::kSequence},
      {"hero control: drowning", 0x0018CA, 0, Shape::kSequence},
      {"hero control: struck by a hazard", 0x0018DC, 0, Shape::kSequence},
      {"exit check: the trapdoor's exits in area 29", 0x001E9C, 16, Shape::kBytes},
      {"new game: door locks", 0x0025E0, 4, Shape::kBytes},
      {"new game: objects", 0x002B68, 992, Shape::kBytes},
      {"game over sign: its two words", 0x00450E, 64, Shape::kBytes},
      {"new game: the first dry spell", 0x004A2A, 8, Shape::kBytes},
      {"bubbles: speeds and their gains", 0x001BD2, 128, Shape::kBytes},
      {"sparkles: each point's drift", 0x001C52, 28, Shape::kBytes},
      {"rain timer: shower lengths", 0x004A22, 8, Shape::kBytes},
      {"rope: the ten records", 0x0051F8, 200, Shape::kBytes},
      {"B action: the rope places", 0x0052C0, 100, Shape::kBytes},
      {"rope: the swing table", 0x014C20, 1024, Shape::kBytes},
      {"text drawing: glyph table", 0x005626, 144, Shape::kBytes},
      {"new game: lifts", 0x0065B4, 162, Shape::kBytes},
      {"animated doors: the opening", 0x0099A2, 0, Shape::kSequence},
      {"new game: the handlers' platform records", 0x00A9C0, 12, Shape::kBytes},
      {"new game: the handlers' platform records", 0x00A9CC, 12, Shape::kBytes},
      {"new game: the handlers' platform records", 0x00A9D8, 12, Shape::kBytes},
      {"new game: the handlers' platform records", 0x00A9F0, 12, Shape::kBytes},
      {"event screen 21: the hint arrows' bob", 0x00C674, 64, Shape::kBytes},
      {"language menu: letter pieces", 0x012E1E, 240, Shape::kBytes},
      {"code menu: subgame modes", 0x0130D2, 12, Shape::kBytes},
      {"story pages: palette line 0", 0x013872, 32, Shape::kBytes},
      {"minecart page: palette line 0", 0x013892, 32, Shape::kBytes},
      {"sea page: palette line 0", 0x0138D2, 32, Shape::kBytes},
      {"language menu: palette line 3", 0x0139D2, 32, Shape::kBytes},
      {"menus: palette line 2", 0x0139F2, 32, Shape::kBytes},
      {"code menu: palette line 3", 0x013A12, 32, Shape::kBytes},
      {"title logo: sine and cosine", 0x014820, 640, Shape::kBytes},
      {"title: the secret sequence", 0x0151C0, 0, Shape::kByteList},
      {"title logo: cylinder table and logo", 0x015822, 1344, Shape::kBytes},
      {"title picture: sprite banks", 0x015D62, 0, Shape::kBankList},
      {"inventory screen: object icons and names", 0x03E6D4, 4 * 81, Shape::kBytes},
      {"inventory screen: common frames", 0x03EC7C, 0, Shape::kBankEntry},
      {"inventory screen: object graphics bank", 0x03EC84, 4, Shape::kBytes},
      {"lives screen: sprite banks", 0x03ED28, 0, Shape::kBankList},
      {"language menu: sprite banks", 0x0680EC, 0, Shape::kBankList},
      {"code menu: sprite banks", 0x06811C, 0, Shape::kBankList},
  };
  // Written ahead of the area handlers and the object use routines that will read them: the deadly
  // beds, the places of the areas' scenes and of the objects' uses, and the spider's angles.
  const std::vector<Read> ahead = {
      {"area handlers 18, 10, 20 and 9: the deadly beds", 0x003636, 52, Shape::kBytes},
      {"area 6's lamp: where the oil is poured", 0x0062F6, 8, Shape::kBytes},
      {"B action: the scenes of areas 26, 28 and 17", 0x004F78, 24, Shape::kBytes},
      {"area 16's handler: the spider's angles", 0x007956, 8, Shape::kBytes},
      {"B action: the archery stand of area 18", 0x007F46, 8, Shape::kBytes},
      {"B action and the goat bell: the sentry of area 22", 0x00844C, 8, Shape::kBytes},
      {"B action: the cook of area 27", 0x008830, 8, Shape::kBytes},
      {"area 42's handler: the firm ground", 0x0093A0, 8, Shape::kBytes},
      {"area 43's handler and the sceptre: the exchange places", 0x00951C, 16, Shape::kBytes},
      {"area 47's handler: the deadly ledge", 0x0096D8, 8, Shape::kBytes},
      {"area 48's handler: the flames", 0x0097C8, 8, Shape::kBytes},
  };
  reads.insert(reads.end(), ahead.begin(), ahead.end());
  for (std::uint32_t use :
       {0x009DA8u, 0x009E2Cu, 0x009E34u, 0x009E82u, 0x009F30u, 0x009F38u, 0x009FBAu, 0x009FC2u, 0x009FFEu, 0x00A04Cu,
        0x00A0DAu, 0x00A0E2u, 0x00A120u, 0x00A180u, 0x00A1DAu, 0x00A268u, 0x00A2ACu, 0x00A2E8u, 0x00A36Eu, 0x00A376u,
        0x00A3BCu, 0x00A4F6u, 0x00A53Au, 0x00A5CAu, 0x00A650u, 0x00A68Cu, 0x00A7EEu, 0x00A82Au, 0x00A886u, 0x00A8C2u})
    reads.push_back({"object use routines: a place of use", use, 8, Shape::kBytes});
  for (std::uint32_t e = 1; e <= 29; ++e)
    reads.push_back(
        {"event screens and attract pages: event " + std::to_string(e), 0x03E470 + 4 * e, 0, Shape::kEventPointer});
  for (std::uint32_t a = 0; a < 50; ++a)
    if (a != 44)  // entered without a map, never loaded
      reads.push_back(
          {"area loading: sprite banks of area " + std::to_string(a), 0x03E844 + 4 * a, 0, Shape::kBankPointer});
  return reads;
}

// Walks one read's bytes; the first address without its byte, or a fault of the shape, comes back.
class Walker {
 public:
  explicit Walker(const sim::RomView& rom) : rom_(rom) {}

  std::optional<std::string> check(const Read& r) {
    switch (r.shape) {
      case Shape::kBytes:
        return bytes(r.address, r.length);
      case Shape::kSequence:
        return sequence(r.address);
      case Shape::kByteList:
        for (std::uint32_t a = r.address; a < r.address + 256; ++a) {
          if (auto gap = bytes(a, 1)) return gap;
          if (rom_.byteAt(a) == 0xFF) return std::nullopt;
        }
        return "no FF end within 256 bytes";
      case Shape::kBankList:
        return bankList(r.address);
      case Shape::kBankEntry:
        return bankEntry(r.address);
      case Shape::kBankPointer:
        if (auto gap = bytes(r.address, 4)) return gap;
        return bankList(rom_.longAt(r.address));
      case Shape::kEventPointer:
        return event(r.address);
    }
    return std::nullopt;
  }

 private:
  static std::string hex(std::uint32_t a) {
    std::ostringstream out;
    out << std::hex << std::uppercase << a;
    return out.str();
  }

  std::optional<std::string> bytes(std::uint32_t a, std::uint32_t n) const {
    for (std::uint32_t i = 0; i < n; ++i)
      if (!rom_.isPresent(a + i)) return "no byte at " + hex(a + i);
    return std::nullopt;
  }

  std::optional<std::string> sequence(std::uint32_t a) const {
    if (auto gap = bytes(a, 6)) return gap;
    const std::uint32_t loop = rom_.wordAt(a + 2);
    std::uint32_t frames = 0;
    for (std::uint32_t at = a + 4; rom_.wordAt(at) != 0xFFFF; at += 2, ++frames) {
      if (auto gap = bytes(at + 2, 2)) return gap;
      if (frames > 200) return "no FFFF end at " + hex(a);
    }
    if (frames == 0 || loop >= frames) return "sequence " + hex(a) + " has no frame to loop on";
    return std::nullopt;
  }

  std::optional<std::string> selectionList(std::uint32_t a) const {
    for (std::uint32_t at = a, n = 0; n < 300; at += 10, ++n) {
      if (auto gap = bytes(at, 2)) return gap;
      if (rom_.wordAt(at) == 0xFFFF) return std::nullopt;
      if (auto gap = bytes(at, 10)) return gap;
    }
    return "selection list " + hex(a) + " has no FFFF end";
  }

  std::optional<std::string> bankEntry(std::uint32_t a) const {
    if (auto gap = bytes(a, 8)) return gap;
    return selectionList(rom_.longAt(a + 4));
  }

  std::optional<std::string> bankList(std::uint32_t a) const {
    for (std::uint32_t at = a, n = 0; n < 64; at += 8, ++n) {
      if (auto gap = bytes(at, 4)) return gap;
      if (rom_.longAt(at) == 0xFFFFFFFFu) return std::nullopt;
      if (auto fault = bankEntry(at)) return fault;
    }
    return "bank list " + hex(a) + " has no end";
  }

  std::optional<std::string> event(std::uint32_t pointer) const {
    if (auto gap = bytes(pointer, 4)) return gap;
    const std::uint32_t e = rom_.longAt(pointer);
    if (auto gap = bytes(e, 10)) return gap;
    if (auto fault = bankList(rom_.longAt(e + 4))) return fault;
    for (std::uint32_t at = e + 10; at < e + 512; at += 6) {
      if (auto gap = bytes(at, 2)) return gap;
      if (rom_.wordAt(at) == 0xFFFF) return std::nullopt;
      if (auto gap = bytes(at, 6)) return gap;
    }
    return "event record " + hex(e) + " has no FFFF end";
  }

  const sim::RomView& rom_;
};

TEST(CartridgeReads, EveryRangeTheBuiltGameReadsIsInTheDataSet) {
  auto world = world::loadWorld(kRoot);
  ASSERT_TRUE(world.has_value());
  const sim::RomView rom = sim::loadRomView(kRoot, *world);
  ASSERT_TRUE(rom.loaded());
  Walker walker(rom);
  for (const Read& r : readsOfTheBuiltGame()) {
    std::optional<std::string> fault = walker.check(r);
    EXPECT_FALSE(fault.has_value()) << r.reader << ": " << *fault;
  }
}

// The walker itself finds a gap: a view without the hint arrows' table, or with a sequence that
// never ends, is reported rather than passed.
TEST(CartridgeReads, AGapOrAnEndlessSequenceIsReported) {
  sim::RomView rom;
  const std::vector<std::uint8_t> half(32, 0);
  rom.put(0x00C674, half);
  const std::vector<std::uint8_t> endless = {0, 4, 0, 0, 0, 1, 0, 2};
  rom.put(0x0099A2, endless);
  Walker walker(rom);
  EXPECT_EQ(walker.check({"hint arrows", 0x00C674, 64, Shape::kBytes}), "no byte at C694");
  EXPECT_EQ(walker.check({"door", 0x0099A2, 0, Shape::kSequence}), "no byte at 99AA");
}

}  // namespace
