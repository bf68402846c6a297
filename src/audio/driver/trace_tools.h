#pragma once
// Developer tools that check the sound driver against recordings.
//
// --check-sound DIR: DIR/calls.jsonl holds the console's calls into its driver, one JSON object a line:
//   {"vblank": V, "call": "frame" | "music" | "effect" | "pause" | "resume" | "load", "value": N}
// ("load" is the program load that a restart does). DIR/z80.jsonl holds the Z80 memory writes the console
// made, {"vblank": V, "address": A, "value": X}, in order. The calls are replayed through the port and its
// writes compared with the recorded ones, V-blank by V-blank.
//
// --z80-trace A B: A/z80_in.txt drives the Z80 program, one command a line: "frame" (run the Z80 to the
// next sound frame, 71364 T-states on), "w AAAA XX" (a write into Z80 memory, hex), "reset"; "#" starts a
// comment. The YM port writes go to B/ym_port.txt as "T-state port value" lines (decimal, decimal, hex).
// Both tools load the Z80 program from the driver image first.

#include <cstdint>
#include <filesystem>
#include <vector>

namespace app {

// 0 when the port's writes equal the recording, 1 on a difference, 2 when the inputs cannot be read.
int checkSound(const std::filesystem::path& directory, const std::vector<std::uint8_t>& image);
// 0 on success, 1 when the output cannot be written, 2 when the inputs cannot be read.
int z80Trace(const std::filesystem::path& input, const std::filesystem::path& output,
             const std::vector<std::uint8_t>& image);

}  // namespace app
