// Actors: the creatures and machines of an area, up to 40 records run every game step.
#include "sim/things/things.h"

namespace sim::things {

// Not built yet: the actors of the area. Until then they neither move nor draw.
void actors(Context&) {}

}  // namespace sim::things
