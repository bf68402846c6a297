// The built program run as a child process: exit codes and the lines of the start-up paths.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>
#include <vector>

#include "temp_folder.h"

namespace {

using testing_support::readWhole;
using testing_support::TempFolder;

struct ChildRun {
  int exitCode = -1;
  std::string out;
  std::string err;
};

std::string quote(const std::string& word) {
  std::string quoted = "'";
  for (char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

// Runs the program in the scratch folder; `environment` is prefixed to the command ("NAME=value ").
ChildRun runProgram(const std::vector<std::string>& arguments, const std::filesystem::path& scratch,
                    const std::string& environment = "") {
  std::string command = "cd ";
  command.append(quote(scratch.string())).append(" && ").append(environment);
  command.append(quote(GROVANTA_BINARY_DIR "/grovanta"));
  for (const std::string& a : arguments) command.append(" ").append(quote(a));
  const auto outFile = scratch / "stdout.txt";
  const auto errFile = scratch / "stderr.txt";
  command.append(" >").append(quote(outFile.string())).append(" 2>").append(quote(errFile.string()));
  const int status = std::system(command.c_str());
  ChildRun run;
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.out = readWhole(outFile);
  run.err = readWhole(errFile);
  return run;
}

class Program : public ::testing::Test {
 protected:
  void SetUp() override {
    data = GROVANTA_SOURCE_DIR;  // the data set in the source tree
    user = folder.path() / "user";
  }
  TempFolder folder;
  std::filesystem::path data;
  std::filesystem::path user;
};

TEST_F(Program, VersionAndUnknownArguments) {
  ChildRun version = runProgram({"--version", "--nonsense"}, folder.path());
  EXPECT_EQ(version.exitCode, 0);
  EXPECT_EQ(version.out, "Grovanta (Mega Drive remake) 1.0.0\n");

  ChildRun unknown = runProgram({"--windowed", "--nonsense", "--version"}, folder.path());
  EXPECT_EQ(unknown.exitCode, 2);
  EXPECT_EQ(unknown.err, "unknown argument --nonsense\n");
  EXPECT_EQ(unknown.out, "");
}

TEST_F(Program, InteractiveRunOpensTheLogAndReportsAMissingDataDirectory) {
  const std::string missing = (folder.path() / "nowhere").string();
  ChildRun run = runProgram({"--user", user.string(), "--data", missing}, folder.path());
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("[info] Grovanta 1.0.0 (" + user.string() + ")\n"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("[error] " + missing + " does not contain world/world.json\n"), std::string::npos);
  const std::string log = readWhole(user / "brumo.log");
  EXPECT_NE(log.find("[info] Grovanta 1.0.0 ("), std::string::npos);
  EXPECT_NE(log.find("does not contain world/world.json"), std::string::npos);
}

TEST_F(Program, WithoutUserTheLogGoesToThePreferenceFolder) {
  const auto home = folder.path() / "xdg";
  const std::string missing = (folder.path() / "nowhere").string();
  ChildRun run = runProgram({"--data", missing}, folder.path(), "XDG_DATA_HOME=" + quote(home.string()) + " ");
  EXPECT_EQ(run.exitCode, 1);
  const auto preferences = home / "Halvecor" / "Grovanta";
  EXPECT_NE(readWhole(preferences / "brumo.log").find("[info] Grovanta 1.0.0 (" + preferences.string() + "/)"),
            std::string::npos)
      << run.err;
}

TEST_F(Program, AWorldThatDoesNotLoadEndsStartUp) {
  const auto broken = folder.put("broken/world/world.json", "{\"schema\": ").parent_path().parent_path();
  ChildRun run = runProgram({"--data", broken.string(), "--render-area", "3"}, folder.path());
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("[error] "), std::string::npos) << run.err;
}

TEST_F(Program, ToolModesRunWithoutTheLogFile) {
  ChildRun run = runProgram({"--user", user.string(), "--data", data.string(), "--render-area", "3"}, folder.path());
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_EQ(run.err, "--render-area needs --camera X and --out FILE\n");
  EXPECT_FALSE(std::filesystem::exists(user / "brumo.log"));
}

// The checks of a tool mode's arguments, made before the mode runs.
TEST_F(Program, ToolModesRefuseMissingArguments) {
  struct Row {
    std::vector<std::string> arguments;
    std::string line;
  };
  const Row rows[] = {
      {{"--render-area", "3", "--camera", "0"}, "--render-area needs --camera X and --out FILE\n"},
      {{"--render-area", "3", "--out", "x.png"}, "--render-area needs --camera X and --out FILE\n"},
      {{"--bot", "3"}, "[error] this mode needs --out FILE\n"},  // after the tables have loaded
      {{"--autopilot", "route.txt"}, "[error] this mode needs --out FILE\n"},
  };
  for (const Row& row : rows) {
    std::vector<std::string> arguments = {"--data", data.string()};
    arguments.insert(arguments.end(), row.arguments.begin(), row.arguments.end());
    ChildRun run = runProgram(arguments, folder.path());
    EXPECT_EQ(run.exitCode, 2) << row.arguments[0] << ": " << run.err;
    EXPECT_EQ(run.err, row.line) << row.arguments[0];
  }
}

// Every mode reached from the command line with what it needs, each known by its own line and exit code:
// the modes this build has do their work, the ones it has not yet say so themselves.
TEST_F(Program, EachModeIsReachedFromTheCommandLine) {
  const std::string scratch = folder.path().string();
  folder.put("trace_in/z80_in.txt", "frame\n");
  folder.put("sound_check/calls.jsonl", "");
  folder.put("sound_check/z80.jsonl", "");
  std::filesystem::create_directories(folder.path() / "no_goldens");
  std::filesystem::create_directories(folder.path() / "trace_out");
  struct Row {
    std::vector<std::string> arguments;
    int exitCode;
    std::string line;  // the mode's own, on standard output or standard error
  };
  const Row rows[] = {
      {{"--render-goldens", scratch + "/no_goldens"},
       1,
       "0 of 0 area goldens match the original pixel for pixel (palette indices and CRAM)\n"},
      {{"--replay", "trace"}, 2, "[error] --replay is not available in this build\n"},
      {{"--render-area", "3", "--camera", "0", "--out", scratch + "/area.png"},
       0,
       "area 3 at camera 0 -> " + scratch + "/area.png\n"},
      {{"--check-menu"}, 0, "the menu's checks pass\n"},
      {{"--check-demo", "--user", user.string()}, 2, "[error] --check-demo is not available in this build\n"},
      {{"--autopilot", scratch + "/no_route.txt", "--out", scratch + "/route_run.txt"},
       2,
       "[error] --autopilot: no route " + scratch + "/no_route.txt\n"},
      {{"--bot", "3", "--ticks", "50", "--out", scratch + "/bot_run.txt"},
       0,
       "seed 3 (0 ticks of prefix): the ticks ran out; "},
      {{"--check-sound", scratch + "/sound_check"},
       0,
       scratch + "/sound_check: 0 V-blanks, 0 calls; Z80 RAM writes: original 0, port 0, equal 0\n"},
      {{"--z80-trace", scratch + "/trace_in", scratch + "/trace_out"},
       0,
       scratch + "/trace_in/z80_in.txt: 1 V-blanks, 0 calls, "},
      {{"--sound-wav", scratch + "/tune.wav", "--tune", "1", "--seconds", "0.5"},
       0,
       scratch + "/tune.wav: 0.5 s, command 1, 0 effects, peak "},
      {{"--viewer", "--windowed", "--quit-after-frames", "1"}, 0, "[info] presented 1 frames\n"},
      {{"--user", user.string(), "--windowed", "--no-intro", "--quit-after-frames", "1"},
       0,
       "[info] presented 1 frames, "},
  };
  for (const Row& row : rows) {
    std::vector<std::string> arguments = {"--data", data.string()};
    arguments.insert(arguments.end(), row.arguments.begin(), row.arguments.end());
    ChildRun run = runProgram(arguments, folder.path());
    const std::string mode = row.arguments[0];
    EXPECT_EQ(run.exitCode, row.exitCode) << mode << ": " << run.out << run.err;
    EXPECT_NE((run.out + run.err).find(row.line), std::string::npos)
        << mode << " should say: " << row.line << "\nit said: " << run.out << run.err;
  }
}

}  // namespace
