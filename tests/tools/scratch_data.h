#pragma once
// Files for the builder's tests: whole-file reads and writes, and a scratch copy of the source tree's
// data/ folder that a test may spoil. Every scratch folder is unique to the test process, so checkouts
// running the same tests side by side never share one.

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace tools_test {

namespace fs = std::filesystem;

inline const fs::path kSource = GROVANTA_SOURCE_DIR;

inline std::string slurp(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// Writes the file whole, making its folders first.
inline void spit(const fs::path& p, const std::string& text) {
  if (p.has_parent_path()) fs::create_directories(p.parent_path());
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out << text;
}

// A fresh folder under the temporary folder, named after `name`, the process and a counter.
inline fs::path uniqueScratchFolder(const std::string& name) {
  static std::atomic<int> counter{0};
  return fs::temp_directory_path() /
         ("grovanta_" + name + "_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
}

// The line of `file` (under data/ of the source tree) that holds `text`, 1-based; 0 when it is not there.
inline int lineOf(const std::string& file, const std::string& text) {
  std::istringstream in(slurp(kSource / "data" / file));
  int n = 0;
  for (std::string line; std::getline(in, line);) {
    ++n;
    if (line.find(text) != std::string::npos) return n;
  }
  return 0;
}

// A scratch copy of data/ the test may spoil; removed at the end of the test.
class ScratchData {
 public:
  explicit ScratchData(const std::string& name) : root_(uniqueScratchFolder("builder_" + name)) {
    fs::remove_all(root_);
    fs::create_directories(root_);
    fs::copy(kSource / "data", root_ / "data", fs::copy_options::recursive);
  }
  ~ScratchData() {
    std::error_code ec;
    fs::remove_all(root_, ec);
  }
  ScratchData(const ScratchData&) = delete;
  ScratchData& operator=(const ScratchData&) = delete;

  const fs::path& root() const { return root_; }

  // Replaces the first occurrence of `from` in a data file; the test fails when it is not there.
  void replace(const std::string& file, const std::string& from, const std::string& to) {
    fs::path p = root_ / "data" / file;
    std::string text = slurp(p);
    auto at = text.find(from);
    ASSERT_NE(at, std::string::npos) << from << " not in " << file;
    text.replace(at, from.size(), to);
    spit(p, text);
  }
  void append(const std::string& file, const std::string& text) {
    spit(root_ / "data" / file, slurp(root_ / "data" / file) + text);
  }

 private:
  fs::path root_;
};

}  // namespace tools_test
