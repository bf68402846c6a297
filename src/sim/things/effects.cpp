// Small effects: rain, falling effects and sparkles.
#include "sim/things/things.h"

namespace sim::things {

// Not built yet: the rain timer. Until then rain never starts.
void rainTimer(Context&) {}

// Not built yet: the rain's drops. Until then none is drawn.
void rain(Context&) {}

// Not built yet: the falling effects. Until then they stay still and unseen.
void fallingEffects(Context&) {}

// Not built yet: the sparkles. Until then none is drawn.
void sparkles(Context&) {}

}  // namespace sim::things
