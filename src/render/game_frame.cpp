#include "render/game_frame.h"

#include "base/log.h"
#include "render/area_render.h"
#include "render/render_assets.h"
#include "render/sprite_placement.h"
#include "render/sprite_uploads.h"
#include "sim/game_state.h"
#include "sim/rom_view.h"
#include "world/world.h"

namespace render {

namespace {

constexpr std::int64_t kHintButtonArea = 21;

}  // namespace

std::optional<SpriteFrameList> prepareGameFrame(RenderAssets& assets, const sim::GameState& state, VideoChip& chip) {
  const world::Area* area = world::findArea(assets.world(), static_cast<int>(state.area));
  if (!area) {
    app::logMessage(app::kError, "no area %lld", static_cast<long long>(state.area));
    return std::nullopt;
  }
  const sim::RomView* rom = assets.rom();
  if (!rom) {
    app::logMessage(app::kError, "the game frame needs the cartridge tables");
    return std::nullopt;
  }
  const std::vector<Pattern>* patterns = assets.areaPatterns(*area);
  if (!patterns || !assets.loadCommonGraphics()) return std::nullopt;

  const int variant = static_cast<int>(state.palette_variant);
  setUpArea(chip, assets.world(), *area, *patterns, variant);
  if (state.palette_fading != 0) fadeVariant(chip, *area, variant, static_cast<int>(state.palette_fade_step));
  drawStatusPanel(chip, assets);
  drawPanelNumbers(chip, state.score, state.lives);

  // The animations are drawn one step on from the state, as the console shows them after its V-blank.
  std::vector<std::uint8_t> animations = state.block_anims;
  const std::vector<int> blocks = advanceBlockAnimations(animations, *area).value_or(std::vector<int>{});
  const int cameraX = static_cast<int>(state.camera_x);
  drawArea(chip, *area, cameraX, blocks);
  scrollArea(chip, *area, cameraX);

  const std::int32_t spriteRegion = area->area_patterns + area->backdrop_patterns;
  std::optional<SpriteFrameList> list = loadAreaBankList(chip, *rom, assets.pictures, area->id, spriteRegion);
  if (!list) return std::nullopt;
  uploadObjectGraphics(chip, *list, state, assets.object_patterns);
  uploadHeroFrame(chip, spriteRegion, state.sprite_frame, state.expression, assets.hero_frames);
  return list;
}

std::optional<Frame> renderGameStep(RenderAssets& assets, const sim::GameState& state,
                                    std::span<const sim::SpriteCall> calls, const SpriteCallHook& hintButtons) {
  VideoChip chip;
  std::optional<SpriteFrameList> list = prepareGameFrame(assets, state, chip);
  if (!list) return std::nullopt;
  if (hintButtons && state.area == kHintButtonArea) {
    std::vector<sim::SpriteCall> rewritten(calls.begin(), calls.end());
    hintButtons(chip, *list, rewritten);
    placeSprites(chip, *list, rewritten);
  } else {
    placeSprites(chip, *list, calls);
  }
  return compose(chip);
}

}  // namespace render
