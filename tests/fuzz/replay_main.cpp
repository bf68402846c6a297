// Feeds files through a fuzz target's entry: every file named, and every file in every folder named, in
// name order. Used to replay the committed corpora without the fuzzer.
//   grovanta_fuzz_replay TARGET PATH...

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "fuzz/fuzz_target.h"

namespace {

namespace fs = std::filesystem;

bool feed(fuzz::Entry entry, const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "%s: cannot open\n", file.c_str());
    return false;
  }
  std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  entry(bytes.data(), bytes.size());
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s TARGET PATH...\n", argv[0]);
    return 2;
  }
  fuzz::Entry entry = fuzz::findTarget(argv[1]);
  if (!entry) {
    std::fprintf(stderr, "no fuzz target \"%s\"\n", argv[1]);
    return 2;
  }
  int fed = 0;
  for (int i = 2; i < argc; ++i) {
    std::vector<fs::path> files;
    if (fs::is_directory(argv[i])) {
      for (const fs::directory_entry& e : fs::directory_iterator(argv[i]))
        if (e.is_regular_file()) files.push_back(e.path());
      std::sort(files.begin(), files.end());
    } else {
      files.push_back(argv[i]);
    }
    for (const fs::path& file : files) {
      if (!feed(entry, file)) return 1;
      ++fed;
    }
  }
  if (fed == 0) {
    std::fprintf(stderr, "no input files\n");
    return 1;
  }
  std::printf("%s: %d inputs replayed\n", argv[1], fed);
  return 0;
}
