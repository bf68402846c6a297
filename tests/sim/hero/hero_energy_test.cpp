// The hero's energy (drowning, gradual drains and heals, damage, cheats),
// death and its timers, the animation step, the hero's sprite and the energy bar.
#include "hero_fixture.h"
#include "sim/core/context.h"
#include "sim/hero/hero.h"

#include <algorithm>

namespace {

using namespace hero_test;

constexpr std::uint32_t kCheat = sim::kCheatNoDamage;

int effects(sim::Simulation& sim, std::uint32_t n) {
  return static_cast<int>(std::count_if(sim.soundRequests().begin(), sim.soundRequests().end(),
                                        [&](const audio::SoundRequest& r) { return r.kind == 1 && r.value == n; }));
}

TEST_F(HeroTest, WaterDrainsAfterTheGracePeriodUnlessTheHeroBreathes) {
  startStanding(160);
  s().variant_ad = 255;  // water without flippers: he walks on the bottom
  s().grace = 3;
  sim().soundRequests().clear();
  run(0, 3);
  EXPECT_EQ(s().damage, 0);
  EXPECT_EQ(s().grace, 0);
  EXPECT_EQ(s().expression, 0);
  run(0, 8);
  EXPECT_EQ(s().damage, 8 * 0x2000);
  EXPECT_EQ(s().damage_show, 240);  // the integer part just became 1
  EXPECT_EQ(s().expression, 2);
  EXPECT_EQ(effects(sim(), 4), 8);

  s().inventory[8] = 0;
  s().inventory[9] = 20;  // object 20 lets him breathe
  run(0, 5);
  EXPECT_EQ(s().damage, 8 * 0x2000);

  s().variant_ad = 0;  // out of water the grace comes back
  run(0);
  EXPECT_EQ(s().grace, 100);
  s().grace = 300;  // but a respawn's longer grace is kept
  run(0);
  EXPECT_EQ(s().grace, 300);
}

TEST_F(HeroTest, DrowningFillsTheBarToSixtyFourAndKillsTheHero) {
  startStanding(160);
  s().variant_ad = 255;
  s().grace = 0;
  s().damage = fx(63) + 0xF000;
  run(0);
  EXPECT_EQ(s().damage, fx(64) + 0x1000);  // full, with the fraction kept
  EXPECT_EQ(s().dying, 1);
  run(0);
  EXPECT_EQ(s().dying, 2);
  EXPECT_EQ(s().anim, 0x0018CA);
  EXPECT_EQ(s().damage, fx(64) + 0x1000);  // no drain while dying
}

TEST_F(HeroTest, EnergyRampsAndTheNoDamageCheat) {
  struct Case {
    const char* name;
    std::uint32_t cheats;
    std::int64_t ramp, damage;
    int frames;
    std::int64_t damageAfter, rampAfter;
    int hurtSounds;
  };
  const Case cases[] = {
      {"drain", 0, 0x8005, fx(10) + 0x100, 3, fx(13) + 0x100, 0x8002, 3},
      {"drain ends", 0, 0x8002, fx(10), 4, fx(12), 0x8000, 2},
      {"drain capped at 64", 0, 0x8005, fx(63), 3, fx(64), 0x8002, 0},
      {"drain, cheat", kCheat, 0x8005, fx(10), 3, fx(10), 0x8002, 0},
      {"heal", 0, 0x0005, fx(10) + 0x100, 3, fx(7) + 0x100, 0x0002, 0},
      {"heal, cheat", kCheat, 0x0005, fx(10), 3, fx(7), 0x0002, 0},
      {"heal past zero clears", 0, 0x0005, fx(1) + 0x8000, 3, 0, 0x0002, 0},
  };
  for (const Case& c : cases) {
    startStanding(160);
    sim().setCheats(c.cheats);
    s().energy_ramp = c.ramp;
    s().damage = c.damage;
    sim().soundRequests().clear();
    run(0, c.frames);
    EXPECT_EQ(s().damage, c.damageAfter) << c.name;
    EXPECT_EQ(s().energy_ramp, c.rampAfter) << c.name;
    EXPECT_EQ(effects(sim(), 4), c.hurtSounds) << c.name;
    sim().setCheats(0);
  }
}

TEST_F(HeroTest, WaterNeverHurtsWithTheNoDamageCheat) {
  startStanding(160);
  sim().setCheats(sim::kCheatNoDamage);
  s().variant_ad = 255;
  s().grace = 0;
  run(0, 50);
  EXPECT_EQ(s().damage, 0);
  EXPECT_EQ(s().expression, 2);
}

TEST_F(HeroTest, DamageOfAGivenAmount) {
  struct Case {
    const char* name;
    std::uint32_t cheats;
    std::int64_t dying, damage, amount;
    bool ignoredWhileDying;
    std::int64_t after, shown;
    int hurtSounds;
  };
  const Case cases[] = {
      {"half a point", 0, 0, fx(3), 0x8000, true, fx(3) + 0x8000, 0, 1},
      {"crossing a point shows the bar", 0, 0, fx(3) + 0x8000, 0x8000, true, fx(4), 240, 1},
      {"full", 0, 0, fx(63), fx(2) + 0x4000, true, fx(64) + 0x4000, 240, 0},
      {"ignored while dying", 0, 1, fx(3), fx(1), true, fx(3), 0, 0},
      {"taken while dying", 0, 1, fx(3), fx(1), false, fx(4), 240, 1},
      {"cheat", kCheat, 0, fx(3), fx(1), true, fx(3), 0, 0},
      {"cheat lets food heal", kCheat, 0, fx(3), -fx(1), true, fx(2), 240, 1},
  };
  for (const Case& c : cases) {
    startStanding(160);
    sim().setCheats(c.cheats);
    s().dying = c.dying;
    s().damage = c.damage;
    s().damage_show = 0;
    sim().soundRequests().clear();
    sim::hero::addDamage(sim().context(), c.amount, c.ignoredWhileDying);
    EXPECT_EQ(s().damage, c.after) << c.name;
    EXPECT_EQ(s().damage_show, c.shown) << c.name;
    EXPECT_EQ(effects(sim(), 4), c.hurtSounds) << c.name;
    sim().setCheats(0);
  }
}

TEST_F(HeroTest, AHeroKilledInMidAirDiesWhenHeLandsAndALifeIsLost) {
  start(160, 60);
  s().damage = fx(64);
  s().lives = 2;
  run(0);
  EXPECT_EQ(s().dying, 1);
  int frames = 0;
  while (s().settled == 0 && frames < 60) {
    EXPECT_NE(s().anim, 0x0018B8);
    EXPECT_EQ(s().dying, 1);
    run(0);
    ++frames;
  }
  EXPECT_EQ(s().dying, 2);
  EXPECT_EQ(s().anim, 0x0018B8);
  // The timer starts once he lies on frame 27, and its end shows the lives screen.
  while (s().death_timer == 0 && frames < 200) {
    run(0);
    ++frames;
  }
  EXPECT_EQ(s().sprite_frame, 27);
  EXPECT_EQ(s().death_timer, 99);  // set to 100 and counted once in the same step
  run(0, 99);
  EXPECT_EQ(sim().tickKind(), 'W');
  EXPECT_EQ(s().screen_kind, sim::kLivesScreen);
  EXPECT_EQ(s().lives, 1);
  EXPECT_EQ(s().respawn_pending, 1);

  // The lives screen's end puts him back at the restart point, reset, with a long grace.
  s().restart_x = 100, s().restart_y = 40, s().restart_area = 21;
  for (int i = 0; i < 60 && s().lives_wait < 50; ++i) run(0);
  run(0x10);
  for (int i = 0; i < 100 && sim().tickKind() == 'W'; ++i) run(0);
  EXPECT_EQ(sim().tickKind(), 'S');
  EXPECT_EQ(s().x, fx(100));
  EXPECT_EQ(s().dying, 0);
  EXPECT_EQ(s().damage, 0);
  EXPECT_EQ(s().grace, 300);
  EXPECT_EQ(s().anim, 0x00180C);
  run(0, 60);
  EXPECT_EQ(ix(s().y), kRestY);  // and he drops to the floor
}

TEST_F(HeroTest, HazardAndWaterDeathsSetTheirTimers) {
  // Struck by a hazard: its own sequence and 120 frames, wherever he is.
  start(160, 60);
  s().hazard_hit = 255;
  s().damage = fx(64);
  run(0, 2);
  EXPECT_EQ(s().anim, 0x0018DC);
  EXPECT_EQ(s().dying, 2);
  const std::int64_t y = s().y;
  run(0);
  EXPECT_EQ(s().death_timer, 119);
  run(0, 5);
  EXPECT_EQ(s().y, y);  // a hazard death hangs where it struck

  // Drowned: he floats up to float_y, then the timer starts.
  startStanding(160);
  s().variant_ad = 255;
  s().float_y = 148;
  s().damage = fx(64);
  run(0, 2);
  ASSERT_EQ(s().dying, 2);
  std::vector<std::int64_t> ys;
  for (int i = 0; i < 4; ++i) {
    run(0);
    ys.push_back(ix(s().y));
  }
  EXPECT_EQ(ys, (std::vector<std::int64_t>{151, 150, 149, 148}));
  EXPECT_EQ(s().death_timer, 119);
  run(0);
  EXPECT_EQ(ix(s().y), 148);
}

TEST_F(HeroTest, AnimationStepHoldsEachFrameForDelayPlusOneAndLoops) {
  startStanding(160);
  sim_test::putWords(*f.rom, 0x001900, {2, 1, 5, 6, 7, 0xFFFF});
  sim::hero::setHeroAnimation(sim().context(), 0x001900);
  std::vector<std::int64_t> frames;
  for (int i = 0; i < 12; ++i) {
    sim::hero::heroAnimationStep(sim().context());
    frames.push_back(s().sprite_frame);
  }
  EXPECT_EQ(frames, (std::vector<std::int64_t>{5, 5, 5, 6, 6, 6, 7, 7, 7, 6, 6, 6}));

  // Running fast, the walking sequences show each frame one step less.
  s().fast = 1;
  sim::hero::setHeroAnimation(sim().context(), 0x0017F6);
  frames.clear();
  for (int i = 0; i < 8; ++i) {
    sim::hero::heroAnimationStep(sim().context());
    frames.push_back(s().sprite_frame);
  }
  EXPECT_EQ(frames, (std::vector<std::int64_t>{0, 0, 0, 0, 1, 1, 1, 1}));

  sim_test::putWords(*f.rom, 0x001900, {0, 3, 5, 0xFFFF, 0xFFFF, 0xFFFF});  // loops onto its end mark
  sim::hero::setHeroAnimation(sim().context(), 0x001900);
  sim::hero::heroAnimationStep(sim().context());
  EXPECT_THROW(sim::hero::heroAnimationStep(sim().context()), sim::Stop);
}

// How he looks facing either way is checked on the drawn picture (the render tests' hero mirror).
TEST_F(HeroTest, TheHeroSpriteIsFrameZeroWhereHeStands) {
  startStanding(200);
  run(kLeft, 3);
  const sim::SpriteCall* hero = nullptr;
  for (const sim::SpriteCall& c : sim().frameSprites())
    if (c.caller == 0x00153C) hero = &c;
  ASSERT_NE(hero, nullptr);
  EXPECT_EQ(hero->frame, 0u);
  EXPECT_EQ(hero->x, static_cast<std::uint32_t>(s().sprite_x + 128));
  EXPECT_EQ(hero->y, static_cast<std::uint32_t>(ix(s().y) + 128));

  // On the rope the frame is the rope's and does not advance.
  s().flag_82e4 = 255;
  s().sprite_frame = 130;
  run(0, 10);
  EXPECT_EQ(s().sprite_frame, 130);
}

std::vector<std::uint32_t> segmentXs(const std::vector<sim::SpriteCall>& calls, std::uint32_t frame) {
  std::vector<std::uint32_t> xs;
  for (const sim::SpriteCall& c : calls)
    if (c.y == 338 && c.frame == frame) xs.push_back(c.x);
  return xs;
}

TEST_F(HeroTest, EnergyBarSegments) {
  struct Case {
    std::int64_t d;
    std::vector<std::uint32_t> xs;
  };
  const Case cases[] = {
      {0, {}},
      {1, {249}},
      {7, {255}},
      {8, {256}},
      {9, {249, 257}},
      {16, {256, 264}},
      {46, {254, 262, 270, 278, 286, 294}},
  };
  startStanding(160);
  for (const Case& c : cases) {
    s().damage = fx(c.d);
    s().damage_show = 5;
    sim::beginFrame(sim().context());
    sim::hero::energyBar(sim().context());
    const auto& calls = sim().frameSprites();
    EXPECT_EQ(segmentXs(calls, 75), c.xs) << c.d;
    EXPECT_EQ(s().damage_show, 4);
    ASSERT_GE(calls.size(), 6u);
    EXPECT_EQ(calls[0], (sim::SpriteCall{243, 329, 73, 16, calls[0].caller}));
    EXPECT_EQ(calls[1], (sim::SpriteCall{248, 338, 77, 16, calls[1].caller}));
    EXPECT_EQ(std::count_if(calls.begin(), calls.end(), [](const sim::SpriteCall& k) { return k.frame == 51; }), 4);
  }
  // Nearly full, the segments take the flashing frame.
  s().damage = fx(47);
  s().panel_anim[0] = 0;
  s().panel_anim[1] = 76;
  s().panel_anim[3] = 5;  // the flash animation waits
  sim::beginFrame(sim().context());
  sim::hero::energyBar(sim().context());
  EXPECT_EQ(segmentXs(sim().frameSprites(), 76).size(), 6u);
  EXPECT_EQ(segmentXs(sim().frameSprites(), 75).size(), 0u);
}

TEST_F(HeroTest, PanelObjectsShowWhileTheBarIsHidden) {
  startStanding(160);
  s().damage = fx(20);
  s().damage_show = 0;
  // Object 5 carried in the bottom slot; its graphics are in sprite frame 9.
  s().inventory[8] = 0;
  s().inventory[9] = 5;
  s().objects[16 * 5 + 10] = 0;
  s().objects[16 * 5 + 11] = 9;
  sim::beginFrame(sim().context());
  sim::hero::energyBar(sim().context());
  const auto& calls = sim().frameSprites();
  ASSERT_EQ(calls.size(), 7u);
  EXPECT_EQ(calls[0].frame, 72u);
  EXPECT_EQ(calls[1].frame, 72u);
  EXPECT_EQ(calls[2], (sim::SpriteCall{320, 328, 9, 0, calls[2].caller}));
  EXPECT_EQ(s().damage_show, 0);

  // The event and inventory screens and the subgames always show the bar, and keep damage_show.
  sim::beginFrame(sim().context());
  sim::hero::energyBar(sim().context(), true);
  EXPECT_EQ(segmentXs(sim().frameSprites(), 75).size(), 3u);
  EXPECT_EQ(s().damage_show, 0);
}

TEST_F(HeroTest, ThePanelSlidesAPickedObjectIn) {
  startStanding(160);
  // Object 7 picked up with two empty slots above the one carried in slot 4.
  s().inventory[2] = 0, s().inventory[3] = 7;      // in transit
  s().inventory[8] = 0, s().inventory[9] = 3;      // already carried
  s().inv_timers[0] = 0, s().inv_timers[1] = 200;  // x on the panel
  s().inv_timers[2] = 0, s().inv_timers[3] = 80;   // slide-in countdown
  s().inv_timers[8] = 0, s().inv_timers[9] = 1;    // pick-up under way
  for (int i = 0; i < 39; ++i) sim::hero::energyBar(sim().context());
  EXPECT_EQ(s().inv_timers[3], 2);
  EXPECT_EQ(s().inv_timers[0] << 8 | s().inv_timers[1], 200 + 78);
  sim::hero::energyBar(sim().context());
  EXPECT_EQ(s().inventory[2] << 8 | s().inventory[3], 0xFFFF);  // arrived
  EXPECT_EQ(s().inventory[7], 7);                               // in slot 3, above the carried one
  EXPECT_EQ(s().inv_timers[9], 0);
}

}  // namespace
