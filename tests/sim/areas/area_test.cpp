// Areas: the camera, the animated blocks, the music of each area, the
// palette variants, the lamp of area 6 and the handler's area check.
#include <gtest/gtest.h>

#include "sim/areas/area_fixture.h"
#include "sim/areas/areas.h"
#include "sim/core/context.h"

namespace {

using area_test::Fixture;

std::int64_t fixed(std::int64_t integer) {
  return integer * 65536;
}

std::int64_t word(const std::vector<std::uint8_t>& b, std::size_t at) {
  return static_cast<std::int16_t>(b[at] << 8 | b[at + 1]);
}

TEST(Camera, FollowsTheHeroFrom150UpToTheAreaLimit) {
  // Area 30 is 96 columns wide: limit 3072 - 321 = 2751.
  struct Case {
    std::int64_t x, camera, sprite;
  };
  const Case cases[] = {{-20, 0, -20},     {149, 0, 149},     {150, 0, 150},    {900, 750, 150},
                        {2901, 2751, 150}, {2902, 2751, 151}, {3060, 2751, 309}};
  Fixture f;
  f.at(30, 0, 0);
  EXPECT_EQ(f.sim->areaCache().cameraLimit, 2751);
  for (const Case& c : cases) {
    f.state().x = fixed(c.x) + 0xFFFF;
    sim::areas::updateCamera(f.sim->context());
    EXPECT_EQ(f.state().camera_x, c.camera) << c.x;
    EXPECT_EQ(f.state().sprite_x, c.sprite) << c.x;
  }
  f.at(21, 300, 152);  // area 21 of this world: 24 columns, limit 447
  EXPECT_EQ(f.state().camera_x, 150);
}

TEST(AnimatedBlocks, StepThroughTheirFramesAndLoop) {
  Fixture f;
  for (auto& a : f.world.areas)
    if (a.id == 30) a.animations = {{5, 1, 1, {7, 8, 9}}, {6, 0, 0, {4}}};
  f.at(30, 0, 0);  // entering steps them once
  auto& b = f.state().block_anims;
  std::vector<std::int64_t> frames{word(b, 0)}, timers{word(b, 2)};
  for (int i = 0; i < 7; ++i) {
    sim::areas::animatedBlockCheck(f.sim->context());
    frames.push_back(word(b, 0));
    timers.push_back(word(b, 2));
  }
  // Each frame shows for delay + 1 steps; past the end the list restarts at index 1.
  EXPECT_EQ(frames, (std::vector<std::int64_t>{7, 7, 8, 8, 9, 9, 8, 8}));
  EXPECT_EQ(timers, (std::vector<std::int64_t>{1, 0, 1, 0, 1, 0, 1, 0}));
  EXPECT_EQ(word(b, 8), 4);
  EXPECT_EQ(word(b, 12), 0);
  // A record past the area's animations stays as loadArea left it.
  EXPECT_EQ(word(b, 16), 0);
  EXPECT_EQ(word(b, 20), -1);
}

TEST(AnimatedBlocks, ABadLoopOrMoreThanEightAnimationsStopTheGame) {
  Fixture f;
  for (auto& a : f.world.areas) {
    if (a.id == 30) a.animations = {{5, 0, 3, {7}}};  // loop index past its one frame
    if (a.id == 29) a.animations.assign(9, {5, 0, 0, {7}});
  }
  f.at(30, 0, 0);  // the first frame still shows
  f.sim->step(0, 1);
  EXPECT_EQ(f.sim->stopMessage(), "an animated block list FFBBD2 does not hold");

  EXPECT_FALSE(f.sim->teleport(29, 0, 0));
  EXPECT_EQ(f.state().area, 30);  // the teleport is undone
}

// A place whose area number only matches an area once cut to 32 bits (from a teleport file) is refused
// with the game unchanged, as an area the world lacks is.
TEST(Teleport, AnAreaNumberBeyondAnIntIsRefused) {
  Fixture f;
  f.at(30, 0, 0);
  const sim::GameState before = f.state();
  for (std::int64_t area : {(std::int64_t{1} << 32) + 29, std::int64_t{-1}, std::int64_t{99}}) {
    EXPECT_FALSE(f.sim->teleport(area, 0, 0)) << area;
    EXPECT_TRUE(f.state() == before) << area;
  }
  EXPECT_TRUE(f.sim->teleport(29, 0, 0));
}

TEST(AreaMusic, FollowsTheAreaAfterAWaitOrAtOnceInTheCaves) {
  struct Case {
    std::int64_t area, music, flag82f2;
    int frames;               // steps of the music routine
    std::int64_t musicAfter;  // music then
    std::size_t requests;
  };
  const Case cases[] = {
      {29, 0, 0, 119, 0, 0},   {29, 0, 0, 120, 6, 1},  // after 120 frames
      {29, 6, 0, 500, 6, 0},                           // already playing
      {34, 12, 0, 1, 17, 1},   {34, 17, 0, 5, 17, 0},  // the caves' tune at once
      {31, 0, 255, 500, 0, 0}, {31, 0, 0, 120, 12, 1}, {45, 0, 0, 120, 3, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "area " << c.area << " frames " << c.frames);
    Fixture f;
    f.at(c.area, 0, 0);
    auto& s = f.state();
    s.music = c.music;
    s.music_wait = 120;
    s.flag_82f2 = c.flag82f2;
    f.sim->soundRequests().clear();
    for (int i = 0; i < c.frames; ++i) sim::areas::areaMusic(f.sim->context());
    EXPECT_EQ(s.music, c.musicAfter);
    ASSERT_EQ(f.sim->soundRequests().size(), c.requests);
    if (c.requests) {
      EXPECT_EQ(f.sim->soundRequests()[0], (audio::SoundRequest{sim::kSoundMusic, std::uint32_t(c.musicAfter)}));
    }
  }
}

TEST(AreaHandler, AnAreaAbove49StopsTheGame) {
  Fixture f;
  f.state().area = 50;
  EXPECT_THROW(sim::areas::runAreaHandler(f.sim->context()), sim::Stop);
  EXPECT_EQ(f.sim->stopMessage(), "the handler of area 50 ($005BA6)");
}

TEST(PaletteVariants, TheTimerStartsAFadeToTheNextVariant) {
  Fixture f;
  for (auto& a : f.world.areas)
    if (a.id == 30) {
      a.variant_index = {0, 1, 2, 3};
      a.variant_lines.assign(4, world::PaletteLine(16, 0));
    }
  f.at(30, 0, 0);
  auto& s = f.state();
  s.palette_timer = 1;
  s.palette_variant = 3;
  sim::areas::paletteVariantTimer(f.sim->context());
  EXPECT_EQ(s.palette_timer, 0);
  EXPECT_EQ(s.palette_fading, 0);
  sim::areas::paletteVariantTimer(f.sim->context());
  EXPECT_EQ(s.palette_timer, 3500);
  EXPECT_EQ(s.palette_fading, 255);
  EXPECT_EQ(s.palette_variant, 0);  // wraps after the fourth
  int frames = 0;
  while (s.palette_fading != 0 && frames < 100) {
    sim::areas::paletteVariantTimer(f.sim->context());
    ++frames;
  }
  EXPECT_EQ(frames, 34);  // steps 1 to 33, then the fade ends
  EXPECT_EQ(s.palette_fade_step, 0);
  EXPECT_EQ(s.palette_timer, 3500);  // the timer waits while a fade runs

  // An area without variants keeps its timer.
  f.at(29, 0, 0);
  s.palette_timer = 0;
  sim::areas::paletteVariantTimer(f.sim->context());
  EXPECT_EQ(s.palette_timer, 0);
}

TEST(Area6Lamp, LitItFlickersMovesItsFloorCellAndShowsNearIt) {
  Fixture f;
  f.at(6, 800, 152);  // camera at 650
  auto& s = f.state();
  auto before = f.sim->areaCache().collision;
  sim::beginFrame(f.sim->context());
  sim::areas::area6Lamp(f.sim->context());
  EXPECT_EQ(f.sim->areaCache().collision, before);  // dark: nothing changes
  const std::int64_t bank = f.sim->areaCache().firstSelectionFrames;
  ASSERT_EQ(f.sim->frameSprites().size(), 1u);
  EXPECT_EQ(f.sim->frameSprites()[0],
            (sim::SpriteCall{1023 - 650, 253, static_cast<std::uint32_t>(bank + 4), 16, 0x0062E4}));

  s.flag_82ef = 255;
  for (int i = 0; i < 20; ++i) sim::areas::area6Lamp(f.sim->context());
  const auto& c = f.sim->areaCache().collision;
  EXPECT_EQ(c[344], 0x04);
  EXPECT_EQ(c[347], 0x04);
  EXPECT_NE(word(s.passage_anim, 0), 0);  // it has moved on from its first frame

  f.at(6, 100, 152);  // camera 0: out of the lamp's view
  sim::beginFrame(f.sim->context());
  sim::areas::area6Lamp(f.sim->context());
  EXPECT_TRUE(f.sim->frameSprites().empty());

  // A narrow area 6 has no cells at 344 and 347: nothing is written past its collision.
  Fixture g;
  for (auto& a : g.world.areas)
    if (a.id == 6) {
      a.width = 10;
      a.collision.assign(120, 0);
      a.map.assign(60, 0);
    }
  g.at(6, 0, 0);
  g.state().flag_82ef = 255;
  sim::areas::area6Lamp(g.sim->context());
  EXPECT_EQ(g.sim->areaCache().collision.size(), 120u);
}

}  // namespace
