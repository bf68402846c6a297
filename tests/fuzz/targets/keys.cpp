// The --keys text of the command line.

#include <string>

#include "app/scripted_input.h"
#include "fuzz/fuzz_target.h"

GROVANTA_FUZZ_TARGET(keys) {
  app::parseKeys(std::string(reinterpret_cast<const char*>(data), size));
  return 0;
}
