#include <gtest/gtest.h>

#include "app/asset_store.h"

namespace {

const unsigned char kHello[] = {'h', 'i'};
const app::EmbeddedEntry kTable[] = {
    {"assets/text/en.json", kHello, 2},
    {"world/world.json", kHello, 2},
    {nullptr, nullptr, 0},
};

TEST(AssetStore, ReadsEmbeddedEntries) {
  auto bytes = app::readFile("<embedded>/assets/text/en.json", kTable);
  ASSERT_TRUE(bytes);
  EXPECT_EQ(std::string(bytes->begin(), bytes->end()), "hi");
  EXPECT_FALSE(app::readFile("<embedded>/assets/text/xx.json", kTable));
}

}  // namespace
