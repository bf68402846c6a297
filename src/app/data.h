#pragma once
// The application context handed to every mode: the data directory, the world and the slots that a
// mode fills when it needs them.

#include <filesystem>
#include <memory>

namespace world {
struct World;
}
namespace sim {
class RomView;
}
namespace render {
class RenderAssets;
struct PadHintPictures;
}  // namespace render

namespace app {

struct Data {
  std::filesystem::path dataDirectory;        // a folder, or "<embedded>"
  std::shared_ptr<const world::World> world;  // loaded at start-up, read-only
  std::shared_ptr<sim::RomView> rom;          // the cartridge tables, when a mode loaded them
  std::shared_ptr<render::RenderAssets> renderAssets;
  std::shared_ptr<render::PadHintPictures> padHints;
};

}  // namespace app
