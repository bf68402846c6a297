// Taking the rope at a rope place.
#include "sim/things/things.h"

namespace sim::things {

// Not built yet: the rope places and taking the rope. Until then B at a rope
// place picks up or drops as anywhere else.
bool takeRopeHere(Context&) {
  return false;
}

}  // namespace sim::things
