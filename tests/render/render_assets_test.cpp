#include "render/render_assets.h"

#include <gtest/gtest.h>

#include "app/data.h"
#include "app/modes.h"
#include "render_fixture.h"
#include "world/world.h"

namespace {

using render_test::TempDir;
using render_test::writeText;

const char* kPictureJson = R"({"block": "%s", "width": 2, "height": 1, "patterns": 3,
  "palette": [1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 4095], "names": [[0, 2050]],
  "second_stream": true})";

std::string pictureJson(const std::string& block) {
  std::string text = kPictureJson;
  text.replace(text.find("%s"), 2, block);
  return text;
}

void writePicture(const std::filesystem::path& root, const std::string& name, const std::string& json) {
  const auto dir = root / "assets" / "graphics" / "pictures";
  writeText(dir / (name + ".json"), json);
  render_test::writeSheet(dir / (name + ".png"), 3, [](int n, int) { return n + 1; });
}

// A complete common set: hero frames, object graphics (2 rows), panel, status panel and minecart sheets.
void writeCommonSet(const std::filesystem::path& root, const std::string& streams) {
  const auto graphics = root / "assets" / "graphics";
  auto fill = [](int n, int) { return n % 16; };
  render_test::writeSheet(graphics / "brumo_frames.png", 414, fill);
  render_test::writeSheet(graphics / "object_graphics.png", 32, fill);
  render_test::writeSheet(graphics / "panel_patterns.png", 18, fill);
  render_test::writeSheet(graphics / "brumo_common.png", 5, fill);
  render_test::writeSheet(graphics / "sub4_patterns.png", 4, fill);
  render_test::writeSheet(graphics / "portrait_frame_patterns.png", 160, fill);
  writeText(graphics / "pattern_streams.json", streams);
  writeText(graphics / "brumo_common.json", R"({"count": 5, "table": [1, 2, 2049], "block": "0", "palette": []})");
  writePicture(root, "font", pictureJson("0671C4"));
}

TEST(Pictures, LoadedByBlockWithTheirSheets) {
  TempDir dir;
  writePicture(dir.path(), "font", pictureJson("0671C4"));
  writePicture(dir.path(), "title", pictureJson("a0"));
  writePicture(dir.path(), "twin", pictureJson("0000A0"));  // same block: replaces the earlier one
  const render::PictureMap pictures = render::loadPictures(dir.path());
  ASSERT_EQ(2u, pictures.size());
  const render::Picture& font = pictures.at(0x0671C4);
  EXPECT_EQ("font", font.name);
  EXPECT_EQ(2, font.width);
  EXPECT_EQ(1, font.height);
  EXPECT_EQ((std::vector<std::uint16_t>{0, 2050}), font.names);
  EXPECT_EQ(4095, font.palette[15]);  // kept as given; masked when it enters the colour memory
  ASSERT_EQ(3u, font.patterns.size());
  EXPECT_EQ(3, font.patterns[2][0]);
  EXPECT_EQ("twin", pictures.at(0xA0).name);
}

TEST(Pictures, OneBadDescriptionLeavesNoPictures) {
  struct Case {
    const char* what;
    std::string json;
    const char* message;
  };
  const Case cases[] = {
      {"unparsable", "{\"block\": ", "bad.json: not valid JSON"},
      {"width as text",
       R"({"block": "10", "width": "2", "height": 1, "patterns": 3, "palette": [], "names": [[0, 1]]})", "bad.json: "},
      {"block not hex", pictureJson("XYZ"), "bad.json: "},
      {"block with trailing text", pictureJson("12G"), "bad.json: "},
      {"short palette", R"({"block": "10", "width": 2, "height": 1, "patterns": 3, "palette": [1], "names": [[0, 1]]})",
       "bad.json: "},
      {"names not matching the size", R"({"block": "10", "width": 2, "height": 2, "patterns": 3,
        "palette": [0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0], "names": [[0, 1]]})",
       "needs 4 words, not 2"},
      {"zero width", R"({"block": "10", "width": 0, "height": 2, "patterns": 3,
        "palette": [0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0], "names": []})",
       "bad.json: "},
  };
  for (const Case& c : cases) {
    TempDir dir;
    writePicture(dir.path(), "a_good", pictureJson("10"));
    writePicture(dir.path(), "bad", c.json);
    testing::internal::CaptureStderr();
    EXPECT_TRUE(render::loadPictures(dir.path()).empty()) << c.what;
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(std::string::npos, log.find(c.message)) << c.what << ": " << log;
  }

  TempDir dir;
  testing::internal::CaptureStderr();
  EXPECT_TRUE(render::loadPictures(dir.path()).empty());  // the folder does not even exist
  EXPECT_NE(std::string::npos, testing::internal::GetCapturedStderr().find("no pictures under"));

  // A picture whose sheet is missing fails the whole set as well.
  writeText(dir.path() / "assets" / "graphics" / "pictures" / "lonely.json", pictureJson("20"));
  testing::internal::CaptureStderr();
  EXPECT_TRUE(render::loadPictures(dir.path()).empty());
  testing::internal::GetCapturedStderr();
}

