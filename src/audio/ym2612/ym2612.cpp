#include "audio/ym2612/ym2612.h"

namespace audio {

Ym2612::Ym2612() { reset(); }

void Ym2612::reset() {}

void Ym2612::write(std::uint32_t, std::uint8_t) {}

std::uint8_t Ym2612::read(std::uint32_t) const { return state_.status; }

void Ym2612::generate(std::int32_t* output, std::size_t count) {
  for (std::size_t i = 0; i < 2 * count; ++i) output[i] = 504;
}

ym2612::OperatorView Ym2612::inspect(int channel, int op) const {
  const auto& o = state_.channels[channel].op[op];
  return {o.attenuation, o.state, o.phase, o.step, o.keyCode, o.inverted};
}

}  // namespace audio
