#include "audio/z80/z80.h"

#include "app/log.h"

namespace audio {

Z80::Z80(YmHook hook) : ym_(std::move(hook)) {}

void Z80::reset() {
  running_ = true;
  pc_ = 0;
}

void Z80::clear() {
  memory_.fill(0);
  running_ = false;
  pc_ = ix_ = hl_ = bc_ = saved_ = 0;
  a_ = 0;
  zero_ = false;
}

void Z80::runUntil(std::int64_t t) {
  while (running_ && clock_ < t) step();
  if (!running_ && clock_ < t) clock_ = t;
}

std::uint16_t Z80::fetchWord() {
  std::uint16_t lo = fetch();
  return static_cast<std::uint16_t>(lo | (fetch() << 8));
}

std::uint16_t Z80::readWord(std::uint16_t address) const {
  return static_cast<std::uint16_t>(peek(address) | (peek(static_cast<std::uint16_t>(address + 1)) << 8));
}

void Z80::store(std::uint16_t address, std::uint8_t value, std::int64_t time) {
  if (address < 0x4000) {
    poke(address, value);
  } else if (address < 0x6000) {
    if (ym_) ym_(address & 3, value, time);
  }
  // Above 0x5FFF: nothing the program reaches; dropped.
}

void Z80::stop(std::uint16_t at) {
  app::logMessage(app::kError, "the Z80 program left its code (pc %04X)", at);
  running_ = false;
  pc_ = at;
}

bool Z80::step() {
  if (!running_) return false;
  const std::uint16_t at = pc_;
  if (at >= kCodeEnd) {
    stop(at);
    return false;
  }
  int t = 0;
  auto relative = [&](bool taken) {
    auto e = static_cast<std::int8_t>(fetch());
    if (taken) {
      pc_ = static_cast<std::uint16_t>(pc_ + e);
      t = 12;
    } else {
      t = 7;
    }
  };
  const std::uint8_t op = fetch();
  switch (op) {
    case 0xF3: t = 4; break;                                     // DI
    case 0x31: fetchWord(); t = 10; break;                       // LD SP,nn (no stack is modelled)
    case 0xAF: a_ = 0; zero_ = true; t = 4; break;               // XOR A
    case 0xA7: zero_ = a_ == 0; t = 4; break;                    // AND A
    case 0xB1: a_ |= static_cast<std::uint8_t>(bc_); zero_ = a_ == 0; t = 4; break;  // OR C
    case 0x78: a_ = static_cast<std::uint8_t>(bc_ >> 8); t = 4; break;             // LD A,B
    case 0x4F: bc_ = static_cast<std::uint16_t>((bc_ & 0xFF00) | a_); t = 4; break; // LD C,A
    case 0x06: bc_ = static_cast<std::uint16_t>((bc_ & 0x00FF) | (fetch() << 8)); t = 7; break;  // LD B,n
    case 0x6F: hl_ = static_cast<std::uint16_t>((hl_ & 0xFF00) | a_); t = 4; break; // LD L,A
    case 0x26: hl_ = static_cast<std::uint16_t>((hl_ & 0x00FF) | (fetch() << 8)); t = 7; break;  // LD H,n
    case 0x3E: a_ = fetch(); t = 7; break;                       // LD A,n
    case 0x3A: a_ = peek(fetchWord()); t = 13; break;            // LD A,(nn)
    case 0x32: {                                                 // LD (nn),A
      std::uint16_t address = fetchWord();
      t = 13;
      store(address, a_, clock_ + t);
      break;
    }
    case 0x77: t = 7; store(hl_, a_, clock_ + t); break;         // LD (HL),A
    case 0x23: ++hl_; t = 6; break;                              // INC HL
    case 0x0B: --bc_; t = 6; break;                              // DEC BC
    case 0x3D: --a_; zero_ = a_ == 0; t = 4; break;              // DEC A
    case 0x87: a_ = static_cast<std::uint8_t>(a_ + a_); zero_ = a_ == 0; t = 4; break;  // ADD A,A
    case 0xD6: a_ = static_cast<std::uint8_t>(a_ - fetch()); zero_ = a_ == 0; t = 7; break;  // SUB n
    case 0xFE: zero_ = a_ == fetch(); t = 7; break;              // CP n
    case 0x18: relative(true); break;                            // JR e
    case 0x28: relative(zero_); break;                           // JR Z,e
    case 0x20: relative(!zero_); break;                          // JR NZ,e
    case 0xCD: {                                                 // CALL nn
      std::uint16_t target = fetchWord();
      saved_ = pc_;
      pc_ = target;
      t = 17;
      break;
    }
    case 0xC9: pc_ = saved_; t = 10; break;                      // RET
    case 0xED: {
      const std::uint8_t op2 = fetch();
      if (op2 == 0x46) {                                         // IM 0
        t = 8;
      } else if (op2 == 0x4B) {                                  // LD BC,(nn)
        bc_ = readWord(fetchWord());
        t = 20;
      } else if (op2 == 0x43) {                                  // LD (nn),BC
        std::uint16_t address = fetchWord();
        t = 20;
        store(address, static_cast<std::uint8_t>(bc_), clock_ + t);
        store(static_cast<std::uint16_t>(address + 1), static_cast<std::uint8_t>(bc_ >> 8), clock_ + t);
      }
      break;
    }
    case 0xDD: {
      const std::uint8_t op2 = fetch();
      switch (op2) {
        case 0x21: ix_ = fetchWord(); t = 14; break;             // LD IX,nn
        case 0x2A: ix_ = readWord(fetchWord()); t = 20; break;   // LD IX,(nn)
        case 0x22: {                                             // LD (nn),IX
          std::uint16_t address = fetchWord();
          t = 20;
          store(address, static_cast<std::uint8_t>(ix_), clock_ + t);
          store(static_cast<std::uint16_t>(address + 1), static_cast<std::uint8_t>(ix_ >> 8), clock_ + t);
          break;
        }
        case 0x23: ++ix_; t = 10; break;                         // INC IX
        case 0x09: ix_ = static_cast<std::uint16_t>(ix_ + bc_); t = 15; break;  // ADD IX,BC
        case 0x7E: {                                             // LD A,(IX+d)
          auto d = static_cast<std::int8_t>(fetch());
          a_ = peek(static_cast<std::uint16_t>(ix_ + d));
          t = 19;
          break;
        }
        default: break;
      }
      break;
    }
    default: break;
  }
  if (t == 0) {  // an instruction the program does not contain
    stop(at);
    return false;
  }
  clock_ += t;
  return true;
}

}  // namespace audio
