// The Z80 interpreter loop: fetch, decode and execute the instructions of the sound driver's program,
// counting T-states. The registers live in locals while it runs and go back to the object whenever
// control leaves the loop (the end, a stop, a call of the YM hook).
#include <algorithm>

#include "audio/z80/z80.h"

namespace audio {

template <bool kSingleStep>
bool Z80::execute(std::int64_t until) {
  std::uint8_t* const mem = memory_.data();
  constexpr std::uint16_t kMask = kMemorySize - 1;
  std::uint16_t pc = pc_;
  std::uint16_t ix = ix_;
  std::uint16_t hl = hl_;
  std::uint16_t bc = bc_;
  std::uint16_t saved = saved_;
  std::uint8_t a = a_;
  bool zero = zero_;
  std::int64_t clock = clock_;

  const auto sync = [&] {
    pc_ = pc;
    ix_ = ix;
    hl_ = hl;
    bc_ = bc;
    saved_ = saved;
    a_ = a;
    zero_ = zero;
    clock_ = clock;
  };
  const auto byte = [&] { return mem[pc++ & kMask]; };
  const auto word = [&] {
    const std::uint16_t lo = mem[pc++ & kMask];
    return static_cast<std::uint16_t>(lo | (mem[pc++ & kMask] << 8));
  };
  const auto wordAt = [mem](std::uint16_t address) {
    return static_cast<std::uint16_t>(mem[address & kMask] | (mem[(address + 1) & kMask] << 8));
  };
  // A store by the program: memory below 0x4000, the YM ports at 0x4000-0x5FFF (the hook sees the
  // clock after the instruction), dropped above.
  const auto put = [&](std::uint16_t address, std::uint8_t value, std::int64_t time) {
    if (address < 0x4000) {
      mem[address & kMask] = value;
      ++stores_;
    } else if (address < 0x6000) {
      ++stores_;
      if (ym_) {
        sync();
        ym_(address & 3, value, time);
      }
    }
  };
  // A backward jump has arrived at pc (the clock already past it). If the last one arrived here too
  // with the same registers and nothing was stored since, the pass between them is pure: every further
  // pass repeats it exactly, so the passes that end by `until` are skipped (the interpreter would have
  // stopped at none of their instruction boundaries before). Otherwise this arrival is the new mark.
  const auto arrive = [&] {
    LoopMark& m = loop_;
    if (m.armed && m.head == pc && m.stores == stores_ && m.a == a && m.zero == zero && m.bc == bc && m.hl == hl &&
        m.ix == ix && m.saved == saved) {
      const std::int64_t period = clock - m.clock;
      if (clock < until) clock += (until - clock) / period * period;
      m.clock = clock;
      return;
    }
    m = {true, pc, ix, hl, bc, saved, a, zero, clock, stores_};
  };

  do {
    const std::uint16_t at = pc;
    if (at >= kCodeEnd) {
      sync();
      stop(at);
      return false;
    }
    int t;
    switch (byte()) {
      // the main loop's polling and the sample feed first: they run most
      case 0x3A:
        a = mem[word() & kMask];
        t = 13;
        break;  // LD A,(nn)
      case 0xA7:
        zero = a == 0;
        t = 4;
        break;      // AND A
      case 0x28:    // JR Z,e
      case 0x20: {  // JR NZ,e
        const bool taken = (mem[at & kMask] == 0x28) == zero;
        const auto e = static_cast<std::int8_t>(byte());
        if (!taken) {
          t = 7;
          break;
        }
        pc = static_cast<std::uint16_t>(pc + e);
        t = 12;
        if (!kSingleStep && e < 0) {
          clock += t;
          arrive();
          continue;
        }
        break;
      }
      case 0x3D:  // DEC A
        if (!kSingleStep && mem[pc & kMask] == 0x20 && mem[(pc + 1) & kMask] == 0xFD) {
          // DEC A; JR NZ back to it: a busy-wait of A passes (256 for A = 0), 16 T-states each.
          // The passes that loop back and end by `until` are taken in one go; the interpreter
          // would have stopped at none of their instruction boundaries before.
          const std::int64_t back = (a == 0 ? 256 : a) - 1;
          const std::int64_t passes = std::min<std::int64_t>(back, (until - clock) / 16);
          if (passes > 0) {
            a = static_cast<std::uint8_t>(a - passes);
            zero = false;
            clock += 16 * passes;
            pc = at;
            continue;
          }
        }
        --a;
        zero = a == 0;
        t = 4;
        break;
      case 0x18: {  // JR e
        const auto e = static_cast<std::int8_t>(byte());
        pc = static_cast<std::uint16_t>(pc + e);
        t = 12;
        if (!kSingleStep && e < 0) {
          clock += t;
          arrive();
          continue;
        }
        break;
      }
      case 0x78:
        a = static_cast<std::uint8_t>(bc >> 8);
        t = 4;
        break;  // LD A,B
      case 0xB1:
        a |= static_cast<std::uint8_t>(bc);
        zero = a == 0;
        t = 4;
        break;  // OR C
      case 0x0B:
        --bc;
        t = 6;
        break;  // DEC BC
      case 0x3E:
        a = byte();
        t = 7;
        break;      // LD A,n
      case 0x32: {  // LD (nn),A
        const std::uint16_t address = word();
        t = 13;
        put(address, a, clock + t);
        break;
      }
      case 0xD6:
        a = static_cast<std::uint8_t>(a - byte());
        zero = a == 0;
        t = 7;
        break;  // SUB n
      case 0xED: {
        switch (byte()) {
          case 0x4B:
            bc = wordAt(word());
            t = 20;
            break;      // LD BC,(nn)
          case 0x43: {  // LD (nn),BC
            const std::uint16_t address = word();
            t = 20;
            put(address, static_cast<std::uint8_t>(bc), clock + t);
            put(static_cast<std::uint16_t>(address + 1), static_cast<std::uint8_t>(bc >> 8), clock + t);
            break;
          }
          case 0x46:
            t = 8;
            break;  // IM 0
          default:
            sync();
            stop(at);
            return false;
        }
        break;
      }
      case 0xDD: {
        switch (byte()) {
          case 0x7E: {  // LD A,(IX+d)
            const auto d = static_cast<std::int8_t>(byte());
            a = mem[static_cast<std::uint16_t>(ix + d) & kMask];
            t = 19;
            break;
          }
          case 0x23:
            ++ix;
            t = 10;
            break;  // INC IX
          case 0x2A:
            ix = wordAt(word());
            t = 20;
            break;      // LD IX,(nn)
          case 0x22: {  // LD (nn),IX
            const std::uint16_t address = word();
            t = 20;
            put(address, static_cast<std::uint8_t>(ix), clock + t);
            put(static_cast<std::uint16_t>(address + 1), static_cast<std::uint8_t>(ix >> 8), clock + t);
            break;
          }
          case 0x21:
            ix = word();
            t = 14;
            break;  // LD IX,nn
          case 0x09:
            ix = static_cast<std::uint16_t>(ix + bc);
            t = 15;
            break;  // ADD IX,BC
          default:
            sync();
            stop(at);
            return false;
        }
        break;
      }
      // the write-list routine and start-up
      case 0xFE:
        zero = a == byte();
        t = 7;
        break;  // CP n
      case 0x6F:
        hl = static_cast<std::uint16_t>((hl & 0xFF00) | a);
        t = 4;
        break;  // LD L,A
      case 0x77:
        t = 7;
        put(hl, a, clock + t);
        break;  // LD (HL),A
      case 0x23:
        ++hl;
        t = 6;
        break;  // INC HL
      case 0x26:
        hl = static_cast<std::uint16_t>((hl & 0x00FF) | (byte() << 8));
        t = 7;
        break;      // LD H,n
      case 0xCD: {  // CALL nn
        const std::uint16_t target = word();
        saved = pc;
        pc = target;
        t = 17;
        break;
      }
      case 0xC9:
        pc = saved;
        t = 10;
        break;  // RET
      case 0x87:
        a = static_cast<std::uint8_t>(a + a);
        zero = a == 0;
        t = 4;
        break;  // ADD A,A
      case 0x06:
        bc = static_cast<std::uint16_t>((bc & 0x00FF) | (byte() << 8));
        t = 7;
        break;  // LD B,n
      case 0x4F:
        bc = static_cast<std::uint16_t>((bc & 0xFF00) | a);
        t = 4;
        break;  // LD C,A
      case 0xAF:
        a = 0;
        zero = true;
        t = 4;
        break;  // XOR A
      case 0xF3:
        t = 4;
        break;  // DI
      case 0x31:
        word();
        t = 10;
        break;  // LD SP,nn (no stack is modelled)
      default:  // an instruction the program does not contain
        sync();
        stop(at);
        return false;
    }
    clock += t;
  } while (!kSingleStep && clock < until);
  sync();
  return true;
}

template bool Z80::execute<true>(std::int64_t);
template bool Z80::execute<false>(std::int64_t);

}  // namespace audio
