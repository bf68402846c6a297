#include <gtest/gtest.h>

#include <csignal>
#include <ctime>
#include <regex>
#include <stdexcept>
#include <string>
#include <thread>

#include "app/crash_report.h"
#include "base/log.h"
#include "temp_folder.h"

namespace {

using testing_support::readWhole;
using testing_support::TempFolder;

const char* const kStamp = "\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d";

class CrashReport : public ::testing::Test {
 protected:
  TempFolder folder;
};

TEST_F(CrashReport, AccessViolationLeavesOneLineAndDiesWithTheSignal) {
  const auto user = folder.path() / "user";
  EXPECT_EXIT(
      {
        app::openLogFile(user / "brumo.log");
        app::installCrashHandlers(user);
        app::crashOnPurpose();
      },
      ::testing::KilledBySignal(SIGSEGV), "crash: signal SIGSEGV \\(invalid memory access\\) at 0x0\n");

  const std::string errors = readWhole(user / "errors.log");
  EXPECT_TRUE(std::regex_match(
      errors, std::regex(std::string(kStamp) + "  crash: signal SIGSEGV \\(invalid memory access\\) at 0x0\n")))
      << errors;
  // The same line ends the log file.
  const std::string log = readWhole(user / "brumo.log");
  ASSERT_GE(log.size(), errors.size());
  EXPECT_EQ(log.substr(log.size() - errors.size()), errors);
}

TEST_F(CrashReport, EscapedExceptionIsReportedOnceThroughTerminate) {
  const auto user = folder.path() / "user";
  EXPECT_EXIT(
      {
        app::installCrashHandlers(user);
        std::thread([] { throw std::runtime_error("the disk is on fire"); }).join();
      },
      ::testing::KilledBySignal(SIGABRT), "crash: std::terminate \\(the disk is on fire\\)");

  // The abort that follows the report does not add a second line.
  const std::string errors = readWhole(user / "errors.log");
  EXPECT_TRUE(
      std::regex_match(errors, std::regex(std::string(kStamp) + "  crash: std::terminate \\(the disk is on fire\\)\n")))
      << errors;
}

TEST_F(CrashReport, LinesAppendAcrossRunsAndOtherSignalsAreNamed) {
  const auto user = folder.path() / "user";
  folder.put("user/errors.log", "earlier line\n");
  EXPECT_EXIT(
      {
        app::installCrashHandlers(user);
        std::raise(SIGFPE);
      },
      ::testing::KilledBySignal(SIGFPE), "crash: signal SIGFPE");
  const std::string errors = readWhole(user / "errors.log");
  EXPECT_TRUE(errors.starts_with("earlier line\n")) << errors;
  EXPECT_NE(errors.find("crash: signal SIGFPE (arithmetic fault) at 0x"), std::string::npos) << errors;
}

TEST(CrashTime, MatchesTheCalendar) {
  const long long times[] = {0, 951782400 /* 2000-02-29 */, 1709251199, 4102444800 /* 2100-01-01 */,
                             1798761599 /* the last second of 2026 */};
  for (long long t : times) {
    for (long offset : {0L, 3600L, -5L * 3600, 13L * 3600 + 45 * 60}) {
      std::time_t shifted = static_cast<std::time_t>(t + offset);
      std::tm utc{};
      gmtime_r(&shifted, &utc);
      char expected[32];
      std::strftime(expected, sizeof expected, "%Y-%m-%d %H:%M:%S", &utc);
      char actual[20];
      app::formatCrashTime(t, offset, actual);
      EXPECT_STREQ(actual, expected) << t << " " << offset;
    }
  }
}

}  // namespace
