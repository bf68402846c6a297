// grovanta_builder [SOURCE_ROOT [OUTPUT_ROOT]]: builds the data set from SOURCE_ROOT/data into
// OUTPUT_ROOT/world and OUTPUT_ROOT/assets (both default to the current directory).
#include <cstdio>

#include "builder.h"

int main(int argc, char** argv) {
  std::filesystem::path source = argc > 1 ? argv[1] : ".";
  std::filesystem::path output = argc > 2 ? argv[2] : source;
  auto result = builder::buildDataSet(source, output);
  if (!result.ok) {
    std::fprintf(stderr, "%s\n", result.error.c_str());
    return 1;
  }
  std::printf("wrote %d files\n", result.filesWritten);
  return 0;
}
