// The --pads text of the command line.

#include <climits>
#include <string>

#include "app/scripted_input.h"
#include "fuzz/fuzz_target.h"

GROVANTA_FUZZ_TARGET(pads) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  if (auto script = app::parsePads(text)) {
    for (const app::PadScript::Range& r : script->ranges()) {
      if (r.from < 1 || r.to < r.from) __builtin_trap();
      for (long long v : {r.from - 1, r.from, r.to, r.to + (r.to < LLONG_MAX ? 1 : 0)}) script->byteAt(v);
    }
    script->byteAt(LLONG_MIN);
    script->byteAt(LLONG_MAX);
  }
  return 0;
}
