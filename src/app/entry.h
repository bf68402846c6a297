#pragma once

namespace app {

// Start-up and mode dispatch; the result is the process's exit code.
int runProgram(int argc, char* argv[]);

}  // namespace app
