#pragma once
// The tests of the shader path need an OpenGL 3.2 core context; Mesa's offscreen driver gives one without a
// display. Where there is none, every test that draws through it fails with this line (none passes by
// skipping), so a machine without it shows up as such.

namespace testing_support {

inline constexpr const char* kNoOpenGl =
    "no OpenGL 3.2 core context here: these tests need Mesa's offscreen driver (or a GPU) with OpenGL 3.2";

}  // namespace testing_support
