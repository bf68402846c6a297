#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include <string>
#include <vector>

#include "base/asset_store.h"
#include "base/log.h"
#include "temp_folder.h"

namespace {

namespace fs = std::filesystem;
using testing_support::TempFolder;

const unsigned char kHello[] = {'h', 'i'};
const app::EmbeddedEntry kTable[] = {
    {"assets/graphics/areas/area_00.png", kHello, 2},
    {"assets/graphics/b.png", kHello, 2},
    {"assets/graphics/a.png", kHello, 1},
    {"assets/graphics/a.json", kHello, 2},
    {"assets/text/empty.json", kHello, 0},
    {"assets/text/en.json", kHello, 2},
    {"world/world.json", kHello, 2},
    {nullptr, nullptr, 0},
};
const app::EmbeddedEntry kTableWithoutWorld[] = {
    {"assets/text/en.json", kHello, 2},
    {nullptr, nullptr, 0},
};

std::string text(const std::optional<app::Bytes>& bytes) {
  return std::string(bytes->begin(), bytes->end());
}

TEST(AssetStore, ReadsEmbeddedEntriesByExactName) {
  auto bytes = app::readFile("<embedded>/assets/text/en.json", kTable);
  ASSERT_TRUE(bytes);
  EXPECT_EQ(text(bytes), "hi");
  auto empty = app::readFile("<embedded>/assets/text/empty.json", kTable);
  ASSERT_TRUE(empty);
  EXPECT_TRUE(empty->empty());
  // Backslashes count as separators for the embedded set.
  EXPECT_TRUE(app::readFile("<embedded>\\assets\\text\\en.json", kTable));

  testing::internal::CaptureStderr();
  EXPECT_FALSE(app::readFile("<embedded>/assets/text/xx.json", kTable));
  EXPECT_FALSE(app::readFile("<embedded>/assets/text/EN.json", kTable));
  EXPECT_FALSE(app::readFile("<embedded>/assets/text/en.jso", kTable));
  std::string log = testing::internal::GetCapturedStderr();
  EXPECT_NE(log.find("[error] <embedded>/assets/text/xx.json is not embedded\n"), std::string::npos);
}

TEST(AssetStore, EmbeddedMarkerWithoutSlashIsADiskPath) {
  testing::internal::CaptureStderr();
  EXPECT_FALSE(app::readFile("<embedded>", kTable));
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "[error] cannot open <embedded>\n");
}

TEST(AssetStore, ReadsDiskFilesAsTheyAre) {
  TempFolder folder;
  const std::string content("a\r\nb\0c", 6);
  fs::path file = folder.put("x/data.bin", content);
  auto bytes = app::readFile(file);
  ASSERT_TRUE(bytes);
  EXPECT_EQ(text(bytes), content);
  EXPECT_EQ(app::readTextFile(file), content);

  testing::internal::CaptureStderr();
  EXPECT_FALSE(app::readFile(folder.path() / "missing.json"));
  EXPECT_FALSE(app::readFile(folder.path() / "x"));  // a folder is not a file
  std::string log = testing::internal::GetCapturedStderr();
  EXPECT_NE(log.find("cannot open " + (folder.path() / "missing.json").string()), std::string::npos);
  EXPECT_NE(log.find("cannot open " + (folder.path() / "x").string()), std::string::npos);
}

TEST(AssetStore, ListsEmbeddedFolderWithoutSubfoldersOrOtherExtensions) {
  auto png = app::listFiles("<embedded>/assets/graphics", ".png", kTable);
  EXPECT_EQ(png, (std::vector<fs::path>{"<embedded>/assets/graphics/a.png", "<embedded>/assets/graphics/b.png"}));
  auto json = app::listFiles("<embedded>/assets/graphics", ".json", kTable);
  EXPECT_EQ(json, (std::vector<fs::path>{"<embedded>/assets/graphics/a.json"}));
  EXPECT_TRUE(app::listFiles("<embedded>/assets/nothing", ".png", kTable).empty());
  // Listed paths read back.
  EXPECT_TRUE(app::readFile(png[0], kTable));
}

TEST(AssetStore, ListsDiskFolderSortedRegularFilesOnly) {
  TempFolder folder;
  folder.put("c.json");
  folder.put("a.json");
  folder.put("b.png");
  folder.put("sub/d.json");
  fs::create_directories(folder.path() / "dir.json");
  auto json = app::listFiles(folder.path(), ".json");
  EXPECT_EQ(json, (std::vector<fs::path>{folder.path() / "a.json", folder.path() / "c.json"}));

  // A missing folder lists as empty with a log line instead of throwing.
  testing::internal::CaptureStderr();
  EXPECT_TRUE(app::listFiles(folder.path() / "missing", ".json").empty());
  EXPECT_NE(testing::internal::GetCapturedStderr().find("cannot list"), std::string::npos);
}

TEST(AssetStore, WriteFileCreatesParentsAndTruncates) {
  TempFolder folder;
  fs::path file = folder.path() / "one" / "two" / "f.txt";
  ASSERT_TRUE(app::writeFile(file, std::string_view("longer text")));
  ASSERT_TRUE(app::writeFile(file, std::string_view("short")));
  EXPECT_EQ(testing_support::readWhole(file), "short");
}

