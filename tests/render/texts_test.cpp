#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "render/texts.h"
#include "world/world_fixture.h"

namespace {

using world_test::DataDir;
using world_test::json;
using Bytes = std::vector<std::uint8_t>;

TEST(TextEncoding, PagesBecomeTheCartridgesBytes) {
  struct Case {
    const char* page;
    std::optional<Bytes> bytes;
  };
  const Case cases[] = {
      {"ab", Bytes{0x61, 0x62}},       {"{01}", Bytes{0x01}},
      {"{ff}x", Bytes{0xFF, 'x'}},     {"{0g}", Bytes{0x00}},  // the digits count as far as they are hex
      {"{7)]", Bytes{0x07}},                                   // any fourth character closes the escape
      {"a\nb", Bytes{'a', 0xFF, 'b'}}, {"\xC3\xA9\xC3\xB1\xC2\xBF", Bytes{130, 164, 168}},  // é ñ ¿
      {"\xC2\xA0", Bytes{255}},        // a no-break space ends the line
      {"\xE2\x96\x88", Bytes{219}},    // full block
      {"\xE2\x82\xAC", std::nullopt},  // no euro sign in the code page
      {"{g1}", std::nullopt},          {"{01", std::nullopt},
      {"ab{", std::nullopt},           {"\xC3", std::nullopt},  // a cut UTF-8 sequence
      {"\xFF", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.page);
    EXPECT_EQ(render::encodePage(c.page), c.bytes);
  }
}

json textFile() {
  return json{{"language", "en"},
              {"block", "012345"},
              {"entries", json::array({1, nullptr, 0})},
              {"messages", json::array({json{{"pages", {"ab", "", "{03}"}}, {"terminated", true}},
                                        json{{"header", {1, 2, 0x1234}}, {"pages", {"x"}}, {"terminated", false}},
                                        json{{"pages", json::array({"\xC3\xA9"})}}})}};
}

TEST(TextImage, EntryTableThenMessages) {
  DataDir dir;
  dir.write("assets/text/fr.json", textFile());
  std::optional<render::TextImage> image = render::loadTexts(dir.root(), 1);
  ASSERT_TRUE(image);
  // Three entries (6 bytes); message 0 at 6, message 1 at 12, message 2 at 19.
  const Bytes expected = {0x00, 0x0C, 0x00, 0x00, 0x00, 0x06,       // the table
                          0x61, 0x62, 0x00, 0x00, 0x03, 0x00,       // pages with 0 between and after
                          0x00, 0x01, 0x00, 0x02, 0x12, 0x34, 'x',  // header words, not terminated
                          130,  0x00};                              // terminated by default
  EXPECT_EQ(*image, expected);
}

TEST(TextImage, RefusesBadLanguagesAndFiles) {
  struct Case {
    const char* what;
    std::int64_t language;
    std::optional<json> file;  // nothing: the file is missing
    std::string raw;           // written as is when not empty
    const char* message;
  };
  json unencodable = textFile();
  unencodable["messages"][1]["pages"][0] = "\xE2\x82\xAC";
  json pastTheEnd = textFile();
  pastTheEnd["entries"].push_back(3);
  json pageNumber = textFile();
  pageNumber["messages"][0]["pages"][0] = 5;
  json headerNumber = textFile();
  headerNumber["messages"][1]["header"] = 5;
  json noMessages = textFile();
  noMessages.erase("messages");
  const Case cases[] = {
      {"language 5", 5, textFile(), "", "no text for language 5"},
      {"language -1", -1, textFile(), "", "no text for language -1"},
      {"language 2^32", std::int64_t{1} << 32, textFile(), "", "no text for language 4294967296"},
      {"no messages", 0, noMessages, "", "en.json: not a text file"},
      {"an array", 0, json::array({1}), "", "en.json: not a text file"},
      {"broken JSON", 0, std::nullopt, "{\"entries\": [", "en.json: not a text file"},
      {"euro sign", 0, unencodable, "", "en.json: a message cannot be encoded"},
      {"entry past the messages", 0, pastTheEnd, "", "en.json: entry names message 3, which does not exist"},
      {"page a number", 0, pageNumber, "", "en.json: "},
      {"header a number", 0, headerNumber, "", "en.json: a header is not an array"},
      {"missing file", 0, std::nullopt, "", "en.json"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    DataDir dir;
    if (c.file) dir.write("assets/text/en.json", *c.file);
    if (!c.raw.empty()) dir.write("assets/text/en.json", c.raw);
    testing::internal::CaptureStderr();
    std::optional<render::TextImage> image = render::loadTexts(dir.root(), c.language);
    std::string log = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(image);
    EXPECT_NE(log.find(c.message), std::string::npos) << log;
  }
}

TEST(TextImage, RefusesMessagesBeyondSixteenBitOffsets) {
  DataDir dir;
  json file = textFile();
  file["messages"][0]["pages"] = json::array({std::string(70000, 'a')});
  dir.write("assets/text/en.json", file);
  testing::internal::CaptureStderr();
  EXPECT_FALSE(render::loadTexts(dir.root(), 0));
  testing::internal::GetCapturedStderr();
}

TEST(TextImage, CacheLoadsOnceAndRetriesFailures) {
  DataDir dir;
  render::TextImages cache(dir.root());
  testing::internal::CaptureStderr();
  EXPECT_EQ(render::textsFor(cache, 0), nullptr);
  testing::internal::GetCapturedStderr();

  dir.write("assets/text/en.json", textFile());
  const render::TextImage* first = render::textsFor(cache, 0);
  ASSERT_NE(first, nullptr);
  std::filesystem::remove(dir.root() / "assets/text/en.json");
  EXPECT_EQ(render::textsFor(cache, 0), first);  // no second read
}

// The renderer asks for the texts every frame: a language whose file is missing or broken is reported
// once, not once a frame, and is read again once the file is written.
TEST(TextImage, CacheReportsAFailureOnceUntilTheFileChanges) {
  DataDir dir;
  render::TextImages cache(dir.root());
  const auto countLines = [](const std::string& text) { return std::count(text.begin(), text.end(), '\n'); };
  testing::internal::CaptureStderr();
  for (int frame = 0; frame < 50; ++frame) EXPECT_EQ(render::textsFor(cache, 1), nullptr);
  EXPECT_EQ(countLines(testing::internal::GetCapturedStderr()), 1);

  dir.write("assets/text/fr.json", json::object());
  testing::internal::CaptureStderr();
  for (int frame = 0; frame < 50; ++frame) EXPECT_EQ(render::textsFor(cache, 1), nullptr);
  EXPECT_EQ(countLines(testing::internal::GetCapturedStderr()), 1);  // "not a text file", once

  dir.write("assets/text/fr.json", textFile());
  EXPECT_NE(render::textsFor(cache, 1), nullptr);
}

}  // namespace
