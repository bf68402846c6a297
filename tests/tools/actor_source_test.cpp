// The actors of the area sources: a line with a kind and named fields packs the record the logic
// copies, faults stop the build at the line, and the placement rules keep every actor on its ground
// and away from the stars and the places where the hero is put down.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "actor_source.h"
#include "objects.h"
#include "scratch_data.h"
#include "source_error.h"

namespace {

using builder::ActorSource;

std::vector<std::string> words(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> w{"actor:"};
  for (std::string s; in >> s;) w.push_back(s);
  return w;
}

ActorSource read(const std::string& line) {
  return builder::readActor(words(line), "area_99.txt", 7);
}

long long field(const ActorSource& a, int offset, int width) {
  long long v = 0;
  for (int i = 0; i < width; ++i) v = v << 8 | a.record[static_cast<std::size_t>(offset + i)];
  return v;
}

struct Packed {
  const char* line;
  int offset, width;
  long long value;
};

TEST(ActorSource, NamedFieldsLandAtTheirRecordOffsets) {
  const Packed cases[] = {
      {"crawler 300 160 left=256 right=330 speed=0.75", 12, 4, 0xC000},  // 16.16 speed
      {"crawler 300 160 left=256 right=330", 28, 2, 256},
      {"crawler 300 160 left=256 right=330", 30, 2, 330},
      {"crawler 300 160 left=256 right=330", 52, 2, 0xFFFF},  // walks left first by default
      {"crawler 300 160 left=256 right=330 look=2", 38, 2, 2},
      {"drip 108 120 top=120 bottom=164", 32, 2, 120},
      {"drip 108 120 top=120 bottom=164", 34, 2, 164},
      {"drip 108 120 top=120 bottom=164", 48, 2, 2},    // starts inactive, waiting
      {"drip 108 120 top=120 bottom=164", 52, 2, 150},  // its default period
      {"drip 108 120 top=120 bottom=164 every=90", 52, 2, 90},
      {"drip 108 120 top=120 bottom=164", 20, 4, 0x40000},  // falls no faster than 4 pixels a frame
      {"flitter 260 80 left=150 right=380 top=40", 32, 2, 40},
      {"hoverer 120 100 left=40 right=270 top=80 bottom=130", 48, 2, 100},  // seeks its own height first
      {"darter 350 60 left=140 right=560 top=30 bottom=110 target=90", 48, 2, 90},
      {"swimmer 1090 100 limit=1.5", 28, 4, 0x18000},
      {"thrower 616 104 from_x=616 from_y=104 floor=170 dx=-1", 12, 4, 0xFFFF0000},
      {"spinner 392 128 drop=24", 54, 4, 8 << 16},  // the thread starts 8 pixels long
      {"walker 60 166 left=24 right=130 word@46=3", 46, 2, 3},
      {"vent 280 160 wait=60 every=150", 46, 2, 60},
      {"vent 280 160 wait=60 every=150", 50, 2, 150},
  };
  for (const Packed& c : cases) {
    const ActorSource a = read(c.line);
    EXPECT_EQ(field(a, c.offset, c.width), c.value) << c.line << " at " << c.offset;
  }
}

TEST(ActorSource, TheRecordKeepsTypeXAndYOutOfItsDataBytes) {
  const ActorSource a = read("crawler 300 160 left=256 right=330 look=1");
  EXPECT_EQ(a.type, 7);
  EXPECT_EQ(field(a, 0, 4), 7);
  EXPECT_EQ(field(a, 4, 2), 300);
  EXPECT_EQ(field(a, 8, 2), 160);
  ASSERT_EQ(a.data.size(), 100u);  // 50 bytes
  // Data byte 0 is record byte 6 (the fraction of x), byte 2 record byte 12 (the speed's top byte).
  EXPECT_EQ(a.data.substr(0, 4), "0000");
  EXPECT_EQ(a.data.substr(8, 8), "00008000");  // record bytes 12..15: speed 0.5

  const ActorSource raw = read("7 300 160 00112233");
  EXPECT_FALSE(raw.named);
  EXPECT_EQ(raw.data, "00112233");
}

struct Refused {
  const char* line;
  const char* message;
};

TEST(ActorSource, FaultsStopTheBuildAtTheLine) {
  const Refused cases[] = {
      {"beast 10 10", "unknown actor kind \"beast\""},
      {"crawler 300 160 left=256 right=330 colour=3", "crawler has no field \"colour\""},
      {"crawler 300 160 left=256", "crawler needs left= and right="},
      {"crawler 400 160 left=256 right=330", "x 400 lies outside left..right (256..330)"},
      {"crawler 300 160 left=256 right=330 left=250", "left is set twice"},
      {"crawler 300 160 left=256 right=330 speed=fast", "speed=fast: a number of pixels"},
      {"crawler 300 160 left=256 right=330 speed=0.00001", "not a whole number of 1/65536 pixels"},
      {"crawler 300 160 left=256 right=330 look=70000", "look=70000 does not fit in 2 bytes"},
      {"crawler 300 160 left=256 right=330 word@4=1", "offsets 0-5 and 8-9 are the type, x and y"},
      {"crawler 300 160 left=256 right=330 word@57=1", "a record has 58 bytes"},
      {"dangler 300 128", "dangler needs drop="},
      {"dangler 300 128 top=40 drop=20", "top lies below its drop or bottom"},
      {"drip 300 40 top=40", "drip needs top= and bottom="},
      {"darter 300 60 left=200 right=400 top=90 bottom=60", "darter needs top= and bottom=, top above bottom"},
      {"flitter 300 60 left=200 right=400 top=120", "flitter needs top= at most 112"},
      {"thrower 300 60 from_x=300 floor=170", "thrower needs from_x=, from_y= and floor="},
      {"7 300 160 0011223", "an even number (at least 4) of hex digits"},
      {"crawler 300", "expected: actor: KIND X Y"},
  };
  for (const Refused& c : cases) {
    try {
      read(c.line);
      ADD_FAILURE() << c.line << ": accepted";
    } catch (const builder::SourceError& e) {
      const std::string what = e.what();
      EXPECT_NE(what.find("area_99.txt:7: "), std::string::npos) << what;
      EXPECT_NE(what.find(c.message), std::string::npos) << c.line << "\n  gave: " << what;
    }
  }
}

TEST(ActorReach, CoversTheWholeMotion) {
  // A dangler reaches from its top to the bottom of its drop; a spider only while it drops, but its
  // reach still spans the whole thread.
  const auto dangler = builder::actorReach(read("dangler 300 128 top=0 drop=36"));
  EXPECT_EQ(dangler.y0, 128 + 2);
  EXPECT_EQ(dangler.y1, 128 + 36 + 13);
  // A patroller reaches from its left limit to past its right one by its box.
  const auto crawler = builder::actorReach(read("crawler 300 160 left=256 right=330"));
  EXPECT_EQ(crawler.x0, 258);
  EXPECT_EQ(crawler.x1, 350);
  // The eight-way flier comes down to the bottom of its box at y 128, and its touch box 10 lower.
  const auto bat = builder::actorReach(read("flitter 260 80 left=150 right=380 top=40"));
  EXPECT_EQ(bat.y1, 138);
  // A thrown cone lands where its flight takes it: right of its start when thrown right.
  const auto cone = builder::actorReach(read("thrower 616 104 from_x=616 from_y=104 dx=1 floor=170"));
  EXPECT_GT(cone.x1, 616 + 40);
  EXPECT_GE(cone.y1, 170);
  // A bobber's reach grows by its bob both ways.
  const auto jelly = builder::actorReach(read("bobber 220 60"));
  EXPECT_LT(jelly.y0, 60 + 2);
  EXPECT_GT(jelly.y1, 60 + 21);
}

// A fixture area of 8 columns (256 pixels) with a floor at y 176, a wall on x 128..135 from y 144, a
// gap in the floor at x 192..207, a star at (40, 136), the hero put down at (230, 152) and a hero dropping
// in from the top over (100, 152).
struct Fixture {
  std::vector<builder::AreaGround> ground;
  std::vector<ActorSource> actors;
  std::vector<builder::ActorArea> areas;

