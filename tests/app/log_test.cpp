#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "base/log.h"
#include "temp_folder.h"

namespace {

using testing_support::readWhole;
using testing_support::TempFolder;

class LogFile : public ::testing::Test {
 protected:
  void TearDown() override { app::closeLogFile(); }
  TempFolder folder;
};

TEST_F(LogFile, KeepsOnePreviousRun) {
  const auto path = folder.path() / "logs" / "brumo.log";  // the folder is created
  for (const char* run : {"first", "second", "third"}) {
    testing::internal::CaptureStderr();
    ASSERT_TRUE(app::openLogFile(path));
    app::logMessage(app::kInfo, "%s run", run);
    app::closeLogFile();
    testing::internal::GetCapturedStderr();
  }
  EXPECT_NE(readWhole(path).find("third run"), std::string::npos);
  const std::string previous = readWhole(folder.path() / "logs" / "brumo.prev.log");
  EXPECT_NE(previous.find("second run"), std::string::npos);
  EXPECT_EQ(previous.find("first run"), std::string::npos);
}

TEST_F(LogFile, LineFormatsLevelWordsAndTheCut) {
  const auto path = folder.path() / "brumo.log";
  ASSERT_TRUE(app::openLogFile(path));
  const std::string longMessage(3000, 'x');
  testing::internal::CaptureStderr();
  app::logMessage(app::kInfo, "n=%d", 5);
  app::logMessage(app::kWarn, "careful");
  app::logMessage(7, "odd level");
  app::logMessage(app::kError, "%s", longMessage.c_str());
  const std::string err = testing::internal::GetCapturedStderr();
  app::closeLogFile();

  const std::string cut(2047, 'x');
  EXPECT_EQ(err, "[info] n=5\n[warn] careful\n[error] odd level\n[error] " + cut + "\n");

  const std::string file = readWhole(path);
  const std::regex pattern(
      "\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d \\[info\\] n=5\n"
      "\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d \\[warn\\] careful\n"
      "\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d \\[error\\] odd level\n"
      "\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d \\[error\\] x{2047}\n");
  EXPECT_TRUE(std::regex_match(file, pattern)) << file.substr(0, 200);
}

TEST_F(LogFile, UnwritableFileCostsOnlyTheFile) {
  folder.put("blocker", "x");
  const auto path = folder.path() / "blocker" / "brumo.log";
  testing::internal::CaptureStderr();
  EXPECT_FALSE(app::openLogFile(path));
  app::logMessage(app::kInfo, "still here");
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "[error] could not write the log file " + path.string() + "\n[info] still here\n");
}

TEST_F(LogFile, RawLineHasNoTimeOrLevel) {
  const auto path = folder.path() / "brumo.log";
  ASSERT_TRUE(app::openLogFile(path));
  app::logRawLine("as it is");
  app::closeLogFile();
  EXPECT_EQ(readWhole(path), "as it is\n");
}

}  // namespace
