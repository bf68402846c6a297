// The program's entry: SDL2's main wrapper calls SDL_main with the process's arguments.
#include <SDL.h>

#include "app/entry.h"

int main(int argc, char* argv[]) {
  return app::runProgram(argc, argv);
}
