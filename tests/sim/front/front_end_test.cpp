// The front end's logic: the language menu's cursor and letter shuffle, the
// title's logo, secret sequence, bonus combination and countdown, the attract
// pages, the story screen, the code menu and the game over sign.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>

#include "sim/core/ram.h"
#include "sim/front/front_pieces.h"
#include "sim/screens/screens.h"
#include "sim/sim_fixture.h"

namespace {

using sim_test::putLong;
using sim_test::putWords;

constexpr std::uint8_t kUp = 0x01, kDown = 0x02, kLeft = 0x04, kRight = 0x08, kB = 0x10, kC = 0x20, kA = 0x40,
                       kStart = 0x80;

std::vector<std::uint16_t> sineWords(int count, int period, double amplitude, double offset) {
  std::vector<std::uint16_t> w;
  for (int i = 0; i < count; ++i)
    w.push_back(static_cast<std::uint16_t>(
        std::lround(offset + amplitude * std::sin(2 * std::acos(-1.0) * (i % period) / period))));
  return w;
}

// The front end's tables on top of the fixture's: letters, the secret sequence
// RIGHT A LEFT, the code menu's modes, sines, the title table, a logo of one
// row of eight points and the game over words.
void fillFrontEndRom(sim::RomView& rom) {
  std::vector<std::uint8_t> letters(240);
  for (std::size_t i = 0; i < letters.size(); ++i) letters[i] = static_cast<std::uint8_t>(i % 48 / 6 + 10 * (i / 48));
  rom.put(0x012E1E, letters);
  putWords(rom, 0x0130D2, {0, 1, 2, 4, 5, 9});
  rom.put(0x0151C0, std::vector<std::uint8_t>{kRight, kA, kLeft, 0xFF});
  putWords(rom, 0x014820, sineWords(320, 256, 32767, 0));
  putWords(rom, 0x015822, sineWords(512, 512, 127, 128));
  std::vector<std::uint16_t> bitmap(160, 0);
  for (int j = 0; j < 8; ++j) bitmap[2 * 32 + 4 * j] = 1;  // row 2, every fourth column
  putWords(rom, 0x015C22, bitmap);
  std::vector<std::uint16_t> outline(32, 0);
  for (int r = 1; r < 7; ++r) outline[2 * r] = 0xF0F0, outline[16 + 2 * r] = 0x0FF0;
  putWords(rom, 0x00450E, outline);
}

struct FrontFixture : sim_test::SimFixture {
  FrontFixture() {
    world::Area title;
    title.id = 50;
    title.width = 33;
    title.actors.push_back(std::vector<std::uint8_t>(58, 0x50));
    std::fill_n(title.actors.back().begin(), 4, 0xFF);  // the list ends at once: no actor runs
    title.actors.push_back(std::vector<std::uint8_t>(20, 0x51));  // a short record is completed with zeros
    world.mapless_areas.push_back(title);
    fillFrontEndRom(*rom);
  }
  sim::Simulation& s() { return *sim; }
  const sim::GameState& st() { return sim->state(); }

  // Steps with one pad byte, n times.
  void run(std::uint8_t pad, int n = 1) {
    for (int i = 0; i < n; ++i) {
      sim->soundRequests().clear();
      sim->step(pad, tick++);
      ASSERT_EQ(sim->stopMessage(), "") << "step " << tick;
    }
  }
  // Steps with no button until the menu is at rest again.
  void settle() {
    for (int i = 0; i < 40 && st().front_step != 0; ++i) run(0);
    run(0);
  }
  void toTitle() {
    sim->newStart(false);
    ASSERT_EQ(st().front, 2);
  }
  std::int64_t titleWord(std::uint32_t a) { return sim::titleWord(sim->context(), a); }
  bool heard(std::uint8_t kind, std::uint32_t value) {
    const auto& r = sim->soundRequests();
    return std::find(r.begin(), r.end(), audio::SoundRequest{kind, value}) != r.end();
  }

