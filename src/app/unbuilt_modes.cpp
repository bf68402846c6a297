// Modes that this build does not have yet. Each says so in one line and ends with exit code 2;
// a mode's own source replaces its entry here when it lands.
#include "app/modes.h"
#include "base/log.h"

namespace app {
namespace {

int unavailable(const char* what) {
  logMessage(kError, "%s is not available in this build", what);
  return 2;
}

}  // namespace

int runReplay(Data&, const Options&) {
  return unavailable("--replay");
}

int runDemoCheck(Data&, const Options&) {
  return unavailable("--check-demo");
}

}  // namespace app
