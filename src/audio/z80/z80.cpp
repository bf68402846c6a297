#include "audio/z80/z80.h"

#include "base/log.h"

namespace audio {

Z80::Z80(YmHook hook) : ym_(std::move(hook)) {}

void Z80::reset() {
  running_ = true;
  pc_ = 0;
  loop_.armed = false;
}

void Z80::clear() {
  memory_.fill(0);
  running_ = false;
  pc_ = ix_ = hl_ = bc_ = saved_ = 0;
  a_ = 0;
  zero_ = false;
  ++stores_;
  loop_.armed = false;
}

void Z80::runUntil(std::int64_t t) {
  if (running_ && clock_ < t) execute<false>(t);
  if (!running_ && clock_ < t) clock_ = t;
}

void Z80::stop(std::uint16_t at) {
  app::logMessage(app::kError, "the Z80 program left its code (pc %04X)", at);
  running_ = false;
  pc_ = at;
}

bool Z80::step() {
  if (!running_) return false;
  return execute<true>(0);
}

}  // namespace audio