  std::int64_t tick = 0;
};

// --- the language menu ---

TEST(LanguageMenu, OpensWithMusicAndTheHighlightedLanguagesPicture) {
  FrontFixture f;
  f.s().newStart(true);
  EXPECT_EQ(f.st().front, 1);
  EXPECT_EQ(f.s().soundRequests(), (std::vector<audio::SoundRequest>{{0, 0}, {0, 17}}));
  EXPECT_EQ(f.s().fadeVBlanks(), 10);
  ASSERT_EQ(f.s().screens().size(), 1u);
  const sim::Screen& screen = f.s().screens().back();
  EXPECT_EQ(screen.event, 18);
  EXPECT_EQ(screen.picture, 1);
  ASSERT_EQ(screen.frames.size(), 1u);
  ASSERT_EQ(screen.frames[0].size(), 50u);  // 48 pieces and the two marks of the highlighted line
  // Place 9 (column 1, row 1) shows language 0's letter 9 as frame letter + 7.
  EXPECT_EQ(screen.frames[0][9].x, 325u);
  EXPECT_EQ(screen.frames[0][9].y, 272u);
  EXPECT_EQ(screen.frames[0][9].frame, 9u / 6 + 7);
}

TEST(LanguageMenu, CursorMovesOncePerPressAndStaysInRange) {
  struct Case {
    const char* name;
    std::vector<std::uint8_t> presses;  // each held two frames, then released until the menu rests
    std::int64_t cursor;
  };
  const Case cases[] = {
      {"down twice", {kDown, kDown}, 2},
      {"up at the top stays", {kUp, kUp}, 0},
      {"down past the last stays", {kDown, kDown, kDown, kDown, kDown, kDown, kDown}, 4},
      {"down then up", {kDown, kDown, kDown, kUp}, 2},
      {"both directions act as up", {kDown, kUp | kDown}, 0},
  };
  for (const Case& c : cases) {
    FrontFixture f;
    f.s().newStart(true);
    for (std::uint8_t pad : c.presses) {
      f.run(pad, 2);
      f.settle();
    }
    EXPECT_EQ(f.st().menu_cursor, c.cursor) << c.name;
    EXPECT_EQ(f.st().menu_prev, c.cursor) << c.name;
    EXPECT_EQ(f.st().front, 1) << c.name;
  }
}

TEST(LanguageMenu, HoldingADirectionMovesOnce) {
  FrontFixture f;
  f.s().newStart(true);
  f.run(kDown, 60);  // the move's animation runs and ends while DOWN is still held
  EXPECT_EQ(f.st().menu_cursor, 1);
  EXPECT_EQ(f.st().front_step, 0);
  f.run(0);
  f.run(kDown);
  EXPECT_EQ(f.st().menu_cursor, 2);
}

TEST(LanguageMenu, AMoveShufflesThePiecesToOtherPlacesAndFliesThemThere) {
  FrontFixture f;
  f.s().newStart(true);
  f.run(kDown);  // cursor 0 -> 1
  EXPECT_EQ(f.st().front_step, 1);
  f.run(0);  // the shuffle
  EXPECT_EQ(f.st().front_step, 2);
  std::set<std::int64_t> places;
  for (std::uint32_t i = 0; i < 48; ++i) {
    const std::uint32_t at = 0xFF954A + 12 * i;
    EXPECT_EQ(sim::subRamWord(f.s().context(), at), (i & 7) * 5);
    EXPECT_EQ(sim::subRamWord(f.s().context(), at + 2), (i >> 3) * 4);
    const std::int64_t j =
        sim::subRamWord(f.s().context(), at + 4) / 5 + 8 * (sim::subRamWord(f.s().context(), at + 6) / 4);
    EXPECT_NE(j, i) << "piece " << i << " kept its place";
    places.insert(j);
    EXPECT_EQ(sim::subRamWord(f.s().context(), at + 8), i / 6);        // language 0's letter of piece i
    EXPECT_EQ(sim::subRamWord(f.s().context(), at + 10), j / 6 + 10);  // language 1's letter of place j
  }
  EXPECT_EQ(places.size(), 48u);

  // 17 drawn steps: the old letters up to step 7, the new ones from step 8.
  std::vector<std::vector<sim::SpriteCall>> steps;
  for (int t = 0; t <= 16; ++t) {
    f.run(0);
    steps.push_back(f.s().screens().back().frames.back());
  }
  EXPECT_EQ(f.st().front_step, 3);
  const std::uint32_t at = 0xFF954A + 12 * 5;
  const auto dc = sim::subRamWord(f.s().context(), at + 4), dr = sim::subRamWord(f.s().context(), at + 6);
  EXPECT_EQ(steps[0][5].x, 320u + 25);
  EXPECT_EQ(steps[0][5].y, 268u);
  EXPECT_EQ(steps[16][5].x, static_cast<std::uint32_t>(320 + 25 + (dc - 25) * 16 / 17));
  EXPECT_EQ(steps[16][5].y, static_cast<std::uint32_t>(268 + dr * 16 / 17));
  EXPECT_EQ(steps[7][5].frame, 0u + 7);
  EXPECT_EQ(steps[8][5].frame, static_cast<std::uint32_t>(sim::subRamWord(f.s().context(), at + 10) + 7));
  f.run(0);
  EXPECT_TRUE(f.heard(sim::kSoundEffect, 18));
  EXPECT_EQ(f.st().front_step, 4);
}

// What the menu shows once a move has settled: the frames it leaves empty go on showing the last one
// drawn, and that must be the new language's picture whole, with the marks at its line.
TEST(LanguageMenu, AfterEveryMoveTheHighlightedLanguageRestsWholeAndMarked) {
  FrontFixture f;
  f.s().newStart(true);
  for (std::uint8_t pad : {kDown, kDown, kUp, kDown, kDown, kDown, kUp}) {
    f.run(pad, 2);
    f.settle();
    f.run(0, 5);
    const std::int64_t language = f.st().menu_cursor;
    SCOPED_TRACE(language);
    const auto& frames = f.s().screens().back().frames;
    std::size_t k = frames.size() - 1;
    while (k > 0 && frames[k].empty()) --k;
    const std::vector<sim::SpriteCall>& shown = frames[k];
    ASSERT_EQ(shown.size(), 50u);
    for (std::uint32_t j = 0; j < 48; ++j) {
      const std::uint32_t letter = j / 6 + 10 * static_cast<std::uint32_t>(language);
      EXPECT_EQ(shown[j].x, 320 + (j % 8) * 5) << "piece " << j;
      EXPECT_EQ(shown[j].y, 268 + (j / 8) * 4) << "piece " << j;
      EXPECT_EQ(shown[j].frame, letter + 7) << "piece " << j;
    }
    // The cursor on both sides of the line, the right one mirrored.
    const std::uint32_t y = static_cast<std::uint32_t>(128 + 36 + 14 * language);
    EXPECT_EQ(shown[48], (sim::SpriteCall{128 + 100, y, 0, 0, shown[48].caller}));
    EXPECT_EQ(shown[49], (sim::SpriteCall{128 + 204, y, 0, 1, shown[49].caller}));
  }
}

TEST(LanguageMenu, ShuffleThatLeavesAPieceOnlyItsOwnPlaceStops) {
  // Some generator states leave the last piece with only its own place; the
  // console would draw for ever there.
  int stopped = 0, shuffled = 0;
  for (std::uint32_t seed = 1; seed <= 400 && stopped == 0; ++seed) {
    FrontFixture f;
    f.s().newStart(true);
    f.run(kDown);
    f.s().mutableState().rng = seed * 0x9E3779B9u;
    f.s().step(0, 1);
    if (f.s().stopMessage().empty()) {
      ++shuffled;
      continue;
    }
    ++stopped;
    EXPECT_EQ(f.s().stopMessage(), "the language menu's shuffle has only a piece's own place left ($012AD4)");
  }
  EXPECT_EQ(stopped, 1);
  EXPECT_GT(shuffled, 0);
}

TEST(LanguageMenu, UntouchedMenuPicksTheHighlightAfterAMinute) {
  for (const auto& [hz, frames] : {std::pair{50, 3000}, {60, 3600}, {0, 3000}}) {
    FrontFixture f;
    f.s().mutableState().refresh_hz = hz;
    f.s().newStart(true);
    f.run(kDown, 2);
    f.settle();  // the move's step 3 restarts the count
    const std::int64_t counted = f.st().menu_frames;
    f.run(0, static_cast<int>(frames - counted));
    EXPECT_EQ(f.st().front, 1) << hz;
    f.run(0);
    EXPECT_EQ(f.st().front, 2) << hz;
    EXPECT_EQ(f.st().language, 1) << hz;
    EXPECT_EQ(f.st().refresh_hz, hz);
    EXPECT_TRUE(f.heard(sim::kSoundMusic, 11)) << hz;
    EXPECT_EQ(f.s().fadeVBlanks(), 10) << hz;
  }
}

TEST(LanguageMenu, StartChoosesWhenLetGo) {
  FrontFixture f;
  f.s().newStart(true);
  f.run(kDown, 2);
  f.settle();
  f.run(kDown, 2);
  f.settle();
  f.run(kStart, 5);
  EXPECT_EQ(f.st().front, 1);
  EXPECT_EQ(f.st().front_step, 5);
  f.run(0);
  EXPECT_EQ(f.st().front, 2);
  EXPECT_EQ(f.st().language, 2);
  EXPECT_EQ(f.s().screens().back().language, 2);
}

// --- the title ---

TEST(Title, StartsFromAFreshStateWithAreaFiftysActors) {
  FrontFixture f;
  sim::GameState& s = f.s().mutableState();
  s.language = 3, s.refresh_hz = 60, s.rng = 0x1234567, s.tower_edge[7] = 9;
  s.score = 500, s.lives = 4, s.code_menu = 1, s.music = 6;
  f.toTitle();
  const sim::GameState& t = f.st();
  EXPECT_EQ(t.language, 3);
  EXPECT_EQ(t.refresh_hz, 60);
  EXPECT_EQ(t.tower_edge[7], 9);
  EXPECT_EQ(t.score, 0);
  EXPECT_EQ(t.lives, 0);
  EXPECT_EQ(t.code_menu, 0);
  EXPECT_EQ(t.area, 50);
  EXPECT_EQ(f.s().areaCache().columns, 33);
  EXPECT_EQ(f.s().areaCache().cameraLimit, 0);
  EXPECT_EQ(t.actors[57], 0x50);
  EXPECT_EQ(t.actors[58 + 19], 0x51);
  EXPECT_EQ(t.actors[58 + 20], 0);
  EXPECT_EQ(t.actors[116], 0xFF);
  EXPECT_EQ(f.titleWord(0xFF83E4), 90);
  EXPECT_EQ(f.titleWord(0xFF83EA), -4);
  EXPECT_EQ(f.titleWord(0xFF83EC), static_cast<std::int16_t>(0x8002));
  EXPECT_EQ(f.titleWord(0xFF83E0), 7);  // eight points
  EXPECT_EQ(f.titleWord(0xFF83E2), 32);
  EXPECT_EQ(f.titleWord(0xFF83F0), 632);
  EXPECT_EQ(f.titleWord(0xFF846C + 4), -35 + 24);  // row 2
  const sim::Screen& screen = f.s().screens().back();
  EXPECT_EQ(screen.picture, 2);
  EXPECT_EQ(screen.event, 0);
  EXPECT_EQ(screen.language, 3);
  ASSERT_EQ(screen.frames.size(), 1u);
  EXPECT_TRUE(screen.frames[0].empty());
  EXPECT_TRUE(f.heard(sim::kSoundMusic, 11));
}

TEST(Title, WithoutAreaFiftyTheGameStops) {
  sim_test::SimFixture f;
  f.sim->newStart(false);
  EXPECT_EQ(f.sim->stopMessage(), "area 50's record (the title's actors) is missing from the world");
}

TEST(Title, TheTitlesRamStopsPastItsEnd) {
  FrontFixture f;
  f.toTitle();
  EXPECT_THROW(sim::titleWord(f.s().context(), 0xFF9010), sim::Stop);
  EXPECT_THROW(sim::setTitleWord(f.s().context(), 0xFF83DE, 1), sim::Stop);
  EXPECT_EQ(f.s().stopMessage(), "the title's RAM past FF900F");
  sim::setTitleWord(f.s().context(), 0xFF900E, -2);
  EXPECT_EQ(sim::titleWord(f.s().context(), 0xFF900E), -2);
}

TEST(Title, LogoTurnsAndDrawsFrontPointsFirst) {
  FrontFixture f;
  f.toTitle();
  std::vector<std::vector<sim::SpriteCall>> frames;
  for (int i = 0; i < 129; ++i) {
    f.run(0);
    frames.push_back(f.s().screens().back().frames.back());
  }
  // One turn of the spin and of the tilt's wobble take 128 frames.
  auto dots = [&](int i) { return std::vector<sim::SpriteCall>(frames[i].begin(), frames[i].end() - 1); };
  EXPECT_EQ(dots(0), dots(128));
  EXPECT_NE(dots(0), dots(32));
  for (const auto& calls : frames) {
    ASSERT_FALSE(calls.empty());
    const sim::SpriteCall& blink = calls.back();
    EXPECT_EQ(blink.caller, 0x0154E2u);
    EXPECT_EQ(blink.x, 244u);
    EXPECT_GE(blink.frame, 5u);
    EXPECT_LE(blink.frame, 8u);
    // The dots: at most eight, front (attributes 16, big frames) before back.
    ASSERT_LE(calls.size(), 9u);
    for (std::size_t i = 0; i + 1 < calls.size(); ++i) {
      const sim::SpriteCall& c = calls[i];
      EXPECT_EQ(c.caller, 0x0153E4u);
      EXPECT_GE(c.frame, 1u);
      EXPECT_LE(c.frame, 4u);
      if (i + 2 < calls.size()) {
        EXPECT_LE(c.frame, calls[i + 1].frame);
        EXPECT_GE(c.attributes, calls[i + 1].attributes);
      }
      // Near the logo's centre on screen.
      EXPECT_NEAR(static_cast<double>(c.x), 280, 90);
      EXPECT_NEAR(static_cast<double>(c.y), 236, 90);
    }
  }
  // The blink sequence: frames 1 2 3 2 1 0 each shown five times.
  EXPECT_EQ(frames[0].back().frame, 6u);
  EXPECT_EQ(frames[5].back().frame, 7u);
  EXPECT_EQ(frames[25].back().frame, 5u);
}

TEST(Title, FirstFrameOfTheLogoMatchesItsArithmetic) {
  // The one point of column 0, row 2: x 0, y 79, z -11. After one frame the
  // spin is 0x1FC and the tilt 130 (T[4] = 134); worked through in the
  // console's word arithmetic this puts the point at depth 77 and on screen
  // at (278, 227) (the scale word 0x8002 is negative: the picture turns
  // over), drawn with frame 1 in front.
  FrontFixture f;
  std::vector<std::uint16_t> bitmap(160, 0);
  bitmap[2 * 32 + 31] = 1;
  putWords(*f.rom, 0x015C22, bitmap);
  f.toTitle();
  EXPECT_EQ(f.titleWord(0xFF846C), 0);
  EXPECT_EQ(f.titleWord(0xFF846E), 79);
  f.run(0);
  EXPECT_EQ(f.titleWord(0xFF83E4), 130);
  const auto& calls = f.s().screens().back().frames.back();
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].x, 278u);
  EXPECT_EQ(calls[0].y, 227u);
  EXPECT_EQ(calls[0].frame, 1u);
  EXPECT_EQ(calls[0].attributes, 16u);
  EXPECT_EQ(f.titleWord(0xFF8BAC + 2 * 77), 0);
}

