// The context and the helpers shared by the whole game logic.
#include "sim/core/context.h"

#include <cstdio>
#include <utility>

#include "sim/cartridge.h"
#include "sim/rom_view.h"

namespace sim {

namespace {

std::string hex6(std::uint32_t a) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%06X", a);
  return buf;
}

}  // namespace

Context::Context(const world::World& w, RomView& r) : world(w), rom(r) {
  frameSprites.reserve(256);
  stepSprites.reserve(512);
  previousSprites.reserve(256);
  soundRequests.reserve(16);
}

std::int64_t random(Context& c, std::int64_t n) {
  std::uint32_t range = static_cast<std::uint32_t>(n - 1) & 0xFFFF;
  int bits = 0;
  while (range != 0) {
    ++bits;
    range >>= 1;
  }
  if (n == 0) bits = 16;
  if (bits == 0) bits = 1;
  std::uint32_t v = static_cast<std::uint32_t>(c.state.rng);
  for (int i = 0; i < bits; ++i) {
    const bool top = (v & 0x80000000u) != 0;
    v <<= 1;
    if (top || v == 0) v ^= 0x1D872B41u;
  }
  c.state.rng = v;
  if (n == 0) return v & 0xFFFF;
  return (n * static_cast<std::int64_t>(v & 0xFFFF)) >> 16;
}

void requestSound(Context& c, std::uint8_t kind, std::uint32_t value) {
  c.soundRequests.push_back({kind, value});
}

void requestMusic(Context& c, std::int64_t n) {
  c.state.music = n;
  requestSound(c, kSoundMusic, static_cast<std::uint32_t>(n));
}

void requestEffect(Context& c, std::int64_t n) {
  requestSound(c, kSoundEffect, static_cast<std::uint32_t>(n));
}

void addSprite(Context& c, std::uint32_t x, std::uint32_t y, std::uint32_t frame, std::uint32_t attributes,
               std::uint32_t caller) {
  const SpriteCall call{x, y, frame, attributes, caller};
  c.frameSprites.push_back(call);
  c.stepSprites.push_back(call);
  // Departure: a drawing loop that never ends hangs the console; here it stops
  // the game.
  if (c.stepSprites.size() > 20000) stopWith(c, "a runaway drawing loop at $" + hex6(caller & 0xFFFFFF));
}

void beginFrame(Context& c) {
  std::swap(c.previousSprites, c.frameSprites);
  c.frameSprites.clear();
}

std::int64_t firstBankFrames(Context& c, std::uint32_t bankList) {
  if (c.rom.longAt(bankList) == 0xFFFFFFFFu) return 0;
  const std::uint32_t selection = c.rom.longAt(bankList + 4);
  std::int64_t count = 0;
  while (count < 256 &&
         c.rom.wordAt(selection + cart::kSelectionEntrySize * static_cast<std::uint32_t>(count)) != 0xFFFF)
    ++count;
  return count;
}

void stopWith(Context& c, const std::string& message) {
  c.stopMessage = message;
  throw Stop(message);
}

void clearMessages(Context& c) {
  c.stopMessage.clear();
  c.endMessage.clear();
}

void missingTableCheck(Context& c) {
  if (!c.stopMessage.empty()) return;
  if (c.rom.hasMissed()) {
    c.stopMessage = "a ROM table that was not exported (" + hex6(c.rom.missingAddress()) + ")";
    // Reported once: the host's recovery from its safe point can go on.
    c.rom.clearMissingAddress();
  }
}

}  // namespace sim
