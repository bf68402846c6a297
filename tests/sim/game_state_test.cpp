#include "sim/game_state.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "sim/expected_field_names.h"

namespace {

TEST(GameStateFields, TableMatchesTheFieldListInOrderAndKind) {
  auto fields = sim::gameStateFields();
  ASSERT_EQ(fields.size(), sim_test::kExpectedFieldNames.size());
  int scalars = 0, blocks = 0, untraced = 0;
  std::set<int> scalarIdx, blockIdx;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    EXPECT_EQ(fields[i].name, sim_test::kExpectedFieldNames[i]) << "row " << i + 1;
    EXPECT_NE(fields[i].isScalar(), fields[i].blockIndex >= 0) << fields[i].name;
    if (fields[i].isScalar()) {
      ++scalars;
      scalarIdx.insert(fields[i].scalarIndex);
    } else {
      ++blocks;
      blockIdx.insert(fields[i].blockIndex);
    }
    if (!fields[i].traced) ++untraced;
    EXPECT_EQ(sim::findField(fields[i].name), &fields[i]);
  }
  EXPECT_EQ(scalars, 226);
  EXPECT_EQ(blocks, 66);
  EXPECT_EQ(untraced, 64 + 3);  // the program's own bookkeeping
  // Indices cover 0..n-1 once each.
  EXPECT_EQ(scalarIdx.size(), 226u);
  EXPECT_EQ(*scalarIdx.rbegin(), 225);
  EXPECT_EQ(blockIdx.size(), 66u);
  EXPECT_EQ(*blockIdx.rbegin(), 65);
  EXPECT_EQ(sim::findField("no_such_field"), nullptr);
}

TEST(GameStateFields, DeclarationOrderPutsLaterRowsBetweenTheScalarsAndBlocks) {
  // Scalars: rows 1..133, then 226..289, then 175..203; blocks: 134..174, 204..225, 290..292.
  struct Case {
    const char* name;
    int scalar;
    int block;
  };
  const Case cases[] = {
      {"area", 0, -1},          {"particle_timer", 132, -1},  {"x_next", 133, -1},
      {"lives_music", 196, -1}, {"palette_variant", 197, -1}, {"expression", 225, -1},
      {"flags", -1, 0},         {"actors", -1, 40},           {"frame_bases", -1, 41},
      {"sub_ram", -1, 62},      {"tower_edge", -1, 63},       {"tower_ring", -1, 65},
  };
  for (const Case& c : cases) {
    const sim::FieldInfo* f = sim::findField(c.name);
    ASSERT_NE(f, nullptr) << c.name;
    EXPECT_EQ(f->scalarIndex, c.scalar) << c.name;
    EXPECT_EQ(f->blockIndex, c.block) << c.name;
  }
}

TEST(GameState, DefaultHasEveryBlockAtItsSizeAndAllZero) {
  sim::GameState s;
  for (const sim::FieldInfo& f : sim::gameStateFields()) {
    if (f.isScalar()) {
      EXPECT_EQ(s.scalar(f.scalarIndex), 0) << f.name;
    } else {
      EXPECT_EQ(s.block(f.blockIndex).size(), f.blockSize) << f.name;
      EXPECT_EQ(s.block(f.blockIndex), std::vector<std::uint8_t>(f.blockSize, 0)) << f.name;
    }
  }
  EXPECT_EQ(s.actors.size(), 2320u);
  EXPECT_EQ(s.sub_ram.size(), 3506u);
  EXPECT_EQ(s.title_ram.size(), 3120u);
  EXPECT_EQ(s.objects.size(), 992u);
}

TEST(GameState, NamedAccessReachesTheMembers) {
  sim::GameState s;
  EXPECT_TRUE(s.set("go_vx", 0xFFFCC000));
  EXPECT_EQ(s.go_vx, 4294754304);
  s.lives = 3;
  EXPECT_EQ(s.get("lives"), 3);
  EXPECT_FALSE(s.get("actors").has_value());  // a block, not a scalar
  EXPECT_FALSE(s.set("nope", 1));
  EXPECT_EQ(s.blockByName("lives"), nullptr);
  ASSERT_NE(s.blockByName("inventory"), nullptr);
  EXPECT_EQ(s.blockByName("inventory"), &s.inventory);

  const std::vector<std::uint8_t> ten(10, 0xAB);
  EXPECT_TRUE(s.setBlock("inventory", ten));
  EXPECT_EQ(s.inventory, ten);
  EXPECT_FALSE(s.setBlock("inventory", std::vector<std::uint8_t>(9, 0)));  // size is fixed
  EXPECT_EQ(s.inventory, ten);
}

TEST(GameState, CopyIsIdenticalAndAOneByteChangeIsFoundByName) {
  sim::GameState a;
  a.area = 21;
  a.rng = 0xE7190345;
  a.actors[100] = 7;
  sim::GameState b = a;
  EXPECT_TRUE(sim::differingFields(a, b).empty());
  EXPECT_EQ(a, b);

  b.actors[2319] ^= 1;
  b.go_y2 = -5;
  auto diff = sim::differingFields(a, b);
  ASSERT_EQ(diff.size(), 2u);
  EXPECT_EQ(diff[0], "actors");  // table order: row 174 before row 264
  EXPECT_EQ(diff[1], "go_y2");
}

}  // namespace
