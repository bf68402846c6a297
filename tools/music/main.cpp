// grovanta_music SOURCE_DIR OUTPUT: compiles every *.txt in SOURCE_DIR (sorted) into the driver image.
#include <cstdio>
#include <filesystem>

#include "audio/sound_music_compiler.h"
#include "base/asset_store.h"
#include "base/log.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: grovanta_music SOURCE_DIR OUTPUT\n");
    return 2;
  }
  std::vector<audio::MusicSource> sources;
  for (const auto& path : app::listFiles(argv[1], ".txt")) {
    const auto text = app::readTextFile(path);
    if (!text) return 1;
    sources.push_back({path.filename().string(), *text});
  }
  audio::MusicSpace space;
  const auto image = audio::compileMusic(sources, &space);
  for (const auto& region : space)
    std::printf("%-13s %6zu bytes used, %6zu free of %zu\n", region.name, region.used,
                region.used <= region.size ? region.size - region.used : 0, region.size);
  if (!image) return 1;
  if (!app::writeFile(argv[2], *image)) return 1;
  std::printf("%s: %zu bytes from %zu sources\n", argv[2], image->size(), sources.size());
  return 0;
}