  Fixture() {
    builder::AreaGround g;
    g.hasMap = true;
    g.width = 8;
    g.collision.assign(8 * 12, 0);
    for (int col = 0; col < 32; ++col) {
      auto& bottom = g.collision[static_cast<std::size_t>(col * 3 + 2)];  // rows 128..191
      if (col < 24 || col > 25) bottom |= 0xC0;                           // the floor, 176..191
      if (col == 16) bottom |= 0xFC;                                      // the wall, 144..191
    }
    ground.push_back(g);
  }
  void check(const std::string& line) {
    actors = {read(line)};
    areas = {{"area_00.txt", 0, &actors, {{40, 136, 3}}, {{230, 152}}, {{100, 152}}}};
    builder::checkActors(areas, ground);
  }
};

TEST(ActorPlacement, EachRuleRefusesWhatBreaksIt) {
  const Refused cases[] = {
      {"walker 100 160 left=60 right=140", "walker at y 160: a wall in its way at x 128"},
      {"creeper 170 160 left=150 right=190", "creeper at y 160: no ground under its feet at x 194"},
      {"crawler 60 160 left=40 right=100", "crawler guards the star at (40, 136) (line 3)"},
      {"flitter 220 80 left=200 right=240 top=40", nullptr},  // above the hero's head: allowed
      // Over the top of the wall a bat comes down to the head of a hero who stands there.
      {"flitter 140 80 left=110 right=150 top=40", "flitter reaches a hero standing at (110, 120)"},
      {"hoverer 140 100 left=110 right=150 top=100 bottom=110", "hoverer reaches a hero standing at"},
      // High in the sky, but where a hero falls in from the area above.
      {"hoverer 60 40 left=40 right=80 top=30 bottom=50", "hoverer reaches the way of a hero who drops in over (100, 152)"},
      {"drip 236 40 top=40 bottom=164", "drip reaches the hero where he is put down at (230, 152)"},
      {"walker 300 160 left=290 right=310", "actor x 300 lies outside the area"},
  };
  for (const Refused& c : cases) {
    Fixture f;
    try {
      f.check(c.line);
      EXPECT_EQ(c.message, nullptr) << c.line << ": accepted";
    } catch (const builder::SourceError& e) {
      const std::string what = e.what();
      ASSERT_NE(c.message, nullptr) << c.line << ": refused with " << what;
      EXPECT_NE(what.find(c.message), std::string::npos) << c.line << "\n  gave: " << what;
    }
  }
}

TEST(ActorPlacement, AtMostFortyAnAreaAndOnlyWhereThereIsAMap) {
  Fixture f;
  f.actors.assign(41, read("walker 60 160 left=50 right=70"));
  f.actors[40].line = 99;
  f.areas = {{"area_00.txt", 0, &f.actors, {}, {}, {}}};
  try {
    builder::checkActors(f.areas, f.ground);
    ADD_FAILURE() << "41 actors accepted";
  } catch (const builder::SourceError& e) {
    EXPECT_NE(std::string(e.what()).find("area_00.txt:99: at most 40 actors in an area"), std::string::npos)
        << e.what();
  }
  f.actors.resize(40);
  EXPECT_NO_THROW(builder::checkActors(f.areas, f.ground));

  f.ground[0].hasMap = false;
  EXPECT_THROW(builder::checkActors(f.areas, f.ground), builder::SourceError);
  f.areas[0].id = 50;  // the title's actors need no map
  f.ground.clear();
  EXPECT_NO_THROW(builder::checkActors(f.areas, f.ground));
}

// Our world: every area with a map has creatures, none more than 40, and the title has its own.
TEST(ActorsInTheWorld, EveryAreaWithAMapHasItsCreatures) {
  const auto world = nlohmann::json::parse(tools_test::slurp(tools_test::kSource / "world/world.json"));
  for (const auto& area : world["areas"]) {
    const int id = area["id"].get<int>();
    const auto& actors = area["actors"];
    EXPECT_LE(actors.size(), 40u) << "area " << id;
    const bool hasMap = area.contains("collision") && !area["collision"].get<std::string>().empty();
    if (hasMap || id == 50) {
      EXPECT_FALSE(actors.empty()) << "area " << id;
    }
    for (const auto& a : actors) {
      EXPECT_LE(a["type"].get<int>(), 14) << "area " << id;
      EXPECT_EQ(a["data"].get<std::string>().size(), 100u) << "area " << id;
    }
  }
}

}  // namespace
