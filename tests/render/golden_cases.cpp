#include "golden_cases.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <span>

#include <nlohmann/json.hpp>

#include "base/asset_store.h"
#include "base/log.h"
#include "render/area_render.h"
#include "render/frame_png.h"
#include "render/game_frame.h"
#include "render/render_assets.h"
#include "render/screen_render.h"
#include "render/texts.h"
#include "sim/rom_view.h"
#include "world/world.h"

namespace render_goldens {
namespace {

namespace fs = std::filesystem;

std::vector<int> colours(const render::Frame& frame) {
  return {frame.cram.begin(), frame.cram.end()};
}

class Writer {
 public:
  explicit Writer(fs::path folder) : folder_(std::move(folder)) {}

  void picture(const std::string& name, const std::optional<render::Frame>& frame, int lines) {
    if (!frame) {
      app::logMessage(app::kError, "%s: the picture cannot be drawn", name.c_str());
      ++failed_;
      return;
    }
    std::string error;
    const std::vector<unsigned char> png = render::encodeIndexedPng(*frame, lines, &error);
    if (png.empty() || !app::writeFile(folder_ / (name + ".png"), std::span<const std::uint8_t>(png))) {
      app::logMessage(app::kError, "%s: the picture cannot be written %s", name.c_str(), error.c_str());
      ++failed_;
      return;
    }
    ++written_;
  }

  void json(const std::string& name, const nlohmann::json& value) {
    if (!app::writeFile(folder_ / (name + ".json"), value.dump() + "\n")) ++failed_;
  }

  int finish() const { return failed_ == 0 ? written_ : -1; }

