// --check-sound and --z80-trace: the sound driver's developer tools, run on the data set's driver image.

#include <cstdint>
#include <optional>
#include <vector>

#include "app/modes.h"
#include "audio/driver/trace_tools.h"
#include "base/asset_store.h"

namespace app {
namespace {

std::optional<std::vector<std::uint8_t>> readDriverImage(const Data& data) {
  auto bytes = readFile(data.dataDirectory / "assets" / "audio" / "driver.bin");
  if (!bytes) return std::nullopt;
  return std::vector<std::uint8_t>(bytes->begin(), bytes->end());
}

}  // namespace

int runSoundCheck(Data& data, const Options& options) {
  auto image = readDriverImage(data);
  if (!image) return 2;
  return checkSound(options.checkSound, *image);
}

int runZ80Trace(Data& data, const Options& options) {
  auto image = readDriverImage(data);
  if (!image) return 2;
  return z80Trace(options.z80TraceA, options.z80TraceB, *image);
}

}  // namespace app
