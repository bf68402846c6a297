#pragma once
// A composed frame as an indexed PNG: one byte per pixel, the frame's 64 colours as the palette, so a
// picture read back gives the chip's palette indices and colours exactly.

#include <string>
#include <vector>

#include "render/video_chip.h"

namespace render {

// The top `lines` lines of the frame (all of them when `lines` is out of range). Empty, with lodepng's
// reason in `error` when given, when it cannot be encoded.
std::vector<unsigned char> encodeIndexedPng(const Frame& frame, int lines, std::string* error = nullptr);

}  // namespace render
