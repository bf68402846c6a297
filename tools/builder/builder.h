#pragma once
// Builds the data set (world/ and the generated parts of assets/) from the readable sources under
// data/. The same sources always give byte-identical files.

#include <filesystem>
#include <string>

namespace builder {

struct BuildResult {
  bool ok = false;
  std::string error;  // "FILE:LINE: what is wrong" when not ok
  int filesWritten = 0;
};

// Reads sourceRoot/data/... and writes outputRoot/world/... and outputRoot/assets/...
BuildResult buildDataSet(const std::filesystem::path& sourceRoot, const std::filesystem::path& outputRoot);

}  // namespace builder