TEST(Title, SecretSequenceOpensTheCodeMenu) {
  struct Case {
    const char* name;
    std::vector<std::uint8_t> pads;  // one frame each
    bool opens;
  };
  const Case cases[] = {
      {"each key let go", {kRight, 0, kA, 0, kLeft}, true},
      {"a key held counts once", {kRight, kRight, kRight, 0, kA, kA, 0, kLeft}, true},
      {"without letting go the next key is not read", {kRight, kA, kLeft}, false},
      {"a wrong key starts over", {kRight, 0, kB, 0, kA, 0, kLeft}, false},
      {"a wrong key, then the whole sequence", {kRight, 0, kUp, 0, kRight, 0, kA, 0, kLeft}, true},
      {"two keys at once are a wrong key", {kRight, 0, kA | kB, 0, kLeft}, false},
  };
  for (const Case& c : cases) {
    FrontFixture f;
    f.toTitle();
    for (std::uint8_t pad : c.pads) f.run(pad);
    EXPECT_EQ(f.st().front == 5, c.opens) << c.name;
    if (c.opens) {
      EXPECT_EQ(f.st().code_menu, 1);
      EXPECT_EQ(f.s().screens().back().event, 19);
      EXPECT_EQ(f.s().screens().back().picture, 5);
      EXPECT_EQ(f.s().screens().back().language, 0);
    }
  }
}

