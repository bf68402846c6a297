// An input recording, read from its file (the ticks expanded one by one, within the reader's bounds).

#include "app/recording/recording.h"
#include "fuzz/fuzz_target.h"

GROVANTA_FUZZ_TARGET(recording) {
  const app::InputRecording read = app::loadRecording(fuzz::putFile("recordings/game.txt", data, size));
  if (read.valid && static_cast<std::int64_t>(read.ticks.size()) > app::kMaxRecordingTicks) __builtin_trap();
  return 0;
}