TEST(AssetStore, WriteFileReportsFailures) {
  TempFolder folder;
  folder.put("blocker", "x");
  testing::internal::CaptureStderr();
  // The parent is a file, so neither the folder nor the file can be made.
  EXPECT_FALSE(app::writeFile(folder.path() / "blocker" / "f.txt", std::string_view("x")));
  EXPECT_NE(testing::internal::GetCapturedStderr().find("cannot write"), std::string::npos);
  // A full device: the write fails only when the buffer reaches the disk.
  if (fs::exists("/dev/full")) {
    testing::internal::CaptureStderr();
    EXPECT_FALSE(app::writeFile("/dev/full", std::string_view("data that never fits")));
    testing::internal::GetCapturedStderr();
  }
}

// A write that fails only when the stream's buffer goes to the file, made on any machine: a file size
// limit below the text, which is far smaller than the buffer, so nothing reaches the file before the close.
// The child process keeps the limit (and the ignored signal it raises) out of the other tests.
TEST(AssetStore, WriteFileJudgesSuccessAfterTheClose) {
  TempFolder folder;
  const fs::path file = folder.path() / "limited.txt";
  const pid_t child = fork();
  ASSERT_NE(child, -1);
  if (child == 0) {
    std::signal(SIGXFSZ, SIG_IGN);
    if (!std::freopen("/dev/null", "w", stderr)) _exit(3);  // its "cannot write" line is expected
    const rlimit limit{16, 16};
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(3);
    const bool written = app::writeFile(file, std::string_view("a text of more than sixteen bytes"));
    _exit(written ? 1 : 0);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  std::error_code error;
  EXPECT_EQ(WEXITSTATUS(status), 0) << "1: the write was reported as done though the file holds "
                                    << fs::file_size(file, error) << " bytes; 3: the child could not be set up";
}

// A data file that is a device or a pipe would be read for ever (or until the memory runs out); only
// regular files are read, through links as well.
TEST(AssetStore, ReadsOnlyRegularFiles) {
  TempFolder folder;
  fs::create_directories(folder.path() / "world");
  fs::create_symlink("/dev/zero", folder.path() / "world" / "world.json");
  ASSERT_EQ(mkfifo((folder.path() / "pipe").c_str(), 0600), 0);
  folder.put("real.txt", "hi");
  fs::create_symlink(folder.path() / "real.txt", folder.path() / "link.txt");
  testing::internal::CaptureStderr();
  EXPECT_FALSE(app::readFile(folder.path() / "world" / "world.json"));
  EXPECT_FALSE(app::readFile(folder.path() / "pipe"));
  EXPECT_NE(testing::internal::GetCapturedStderr().find("cannot open " + (folder.path() / "pipe").string()),
            std::string::npos);
  EXPECT_EQ(text(app::readFile(folder.path() / "link.txt")), "hi");
}

// The writers of files the player keeps go through a temporary file: a failed write leaves the earlier file.
TEST(AssetStore, ReplaceFileKeepsTheEarlierFileWhenTheWriteFails) {
  TempFolder folder;
  const fs::path file = folder.put("kept.bin", "earlier");
  const std::uint8_t later[] = {'l', 'a', 't', 'e', 'r'};
  ASSERT_TRUE(app::replaceFile(file, later));
  EXPECT_EQ(testing_support::readWhole(file), "later");
  EXPECT_FALSE(fs::exists(file.string() + ".tmp"));
  fs::create_directories(file.string() + ".tmp");  // the temporary file cannot be made
  testing::internal::CaptureStderr();
  EXPECT_FALSE(app::replaceFile(file, std::span<const std::uint8_t>(later, 2)));
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(testing_support::readWhole(file), "later");
}

class DataSearch : public ::testing::Test {
 protected:
  TempFolder folder;
};

TEST_F(DataSearch, DataOptionMustHoldTheWorld) {
  folder.put("good/world/world.json", "{}");
  EXPECT_EQ(app::findDataDirectory((folder.path() / "good").string(), "", "", kTable), folder.path() / "good");

  testing::internal::CaptureStderr();
  const std::string bad = (folder.path() / "bad").string();
  // Even with a usable compiled-in set, a wrong --data fails.
  EXPECT_FALSE(app::findDataDirectory(bad, "", "", kTable));
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "[error] " + bad + " does not contain world/world.json\n");
}

TEST_F(DataSearch, WalksUpFromTheExecutableThenTheWorkingDirectory) {
  folder.put("checkout/world/world.json");
  fs::create_directories(folder.path() / "checkout/build/bin");
  folder.put("other/world/world.json");
  fs::create_directories(folder.path() / "other/deep");

  // Two levels up from the executable.
  EXPECT_EQ(app::findDataDirectory("", folder.path() / "checkout/build/bin", folder.path() / "other/deep", kTable),
            folder.path() / "checkout");
  // The executable's walk finds nothing, the working directory's does.
  fs::create_directories(folder.path() / "lonely");
  EXPECT_EQ(app::findDataDirectory("", folder.path() / "lonely", folder.path() / "other/deep", kTable),
            folder.path() / "other");
}

TEST_F(DataSearch, FallsBackToTheCompiledInSetOrFails) {
  // A temporary folder normally has no world/ above it; a machine that has one cannot show the fallback.
  if (const auto found = app::findDataDirectory("", folder.path(), folder.path(), kTableWithoutWorld))
    GTEST_SKIP() << "a data set lies above the temporary folder, at " << *found;
  EXPECT_EQ(app::findDataDirectory("", folder.path(), folder.path(), kTable), fs::path("<embedded>"));

  testing::internal::CaptureStderr();
  EXPECT_FALSE(app::findDataDirectory("", folder.path(), folder.path(), kTableWithoutWorld));
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "[error] cannot find the project data (assets/, world/); pass --data <dir>\n");
}

}  // namespace
