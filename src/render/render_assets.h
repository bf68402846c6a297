#pragma once
// The renderers' cache of decoded graphics: area sheets, the common sprite graphics, the pictures and
// the portrait frame patterns. Everything is read on first use and kept; main thread only.

#include <cstdint>
#include <filesystem>
#include <map>
#include <vector>

#include "base/pattern_sheet.h"
#include "render/pictures.h"

namespace world {
struct World;
struct Area;
}  // namespace world
namespace sim {
class RomView;
}

namespace render {

class RenderAssets {
 public:
  RenderAssets(std::filesystem::path dataRoot, const world::World& world, const sim::RomView* rom = nullptr);

  const std::filesystem::path& dataRoot() const { return dataRoot_; }
  const world::World& world() const { return world_; }
  const sim::RomView* rom() const { return rom_; }

  // The area's patterns (block patterns, then backdrop patterns), read on first use; nullptr when the
  // sheet cannot be read (not remembered: the next call tries again).
  const std::vector<Pattern>* areaPatterns(const world::Area& area);

  // True when the common sprite graphics are loaded (at once when they were before).
  bool loadCommonGraphics();
  // True when every area's pattern sheet is loaded; each one that is not is named in the log.
  bool loadAreaSheets();
  // True when the portrait frame patterns (the message font) are loaded.
  bool loadPortraitFrames();
  // The picture of a data block, or nullptr.
  const Picture* findPicture(std::uint32_t block) const;

  std::map<std::int32_t, std::vector<Pattern>> area_sheets;
  std::vector<Pattern> hero_frames;  // 46 frames of 3 x 3 cells, column by column
  std::vector<Pattern> object_patterns;
  std::vector<Pattern> panel_patterns;  // digits 0-9, the plain tile at 16, the life icon at 17
  std::vector<Pattern> status_panel_patterns;
  std::vector<std::uint16_t> status_panel_table;  // 40 x 4 tile words
  std::vector<Pattern> minecart_patterns;
  PictureMap pictures;
  std::vector<Pattern> portrait_frame_patterns;

 private:
  std::filesystem::path dataRoot_;
  const world::World& world_;
  const sim::RomView* rom_;
};

}  // namespace render