TEST(Title, StartWithTheBonusCombinationGivesAnExtraLife) {
  for (const auto& [pad, lives] :
       {std::pair<std::uint8_t, std::int64_t>{0x94, 3}, {0x80, 2}, {0x90, 2}, {0x84, 2}, {0x95, 2}, {0xD4, 2}}) {
    FrontFixture f;
    f.toTitle();
    f.run(0, 3);
    f.run(pad);
    ASSERT_EQ(f.st().front, 3) << int(pad);
    EXPECT_EQ(f.s().screens().back().event, 17);
    EXPECT_EQ(f.s().fadeVBlanks(), 20);  // the title's 10 and the story's 10
    EXPECT_TRUE(f.heard(sim::kSoundMusic, 13));
    f.run(0, 11);
    f.run(kC);
    EXPECT_EQ(f.st().front, 0) << int(pad);
    EXPECT_EQ(f.s().tickKind(), 'S');
    EXPECT_EQ(f.st().lives, lives) << int(pad);
    EXPECT_EQ(f.heard(sim::kSoundEffect, 10), lives == 3) << int(pad);
    // The story's song plays on in the first area, whose song it is.
    EXPECT_EQ(f.st().music, 13);
  }
}

TEST(Title, CountdownStartsTheAttractPages) {
  FrontFixture f;
  f.toTitle();
  f.run(kB, 300);  // buttons other than START do not hold the countdown
  f.run(0, 331);
  EXPECT_EQ(f.st().front, 2);
  f.run(0);
  EXPECT_EQ(f.st().front, 4);
  EXPECT_EQ(f.s().fadeVBlanks(), 20);
  EXPECT_EQ(f.s().screens().back().event, 22);
  EXPECT_EQ(f.s().screens().back().picture, 4);
}

