// Includes the layer check must let through: its own layer, a library, a folder that is no layer.
#include "low/keeps_down.h"
#include <vector>
#include "nlohmann/json.hpp"
