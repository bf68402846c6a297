// A route script for the autopilot.

#include <string>
#include <string_view>

#include "app/pilot/route.h"
#include "fuzz/fuzz_target.h"

GROVANTA_FUZZ_TARGET(route) {
  app::pilot::parseRoute(std::string_view(reinterpret_cast<const char*>(data), size), "route.txt");
  return 0;
}
