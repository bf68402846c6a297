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

void stopRunawayDrawing(Context& c, std::uint32_t caller) {
  stopWith(c, "a runaway drawing loop at $" + hex6(caller & 0xFFFFFF));
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
