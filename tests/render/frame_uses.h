#pragma once
// The frames each area's banks fill with art, read from data/sprites/frame_uses.txt ("use FRAMES ART
// AREAS..." lines): for each area, frame number -> the art it must show.

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

namespace render_test {

inline std::map<int, std::map<int, std::string>> frameUses() {
  std::map<int, std::map<int, std::string>> out;
  std::ifstream in(std::filesystem::path(GROVANTA_SOURCE_DIR) / "data/sprites/frame_uses.txt");
  auto range = [](const std::string& w, int& lo, int& hi) {
    const auto dash = w.find('-');
    lo = std::stoi(w.substr(0, dash));
    hi = dash == std::string::npos ? lo : std::stoi(w.substr(dash + 1));
  };
  for (std::string line; std::getline(in, line);) {
    std::istringstream words(line.substr(0, line.find('#')));
    std::string use, frames, art;
    if (!(words >> use >> frames >> art) || use != "use") continue;
    int f0, f1;
    range(frames, f0, f1);
    for (std::string areas; words >> areas;) {
      int a0 = 0, a1 = 49;
      if (areas != "all") range(areas, a0, a1);
      for (int a = a0; a <= a1; ++a)
        for (int f = f0; f <= f1; ++f) out[a][f] = art;
    }
  }
  return out;
}

}  // namespace render_test