 private:
  fs::path folder_;
  int written_ = 0, failed_ = 0;
};

}  // namespace

std::string regenerationRefusal() {
  if (!std::getenv(kRegenerateVariable)) return {};
  return std::string(kRegenerateVariable) +
         " is set: the tests only compare with the goldens; write them with grovanta_goldens "
         "(ninja -C build grovanta_regenerate_goldens), look at them, and run the tests without it";
}

std::filesystem::path goldensFolder(const std::filesystem::path& sourceRoot) {
  return sourceRoot / "tests" / "render" / "goldens";
}

std::string AreaGolden::name() const {
  char text[32];
  std::snprintf(text, sizeof text, "area_%02d_%04d", area, camera);
  return text;
}

// Plain areas, a one-screen area, an animated block shown in its second frame, a backdrop in front.
const std::vector<AreaGolden>& areaGoldens() {
  static const std::vector<AreaGolden> kGoldens = {
      {1, 0, {}}, {12, 0, {}}, {21, 200, {}}, {28, 260, {13}}, {36, 1000, {}}};
  return kGoldens;
}

// The hero walking left, two objects lying here and one carried in the panel, stars, lanterns,
// raindrops after a separator, the panel's rail and energy bar.
GameStep busyStep() {
  GameStep step;
  sim::GameState& s = step.state;
  s.area = 29;
  s.camera_x = 200;
  s.score = 1230;
  s.lives = 3;
  s.sprite_frame = 5;
  s.objects_here_count = 3;
  const std::int16_t graphics[3] = {7, 14, 0};
  for (int slot = 0; slot < 3; ++slot) {
    const std::uint32_t address = 0xFFFFAC62 + 16 * static_cast<std::uint32_t>(slot + 4);
    for (int b = 0; b < 4; ++b)
      s.objects_here[static_cast<std::size_t>(4 * slot + b)] = static_cast<std::uint8_t>(address >> (24 - 8 * b));
    s.objects[static_cast<std::size_t>(16 * (slot + 4) + 7)] = static_cast<std::uint8_t>(graphics[slot]);
  }
  auto call = [&](int frame, int x, int y, std::uint32_t attributes = 0) {
    step.calls.push_back({static_cast<std::uint32_t>(x + 128), static_cast<std::uint32_t>(y + 128),
                          static_cast<std::uint32_t>(frame), attributes, 0});
  };
  call(0, 150, 104, 1);  // the hero, facing left
  call(2, 60, 150);
  call(3, 250, 150);
  call(4, 116, 204);  // carried, at the first place of the panel's tray
  call(52, 200, 60);
  call(54, 90, 80);
  call(85, 30, 40);
  call(86, 280, 40);
  for (int i = 0; i < 4; ++i) call(51, 80 * i, 188);
  call(73, 168, 198);
  call(77, 248, 198);
  call(-2, 0, 0);
  for (int i = 0; i < 30; ++i) call(78, (37 * i) % 320, (53 * i) % 180);
  return step;
}

sim::GameState screenGame(int area) {
  sim::GameState state;
  state.area = area;
  state.camera_x = 0;
  state.score = 1230;
  state.lives = 3;
  state.sprite_frame = 16;
  return state;
}

std::vector<ScreenGolden> screenGoldens() {
  std::vector<ScreenGolden> out;
  for (int language : {0, 1}) {
    const std::string code = render::languageCode(language);
    sim::Screen event;
    event.event = 1;
    event.area = 21;
    event.language = language;
    event.frames = {{}};
    out.push_back({"event_01_" + code, event});

    // The help screen as the game draws it from its second frame on: its two hands (the second
    // flipped to point down, both 3 pixels nearer in French) before the pad the record places.
    sim::Screen help = event;
    help.event = 21;
    const std::uint32_t g = language != 0 ? 3 : 0;
    help.frames = {{{293, 232 - g, 79, 0, 0}, {303, 196 + g, 79, 2, 0}, {242, 201, 78, 0, 0}}};
    out.push_back({"help_" + code, help});

    sim::Screen inventory = event;
    inventory.event = 0;
    inventory.held = {44, 3, -1};
    inventory.frames = {{{176, 192, 78, 0, 0}, {176, 232, 79, 0, 0}, {176, 272, 80, 0, 0}}};
    out.push_back({"inventory_" + code, inventory});

    sim::Screen story;
    story.event = 17;
    story.language = language;
    story.picture = 3;
    story.frames = {{}};
    out.push_back({"story_" + code, story});

    sim::Screen attract;
    attract.event = 22;
    attract.language = language;
    attract.picture = 4;
    const std::vector<sim::SpriteCall> icons = {{176, 184, 80, 0, 0x0157E8}, {368, 184, 86, 0, 0x0157E8}};
    attract.frames = {icons, icons, icons};
    attract.values_b = {0, 0, 0};
    attract.values_c = {16, 16, 16};
    out.push_back({"attract_22_" + code, attract, 2});

    sim::Screen menu;
    menu.event = 18;
    menu.language = language;
    menu.picture = 1;
    menu.frames = {{{320, 268, 8, 0, 0}, {340, 268, 9, 0, 0}}};
    out.push_back({"language_menu_" + code, menu});
  }
  sim::Screen lives;
  lives.area = 21;
  lives.lives_flag = 1;
  lives.stars = 193;
  lives.lives_frames = {{3, 16, 0}};
  lives.snapshot = std::make_shared<const sim::GameState>(screenGame(21));
  // The five calls of the game's lives frame, c = 56 frames in the list's first bank.
  lives.frames = {{{264, 204, 0, 0, 0x004098},
                   {290, 216, 57, 0, 0x0040AC},
                   {256, 234, 52, 0, 0x0040DA},
                   {279, 240, 57, 0, 0x0040EE},
                   {273, 252, 56, 0, 0x004100}}};
  out.push_back({"lives", lives});

  sim::Screen over;
  over.area = 21;
  over.over_flag = 1;
  over.values_a = {90};
  over.frames = {{{200, 200, 31, 0, 0}, {200, 208, 63, 0, 0}}};
  out.push_back({"game_over", over});

  sim::Screen title;
  title.picture = 2;
  title.frames = {{{244, 334, 5, 16, 0x0154E2}}};
  out.push_back({"title", title});

  sim::Screen code;
  code.event = 19;
  code.picture = 5;
  code.frames = {{}};
  out.push_back({"code_menu", code});
  return out;
}

int writeGoldens(const fs::path& root, const fs::path& out) {
  std::optional<world::World> world = world::loadWorld(root);
  if (!world) return -1;
  const sim::RomView rom = sim::loadRomView(root, *world);
  if (!rom.loaded()) return -1;
  Writer writer(out);

  render::RenderAssets areaAssets(root, *world);
  for (const AreaGolden& golden : areaGoldens()) {
    const std::optional<render::Frame> frame =
        render::renderArea(areaAssets, golden.area, golden.camera, golden.animations);
    writer.picture(golden.name(), frame, 192);
    if (frame)
      writer.json(golden.name(), {{"area", golden.area},
                                  {"camera_x", golden.camera},
                                  {"animations", golden.animations},
                                  {"cram", colours(*frame)}});
  }

  render::RenderAssets assets(root, *world, &rom);
  const GameStep step = busyStep();
  const std::optional<render::Frame> stepFrame = render::renderGameStep(assets, step.state, step.calls);
  writer.picture(kBusyStepName, stepFrame, 224);
  if (stepFrame) writer.json(kBusyStepName, {{"cram", colours(*stepFrame)}});

  if (!assets.loadCommonGraphics() || !assets.loadPortraitFrames()) return -1;
  render::TextImages texts(root);
  const sim::GameState current = screenGame(21);
  for (const ScreenGolden& golden : screenGoldens())
    writer.picture("screens/" + golden.name, render::renderScreen(assets, texts, current, golden.screen, golden.frame),
                   224);
  return writer.finish();
}

}  // namespace render_goldens
