// Input recordings: the file format both ways, the recorder's files, and refusing damaged recordings.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/recording/demo_player.h"
#include "app/recording/playback.h"
#include "app/recording/recording.h"
#include "temp_folder.h"

namespace {

using app::RecordedTick;
using Ticks = std::vector<RecordedTick>;

Ticks repeat(Ticks ticks, std::size_t times, RecordedTick tick) {
  ticks.insert(ticks.end(), times, tick);
  return ticks;
}

// The recorder's file for a sequence of ticks, read back.
app::InputRecording recordAndLoad(const testing_support::TempFolder& folder, const Ticks& ticks, std::string& text) {
  const std::filesystem::path file = folder.path() / "game.txt";
  {
    app::InputRecorder recorder;
    recorder.begin(3, 4, 1234, file);
    for (const RecordedTick& t : ticks) recorder.record(static_cast<char>(t.kind), t.pad);
    recorder.end("quit to the title");
  }
  text = testing_support::readWhole(file);
  return app::loadRecording(file);
}

TEST(Recording, TickSequencesSurviveTheRoundTrip) {
  testing_support::TempFolder folder;
  const struct {
    const char* name;
    Ticks ticks;
    std::size_t tickLines;
  } cases[] = {
      {"one tick", {{'S', 0x00}}, 1},
      {"a change of pad", {{'S', 0x08}, {'S', 0x08}, {'S', 0x28}}, 2},
      {"a change of kind with the same pad", {{'S', 0x20}, {'W', 0x20}, {'W', 0x20}, {'S', 0x20}}, 3},
      {"a long run", repeat({}, 1000, {'S', 0x08}), 1},
      {"subgame ticks and every bit", {{'G', 0xFF}, {'G', 0x01}, {'S', 0x80}}, 3},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::string text;
    const app::InputRecording back = recordAndLoad(folder, c.ticks, text);
    ASSERT_TRUE(back.valid);
    EXPECT_EQ(back.ticks, c.ticks);
    EXPECT_EQ(back.language, 3);
    EXPECT_EQ(back.lives, 4);
    EXPECT_EQ(back.frame_count, 1234);
    EXPECT_EQ(back.endReason, "quit to the title");
    std::size_t lines = 0;
    for (std::size_t at = text.find("\n"); at != std::string::npos; at = text.find("\n", at + 1))
      if (at + 1 < text.size() && text[at + 1] >= '0' && text[at + 1] <= '9') ++lines;
    EXPECT_EQ(lines, c.tickLines);
    EXPECT_NE(text.find("end " + std::to_string(c.ticks.size()) + " quit to the title\n"), std::string::npos);

    // The bot's stream writes, tick by tick, the text the whole-game writer makes of the same ticks.
    const std::filesystem::path streamed = folder.path() / "streamed.txt";
    app::RecordingStream stream;
    ASSERT_TRUE(stream.open(streamed, 3, 4, 1234));
    for (const RecordedTick& t : c.ticks) stream.add(t);
    ASSERT_TRUE(stream.finish({"quit to the title"}));
    EXPECT_EQ(testing_support::readWhole(streamed), app::recordingText(3, 4, 1234, c.ticks, {"quit to the title"}));
    EXPECT_FALSE(std::filesystem::exists(streamed.string() + ".tmp"));
  }
}

TEST(Recording, TheWrittenFileIsTheDocumentedFormat) {
  testing_support::TempFolder folder;
  std::string text;
  recordAndLoad(folder, repeat({{'S', 0x08}}, 4, {'W', 0x2a}), text);
  EXPECT_EQ(text,
            "# Grovanta input recording (D-034): the pad of each tick of a game (S a game step, W a waiting\n"
            "# screen's frame, G a subgame's frame), a line where it changes. On the original:\n"
            "#   python tools/re/port_input.py THIS_FILE --record NAME\n"
            "version 1\nlanguage 3\nlives 4\nframe_count 1234\n"
            "1 S 08\n2 W 2A\nend 5 quit to the title\n");
}

TEST(Recording, ReadingAcceptsCrLfLowerCaseHexAndAMissingEndLine) {
  const app::InputRecording crlf = app::parseRecording(
      "# c\r\nversion 1\r\nlanguage 2\r\nlives 3\r\n\r\n1 S 8\r\n3 W 2a\r\n5 S 08\r\nend 9 the program closed\r\n",
      "f");
  ASSERT_TRUE(crlf.valid);
  EXPECT_EQ(crlf.language, 2);
  EXPECT_EQ(crlf.lives, 3);
  EXPECT_EQ(crlf.endReason, "the program closed");
  const Ticks expected = repeat(repeat(repeat({}, 2, {'S', 0x08}), 2, {'W', 0x2A}), 5, {'S', 0x08});
  EXPECT_EQ(crlf.ticks, expected);

  // Without an end line the last tick line ends the game; an end line without a reason keeps "?".
  const app::InputRecording noEnd = app::parseRecording("1 S 00\n4 S 01\n", "f");
  ASSERT_TRUE(noEnd.valid);
  EXPECT_EQ(noEnd.ticks.size(), 4u);
  EXPECT_EQ(noEnd.lives, 2);  // the default
  const app::InputRecording noReason = app::parseRecording("1 S 00\nend 2\n", "f");
  ASSERT_TRUE(noReason.valid);
  EXPECT_EQ(noReason.endReason, "?");
}

TEST(Recording, DamagedRecordingsAreRefused) {
  const struct {
    const char* name;
    std::string text;
  } cases[] = {
      {"no ticks", "version 1\nlanguage 0\n"},
      {"a bad version", "version 2\n1 S 00\nend 1 x\n"},
      {"bad hex", "1 S 00\n2 S zz\nend 3 x\n"},
      {"a truncated tick line", "1 S 00\n2 S"},
      {"ticks out of order", "5 S 00\n3 S 01\n"},
      {"tick 0", "0 S 00\n"},
      {"an end before the last tick", "1 S 00\n9 S 01\nend 4 x\n"},
      {"an end asking for 10^11 ticks", "1 S 00\nend 100000000000 x\n"},
      {"binary garbage", std::string("\x7f"
                                     "ELF\x02\x01\x01\0\0\0\x03\x00>\x00\n9\xff\xfe",
                                     18)},  // the bytes written, NULs included
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_FALSE(app::parseRecording(c.text, "damaged.txt").valid);
  }
}

TEST(Recording, LoadingRefusesMissingFilesAndFolders) {
  testing_support::TempFolder folder;
  EXPECT_FALSE(app::loadRecording(folder.path() / "missing.txt").valid);
  EXPECT_FALSE(app::loadRecording(folder.path()).valid);
  EXPECT_TRUE(app::loadRecording(folder.put("ok.txt", "1 S 00\n")).valid);
}

TEST(Recorder, GamesGoToTheFolderAndASecondGameInTheSameSecondKeepsTheFirst) {
  testing_support::TempFolder folder;
  const std::filesystem::path recordings = folder.path() / "user" / "recordings";
  app::InputRecorder recorder(recordings);
  recorder.begin(0, 2, 10);
  recorder.record('S', 0x08);
  recorder.record(0, 0x80);  // a front-end frame is no tick of the game
  const std::filesystem::path first = recorder.currentPath();
  EXPECT_EQ(first.parent_path(), recordings);
  EXPECT_TRUE(first.filename().string().starts_with("game_"));

  // A new game ends the first recording and starts another file, even within the same second.
  recorder.begin(0, 2, 20);
  recorder.record('S', 0x04);
  const std::filesystem::path second = recorder.currentPath();
  EXPECT_NE(second, first);
  EXPECT_NE(testing_support::readWhole(first).find("1 S 08\nend 1 a new game began\n"), std::string::npos);

  // Names within one second: the first keeps the plain name, the later ones get a number.
  EXPECT_EQ(app::recordingFileName(folder.path(), "20260101_120000"), folder.path() / "game_20260101_120000.txt");
  folder.put("game_20260101_120000.txt");
  EXPECT_EQ(app::recordingFileName(folder.path(), "20260101_120000"), folder.path() / "game_20260101_120000_2.txt");
  folder.put("game_20260101_120000_2.txt");
  EXPECT_EQ(app::recordingFileName(folder.path(), "20260101_120000"), folder.path() / "game_20260101_120000_3.txt");

  // Every line is on disk as soon as it is recorded, and the last ending closes the file.
  EXPECT_NE(testing_support::readWhole(second).find("1 S 04\n"), std::string::npos);
  recorder.end("a teleport");
  EXPECT_FALSE(recorder.recording());
  EXPECT_EQ(app::loadRecording(second).endReason, "a teleport");
}

TEST(Recorder, NoFolderAndNoPathRecordsNothingAndAnUnwritablePathIsOnlyLost) {
  testing_support::TempFolder folder;
  app::InputRecorder none;
  none.begin(0, 2, 0);
  EXPECT_FALSE(none.recording());
  const std::filesystem::path blocker = folder.put("file");
  none.begin(0, 2, 0, blocker / "inside.txt");  // a file stands where the folder would be
  EXPECT_FALSE(none.recording());
  none.record('S', 1);
  none.end("the program closed");
}

TEST(Playback, TheFrontEndIsWalkedToTheRecordingsLanguage) {
  app::InputRecording recording;
  recording.language = 3;
  recording.ticks = {{'S', 0x08}, {'S', 0x08}};
  app::Playback playback(recording);
  std::vector<std::int64_t> downs, starts;
  std::uint8_t previous = 0;
  for (std::int64_t b = 0; b < 200; ++b) {
    const std::uint8_t pad = playback.frontEndPad(1);
    if (pad != previous && pad == 0x02) downs.push_back(b);
    if (pad != previous && pad == 0x80) starts.push_back(b);
    previous = pad;
  }
  EXPECT_EQ(downs, (std::vector<std::int64_t>{40, 70, 100}));
  ASSERT_FALSE(starts.empty());
  EXPECT_EQ(starts.front(), 130);
  // A new front-end state restarts the counter: Start at 40, 41 and 42 of each minute of frames.
  EXPECT_EQ(playback.frontEndPad(3), 0);
  for (int b = 1; b < 40; ++b) playback.frontEndPad(3);
  EXPECT_EQ(playback.frontEndPad(3), 0x80);

  std::int64_t tickCounter = 5;
  playback.synchronise(2, tickCounter);
  EXPECT_EQ(tickCounter, 0);
  EXPECT_EQ(playback.nextPad('S'), 0x08);
  EXPECT_EQ(playback.nextPad('W'), 0x08);  // a kind mismatch is logged, the pad used anyway
  EXPECT_EQ(playback.quitCountdown(), -1);
  EXPECT_EQ(playback.nextPad('S'), 0);
  EXPECT_EQ(playback.quitCountdown(), app::Playback::kTailFrames);
}

TEST(DemoPlayer, PlaysItsTicksThenFourHundredTicksOfNothingAndFinishes) {
  testing_support::TempFolder folder;
  folder.put(app::kDemoFile, "language 0\nlives 2\nframe_count 1000\n1 S 08\n3 S 00\nend 3 the route's end\n");
  app::DemoPlayer demo;
  ASSERT_TRUE(demo.load(folder.path()));
  demo.begin();
  EXPECT_EQ(demo.nextPad('S'), 0x08);
  EXPECT_EQ(demo.nextPad('S'), 0x08);
  EXPECT_EQ(demo.nextPad('S'), 0x00);
  int ticksAfter = 0;
  while (!demo.finished() && ticksAfter < 1000) {
    EXPECT_EQ(demo.nextPad('S'), 0);
    ++ticksAfter;
  }
  EXPECT_EQ(ticksAfter, 401);

  app::DemoPlayer missing;
  EXPECT_FALSE(missing.load(folder.path() / "nowhere"));
}

TEST(DemoPlayer, PressesChangeTheSpeedWithinItsTableOrTakeOver) {
  app::DemoPlayer demo;
  demo.begin();
  EXPECT_EQ(demo.controls(0x08), app::DemoPlayer::Control::kNone);  // held since before the demo: no press
  EXPECT_EQ(demo.controls(0x00), app::DemoPlayer::Control::kNone);
  std::vector<std::string> labels;
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(demo.controls(0x08), app::DemoPlayer::Control::kSpeedChanged);
    demo.controls(0x00);
    labels.push_back(app::demoSpeedLabel(demo.speed()));
  }
  EXPECT_EQ(labels, (std::vector<std::string>{"2X", "4X", "8X", "8X", "8X"}));
  EXPECT_DOUBLE_EQ(demo.speedFactor(), 8.0);
  for (int i = 0; i < 6; ++i) {
    demo.controls(0x04);
    demo.controls(0x00);
  }
  EXPECT_EQ(app::demoSpeedLabel(demo.speed()), "0.5X");
  EXPECT_EQ(demo.controls(0x84), app::DemoPlayer::Control::kTakeOver);  // Start wins over a speed change
}

}  // namespace