// --- the attract pages ---

TEST(Attract, PagesSlideInRestSlideOutAndTheTitleReturns) {
  FrontFixture f;
  f.toTitle();
  f.s().mutableState().language = 2;
  sim::front::beginAttract(f.s().context());
  std::vector<std::int64_t> events, languages;
  std::vector<std::size_t> lengths;
  int frames = 0;
  std::size_t seen = f.s().screens().size();
  events.push_back(f.s().screens().back().event);
  languages.push_back(f.s().screens().back().language);
  while (f.st().front == 4 && frames < 20000) {
    f.run(0);
    ++frames;
    const auto& screens = f.s().screens();
    if (screens.size() != seen) {
      lengths.push_back(screens[seen - 1].frames.size());
      for (std::size_t i = seen; i < screens.size(); ++i) {
        events.push_back(screens[i].event);
        languages.push_back(screens[i].language);
      }
      seen = screens.size();
    }
    if (f.st().front == 4) {
      ASSERT_EQ(screens.back().frames.size(), screens.back().values_b.size());
      ASSERT_EQ(screens.back().frames.size(), screens.back().values_c.size());
    }
  }
  EXPECT_EQ(f.st().front, 2);
  EXPECT_EQ(events, (std::vector<std::int64_t>{22, 23, 24, 25, 26, 27, 28, 29, 22, 0}));
  EXPECT_EQ(languages, (std::vector<std::int64_t>{2, 2, 2, 2, 2, 2, 2, 0, 0, 2}));
  // A page from the right: 67 frames in, 101 at rest, 50 out until the fade,
  // 17 fading; from the left one frame more coming in and going out; the
  // eighth page rests 300 frames longer.
  ASSERT_GE(lengths.size(), 8u);
  EXPECT_EQ(lengths[0], 1u + 67 + 101 + 50 + 17);
  EXPECT_EQ(lengths[1], 1u + 68 + 101 + 51 + 17);
  EXPECT_EQ(lengths[7], lengths[1] + 300);
}

