// The actors of our data set: every area with a map runs 2,000 steps with the hero standing at its left
// end, and nothing its actors do stops the game.
#include <gtest/gtest.h>

#include <memory>

#include "sim/real_world.h"
#include "world/world.h"

namespace {

using namespace real_world;

TEST(WorldActors, EveryAreaRuns2000StepsWithoutAStop) {
  auto r = loadRealWorld();
  ASSERT_TRUE(r) << "the data set in the source tree does not load";
  for (const world::Area& a : r->world.areas) {
    if (a.id > 49) continue;
    SCOPED_TRACE(testing::Message() << "area " << a.id);
    std::int64_t x = 40, y = -1;
    for (; x < a.width * 32 - 40 && y < 0; x += 8) y = groundAt(a, x);
    ASSERT_GE(y, 0) << "nowhere to stand";
    r->sim->newGame(0);
    r->sim->mutableState().flag_8309 = 255;  // no idle reminder
    ASSERT_TRUE(r->sim->teleport(a.id, x - 8, y)) << r->sim->stopMessage();
    for (int tick = 0; tick < 2000 && r->sim->stopMessage().empty(); ++tick) {
      r->sim->step(0, tick);
      r->sim->soundRequests().clear();
    }
    EXPECT_EQ(r->sim->stopMessage(), "");
    EXPECT_EQ(r->sim->state().area, a.id);
  }
}

}  // namespace
