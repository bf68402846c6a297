// Actors, lifts, platforms, rain, sparkles and falling effects.
#include "sim/things/things.h"

namespace sim::things {

// Not built yet: the actors and lifts of the area. Until then they neither
// move nor draw. Each actor record names its type; the behaviours go in a
// table here (type -> routine taking the context and the actor's slot), one
// file per kind of actor beside this one.
void actors(Context&) {}

}  // namespace sim::things