TEST(Attract, OffsetTrailsTheSpritesAndTheFadeRunsBothWays) {
  FrontFixture f;
  f.toTitle();
  sim::front::beginAttract(f.s().context());
  f.run(0, 200);
  const sim::Screen& screen = f.s().screens().back();
  // First frame: offset 0. Then the fade climbs 0..16 by one per frame.
  EXPECT_EQ(screen.values_b[0], 0);
  EXPECT_EQ(screen.values_b[1], 193);
  for (int i = 1; i <= 17; ++i) EXPECT_EQ(screen.values_c[i], i - 1) << i;
  EXPECT_EQ(screen.values_c[30], 16);
  // Each frame's sprites stand at the offset of the next frame's picture.
  const std::uint32_t x0 = 200;  // the fixture's first sprite entry
  for (int i = 1; i < 60; ++i) EXPECT_EQ(screen.frames[i][0].x, (x0 + screen.values_b[i + 1]) & 0xFFFF) << i;
  EXPECT_EQ(screen.frames[1][0].y, 150u + 16);
  EXPECT_EQ(screen.frames[1][0].frame, 4u + 1);  // the record's bank has 4 frames; offset 1
}

TEST(Attract, AnyButtonGoesToTheStoryWithTheBonusRule) {
  for (const auto& [pad, bonus] : {std::pair<std::uint8_t, std::int64_t>{0x94, 1}, {kLeft, 0}, {kStart, 0}}) {
    FrontFixture f;
    f.toTitle();
    sim::front::beginAttract(f.s().context());
    f.run(0, 10);
    f.run(pad);
    EXPECT_EQ(f.st().front, 3) << int(pad);
    EXPECT_EQ(f.st().title_bonus, bonus) << int(pad);
    EXPECT_EQ(f.s().fadeVBlanks(), 20);  // leaving 10, the story 10
  }
}

