// The ten ropes of our world: taken at its place by a hero carrying the coil, each rope swings him and
// throws him where docs/world.md says (onto a high ledge in the village, over a pool on the shore), and
// he lands there unhurt.
#include <gtest/gtest.h>

#include <cstdint>

#include "sim/real_world.h"
#include "sim/things/object_records.h"

namespace {

using namespace real_world;
namespace th = sim::things;

constexpr std::uint8_t kB = 0x10;
constexpr std::uint32_t kRopePlaces = 0x0052C0;
constexpr int kCoil = 8;

// Where each rope brings the hero: onto the ledge with this top and span, or (top 0) onto any ground in
// the span, past the pool he is thrown over.
struct Landing {
  std::int64_t top, left, right;
};
constexpr Landing kLandings[10] = {
    {96, 1664, 1695}, {96, 1088, 1119}, {96, 256, 287},  {96, 672, 703}, {96, 192, 223},
    {96, 352, 383},   {0, 800, 1023},   {0, 1600, 1759}, {0, 736, 895},  {0, 736, 895},
};

const world::Area* areaOf(const world::World& w, std::int64_t id) {
  for (const world::Area& a : w.areas)
    if (a.id == id) return &a;
  return nullptr;
}

TEST(WorldRopes, EveryRopeThrowsTheHeroWhereItShould) {
  auto r = loadRealWorld();
  ASSERT_TRUE(r) << "the data set in the source tree does not load";
  for (std::uint32_t k = 0; k < 10; ++k) {
    SCOPED_TRACE(testing::Message() << "rope " << k);
    const std::uint32_t place = kRopePlaces + 10 * k;
    const std::int64_t area = r->rom.signedWordAt(place);
    const std::int64_t x = r->rom.signedWordAt(place + 2) - 8, y = r->rom.signedWordAt(place + 4) - 4;
    r->sim->newGame(0);
    sim::GameState& s = r->sim->mutableState();
    for (std::size_t slot : {2, 3}) th::setInv(s, slot, -1);
    th::setInv(s, th::kBottom, kCoil);
    th::setObjectWord(s, kCoil, th::kObjArea, th::kCarried);
    ASSERT_TRUE(r->sim->teleport(area, x, y)) << r->sim->stopMessage();
    std::int64_t tick = 0;
    for (int i = 0; i < 20; ++i) r->sim->step(0, tick++);
    ASSERT_EQ(s.settled, 1) << "nowhere to stand at (" << x << ", " << y << ")";
    r->sim->step(kB, tick++);
    for (int i = 0; i < 20 && s.flag_82e3 == 0; ++i) r->sim->step(0, tick++);  // he bends down and takes it
    ASSERT_NE(s.flag_82e3, 0) << "the rope is not taken at (" << x << ", " << y << ")";
    bool thrown = false;
    for (int i = 0; i < 400 && (s.flag_82e3 != 0 || s.settled == 0 || s.jump != 0); ++i) {
      r->sim->step(0, tick++);
      thrown = thrown || s.flag_82e6 != 0;
      if (s.flag_82e4 != 0) {
        ASSERT_TRUE(clearBox(*areaOf(r->world, area), th::heroX(s), th::heroY(s)))
            << "the swing carries him through the map at (" << th::heroX(s) << ", " << th::heroY(s) << ")";
      }
    }
    for (int i = 0; i < 10; ++i) r->sim->step(0, tick++);  // feet a pixel deep climb out
    ASSERT_EQ(r->sim->stopMessage(), "");
    const std::int64_t X = th::heroX(s), Y = th::heroY(s);
    const Landing& l = kLandings[k];
    EXPECT_TRUE(thrown);
    EXPECT_EQ(s.area, area);
    EXPECT_EQ(s.settled, 1);
    EXPECT_EQ(s.damage, 0);
    EXPECT_EQ(s.dying, 0);
    if (l.top != 0) EXPECT_EQ(Y + 24, l.top) << "at x " << X;
    EXPECT_TRUE(X + 18 >= l.left && X + 6 <= l.right) << "at x " << X;
  }
}

}  // namespace
