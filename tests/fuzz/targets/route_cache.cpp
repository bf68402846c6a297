// A route script's cache beside it; what it reads must be written back and read the same.

#include <cstdio>
#include <cstdlib>

#include "app/pilot/route_cache.h"
#include "base/asset_store.h"
#include "fuzz/fuzz_target.h"

GROVANTA_FUZZ_TARGET(route_cache) {
  app::pilot::RouteCache cache;
  cache.load(fuzz::putFile("route.txt.cache", data, size));
  const auto written = fuzz::dataDirectory() / "written.cache";
  const auto again = fuzz::dataDirectory() / "again.cache";
  if (!cache.save(written, false)) return 0;
  app::pilot::RouteCache back;
  back.load(written);
  if (back.size() != cache.size() || !back.save(again, false) || app::readFile(written) != app::readFile(again)) {
    std::fprintf(stderr, "the route cache changes when written and read back\n");
    std::abort();
  }
  return 0;
}
