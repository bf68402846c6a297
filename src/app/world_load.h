#pragma once

#include "app/data.h"

namespace app {

// Loads the World from data.dataDirectory into data.world; false (logged) when it does not load.
bool loadWorldInto(Data& data);

}  // namespace app
