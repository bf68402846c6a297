#include "app/entry.h"

#include <cstdio>
#include <cstring>

namespace app {

int runProgram(int argc, char* argv[]) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--version") == 0) {
      std::printf("Grovanta (Mega Drive remake) %s\n", GROVANTA_VERSION);
      return 0;
    }
  }
  std::fprintf(stderr, "the game is not available in this build yet\n");
  return 2;
}

}  // namespace app
