#include "audio/ym2612/envelope.h"

namespace audio::ym2612 {

namespace {

std::uint8_t scaledRate(std::uint32_t r, std::uint32_t ksv) {
  if (r == 0) return 0;
  return static_cast<std::uint8_t>(std::min<std::uint32_t>(63, 2 * r + ksv));
}

}  // namespace

void refreshEnvelope(Operator& op, std::uint8_t reg40, std::uint8_t reg50, std::uint8_t reg60, std::uint8_t reg70,
                     std::uint8_t reg80, std::uint8_t reg90) {
  const std::uint32_t ksv = op.keyCode >> (3 - (reg50 >> 6));
  op.rate[static_cast<int>(EnvelopeState::Attack)] = scaledRate(reg50 & 0x1F, ksv);
  op.rate[static_cast<int>(EnvelopeState::Decay)] = scaledRate(reg60 & 0x1F, ksv);
  op.rate[static_cast<int>(EnvelopeState::Sustain)] = scaledRate(reg70 & 0x1F, ksv);
  op.rate[static_cast<int>(EnvelopeState::Release)] =
      static_cast<std::uint8_t>(std::min<std::uint32_t>(63, 4 * (reg80 & 0x0F) + 2 + ksv));
  const std::uint32_t sl = reg80 >> 4;
  op.sustainLevel = sl == 15 ? 0x3E0 : static_cast<std::int32_t>(sl * 32);
  op.totalLevel = (reg40 & 0x7F) * 8;
  op.amOn = (reg60 & 0x80) != 0;
  op.ssgOn = (reg90 & 0x08) != 0;
  op.ssgMode = reg90 & 0x07;
}

void keyOn(Operator& op) {
  if (op.state == EnvelopeState::Attack) return;
  op.state = EnvelopeState::Attack;
  op.inverted = op.ssgOn && (op.ssgMode & 4);
  op.phase = 0;
  if (op.rate[static_cast<int>(EnvelopeState::Attack)] >= 62) op.attenuation = 0;
}

void keyOff(Operator& op) {
  if (op.state == EnvelopeState::Release) return;
  op.state = EnvelopeState::Release;
  if (op.inverted) {
    op.attenuation = (0x200 - op.attenuation) & 0x3FF;
    op.inverted = false;
  }
}

}  // namespace audio::ym2612
