#pragma once
// The OpenGL side of the display: the functions it loads through SDL, the two shader programs (the
// sharp-pixel scaler and the CRT filter, sharing one vertex shader) and drawing one picture through them.

#include <SDL.h>
#include <SDL_opengl.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace app {

// The OpenGL entry points the display uses, loaded through SDL_GL_GetProcAddress.
#define GROVANTA_GL_FUNCTIONS(X)                                                                         \
  X(glCreateShader, GLuint, (GLenum))                                                                    \
  X(glShaderSource, void, (GLuint, GLsizei, const GLchar* const*, const GLint*))                         \
  X(glCompileShader, void, (GLuint))                                                                     \
  X(glGetShaderiv, void, (GLuint, GLenum, GLint*))                                                       \
  X(glGetShaderInfoLog, void, (GLuint, GLsizei, GLsizei*, GLchar*))                                      \
  X(glDeleteShader, void, (GLuint))                                                                      \
  X(glCreateProgram, GLuint, ())                                                                         \
  X(glAttachShader, void, (GLuint, GLuint))                                                              \
  X(glLinkProgram, void, (GLuint))                                                                       \
  X(glGetProgramiv, void, (GLuint, GLenum, GLint*))                                                      \
  X(glGetProgramInfoLog, void, (GLuint, GLsizei, GLsizei*, GLchar*))                                     \
  X(glDeleteProgram, void, (GLuint))                                                                     \
  X(glUseProgram, void, (GLuint))                                                                        \
  X(glGetUniformLocation, GLint, (GLuint, const GLchar*))                                                \
  X(glUniform1i, void, (GLint, GLint))                                                                   \
  X(glUniform1f, void, (GLint, GLfloat))                                                                 \
  X(glUniform4f, void, (GLint, GLfloat, GLfloat, GLfloat, GLfloat))                                      \
  X(glGenVertexArrays, void, (GLsizei, GLuint*))                                                         \
  X(glBindVertexArray, void, (GLuint))                                                                   \
  X(glDeleteVertexArrays, void, (GLsizei, const GLuint*))                                                \
  X(glActiveTexture, void, (GLenum))                                                                     \
  X(glGenFramebuffers, void, (GLsizei, GLuint*))                                                         \
  X(glBindFramebuffer, void, (GLenum, GLuint))                                                           \
  X(glFramebufferTexture2D, void, (GLenum, GLenum, GLenum, GLuint, GLint))                               \
  X(glCheckFramebufferStatus, GLenum, (GLenum))                                                          \
  X(glDeleteFramebuffers, void, (GLsizei, const GLuint*))                                                \
  X(glGenTextures, void, (GLsizei, GLuint*))                                                             \
  X(glDeleteTextures, void, (GLsizei, const GLuint*))                                                    \
  X(glBindTexture, void, (GLenum, GLuint))                                                               \
  X(glTexParameteri, void, (GLenum, GLenum, GLint))                                                      \
  X(glTexImage2D, void, (GLenum, GLint, GLint, GLsizei, GLsizei, GLint, GLenum, GLenum, const void*))    \
  X(glTexSubImage2D, void, (GLenum, GLint, GLint, GLint, GLsizei, GLsizei, GLenum, GLenum, const void*)) \
  X(glPixelStorei, void, (GLenum, GLint))                                                                \
  X(glViewport, void, (GLint, GLint, GLsizei, GLsizei))                                                  \
  X(glClearColor, void, (GLfloat, GLfloat, GLfloat, GLfloat))                                            \
  X(glClear, void, (GLbitfield))                                                                         \
  X(glDrawArrays, void, (GLenum, GLint, GLsizei))                                                        \
  X(glReadPixels, void, (GLint, GLint, GLsizei, GLsizei, GLenum, GLenum, void*))                         \
  X(glDisable, void, (GLenum))

struct GlFunctions {
#define GROVANTA_GL_POINTER(name, result, parameters) result(APIENTRY* name) parameters = nullptr;
  GROVANTA_GL_FUNCTIONS(GROVANTA_GL_POINTER)
#undef GROVANTA_GL_POINTER
};

// Loads every function in order; the first one missing is logged ("OpenGL: no %s") and nothing returned.
std::optional<GlFunctions> loadGlFunctions();

// The GLSL sources (version 150): one vertex shader drawing a triangle that covers the viewport, and the
// fragment shaders of the two programs.
extern const char* const kVertexShaderSource;
extern const char* const kPlainFragmentSource;
extern const char* const kCrtFragmentSource;

// The rectangle a picture is drawn into, in output pixels with the origin at the bottom left as OpenGL has it.
struct GlRect {
  int x = 0, y = 0, width = 0, height = 0;
};

// The shader set: both programs, one vertex array and one texture, with the size last uploaded.
class CrtShaders {
 public:
  // Builds the CRT program and then the plain one; nothing (logged) when either does not build.
  static std::unique_ptr<CrtShaders> build();
  ~CrtShaders();
  CrtShaders(const CrtShaders&) = delete;
  CrtShaders& operator=(const CrtShaders&) = delete;

  // Draws a picture of 0xAARRGGBB pixels into the target rectangle of an output of the given size, after
  // clearing the whole output to black.
  void draw(std::span<const std::uint32_t> pixels, int width, int height, int outputWidth, int outputHeight,
            const GlRect& target, bool crt);

  // Draws the picture into an off-screen target of width x height and reads it back, top row first, alpha
  // 255; false when the framebuffer is not complete.
  bool drawOffscreen(std::span<const std::uint32_t> pixels, int pictureWidth, int pictureHeight, int width, int height,
                     bool crt, std::vector<std::uint32_t>& out);

  const GlFunctions& gl() const { return gl_; }

 private:
  explicit CrtShaders(const GlFunctions& gl) : gl_(gl) {}

  GlFunctions gl_;
  GLuint crtProgram_ = 0;
  GLuint plainProgram_ = 0;
  GLuint vertexArray_ = 0;
  GLuint texture_ = 0;
  int textureWidth_ = 0;
  int textureHeight_ = 0;
  bool ready_ = false;
};

}  // namespace app
