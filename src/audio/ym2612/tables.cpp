#include "audio/ym2612/tables.h"

#include <cmath>

namespace audio::ym2612 {

namespace {

Tables buildTables() {
  Tables t{};
  const double pi = 3.14159265358979323846;
  for (int i = 0; i < 256; ++i) {
    const double s = std::sin((2 * i + 1) * pi / 1024.0);
    t.logSin[i] = static_cast<std::uint16_t>(std::lround(-std::log2(s) * 256.0));
    t.exponent[i] = static_cast<std::uint16_t>(4 * std::lround(1024.0 * std::exp2((255 - i) / 256.0)));
  }
  for (int p = 0; p < 1024; ++p) t.logSinFull[p] = t.logSin[(p & 0x100) ? (~p & 0xFF) : (p & 0xFF)];
  for (int a = 0; a < static_cast<int>(t.level.size()); ++a) {
    const int shift = a >> 8;
    t.level[a] = shift >= 16 ? 0 : static_cast<std::uint16_t>(t.exponent[a & 0xFF] >> shift);
  }
  return t;
}

constexpr std::array<std::array<std::uint8_t, 8>, 64> buildIncrements() {
  // Base patterns: rates 0-47 pick one of four by rate & 3 (rates below 8 use
  // their own), rates 48-59 take one of four patterns scaled by 1, 2 or 4,
  // and 60-63 always add 8.
  constexpr std::uint8_t low[4][8] = {
      {0, 1, 0, 1, 0, 1, 0, 1}, {0, 1, 0, 1, 1, 1, 0, 1}, {0, 1, 1, 1, 0, 1, 1, 1}, {0, 1, 1, 1, 1, 1, 1, 1}};
  constexpr std::uint8_t high[4][8] = {
      {1, 1, 1, 1, 1, 1, 1, 1}, {1, 1, 1, 2, 1, 1, 1, 2}, {1, 2, 1, 2, 1, 2, 1, 2}, {1, 2, 2, 2, 1, 2, 2, 2}};
  std::array<std::array<std::uint8_t, 8>, 64> t{};
  for (int r = 0; r < 64; ++r) {
    for (int i = 0; i < 8; ++i) {
      std::uint8_t v = 0;
      if (r < 2) {
        v = 0;
      } else if (r < 6) {
        v = low[0][i];
      } else if (r < 8) {
        v = low[2][i];
      } else if (r < 48) {
        v = low[r & 3][i];
      } else if (r < 60) {
        v = static_cast<std::uint8_t>(high[r & 3][i] << ((r - 48) / 4));
      } else {
        v = 8;
      }
      t[r][i] = v;
    }
  }
  return t;
}

}  // namespace

const Tables& tables() {
  static const Tables t = buildTables();
  return t;
}

const std::array<std::array<std::uint8_t, 4>, 32> kDetune = {{
    {0, 0, 1, 2},   {0, 0, 1, 2},   {0, 0, 1, 2},   {0, 0, 1, 2},   {0, 1, 2, 2},   {0, 1, 2, 3},   {0, 1, 2, 3},
    {0, 1, 2, 3},   {0, 1, 2, 4},   {0, 1, 3, 4},   {0, 1, 3, 4},   {0, 1, 3, 5},   {0, 2, 4, 5},   {0, 2, 4, 6},
    {0, 2, 4, 6},   {0, 2, 5, 7},   {0, 2, 5, 8},   {0, 3, 6, 8},   {0, 3, 6, 9},   {0, 3, 7, 10},  {0, 4, 8, 11},
    {0, 4, 8, 12},  {0, 4, 9, 13},  {0, 5, 10, 14}, {0, 5, 11, 16}, {0, 6, 12, 17}, {0, 6, 13, 19}, {0, 7, 14, 20},
    {0, 8, 16, 22}, {0, 8, 16, 22}, {0, 8, 16, 22}, {0, 8, 16, 22},
}};

const std::array<std::array<std::uint8_t, 8>, 64> kEnvelopeIncrement = buildIncrements();

const std::array<std::uint8_t, 8> kLfoLimit = {109, 78, 72, 68, 63, 45, 9, 6};

// Q = 1, H = 2, G = 4
const std::array<std::array<std::uint8_t, 8>, 8> kPitchTerms = {{
    {0, 0, 0, 0, 0, 0, 0, 0},
    {0, 0, 0, 0, 1, 1, 1, 1},
    {0, 0, 0, 1, 1, 1, 2, 2},
    {0, 0, 1, 1, 2, 2, 3, 3},
    {0, 0, 1, 2, 2, 2, 3, 4},
    {0, 0, 2, 3, 4, 4, 5, 6},
    {0, 0, 2, 3, 4, 4, 5, 6},
    {0, 0, 2, 3, 4, 4, 5, 6},
}};

}  // namespace audio::ym2612