// --- the story screen ---

TEST(Story, IgnoresButtonsForElevenFramesAndStartsByItselfLater) {
  FrontFixture f;
  f.toTitle();
  f.run(kStart);
  f.run(kA, 10);
  EXPECT_EQ(f.st().front, 3);
  f.run(kA);
  EXPECT_EQ(f.st().front, 0);
  EXPECT_EQ(f.s().fadeVBlanks(), 10);

  FrontFixture g;
  g.toTitle();
  g.run(kStart);
  g.run(kUp | kDown | kLeft | kRight, 1500);  // directions are no buttons here
  EXPECT_EQ(g.st().front, 3);
  EXPECT_EQ(g.s().screens().back().frames.size(), 1500u);
  g.run(0);
  EXPECT_EQ(g.st().front, 0);
  EXPECT_EQ(g.st().area, 21);
}

// --- the code menu ---

TEST(CodeMenu, HostOpensItOnlyWhileTheFrontEndRuns) {
  FrontFixture f;
  f.started();
  EXPECT_FALSE(f.s().openCodeMenu());  // in the game
  f.toTitle();
  f.s().mutableState().menu_cursor = 3;
  EXPECT_TRUE(f.s().openCodeMenu());
  EXPECT_EQ(f.st().front, 5);
  EXPECT_EQ(f.st().menu_cursor, 0);
  EXPECT_EQ(f.st().event, 19);
  EXPECT_EQ(f.s().fadeVBlanks(), 20);
  const std::size_t screens = f.s().screens().size();
  EXPECT_FALSE(f.s().openCodeMenu());  // already open
  EXPECT_EQ(f.s().screens().size(), screens);
}

TEST(CodeMenu, EntriesStartTheirSubgameOrTheAttractPages) {
  FrontFixture f;
  f.toTitle();
  f.s().openCodeMenu();
  for (int i = 0; i < 3; ++i) {
    f.run(kDown, 2);
    f.settle();
  }
  EXPECT_EQ(f.st().menu_cursor, 3);
  f.s().mutableState().score = 99;
  f.s().mutableState().flags[5] = 1;
  f.run(kStart, 4);
  EXPECT_EQ(f.st().front_step, 5);
  f.run(0);
  EXPECT_EQ(f.st().front_step, 6);
  f.run(0);
  EXPECT_EQ(f.st().front_step, 7);
  EXPECT_EQ(f.st().mode, 4);  // entry 3: the minecart
  EXPECT_EQ(f.st().in_subgame, 1);
  EXPECT_EQ(f.st().lives, 0);
  EXPECT_EQ(f.st().score, 0);
  EXPECT_EQ(f.st().stars_left, 250);
  EXPECT_EQ(f.st().flags[5], 0);
  EXPECT_EQ(f.st().push_x, 160 << 16);
  EXPECT_EQ(f.s().fadeVBlanks(), 10);
  EXPECT_EQ(f.s().tickKind(), 0);  // the subgame runs on front-end frames

  FrontFixture g;
  g.toTitle();
  g.s().openCodeMenu();
  g.run(kDown, 2);
  for (int i = 0; i < 8; ++i) {
    g.run(kDown, 2);
    g.settle();
  }
  EXPECT_EQ(g.st().menu_cursor, 6);
  g.run(kStart);
  g.run(0, 2);
  EXPECT_EQ(g.st().front, 4);
  EXPECT_EQ(g.s().fadeVBlanks(), 30);
}

TEST(CodeMenu, TheHighlightMovesInSeventeenStepsWithASound) {
  FrontFixture f;
  f.toTitle();
  f.s().openCodeMenu();
  ASSERT_EQ(f.s().screens().back().frames.size(), 1u);
  const auto first = f.s().screens().back().frames[0];
  ASSERT_EQ(first.size(), 2u);
  f.run(kDown);
  f.run(0, 2);
  const auto start = f.s().screens().back().frames.back();
  f.run(0, 16);
  const auto end = f.s().screens().back().frames.back();
  EXPECT_EQ(start[0].y, first[0].y);
  EXPECT_EQ(end[0].y, first[0].y + 16 * 16 / 17);
  f.run(0);
  EXPECT_TRUE(f.heard(sim::kSoundEffect, 7));
  // Landed, the highlight rests at the next line, 16 pixels down, and stays there.
  f.run(0, 10);
  const auto& frames = f.s().screens().back().frames;
  std::size_t k = frames.size() - 1;
  while (k > 0 && frames[k].empty()) --k;
  ASSERT_EQ(frames[k].size(), 2u);
  EXPECT_EQ(frames[k][0].y, first[0].y + 16);
  EXPECT_EQ(frames[k][1].y, first[1].y + 16);
}

