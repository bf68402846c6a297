#pragma once
// The Z80 half of the sound driver as machine code: the bytes for Z80 0x0000-0x00AB, assembled from the
// listing in z80_program.cpp. The music compiler places them at the start of the Z80 image (console
// address 0x74B38) in driver.bin.

#include <cstdint>
#include <string>
#include <vector>

namespace audio {

struct Z80Instruction {
  std::uint16_t address;
  const char* text;                // the mnemonic, for listings and messages
  std::vector<std::uint8_t> code;  // its encoding
};

// The listing, in address order.
const std::vector<Z80Instruction>& z80ProgramListing();

// The program's bytes, 0xAC of them, for Z80 addresses 0x0000-0x00AB.
std::vector<std::uint8_t> z80ProgramImage();

}  // namespace audio
