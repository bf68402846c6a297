// Faults from outside: a full disk under every writer, a preference folder that cannot be written, and a
// data directory with one file missing. Each must end in a line that says what failed, never in a crash.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/display.h"
#include "app/pilot/route_cache.h"
#include "app/play_export.h"
#include "app/recording/recording.h"
#include "audio/wav.h"
#include "temp_folder.h"
#include "ui/saves.h"
#include "ui/settings.h"

namespace {

namespace fs = std::filesystem;
using testing_support::readWhole;
using testing_support::TempFolder;

const bool kHaveFullDevice = fs::is_character_file("/dev/full");

struct ChildRun {
  int exitCode = -1;
  bool signalled = false;
  std::string err;
};

std::string quote(const std::string& word) {
  std::string quoted = "'";
  for (char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

ChildRun runProgram(const std::vector<std::string>& arguments, const fs::path& scratch) {
  std::string command = "cd " + quote(scratch.string()) + " && SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy ";
  command.append(quote(GROVANTA_BINARY_DIR "/grovanta"));
  for (const std::string& a : arguments) command.append(" ").append(quote(a));
  const fs::path errFile = scratch / "stderr.txt";
  command.append(" >/dev/null 2>").append(quote(errFile.string()));
  const int status = std::system(command.c_str());
  ChildRun run;
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.signalled = WIFSIGNALED(status) || (WIFEXITED(status) && WEXITSTATUS(status) > 128);
  run.err = readWhole(errFile);
  return run;
}

bool contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// Every writer of a file the player keeps, with an earlier good file in place and its temporary file
// leading to a full disk: the write fails with a line naming the file, and the earlier file is unchanged.
TEST(FullDisk, EveryWriterReportsItAndKeepsTheEarlierFile) {
  if (!kHaveFullDevice) GTEST_SKIP() << "no /dev/full";
  struct Writer {
    const char* file;
    std::function<bool(const fs::path&)> write;
  };
  const std::vector<std::int16_t> samples(4800, 1000);
  const app::RgbaPicture picture{4, 2, std::vector<std::uint32_t>(8, 0xFF336699u)};
  const Writer writers[] = {
      {"settings.json", [](const fs::path& p) { return app::saveSettings(p, app::Settings{}); }},
      {"sound.wav", [&](const fs::path& p) { return audio::writeWav(p, samples, 48000); }},
      {"picture.png", [&](const fs::path& p) { return app::writeRgbaPng(p, picture); }},
      {"slot_1.json", [](const fs::path& p) { return ui::writeSave(p, sim::GameState{}, 0); }},
      {"game.txt",
       [](const fs::path& p) {
         return app::writeRecording(p, 0, 2, 0, {{'S', 8}}, {"quit"});
       }},
      {"bot.txt",
       [](const fs::path& p) {
         app::RecordingStream stream;
         if (!stream.open(p, 0, 2, 0)) return false;
         stream.add({'S', 8});
         return stream.finish({"quit"});
       }},
      {"route.txt.cache", [](const fs::path& p) { return app::pilot::RouteCache().save(p, false); }},
  };
  for (const Writer& w : writers) {
    TempFolder folder;
    app::Settings earlier;
    earlier.crt = false;
    const fs::path path = folder.put(w.file, app::settingsText(earlier));
    const std::string before = readWhole(path);
    fs::create_symlink("/dev/full", path.string() + ".tmp");

    testing::internal::CaptureStderr();
    EXPECT_FALSE(w.write(path)) << w.file;
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(contains(err, "cannot write " + path.string())) << w.file << ": " << err;
    EXPECT_EQ(readWhole(path), before) << w.file;
  }
}

// A save cut short: the program killed at any moment of a save, the rename included, and a save that
// stopped between writing its temporary file and the rename. Either way the slot still reads as a whole
// save (the earlier one, or the new one once the rename is done), and the next save goes through.
TEST(InterruptedSave, TheSlotAlwaysHoldsAWholeSave) {
  const auto base = ui::readSave(GROVANTA_SOURCE_DIR "/tests/fuzz/corpus/save/slot_1.json");
  ASSERT_TRUE(base);
  sim::GameState earlier = base->state;
  sim::GameState later = base->state;
  earlier.lives = 3;
  later.lives = 5;
  TempFolder folder;
  const fs::path path = ui::slotPath(folder.path(), 1);
  fs::create_directories(path.parent_path());
  const fs::path temporary = path.string() + ".tmp";

  // Stopped after the write, before the rename: a whole new save, or half of one, left beside the slot.
  ASSERT_TRUE(ui::writeSave(path, earlier, 100));
  const std::string newText = ui::saveText(later, 200);
  for (std::size_t left : {newText.size(), newText.size() / 2}) {
    folder.put(fs::relative(temporary, folder.path()).string(), newText.substr(0, left));
    const auto read = ui::readSave(path);
    ASSERT_TRUE(read) << left;
    EXPECT_EQ(read->state.lives, 3);
    EXPECT_EQ(read->saved_at, 100);
  }
  ASSERT_TRUE(ui::writeSave(path, later, 200));
  EXPECT_FALSE(fs::exists(temporary));
  EXPECT_EQ(ui::readSave(path)->state.lives, 5);

  // Killed at a moment of the saving that differs from run to run: a child saves the two states in turn
  // as fast as it can until it is killed.
  ASSERT_TRUE(ui::writeSave(path, earlier, 100));
  for (int run = 0; run < 12; ++run) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      for (std::int64_t n = 0;; ++n) ui::writeSave(path, n % 2 == 0 ? later : earlier, n % 2 == 0 ? 200 : 100);
    }
    usleep(static_cast<useconds_t>(2000 + run * 1700));
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    const auto read = ui::readSave(path);
    ASSERT_TRUE(read) << "run " << run;
    EXPECT_TRUE(read->state == (read->saved_at == 200 ? later : earlier)) << "run " << run;
  }
  EXPECT_TRUE(ui::writeSave(path, later, 300));
  EXPECT_EQ(ui::readSave(path)->saved_at, 300);
}

// The exports of the program itself: each run names the file and ends with a failure code.
TEST(FullDisk, TheExportsOfARunFailWithTheirCode) {
  if (!kHaveFullDevice) GTEST_SKIP() << "no /dev/full";
  TempFolder folder;
  const std::string data = GROVANTA_SOURCE_DIR;
  const std::string user = (folder.path() / "user").string();

  // Links to the device in the scratch folder: the exports write through them in place (a device is not
  // replaced by a rename), and nothing is ever made beside the device itself.
  const fs::path wavPath = folder.path() / "tune.wav";
  const fs::path outPath = folder.path() / "last.png";
  fs::create_symlink("/dev/full", wavPath);
  fs::create_symlink("/dev/full", outPath);
  ChildRun wav =
      runProgram({"--data", data, "--sound-wav", wavPath.string(), "--tune", "1", "--seconds", "0.2"}, folder.path());
  EXPECT_EQ(wav.exitCode, 1) << wav.err;
  EXPECT_TRUE(contains(wav.err, "cannot write " + wavPath.string())) << wav.err;

  ChildRun out =
      runProgram({"--data", data, "--user", user, "--windowed", "--quit-after-frames", "3", "--out", outPath.string()},
                 folder.path());
  EXPECT_EQ(out.exitCode, 2) << out.err;
  EXPECT_TRUE(contains(out.err, "cannot write " + outPath.string())) << out.err;
  EXPECT_TRUE(fs::is_symlink(outPath));

  const fs::path video = folder.path() / "video";
  fs::create_directories(video);
  fs::create_symlink("/dev/full", video / "sound.wav.tmp");
  ChildRun run =
      runProgram({"--data", data, "--user", user, "--windowed", "--quit-after-frames", "3", "--video", video.string()},
                 folder.path());
  EXPECT_EQ(run.exitCode, 2) << run.err;
  EXPECT_TRUE(contains(run.err, "cannot write " + (video / "sound.wav").string())) << run.err;
  EXPECT_TRUE(fs::exists(video / "frame_000002.png"));
}

// A preference folder where nothing can be made: the game still plays and says what it could not keep.
TEST(PreferenceFolder, OneThatCannotBeWrittenStillPlays) {
  TempFolder folder;
  struct Case {
    const char* name;
    std::function<fs::path(const TempFolder&)> make;
  };
  const Case cases[] = {
      // A file where the folder should be: nothing can be created under it, whoever runs the test.
      {"a file in its place", [](const TempFolder& f) { return f.put("blocked", "not a folder"); }},
      // Without write permission (root writes there anyway, so this case only bites for other users).
      {"read-only",
       [](const TempFolder& f) {
         const fs::path p = f.path() / "readonly";
         fs::create_directories(p);
         fs::permissions(p, fs::perms::owner_read | fs::perms::owner_exec);
         return p;
       }},
  };
  for (const Case& c : cases) {
    const fs::path user = c.make(folder);
    // The F11 presses change a setting, which asks for settings.json to be written.
    ChildRun run = runProgram({"--data", GROVANTA_SOURCE_DIR, "--user", user.string(), "--windowed",
                               "--quit-after-frames", "8", "--keys", "3:F11,5:F11"},
                              folder.path());
    fs::permissions(user, fs::perms::owner_all, fs::perm_options::add);
    EXPECT_FALSE(run.signalled) << c.name << ": " << run.err;
    EXPECT_EQ(run.exitCode, 0) << c.name << ": " << run.err;
    if (geteuid() != 0 || fs::is_regular_file(user)) {
      EXPECT_TRUE(contains(run.err, "settings.json")) << c.name << ": " << run.err;
    }
  }
}

// A copy of the data set with one file missing, for each kind of file the game reads: the run ends (or
// goes on without that file) with a line naming it, and never with a signal.
TEST(MissingDataFile, EachKindIsNamedAndNothingCrashes) {
  struct Case {
    const char* file;
    int exitCode;
    std::vector<std::string> more;  // what makes the run read the file
  };
  const Case cases[] = {
      {"world/world.json", 1, {}},
      {"assets/palettes/areas.json", 1, {}},
      {"assets/data/tables.json", 1, {}},
      {"assets/data/rule_tables.json", 2, {}},
      {"assets/graphics/brumo_frames.png", 2, {}},
      {"assets/graphics/object_graphics.png", 2, {}},
      {"assets/graphics/panel_patterns.png", 2, {}},
      {"assets/graphics/brumo_common.png", 2, {}},
      {"assets/graphics/sub4_patterns.png", 2, {}},
      {"assets/graphics/pattern_streams.json", 2, {}},
      {"assets/graphics/brumo_common.json", 2, {}},
      {"assets/graphics/pictures/title.png", 2, {}},
      {"assets/graphics/areas/area_21.png", 2, {}},
      {"assets/icon/icon_64.png", 0, {}},
      {"assets/audio/driver.bin", 0, {"--video", "video"}},
      {"assets/text/en.json", 1, {}},  // the first picture has words
      {"assets/graphics/pictures/title.json", 2, {}},
      {"assets/graphics/portrait_frame_patterns.png", 2, {}},
      {"assets/menu/teleports.json", 0, {}},
      // French, chosen on the language menu (the later frame count wins): the game goes on without its words.
      {"assets/text/fr.json", 0, {"--pads", "20-21:02,40-41:80", "--quit-after-frames", "60"}},
  };
  TempFolder folder;
  const fs::path source = GROVANTA_SOURCE_DIR;
  for (const Case& c : cases) {
    const fs::path data = folder.path() / "data";
    fs::remove_all(data);
    fs::create_directories(data);
    for (const char* top : {"world", "assets"}) fs::copy(source / top, data / top, fs::copy_options::recursive);
    ASSERT_TRUE(fs::remove(data / c.file)) << c.file;

    std::vector<std::string> arguments = {
        "--data",     data.string(),         "--user", (folder.path() / "user").string(),
        "--windowed", "--quit-after-frames", "30"};
    arguments.insert(arguments.end(), c.more.begin(), c.more.end());
    ChildRun run = runProgram(arguments, folder.path());
    EXPECT_FALSE(run.signalled) << c.file << ": " << run.err;
    EXPECT_EQ(run.exitCode, c.exitCode) << c.file << ": " << run.err;
    EXPECT_TRUE(contains(run.err, fs::path(c.file).filename().string())) << c.file << ": " << run.err;
    // Named once: a file the game asks for every frame must not fill the log.
    const std::string missing = "cannot open " + (data / c.file).string();
    std::size_t lines = 0;
    for (std::size_t at = run.err.find(missing); at != std::string::npos; at = run.err.find(missing, at + 1)) ++lines;
    EXPECT_LE(lines, 1u) << c.file << ": " << run.err;
  }
}

}  // namespace