TEST(CodeMenu, AModeWithoutASubgameStops) {
  FrontFixture f;
  putWords(*f.rom, 0x0130D2, {3});
  f.toTitle();
  f.s().openCodeMenu();
  f.run(kStart);
  f.run(0);
  f.s().step(0, 99);
  EXPECT_EQ(f.s().stopMessage(), "subgame 3's set-up (S7)");
}

// --- the game over sign ---

struct SignFixture : FrontFixture {
  SignFixture() {
    started();
    sim->setSuspendMode(true);
    try {
      sim::screens::beginGameOver(sim->context());
    } catch (const sim::Suspend&) {
    }
  }
};

TEST(GameOverSign, FliesInGrowingAndLandsInTheMiddle) {
  SignFixture f;
  EXPECT_EQ(f.st().screen_kind, 4);
  EXPECT_EQ(f.st().go_vx, 0xFFFCC000);
  const sim::Screen& screen = f.s().screens().back();
  EXPECT_EQ(screen.over_flag, 1);
  EXPECT_EQ(screen.values_a, (std::vector<std::int64_t>{1}));
  int frames = 1;
  while (f.st().go_phase == 0 && frames < 200) {
    f.run(0);
    ++frames;
  }
  EXPECT_EQ(frames, 78);
  EXPECT_EQ(f.st().go_y >> 16, 178);
  EXPECT_EQ(f.st().go_x >> 16, 289);
  EXPECT_EQ(f.st().go_sx2, 70);
  EXPECT_EQ(f.st().go_sy2, 58);
  EXPECT_EQ(f.st().go_x2, 576 - 289);
  EXPECT_EQ(f.st().go_timer, 60000);
  EXPECT_EQ(f.s().screens().back().values_a.back(), 78);
  // The fixture's words: rows 1-6 of "####....####...." and "....########....",
  // one bar per run, 32 x 7 pixels at full size.
  const auto& calls = f.s().screens().back().frames.back();
  ASSERT_EQ(calls.size(), 18u);
  EXPECT_EQ(calls[0].frame, 6u * 32 + 15);
  EXPECT_EQ(calls[0].attributes, 0x0Cu);
  EXPECT_EQ(calls[0].x, 289u - 64);
  EXPECT_EQ(calls[0].y, 178u - 28 + 7);
  EXPECT_EQ(calls[12].frame, 6u * 32 + 31);
  EXPECT_EQ(calls[12].x, 287u - 64 + 16);
}

TEST(GameOverSign, AButtonDismissesItOnlyAfterThreeHundredFrames) {
  SignFixture f;
  while (f.st().go_phase == 0) f.run(0);
  f.run(kB, 299);
  EXPECT_EQ(f.st().go_phase, 1);
  EXPECT_EQ(f.st().go_sx >> 16, 70);
  f.run(kB);  // the 300th frame at rest
  EXPECT_EQ(f.st().go_sx >> 16, 69);
  // Once begun, the shrinking runs on without the button.
  int frames = 0;
  while (f.st().go_phase == 1 && frames < 500) {
    f.run(0);
    ++frames;
  }
  EXPECT_EQ(frames, 70);
  EXPECT_EQ(f.st().go_timer, 25);
  f.run(0, 24);
  EXPECT_EQ(f.st().screen_kind, 4);
  EXPECT_EQ(f.s().endMessage(), "");
  f.run(0);
  EXPECT_EQ(f.st().screen_kind, 0);
  EXPECT_EQ(f.s().endMessage(), "game over");
  EXPECT_EQ(f.s().fadeVBlanks(), 10);
}

TEST(GameOverSign, UntouchedItLeavesByItself) {
  SignFixture f;
  while (f.st().go_phase == 0) f.run(0);
  f.run(0, 59999);
  EXPECT_EQ(f.st().go_sx >> 16, 70);
  f.run(0);
  EXPECT_EQ(f.st().go_sx >> 16, 69);
  f.run(0, 70 + 25);
  EXPECT_EQ(f.s().endMessage(), "game over");
}

}  // namespace
