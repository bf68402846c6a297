#pragma once
// The sound driver's Z80: a cycle-counted interpreter for the instructions its small program uses.
// Only the registers that program touches are modelled (A, BC, HL, IX, the zero flag and one saved return
// address, since the program never nests calls). Writes to 0x4000-0x5FFF go to the YM2612 hook with the
// clock as it stands after the writing instruction; during the hook, clock() still reads the instruction's
// start.
//
// An idle loop costs next to nothing: when a backward jump arrives where the previous one did, with the
// same registers and no store anywhere since (by the program, by the hook or from outside), the loop is
// pure and the passes that end by the run's limit are skipped at once.

#include <array>
#include <cstdint>
#include <functional>

namespace audio {

class Z80 {
 public:
  static constexpr std::uint16_t kMemorySize = 0x2000;  // 8 KB, addresses masked to 13 bits
  static constexpr std::uint16_t kCodeEnd = 0x00AC;     // the program occupies 0x0000-0x00AB

  // port 0-3 (address & 3), the value written and the Z80 time (T-states) after the instruction.
  using YmHook = std::function<void(int port, std::uint8_t value, std::int64_t time)>;

  explicit Z80(YmHook hook = {});
  void setYmHook(YmHook hook) { ym_ = std::move(hook); }

  // Running again from address 0; memory, other registers and the clock are kept.
  void reset();
  // Memory and registers to zero, not running; the clock keeps its value.
  void clear();
  // Executes whole instructions while running and the clock is below t; when stopped the clock jumps to t.
  void runUntil(std::int64_t t);
  // One instruction; false (and the Z80 stopped, logged) when the program counter left the code.
  bool step();

  // Direct memory access for the 68000 side (the sequencer's write hook) and for inspection.
  void poke(std::uint16_t address, std::uint8_t value) {
    memory_[address & (kMemorySize - 1)] = value;
    ++stores_;
  }
  std::uint8_t peek(std::uint16_t address) const { return memory_[address & (kMemorySize - 1)]; }

  std::int64_t clock() const { return clock_; }
  void setClock(std::int64_t t) {
    clock_ = t;
    loop_.armed = false;
  }
  bool running() const { return running_; }
  std::uint16_t pc() const { return pc_; }
  std::uint8_t a() const { return a_; }
  bool zero() const { return zero_; }

 private:
  // Runs instructions from the program counter: one when kSingleStep, else while the clock is below
  // `until`. False when the program counter left the code (the Z80 is then stopped).
  template <bool kSingleStep>
  bool execute(std::int64_t until);
  void stop(std::uint16_t at);

  // The arrival of the last backward jump: where, with which registers, when, and the store count then.
  struct LoopMark {
    bool armed = false;
    std::uint16_t head = 0;
    std::uint16_t ix = 0;
    std::uint16_t hl = 0;
    std::uint16_t bc = 0;
    std::uint16_t saved = 0;
    std::uint8_t a = 0;
    bool zero = false;
    std::int64_t clock = 0;
    std::uint64_t stores = 0;
  };

  YmHook ym_;
  std::array<std::uint8_t, kMemorySize> memory_{};
  bool running_ = false;
  std::uint16_t pc_ = 0;
  std::uint16_t ix_ = 0;
  std::uint16_t hl_ = 0;
  std::uint16_t bc_ = 0;
  std::uint8_t a_ = 0;
  bool zero_ = false;
  std::uint16_t saved_ = 0;  // return address of the one pending CALL
  std::int64_t clock_ = 0;
  std::uint64_t stores_ = 0;  // stores to memory (the program's and from outside) and YM writes so far
  LoopMark loop_;
};

}  // namespace audio
