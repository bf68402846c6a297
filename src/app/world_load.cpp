#include "app/world_load.h"

#include <memory>

#include "world/world.h"

namespace app {

bool loadWorldInto(Data& data) {
  std::optional<world::World> loaded = world::loadWorld(data.dataDirectory);
  if (!loaded) {
    data.world.reset();
    return false;  // the loader logged why
  }
  data.world = std::make_shared<const world::World>(std::move(*loaded));
  return true;
}

}  // namespace app