TEST(CommonGraphics, LoadOnceWithCountsFromTheStreams) {
  TempDir dir;
  writeCommonSet(dir.path(), R"({"sub4_patterns": 4, "portrait_frame_patterns": 160})");  // no panel count
  world::World world;
  render::RenderAssets assets(dir.path(), world);
  ASSERT_TRUE(assets.loadCommonGraphics());
  EXPECT_EQ(414u, assets.hero_frames.size());
  EXPECT_EQ(32u, assets.object_patterns.size());  // every square of a 16 x 2 sheet
  EXPECT_TRUE(assets.panel_patterns.empty());     // a missing count is 0
  EXPECT_EQ(5u, assets.status_panel_patterns.size());
  EXPECT_EQ((std::vector<std::uint16_t>{1, 2, 2049}), assets.status_panel_table);
  EXPECT_EQ(4u, assets.minecart_patterns.size());
  ASSERT_NE(nullptr, assets.findPicture(0x0671C4));
  EXPECT_EQ(nullptr, assets.findPicture(0x0671C6));

  // Kept: removing the files afterwards changes nothing.
  std::filesystem::remove_all(dir.path() / "assets");
  EXPECT_TRUE(assets.loadCommonGraphics());
  EXPECT_FALSE(assets.loadPortraitFrames());
}

TEST(CommonGraphics, FailuresKeepNothingAndAreRetried) {
  TempDir dir;
  writeCommonSet(dir.path(), R"({"panel_patterns": 99})");  // more panel patterns than the sheet holds
  world::World world;
  render::RenderAssets assets(dir.path(), world);
  testing::internal::CaptureStderr();
  EXPECT_FALSE(assets.loadCommonGraphics());
  EXPECT_NE(std::string::npos, testing::internal::GetCapturedStderr().find("holds fewer than 99 patterns"));
  EXPECT_TRUE(assets.hero_frames.empty());
  EXPECT_TRUE(assets.object_patterns.empty());

  writeText(dir.path() / "assets" / "graphics" / "pattern_streams.json", "{oops");
  testing::internal::CaptureStderr();
  EXPECT_FALSE(assets.loadCommonGraphics());
  EXPECT_NE(std::string::npos,
            testing::internal::GetCapturedStderr().find("pattern_streams.json or brumo_common.json is not valid JSON"));
  EXPECT_FALSE(assets.loadPortraitFrames());

  writeText(dir.path() / "assets" / "graphics" / "pattern_streams.json", R"({"panel_patterns": "18"})");
  testing::internal::CaptureStderr();
  EXPECT_FALSE(assets.loadCommonGraphics());  // a wrong type is a failure, not an exception
  testing::internal::GetCapturedStderr();

  writeText(dir.path() / "assets" / "graphics" / "pattern_streams.json",
            R"({"panel_patterns": 18, "portrait_frame_patterns": 160})");
  EXPECT_TRUE(assets.loadCommonGraphics());
  EXPECT_EQ(18u, assets.panel_patterns.size());
  EXPECT_TRUE(assets.loadPortraitFrames());
  EXPECT_EQ(160u, assets.portrait_frame_patterns.size());
}

TEST(RenderAreaMode, ArgumentsAndExitCodes) {
  app::Data data;
  app::Options options;
  options.renderArea = 3;
  testing::internal::CaptureStderr();
  EXPECT_EQ(2, app::runRenderArea(data, options));  // no camera, no output
  options.camera = 0;
  EXPECT_EQ(2, app::runRenderArea(data, options));
  EXPECT_EQ("--render-area needs --camera X and --out FILE\n--render-area needs --camera X and --out FILE\n",
            testing::internal::GetCapturedStderr());

  TempDir dir;
  options.out = (dir.path() / "a.png").string();
  data.dataDirectory = dir.path();
  data.world = std::make_shared<world::World>();
  testing::internal::CaptureStderr();
  EXPECT_EQ(1, app::runRenderArea(data, options));  // area 3 does not exist
  EXPECT_NE(std::string::npos, testing::internal::GetCapturedStderr().find("no area 3"));
}

}  // namespace
